#include "app/ResumeOffer.h"

#include "common/Failure.h"
#include "common/Regional.h"
#include "common/ui/Prompts.h"
#include "session/ResumePlan.h"
#include "session/SessionJournal.h"
#include "session/ui/TForm1.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

// The design file is gone or holds other bytes than when the test began.
bool designFileChanged(const JournalTest &test)
{
    if (test.info.designPath.isEmpty())
        return false;
    QFile file(test.info.designPath);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex() != test.info.designSha256;
}

QString subjectName(const JournalTest &test)
{
    return (test.subject.Surname + QLatin1Char(' ') + test.subject.Name).trimmed();
}

} // namespace

namespace ResumeOffer {

QString interruptedText(const JournalTest &test, const ResumePlan &plan, const Regional &regional)
{
    QString text = QStringLiteral("Testiranje ispitanika %1 započeto %2 u %3 prekinuto je nakon %4 od %5 zadataka.")
                       .arg(subjectName(test), regional.formatDate(test.startTime.date()),
                            regional.formatTime(test.startTime.time()))
                       .arg(plan.completedTasks())
                       .arg(test.design.taskCount());
    if (designFileChanged(test)) {
        text += QStringLiteral(" Datoteka nacrta %1 promijenjena je nakon početka testiranja, pa se testiranje "
                               "nastavlja s nacrtom kakav je bio na početku.")
                    .arg(test.info.designPath);
    }
    return text;
}

void run(SessionJournal &journal, Prompts &prompts, const Regional &regional, TForm1 &testWindow)
{
    for (const JournalTest &test : journal.tests()) {
        if (test.state != JournalTest::State::Running)
            continue;
        ResumePlan plan;
        try {
            plan = ResumePlan::of(test);
        } catch (const Failure &f) {
            prompts.error(f.text());
            continue;
        }
        const int choice =
            prompts.choose(interruptedText(test, plan, regional), {ContinueText, LaterText, DiscardText});
        if (choice == 0) {
            testWindow.Resume(test);
            testWindow.exec();
        } else if (choice == 2 &&
                   prompts.question(QStringLiteral("Svi odgovori testiranja ispitanika %1 bit će trajno obrisani. "
                                                   "Želite li zaista odbaciti to testiranje?")
                                        .arg(subjectName(test)))) {
            journal.remove(test.info.uuid);
        }
    }
}

} // namespace ResumeOffer
