#include "design/DesignFile.h"

#include "common/Failure.h"
#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "design/TestDesign.h"

#include <QCryptographicHash>
#include <QDir>

namespace {

const QString Separator = QStringLiteral("^");
const QChar SlotEnd = QLatin1Char('_');

QString invalidFile(const QString &reason)
{
    return QStringLiteral("Datoteka nacrta nije ispravna: %1 Nacrt nije promijenjen.").arg(reason);
}

// Lines may end in CR LF, LF or CR; a line end at the very end does not start an extra line.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << current;
            current.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines << current;
    return lines;
}

// The colour reader takes what the writer writes (a decimal integer) and the
// other integer forms designers' files have carried: leading blanks, a sign,
// and hexadecimal introduced by "$" or "0x".
bool parseColour(const QString &line, Colour &colour)
{
    QString s = line;
    qsizetype start = 0;
    while (start < s.size() && s[start] == QLatin1Char(' '))
        ++start;
    s = s.mid(start);
    bool negative = false;
    if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
        negative = s.startsWith(QLatin1Char('-'));
        s = s.mid(1);
    }
    int base = 10;
    if (s.startsWith(QLatin1Char('$'))) {
        base = 16;
        s = s.mid(1);
    } else if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        s = s.mid(2);
    }
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        const bool digit =
            base == 10 ? c.isDigit() && c.unicode() < 128 : QStringLiteral("0123456789abcdefABCDEF").contains(c);
        if (!digit)
            return false;
    }
    bool ok = false;
    const qint64 magnitude = s.toLongLong(&ok, base);
    if (!ok)
        return false;
    const qint64 value = negative ? -magnitude : magnitude;
    // A 32-bit integer as the colour table holds it; hexadecimal may give the full unsigned range.
    if (value < INT32_MIN || value > (base == 16 ? qint64(UINT32_MAX) : qint64(INT32_MAX)))
        return false;
    colour = Colour(quint32(value));
    return true;
}

TestDesign::AnswerRow parseAnswerRow(QString rest)
{
    TestDesign::AnswerRow row;
    for (QString &slot : row) {
        const qsizetype end = rest.indexOf(SlotEnd);
        if (end < 0)
            break;
        slot = rest.left(end);
        rest.remove(0, end + 1);
    }
    return row;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// The format has no escaping: a separator or line break inside an entry would
// load back as another design, so such a design is refused before anything
// is written.
void refuseUnwritableEntries(const TestDesign &design)
{
    const QString notSaved = QStringLiteral(" Nacrt nije snimljen.");
    for (qsizetype i = 0; i < design.stimuli.size(); ++i) {
        const QString &path = design.stimuli[i];
        if (path.contains(Separator) || hasLineBreak(path)) {
            throw Failure(
                QStringLiteral("Podražaj %1 (\"%2\") sadrži znak \"^\" ili prijelom retka.").arg(i + 1).arg(path) +
                notSaved);
        }
    }
    for (const QString &level : design.maskLevels) {
        if (level.contains(Separator) || hasLineBreak(level))
            throw Failure(QStringLiteral("Maskirna razina \"%1\" sadrži znak \"^\" ili prijelom retka.").arg(level) +
                          notSaved);
    }
    for (int r = 0; r < design.taskCount(); ++r) {
        const TestDesign::AnswerRow &row = design.solutions[std::size_t(r)];
        for (int s = 0; s < TestDesign::AnswerSlots; ++s) {
            const QString &slot = row[std::size_t(s)];
            if (slot.contains(SlotEnd) || hasLineBreak(slot)) {
                throw Failure(
                    QStringLiteral("Identifikator %1 zadatka %2 (\"%3\") sadrži znak \"_\" ili prijelom retka.")
                        .arg(s + 1)
                        .arg(r + 1)
                        .arg(slot) +
                    notSaved);
            }
        }
    }
}

} // namespace

