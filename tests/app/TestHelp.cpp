// The help file as the build compiles it, its reader, the help window and
// the help service behind ShowHelpTopic.

#include "app/help/ChmFile.h"
#include "app/help/ChmHelpService.h"
#include "app/help/HelpBrowser.h"
#include "app/help/HelpTopics.h"
#include "app/help/HelpViewer.h"
#include "common/SafeFile.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/KalvestrinApplication.h"
#include "tests/support/ScriptedPrompts.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QtEndian>

#include <random>

namespace {

const QString BuiltHelpFile = QStringLiteral(KALVESTRIN_HELP_FILE);

// href and src attributes of a page, in order.
QStringList references(const QString &html)
{
    static const QRegularExpression attribute(QStringLiteral("\\b(?:href|src)\\s*=\\s*\"([^\"]*)\""),
                                              QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (const QRegularExpressionMatch &m : attribute.globalMatch(html))
        found << m.captured(1);
    return found;
}

// Clicks the first link to href on the page the browser shows, as a user would.
bool clickLink(HelpBrowser *browser, const QString &href)
{
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect().center());
            return true;
        }
    }
    return false;
}

// Remembers whether a window was last told it is blocked by a modal window.
class BlockWatcher : public QObject
{
public:
    bool blocked = false;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowBlocked)
            blocked = true;
        else if (event->type() == QEvent::WindowUnblocked)
            blocked = false;
        return false;
    }
};

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString copyOfHelpFile(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        if (!QFile::copy(BuiltHelpFile, path))
            return {};
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(BuiltHelpFile), qPrintable(BuiltHelpFile));
    }

    // Every topic a window asks for has its page in the built file (and a missing one none), every
    // page decodes as the UTF-8 it declares, and every link and picture of
    // every page points at something inside the file.
    void builtFileHoldsEveryTopicAndWhatItsPagesReferTo()
    {
        ChmFile file;
        QVERIFY(file.open(BuiltHelpFile));

        for (const int topic : HelpTopics::All) {
            const QString page = QLatin1Char('/') + HelpTopics::pageName(QString::number(topic));
            QVERIFY2(file.contains(page), qPrintable(page));
        }
        QVERIFY(!file.contains(QStringLiteral("/77.htm")) && !file.read(QStringLiteral("/77.htm")));
        QCOMPARE(file.read(QStringLiteral("stil.css")), file.read(QStringLiteral("/stil.css")));

        QVERIFY(
            HelpBrowser::decodePage(*file.read(QStringLiteral("9.htm"))).contains(QStringLiteral("<h1>Šifra</h1>")));
        const QByteArray centralEuropean("<html><head><meta http-equiv=\"Content-Type\" "
                                         "content=\"text/html; charset=windows-1250\"></head><body>\x8a\x9e</body>");
        QVERIFY(HelpBrowser::decodePage(centralEuropean).contains(QStringLiteral("Šž")));

        int pictures = 0;
        for (const QString &object : file.files()) {
            if (!object.endsWith(QLatin1String(".htm")))
                continue;
            const QByteArray bytes = *file.read(object);
            QVERIFY2(bytes.contains("charset=utf-8"), qPrintable(object));
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString html = utf8.decode(bytes);
            QVERIFY2(!utf8.hasError(), qPrintable(object));

            for (const QString &reference : references(html)) {
                const QUrl url(reference);
                if (!url.scheme().isEmpty() || reference.startsWith(QLatin1Char('#')))
                    continue;
                const QString target = QLatin1Char('/') + url.path();
                QVERIFY2(file.contains(target), qPrintable(object + QLatin1String(" -> ") + reference));
                if (target.endsWith(QLatin1String(".png"))) {
                    ++pictures;
                    QVERIFY2(!QImage::fromData(*file.read(target)).isNull(), qPrintable(target));
                }
            }
        }
        QVERIFY(pictures > 0);

        // The index page and the table of contents each reach every topic.
        const QString index = QString::fromUtf8(*file.read(HelpTopics::IndexPage));
        const QString contents = QString::fromUtf8(*file.read(QStringLiteral("/Kalvestrin.hhc")));
        for (const int topic : HelpTopics::All) {
            const QString page = HelpTopics::pageName(QString::number(topic));
            QVERIFY2(references(index).contains(page), qPrintable(page));
            QVERIFY2(contents.contains(QLatin1String("value=\"%1\"").arg(page)), qPrintable(page));
        }
    }

    // A damaged help file is refused, never fatal: thousands of deterministic
    // mutants of the built file, each either opened and read whole or refused.
    void damagedHelpFilesAreRefused()
    {
        const QByteArray original = readWholeFile(BuiltHelpFile);
        const qsizetype control = original.indexOf("LZXC"); // the compression's parameters
        QVERIFY(control > 0);
        const QString path = m_dir.filePath(QStringLiteral("mutant.chm"));
        ChmFile file;
        file.setTimeLimit(500); // the built file takes milliseconds
        std::mt19937 random(20261207);
        const auto below = [&](qsizetype n) { return qsizetype(random() % quint32(qMax<qsizetype>(n, 1))); };
        constexpr int Mutants = 2000;
        int opened = 0;
        for (int n = 0; n < Mutants; ++n) {
            QByteArray mutant = original;
            switch (n % 4) {
            case 0: // a few bytes anywhere
                for (int i = 0; i < 1 + n % 7; ++i)
                    mutant[below(mutant.size())] = char(random());
                break;
            case 1: // a word of the headers and directory: 0, all ones or anything
                qToLittleEndian(n % 3 == 0   ? 0u
                                : n % 3 == 1 ? ~0u
                                             : quint32(random()),
                                mutant.data() + below(qMin<qsizetype>(mutant.size(), 4096) - 4));
                break;
            case 2: // the compression's parameters and reset table
                mutant[qMin(control - 64 + below(512), mutant.size() - 1)] = char(random());
                break;
            default: mutant.truncate(below(mutant.size()));
            }
            QFile out(path); // no sync to disk: thousands of files
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(mutant) == mutant.size());
            out.close();
            if (!file.open(path)) {
                QVERIFY(!file.isOpen() && file.files().isEmpty());
                continue;
            }
            ++opened;
            for (const QString &object : file.files())
                QVERIFY(file.read(object));
        }
        QVERIFY2(opened > 0 && opened < Mutants, qPrintable(QString::number(opened)));
    }

    void unusableHelpFileWarnsEachTimeHelpIsAskedFor_data()
    {
        QTest::addColumn<QString>("path");
        const QString garbage = m_dir.filePath(QStringLiteral("garbage.chm"));
        writeFileAtomically(garbage, QByteArray(4096, 'x'));
        QTest::newRow("no path yet") << QString();
        QTest::newRow("no file") << m_dir.filePath(QStringLiteral("Kalvestrin.chm"));
        QTest::newRow("not a help file") << garbage;
        writeFileAtomically(m_dir.filePath(QStringLiteral("empty.chm")), {});
        QTest::newRow("an empty file") << m_dir.filePath(QStringLiteral("empty.chm"));
        QByteArray damaged = readWholeFile(BuiltHelpFile); // chmlib divides by its window size
        qToLittleEndian(quint32(0), damaged.data() + damaged.indexOf("LZXC") + 12);
        writeFileAtomically(m_dir.filePath(QStringLiteral("damaged.chm")), damaged);
        QTest::newRow("a damaged help file") << m_dir.filePath(QStringLiteral("damaged.chm"));
        QTest::newRow("a folder") << m_dir.path();
    }

    void unusableHelpFileWarnsEachTimeHelpIsAskedFor()
    {
        QFETCH(QString, path);
        ScriptedPrompts prompts;
        ChmHelpService help(prompts);
        help.setHelpFilePath(path);
        prompts.expectWarning(ContextHelp::MissingHelpFileText).expectWarning(ContextHelp::MissingHelpFileText);
        help.showTopic(QStringLiteral("1"));
        help.showTopic(QStringLiteral("54"));
        QVERIFY(!help.viewer() || !help.viewer()->isVisible());
    }

    // Topics open in one window, reused; a topic the file lacks gets a page
    // of its own there instead of a message box; links and pictures work.
    void topicsOpenInOneReusedWindow()
    {
        ScriptedPrompts prompts;
        ChmHelpService help(prompts);
        const QString path = copyOfHelpFile(QStringLiteral("Kalvestrin.chm"));
        QVERIFY(!path.isEmpty());
        help.setHelpFilePath(path);

        help.showTopic(QStringLiteral("4"));
        HelpViewer *viewer = help.viewer();
        QVERIFY(viewer && QTest::qWaitForWindowExposed(viewer));
        QCOMPARE(viewer->browser()->source(), QUrl(QStringLiteral("chm:/4.htm")));
        QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Lista podražaja")));

        help.showTopic(QStringLiteral("-12"));
        QCOMPARE(help.viewer(), viewer);
        QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Navigator zapisa")));

        viewer->close();
        help.showTopic(QStringLiteral("77"));
        QCOMPARE(help.viewer(), viewer);
        QVERIFY(viewer->isVisible());
        QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Tema 77 ne postoji u datoteci pomoći.")));

        // Links between pages, the picture inside the file, back and forward.
        help.showTopic(QStringLiteral("5"));
        HelpBrowser *browser = viewer->browser();
        const QVariant picture =
            browser->document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("razina8.png")));
        QCOMPARE(picture.value<QImage>().size(), QSize(120, 120));

        for (const QString page : {"3.htm", "1.htm", "28.htm", "-12.htm"}) {
            QVERIFY(clickLink(browser, page));
            QTRY_COMPARE(browser->source(), QUrl(QStringLiteral("chm:/") + page));
        }
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Osvježi podatke")));

        QToolBar *bar = viewer->findChild<QToolBar *>();
        QVERIFY(bar);
        const QList<QAction *> actions = bar->actions();
        QCOMPARE(actions.size(), 4); // back, forward, start page, index
        actions[0]->trigger();
        QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/28.htm")));
        actions[1]->trigger();
        QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/-12.htm")));
        actions[3]->trigger();
        QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/kazalo.htm")));
        actions[2]->trigger();
        QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/pocetna.htm")));
    }

    // The file is read again when it changes on disk or the path moves; a
    // file that has become unusable is refused like a missing one.
    void changedHelpFileIsReadAgain()
    {
        ScriptedPrompts prompts;
        ChmHelpService help(prompts);
        const QString path = copyOfHelpFile(QStringLiteral("Kalvestrin.chm"));
        const QByteArray real = readWholeFile(path);
        help.setHelpFilePath(path);

        help.showTopic(QStringLiteral("1"));
        QVERIFY(help.viewer()->isVisible());
        writeFileAtomically(path, real + QByteArray(10, 0));
        help.showTopic(QStringLiteral("1"));
        QVERIFY(help.viewer()->browser()->toPlainText().contains(QStringLiteral("Glavni prozor")));

        writeFileAtomically(path, QByteArray(real.size() + 1, 'x'));
        prompts.expectWarning(ContextHelp::MissingHelpFileText);
        help.showTopic(QStringLiteral("1"));
        QVERIFY(!help.viewer()->isVisible());

        writeFileAtomically(path, real);
        help.showTopic(QStringLiteral("1"));
        QVERIFY(help.viewer()->isVisible());
        QVERIFY(help.viewer()->browser()->toPlainText().contains(QStringLiteral("Glavni prozor")));
    }

    // Help asked for from a modal window must not be blocked by it.
    void helpStaysUsableOverAModalWindow()
    {
        ScriptedPrompts prompts;
        ChmHelpService help(prompts);
        help.setHelpFilePath(copyOfHelpFile(QStringLiteral("Kalvestrin.chm")));
        help.showTopic(QStringLiteral("1"));
        HelpViewer *viewer = help.viewer();
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        BlockWatcher watcher;
        viewer->installEventFilter(&watcher);

        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(watcher.blocked); // shown before the dialog: blocked like any other window

        help.showTopic(QStringLiteral("3"));
        QVERIFY(!watcher.blocked);
        QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Definiranje nacrta")));
        dialog.close();
    }
};

int main(int argc, char **argv)
{
    KalvestrinApplication app(argc, argv);
    TestHelp test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestHelp.moc"
