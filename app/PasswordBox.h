#pragma once

// The main window's password box: shows "*" for each character, turns what
// is typed to upper case, holds at most 20 characters and drops every space
// at each key press; Enter hands the trimmed text on.

#include "common/ui/UpperCaseEdit.h"

class PasswordBox : public UpperCaseEdit
{
    Q_OBJECT
public:
    static constexpr int MaxLength = 20;

    explicit PasswordBox(QWidget *parent = nullptr);

Q_SIGNALS:
    void entered(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
