#include "results/NormCsv.h"

#include "common/Failure.h"
#include "results/NormGroup.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

const QString Magic = QStringLiteral("Kalvestrin norme");

QString number(double v)
{
    return QString::number(v, 'g', 17);
}

QString quoted(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char(';')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The records of the text: fields split at `separator` outside quotes.
QList<QStringList> records(const QString &text, QChar separator)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool inQuotes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                field += text[++i];
            else if (c == QLatin1Char('"'))
                inQuotes = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
        } else if (c == separator) {
            row << field.trimmed();
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            row << field.trimmed();
            rows << row;
            row.clear();
            field.clear();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (!field.trimmed().isEmpty() || !row.isEmpty())
        rows << (row << field.trimmed());
    return rows;
}

class Reader
{
public:
    Reader(const QStringList &fields, int line, bool decimalComma)
        : m_fields(fields)
        , m_line(line)
        , m_decimalComma(decimalComma)
    {}

    void require(int count) const
    {
        if (m_fields.size() < count)
            fail(QStringLiteral("nedostaju vrijednosti"));
    }
    double number(int index) const
    {
        QString text = m_fields[index];
        if (m_decimalComma)
            text.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            fail(QStringLiteral("\"%1\" nije broj").arg(m_fields[index]));
        return v;
    }
    [[noreturn]] void fail(const QString &what) const
    {
        throw Failure(QStringLiteral("Tablica normi, redak %1: %2.").arg(m_line).arg(what));
    }

private:
    const QStringList &m_fields;
    int m_line;
    bool m_decimalComma;
};

} // namespace

QByteArray NormCsv::write(const NormGroup &g)
{
    QStringList lines{Magic + QStringLiteral(",1"), QStringLiteral("opis,") + quoted(g.definition),
                      QStringLiteral("n,%1").arg(g.n), QStringLiteral("sredina,") + number(g.mean),
                      QStringLiteral("sd,") + number(g.sd)};
    for (double v : g.values)
        lines << QStringLiteral("vrijednost,") + number(v);
    for (const NormPoint &p : g.points)
        lines << QStringLiteral("centil,%1,%2").arg(number(p.m), number(p.percentile));
    for (qsizetype i = 0; i < g.tasks.size(); ++i) {
        const TaskNorm &t = g.tasks[i];
        lines << QStringLiteral("zadatak,%1,%2,%3,%4").arg(i + 1).arg(number(t.q1), number(t.median), number(t.q3));
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

NormGroup NormCsv::read(const QByteArray &bytes, const QString &name)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QString first = text.section(QLatin1Char('\n'), 0, 0);
    const bool semicolons = first.contains(QLatin1Char(';')) && !first.contains(QLatin1Char(','));
    const QList<QStringList> rows = records(text, semicolons ? QLatin1Char(';') : QLatin1Char(','));
    if (rows.isEmpty() || rows[0].value(0) != Magic)
        throw Failure(QStringLiteral("Datoteka nije tablica normi (prvi redak mora biti \"%1,1\").").arg(Magic));

    NormGroup g;
    g.name = name;
    bool haveN = false, haveMean = false, haveSd = false;
    for (int line = 1; line < rows.size(); ++line) {
        const QStringList &f = rows[line];
        const Reader r(f, line + 1, semicolons);
        const QString kind = f.value(0).toLower();
        if (kind.isEmpty()) {
            continue;
        } else if (kind == QLatin1String("opis")) {
            g.definition = f.value(1);
        } else if (kind == QLatin1String("n")) {
            r.require(2);
            g.n = qint64(r.number(1));
            haveN = g.n == r.number(1);
            if (!haveN)
                r.fail(QStringLiteral("n mora biti cijeli broj"));
        } else if (kind == QLatin1String("sredina")) {
            r.require(2);
            g.mean = r.number(1);
            haveMean = true;
        } else if (kind == QLatin1String("sd")) {
            r.require(2);
            g.sd = r.number(1);
            haveSd = true;
        } else if (kind == QLatin1String("vrijednost")) {
            r.require(2);
            g.values << r.number(1);
        } else if (kind == QLatin1String("centil")) {
            r.require(3);
            g.points << NormPoint{r.number(1), r.number(2)};
        } else if (kind == QLatin1String("zadatak")) {
            r.require(5);
            if (r.number(1) != g.tasks.size() + 1)
                r.fail(QStringLiteral("zadaci moraju ići redom od 1"));
            g.tasks << TaskNorm{r.number(2), r.number(3), r.number(4)};
        } else {
            r.fail(QStringLiteral("nepoznata vrsta zapisa \"%1\"").arg(f.value(0)));
        }
    }
    if (!haveN || !haveMean || !haveSd)
        throw Failure(QStringLiteral("Tablica normi mora navesti n, sredinu i sd."));
    std::sort(g.values.begin(), g.values.end());
    g.check();
    return g;
}
