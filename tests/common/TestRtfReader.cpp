// Instruction files: our rich-text reader on what word processors write,
// and the choice between rich and plain text by content.

#include "common/Failure.h"
#include "common/RtfReader.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

class TestRtfReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void text_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("plain");
        QTest::newRow("code page byte and unicode")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1250 Mi\\'9a i \\u269?ovjek}") << QStringLiteral("Miš i čovjek");
        QTest::newRow("paragraphs and tab") << QByteArray("{\\rtf1 A\\par B\\tab C}") << QStringLiteral("A\nB\tC");
        QTest::newRow("escaped symbols") << QByteArray("{\\rtf1 \\{x\\}\\\\ a\\~b}")
                                         << QStringLiteral("{x}\\ a\u00A0b");
        QTest::newRow("skipped groups")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                          "{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}{\\*\\generator W;}"
                          "{\\pict\\wmetafile8 0a0b}X{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt Y}}}")
            << QStringLiteral("XY");
        QTest::newRow("unicode with two fallbacks")
            << QByteArray("{\\rtf1\\uc2\\u-10179?\\'3f\\u-8704?? z}") << QString::fromUtf8("\xF0\x9F\x98\x80 z");
        QTest::newRow("binary data") << QByteArray("{\\rtf1 a{\\pict\\bin4 }{}}}b}") << QStringLiteral("ab");
        QTest::newRow("unbalanced braces") << QByteArray("{\\rtf1 a}}b{c") << QStringLiteral("abc");
    }
    void text()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument doc;
        RtfReader::read(rtf, doc);
        // Raw text: the plain text would turn the no-break space into a blank.
        QTEST(doc.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')), "plain");
    }

    void formats()
    {
        QTextDocument doc;
        RtfReader::read("{\\rtf1{\\fonttbl{\\f1 Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;}"
                        "\\pard\\qc\\b B\\b0 \\i I\\i0 \\ul U\\ulnone \\f1\\fs48\\cf1 R\\plain P\\par\\pard N}",
                        doc);
        auto formatAt = [&](int pos) {
            QTextCursor c(&doc);
            c.setPosition(pos + 1);
            return c.charFormat();
        };
        QCOMPARE(doc.toPlainText(), QStringLiteral("BIURP\nN"));
        QCOMPARE(doc.firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
        QVERIFY(!(doc.lastBlock().blockFormat().alignment() & Qt::AlignHCenter));
        QCOMPARE(formatAt(0).fontWeight(), int(QFont::Bold));
        QVERIFY(formatAt(1).fontItalic() && formatAt(1).fontWeight() != QFont::Bold);
        QVERIFY(formatAt(2).fontUnderline() && !formatAt(1).fontUnderline());
        QCOMPARE(formatAt(3).fontPointSize(), 24.0);
        QCOMPARE(formatAt(3).fontFamilies().toStringList(), QStringList{"Times New Roman"});
        QCOMPARE(formatAt(3).foreground().color(), QColor(255, 0, 0));
        QVERIFY(!formatAt(4).hasProperty(QTextFormat::ForegroundBrush));
    }

    void refusesDeepOrHuge()
    {
        QTextDocument doc;
        QVERIFY_THROWS_EXCEPTION(Failure, RtfReader::read("{\\rtf1" + QByteArray(300, '{') + "x}", doc));
        RtfReader::read("{\\rtf1" + QByteArray(200, '{') + "x}", doc);
        QCOMPARE(doc.toPlainText(), QStringLiteral("x"));
        QVERIFY_THROWS_EXCEPTION(Failure, RtfReader::read(QByteArray(RtfReader::MaxBytes + 1, ' '), doc));
    }

    void filesByContent()
    {
        QTemporaryDir dir;
        auto write = [&](const QString &name, const QByteArray &bytes) {
            QFile f(dir.filePath(name));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            return f.fileName();
        };
        QTextDocument doc;
        RtfReader::loadFile(write("u.txt", "{\\rtf1 \\b Uputa}"), doc);
        QCOMPARE(doc.toPlainText(), QStringLiteral("Uputa"));
        RtfReader::loadFile(write("u.rtf", "\x8a\x9a \xe8\xe6 \\par"), doc); // cp1250 text despite its name
        QCOMPARE(doc.toPlainText(), QStringLiteral("Šš čć \\par"));
    }
};

QTEST_GUILESS_MAIN(TestRtfReader)
#include "TestRtfReader.moc"
