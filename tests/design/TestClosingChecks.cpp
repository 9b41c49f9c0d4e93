// The checks run when the design dialog closes: which warnings come, in what
// order, and that one faulty picture never hides the password clean-up.

#include "design/ClosingChecks.h"
#include "design/TestDesign.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(TestingMode)

class TestClosingChecks : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // "WxH" a bitmap of that size, "junk" a .bmp that is no picture,
    // "folder" a folder, "missing" nothing at all.
    QString stimulus(int index, const QString &kind)
    {
        const QString path = m_dir.filePath(QStringLiteral("s%1_%2.bmp").arg(index).arg(kind));
        if (kind == QLatin1String("folder")) {
            QDir().mkpath(path);
        } else if (kind == QLatin1String("junk")) {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write("no picture here") < 0)
                qFatal("cannot write %s", qPrintable(path));
        } else if (kind != QLatin1String("missing")) {
            const QStringList wh = kind.split(QLatin1Char('x'));
            QImage image(wh[0].toInt(), wh[1].toInt(), QImage::Format_RGB32);
            image.fill(Qt::white);
            if (!image.save(path, "BMP"))
                qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

private Q_SLOTS:
    void warningsInOrder_data()
    {
        QTest::addColumn<TestingMode>("mode");
        QTest::addColumn<QString>("answered"); // per task: '1' has an identifier, '0' has none
        QTest::addColumn<QStringList>("pictures");
        QTest::addColumn<QStringList>("expected"); // kind letter and the path's kind, or "I" for identifiers

        const QStringList fits{QStringLiteral("100x50"), QStringLiteral("100x50"), QStringLiteral("100x50")};
        QTest::newRow("assisted mode never asks for identifiers")
            << TestingMode::Assisted << "000" << fits << QStringList{};
        QTest::newRow("independent with task 2 empty warns once, then checks files")
            << TestingMode::Independent << "101"
            << QStringList{QStringLiteral("100x50"), QStringLiteral("100x50"), QStringLiteral("missing")}
            << QStringList{QStringLiteral("I"), QStringLiteral("W 2")};
        QTest::newRow("two missing files name the first")
            << TestingMode::Assisted << "111"
            << QStringList{QStringLiteral("100x50"), QStringLiteral("missing"), QStringLiteral("missing")}
            << QStringList{QStringLiteral("W 1")};
        QTest::newRow("a folder counts as missing")
            << TestingMode::Assisted << "11" << QStringList{QStringLiteral("folder"), QStringLiteral("100x50")}
            << QStringList{QStringLiteral("W 0")};
        QTest::newRow("exact fit passes")
            << TestingMode::Assisted << "11" << QStringList{QStringLiteral("200x130"), QStringLiteral("200x1")}
            << QStringList{};
        QTest::newRow("one pixel wider") << TestingMode::Assisted << "11"
                                         << QStringList{QStringLiteral("200x130"), QStringLiteral("201x1")}
                                         << QStringList{QStringLiteral("S 1")};
        QTest::newRow("one pixel into the answer bar")
            << TestingMode::Assisted << "11" << QStringList{QStringLiteral("10x131"), QStringLiteral("1x1")}
            << QStringList{QStringLiteral("S 0")};
        QTest::newRow("unreadable then too wide: one report")
            << TestingMode::Assisted << "11" << QStringList{QStringLiteral("junk"), QStringLiteral("999x1")}
            << QStringList{QStringLiteral("E 0")};
        QTest::newRow("more tasks than answered rows counted only up to N")
            << TestingMode::Independent << "11" << QStringList{QStringLiteral("1x1"), QStringLiteral("1x1")}
            << QStringList{};
    }

    void warningsInOrder()
    {
        QFETCH(TestingMode, mode);
        QFETCH(QString, answered);
        QFETCH(QStringList, pictures);
        QFETCH(QStringList, expected);

        TestDesign design;
        design.testingMode = mode;
        for (int i = 0; i < pictures.size(); ++i)
            design.stimuli << stimulus(i, pictures[i]);
        for (int i = 0; i < answered.size(); ++i) {
            if (answered[i] == QLatin1Char('1'))
                design.solutions[std::size_t(i)][9] = QStringLiteral("X");
        }
        // Tasks beyond N have no answers and must not count.
        const TestWindowMetrics window{QSize(200, 150), 20};

        QStringList got;
        for (const ClosingMessage &m : ClosingChecks::check(design, window)) {
            if (m.text == ClosingChecks::MissingIdentifiersText) {
                got << QStringLiteral("I");
                continue;
            }
            int which = -1;
            for (int i = 0; i < design.stimuli.size(); ++i) {
                if (m.text.endsWith(QDir::toNativeSeparators(design.stimuli[i])) || m.text.contains(design.stimuli[i]))
                    which = i;
            }
            QString kind = m.kind == ClosingMessage::Kind::Error               ? QStringLiteral("E")
                           : m.text.startsWith(ClosingChecks::MissingFileText) ? QStringLiteral("W")
                           : m.text.startsWith(ClosingChecks::TooLargeText)    ? QStringLiteral("S")
                                                                               : QStringLiteral("?");
            got << QStringLiteral("%1 %2").arg(kind).arg(which);
        }
        QCOMPARE(got, expected);
    }

    void passwordLosesItsSpaces()
    {
        TestDesign design;
        design.password = QStringLiteral("A B");
        const auto warning = ClosingChecks::stripPasswordSpaces(design);
        QVERIFY(warning);
        QCOMPARE(design.password, QStringLiteral("AB"));
        QCOMPARE(warning->text, QStringLiteral("Šifra ne smije imati prazine u sebi. Prazine su izbrisane. Vaša "
                                               "prepravljena šifra: AB"));

        design.password = QStringLiteral("ŠIFRA");
        QVERIFY(!ClosingChecks::stripPasswordSpaces(design));
        QCOMPARE(design.password, QStringLiteral("ŠIFRA"));
    }
};

QTEST_GUILESS_MAIN(TestClosingChecks)
#include "TestClosingChecks.moc"
