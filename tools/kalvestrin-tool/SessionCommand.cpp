// kalvestrin-tool session: the real test window driven by lines on stdin,
// printing what happens as tab-separated lines, so a test can be run and
// checked without a person at the keyboard.

#include "common/Clock.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/ui/KalvestrinApplication.h"
#include "common/ui/Prompts.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "session/FeedbackSounds.h"
#include "session/ResumePlan.h"
#include "session/SessionResult.h"
#include "session/SessionState.h"
#include "session/ui/TForm1.h"
#include "tools/kalvestrin-tool/SessionDataFolder.h"
#include "tools/kalvestrin-tool/ToolCommand.h"
#include "tools/kalvestrin-tool/WaitExposed.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTextEdit>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {

QString oneLine(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    text.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return text;
}

QString longNumber(long double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.20Lg", v);
    return QString::fromLatin1(buffer);
}

// Every box is printed and answered with OK (Yes); no file is ever chosen.
class PrintingPrompts : public Prompts
{
public:
    void warning(const QString &text) override { out(QStringLiteral("warning\t") + oneLine(text)); }
    void error(const QString &text) override { out(QStringLiteral("error\t") + oneLine(text)); }
    void information(const QString &text) override { out(QStringLiteral("information\t") + oneLine(text)); }
    bool question(const QString &text) override
    {
        out(QStringLiteral("question\t") + oneLine(text));
        return true;
    }
    int choose(const QString &text, const QStringList &) override
    {
        out(QStringLiteral("choice\t") + oneLine(text));
        return 0;
    }
    QString openFile(FileDialogRequest &) override { return {}; }
    QString saveFile(FileDialogRequest &) override { return {}; }
    std::optional<Colour> chooseColour(Colour) override { return std::nullopt; }
};

class PrintingSounds : public FeedbackSounds
{
public:
    void beep() override { out(QStringLiteral("beep")); }
    void play(const QString &name) override { out(QStringLiteral("sound\t") + name); }
};

class PrintingSink : public ResultSink
{
public:
    void accept(const SessionResult &r) override
    {
        const QChar dot = QLatin1Char('.');
        out(QStringList{QStringLiteral("result"), QString::number(r.stimulusCount),
                        QString::number(r.unrecognisedCount), F(r.mean, 10, 5, dot), F(r.variance, 10, 5, dot),
                        longNumber(r.mean), longNumber(r.variance), r.testDate.toString(Qt::ISODate),
                        number17(r.duration * 86400.0)}
                .join(QLatin1Char('\t')));
        for (int i = 0; i < r.tasks.size(); ++i) {
            const TaskResult &t = r.tasks[i];
            out(QStringList{QStringLiteral("task"), QString::number(i + 1), QString::number(t.recognised ? 1 : 0),
                            number17(t.efficiency), t.label}
                    .join(QLatin1Char('\t')));
        }
        for (const Presentation &p : r.presentations) {
            out(QStringList{QStringLiteral("level"), QString::number(p.task + 1), QString::number(p.level),
                            number17(p.onsetNs / 1e9),
                            p.responseNs < 0 ? QStringLiteral("-") : number17(p.responseNs / 1e9),
                            p.key.isEmpty() ? QStringLiteral("-") : p.key}
                    .join(QLatin1Char('\t')));
        }
    }
};

// To the window's focused control, as the keyboard would (without a window
// manager the window may never become the active one).
void sendKey(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    target = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
    QCoreApplication::processEvents();
}

QString keyText(int key, Qt::KeyboardModifiers modifiers)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QChar c = QChar(key);
        return modifiers & Qt::ShiftModifier ? QString(c) : QString(c.toLower());
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return QString(QChar(key));
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return QStringLiteral("\r");
    return {};
}

// The design named on the command line, with the conditions its options set.
struct SessionOptions
{
    TestDesign design;
    QString shots; // a folder for a picture of every presentation, or empty
    QString data;  // a data folder whose journal and database the test uses, or empty
    bool resume = false, journalOn = true;
};

bool takeCondition(TestDesign &design, const QString &option)
{
    if (option == QLatin1String("--independent"))
        design.testingMode = TestingMode::Independent;
    else if (option == QLatin1String("--no-back"))
        design.allowBack = AllowBack::No;
    else if (option == QLatin1String("--no-visual"))
        design.visualFeedback = false;
    else if (option == QLatin1String("--no-sound"))
        design.auditoryFeedback = false;
    else if (option == QLatin1String("--ignore-background"))
        design.ignoreBackground = true;
    else if (option == QLatin1String("--centre"))
        design.placement = Placement::Centred;
    else
        return false;
    return true;
}

void parseOptions(QStringList args, SessionOptions &options)
{
    options.design.testingMode = TestingMode::Assisted;
    for (int i = 0; i < args.size();) {
        const QString a = args[i];
        int used = 0;
        if (takeCondition(options.design, a))
            used = 1;
        else if (a == QLatin1String("--instruction") && i + 1 < args.size())
            options.design.instructionFile = args[i + 1], used = 2;
        else if (a == QLatin1String("--shots") && i + 1 < args.size())
            options.shots = args[i + 1], used = 2;
        else if (a == QLatin1String("--data") && i + 1 < args.size())
            options.data = args[i + 1], used = 2;
        else if (a == QLatin1String("--resume"))
            options.resume = true, used = 1;
        else if (a == QLatin1String("--no-journal"))
            options.journalOn = false, used = 1;
        else if (a.startsWith(QLatin1String("--")))
            throw std::invalid_argument("usage");
        if (used)
            args.remove(i, used);
        else
            ++i;
    }
    if (args.size() != (options.resume ? 0 : 1) || (options.resume && options.data.isEmpty()))
        throw std::invalid_argument("usage");
    if (!options.resume) {
        LoadDesignFile(options.design, args[0]);
        NormaliseSolutions(options.design);
    }
    if (!options.shots.isEmpty() && !QDir().mkpath(options.shots))
        throw Failure(QStringLiteral("cannot create %1").arg(options.shots));
}

