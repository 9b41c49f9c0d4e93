#include "design/TestDesign.h"

TestDesign::TestDesign()
    : maskLevels(defaultMaskLevels())
    , solutions(std::size_t(MaxTasks))
{
    resetMaskColours();
}

void TestDesign::resetMaskColours()
{
    maskColours.assign(std::size_t(MaxTasks), White);
}

QStringList TestDesign::answersOf(int task) const
{
    QStringList answers;
    if (task < 0 || task >= int(solutions.size()))
        return answers;
    for (const QString &slot : solutions[std::size_t(task)]) {
        if (!slot.isEmpty())
            answers << slot;
    }
    return answers;
}

QStringList TestDesign::defaultMaskLevels()
{
    return {QStringLiteral("12"), QStringLiteral("10"), QStringLiteral("8"), QStringLiteral("6"),
            QStringLiteral("4"),  QStringLiteral("2"),  QStringLiteral("1")};
}
