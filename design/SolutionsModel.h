#pragma once

// The accepted answers of a design as an editable table: task rows
// "Zadatak 1".."Zadatak 1000" by slots "Identifikator 1".."Identifikator 10".
// A cell refuses text the design file could not carry back: line breaks and
// characters outside the Windows-1250 code page.

#include <QAbstractTableModel>

class TestDesign;

class SolutionsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit SolutionsModel(TestDesign &design, QObject *parent = nullptr);

    // True when a cell may hold the text.
    static bool acceptsText(const QString &text);

    // The design's answers changed behind the model's back (a load, the
    // closing normalisation): views show them afresh.
    void reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    TestDesign &m_design;
};
