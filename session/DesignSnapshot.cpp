#include "session/DesignSnapshot.h"

#include "common/Failure.h"
#include "design/TestDesign.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonArray strings(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

QStringList stringsOf(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &v : value.toArray())
        list << v.toString();
    return list;
}

} // namespace

namespace DesignSnapshot {

QByteArray compose(const TestDesign &design)
{
    const int n = design.taskCount();
    QJsonArray colours, solutions;
    for (int i = 0; i < n; ++i) {
        const auto k = std::size_t(i);
        colours.append(qint64(k < design.maskColours.size() ? design.maskColours[k] : White));
        QJsonArray row;
        if (k < design.solutions.size()) {
            for (const QString &slot : design.solutions[k])
                row.append(slot);
        }
        solutions.append(row);
    }
    QJsonObject o;
    o[QStringLiteral("stimuli")] = strings(design.stimuli);
    o[QStringLiteral("maskColours")] = colours;
    o[QStringLiteral("maskLevels")] = strings(design.maskLevels);
    o[QStringLiteral("solutions")] = solutions;
    o[QStringLiteral("testWindowColour")] = qint64(design.testWindowColour);
    o[QStringLiteral("allowBack")] = int(design.allowBack);
    o[QStringLiteral("visualFeedback")] = design.visualFeedback;
    o[QStringLiteral("auditoryFeedback")] = design.auditoryFeedback;
    o[QStringLiteral("ignoreBackground")] = design.ignoreBackground;
    o[QStringLiteral("placement")] = int(design.placement);
    o[QStringLiteral("testingMode")] = int(design.testingMode);
    o[QStringLiteral("instructionFile")] = design.instructionFile;
    o[QStringLiteral("fileName")] = design.fileName;
    o[QStringLiteral("fileSha256")] = QString::fromLatin1(design.fileSha256);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

TestDesign parse(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw Failure(QStringLiteral("Nacrt zapisan u dnevniku testiranja nije ispravan: %1").arg(error.errorString()));
    const QJsonObject o = document.object();
    TestDesign d;
    d.stimuli = stringsOf(o[QStringLiteral("stimuli")]);
    if (d.taskCount() > TestDesign::MaxTasks)
        throw Failure(QStringLiteral("Nacrt zapisan u dnevniku testiranja ima previše zadataka."));
    const QJsonArray colours = o[QStringLiteral("maskColours")].toArray();
    const QJsonArray solutions = o[QStringLiteral("solutions")].toArray();
    for (int i = 0; i < d.taskCount(); ++i) {
        const auto k = std::size_t(i);
        d.maskColours[k] = Colour(colours.at(i).toInteger(White));
        const QJsonArray row = solutions.at(i).toArray();
        for (int slot = 0; slot < TestDesign::AnswerSlots; ++slot)
            d.solutions[k][std::size_t(slot)] = row.at(slot).toString();
    }
    d.maskLevels = stringsOf(o[QStringLiteral("maskLevels")]);
    d.testWindowColour = Colour(o[QStringLiteral("testWindowColour")].toInteger(White));
    d.allowBack = AllowBack(o[QStringLiteral("allowBack")].toInt());
    d.visualFeedback = o[QStringLiteral("visualFeedback")].toBool();
    d.auditoryFeedback = o[QStringLiteral("auditoryFeedback")].toBool();
    d.ignoreBackground = o[QStringLiteral("ignoreBackground")].toBool();
    d.placement = Placement(o[QStringLiteral("placement")].toInt());
    d.testingMode = TestingMode(o[QStringLiteral("testingMode")].toInt());
    d.instructionFile = o[QStringLiteral("instructionFile")].toString();
    d.fileName = o[QStringLiteral("fileName")].toString();
    d.fileSha256 = o[QStringLiteral("fileSha256")].toString().toLatin1();
    return d;
}

} // namespace DesignSnapshot
