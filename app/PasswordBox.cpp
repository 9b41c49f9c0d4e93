#include "app/PasswordBox.h"

#include "common/Windows1250.h"

#include <QKeyEvent>

PasswordBox::PasswordBox(QWidget *parent)
    : QLineEdit(parent)
{
    setEchoMode(QLineEdit::Password);
    // The style's own mask character varies; the box always shows "*".
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    setMaxLength(MaxLength);
    connect(this, &QLineEdit::textEdited, this, &PasswordBox::upperCase);
}

void PasswordBox::keyPressEvent(QKeyEvent *event)
{
    if (text().contains(QLatin1Char(' ')))
        setText(text().remove(QLatin1Char(' ')));
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT entered(text().trimmed());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// Typed and pasted text alike, so the box never holds a lower-case letter.
void PasswordBox::upperCase()
{
    const QString upper = Windows1250::toUpper(text());
    if (upper == text())
        return;
    const int cursor = cursorPosition();
    setText(upper);
    setCursorPosition(cursor);
}