// Prints the window's captions, instructions and presentations as they come,
// with a picture of each presentation into `shots` when given.
void printWindow(TForm1 &form, const QString &shots, bool &closed)
{
    QObject::connect(&form, &QWidget::windowTitleChanged,
                     [](const QString &title) { out(QStringLiteral("caption\t") + title); });
    QObject::connect(&form, &TForm1::instructionsShown, [&form] {
        out(QStringLiteral("instruction\t") +
            oneLine(form.findChild<QTextEdit *>(QStringLiteral("RE"))->toPlainText()));
    });
    auto shot = std::make_shared<int>(0);
    QObject::connect(&form, &TForm1::stimulusPresented, [&form, shots, shot](int task, int, int level, double e) {
        out(QStringLiteral("present\t%1\t%2\t%3").arg(task + 1).arg(level).arg(number17(e)));
        if (!shots.isEmpty())
            form.grab().save(QDir(shots).filePath(QStringLiteral("%1.png").arg(++*shot, 3, 10, QLatin1Char('0'))));
    });
    QObject::connect(&form, &QDialog::finished, [&closed] {
        out(QStringLiteral("closed"));
        closed = true;
    });
}

void typeLine(TForm1 &form, const QString &text)
{
    for (QChar c : text) {
        const Qt::Key key = c.unicode() < 128 && c.isLetterOrNumber() ? Qt::Key(c.toUpper().unicode())
                            : c == QLatin1Char(' ')                   ? Qt::Key_Space
                                                                      : Qt::Key_unknown;
        sendKey(&form, key, Qt::NoModifier, QString(c));
    }
}

// One line of stdin: "type TEXT", "key KEY", "click BUTTON" or "close".
void runLine(TForm1 &form, const QString &line)
{
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString rest = line.section(QLatin1Char(' '), 1);
    if (command == QLatin1String("type")) {
        typeLine(form, rest);
    } else if (command == QLatin1String("key")) {
        const QKeySequence sequence = QKeySequence::fromString(rest.trimmed(), QKeySequence::PortableText);
        if (sequence.isEmpty())
            throw Failure(QStringLiteral("unknown key \"%1\"").arg(rest));
        const QKeyCombination combination = sequence[0];
        sendKey(&form, combination.key(), combination.keyboardModifiers(),
                keyText(combination.key(), combination.keyboardModifiers()));
    } else if (command == QLatin1String("click")) {
        auto *button = form.findChild<QAbstractButton *>(rest.trimmed());
        if (!button)
            throw Failure(QStringLiteral("no button \"%1\"").arg(rest));
        button->click();
    } else if (command == QLatin1String("pause")) {
        // The subject's time to answer: what is written meanwhile is done by the next key.
        QThread::msleep(rest.trimmed().toULong());
    } else if (command == QLatin1String("close")) {
        form.close();
    } else if (!line.trimmed().isEmpty()) {
        throw Failure(QStringLiteral("unknown command \"%1\"").arg(line));
    }
}

} // namespace

int session(QStringList args)
{
    // Each line leaves as it happens, so a reader sees how far the test got.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    SessionOptions options;
    parseOptions(args, options);

    SessionState state;
    state.sizeTasks(TestDesign::MaxTasks);
    SystemClock clock;
    PrintingPrompts prompts;
    PrintingSounds sounds;
    PrintingSink sink;
    KalvestrinApplication::instance()->setPrompts(&prompts);
    // With a data folder: its journal, and its database as the last consumer.
    std::unique_ptr<SessionDataFolder> folder;
    if (!options.data.isEmpty())
        folder = std::make_unique<SessionDataFolder>(options.data, options.journalOn, prompts);

    TForm1 form(options.design, state, prompts, clock, sounds);
    form.addResultSink(&sink);
    if (folder) {
        form.addResultSink(&folder->sink());
        form.setJournal(folder->journal());
    }
    bool closed = false;
    printWindow(form, options.shots, closed);
    form.clearSubjectFields();
    if (options.resume) {
        const JournalTest test = folder->interrupted();
        form.Resume(test);
        const ResumePlan plan = ResumePlan::of(test);
        out(QStringLiteral("resumed\t%1\t%2")
                .arg(plan.state.taskIndex + 1)
                .arg(test.design.maskLevels.value(plan.state.levelIndex).trimmed().toInt()));
    }
    form.show();
    form.activateWindow();
    if (!waitExposed(&form))
        throw Failure(QStringLiteral("the test window never showed"));

    QTextStream in(stdin);
    in.setEncoding(QStringConverter::Utf8);
    QString line;
    while (!closed && in.readLineInto(&line)) {
        runLine(form, line);
        QCoreApplication::processEvents();
    }
    if (!closed)
        form.close();
    QCoreApplication::processEvents();
    KalvestrinApplication::instance()->setPrompts(nullptr);
    return 0;
}
