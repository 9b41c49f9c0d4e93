#pragma once

// Refuses typed or pasted text holding a character the given rule refuses;
// the edit then keeps what it had.

#include <QValidator>

#include <functional>

class CharacterValidator : public QValidator
{
    Q_OBJECT
public:
    CharacterValidator(std::function<bool(QChar)> accepts, QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

    // Characters the Windows-1250 code page holds, line breaks excepted: what
    // a one-line text written to our files may contain.
    static bool isCodePageCharacter(QChar c);

private:
    std::function<bool(QChar)> m_accepts;
};
