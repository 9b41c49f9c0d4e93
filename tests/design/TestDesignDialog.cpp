// The design dialog driven as an examiner drives it: every command against the design, the choosers and
// boxes it opens, its help, and the closing steps that must all run whatever an earlier one found.

#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "common/ui/KalvestrinApplication.h"
#include "design/ClosingChecks.h"
#include "design/TestDesign.h"
#include "design/ui/TPagesDlg.h"
#include "design/ui/TasksPage.h"
#include "tests/support/TestServices.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

// Sends each character as a key press carrying its text, as a keyboard does;
// QTest's own helpers only know Latin-1.
void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        const int key = c == QLatin1Char('\t') ? int(Qt::Key_Tab) : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

QString writePicture(const QTemporaryDir &dir, const QString &name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!image.save(dir.filePath(name), "BMP"))
        qFatal("cannot write %s", qPrintable(name));
    return dir.filePath(name);
}

// The dialog over its own design, shown, with scripted boxes and recorded help.
struct Editor
{
    TestDesign design;
    TestServices services;
    ScriptedPrompts &prompts = services.prompts;
    RecordingHelp &help = services.help;
    std::unique_ptr<TPagesDlg> dlg;
    int closedCount = 0;

    Editor()
    {
        dlg = std::make_unique<TPagesDlg>(design, prompts, services.capsLock(), services.dataFolder);
        services.serve(dlg.get());
        dlg->setTestWindowMetrics([] { return TestWindowMetrics{QSize(640, 480), 30}; });
        QObject::connect(dlg.get(), &TPagesDlg::closed, [this] { ++closedCount; });
        open();
    }
    void open()
    {
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    }
    void close() { QTest::keyClick(dlg.get(), Qt::Key_Escape); }

    template <class T = QWidget>
    T *find(const QString &name) const
    {
        T *c = dlg->findChild<T *>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    QListWidget *stimuli() const { return find<QListWidget>(QStringLiteral("Lista_podrazaja")); }
    QListWidget *levels() const { return find<QListWidget>(QStringLiteral("Lista_maski")); }
    QPushButton *button(const char *name) const { return find<QPushButton>(QString::fromLatin1(name)); }
    QTableView *grid() const { return find<QTableView>(QStringLiteral("Grid1")); }
    QString taskCount() const { return find<QLabel>(QStringLiteral("Label5"))->text(); }
    TasksPage *tasks() const { return dlg->tasksPage(); }
    QStringList listed() const
    {
        QStringList texts;
        for (int i = 0; i < stimuli()->count(); ++i)
            texts << stimuli()->item(i)->text();
        return texts;
    }
    void insertStimulus(const QString &path)
    {
        prompts.expectOpenFile(path);
        button("UbaciPodrazaj")->click();
    }
    void select(int row) { stimuli()->item(row)->setSelected(true); }
    // The popup opens (setting its items), then the item is chosen.
    void choose(int n)
    {
        tasks()->PopupPopup();
        find<QAction>(QStringLiteral("Item%1").arg(n))->trigger();
    }
    QLineEdit *editCell(int row, int column)
    {
        find<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        const QModelIndex index = grid()->model()->index(row, column);
        grid()->setCurrentIndex(index);
        grid()->edit(index);
        return qobject_cast<QLineEdit *>(QApplication::focusWidget());
    }
    FileDialogRequest lastChooser() const { return prompts.records().last().request; }
};

} // namespace

class TestDesignDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void insertingAndRemovingStimuli()
    {
        Editor e;
        e.prompts.expectOpenFile(QString());
        e.button("UbaciPodrazaj")->click();
        QCOMPARE(e.design.taskCount(), 0);

        // A typed name that does not exist is taken as it is; closing reports it.
        for (const char *name : {"/p/a.bmp", "/p/b.bmp", "/p/c.bmp"})
            e.insertStimulus(QString::fromLatin1(name));
        QCOMPARE(e.taskCount(), QStringLiteral("Zadataka: 3"));
        e.design.maskColours[0] = 10;
        e.design.solutions[0][0] = QStringLiteral("PRVI");

        // Removing the first: colours and answers stay with the positions.
        e.select(0);
        QVERIFY(e.button("IzbaciPodrazaj")->isEnabled());
        e.button("IzbaciPodrazaj")->click();
        QCOMPARE(e.design.stimuli, QStringList({"/p/b.bmp", "/p/c.bmp"}));
        QCOMPARE(e.listed(), e.design.stimuli);
        QCOMPARE(e.design.maskColours[0], Colour(10));
        QCOMPARE(e.design.solutions[0][0], QStringLiteral("PRVI"));
        QCOMPARE(e.taskCount(), QStringLiteral("Zadataka: 2"));
        QVERIFY(e.stimuli()->selectedItems().isEmpty() && !e.button("IzbaciPodrazaj")->isEnabled());

        // After removing the last entry a second command removes nothing.
        e.select(1);
        e.tasks()->IzbaciPodrazajClick();
        e.tasks()->IzbaciPodrazajClick();
        QCOMPARE(e.design.stimuli, QStringList{"/p/b.bmp"});

        for (bool yes : {false, true})
            e.prompts.expectQuestion(yes, QStringLiteral("Izbrisati sve podražaje u listi?"));
        e.button("SpeedButton1")->click();
        QCOMPARE(e.design.taskCount(), 1);
        e.button("SpeedButton1")->click();
        QCOMPARE(e.design.taskCount() + e.stimuli()->count(), 0);
        QCOMPARE(e.taskCount(), QStringLiteral("Zadataka: 0"));
        QCOMPARE(e.design.maskColours[0], Colour(10));

        // 999 and one more make 1000; then the limit warning and no chooser.
        for (int i = 0; i < 999; ++i)
            e.design.stimuli << QStringLiteral("/p/%1.bmp").arg(i);
        e.insertStimulus(QStringLiteral("/p/last.bmp"));
        QCOMPARE(e.taskCount(), QStringLiteral("Zadataka: 1000"));
        e.prompts.expectWarning(
            QStringLiteral("Dosegnuli ste limit broja podražaja! Maksimalan broj podražaja u nacrtu je 1000!"));
        e.button("UbaciPodrazaj")->click();
        QCOMPARE(e.design.taskCount(), 1000);
    }

    void dragging_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("onto"); // -1: empty space below the entries
        QTest::addColumn<bool>("fromTheList");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first onto third") << 0 << 2 << true << "BCAD";
        QTest::newRow("third onto first") << 2 << 0 << true << "CABD";
        QTest::newRow("onto itself") << 1 << 1 << true << "ABCD";
        QTest::newRow("onto empty space") << 1 << -1 << true << "ABCD";
        QTest::newRow("from another source") << 0 << 2 << false << "ABCD";
    }

    void dragging()
    {
        QFETCH(int, from);
        QFETCH(int, onto);
        QFETCH(bool, fromTheList);
        Editor e;
        e.design.stimuli = {"A", "B", "C", "D"};
        e.design.maskColours[0] = 1;
        e.dlg->refresh();
        e.stimuli()->setCurrentRow(from);
        const QPoint target = onto >= 0 ? e.stimuli()->visualItemRect(e.stimuli()->item(onto)).center()
                                        : QPoint(5, e.stimuli()->viewport()->height() - 2);
        e.tasks()->Lista_podrazajaDragDrop(fromTheList ? e.stimuli() : e.levels(), target);
        QTEST(e.design.stimuli.join(QString()), "expected");
        QCOMPARE(e.listed(), e.design.stimuli);
        QCOMPARE(e.design.maskColours[0], Colour(1));
    }

    void maskingLevels()
    {
        Editor e;
        auto *number = e.find<QSpinBox>(QStringLiteral("Edit1"));
        // Enter in the level list or box presses no button (no picture chooser).
        for (QWidget *w : {static_cast<QWidget *>(e.levels()), static_cast<QWidget *>(number)}) {
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
        }
        QVERIFY(e.dlg->isVisible());
        // Arrows only: no wrap below 1, digits typed are ignored.
        for (int key : {Qt::Key_Down, Qt::Key_7, Qt::Key_Up, Qt::Key_Up})
            QTest::keyClick(number, Qt::Key(key), Qt::NoModifier);
        e.button("UbaciMasku")->click();
        QCOMPARE(e.design.maskLevels.last(), QStringLiteral("3"));

        // Several selected go in one command.
        for (int row : {0, 2, 7})
            e.levels()->item(row)->setSelected(true);
        QVERIFY(e.button("IzbaciMasku")->isEnabled());
        e.button("IzbaciMasku")->click();
        QCOMPARE(e.design.maskLevels, QStringList({"10", "6", "4", "2", "1"}));
        QVERIFY(e.levels()->count() == 5 && !e.button("IzbaciMasku")->isEnabled());
        // Clearing asks nothing.
        e.button("SpeedButton2")->click();
        QCOMPARE(e.design.maskLevels.size() + e.levels()->count(), 0);
    }

    void popupOffers_data()
    {
        QTest::addColumn<int>("stimuli");
        QTest::addColumn<bool>("levels");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("offers");
        QTest::newRow("one stimulus, selected") << 1 << true << 0 << "134";
        QTest::newRow("two stimuli, no levels") << 2 << false << -1 << "3";
        QTest::newRow("with a selection") << 3 << true << 2 << "1234";
    }

    void popupOffers()
    {
        QFETCH(int, stimuli);
        QFETCH(bool, levels);
        QFETCH(int, selected);
        QFETCH(QString, offers);
        Editor e;
        for (int i = 0; i < stimuli; ++i)
            e.design.stimuli << QStringLiteral("s%1.bmp").arg(i);
        if (!levels)
            e.design.maskLevels.clear();
        e.dlg->refresh();
        if (selected >= 0)
            e.select(selected);
        // A right click opens the popup, which sets its items.
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), e.stimuli()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(e.stimuli()->viewport(), &click);
        QTRY_VERIFY(e.find<QMenu>(QStringLiteral("Popup"))->isVisible());
        QString offered;
        for (int n = 1; n <= 4; ++n)
            offered += e.find<QAction>(QStringLiteral("Item%1").arg(n))->isEnabled() ? QString::number(n) : QString();
        QCOMPARE(offered, offers);
        e.find<QMenu>(QStringLiteral("Popup"))->close();
    }

    void maskColours()
    {
        Editor e;
        e.design.stimuli = {"a", "b", "c"};
        e.design.maskColours[1] = 0x123456;
        e.dlg->refresh();
        e.select(1);
        e.prompts.expectColour(QVariant()).expectColour(uint(0xABCDEF));
        e.choose(1);
        QCOMPARE(e.design.maskColours[1], Colour(0x123456));
        e.choose(1);
        QCOMPARE(e.design.maskColours[1], Colour(0xABCDEF));

        const QString clone = QStringLiteral("Podesi masku za sve zadatke u nacrtu kao za izabrani podražaj?");
        e.prompts.expectQuestion(false, clone).expectQuestion(true, clone);
        e.choose(4);
        QCOMPARE(e.design.maskColours[0], White);
        e.choose(4);
        QCOMPARE(int(std::count(e.design.maskColours.begin(), e.design.maskColours.end(), Colour(0xABCDEF))),
                 TestDesign::MaxTasks);
    }

    void savingAndLoadingDesigns()
    {
        Editor e;
        e.design.stimuli = {"/x/a.bmp", "/x/b.bmp"};
        e.design.maskLevels = {"2", "1"};
        e.dlg->refresh();
        const QString target = m_dir.filePath(QStringLiteral("nacrt.txt"));
        writeFileAtomically(target, "old");

        // Saving replaces an existing file without asking.
        e.prompts.expectSaveFile(target);
        e.choose(2);
        QVERIFY(!e.lastChooser().confirmOverwrite);
        const QByteArray saved("/x/a.bmp\r\n/x/b.bmp\r\n^\r\n16777215\r\n16777215\r\n^\r\n2\r\n1\r\n^\r\n"
                               "__________\r\n__________\r\n");
        QCOMPARE(readWholeFile(target), saved);

        // A refused save writes nothing and says why.
        e.design.stimuli << QStringLiteral("/x/c^d.bmp");
        e.prompts.expectSaveFile(target).expectError(QStringLiteral("Podražaj 3"));
        e.choose(2);
        QCOMPARE(readWholeFile(target), saved);

        // Loading replaces the task description and every view of it.
        writeFileAtomically(target,
                            Windows1250::encode(QStringLiteral(
                                "/y/1.bmp\r\n/y/2.bmp\r\n/y/3.bmp\r\n^\r\n255\r\n^\r\n4\r\n1\r\n^\r\nŽABA_\r\n")));
        QDir(e.services.dataFolder).mkpath(QStringLiteral("Paradigme"));
        e.prompts.expectOpenFile(target);
        e.choose(3);
        QCOMPARE(e.lastChooser().directory, QDir(e.services.dataFolder).filePath(QStringLiteral("Paradigme")));
        QCOMPARE(e.listed(), QStringList({"/y/1.bmp", "/y/2.bmp", "/y/3.bmp"}));
        QCOMPARE(e.taskCount(), QStringLiteral("Zadataka: 3"));
        QCOMPARE(e.levels()->count(), 2);
        QCOMPARE(e.grid()->model()->index(0, 0).data().toString(), QStringLiteral("ŽABA"));

        // A failed, missing or cancelled load changes nothing, the label included.
        writeFileAtomically(target, "/z/1.bmp\r\n/z/2.bmp\r\n");
        e.prompts.expectOpenFile(target).expectError();
        e.prompts.expectOpenFile(QString());
        e.choose(3);
        e.choose(3);
        QCOMPARE(e.design.taskCount(), 3);
        QCOMPARE(e.listed(), e.design.stimuli);
        QCOMPARE(e.taskCount(), QStringLiteral("Zadataka: 3"));
    }

    void answersGrid()
    {
        Editor e;
        // Line breaks and characters outside the code page never reach a cell.
        QAbstractItemModel *model = e.grid()->model();
        QVERIFY(!model->setData(model->index(0, 0), QStringLiteral("A\nB")));
        QVERIFY(!model->setData(model->index(0, 0), QStringLiteral("Ω")));
        QLineEdit *editor = e.editCell(1, 2);
        QVERIFY(editor);
        typeText(editor, QStringLiteral("ĐΩ"));
        editor->insert(QStringLiteral("X\nY"));
        QCOMPARE(editor->text(), QStringLiteral("Đ"));

        // Each key checks Caps Lock: off turns the text red and beeps, on turns it black.
        e.services.capsLockOn = false;
        typeText(editor, QStringLiteral("a"));
        QCOMPARE(editor->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(e.services.beeps, 1);
        e.services.capsLockOn = true;
        QTest::keyClick(e.grid(), Qt::Key_Down);
        QCOMPARE(e.grid()->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(e.services.beeps, 1);

        // An answer handed over by Enter is kept, and closing after it is safe.
        editor = e.editCell(2, 9);
        QVERIFY(editor);
        typeText(editor, QStringLiteral("Stolić"));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        e.close();
        QCOMPARE(e.design.solutions[2][9], QStringLiteral("STOLIĆ"));
    }

    void conditions()
    {
        Editor e;
        for (const char *name : {"Check2", "Check5", "Check4", "Check1"})
            e.find<QCheckBox>(QString::fromLatin1(name))->click();
        QVERIFY(e.design.securityMode && e.design.ignoreBackground);
        QVERIFY(!e.design.auditoryFeedback && !e.design.visualFeedback);
        auto radio = [&](const QString &text) {
            for (QRadioButton *r : e.dlg->findChildren<QRadioButton *>()) {
                if (r->text() == text)
                    r->click();
            }
        };
        for (const char *choice : {"Ne", "Centriranje", "Samostalan"})
            radio(QString::fromLatin1(choice));
        QCOMPARE(e.design.allowBack, AllowBack::No);
        QCOMPARE(e.design.placement, Placement::Centred);
        QCOMPARE(e.design.testingMode, TestingMode::Independent);
        QVERIFY(!e.find(QStringLiteral("Radio3"))->isEnabled());
        radio(QStringLiteral("Nesamostalan"));
        QVERIFY(e.find(QStringLiteral("Radio3"))->isEnabled());

        // Capitals, 20 characters, and nothing the main window's box could not take back.
        auto *password = e.find<QLineEdit>(QStringLiteral("Edit3"));
        typeText(password, QStringLiteral("šifra\tΩ ab"));
        QCOMPARE(e.design.password, QStringLiteral("ŠIFRA AB"));
        typeText(password, QStringLiteral("cdefghijklmnopqrstuvwxyz"));
        QCOMPARE(e.design.password.size(), 20);

        e.prompts.expectColour(uint(0x00FF00));
        e.button("Btn1")->click();
        QCOMPARE(e.design.testWindowColour, Colour(0x00FF00));

        e.prompts.expectOpenFile(QStringLiteral("/u/uputa.rtf"));
        e.button("Speed4")->click();
        QCOMPARE(e.design.instructionFile, QStringLiteral("/u/uputa.rtf"));

        e.prompts.expectWarning(ClosingChecks::PasswordSpacesText + QStringLiteral("ŠIFRAABCDEFGHIJKLMN"));
        e.close();
    }

    void helpKeysAndButton()
    {
        Editor e;
        QTest::keyClick(e.stimuli(), Qt::Key_F1);
        e.button("Btn2")->click();
        QCOMPARE(e.help.topics, QStringList({"3", "1"}));
    }

    void closingRunsEveryStep()
    {
        Editor e;
        const QString fits = writePicture(m_dir, QStringLiteral("fits.bmp"), QSize(640, 450));
        const QString wide = writePicture(m_dir, QStringLiteral("wide.bmp"), QSize(641, 10));
        const QString junk = m_dir.filePath(QStringLiteral("junk.bmp"));
        writeFileAtomically(junk, "BM no picture");
        e.design.testingMode = TestingMode::Independent;
        e.design.stimuli = {fits, junk, wide};
        e.design.solutions[0][0] = QStringLiteral("A");
        e.design.solutions[2][0] = QStringLiteral("C");
        e.design.password = QStringLiteral("A B");
        e.dlg->refresh();

        // "ku ća" typed into a cell still open when the dialog closes.
        QLineEdit *editor = e.editCell(1, 4);
        QVERIFY(editor);
        typeText(editor, QStringLiteral("ku ća"));

        // The unreadable picture ends the picture check; the password is still cleaned.
        e.prompts.expectError(junk).expectWarning(ClosingChecks::PasswordSpacesText + QStringLiteral("AB"));
        e.close();
        QCOMPARE(e.design.solutions[1][4], QStringLiteral("KUĆA"));
        QCOMPARE(e.grid()->model()->index(1, 4).data().toString(), QStringLiteral("KUĆA"));
        QCOMPARE(e.design.password, QStringLiteral("AB"));
        QCOMPARE(e.find<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("AB"));
        QCOMPARE(e.closedCount, 1);
        QVERIFY(!e.dlg->isVisible());
    }
};

int main(int argc, char **argv)
{
    KalvestrinApplication app(argc, argv);
    TestDesignDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestDesignDialog.moc"
