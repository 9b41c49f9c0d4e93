// The general error handler, the scripted prompts and the context-help route.

#include "common/Failure.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/KalvestrinApplication.h"
#include "common/ui/QtPrompts.h"
#include "tests/support/RecordingHelp.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestServices.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QWidget>

class TestCommonUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void uncaughtFailureOfACommandIsShownAndTheProgramGoesOn()
    {
        TestServices services;
        ScriptedPrompts &prompts = services.prompts;
        QPushButton button;
        QObject::connect(&button, &QPushButton::clicked, [] { throw Failure(QStringLiteral("Disk je pun.")); });
        prompts.expectError(QStringLiteral("Disk je pun."));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(prompts.records().size(), 1);

        prompts.expectError(QStringLiteral("std failure"));
        QVERIFY(!GeneralErrorHandler::runCommand([] { throw std::runtime_error("std failure"); }));
    }

    void delphiFiltersBecomeQtFilters()
    {
        FileDialogRequest r;
        r.filters = FileDialogRequest::parseFilter(
            QStringLiteral("Text Files (*.txt)|*.txt|ASCII  Files (*.asc)|*.asc|All Files (*.*)|*.*"));
        QCOMPARE(r.filters.size(), 3);
        QCOMPARE(QtPrompts::qtFilter(r), QStringLiteral("Text Files (*.txt);;ASCII  Files (*.asc);;All Files (*.*)"));
        r.filters = FileDialogRequest::parseFilter(QStringLiteral("Slike|*.bmp;*.dib"));
        QCOMPARE(QtPrompts::qtFilter(r), QStringLiteral("Slike (*.bmp *.dib)"));
    }

    // The real chooser: the remembered entry, whichever it is, gives a name
    // typed without extension its own extension.
    void rememberedEntryGivesItsExtension_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("file");
        QTest::newRow("first") << 0 << "Data.mdb";
        QTest::newRow("middle") << 1 << "Data.xls";
        QTest::newRow("last") << 2 << "Data.dbf";
    }

    void rememberedEntryGivesItsExtension()
    {
        QFETCH(int, entry);
        QFETCH(QString, file);
        QTemporaryDir dir;
        FileDialogRequest r;
        r.filters = FileDialogRequest::parseFilter(
            QStringLiteral("Access (*.mdb)|*.mdb|Excel 8.0 (*.xls)|*.xls|dBase IV (*.dbf)|*.dbf"));
        r.defaultExtension = QStringLiteral("xls");
        r.directory = dir.path();
        r.fileName = QStringLiteral("Data");
        r.selectedFilter = entry;
        QtPrompts prompts;
        answerChooser([](QFileDialog *dialog) { static_cast<QDialog *>(dialog)->accept(); });
        QCOMPARE(prompts.saveFile(r), QDir(dir.path()).filePath(file));
        QCOMPARE(r.selectedFilter, entry);
    }

    void openChooserTakesANameThatIsNotThere()
    {
        QTemporaryDir dir;
        FileDialogRequest r;
        r.filters = FileDialogRequest::parseFilter(QStringLiteral("Dizajn (*.dsg)|*.dsg"));
        r.directory = dir.path();
        QtPrompts prompts;
        answerChooser([](QFileDialog *dialog) {
            // A refusal would show Qt's own box: close it and give up.
            QTimer::singleShot(0, dialog, [dialog] {
                if (QWidget *box = QApplication::activeModalWidget(); box && box != dialog)
                    box->close();
                dialog->reject();
            });
            dialog->selectFile(QStringLiteral("Nema.dsg"));
            static_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(prompts.openFile(r), QDir(dir.path()).filePath(QStringLiteral("Nema.dsg")));
    }

    void helpRequestsClimbToTheNearestContext()
    {
        TestServices services;
        const RecordingHelp &help = services.help;
        QWidget window;
        services.serve(&window);
        auto *group = new QWidget(&window);
        auto *inGroup = new QPushButton(QStringLiteral("a"), group);
        auto *own = new QPushButton(QStringLiteral("b"), &window);
        auto *navigator = new QPushButton(QStringLiteral("c"), &window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(group);
        layout->addWidget(own);
        layout->addWidget(navigator);
        ContextHelp::setHelpContext(&window, 54);
        ContextHelp::setHelpContext(group, 10);
        ContextHelp::setHelpContext(own, 14);
        ContextHelp::setHelpContext(navigator, -12);
        bool allowed = true;
        ContextHelp::installRoute(&window, [&allowed] { return allowed; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        for (QWidget *w :
             {static_cast<QWidget *>(inGroup), static_cast<QWidget *>(own), static_cast<QWidget *>(navigator)}) {
            w->setFocus();
            QTest::keyClick(w, Qt::Key_F1);
        }
        QCOMPARE(help.topics, QStringList({"10", "14", "-12"}));

        // Shift+F1, then a click: the clicked control's topic instead of the click.
        bool clicked = false;
        QObject::connect(navigator, &QPushButton::clicked, [&clicked] { clicked = true; });
        QTest::keyClick(own, Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QTest::mouseClick(navigator, Qt::LeftButton);
        QCOMPARE(help.topics.size(), 4);
        QCOMPARE(help.topics.last(), QStringLiteral("-12"));
        QVERIFY(!QWhatsThis::inWhatsThisMode());
        QVERIFY(!clicked);

        allowed = false;
        QTest::keyClick(own, Qt::Key_F1);
        QTest::keyClick(own, Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(!QWhatsThis::inWhatsThisMode());
        QCOMPARE(help.topics.size(), 4);
    }

    void missingHelpServiceWarnsEveryTime()
    {
        TestServices services;
        QWidget stray;
        services.prompts.expectWarning(ContextHelp::MissingHelpFileText)
            .expectWarning(ContextHelp::MissingHelpFileText);
        ShowHelpTopic(&stray, QStringLiteral("1"));
        ShowHelpTopic(&stray, QStringLiteral("1"));
    }

    // Qt's own dialogs read Croatian; the program's texts are its own anyway.
    void qtDialogsSpeakCroatian()
    {
        QVERIFY2(KalvestrinApplication::instance()->installQtTranslations(),
                 "Qt's translations (qt6-translations-l10n) are not installed");
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        const auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Odustani"));
    }

private:
    // Answers the next chooser once it is open.
    static void answerChooser(std::function<void(QFileDialog *)> answer)
    {
        QTimer::singleShot(0, [answer] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            answer(dialog);
        });
    }
};

int main(int argc, char **argv)
{
    KalvestrinApplication app(argc, argv);
    TestCommonUi test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestCommonUi.moc"
