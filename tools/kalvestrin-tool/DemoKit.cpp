#include "tools/kalvestrin-tool/DemoKit.h"

#include "common/Bitmap.h"
#include "common/Failure.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "resources/pictures/Drawings.h"

#include <QDir>
#include <QFileInfo>

namespace DemoKit {

int write(const QString &dirPath)
{
    QDir dir(dirPath);
    if (!QDir().mkpath(dir.absolutePath()))
        throw Failure(QStringLiteral("Mapu \"%1\" nije moguće stvoriti.").arg(QDir::toNativeSeparators(dirPath)));

    const QList<Drawings::Stimulus> stimuli = Drawings::stimuli();
    TestDesign design;
    design.maskLevels = TestDesign::defaultMaskLevels();
    int written = 0;
    for (int i = 0; i < stimuli.size(); ++i) {
        const auto &s = stimuli[i];
        const QString path = dir.absoluteFilePath(s.fileName);
        if (!QFileInfo::exists(path)) {
            saveBmp24(s.image, path);
            ++written;
        }
        design.stimuli << QDir::toNativeSeparators(path);
        design.maskColours[std::size_t(i)] = White;
        for (int slot = 0; slot < s.answers.size() && slot < TestDesign::AnswerSlots; ++slot)
            design.solutions[std::size_t(i)][std::size_t(slot)] = s.answers[slot];
    }
    const QString designPath = dir.absoluteFilePath(DesignFileName);
    if (!QFileInfo::exists(designPath)) {
        SaveDesignFile(design, designPath);
        ++written;
    }
    return written;
}

} // namespace DemoKit
