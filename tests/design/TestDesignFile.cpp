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
    // The exact bytes, and a load of them keeps the tasks and leaves the conditions.
    void fileLayoutIsExactAndLoadsBack()
    {
        TestDesign original = twoTaskDesign();
        original.maskColours[1] = 0xFFFFFFFF; // written as the signed integer it is held as
        SaveDesignFile(original, path(QStringLiteral("a.txt")));
        QCOMPARE(
            readWholeFile(path(QStringLiteral("a.txt"))),
            Windows1250::encode(QStringLiteral("C:\\Slike\\kuća.bmp\r\n/home/ana/stol.bmp\r\n^\r\n16777215\r\n-1\r\n"
                                               "^\r\n8\r\n4\r\n1\r\n^\r\nKUĆA_KUĆICA_________\r\n_________STOL_\r\n")));
        TestDesign loaded;
        loaded.securityMode = true;
        loaded.password = QStringLiteral("TAJNA");
        LoadDesignFile(loaded, path(QStringLiteral("a.txt")));
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
        QTest::newRow("more colours than the table")
            << "a.bmp\r\n^\r\n" + QByteArray("1\r\n").repeated(TestDesign::MaxTasks + 1) + "^\r\n1\r\n^\r\n";
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
        QVERIFY(d.stimuli == before.stimuli && d.maskLevels == before.maskLevels);
        QVERIFY(d.maskColours == before.maskColours && d.solutions == before.solutions);
    }

    void saveIntoAMissingFolderFails()
    {
        QVERIFY_THROWS_EXCEPTION(Failure, SaveDesignFile(twoTaskDesign(), path(QStringLiteral("missing/dir/x.txt"))));
    }

    // Text that would load back as another design is refused before anything is written.
    void saveRefusesWhatCannotComeBack_data()
    {
        QTest::addColumn<int>("where"); // 0 path, 1 level, 2 identifier of task 2
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("caret in a path") << 0 << QStringLiteral("a^b.bmp") << QStringLiteral("Podražaj 3");
        QTest::newRow("not in Windows-1250") << 0 << QStringLiteral("slika Ω.bmp") << QStringLiteral("nije snimljen");
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
        QTEST(got.join(QLatin1Char(' ')), "expected");
    }
};

QTEST_GUILESS_MAIN(TestDesignFile)
#include "TestDesignFile.moc"
