// The main window: start-up sequence and picture, layout, creation checks, security lock, help keys and the
// four buttons opening their areas modally, all at a device pixel ratio of 2, so the picture area must keep
// one picture pixel per device pixel.

#include "app/InstalledLayout.h"
#include "app/PictureArea.h"
#include "app/Shell.h"
#include "app/TMain_Form.h"
#include "common/Bitmap.h"
#include "common/Resources.h"
#include "common/SafeFile.h"
#include "common/ui/KalvestrinApplication.h"
#include "database/JournalFile.h"
#include "database/Query.h"
#include "database/ReadOnlyStatement.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsSchema.h"
#include "database/ui/TForm9.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "design/ui/TPagesDlg.h"
#include "results/ui/TRezultati.h"
#include "session/SessionState.h"
#include "session/ui/TForm1.h"
#include "tests/support/TestPictures.h"
#include "tests/support/TestServices.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QRgb WindowRgb = qRgb(173, 143, 252);

void askWhatsThis(QWidget *w)
{
    QHelpEvent event(QEvent::WhatsThis, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w, &event);
}

// The program's windows, created as the program creates them.
struct Program
{
    TestDesign design;
    SessionState session;
    TestServices services;
    ScriptedPrompts &prompts = services.prompts;
    RecordingHelp &help = services.help;
    QSize screen{1280, 1024};
    bool databaseConnects = false;
    ResultsDatabase database;
    std::unique_ptr<JournalFile> journal; // made by create() when asked for
    bool journalled = false;

    std::unique_ptr<Shell> shell;
    TMain_Form *main = nullptr;
    TForm1 *test = nullptr;
    TPagesDlg *designDialog = nullptr;
    TRezultati *results = nullptr;
    TForm9 *groupResults = nullptr;
    bool createdRunning = false;

    void create()
    {
        Services wiring;
        wiring.prompts = &prompts;
        wiring.help = &help;
        wiring.screenSize = [this] { return screen; };
        wiring.capsLock = [this] { return services.capsLockOn; };
        wiring.regional = services.regional;
        wiring.dataFolder = services.dataFolder;
        // A connecting run finds a real results database where the file is.
        if (databaseConnects) {
            const QString path = QDir::current().filePath(QStringLiteral("Kalvestrin.mdb"));
            if (QFile::exists(path)) {
                QFile::remove(path);
                ResultsSchema::createDatabase(path);
            }
            wiring.database = &database;
        }
        if (journalled) {
            journal = std::make_unique<JournalFile>(JournalFile::pathIn(services.dataFolder));
            wiring.journal = journal.get();
        }
        shell = std::make_unique<Shell>(wiring, design, session);
        main = &shell->mainForm();
        test = &shell->testWindow();
        designDialog = &shell->designDialog();
        results = &shell->results();
        groupResults = &shell->groupResults();

        // The tests tick by hand; a real tick in between would skip a step.
        createdRunning = timer()->isActive();
        timer()->setInterval(3600 * 1000);
    }

    void showAt(QSize client)
    {
        main->setWindowState(Qt::WindowNoState);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        main->resize(client);
        QTRY_COMPARE(main->size(), client);
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
    }

    void runStartup()
    {
        for (int i = 0; i < 6; ++i)
            main->TimerTimer();
    }

    // Created, shown at `client` and past the start-up sequence.
    void start(QSize client = QSize(1024, 768))
    {
        create();
        showAt(client);
        runStartup();
    }

    // n pictures in `folder` as the design's stimuli.
    void addStimuli(const QString &folder, int n)
    {
        for (int i = 0; i < n; ++i) {
            design.stimuli << folder + QStringLiteral("/z%1.bmp").arg(i);
            saveBmp24(filledPicture(8, 8), design.stimuli.last());
        }
    }

    // Shows the test window, fills the subject form and starts past the instructions.
    void startTest(const QString &name, const QString &surname = {})
    {
        test->show();
        QVERIFY(QTest::qWaitForWindowExposed(test));
        test->findChild<QLineEdit *>(QStringLiteral("Name"))->setText(name);
        test->findChild<QLineEdit *>(QStringLiteral("Surname"))->setText(surname);
        test->findChild<QPushButton *>(QStringLiteral("Btn1"))->click();
        // These tests run on a screen scaled by 2, which the examiner is told of.
        prompts.expectWarning(QStringLiteral("Zaslon je skaliran (omjer piksela 2)"));
        test->findChild<QPushButton *>(QStringLiteral("Btn2"))->click();
    }

