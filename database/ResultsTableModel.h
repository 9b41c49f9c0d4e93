#pragma once

// The grid's view of `Query`: one column per result column titled with its
// name, NULL shown empty, doubles in the general form with the current
// decimal separator, Booleans as "True"/"False". Typed values are parsed by
// the column's type; a refused value or a row the database refuses is
// reported through editFailed and the row stays in edit.

#include "database/ReadOnlyStatement.h"

#include <QAbstractTableModel>

#include <optional>

class Query;

class ResultsTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Numbers are shown and read with the user's decimal separator.
    ResultsTableModel(Query &query, QChar decimalSeparator, QObject *parent = nullptr);

    Query &query() const { return m_query; }

    // Read-only: nothing can be typed, whatever the result.
    void setReadOnly(bool readOnly);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    static QString displayText(const QVariant &value, ValueKind kind, QChar separator);
    // The value typed text stands for in `column`; nothing when the column
    // cannot take it. Empty text is NULL, except in a text column.
    static std::optional<QVariant> parse(const QString &text, const StatementColumn &column, QChar separator);

Q_SIGNALS:
    void editFailed(const QString &message);

private:
    Query &m_query;
    QChar m_separator;
    bool m_readOnly = false;
};
