#pragma once

// Judging a typed answer: the answer box's text against a task's accepted
// answers, which are stored in upper case without blanks.

#include <QString>
#include <QStringList>

// The word a blank answer box is judged as (the box shows it in capitals).
inline const QString Unanswered = QStringLiteral("Neodgovoreno");

// The answer as judged: a box that is empty or holds only blanks counts as
// Unanswered; every blank (U+0020) is dropped, inside the word too; the rest
// is in upper case as the box shows it.
QString AnswerOf(const QString &boxText);

// True when the judged answer equals one of the accepted answers exactly.
bool IsCorrectAnswer(const QString &answer, const QStringList &accepted);
