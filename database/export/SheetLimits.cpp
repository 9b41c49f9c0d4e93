#include "database/export/SheetLimits.h"

#include "common/Failure.h"
#include "common/Windows1250.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr qlonglong LargestExactInDouble = qlonglong(1) << 53;
// Why a text cannot be stored, or an empty text when it can.
QString textRefusal(const QString &text, const QString &column, const SheetLimits &limits)
{
    QString bad;
    for (QChar c : text) {
        if (limits.windows1250 && !Windows1250::canEncode(c))
            bad = c;
        else if (c.unicode() < limits.lowestCharacter)
            bad = QStringLiteral("U+%1").arg(unsigned(c.unicode()), 4, 16, QLatin1Char('0')).toUpper();
        if (!bad.isEmpty())
            break;
    }
    if (bad.isEmpty())
        return {};
    return QStringLiteral("ExportTable: column %1 holds the character \"%2\", which %3 cannot store.")
        .arg(column, bad, limits.formatName);
}

// Why a cell cannot be stored, or an empty text when it can; a text's length
// goes into `longest`.
QString valueRefusal(const QVariant &value, const QString &name, const SheetLimits &limits, qsizetype &longest)
{
    switch (cellKind(value)) {
    case CellKind::Null:
    case CellKind::Boolean: break;
    case CellKind::Integer: {
        const qlonglong v = value.toLongLong();
        if (limits.doubleNumbers && (v > LargestExactInDouble || v < -LargestExactInDouble)) {
            return QStringLiteral("ExportTable: column %1 holds the number %2; %3 cannot store it exactly.")
                .arg(name)
                .arg(v)
                .arg(limits.formatName);
        }
        break;
    }
    case CellKind::Double:
        if (!std::isfinite(value.toDouble())) {
            return QStringLiteral("ExportTable: column %1 holds the number %2; %3 cannot store it exactly.")
                .arg(name, value.toString(), limits.formatName);
        }
        break;
    case CellKind::Text: {
        const QString text = value.toString();
        longest = std::max(longest, text.size());
        return textRefusal(text, name, limits);
    }
    }
    return {};
}

} // namespace

void appendWindows1250(ByteBuffer &out, const QString &text)
{
    QByteArray &bytes = out.bytes();
    const qsizetype at = bytes.size();
    bytes.resize(at + text.size());
    char *to = bytes.data() + at;
    for (QChar c : text) {
        const int b = Windows1250::byteOf(c);
        *to++ = char(b < 0 ? '?' : b);
    }
}

CellKind cellKind(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return CellKind::Null;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short: return CellKind::Integer;
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        // Beyond the signed range an unsigned value keeps its digits as text
        // rather than wrapping to a negative number.
        return value.toULongLong() <= quint64(std::numeric_limits<qlonglong>::max()) ? CellKind::Integer
                                                                                     : CellKind::Text;
    case QMetaType::Double:
    case QMetaType::Float: return CellKind::Double;
    case QMetaType::Bool: return CellKind::Boolean;
    default: return CellKind::Text;
    }
}

void checkSheetLimits(const ExportData &data, const SheetLimits &limits)
{
    if (qsizetype(data.rows.size()) > limits.maxRows)
        throw Failure(
            QStringLiteral("ExportTable: %1 holds at most %2 rows.").arg(limits.formatName).arg(limits.maxRows));
    if (data.columns.size() > limits.maxColumns) {
        throw Failure(
            QStringLiteral("ExportTable: %1 holds at most %2 columns.").arg(limits.formatName).arg(limits.maxColumns));
    }

    // One walk finds each column's first refused value and its longest text;
    // the refusals then come column by column, as a reader would list them.
    const qsizetype columns = data.columns.size();
    QStringList refusals(columns);
    QList<qsizetype> longest(columns, 0);
    for (const QVariantList &row : data.rows) {
        for (qsizetype c = 0; c < std::min(columns, row.size()); ++c) {
            if (refusals[c].isEmpty())
                refusals[c] = valueRefusal(row[c], data.columns[c].name, limits, longest[c]);
        }
    }
    for (qsizetype c = 0; c < columns; ++c) {
        const QString &name = data.columns[c].name;
        QString refusal = textRefusal(name, name, limits);
        if (refusal.isEmpty() && name.size() > limits.maxTextLength) {
            refusal = QStringLiteral("ExportTable: the column name %1 has %2 characters; %3 takes at most %4.")
                          .arg(name)
                          .arg(name.size())
                          .arg(limits.formatName)
                          .arg(limits.maxTextLength);
        }
        if (refusal.isEmpty())
            refusal = refusals[c];
        if (refusal.isEmpty() && longest[c] > limits.maxTextLength) {
            refusal = QStringLiteral("ExportTable: column %1 holds %2 characters; %3 takes at most %4.")
                          .arg(name)
                          .arg(longest[c])
                          .arg(limits.formatName)
                          .arg(limits.maxTextLength);
        }
        if (!refusal.isEmpty())
            throw Failure(refusal);
    }
}