    template <class T>
    T *child(const QString &name) const
    {
        T *c = main->findChild<T *>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    QTimer *timer() const { return child<QTimer>(QStringLiteral("Timer")); }
    QLabel *label() const { return child<QLabel>(QStringLiteral("Label1")); }
    PictureArea *image() const { return child<PictureArea>(QStringLiteral("Image")); }
    QLineEdit *edit() const { return child<QLineEdit>(QStringLiteral("Edit")); }
    QPushButton *speed(int n) const { return child<QPushButton>(QStringLiteral("Speed%1").arg(n)); }

    // Which of Speed1..Speed4 are visible, e.g. "1234" or "2".
    QString visibleButtons() const
    {
        QString s;
        for (int n = 1; n <= 4; ++n) {
            if (speed(n)->isVisible())
                s += QString::number(n);
        }
        return s;
    }

    // Clicks the button; while the window it opens is up, runs `whileOpen`
    // on the active modal window, then closes it. Returns that window.
    QWidget *clickAndClose(QPushButton *button, const std::function<void(QWidget *)> &whileOpen = {})
    {
        QWidget *modal = nullptr;
        QTimer::singleShot(0, main, [&] {
            modal = QApplication::activeModalWidget();
            if (modal && whileOpen)
                whileOpen(modal);
            for (QDialog *d : main->findChildren<QDialog *>()) {
                if (d->isVisible())
                    d->reject();
            }
        });
        QTest::mouseClick(button, Qt::LeftButton);
        return modal;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;

private Q_SLOTS:
    // Every test runs in a fresh data folder that holds a database file.
    void init()
    {
        m_previousDir = QDir::currentPath();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
        writeFileAtomically(m_dir->filePath(QStringLiteral("Kalvestrin.mdb")), {});
    }

    void cleanup()
    {
        QDir::setCurrent(m_previousDir);
        m_dir.reset();
    }

    void startupSequenceShowsItsWordsThenTheButtons()
    {
        Program p;
        p.create();
        p.showAt(QSize(1024, 768));
        QVERIFY(p.createdRunning);
        QVERIFY(!p.label()->isVisible() && !p.image()->isVisible() && !p.edit()->isVisible());

        // Only the first and the last word are centred; the others start where the first did.
        QLabel *label = p.label();
        const int halfWidth = p.main->frameGeometry().width() / 2;
        const struct
        {
            const char *word;
            bool centred;
            Qt::GlobalColor colour;
        } ticks[] = {{"Vestimor", true, Qt::black},
                     {"Kelda", false, Qt::black},
                     {"Ambrotel", false, Qt::black},
                     {"present", false, Qt::black},
                     {"Kalvestrin", true, Qt::red}};
        QPoint first;
        for (const auto &tick : ticks) {
            p.main->TimerTimer();
            QCOMPARE(label->text(), QLatin1String(tick.word));
            QVERIFY(label->isVisible() && !p.image()->isVisible() && p.visibleButtons().isEmpty());
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
            if (first.isNull())
                first = label->pos();
            QCOMPARE(label->x(), tick.centred ? halfWidth - label->width() / 2 : first.x());
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(tick.colour));
        }
        QCOMPARE(label->y(), first.y());

        // The last step lets pending window events run once the picture is painted.
        bool ranDuringTheStep = false;
        QTimer::singleShot(0, p.main, [&] {
            ranDuringTheStep = p.timer()->isActive() && p.image()->canvas().pixel(1, 1) == WindowRgb;
        });
        p.main->TimerTimer();
        QVERIFY(ranDuringTheStep);
        QVERIFY(!label->isVisible() && p.image()->isVisible() && !p.edit()->isVisible() && !p.timer()->isActive());
        QCOMPARE(p.visibleButtons(), QStringLiteral("1234"));

        // A late tick changes nothing.
        const QImage painted = p.image()->canvas().copy();
        p.main->TimerTimer();
        QVERIFY(!label->isVisible() && !p.timer()->isActive() && p.visibleButtons() == QStringLiteral("1234"));
        QCOMPARE(p.image()->canvas(), painted);
    }

    // The start-up picture, masked at level 4, on a screen of scale 2.
    void startupPictureIsMaskedAtLevelFourPixelForPixel()
    {
        Program p;
        p.start();
        const QImage picture = Resources::background();
        const QImage &area = p.image()->canvas();
        // Row 0 and column 0 untouched; every 4th pixel of every 4th row from
        // the picture, the others in the window's colour.
        QImage expected(550, 550, QImage::Format_RGB32);
        expected.fill(Qt::white);
        for (int y = 1; y < 550; ++y)
            for (int x = 1; x < 550; ++x)
                expected.setPixel(x, y, x % 4 == 0 && y % 4 == 0 ? picture.pixel(x, y) : WindowRgb);
        QCOMPARE(area.convertToFormat(QImage::Format_RGB32), expected);

        // On screen: exactly the canvas, one canvas pixel per device pixel.
        QCOMPARE(p.image()->devicePixelRatioF(), 2.0);
        QImage shown = p.image()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(550, 550));
        shown.setDevicePixelRatio(1);
        QCOMPARE(shown, area.convertToFormat(QImage::Format_RGB32));
    }

