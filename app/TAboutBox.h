#pragma once

// The About box: the program's name, version and build, opened from the
// design dialog's "&Info".

#include <QDialog>

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
};
