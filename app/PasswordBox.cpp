#include "app/PasswordBox.h"

#include <QKeyEvent>

PasswordBox::PasswordBox(QWidget *parent)
    : UpperCaseEdit(parent)
{
    setEchoMode(QLineEdit::Password);
    // The style's own mask character varies; the box always shows "*".
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    setMaxLength(MaxLength);
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