namespace DesignFile {

QByteArray compose(const TestDesign &design)
{
    const int n = design.taskCount();
    if (n > int(design.maskColours.size())) {
        throw Failure(QStringLiteral("Nacrt ima %1 podražaja, a boja maske samo %2. Nacrt nije snimljen.")
                          .arg(n)
                          .arg(design.maskColours.size()));
    }
    if (n > int(design.solutions.size())) {
        throw Failure(QStringLiteral("Nacrt ima više podražaja nego redaka identifikatora. Nacrt nije snimljen."));
    }
    refuseUnwritableEntries(design);

    QStringList lines;
    lines.reserve(3 * n + int(design.maskLevels.size()) + 3);
    lines << design.stimuli;
    lines << Separator;
    for (int k = 0; k < n; ++k) {
        // Written as the signed 32-bit integer it is held as, so any value read comes back unchanged.
        lines << QString::number(qint32(design.maskColours[std::size_t(k)]));
    }
    lines << Separator;
    lines << design.maskLevels;
    lines << Separator;
    for (int r = 0; r < n; ++r) {
        QString row;
        for (const QString &slot : design.solutions[std::size_t(r)]) {
            row += slot;
            row += SlotEnd;
        }
        lines << row;
    }

    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    try {
        return Windows1250::encode(text);
    } catch (const Failure &f) {
        throw Failure(f.text() + QStringLiteral(" Nacrt nije snimljen."));
    }
}

TestDesign parse(const TestDesign &design, const QByteArray &bytes)
{
    const QStringList lines = splitLines(Windows1250::decode(bytes));
    TestDesign result = design;
    result.stimuli.clear();
    result.maskLevels.clear();

    qsizetype i = 0;
    auto atSeparator = [&] { return lines[i].contains(Separator); };
    auto requireLine = [&](const QString &section) {
        if (i >= lines.size()) {
            throw Failure(invalidFile(
                QStringLiteral("datoteka završava unutar odjeljka %1 (nedostaje razdjelnik \"^\").").arg(section)));
        }
    };

    for (requireLine(QStringLiteral("podražaja")); !atSeparator(); requireLine(QStringLiteral("podražaja"))) {
        // Every per-task table (colours, answers, scores) has MaxTasks rows.
        if (result.stimuli.size() >= TestDesign::MaxTasks) {
            throw Failure(
                invalidFile(QStringLiteral("više od %1 podražaja (redak %2).").arg(TestDesign::MaxTasks).arg(i + 1)));
        }
        result.stimuli << lines[i++];
    }
    ++i;

    std::size_t k = 0;
    for (requireLine(QStringLiteral("boja maske")); !atSeparator(); requireLine(QStringLiteral("boja maske"))) {
        Colour colour = 0;
        if (!parseColour(lines[i], colour)) {
            throw Failure(invalidFile(
                QStringLiteral("\"%1\" u retku %2 nije cijeli broj (boja maske).").arg(lines[i]).arg(i + 1)));
        }
        if (k >= result.maskColours.size()) {
            throw Failure(invalidFile(
                QStringLiteral("više od %1 boja maske (redak %2).").arg(result.maskColours.size()).arg(i + 1)));
        }
        result.maskColours[k++] = colour;
        ++i;
    }
    ++i;

    for (requireLine(QStringLiteral("razina maskiranja")); !atSeparator();
         requireLine(QStringLiteral("razina maskiranja")))
        result.maskLevels << lines[i++];
    ++i;

    for (std::size_t row = 0; i < lines.size(); ++i, ++row) {
        if (row < result.solutions.size())
            result.solutions[row] = parseAnswerRow(lines[i]);
    }
    return result;
}

} // namespace DesignFile

void SaveDesignFile(const TestDesign &design, const QString &path)
{
    writeFileAtomically(path, DesignFile::compose(design));
}

void LoadDesignFile(TestDesign &design, const QString &path)
{
    const QByteArray bytes = readWholeFile(path);
    design = DesignFile::parse(design, bytes);
    design.fileName = path;
    design.fileSha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

void NormaliseSolutions(TestDesign &design)
{
    for (auto &row : design.solutions) {
        for (QString &cell : row) {
            if (cell.isEmpty())
                continue;
            cell.remove(QLatin1Char(' '));
            cell = Windows1250::toUpper(cell);
        }
    }
}
