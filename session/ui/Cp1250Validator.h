#pragma once

// Input filter of the test window's text boxes: everything typed or pasted
// must be writable in Windows-1250, the code page of the result files; a
// character that is not is refused with the beep. Optionally turns the text
// to upper case as it is typed.

#include <QValidator>

#include <functional>

class Cp1250Validator : public QValidator
{
    Q_OBJECT
public:
    Cp1250Validator(bool upperCase, std::function<void()> beep, QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

private:
    bool m_upperCase;
    std::function<void()> m_beep;
};
