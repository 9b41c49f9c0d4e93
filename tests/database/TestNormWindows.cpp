// The norm groups window and the report command, driven as the examiner
// drives them.

#include "common/SafeFile.h"
#include "database/StoreFinishedTest.h"
#include "database/ui/NormGroupsWindow.h"
#include "database/ui/NormReportCommand.h"
#include "results/ReportSubject.h"
#include "results/ui/PdfPrintTarget.h"
#include "results/ui/TRezultati.h"
#include "tests/database/DatabaseFixture.h"
#include "tests/results/PdfText.h"
#include "tests/support/TestServices.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

class TestNormWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void groupsMadeKeptAndReported()
    {
        TestServices services;
        ScriptedPrompts &prompts = services.prompts;
        DatabaseFixture db;
        for (int i = 0; i < 4; ++i) {
            SessionResult r = finishedTest({0.25 * (i + 1), 0.5});
            r.subject.Field1 = i < 3 ? QStringLiteral("grupa A") : QStringLiteral("B");
            StoreFinishedTest(db.con, r, DecimalComma);
        }
        const QString pdf = db.dir.filePath(QStringLiteral("izvještaj.pdf"));
        NormReportCommand report(db.con, prompts, services.regional, std::make_unique<PdfPrintTarget>(pdf));
        QStringList lastChoices;
        report.setChooser([&](QWidget *, const QStringList &names, const QString &last) {
            lastChoices << last;
            return names.last();
        });
        TRezultati results(prompts, services.clock, services.regional, db.dir.path());
        results.setReportCommand([&](const ReportSubject &s) { report.print(&results, s); });
        results.accept(finishedTest({0.5, 0.5}));
        QAction *reportAction = results.findChild<QAction *>(QStringLiteral("Izvjestaj"));
        prompts.expectWarning(QStringLiteral("U bazi podataka nema normnih skupina. Napravite ih u prozoru Norme "
                                             "(Podaci, gumb Norme)."));
        reportAction->trigger();

        NormGroupsWindow w(db.con, prompts, services.clock, db.dir.path());
        auto click = [&](int n) {
            QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Btn%1").arg(n)), Qt::LeftButton);
        };
        QTest::keyClicks(w.edit(QStringLiteral("Naziv")), QStringLiteral("A"));
        QTest::keyClicks(w.edit(QStringLiteral("Polje1")), QStringLiteral("grupa"));
        click(1);
        QCOMPARE(w.list()->count(), 1);
        QVERIFY2(w.details()->text().contains(QStringLiteral("n = 3; M = 0.5;")), qPrintable(w.details()->text()));
        QVERIFY(w.details()->text().contains(QStringLiteral("Oprez")));
        prompts.expectError(QStringLiteral("Normna skupina \"A\" već postoji."));
        click(1);
        w.edit(QStringLiteral("Naziv"))->setText(QStringLiteral("B"));
        click(2);
        QCOMPARE(w.list()->currentItem()->text(), QStringLiteral("B"));

        const QString csv = db.dir.filePath(QStringLiteral("b.csv"));
        prompts.expectSaveFile(csv);
        click(4);
        QVERIFY(readWholeFile(csv).startsWith("Kalvestrin norme,1\r\nopis,\"Polje1 sadrži \"\"grupa\"\"\"\r\nn,3\r\n"));
        w.edit(QStringLiteral("Naziv"))->setText(QStringLiteral("C"));
        prompts.expectOpenFile(csv);
        click(5);
        QCOMPARE(w.list()->count(), 2);

        // The report asks for the group, remembers it, and names its file.
        prompts.expectInformation();
        reportAction->trigger();
        prompts.expectInformation();
        reportAction->trigger();
        QCOMPARE(lastChoices, QStringList({QString(), QStringLiteral("C")}));
        // The choice outlives the program: a new start offers it again.
        const QString ini = db.dir.filePath(QStringLiteral("Kalvestrin.ini"));
        report.rememberIn(ini);
        prompts.expectInformation();
        reportAction->trigger();
        NormReportCommand restarted(db.con, prompts, services.regional, std::make_unique<PdfPrintTarget>(pdf));
        restarted.rememberIn(ini);
        QCOMPARE(restarted.lastChoice(), QStringLiteral("C"));
        const QString text = pdfText(pdf).simplified();
        QVERIFY2(text.contains(QStringLiteral("Normna skupina: C (n = 3;")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Centilni rang: 50.0")));

        w.list()->setCurrentRow(0);
        prompts.expectQuestion(false, QStringLiteral("Želite li obrisati normnu skupinu \"B\"?"));
        click(3);
        QCOMPARE(w.list()->count(), 2);
        prompts.expectQuestion(true);
        click(3);
        QCOMPARE(w.list()->count(), 1);
        QCOMPARE(prompts.pending(), 0);
    }
};

KALVESTRIN_TEST_MAIN(TestNormWindows)
#include "TestNormWindows.moc"
