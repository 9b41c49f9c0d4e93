#include "app/InstalledLayout.h"

#include "common/Failure.h"
#include "database/ResultsSchema.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString HelpFileName = QStringLiteral("Kalvestrin.chm");
const QString DatabaseFileName = QStringLiteral("Kalvestrin.mdb");
const QString DemoFolderName = QStringLiteral("primjer");
const QString DemoDesignName = QStringLiteral("primjer.txt");

void makeFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        throw Failure(QStringLiteral("Mapu \"%1\" nije moguće stvoriti.").arg(QDir::toNativeSeparators(path)));
}

void copyIfMissing(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to))
        return;
    if (!QFile::copy(from, to))
        throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće kopirati u \"%2\".")
                          .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)));
}

// The installed design names the installation's pictures by paths of the
// machine that built it; the user's copy names the user's copies.
void copyDemoKit(const QDir &from, const QDir &to)
{
    makeFolder(to.path());
    for (const QFileInfo &picture : from.entryInfoList({QStringLiteral("*.bmp")}, QDir::Files))
        copyIfMissing(picture.filePath(), to.filePath(picture.fileName()));
    const QString designPath = to.filePath(DemoDesignName);
    if (QFileInfo::exists(designPath))
        return;
    TestDesign design;
    LoadDesignFile(design, from.filePath(DemoDesignName));
    for (QString &stimulus : design.stimuli)
        stimulus = QDir::toNativeSeparators(to.filePath(QFileInfo(stimulus).fileName()));
    SaveDesignFile(design, designPath);
}

} // namespace

namespace InstalledLayout {

QString shareFolder(const QString &binaryFolder)
{
    const QString share = QDir(binaryFolder).absoluteFilePath(QStringLiteral("../share/kalvestrin"));
    return QFileInfo::exists(QDir(share).filePath(HelpFileName)) ? QDir::cleanPath(share) : QString();
}

QString userDataFolder()
{
    const QString chosen = qEnvironmentVariable("KALVESTRIN_DATA");
    return chosen.isEmpty() ? QDir::home().filePath(QStringLiteral("Kalvestrin")) : chosen;
}

void prepareDataFolder(const QString &shareFolder, const QString &dataFolder)
{
    const QDir share(shareFolder), data(dataFolder);
    makeFolder(data.path());
    copyDemoKit(QDir(share.filePath(DemoFolderName)), QDir(data.filePath(DemoFolderName)));
    copyIfMissing(share.filePath(HelpFileName), data.filePath(HelpFileName));
    if (!QFileInfo::exists(data.filePath(DatabaseFileName)))
        ResultsSchema::createDatabase(data.filePath(DatabaseFileName));
}

} // namespace InstalledLayout
