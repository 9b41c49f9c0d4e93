#include "common/ui/UpperCaseEdit.h"

#include "common/Windows1250.h"

UpperCaseEdit::UpperCaseEdit(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &UpperCaseEdit::upperCase);
}

// Typed and pasted text alike, so the box never holds a lower-case letter.
void UpperCaseEdit::upperCase()
{
    const QString upper = Windows1250::toUpper(text());
    if (upper == text())
        return;
    const int cursor = cursorPosition();
    setText(upper);
    setCursorPosition(cursor);
}
