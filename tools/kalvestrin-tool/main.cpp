// kalvestrin-tool: the headless companion of the program.
//   levels DESIGN.txt [--ignore-background]
//       every task's picture with its size and its efficiency at each level
//   mask PICTURE.bmp LEVEL [--mask-colour RRGGBB] [--ignore-background] [--out FRAME.bmp]
//       one masked frame: its counts, its efficiency, optionally the frame itself
//   demo DIR
//       the demo pictures and their design file primjer.txt
//   export DATABASE FORMAT FILE [STATEMENT] [--presentations]
//       the rows of the statement (all of Data by default) written to FILE, or
//       with --presentations one row per picture shown in the tests it selects
//   session DESIGN.txt [options] | session --data DIR --resume
//       the test window driven by commands on stdin (see SessionCommand.cpp)
//   journal DATA_FOLDER
//       the tests the folder's session journal holds
//   archive compose|show|print ...
//       archive files: composed from a result, shown, printed into a PDF
//   create-database FILE
//       an empty results database; an existing FILE is refused
//   query DATABASE STATEMENT
//       a select statement's result, tab-separated, under the SQL window's rules
//   presentations DATABASE [ID]
//       every picture shown in the stored tests (or in test ID), tab-separated
//   norms DATABASE create|list|delete|rename|export|import|score ...
//       norm groups of the results database (see NormsCommand.cpp)
//   report DATABASE ID NORMGROUP OUT.pdf
//       the clinician's report of a stored test against a norm group
//   server-init CONNINFO | server-set DATA_FOLDER CONNINFO | sync DATA_FOLDER
//       the central database on a PostgreSQL server (see CentralCommands.cpp);
//       query and export take a CONNINFO in place of the DATABASE file

#include "common/Bitmap.h"
#include "common/Failure.h"
#include "common/Version.h"
#include "common/ui/KalvestrinApplication.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "session/MaskStimulus.h"
#include "tools/kalvestrin-tool/DemoKit.h"
#include "tools/kalvestrin-tool/ToolCommand.h"

#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

const char *const Usage =
    "usage:\n"
    "  kalvestrin-tool levels DESIGN.txt [--ignore-background]\n"
    "  kalvestrin-tool mask PICTURE.bmp LEVEL [--mask-colour RRGGBB] [--ignore-background] [--out FRAME.bmp]\n"
    "  kalvestrin-tool demo DIR\n"
    "  kalvestrin-tool export DATABASE FORMAT FILE [STATEMENT] [--presentations]\n"
    "  kalvestrin-tool session DESIGN.txt [--independent] [--no-back] [--no-visual] [--no-sound]\n"
    "      [--ignore-background] [--centre] [--instruction FILE] [--shots DIR] [--data DIR [--no-journal]]\n"
    "      < commands\n"
    "  kalvestrin-tool session --data DIR --resume [options]  < commands\n"
    "      stdin: type TEXT | key NAME | click OBJECTNAME | pause MS | close\n"
    "  kalvestrin-tool archive compose RESULT.json OUT [--separator C]\n"
    "  kalvestrin-tool archive show FILE... [--separator C] [--shot PNG]\n"
    "  kalvestrin-tool archive print FILE --table|--chart OUT.pdf [--separator C]\n"
    "  kalvestrin-tool design-shots DESIGN.txt DIR\n"
    "  kalvestrin-tool create-database FILE\n"
    "  kalvestrin-tool query DATABASE STATEMENT\n"
    "  kalvestrin-tool presentations DATABASE [ID]\n"
    "  kalvestrin-tool journal DATA_FOLDER\n"
    "  kalvestrin-tool norms DATABASE create NAME [--age FROM-TO] [--gender Z|M] [--field1 TEXT] [--field2 TEXT]\n"
    "      [--field3 TEXT] [--from DATE] [--to DATE] [--design SHA256]\n"
    "  kalvestrin-tool norms DATABASE list | delete NAME | rename NAME NEW | export NAME FILE.csv\n"
    "      | import NAME FILE.csv | score NAME ID\n"
    "  kalvestrin-tool report DATABASE ID NORMGROUP OUT.pdf [--separator C]\n"
    "  kalvestrin-tool server-init CONNINFO\n"
    "  kalvestrin-tool server-set DATA_FOLDER CONNINFO\n"
    "  kalvestrin-tool sync DATA_FOLDER\n"
    "      CONNINFO: a libpq connection string or postgresql:// URI, without a password;\n"
    "      query and export take one in place of DATABASE\n";

int parseLevel(const QString &text)
{
    bool ok = false;
    const int level = text.trimmed().toInt(&ok);
    if (!ok || level < 1)
        throw Failure(QStringLiteral("masking level \"%1\" is not a whole number of at least 1").arg(text));
    return level;
}

