#pragma once

// Page "Rješenja" of the design dialog: the accepted answers of every task in
// an editable grid. Each key pressed in the grid checks Caps Lock: answers are
// meant to be typed in capitals, so with Caps Lock off the text turns red and
// the computer beeps.

#include "common/ui/CapsLock.h"

#include <QPointer>
#include <QWidget>

class QStyledItemDelegate;
class QTableView;
class SolutionsModel;
class TestDesign;

class SolutionsPage : public QWidget
{
    Q_OBJECT
public:
    SolutionsPage(TestDesign &design, CapsLock capsLock, QWidget *parent = nullptr);

    void refresh();
    QWidget *firstControl() const;

    // Stores what an open cell editor holds and closes it.
    void commitOpenEditor();

    // The Caps Lock check, run for every key pressed in the grid or its editor.
    void Grid1KeyDown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CapsLock m_capsLock;
    SolutionsModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    QStyledItemDelegate *m_delegate = nullptr;
    QPointer<QWidget> m_editor;
};
