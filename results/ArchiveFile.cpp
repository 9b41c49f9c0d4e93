#include "results/ArchiveFile.h"

#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "design/TestDesign.h"

#include <QRegularExpression>
#include <QTime>

#include <charconv>
#include <cmath>

namespace {

constexpr int MaxFieldLength = 255;
constexpr qint64 MsPerDay = 24 * 60 * 60 * 1000;

// The format has no quoting: a ";" inside a text would split it into two
// fields and shift every field after it, so the file could never be read.
QString textField(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char(';'), QLatin1Char(','));
    return out;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("DA") : QStringLiteral("NE");
}

long double parseNumber(const QString &field, QChar separator)
{
    const QString trimmed = field.trimmed();
    static const QRegularExpression dot(QStringLiteral("^-?\\d+(\\.\\d+)?([eE][+-]?\\d+)?$"));
    QString plain = trimmed;
    if (separator != QLatin1Char('.')) {
        // Our own separator is the only one a number may carry.
        if (trimmed.contains(QLatin1Char('.')))
            plain.clear();
        else
            plain.replace(separator, QLatin1Char('.'));
    }
    if (plain.isEmpty() || !dot.match(plain).hasMatch())
        throw Failure(QStringLiteral("\"%1\" nije broj").arg(field));
    const QByteArray latin = plain.toLatin1();
    long double value = 0;
    const auto [end, ec] = std::from_chars(latin.constData(), latin.constData() + latin.size(), value);
    if (ec != std::errc() || end != latin.constData() + latin.size() || !std::isfinite(value))
        throw Failure(QStringLiteral("\"%1\" nije broj").arg(field));
    return value;
}

int parseTaskCount(const QString &field)
{
    static const QRegularExpression integer(QStringLiteral("^-?\\d+$"));
    const QString trimmed = field.trimmed();
    bool ok = integer.match(trimmed).hasMatch();
    const int n = ok ? trimmed.toInt(&ok) : 0;
    // More tasks than a design can hold would only size a huge table.
    if (!ok || n < 0 || n > TestDesign::MaxTasks)
        throw Failure(QStringLiteral("\"%1\" nije broj podražaja").arg(field));
    return n;
}

} // namespace

// A duration is a difference of times of day and may be negative (a test
// over midnight) or, from elsewhere, beyond a day: shown as a time of day it
// is taken modulo one day.
QString DurationText(double days, const Regional &regional)
{
    qint64 ms = std::isfinite(days) ? qint64(std::llround(std::fmod(days, 1.0) * double(MsPerDay))) : 0;
    ms %= MsPerDay;
    if (ms < 0)
        ms += MsPerDay;
    return regional.formatTime(QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QString ComposeArchiveText(const SessionResult &result, const Regional &regional)
{
    if (result.stimulusCount != result.tasks.size()) {
        throw Failure(QStringLiteral("Rezultat ima %1 podražaja, a %2 zadataka.")
                          .arg(result.stimulusCount)
                          .arg(result.tasks.size()));
    }
    const QChar sep = regional.decimalSeparator;
    const Subject &s = result.subject;
    QStringList fields{textField(s.Surname + QLatin1Char(' ') + s.Name),
                       textField(s.Age),
                       QString::number(s.Gender),
                       textField(s.Field1),
                       textField(s.Field2),
                       regional.formatDate(result.testDate),
                       DurationText(result.duration, regional),
                       yesNo(result.independentMode),
                       yesNo(result.ignoreBackground),
                       QString::number(result.stimulusCount),
                       QString::number(result.unrecognisedCount),
                       F(result.mean, 10, 5, sep),
                       F(result.variance, 10, 5, sep),
                       textField(s.Field3),
                       QStringLiteral("Reserved2"),
                       QStringLiteral("Reserved3")};
    fields.reserve(ArchiveLayout::FixedFields + 2 * int(result.tasks.size()));
    for (const TaskResult &t : result.tasks) {
        fields << F(t.efficiency, 12, 5, sep);
        fields << textField(t.label);
    }
    QString line;
    for (const QString &f : fields) {
        line += f;
        line += QLatin1String("; ");
    }
    return line;
}

void SaveArchiveFile(const QString &path, const QString &archiveText)
{
    writeFileAtomically(path, Windows1250::encode(archiveText + QLatin1String("\r\n")));
}

QString ArchiveFileText(const QByteArray &bytes)
{
    QString text = Windows1250::decode(bytes);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QString ReadArchiveField(QStringView &rest, bool numeric, QChar separator)
{
    qsizetype start = 0;
    while (start < rest.size() && rest.at(start) == QLatin1Char(' '))
        ++start;
    if (start == rest.size()) {
        rest = {};
        throw Failure(QStringLiteral("Nedostaje polje arhive."));
    }
    // Only a view moves on: copying what remains for every field made a
    // large file take minutes.
    const qsizetype end = rest.indexOf(QLatin1Char(';'), start);
    const qsizetype length = (end < 0 ? rest.size() : end) - start;
    QString field = rest.mid(start, qMin<qsizetype>(length, MaxFieldLength)).toString();
    rest = end < 0 ? QStringView() : rest.mid(end + 1);
    if (numeric) {
        if (separator == QLatin1Char('.'))
            field.replace(QLatin1Char(','), QLatin1Char('.'));
        else if (separator == QLatin1Char(','))
            field.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return field;
}

ArchivedTest ReadArchive(const QString &text, QChar separator, const std::function<void(const ArchiveField &)> &onField)
{
    using namespace ArchiveLayout;
    ArchivedTest test;
    QStringView rest = text;
    auto hand = [&](const ArchiveField &f) {
        if (onField)
            onField(f);
    };
    for (int number = 1; number <= FixedFields; ++number) {
        const bool numeric = number == Mean || number == Variance;
        ArchiveField f;
        f.number = number;
        f.text = ReadArchiveField(rest, numeric, separator);
        if (number == TaskCount)
            f.value = test.taskCount = parseTaskCount(f.text);
        else if (number == Mean)
            f.value = test.mean = parseNumber(f.text, separator);
        else if (number == Variance)
            f.value = test.variance = parseNumber(f.text, separator);
        test.fields[number - 1] = f.text;
        hand(f);
    }
    test.efficiencies.reserve(test.taskCount);
    test.labels.reserve(test.taskCount);
    for (int task = 1; task <= test.taskCount; ++task) {
        ArchiveField e;
        e.number = FixedFields + 2 * task - 1;
        e.task = task;
        e.efficiency = true;
        e.text = ReadArchiveField(rest, true, separator);
        e.value = parseNumber(e.text, separator);
        test.efficiencies << double(e.value);
        hand(e);

        ArchiveField l;
        l.number = e.number + 1;
        l.task = task;
        l.text = ReadArchiveField(rest, false, separator);
        test.labels << l.text;
        hand(l);
    }
    return test;
}
