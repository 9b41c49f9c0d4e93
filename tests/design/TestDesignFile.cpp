// The design model and its file: layout, round trips, and loads and saves
// that must fail without touching the examiner's work.

#include "common/Failure.h"
#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

TestDesign twoTaskDesign()
{
    TestDesign d;
    d.stimuli = {QStringLiteral("C:\\Slike\\kuća.bmp"), QStringLiteral("/home/ana/stol.bmp")};
    d.maskColours[0] = 16777215;
    d.maskColours[1] = 255;
    d.maskLevels = {QStringLiteral("8"), QStringLiteral("4"), QStringLiteral("1")};
    d.solutions[0][0] = QStringLiteral("KUĆA");
    d.solutions[0][1] = QStringLiteral("KUĆICA");
    d.solutions[1][9] = QStringLiteral("STOL");
    return d;
}

QByteArray cp1250(const QString &text)
{
    return Windows1250::encode(text);
}

} // namespace

class TestDesignFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeRaw(const QString &name, const QByteArray &bytes) { writeFileAtomically(path(name), bytes); }

private Q_SLOTS:
    void fileLayoutIsExact()
    {
        TestDesign d = twoTaskDesign();
        d.maskColours[1] = 0xFFFFFFFF; // written as the signed integer it is held as
        SaveDesignFile(d, path(QStringLiteral("a.txt")));
        const QByteArray expected = cp1250(QStringLiteral("C:\\Slike\\kuća.bmp\r\n"
                                                          "/home/ana/stol.bmp\r\n"
                                                          "^\r\n"
                                                          "16777215\r\n"
                                                          "-1\r\n"
                                                          "^\r\n"
                                                          "8\r\n4\r\n1\r\n"
                                                          "^\r\n"
                                                          "KUĆA_KUĆICA_________\r\n"
                                                          "_________STOL_\r\n"));
        QCOMPARE(readWholeFile(path(QStringLiteral("a.txt"))), expected);
        // 3N + M + 3 lines
        QCOMPARE(expected.count("\r\n"), 3 * 2 + 3 + 3);
    }

    void roundTripKeepsTasksAndLeavesConditions()
    {
        const TestDesign original = twoTaskDesign();
        SaveDesignFile(original, path(QStringLiteral("rt.txt")));
        TestDesign loaded;
        loaded.securityMode = true;
        loaded.password = QStringLiteral("TAJNA");
        LoadDesignFile(loaded, path(QStringLiteral("rt.txt")));
        QCOMPARE(loaded.stimuli, original.stimuli);
        QCOMPARE(loaded.maskLevels, original.maskLevels);
        QVERIFY(std::equal(original.maskColours.begin(), original.maskColours.begin() + 2, loaded.maskColours.begin()));
        QVERIFY(std::equal(original.solutions.begin(), original.solutions.begin() + 2, loaded.solutions.begin()));
        QVERIFY(loaded.securityMode && loaded.password == QStringLiteral("TAJNA"));
    }

    // Bytes loaded over twoTaskDesign(): the lists, the first four colours
    // and the first three answer rows afterwards.
    void loadsWhatTheFormatSays_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("stimuli");
        QTest::addColumn<QStringList>("levels");
        QTest::addColumn<QList<uint>>("colours");
        QTest::addColumn<QStringList>("rows");
        const uint w = White;
        const QStringList before{"KUĆA|KUĆICA", "|||||||||STOL", ""};

        QTest::newRow("tasks without identifiers")
            << QByteArray("a\r\nb\r\n^\r\n1\r\n2\r\n^\r\n1\r\n^\r\n__________\r\n__________\r\n")
            << QStringList{"a", "b"} << QStringList{"1"} << QList<uint>{1, 2, w, w} << QStringList{"", "", ""};
        // "_" inside an identifier splits it; text after the tenth "_" is ignored;
        // a row without any "_" leaves all ten slots empty.
        QTest::newRow("unescaped underscores")
            << QByteArray("a\r\nb\r\n^\r\n^\r\n1\r\n^\r\nKU_CA_\r\n1_2_3_4_5_6_7_8_9_10_11_\r\nNOUNDERSCORE\r\n")
            << QStringList{"a", "b"} << QStringList{"1"} << QList<uint>{16777215, 255, w, w}
            << QStringList{"KU|CA", "1|2|3|4|5|6|7|8|9|10", ""};
        QTest::newRow("a path containing ^ ends the pictures")
            << QByteArray("a.bmp\r\nb^c.bmp\r\n7\r\n^\r\n1\r\n^\r\n") << QStringList{"a.bmp"} << QStringList{"1"}
            << QList<uint>{7, 255, w, w} << before;
        QTest::newRow("separators only, mixed line ends") << QByteArray("^\n^\r^\r\n") << QStringList{} << QStringList{}
                                                          << QList<uint>{16777215, 255, w, w} << before;
        QTest::newRow("short sections leave the rest")
            << QByteArray("x\ny\n^\n42\n^\n2\n1\n^\nNOVO_\n") << QStringList{"x", "y"} << QStringList{"2", "1"}
            << QList<uint>{42, 255, w, w} << QStringList{"NOVO", "|||||||||STOL", ""};
        QTest::newRow("colour forms") << QByteArray("a\r\n^\r\n  -1\r\n$FF\r\n+16\r\n0x10\r\n^\r\n^\r\n")
                                      << QStringList{"a"} << QStringList{} << QList<uint>{0xFFFFFFFF, 255, 16, 16}
                                      << before;
        QTest::newRow("rows beyond MaxTasks are ignored")
            << QByteArray("a\r\n^\r\n^\r\n1\r\n^\r\n") + QByteArray("X_\r\n").repeated(TestDesign::MaxTasks + 5)
            << QStringList{"a"} << QStringList{"1"} << QList<uint>{16777215, 255, w, w} << QStringList{"X", "X", "X"};
    }

    void loadsWhatTheFormatSays()
    {
        QFETCH(QByteArray, bytes);
        writeRaw(QStringLiteral("t.txt"), bytes);
        TestDesign d = twoTaskDesign();
        LoadDesignFile(d, path(QStringLiteral("t.txt")));
        QTEST(d.stimuli, "stimuli");
        QTEST(d.maskLevels, "levels");
        QTEST(QList<uint>(d.maskColours.begin(), d.maskColours.begin() + 4), "colours");
        QStringList rows;
        for (int r = 0; r < 3; ++r) {
            QString row = QStringList(d.solutions[std::size_t(r)].begin(), d.solutions[std::size_t(r)].end()).join('|');
            while (row.endsWith(QLatin1Char('|')))
                row.chop(1);
            rows << row;
        }
        QTEST(rows, "rows");
        QCOMPARE(int(d.solutions.size()), TestDesign::MaxTasks);
    }

    void failedLoadChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("missing separator") << QByteArray("a.bmp\r\nb.bmp\r\n^\r\n1\r\n2\r\n");
        QTest::newRow("no separator at all") << QByteArray("a.bmp\r\n");
        QTest::newRow("empty file") << QByteArray("");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("colour not an integer") << QByteArray("a.bmp\r\n^\r\nclBlue\r\n^\r\n1\r\n^\r\n");
        QTest::newRow("empty colour line") << QByteArray("a.bmp\r\n^\r\n\r\n^\r\n1\r\n^\r\n");
        QTest::newRow("colour with trailing text") << QByteArray("a.bmp\r\n^\r\n12x\r\n^\r\n1\r\n^\r\n");
        QByteArray tooMany("a.bmp\r\n^\r\n");
        for (int i = 0; i <= TestDesign::MaxTasks; ++i)
            tooMany += "1\r\n";
        tooMany += "^\r\n1\r\n^\r\n";
        QTest::newRow("more colours than the table") << tooMany;
        QTest::newRow("more stimuli than the tables")
            << QByteArray("a.bmp\r\n").repeated(TestDesign::MaxTasks + 1) + QByteArray("^\r\n^\r\n1\r\n^\r\n");
    }

    void failedLoadChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFile::remove(path(QStringLiteral("bad.txt")));
        if (!bytes.isNull())
            writeRaw(QStringLiteral("bad.txt"), bytes);
        TestDesign d = twoTaskDesign();
        const TestDesign before = d;
        QVERIFY_THROWS_EXCEPTION(Failure, LoadDesignFile(d, path(QStringLiteral("bad.txt"))));
        QCOMPARE(d.stimuli, before.stimuli);
        QCOMPARE(d.maskLevels, before.maskLevels);
        QVERIFY(d.maskColours == before.maskColours);
        QVERIFY(d.solutions == before.solutions);
    }

    void failedSaveLeavesTheChosenFile()
    {
        const QString target = path(QStringLiteral("keep.txt"));
        writeFileAtomically(target, "earlier design");
        TestDesign d = twoTaskDesign();
        d.stimuli << QStringLiteral("slika Ω.bmp"); // not in Windows-1250
        QVERIFY_THROWS_EXCEPTION(Failure, SaveDesignFile(d, target));
        QCOMPARE(readWholeFile(target), QByteArray("earlier design"));

        QVERIFY_THROWS_EXCEPTION(Failure, SaveDesignFile(twoTaskDesign(), path(QStringLiteral("missing/dir/x.txt"))));
    }

    void colourTableNeverShrinks()
    {
        // A full design uses every colour; loading a short one keeps the table whole.
        TestDesign d;
        for (int i = 0; i < TestDesign::MaxTasks; ++i)
            d.stimuli << QStringLiteral("p%1.bmp").arg(i);
        d.maskColours[999] = 5;
        SaveDesignFile(d, path(QStringLiteral("full.txt")));
        TestDesign back;
        LoadDesignFile(back, path(QStringLiteral("full.txt")));
        QCOMPARE(back.taskCount(), TestDesign::MaxTasks);
        QCOMPARE(back.maskColours[999], Colour(5));
        QCOMPARE(int(back.maskColours.size()), TestDesign::MaxTasks);
    }

    void normaliseSolutions()
    {
        TestDesign d;
        d.solutions[0][0] = QStringLiteral(" ku ća ");
        d.solutions[0][1] = QStringLiteral("   ");
        d.solutions[999][9] = QStringLiteral("šiš\tmiš");
        d.solutions[3][2] = QStringLiteral("đak žaba");
        NormaliseSolutions(d);
        QCOMPARE(d.solutions[0][0], QStringLiteral("KUĆA"));
        QCOMPARE(d.solutions[0][1], QString());
        QCOMPARE(d.solutions[999][9], QStringLiteral("ŠIŠ\tMIŠ")); // only code 32 is removed
        QCOMPARE(d.solutions[3][2], QStringLiteral("ĐAKŽABA"));
        QCOMPARE(d.answersOf(0), QStringList{"KUĆA"});
    }
};

QTEST_GUILESS_MAIN(TestDesignFile)
#include "TestDesignFile.moc"
