// kalvestrin-tool archive: archive files without the program.
//   archive compose RESULT.json OUT [--separator C]
//   archive show FILE... [--separator C] [--shot PNG]
//   archive print FILE --table|--chart OUT.pdf [--separator C]

#include "common/Clock.h"
#include "common/DataFolder.h"
#include "common/Failure.h"
#include "common/Regional.h"
#include "common/SafeFile.h"
#include "common/ui/Prompts.h"
#include "results/ArchiveFile.h"
#include "results/ui/PdfPrintTarget.h"
#include "results/ui/TRezultati.h"
#include "tools/kalvestrin-tool/ToolCommand.h"
#include "tools/kalvestrin-tool/WaitExposed.h"

#include <QCategoryAxis>
#include <QChart>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineSeries>
#include <QTableWidget>
#include <QTextDocumentFragment>

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

// Answers the window's file choosers with the file in hand and writes every
// box it is shown as a `prompt` line.
class ToolPrompts : public Prompts
{
public:
    QString nextFile;
    int errors = 0;

    void warning(const QString &text) override { record(QStringLiteral("warning"), text); }
    void error(const QString &text) override
    {
        ++errors;
        record(QStringLiteral("error"), text);
    }
    void information(const QString &text) override { record(QStringLiteral("information"), text); }
    bool question(const QString &text) override
    {
        record(QStringLiteral("question"), text);
        return false;
    }
    int choose(const QString &text, const QStringList &) override
    {
        record(QStringLiteral("choice"), text);
        return -1;
    }
    QString openFile(FileDialogRequest &) override { return std::exchange(nextFile, QString()); }
    QString saveFile(FileDialogRequest &) override { return {}; }
    std::optional<Colour> chooseColour(Colour) override { return std::nullopt; }

private:
    static void record(const QString &kind, const QString &text)
    {
        out(QStringLiteral("prompt\t%1\t%2").arg(kind, text));
    }
};

// "--separator C" taken out of args; the regional settings the command works with.
Regional takeRegional(QStringList &args)
{
    Regional r = Regional::fromSystem();
    r.shortDateFormat = QStringLiteral("d.M.yyyy");
    r.longTimeFormat = QStringLiteral("H:mm:ss");
    const qsizetype i = args.indexOf(QStringLiteral("--separator"));
    if (i >= 0) {
        if (i + 1 >= args.size() || args[i + 1].size() != 1)
            throw std::invalid_argument("usage");
        r.decimalSeparator = args[i + 1].front();
        args.remove(i, 2);
    }
    return r;
}

QString takeOption(QStringList &args, const QString &name)
{
    const qsizetype i = args.indexOf(name);
    if (i < 0)
        return {};
    if (i + 1 >= args.size())
        throw std::invalid_argument("usage");
    const QString value = args[i + 1];
    args.remove(i, 2);
    return value;
}

long double decimal(const QJsonValue &v, const char *name)
{
    if (v.isDouble())
        return v.toDouble();
    const QByteArray text = v.toString().trimmed().toLatin1();
    long double value = 0;
    const auto [end, ec] = std::from_chars(text.constData(), text.constData() + text.size(), value);
    if (text.isEmpty() || ec != std::errc() || end != text.constData() + text.size())
        throw Failure(QStringLiteral("%1 \"%2\" is not a decimal number").arg(QLatin1String(name), v.toString()));
    return value;
}

SessionResult resultFromJson(const QString &path)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(readWholeFile(path), &error);
    if (!doc.isObject())
        throw Failure(QStringLiteral("%1: %2").arg(path, error.errorString()));
    const QJsonObject o = doc.object();
    SessionResult r;
    const QJsonObject s = o.value(QLatin1String("subject")).toObject();
    r.subject.Name = s.value(QLatin1String("Name")).toString();
    r.subject.Surname = s.value(QLatin1String("Surname")).toString();
    r.subject.Age = s.value(QLatin1String("Age")).toString();
    r.subject.Gender = s.value(QLatin1String("Gender")).toInt(-1);
    r.subject.GenderText = s.value(QLatin1String("GenderText")).toString();
    r.subject.Field1 = s.value(QLatin1String("Field1")).toString();
    r.subject.Field2 = s.value(QLatin1String("Field2")).toString();
    r.subject.Field3 = s.value(QLatin1String("Field3")).toString();
    r.testDate = QDate::fromString(o.value(QLatin1String("testDate")).toString(), Qt::ISODate);
    if (!r.testDate.isValid())
        throw Failure(QStringLiteral("testDate is not an ISO date"));
    r.duration = o.value(QLatin1String("durationSeconds")).toDouble() / 86400.0;
    r.independentMode = o.value(QLatin1String("independentMode")).toBool();
    r.modeText = o.value(QLatin1String("modeText")).toString();
    r.ignoreBackground = o.value(QLatin1String("ignoreBackground")).toBool();
    r.stimulusCount = o.value(QLatin1String("stimulusCount")).toInt();
    r.unrecognisedCount = o.value(QLatin1String("unrecognisedCount")).toInt();
    r.mean = decimal(o.value(QLatin1String("mean")), "mean");
    r.variance = decimal(o.value(QLatin1String("variance")), "variance");
    for (const QJsonValue &t : o.value(QLatin1String("tasks")).toArray()) {
        const QJsonObject task = t.toObject();
        r.tasks.append({task.value(QLatin1String("label")).toString(), task.value(QLatin1String("recognised")).toBool(),
                        double(decimal(task.value(QLatin1String("efficiency")), "efficiency"))});
    }
    return r;
}

