#include "common/ui/CharacterValidator.h"

#include "common/Windows1250.h"

CharacterValidator::CharacterValidator(std::function<bool(QChar)> accepts, QObject *parent)
    : QValidator(parent)
    , m_accepts(std::move(accepts))
{}

QValidator::State CharacterValidator::validate(QString &input, int &) const
{
    for (QChar c : input) {
        if (!m_accepts(c))
            return Invalid;
    }
    return Acceptable;
}

bool CharacterValidator::isCodePageCharacter(QChar c)
{
    return c != QLatin1Char('\r') && c != QLatin1Char('\n') && Windows1250::canEncode(c);
}
