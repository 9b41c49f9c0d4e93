// The design model and its file: layout, round trips, loads and saves that
// must fail without touching the examiner's work, and the closing checks.

#include "common/Failure.h"
#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "design/ClosingChecks.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"

#include <QDir>
#include <QFile>
#include <QImage>
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

// "WxH" a bitmap of that size, "junk" a .bmp that is no picture, "folder", "missing".
QString closingStimulus(const QTemporaryDir &dir, int index, const QString &kind)
{
    const QString path = dir.filePath(QStringLiteral("s%1_%2.bmp").arg(index).arg(kind));
    QFile file(path);
    if (kind == QLatin1String("folder")) {
        QDir().mkpath(path);
    } else if (kind == QLatin1String("junk")) {
        if (file.open(QIODevice::WriteOnly))
            file.write("BM no picture");
    } else if (kind != QLatin1String("missing")) {
        QImage image(kind.section(QLatin1Char('x'), 0, 0).toInt(), kind.section(QLatin1Char('x'), 1).toInt(),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        image.save(path, "BMP");
    }
    return path;
}

} // namespace

class TestDesignFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeRaw(const QString &name, const QByteArray &bytes) { writeFileAtomically(path(name), bytes); }

private Q_SLOTS:
    void defaults()
    {
        const TestDesign d;
        QCOMPARE(d.taskCount(), 0);
        QCOMPARE(int(d.maskColours.size()), TestDesign::MaxTasks);
        QVERIFY(std::all_of(d.maskColours.begin(), d.maskColours.end(), [](Colour c) { return c == White; }));
        QCOMPARE(d.maskLevels, QStringList({"12", "10", "8", "6", "4", "2", "1"}));
        QCOMPARE(int(d.solutions.size()), TestDesign::MaxTasks);
        QCOMPARE(d.testWindowColour, White);
        QCOMPARE(d.securityMode, false);
        QCOMPARE(d.allowBack, AllowBack::Yes);
        QCOMPARE(d.visualFeedback, true);
        QCOMPARE(d.auditoryFeedback, true);
        QCOMPARE(d.ignoreBackground, false);
        QCOMPARE(d.placement, Placement::TopLeft);
        QCOMPARE(d.testingMode, TestingMode::Assisted);
        QVERIFY(d.instructionFile.isEmpty() && d.password.isEmpty());
    }

    void fileLayoutIsExact()
    {
        SaveDesignFile(twoTaskDesign(), path(QStringLiteral("a.txt")));
        const QByteArray expected = cp1250(QStringLiteral("C:\\Slike\\kuća.bmp\r\n"
                                                          "/home/ana/stol.bmp\r\n"
                                                          "^\r\n"
                                                          "16777215\r\n"
                                                          "255\r\n"
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
        TestDesign original = twoTaskDesign();
        SaveDesignFile(original, path(QStringLiteral("rt.txt")));

        TestDesign loaded;
        loaded.securityMode = true;
        loaded.password = QStringLiteral("TAJNA");
        loaded.testingMode = TestingMode::Independent;
        loaded.solutions[5][0] = QStringLiteral("OSTAJE");
        LoadDesignFile(loaded, path(QStringLiteral("rt.txt")));

        QCOMPARE(loaded.stimuli, original.stimuli);
        QCOMPARE(loaded.maskLevels, original.maskLevels);
        QCOMPARE(loaded.maskColours[0], Colour(16777215));
        QCOMPARE(loaded.maskColours[1], Colour(255));
        QVERIFY(loaded.solutions[0] == original.solutions[0]);
        QVERIFY(loaded.solutions[1] == original.solutions[1]);
        // Rows beyond N are neither written nor cleared; conditions untouched.
        QCOMPARE(loaded.solutions[5][0], QStringLiteral("OSTAJE"));
        QCOMPARE(loaded.securityMode, true);
        QCOMPARE(loaded.password, QStringLiteral("TAJNA"));
        QCOMPARE(loaded.testingMode, TestingMode::Independent);
    }

    void tasksWithoutIdentifiers()
    {
        TestDesign d = twoTaskDesign();
        d.solutions[0] = {};
        d.solutions[1] = {};
        SaveDesignFile(d, path(QStringLiteral("empty.txt")));
        QVERIFY(readWholeFile(path(QStringLiteral("empty.txt"))).endsWith("^\r\n__________\r\n__________\r\n"));
        TestDesign back;
        back.solutions[0][3] = QStringLiteral("X");
        LoadDesignFile(back, path(QStringLiteral("empty.txt")));
        QVERIFY(back.solutions[0] == TestDesign::AnswerRow{});
    }

    void unescapedSeparatorsBehaveAsTheFormatDictates()
    {
        // "_" inside an identifier splits it; text after the tenth "_" is ignored.
        writeRaw(QStringLiteral("u.txt"), "a.bmp\r\nb.bmp\r\n^\r\n^\r\n1\r\n^\r\n"
                                          "KU_CA_\r\n1_2_3_4_5_6_7_8_9_10_11_\r\nNOUNDERSCORE\r\n");
        TestDesign d;
        d.solutions[2][0] = QStringLiteral("GONE");
        LoadDesignFile(d, path(QStringLiteral("u.txt")));
        QCOMPARE(d.solutions[0][0], QStringLiteral("KU"));
        QCOMPARE(d.solutions[0][1], QStringLiteral("CA"));
        QCOMPARE(d.solutions[1][9], QStringLiteral("10"));
        // A row without any "_" leaves all ten slots empty.
        QVERIFY(d.solutions[2] == TestDesign::AnswerRow{});

        // A path containing "^" ends section 1 at that line.
        writeRaw(QStringLiteral("caret.txt"), "a.bmp\r\nb^c.bmp\r\n7\r\n^\r\n1\r\n^\r\n");
        TestDesign e;
        LoadDesignFile(e, path(QStringLiteral("caret.txt")));
        QCOMPARE(e.stimuli, QStringList{"a.bmp"});
        QCOMPARE(e.maskColours[0], Colour(7));
        QCOMPARE(e.maskLevels, QStringList{"1"});
    }

    void separatorsOnlyAndMixedLineEnds()
    {
        TestDesign d = twoTaskDesign();
        writeRaw(QStringLiteral("three.txt"), "^\n^\r^\r\n");
        LoadDesignFile(d, path(QStringLiteral("three.txt")));
        QVERIFY(d.stimuli.isEmpty());
        QVERIFY(d.maskLevels.isEmpty());
        QCOMPARE(d.maskColours[1], Colour(255));
        QCOMPARE(d.solutions[0][0], QStringLiteral("KUĆA"));
    }

    void shortSectionsLeaveTheRestAsItWas()
    {
        TestDesign d = twoTaskDesign();
        writeRaw(QStringLiteral("short.txt"), "x.bmp\ny.bmp\n^\n42\n^\n2\n1\n^\nNOVO_\n");
        LoadDesignFile(d, path(QStringLiteral("short.txt")));
        QCOMPARE(d.maskColours[0], Colour(42));
        QCOMPARE(d.maskColours[1], Colour(255)); // not in the file: kept
        QCOMPARE(d.solutions[0][0], QStringLiteral("NOVO"));
        QCOMPARE(d.solutions[1][9], QStringLiteral("STOL")); // kept
    }

    void failedLoadChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("missing separator") << QByteArray("a.bmp\r\nb.bmp\r\n^\r\n1\r\n2\r\n");
        QTest::newRow("no separator at all") << QByteArray("a.bmp\r\n");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("colour not an integer") << QByteArray("a.bmp\r\n^\r\nclBlue\r\n^\r\n1\r\n^\r\n");
        QTest::newRow("empty colour line") << QByteArray("a.bmp\r\n^\r\n\r\n^\r\n1\r\n^\r\n");
        QTest::newRow("colour with trailing text") << QByteArray("a.bmp\r\n^\r\n12x\r\n^\r\n1\r\n^\r\n");
        QByteArray tooMany("a.bmp\r\n^\r\n");
        for (int i = 0; i <= TestDesign::MaxTasks; ++i)
            tooMany += "1\r\n";
        tooMany += "^\r\n1\r\n^\r\n";
        QTest::newRow("more colours than the table") << tooMany;
    }

    void failedLoadChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        writeRaw(QStringLiteral("bad.txt"), bytes);
        TestDesign d = twoTaskDesign();
        const TestDesign before = d;
        QVERIFY_THROWS_EXCEPTION(Failure, LoadDesignFile(d, path(QStringLiteral("bad.txt"))));
        QCOMPARE(d.stimuli, before.stimuli);
        QCOMPARE(d.maskLevels, before.maskLevels);
        QVERIFY(d.maskColours == before.maskColours);
        QVERIFY(d.solutions == before.solutions);
    }

    void unreadableFileChangesNothing()
    {
        TestDesign d = twoTaskDesign();
        try {
            LoadDesignFile(d, path(QStringLiteral("nothere.txt")));
            QFAIL("loading a missing file must fail");
        } catch (const Failure &f) {
            QVERIFY(f.text().contains(QStringLiteral("nothere.txt")));
        }
        QCOMPARE(d.stimuli.size(), 2);
    }

    void colourForms()
    {
        writeRaw(QStringLiteral("c.txt"), "a\r\n^\r\n  -1\r\n$FF\r\n+16\r\n0x10\r\n^\r\n^\r\n");
        TestDesign d;
        LoadDesignFile(d, path(QStringLiteral("c.txt")));
        QCOMPARE(d.maskColours[0], Colour(0xFFFFFFFF));
        QCOMPARE(d.maskColours[1], Colour(255));
        QCOMPARE(d.maskColours[2], Colour(16));
        QCOMPARE(d.maskColours[3], Colour(16));
        // Written back exactly as read.
        d.stimuli = {"a", "b", "c", "d"};
        QVERIFY(DesignFile::compose(d).contains("^\r\n-1\r\n255\r\n16\r\n16\r\n^"));
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

    // Text that would load back as another design is refused before anything is written.
    void saveRefusesWhatCannotComeBack_data()
    {
        QTest::addColumn<int>("where"); // 0 path, 1 level, 2 identifier of task 2
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("caret in a path") << 0 << QStringLiteral("a^b.bmp") << QStringLiteral("Podražaj 3");
        QTest::newRow("line feed in a path") << 0 << QStringLiteral("a\nb.bmp") << QStringLiteral("Podražaj 3");
        QTest::newRow("caret in a level") << 1 << QStringLiteral("^") << QStringLiteral("Maskirna razina");
        QTest::newRow("carriage return in a level") << 1 << QStringLiteral("2\r") << QStringLiteral("Maskirna razina");
        QTest::newRow("underscore in an identifier")
            << 2 << QStringLiteral("KU_ĆA") << QStringLiteral("Identifikator 4 zadatka 2");
        QTest::newRow("line break in an identifier")
            << 2 << QStringLiteral("KU\r\nĆA") << QStringLiteral("Identifikator 4 zadatka 2");
    }

    void saveRefusesWhatCannotComeBack()
    {
        QFETCH(int, where);
        QFETCH(QString, text);
        QFETCH(QString, named);
        const QString target = path(QStringLiteral("refused.txt"));
        writeFileAtomically(target, "earlier design");
        TestDesign d = twoTaskDesign();
        if (where == 0)
            d.stimuli << text;
        else if (where == 1)
            d.maskLevels << text;
        else
            d.solutions[1][3] = text;
        try {
            SaveDesignFile(d, target);
            QFAIL("the save must be refused");
        } catch (const Failure &f) {
            QVERIFY2(f.text().contains(named), qPrintable(f.text()));
        }
        QCOMPARE(readWholeFile(target), QByteArray("earlier design"));
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

    void rowsBeyondMaxTasksAreIgnored()
    {
        QByteArray bytes("a\r\n^\r\n^\r\n1\r\n^\r\n");
        for (int i = 0; i < TestDesign::MaxTasks + 5; ++i)
            bytes += "X_\r\n";
        writeRaw(QStringLiteral("rows.txt"), bytes);
        TestDesign d;
        LoadDesignFile(d, path(QStringLiteral("rows.txt")));
        QCOMPARE(int(d.solutions.size()), TestDesign::MaxTasks);
        QCOMPARE(d.solutions[999][0], QStringLiteral("X"));
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

    // The checks run when the design dialog closes: which warnings come, in what order.
    void warningsInOrder_data()
    {
        QTest::addColumn<bool>("independent");
        QTest::addColumn<QString>("answered"); // per task: '1' has an identifier
        QTest::addColumn<QStringList>("pictures");
        QTest::addColumn<QString>("expected"); // I identifiers, M missing, E unreadable, S size; then the task
        const QStringList fit{"100x50", "100x50", "100x50"};
        QTest::newRow("assisted asks for no identifiers") << false << "000" << fit << "";
        QTest::newRow("task 2 of 3 empty: once, then files")
            << true << "101" << QStringList{"100x50", "100x50", "missing"} << "I M3";
        QTest::newRow("two missing name the first") << false << "" << QStringList{"1x1", "missing", "missing"} << "M2";
        QTest::newRow("a folder counts as missing") << false << "" << QStringList{"folder", "1x1"} << "M1";
        QTest::newRow("exact fit") << false << "" << QStringList{"200x130", "200x1"} << "";
        QTest::newRow("one pixel wider") << false << "" << QStringList{"200x130", "201x1"} << "S2";
        QTest::newRow("one pixel into the answer bar") << false << "" << QStringList{"10x131"} << "S1";
        QTest::newRow("unreadable then too wide") << false << "" << QStringList{"junk", "999x1"} << "E1";
    }

    void warningsInOrder()
    {
        QFETCH(bool, independent);
        QFETCH(QString, answered);
        QFETCH(QStringList, pictures);
        QFETCH(QString, expected);
        TestDesign design;
        design.testingMode = independent ? TestingMode::Independent : TestingMode::Assisted;
        for (int i = 0; i < pictures.size(); ++i)
            design.stimuli << closingStimulus(m_dir, i, pictures[i]);
        for (int i = 0; i < answered.size(); ++i)
            design.solutions[std::size_t(i)][9] = answered[i] == QLatin1Char('1') ? QStringLiteral("X") : QString();

        QStringList got;
        for (const ClosingMessage &m : ClosingChecks::check(design, TestWindowMetrics{QSize(200, 150), 20})) {
            const QString kind = m.text == ClosingChecks::MissingIdentifiersText     ? QStringLiteral("I")
                                 : m.kind == ClosingMessage::Kind::Error             ? QStringLiteral("E")
                                 : m.text.startsWith(ClosingChecks::MissingFileText) ? QStringLiteral("M")
                                                                                     : QStringLiteral("S");
            int task = 0;
            for (int i = 0; i < design.stimuli.size(); ++i)
                task = kind != QLatin1String("I") && m.text.contains(design.stimuli[i]) ? i + 1 : task;
            got << kind + (task ? QString::number(task) : QString());
        }
        QCOMPARE(got.join(QLatin1Char(' ')), expected);
    }
};

QTEST_GUILESS_MAIN(TestDesignFile)
#include "TestDesignFile.moc"