int compose(QStringList args)
{
    const Regional regional = takeRegional(args);
    if (args.size() != 2)
        throw std::invalid_argument("usage");
    SaveArchiveFile(args[1], ComposeArchiveText(resultFromJson(args[0]), regional));
    return 0;
}

QString number(double v)
{
    return QString::number(v, 'g', 15);
}

void describe(TRezultati &w)
{
    for (int n = 2; n <= 15; ++n)
        out(QStringLiteral("Label%1\t%2").arg(n).arg(w.findChild<QLabel *>(QStringLiteral("Label%1").arg(n))->text()));
    out(QStringLiteral("Label1\t%1")
            .arg(w.findChild<QLabel *>(QStringLiteral("Label1"))->isHidden() ? QStringLiteral("hidden")
                                                                             : QStringLiteral("shown")));
    for (const QString &line : w.chart()->title().split(QStringLiteral("<br>")))
        out(QStringLiteral("title\t") + QTextDocumentFragment::fromHtml(line).toPlainText());
    out(QStringLiteral("xaxis\t%1\t%2").arg(number(w.categoryAxis()->min()), number(w.categoryAxis()->max())));
    out(QStringLiteral("yaxis\t%1\t%2\t%3")
            .arg(number(w.valueAxis()->min()), number(w.valueAxis()->max()), w.valuePicture()));
    out(QStringLiteral("points\t%1").arg(w.series()->count()));
    const QTableWidget *grid = w.findChild<QTableWidget *>(QStringLiteral("Grid1"));
    for (int r = 0; r < grid->rowCount(); ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            const QTableWidgetItem *item = grid->item(r, c);
            out(QStringLiteral("cell\t%1\t%2\t%3").arg(r).arg(c).arg(item ? item->text() : QString()));
        }
    }
}

int show(QStringList args)
{
    const Regional regional = takeRegional(args);
    const QString shot = takeOption(args, QStringLiteral("--shot"));
    if (args.isEmpty())
        throw std::invalid_argument("usage");
    ToolPrompts prompts;
    SystemClock clock;
    TRezultati w(prompts, clock, regional, DataFolder::current());
    for (const QString &file : args) {
        out(QStringLiteral("file\t") + file);
        prompts.nextFile = file;
        w.Tool1Click();
        describe(w);
    }
    if (!shot.isEmpty()) {
        w.setWindowState(Qt::WindowNoState);
        w.resize(1280, 1024);
        w.show();
        if (!waitExposed(&w))
            throw Failure(QStringLiteral("the window never showed"));
        if (!w.grab().save(shot))
            throw Failure(QStringLiteral("cannot write %1").arg(shot));
    }
    return prompts.errors > 0 ? 1 : 0;
}

int print(QStringList args)
{
    const Regional regional = takeRegional(args);
    const bool table = args.removeAll(QStringLiteral("--table")) > 0;
    const bool chart = args.removeAll(QStringLiteral("--chart")) > 0;
    if (args.size() != 2 || table == chart)
        throw std::invalid_argument("usage");
    ToolPrompts prompts;
    SystemClock clock;
    TRezultati w(prompts, clock, regional, DataFolder::current());
    w.setPrintTarget(std::make_unique<PdfPrintTarget>(args[1]));
    w.setWindowState(Qt::WindowNoState);
    w.resize(1280, 1024);
    prompts.nextFile = args[0];
    w.Tool1Click();
    if (prompts.errors > 0)
        return 1;
    if (table)
        w.Tool3Click();
    else
        w.Tool4Click();
    return 0;
}

} // namespace

int archiveCommand(QStringList args)
{
    if (args.isEmpty())
        throw std::invalid_argument("usage");
    const QString sub = args.takeFirst();
    if (sub == QLatin1String("compose"))
        return compose(args);
    if (sub == QLatin1String("show"))
        return show(args);
    if (sub == QLatin1String("print"))
        return print(args);
    throw std::invalid_argument("usage");
}
