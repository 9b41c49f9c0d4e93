#pragma once

// The stimulus list of the design dialog: its entries are dragged within the
// list only, and a drop is handed to the page, which moves the entry in the
// design and in the list together.

#include <QListWidget>

class StimulusList : public QListWidget
{
    Q_OBJECT
public:
    explicit StimulusList(QWidget *parent = nullptr);

Q_SIGNALS:
    // An entry of `source` was dropped at `position` (viewport coordinates).
    void dropped(QObject *source, const QPoint &position);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