int levels(QStringList args)
{
    const bool ignoreBackground = args.removeAll(QStringLiteral("--ignore-background")) > 0;
    if (args.size() != 1)
        throw std::invalid_argument("usage");
    TestDesign design;
    LoadDesignFile(design, args[0]);

    QList<int> levelValues;
    for (const QString &level : design.maskLevels)
        levelValues << parseLevel(level);

    QStringList header{QStringLiteral("task"), QStringLiteral("path"), QStringLiteral("width"),
                       QStringLiteral("height")};
    for (const QString &level : design.maskLevels)
        header << QStringLiteral("L%1").arg(level.trimmed());
    out(header.join(QLatin1Char('\t')));

    for (int t = 0; t < design.taskCount(); ++t) {
        // The colour table belongs to positions, not pictures, and ends at MaxTasks.
        if (t >= TestDesign::MaxTasks || std::size_t(t) >= design.maskColours.size())
            throw Failure(QStringLiteral("task %1 has no mask colour").arg(t + 1));
        const QImage picture = loadPicture(design.stimuli[t]);
        QStringList row{QString::number(t + 1), design.stimuli[t], QString::number(picture.width()),
                        QString::number(picture.height())};
        for (int level : levelValues) {
            const MaskedFrame frame =
                MaskStimulus(picture, level, design.maskColours[std::size_t(t)], ignoreBackground);
            row << number17(frame.efficiency);
        }
        out(row.join(QLatin1Char('\t')));
    }
    return 0;
}

Colour parseWebColour(const QString &text)
{
    QString hex = text;
    if (hex.startsWith(QLatin1Char('#')))
        hex.remove(0, 1);
    bool ok = false;
    const uint rgb = hex.toUInt(&ok, 16);
    if (!ok || hex.size() != 6)
        throw Failure(QStringLiteral("mask colour \"%1\" is not of the form RRGGBB").arg(text));
    return rgbColour(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

int mask(QStringList args)
{
    const bool ignoreBackground = args.removeAll(QStringLiteral("--ignore-background")) > 0;
    Colour maskColour = White;
    QString outPath;
    for (int i = 0; i < args.size();) {
        if (args[i] == QLatin1String("--mask-colour") && i + 1 < args.size()) {
            maskColour = parseWebColour(args[i + 1]);
            args.remove(i, 2);
        } else if (args[i] == QLatin1String("--out") && i + 1 < args.size()) {
            outPath = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(QLatin1String("--"))) {
            throw std::invalid_argument("usage");
        } else {
            ++i;
        }
    }
    if (args.size() != 2)
        throw std::invalid_argument("usage");

    const QImage picture = loadPicture(args[0]);
    const MaskedFrame frame = MaskStimulus(picture, parseLevel(args[1]), maskColour, ignoreBackground);
    out(QStringLiteral("shownCount\t%1").arg(frame.shownCount));
    out(QStringLiteral("nonBackgroundCount\t%1").arg(frame.nonBackgroundCount));
    out(QStringLiteral("efficiency\t%1").arg(number17(frame.efficiency)));
    if (!outPath.isEmpty())
        saveBmp24(frame.image, outPath);
    return 0;
}

int demo(QStringList args)
{
    if (args.size() != 1)
        throw std::invalid_argument("usage");
    const int written = DemoKit::write(args[0]);
    out(QStringLiteral("%1 files written into %2").arg(written).arg(args[0]));
    return 0;
}

} // namespace

int exportCommand(QStringList args);
int session(QStringList args);
int journal(QStringList args);
int archiveCommand(QStringList args);
int designShots(QStringList args);
int createDatabase(QStringList args);
int queryDatabase(QStringList args);
int presentations(QStringList args);
int norms(QStringList args);
int report(QStringList args);
int serverInit(QStringList args);
int serverSet(QStringList args);
int syncCommand(QStringList args);

// Every command of the tool; each area adds its own.
const ToolCommand Commands[] = {
    {"levels", levels},
    {"mask", mask},
    {"demo", demo},
    {"session", session},
    {"journal", journal},
    {"design-shots", designShots},
    {"archive", archiveCommand},
    {"create-database", createDatabase},
    {"query", queryDatabase},
    {"presentations", presentations},
    {"export", exportCommand},
    {"norms", norms},
    {"report", report},
    {"server-init", serverInit},
    {"server-set", serverSet},
    {"sync", syncCommand},
};

int main(int argc, char **argv)
{
    // What help2man and a user at a shell ask first: answered on stdout.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("kalvestrin-tool " KALVESTRIN_VERSION);
        return 0;
    }
    // Drawing pictures and driving windows needs an application object, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    KalvestrinApplication app(argc, argv);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const QString command = args.takeFirst();
    try {
        for (const ToolCommand &c : Commands) {
            if (command == QLatin1String(c.name))
                return c.run(args);
        }
    } catch (const Failure &f) {
        std::fprintf(stderr, "kalvestrin-tool: %s\n", f.text().toUtf8().constData());
        return 1;
    } catch (const std::invalid_argument &) {
    }
    std::fputs(Usage, stderr);
    return 2;
}
