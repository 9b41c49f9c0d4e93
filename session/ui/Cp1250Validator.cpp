#include "session/ui/Cp1250Validator.h"

#include "common/Windows1250.h"

Cp1250Validator::Cp1250Validator(bool upperCase, std::function<void()> beep, QObject *parent)
    : QValidator(parent)
    , m_upperCase(upperCase)
    , m_beep(std::move(beep))
{}

QValidator::State Cp1250Validator::validate(QString &input, int &pos) const
{
    // A letter typed as base + combining mark is the one precomposed
    // character the code page holds.
    QString text = input.normalized(QString::NormalizationForm_C);
    if (!Windows1250::canEncode(text)) {
        if (m_beep)
            m_beep();
        return Invalid;
    }
    if (m_upperCase)
        text = Windows1250::toUpper(text);
    if (text != input) {
        pos = qBound(0, pos - int(input.size() - text.size()), int(text.size()));
        input = text;
    }
    return Acceptable;
}
