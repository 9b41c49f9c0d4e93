#pragma once

// A one-line edit whose text is always upper case as Croatian writes it:
// typed and pasted text alike is turned to capitals at once.

#include <QLineEdit>

class UpperCaseEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit UpperCaseEdit(QWidget *parent = nullptr);

private:
    void upperCase();
};
