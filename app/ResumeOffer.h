#pragma once

// At start: every test the journal holds unfinished is offered to be
// continued, kept for later or discarded (discarding asks once more).

#include <QString>

class Prompts;
class Regional;
class SessionJournal;
class TForm1;
struct JournalTest;
struct ResumePlan;

namespace ResumeOffer {

inline const QString ContinueText = QStringLiteral("&Nastavi");
inline const QString LaterText = QStringLiteral("&Ostavi za kasnije");
inline const QString DiscardText = QStringLiteral("O&dbaci");

// Who, when and how far; with a note when the design file changed since.
QString interruptedText(const JournalTest &test, const ResumePlan &plan, const Regional &regional);

// Asks about each interrupted test in turn; a continued one opens the test
// window (modally) and comes back when it closes.
void run(SessionJournal &journal, Prompts &prompts, const Regional &regional, TForm1 &testWindow);

} // namespace ResumeOffer
