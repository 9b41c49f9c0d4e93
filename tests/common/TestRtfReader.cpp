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
        QTest::newRow("escaped symbols") << QByteArray("{\\rtf1 \\{x\\}\\\\ a\\~b\\_c\\-d}")
                                         << QStringLiteral("{x}\\ a\u00A0b\u2011cd");
        QTest::newRow("typography") << QByteArray(
                                           "{\\rtf1 \\ldblquote A\\rdblquote  \\lquote B\\rquote  1\\endash 2\\emdash "
                                           "\\bullet\\enspace x\\emspace y}")
                                    << QStringLiteral("\u201CA\u201D \u2018B\u2019 1\u20132\u2014\u2022\u2002x\u2003y");
        // As word processors write tables: row properties, then the cells.
        QTest::newRow("table") << QByteArray("{\\rtf1\\pard A\\par\\trowd\\cellx2000\\cellx4000\\cellx6000"
                                             "\\pard\\intbl{ime\\cell}{\\b dob\\cell}\\cell\\row"
                                             "\\trowd\\cellx2000\\pard\\intbl Ana\\cell\\cell 23\\cell\\row\\pard B}")
                               << QStringLiteral("A\nime\tdob\nAna\t\t23\nB");
        QTest::newRow("declared code pages")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 {\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}"
                          "{\\f2\\fcharset204 Arial Cyr;}}\\f1 \\'9a\\'e8{\\f2 \\'e4\\'e0}\\'e8\\f0 \\'e8}")
            << QStringLiteral("café šč\u0434\u0430čè");
        QTest::newRow("as a word processor writes it")
            << QByteArray(
                   "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
                   "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f4\\fswiss\\fprq2\\fcharset238 "
                   "Arial;}}\n"
                   "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\n"
                   "{\\stylesheet{\\s0\\snext0\\ql\\cf0\\loch\\f4\\fs24\\lang1050 Default Paragraph Style;}}\n"
                   "{\\*\\generator Pisac/7.4}{\\info{\\creatim\\yr2026\\mo12\\dy7}}\\deftab709\\viewscale100\n"
                   "{\\*\\pgdsctbl{\\pgdsc0\\pgwsxn11906 Default Page Style;}}\\sectd\\pgndec\n"
                   "\\pard\\plain \\s0\\ql\\ltrpar\\cf0\\kerning1\\dbch\\af5\\loch\\f4\\hich\\af4\\fs24\\lang1050"
                   "{\\loch\\f4\\hich\\af4\\rtlch \\ltrch\\loch\n"
                   "U\\'e8enik {\\b {\\i \\u269\\'e8ita}} \\ldblquote uputu\\rdblquote .}\n"
                   "\\par \\pard\\plain \\s0\\qc{\\cf2\\loch\\f4 Kraj}\n\\par }")
            << QStringLiteral("Učenik čita \u201Cuputu\u201D.\nKraj\n");
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

        // Formatting runs beyond a page or two are refused before any layout.
        const QByteArray run("{\\b\\i x}");
        const QByteArray justFits = "{\\rtf1" + run.repeated((RtfReader::MaxBytes - 7) / run.size()) + '}';
        RtfReader::loadFile(write("fits.rtf", justFits), doc);
        QCOMPARE(doc.characterCount(), int(justFits.size() - 7) / run.size() + 1);
        for (const QByteArray &huge : {justFits + run, QByteArray(RtfReader::MaxBytes + 1, 'a')})
            QVERIFY_THROWS_EXCEPTION(Failure, RtfReader::loadFile(write("huge.rtf", huge), doc));
    }
};

QTEST_GUILESS_MAIN(TestRtfReader)
#include "TestRtfReader.moc"
