#pragma once

// The record navigator under the group results grid: ten buttons working on
// the current row of the result set, the editing ones hidden while locked.

#include <QWidget>

class QToolButton;

class DbNavigator : public QWidget
{
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, ButtonCount };

    explicit DbNavigator(QWidget *parent = nullptr);

    QToolButton *button(Button b) const { return m_buttons[b]; }
    // Locked: first, prior, next, last and refresh only.
    void setEditingShown(bool shown);
    // Browsing or editing: which buttons can act.
    void updateStates(bool open, bool editable, bool editing, bool atFirst, bool atLast);

Q_SIGNALS:
    void clicked(int button);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutButtons();
    QToolButton *m_buttons[ButtonCount] = {};
};
