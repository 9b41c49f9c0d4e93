// kalvestrin-tool journal DATA_FOLDER: what the session journal of a data
// folder holds, one line per test: UUID, state, subject, answers so far.

#include "database/JournalFile.h"
#include "tools/kalvestrin-tool/ToolCommand.h"

#include <QFileInfo>

#include <stdexcept>

int journal(QStringList args)
{
    if (args.size() != 1)
        throw std::invalid_argument("usage");
    const QString path = JournalFile::pathIn(args[0]);
    if (!QFileInfo::exists(path))
        return 0; // no journal yet: nothing held
    JournalFile file(path);
    for (const JournalTest &test : file.tests()) {
        out(QStringList{test.info.uuid.toString(QUuid::WithoutBraces), JournalTest::stateName(test.state),
                        test.subject.Surname + QLatin1Char(' ') + test.subject.Name,
                        QString::number(test.answers.size())}
                .join(QLatin1Char('\t')));
    }
    return 0;
}