    // Geometries worked out by hand from the layout rules, for a picture area
    // of 275 logical pixels (550 device pixels at scale 2) and the outer size
    // of the test platform, two pixels more than the client size each way.
    void layoutFollowsTheOuterSize_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QPoint>("image");
        QTest::addColumn<QPoint>("speed1");
        QTest::addColumn<int>("gap");
        QTest::newRow("1024x768") << QSize(1024, 768) << QSize(1280, 1024) << QPoint(300, 248) << QPoint(725, 104)
                                  << 104;
        QTest::newRow("1027x771") << QSize(1027, 771) << QSize(1280, 1024) << QPoint(302, 249) << QPoint(728, 104)
                                  << 104;
        // A low screen keeps the picture at the top.
        QTest::newRow("low screen") << QSize(800, 578) << QSize(800, 600) << QPoint(188, 0) << QPoint(557, 69) << 69;
    }

    void layoutFollowsTheOuterSize()
    {
        QFETCH(QSize, client);
        QFETCH(QSize, screen);
        QFETCH(QPoint, speed1);
        QFETCH(int, gap);
        Program p;
        p.screen = screen;
        p.start(client);
        QTEST(p.image()->pos(), "image");
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(p.speed(n)->geometry(), QRect(speed1 + QPoint(0, (n - 1) * (50 + gap)), QSize(150, 50)));
        QCOMPARE(p.edit()->geometry(), QRect(speed1.x(), speed1.y() - 5 - p.edit()->height(), 150, p.edit()->height()));
        if (screen.height() <= 600) {
            p.main->resize(1100, 900);
            QTRY_COMPARE(p.main->size(), QSize(1100, 900));
            QCOMPARE(p.image()->pos(), QPoint(338, 0));
        }
    }

    void creationStepChecksScreenDatabaseAndTables()
    {
        for (const QSize screen : {QSize(799, 600), QSize(800, 599)}) {
            Program p;
            p.screen = screen;
            p.prompts.expectWarning(TMain_Form::ScreenTooSmallText);
            p.create();
        }
        {
            Program p;
            p.screen = QSize(800, 600);
            p.create();
            QCOMPARE(p.help.helpFilePath(), QDir::currentPath() + QStringLiteral("/Kalvestrin.chm"));
        }

        // No database file: the error, and "Podaci" stays disabled for the run.
        QVERIFY(QFile::remove(QStringLiteral("Kalvestrin.mdb")));
        {
            Program p;
            p.databaseConnects = true;
            p.design.maskColours.assign(3, Black);
            p.session.efficiency.assign(3, 0.5);
            p.prompts.expectError(TMain_Form::NoDatabaseText);
            p.start();
            QVERIFY(!p.main->databaseOpen() && p.speed(4)->isVisible() && !p.speed(4)->isEnabled());

            QCOMPARE(p.design.maskColours, std::vector<Colour>(1000, White));
            QCOMPARE(p.session.efficiency.size(), std::size_t(1000));
            QCOMPARE(p.session.efficiency[2], 0.5);
            QCOMPARE(p.session.efficiency[999], 0.0);
            QCOMPARE(p.session.recognised, std::vector<bool>(1000, false));
        }

        // A file there: no message; "Podaci" follows the connection.
        writeFileAtomically(QStringLiteral("Kalvestrin.mdb"), {});
        for (const bool connects : {false, true}) {
            Program p;
            p.databaseConnects = connects;
            p.create();
            QCOMPARE(p.main->databaseOpen(), connects);
            QCOMPARE(p.speed(4)->isEnabled(), connects);
        }
    }

    // A finished test is archived by the results window and is the grid's newest database row.
    void finishedTestIsShownAndStored()
    {
        Program p;
        p.databaseConnects = true;
        p.addStimuli(m_dir->path(), 2);
        p.design.solutions[0][0] = QStringLiteral("Z1");
        p.design.solutions[1][0] = QStringLiteral("Z2");
        p.design.maskLevels = {QStringLiteral("1")};
        p.create();
        QVERIFY(p.main->databaseOpen());
        p.startTest(QStringLiteral("ANA"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y);
        p.prompts.expectInformation(QStringLiteral("Testiranje je završeno!"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N);

        QVERIFY(p.results->archiveText().startsWith(QStringLiteral(" ANA; ")));
        ReadOnlyStatement newest =
            prepareReadOnly(p.database, QStringLiteral("SELECT ID, Name, N FROM Data ORDER BY ID DESC LIMIT 1"));
        QVERIFY(newest.next());
        QCOMPARE(newest.value(1).toString(), QStringLiteral("ANA"));
        QCOMPARE(newest.value(2).toInt(), 2);
        Query &shown = p.groupResults->query();
        p.groupResults->show();
        QTRY_COMPARE(shown.rowId(shown.currentRow()), newest.value(0).toLongLong());
    }

    // Closing the design measures pictures against the real test window: its
    // outer size less the answer bar as the test window lays it out.
    void designClosingMeasuresTheTestWindow_data()
    {
        QTest::addColumn<int>("extraRows");
        QTest::addColumn<bool>("warned");
        QTest::newRow("exactly fits") << 0 << false;
        QTest::newRow("one row under the answer bar") << 1 << true;
    }
    void designClosingMeasuresTheTestWindow()
    {
        QFETCH(int, extraRows);
        Program p;
        p.create();
        const QSize outer = p.test->screen()->availableGeometry().size();
        const int bar = p.test->findChild<QWidget *>(QStringLiteral("Panel3"))->height();
        QVERIFY(bar > 0);
        p.design.stimuli << m_dir->filePath(QStringLiteral("visoka.bmp"));
        saveBmp24(filledPicture(8, outer.height() - bar + extraRows), p.design.stimuli.last());
        p.designDialog->show();
        QFETCH(bool, warned);
        if (warned)
            p.prompts.expectWarning(QStringLiteral("U listi podražaja pronađena je barem jedna slika koja izlazi"));
        p.designDialog->close();
    }

    // A test cut off mid-way is offered at the next start: discarding asks
    // once more, continuing opens the test window where the answers left it.
    void interruptedTestIsOfferedAtStart()
    {
        const QString designFile = m_dir->filePath(QStringLiteral("nacrt.txt"));
        {
            Program p;
            p.journalled = true;
            p.addStimuli(m_dir->path(), 3);
            p.design.maskLevels = {QStringLiteral("2"), QStringLiteral("1")};
            SaveDesignFile(p.design, designFile);
            LoadDesignFile(p.design, designFile);
            p.create();
            p.startTest(QStringLiteral("ANA"), QStringLiteral("BIĆ"));
            for (Qt::Key key : {Qt::Key_N, Qt::Key_Y, Qt::Key_N})
                QTest::keyClick(QApplication::focusWidget(), key);
        } // the program is gone mid-test
        QFile::remove(designFile);

        const QString offered = QStringLiteral("Testiranje ispitanika BIĆ ANA započeto ");
        {
            Program p;
            p.journalled = true;
            p.create();
            p.prompts.expectChoice(2, offered).expectQuestion(false, QStringLiteral("BIĆ ANA"));
            p.runStartup();
            QVERIFY(p.prompts.records().at(0).text.contains(
                QStringLiteral(" prekinuto je nakon 1 od 3 zadataka. Datoteka nacrta %1 promijenjena je nakon početka")
                    .arg(designFile)));
        }

        Program p;
        p.journalled = true;
        p.databaseConnects = true;
        p.create();
        QList<QPair<int, int>> shown;
        QObject::connect(p.test, &TForm1::stimulusPresented, p.test, [&](int task, int levelIndex) {
            shown << qMakePair(task, levelIndex);
            QTimer::singleShot(0, p.test, [&] { QTest::keyClick(p.test, Qt::Key_Y); });
        });
        p.prompts.expectChoice(0, offered).expectInformation(QStringLiteral("Testiranje je završeno!"));
        p.runStartup();
        QCOMPARE(shown, (QList<QPair<int, int>>{{1, 1}, {2, 0}})); // no subject form, no instructions
        QCOMPARE(p.prompts.pending(), 0);
        QVERIFY(p.journal->tests().isEmpty());
        ReadOnlyStatement row = prepareReadOnly(p.database, QStringLiteral("SELECT Surname, N FROM Data"));
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toString(), QStringLiteral("BIĆ"));
        QCOMPARE(row.value(1).toInt(), 3);
    }

    // The lock, and help that answers only while the program is not locked.
    void securityModeLocksUntilThePasswordIsTyped()
    {
        Program p;
        p.start();
        QLineEdit *edit = p.edit();
        const auto ctrlAlt = Qt::ControlModifier | Qt::AltModifier;

        // With the mode off, Ctrl+Alt+P shows nothing and help answers.
        QTest::keyClick(p.main, Qt::Key_P, ctrlAlt);
        QVERIFY(edit->isHidden());
        QTest::keyClick(p.main, Qt::Key_F1);
        askWhatsThis(p.image());
        askWhatsThis(p.main);
        QCOMPARE(p.help.topics, QStringList({"1", "1", "1"}));

        // With it on, only "Testiranje" and no help, not even from the password box.
        p.design.securityMode = true;
        p.design.password = QStringLiteral("TAJNA");
        p.main->ApplySecurityMode();
        QCOMPARE(p.visibleButtons(), QStringLiteral("2"));
        QVERIFY(edit->isHidden());
        QTest::keyClick(p.main, Qt::Key_F1);
        askWhatsThis(p.image());

        QTest::keyClick(p.main, Qt::Key_P, ctrlAlt);
        QTRY_VERIFY(edit->isVisible() && edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_F1);
        QCOMPARE(p.help.topics.size(), 3);
        QCOMPARE(edit->echoMode(), QLineEdit::Password);

        // Shift does not matter; a second press only keeps the focus there.
        QTest::keyClicks(edit, QStringLiteral("ta"));
        QTest::keyClick(p.main, Qt::Key_P, ctrlAlt | Qt::ShiftModifier);
        QVERIFY(edit->isVisible() && edit->hasFocus());
        QCOMPARE(edit->text(), QStringLiteral("TA"));

        // A wrong password: nothing happens, no message.
        QTest::keyClicks(edit, QStringLiteral("jnx"));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(edit->isVisible());
        QCOMPARE(p.visibleButtons(), QStringLiteral("2"));

        // Upper case as typed, spaces dropped, at most 20 characters.
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("ta jna"));
        QCOMPARE(edit->text(), QStringLiteral("TAJNA"));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(edit->isHidden());
        QCOMPARE(p.visibleButtons(), QStringLiteral("1234"));
        QVERIFY(p.design.securityMode);

        p.main->ApplySecurityMode();
        QCOMPARE(p.visibleButtons(), QStringLiteral("2"));
        QTest::keyClick(p.main, Qt::Key_P, ctrlAlt);
        QTest::keyClicks(edit, QStringLiteral("abcdefghij klmnopqrstuvwxyz"));
        QCOMPARE(edit->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));

        // Closing the design dialog empties and hides the box again.
        p.main->ApplySecurityMode();
        QVERIFY(edit->isHidden() && edit->text().isEmpty());

        // An empty password opens on Enter in the empty box.
        p.design.password.clear();
        QTest::keyClick(p.main, Qt::Key_P, ctrlAlt);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(edit->isHidden());
        QCOMPARE(p.visibleButtons(), QStringLiteral("1234"));

        p.design.securityMode = false;
        p.main->ApplySecurityMode();
        QCOMPARE(p.visibleButtons(), QStringLiteral("1234"));
    }

    void buttonsOpenTheirAreasModally()
    {
        Program p;
        p.databaseConnects = true;
        p.start();

        // "Testiranje" starts every subject afresh.
        auto *gender = p.test->findChild<QComboBox *>(QStringLiteral("Combo1"));
        const QStringList fields = {"Name", "Surname", "Age", "Field1", "Field2", "Field3"};
        for (const QString &f : fields)
            p.test->findChild<QLineEdit *>(f)->setText(QStringLiteral("X1"));
        gender->setCurrentIndex(1);
        QStringList seen;
        QCOMPARE(p.clickAndClose(p.speed(2),
                                 [&](QWidget *) {
                                     for (const QString &f : fields)
                                         seen << p.test->findChild<QLineEdit *>(f)->text();
                                     seen << gender->currentText();
                                 }),
                 p.test);
        QCOMPARE(seen, QStringList(7, QString()));

        QCOMPARE(p.clickAndClose(p.speed(3)), p.results);

        // "Podaci" opens the group results locked.
        QVERIFY(!p.groupResults->isLocked());
        bool lockedWhileOpen = false;
        QCOMPARE(p.clickAndClose(p.speed(4), [&](QWidget *) { lockedWhileOpen = p.groupResults->isLocked(); }),
                 p.groupResults);
        QVERIFY(lockedWhileOpen);

        // Closing the design dialog applies the security mode it leaves.
        QCOMPARE(p.clickAndClose(p.speed(1), [&](QWidget *) { p.design.securityMode = true; }), p.designDialog);
        QCOMPARE(p.visibleButtons(), QStringLiteral("2"));
        p.design.securityMode = false;
        p.main->ApplySecurityMode();
        QCOMPARE(p.clickAndClose(p.speed(1)), p.designDialog);
        QCOMPARE(p.visibleButtons(), QStringLiteral("1234"));
    }

    // The program quits (say, the session ends) while "Podaci" is open: the
    // area closes, the click returns, the loop ends and the main window takes
    // every window with it.
    void quittingWithAnAreaOpenEndsCleanly()
    {
        auto p = std::make_unique<Program>();
        p->databaseConnects = true;
        p->start();
        QPointer<TForm9> area = p->groupResults;
        QWidget *modal = nullptr;
        bool clickReturned = false;
        QTimer::singleShot(0, p->main, [&] {
            p->speed(4)->click();
            clickReturned = true;
        });
        QTimer::singleShot(50, qApp, [&] {
            modal = QApplication::activeModalWidget();
            QApplication::quit();
        });
        // Should the quit not get through, end the loop anyway so the test fails rather than hangs.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            if (area)
                area->reject();
            QApplication::exit(1);
        });
        guard.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(modal, area.data());
        QVERIFY(clickReturned);
        QVERIFY(!area->isVisible());
        p.reset();
        QVERIFY(area.isNull());
    }
    // An installed program's first start: the user's folder gets a demo kit
    // whose design loads from the copies, the help file and an empty results
    // database; a second start leaves what the user changed as it is.
    void installedProgramPreparesTheDataFolder()
    {
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(QStringLiteral("usr/bin")) && root.mkpath(QStringLiteral("usr/share/kalvestrin/primjer")));
        QCOMPARE(InstalledLayout::shareFolder(root.filePath(QStringLiteral("usr/bin"))), QString());
        const QDir share(root.filePath(QStringLiteral("usr/share/kalvestrin")));
        writeFileAtomically(share.filePath(QStringLiteral("Kalvestrin.chm")), "help");
        saveBmp24(filledPicture(8, 6, Black), share.filePath(QStringLiteral("primjer/kuca.bmp")));
        TestDesign demo;
        demo.stimuli << QStringLiteral("/build/elsewhere/primjer/kuca.bmp");
        demo.solutions[0][0] = QStringLiteral("KUĆA");
        demo.maskLevels << QStringLiteral("1");
        SaveDesignFile(demo, share.filePath(QStringLiteral("primjer/primjer.txt")));
        QCOMPARE(InstalledLayout::shareFolder(root.filePath(QStringLiteral("usr/bin"))), share.path());

        const QString data = root.filePath(QStringLiteral("home/Kalvestrin"));
        InstalledLayout::prepareDataFolder(share.path(), data);
        TestDesign copied;
        LoadDesignFile(copied, data + QStringLiteral("/primjer/primjer.txt"));
        QCOMPARE(copied.stimuli, QStringList{data + QStringLiteral("/primjer/kuca.bmp")});
        QCOMPARE(loadPicture(copied.stimuli[0]).size(), QSize(8, 6));
        ResultsDatabase db;
        db.setConnectionString(QStringLiteral("Data Source=") + data + QStringLiteral("/Kalvestrin.mdb"));
        db.open();
        QCOMPARE(db.execute(QStringLiteral("delete from Data")), 0);
        db.close();

        writeFileAtomically(data + QStringLiteral("/Kalvestrin.chm"), "mine");
        InstalledLayout::prepareDataFolder(share.path(), data);
        QCOMPARE(readWholeFile(data + QStringLiteral("/Kalvestrin.chm")), QByteArray("mine"));
    }
};

int main(int argc, char **argv)
{
    // Twice the device pixels per logical pixel, as on a high-density screen.
    qputenv("QT_SCALE_FACTOR", "2");
    KalvestrinApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMainWindow.moc"
