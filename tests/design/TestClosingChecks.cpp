// The checks run when the design dialog closes: which warnings come and in
// what order, and where a picture stops fitting the test window.

#include "design/ClosingChecks.h"
#include "design/TestDesign.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestClosingChecks : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // "WxH" a bitmap of that size, "junk" a .bmp that is no picture, "folder", "missing".
    QString stimulus(int index, const QString &kind)
    {
        const QString path = m_dir.filePath(QStringLiteral("s%1_%2.bmp").arg(index).arg(kind));
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

private Q_SLOTS:
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
            design.stimuli << stimulus(i, pictures[i]);
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

QTEST_GUILESS_MAIN(TestClosingChecks)
#include "TestClosingChecks.moc"
