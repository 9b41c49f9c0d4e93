#include "database/export/ColumnSurvey.h"

#include "common/Failure.h"

namespace {

constexpr qint64 LargestExactInDouble = qint64(1) << 53;

} // namespace

ColumnSurvey ColumnSurvey::of(const ExportData &data)
{
    const qsizetype n = data.columns.size();
    const std::vector<ColumnSummary> &summary = data.rows.summary();
    ColumnSurvey s;
    s.characters.fill(0, n);
    s.bytes.fill(0, n);
    s.lowest.fill(0, n);
    s.highest.fill(0, n);
    std::size_t firstNonFiniteRow = ColumnSummary::NoRow;
    for (qsizetype c = 0; c < n && std::size_t(c) < summary.size(); ++c) {
        const ColumnSummary &column = summary[std::size_t(c)];
        s.characters[c] = column.longestText;
        s.bytes[c] = column.longestBytes;
        if (column.lowest <= column.highest) {
            s.lowest[c] = column.lowest;
            s.highest[c] = column.highest;
        }
        if (column.nonFiniteRow < firstNonFiniteRow) {
            firstNonFiniteRow = column.nonFiniteRow;
            s.allFinite = false;
            s.firstNonFinite = data.columns[c].name;
        }
    }
    return s;
}

int ColumnSurvey::integerWidth(qsizetype c) const
{
    auto digits = [](qint64 v) {
        int n = v < 0 ? 2 : 1;
        for (v /= 10; v != 0; v /= 10)
            ++n;
        return n;
    };
    return std::max(digits(lowest[c]), digits(highest[c]));
}

void ColumnSurvey::requireRows(const ExportData &data, qint64 maxRows, const QString &formatName)
{
    if (qint64(data.rows.size()) > maxRows) {
        throw Failure(QStringLiteral("%1 prima najviše %2 redaka podataka, a za izvoz ih je %3. Suzite upit.")
                          .arg(formatName)
                          .arg(maxRows)
                          .arg(qint64(data.rows.size())));
    }
}

void ColumnSurvey::requireColumns(const ExportData &data, qsizetype maxColumns, const QString &formatName)
{
    if (data.columns.size() > maxColumns) {
        throw Failure(QStringLiteral("%1 prima najviše %2 stupaca, a za izvoz ih je %3.")
                          .arg(formatName)
                          .arg(maxColumns)
                          .arg(data.columns.size()));
    }
}

void ColumnSurvey::requireCharacters(const ExportData &data, qsizetype limit, const QString &formatName) const
{
    for (qsizetype c = 0; c < characters.size(); ++c) {
        if (characters[c] > limit) {
            throw Failure(QStringLiteral("Stupac \"%1\" sadrži tekst od %2 znakova; %3 prima najviše %4.")
                              .arg(data.columns[c].name)
                              .arg(characters[c])
                              .arg(formatName)
                              .arg(limit));
        }
    }
}

void ColumnSurvey::requireBytes(const ExportData &data, qsizetype limit, const QString &formatName) const
{
    for (qsizetype c = 0; c < bytes.size(); ++c) {
        if (bytes[c] > limit) {
            throw Failure(QStringLiteral("Stupac \"%1\" sadrži tekst od %2 bajtova (UTF-8); %3 prima najviše %4.")
                              .arg(data.columns[c].name)
                              .arg(bytes[c])
                              .arg(formatName)
                              .arg(limit));
        }
    }
}

void ColumnSurvey::requireExactIntegers(const ExportData &data, const QString &formatName) const
{
    for (qsizetype c = 0; c < lowest.size(); ++c) {
        const qint64 worst = lowest[c] < -LargestExactInDouble ? lowest[c] : highest[c];
        if (worst < -LargestExactInDouble || worst > LargestExactInDouble) {
            throw Failure(QStringLiteral("Stupac \"%1\" sadrži broj %2, koji %3 ne može zapisati točno.")
                              .arg(data.columns[c].name)
                              .arg(worst)
                              .arg(formatName));
        }
    }
}

void ColumnSurvey::requireFinite(const QString &formatName) const
{
    if (!allFinite) {
        throw Failure(QStringLiteral("Stupac \"%1\" sadrži beskonačan broj, koji %2 ne može zapisati.")
                          .arg(firstNonFinite, formatName));
    }
}
