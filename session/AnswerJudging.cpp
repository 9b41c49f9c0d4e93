#include "session/AnswerJudging.h"

#include "common/Windows1250.h"

QString AnswerOf(const QString &boxText)
{
    QString answer = boxText;
    answer.remove(QLatin1Char(' '));
    if (answer.isEmpty())
        answer = Unanswered;
    return Windows1250::toUpper(answer);
}

bool IsCorrectAnswer(const QString &answer, const QStringList &accepted)
{
    if (answer.isEmpty())
        return false;
    for (const QString &a : accepted) {
        if (a == answer)
            return true;
    }
    return false;
}
