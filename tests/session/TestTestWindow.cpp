// The test window driven by keys and clicks: the subject form, the
// instructions, both ways of answering, what the screen shows, and the one
// result handed on at the end.

#include "common/Bitmap.h"
#include "common/Failure.h"
#include "common/ui/GeneralErrorHandler.h"
#include "design/TestDesign.h"
#include "session/FeedbackSounds.h"
#include "session/SessionResult.h"
#include "session/SessionState.h"
#include "session/ui/TForm1.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestPictures.h"
#include "tests/support/TestServices.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

constexpr Colour Red = rgbColour(255, 0, 0);
constexpr Colour Grey = rgbColour(128, 128, 128);
constexpr Colour Blue = rgbColour(0, 0, 255);

class RecordingSounds : public FeedbackSounds
{
public:
    QStringList played;
    void beep() override { played << QStringLiteral("beep"); }
    void play(const QString &name) override { played << name; }
};

// Logs its name for every result and keeps the last one.
class RecordingSink : public ResultSink
{
public:
    RecordingSink(QStringList &log, QString name, bool throws = false)
        : log(log)
        , name(std::move(name))
        , throws(throws)
    {}
    QStringList &log;
    QString name;
    bool throws;
    SessionResult last;
    void accept(const SessionResult &r) override
    {
        log << name;
        last = r;
        if (throws)
            throw Failure(QStringLiteral("sink failed"));
    }
};

// A test window over a design of `tasks` 20 x 20 pictures (task 0 is the
// 4 x 4 worked picture), answers "T1", "T2", ...
struct Rig
{
    QTemporaryDir dir;
    TestDesign design;
    SessionState session;
    TestServices services;
    ScriptedPrompts &prompts = services.prompts;
    FakeClock clock;
    RecordingSounds sounds;
    std::unique_ptr<TForm1> form;

    Rig(int tasks, TestingMode mode)
    {
        design.testingMode = mode;
        design.maskLevels = {QStringLiteral("2"), QStringLiteral("1")};
        for (int i = 0; i < tasks; ++i) {
            QImage pic = i == 0 ? filledPicture(4, 4) : filledPicture(20, 20, Grey);
            if (i == 0)
                setPixel(pic, 2, 2, Red);
            const QString path = dir.filePath(QStringLiteral("p%1.bmp").arg(i));
            saveBmp24(pic, path);
            design.stimuli << path;
            design.solutions[std::size_t(i)][0] = QStringLiteral("T%1").arg(i + 1);
        }
        design.solutions[0][1] = QStringLiteral("KUĆA");
        form = std::make_unique<TForm1>(design, session, prompts, clock, sounds);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    template <typename T = QWidget>
    T *child(const char *name)
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    void toInstructions() { child<QPushButton>("Btn1")->click(); }
    void start()
    {
        toInstructions();
        child<QPushButton>("Btn2")->click();
    }
    // Answers in independent mode: the text, then Enter in the answer box.
    void answer(const QString &text)
    {
        QLineEdit *edit = child<QLineEdit>("Edit1");
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        QTest::keyClick(target, k, m);
    }
};

// Types text as a keyboard would, characters beyond ASCII included.
void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        const Qt::Key key =
            c.unicode() < 128 && c.isLetterOrNumber() ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, w, key, QString(c), Qt::NoModifier);
    }
}

// Where ageAndForbiddenCharacters puts its text, and the box it expects.
enum Input { Typed, OverSelection, Pasted, Field3 };
enum Box { NoBox, Warning, Error };

} // namespace

class TestTestWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void subjectForm()
    {
        Rig rig(2, TestingMode::Assisted);
        QVERIFY(rig.child("Panel1")->isVisible());
        QVERIFY(!rig.child("Panel2")->isVisible() && !rig.child("Panel3")->isVisible());
        auto *combo = rig.child<QComboBox>("Combo1");
        QCOMPARE(combo->currentIndex(), -1);

        // Typed names come out in upper case, Croatian letters included;
        // the focused box is red.
        auto *name = rig.child<QLineEdit>("Name");
        QVERIFY(name->hasFocus());
        QCOMPARE(name->palette().color(QPalette::Base), QColor(255, 0, 0));
        typeText(name, QStringLiteral("ana žić"));
        QCOMPARE(name->text(), QStringLiteral("ANA ŽIĆ"));
        // Characters the result files cannot hold are refused with the beep.
        typeText(name, QStringLiteral("ñЖ"));
        QCOMPARE(name->text(), QStringLiteral("ANA ŽIĆ"));
        QCOMPARE(rig.sounds.played, (QStringList{"beep", "beep"}));

        // The ring: Up from Name to Field3, Enter from Field3 back to Name,
        // End and Home.
        QTest::keyClick(name, Qt::Key_Up);
        QVERIFY(rig.child("Field3")->hasFocus());
        QTest::keyClick(rig.child("Field3"), Qt::Key_Return);
        QVERIFY(name->hasFocus());
        name->setFocus();
        rig.child("Surname")->setFocus();
        QVERIFY(name->palette().color(QPalette::Base) != QColor(255, 0, 0));

        // Neither Enter nor Escape presses a button or closes the window.
        QTest::keyClick(rig.child("Surname"), Qt::Key_Return);
        QTest::keyClick(rig.child("Age"), Qt::Key_Escape);
        QVERIFY(rig.form->isVisible());
        QVERIFY(rig.child("Panel1")->isVisible());
        QCOMPARE(rig.prompts.records().size(), 0);

        // Reached without a choice, the gender list opens with the entry
        // that Enter takes highlighted.
        QTest::keyClick(rig.child("Age"), Qt::Key_Return);
        QTRY_VERIFY(combo->view()->isVisible());
        const QModelIndex highlighted = combo->view()->currentIndex();
        QVERIFY(highlighted.isValid() && combo->view()->selectionModel()->isSelected(highlighted));
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(combo->currentIndex(), highlighted.row());

        combo->setCurrentIndex(1);
        QCOMPARE(rig.form->subject().GenderText, QStringLiteral("Muški"));
    }

    void ageAndForbiddenCharacters_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("box"); // NoBox: the instructions are shown
        QTest::addColumn<int>("beeps");
        QTest::newRow("empty age") << int(Typed) << QString() << int(NoBox) << 0;
        QTest::newRow("leading zero") << int(Typed) << "0" << int(NoBox) << 1;
        QTest::newRow("zero over the selection") << int(OverSelection) << "0" << int(NoBox) << 1;
        QTest::newRow("letters") << int(Typed) << "4x0" << int(NoBox) << 1;
        QTest::newRow("140") << int(Typed) << "140" << int(NoBox) << 0;
        QTest::newRow("141") << int(Typed) << "141" << int(Warning) << 0;
        QTest::newRow("pasted 1a") << int(Pasted) << "1a" << int(Warning) << 0;
        QTest::newRow("semicolon in Field3") << int(Field3) << "a;b" << int(Error) << 0;
    }
    void ageAndForbiddenCharacters()
    {
        QFETCH(int, input);
        QFETCH(QString, text);
        QFETCH(int, box);
        QFETCH(int, beeps);
        Rig rig(2, TestingMode::Assisted);
        auto *age = rig.child<QLineEdit>("Age");
        age->setFocus();
        if (input == OverSelection) {
            age->setText(QStringLiteral("5"));
            age->selectAll();
        }
        if (input == Typed || input == OverSelection)
            QTest::keyClicks(age, text);
        else if (input == Pasted)
            age->setText(text);
        else
            rig.child<QLineEdit>("Field3")->setText(text);
        QCOMPARE(rig.sounds.played.count("beep"), beeps);
        if (box == Warning)
            rig.prompts.expectWarning("Pogrešno upisana dob. Dob mora biti cjeli broj u intervalu 1..140 (godina)!");
        else if (box == Error)
            rig.prompts.expectError("Nedozvoljen znak unutar podataka o ispitaniku!");
        rig.toInstructions();
        QCOMPARE(rig.child("Panel2")->isVisible(), box == NoBox);
        QCOMPARE(rig.child("Panel1")->isVisible(), box != NoBox);
        if (box == Warning) {
            QVERIFY(age->hasFocus());
            QCOMPARE(age->selectedText(), age->text());
        }
    }

    void instructions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("file"); // empty: none set
        QTest::addColumn<QString>("shown");   // start of the text shown
        QTest::addColumn<bool>("error");
        QTest::newRow("independent, built in")
            << 0 << QByteArray() << "                        U  P  U  T  A \n\nMolimo Vas" << false;
        QTest::newRow("rich text") << 1 << QByteArray("{\\rtf1\\ansi{\\b Mi\\'9a}\\par \\u269?ovjek}") << "Miš\nčovjek"
                                   << false;
        QTest::newRow("too deep: built-in text")
            << 1 << QByteArray("{\\rtf1" + QByteArray(400, '{')) << "                        U  P  U  T  A " << true;
    }
    void instructions()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        QFETCH(bool, error);
        Rig rig(2, TestingMode(mode));
        if (!file.isEmpty()) {
            QFile f(rig.dir.filePath("uputa.txt"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
            rig.design.instructionFile = f.fileName();
        }
        if (error)
            rig.prompts.expectError("Učitavanje upute iz vanjske datoteke nije uspjelo! Staza upute: " +
                                    rig.design.instructionFile);
        rig.toInstructions();
        QVERIFY(rig.child("Panel2")->isVisible());
        const QString text = rig.child<QTextEdit>("RE")->toPlainText();
        QVERIFY2(text.startsWith(shown), qPrintable(text.left(60)));
        if (mode == 0 && file.isEmpty())
            QVERIFY(text.contains("upisati njihovo ime u prazni prozorčić"));
        if (error)
            QVERIFY(text.contains("reći njihovo ime"));
    }

    void startChecks()
    {
        Rig rig(0, TestingMode::Assisted);
        rig.prompts.expectWarning("Niste definirali zadatke");
        rig.start();
        QVERIFY(rig.child("Panel2")->isVisible());
        QVERIFY(!rig.form->frame());
    }

    void workedFrameOnScreen()
    {
        Rig rig(2, TestingMode::Assisted);
        rig.design.testWindowColour = Blue;
        rig.design.maskColours[0] = Grey;
        rig.form->hide();
        rig.form->show(); // the window colour is taken when shown
        // On a scaled screen the examiner is told before the test, which then starts.
        if (rig.form->devicePixelRatioF() != 1)
            rig.prompts.expectWarning(QStringLiteral("Zaslon je skaliran (omjer piksela 2)"));
        rig.start();
        QCOMPARE(rig.prompts.pending(), 0);
        QVERIFY(!rig.child("Edit1")->isVisible()); // assisted: no answer box
        for (int pass = 0; pass < 2; ++pass) {     // and again after a repaint
            const QImage shot = rig.form->grab().toImage();
            QCOMPARE(shot.pixelColor(1, 1), toQColor(Blue));
            QCOMPARE(shot.pixelColor(3, 3), toQColor(Red));
            QCOMPARE(shot.pixelColor(5, 3), QColor(Qt::black)); // off the picture
            QCOMPARE(shot.pixelColor(2, 2), toQColor(Grey));
            rig.form->repaint();
        }
        QCOMPARE(rig.form->frame()->efficiency, 0.25);
    }

    void independentTest()
    {
        Rig rig(3, TestingMode::Independent);
        rig.design.visualFeedback = false;
        QStringList log;
        RecordingSink results(log, "results"), archive(log, "archive"), database(log, "database");
        rig.form->addResultSink(&results);
        rig.form->addResultSink(&archive);
        rig.form->addResultSink(&database);
        rig.child<QLineEdit>("Name")->setText("ANA");
        rig.start();
        QCOMPARE(rig.form->windowTitle(), QStringLiteral("Š t o     j e     o v o   ? "));
        auto *edit = rig.child<QLineEdit>("Edit1");
        QVERIFY(edit->isVisible() && edit->hasFocus());
        typeText(edit, QStringLiteral("Ж"));

        rig.answer("KU ĆA"); // task 1 at level 2
        rig.answer("   ");   // task 2: blank is wrong
        rig.answer("t2");    // at level 1: right
        rig.answer("X");     // task 3 wrong at level 2
        rig.prompts.expectInformation("Testiranje je završeno! Hvala Vam na sudjelovanju!");
        rig.answer("Y"); // and at level 1: unrecognised, the end
        QCOMPARE(rig.sounds.played, (QStringList{"beep", "ID_DA", "ID_NE", "ID_DA", "ID_NE", "ID_NE"}));
        QVERIFY(!rig.form->isVisible());
        QCOMPARE(log, (QStringList{"results", "archive", "database"}));

        const SessionResult &r = results.last;
        QCOMPARE(r.subject.Name, QStringLiteral("ANA"));
        QCOMPARE(r.tasks[0].efficiency, 0.25);
        QCOMPARE(r.tasks[1].efficiency, 1.0);
        QCOMPARE(r.tasks[2].efficiency, 2.0);
        QCOMPARE(r.testDate, QDate(2024, 3, 1));

        // Keys after the end start nothing and store nothing.
        rig.answer("T3");
        QCOMPARE(log.size(), 3);
    }

    // The examiner's keys reach the sequence whatever the Shift state; the
    // sequence's own rules are tested without the window.
    void assistedTest()
    {
        Rig rig(2, TestingMode::Assisted);
        QStringList log;
        RecordingSink sink(log, "sink");
        rig.form->addResultSink(&sink);
        rig.start();
        rig.key(Qt::Key_F5); // the first picture: only a beep
        rig.key(Qt::Key_F10);
        rig.key(Qt::Key_Period, Qt::KeypadModifier);
        rig.key(Qt::Key_Return);
        QCOMPARE(rig.sounds.played, QStringList{"beep"});
        QCOMPARE(rig.session.presentations.size(), 1);

        rig.key(Qt::Key_N);
        rig.key(Qt::Key_Y, Qt::ShiftModifier);
        QCOMPARE(rig.form->windowTitle(), QStringLiteral("Zadatak 1. Vaš posljednji odgovor bio je  T O Č A N."));
        rig.key(Qt::Key_F5); // back to task 1, which the N then leaves unrecognised
        rig.key(Qt::Key_N);
        QCOMPARE(rig.form->windowTitle(), QStringLiteral("Zadatak 1. Vaš posljednji odgovor bio je  N E T O Č A N."));
        rig.prompts.expectInformation("Testiranje je završeno!");
        rig.key(Qt::Key_Y);
        QCOMPARE(sink.last.tasks[0].efficiency, 2.0);
        QCOMPARE(sink.last.presentations[2].key, QStringLiteral("F5"));
    }

    void keysOutsideAPicture()
    {
        Rig rig(2, TestingMode::Assisted);
        // On the subject form a typed "N" or "Y" goes into the box only.
        QTest::keyClicks(rig.child("Name"), "NINA");
        rig.toInstructions();
        rig.key(Qt::Key_Y);
        rig.key(Qt::Key_F5);
        QVERIFY(rig.session.presentations.isEmpty());

        // Enter presses the focused button; the Enter that starts the test
        // is released under the first picture and answers nothing.
        Rig typed(2, TestingMode::Independent);
        typed.child("Btn1")->setFocus();
        QTest::keyClick(typed.child("Btn1"), Qt::Key_Return);
        QVERIFY(typed.child("Btn2")->hasFocus());
        QTest::keyPress(typed.child("Btn2"), Qt::Key_Return);
        QTest::keyRelease(typed.child("Edit1"), Qt::Key_Return);
        QCOMPARE(typed.session.presentations.size(), 1);
        QCOMPARE(typed.session.presentations[0].responseNs, -1);

        // A held key: only its first press counts, repeats are ignored.
        typed.clock.ns = 7'000;
        QTest::keyPress(typed.child("Edit1"), Qt::Key_Return);
        typed.clock.ns = 9'000;
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QApplication::sendEvent(typed.child("Edit1"), &repeat);
        QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QApplication::sendEvent(typed.child("Edit1"), &repeatUp);
        QTest::keyPress(typed.child("Edit1"), Qt::Key_A); // typing on before Enter is up
        QCOMPARE(typed.session.presentations.size(), 1);
        QTest::keyRelease(typed.child("Edit1"), Qt::Key_Return);
        QCOMPARE(typed.session.presentations.size(), 2);
        QCOMPARE(typed.session.presentations[0].responseNs, 7'000);
    }

    void pictureGoneMidTest()
    {
        Rig rig(2, TestingMode::Assisted);
        QStringList log;
        RecordingSink sink(log, "sink");
        rig.form->addResultSink(&sink);
        rig.start();
        QVERIFY(QFile::remove(rig.design.stimuli[1]));
        rig.prompts.expectError(rig.design.stimuli[1]);
        rig.key(Qt::Key_Y);
        QVERIFY(!rig.form->isVisible());
        rig.key(Qt::Key_Y);
        QVERIFY(log.isEmpty());
    }

    void failingSinkAndClosing()
    {
        Rig rig(2, TestingMode::Assisted);
        QStringList log;
        RecordingSink first(log, "first", true), second(log, "second");
        rig.form->addResultSink(&first);
        rig.form->addResultSink(&second);

        rig.start();
        rig.form->close(); // mid-test: nothing is scored or stored
        QVERIFY(!rig.form->isVisible());
        rig.key(Qt::Key_Y);
        QVERIFY(log.isEmpty());

        rig.form->show();
        QVERIFY(rig.child("Panel1")->isVisible());
        rig.start();
        rig.key(Qt::Key_Y);
        rig.prompts.expectError("sink failed").expectInformation("Testiranje je završeno!");
        rig.key(Qt::Key_Y);
        QCOMPARE(log, (QStringList{"first", "second"}));
        QVERIFY(!rig.form->isVisible());
    }
};

KALVESTRIN_TEST_MAIN(TestTestWindow)
#include "TestTestWindow.moc"
