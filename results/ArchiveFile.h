#pragma once

// The archive file of one test: a single Windows-1250 line of fields, each
// followed by "; ", ended by CR LF. Writer and reader agree on the layout and
// on the number format, which follows the decimal separator of the machine
// that wrote the file; the reader accepts either "." or ",".

#include "common/Regional.h"
#include "session/SessionResult.h"

#include <QList>
#include <QString>

#include <functional>

// Fields 1 to 16 come first; then an (efficiency, label) pair per task.
namespace ArchiveLayout {
constexpr int FixedFields = 16;
constexpr int Name = 1, Age = 2, Gender = 3, Field1 = 4, Field2 = 5, Date = 6, Duration = 7, Independent = 8,
              Background = 9, TaskCount = 10, Unrecognised = 11, Mean = 12, Variance = 13, Field3 = 14;
} // namespace ArchiveLayout

// One field as the reader hands it on, in file order.
struct ArchiveField
{
    int number = 0; // 1-based position in the line
    int task = 0;   // 1-based task of an efficiency or label field, else 0
    bool efficiency = false;
    QString text;          // as read; numbers with the current separator
    long double value = 0; // fields 10, 12, 13 and efficiencies
};

// Everything the reader found in a complete file.
struct ArchivedTest
{
    QString fields[ArchiveLayout::FixedFields]; // fields 1..16 as read
    int taskCount = 0;
    long double mean = 0, variance = 0;
    QList<double> efficiencies;
    QStringList labels;
};

// A test's duration (days) as a time of day in the long time format, whole
// milliseconds modulo one day.
QString DurationText(double days, const Regional &regional);

// The archive line of a finished test, without its CR LF. Throws Failure when
// the result's task count disagrees with its tasks.
QString ComposeArchiveText(const SessionResult &result, const Regional &regional);

// Writes the line and CR LF in Windows-1250, whole or not at all; throws Failure.
void SaveArchiveFile(const QString &path, const QString &archiveText);

// The file's text with every line end dropped and the lines joined.
QString ArchiveFileText(const QByteArray &bytes);

// Takes the next field off `rest`: leading blanks skipped, the text up to the
// next ";" (or all that remains), cut to 255 characters; for numbers the
// other machine's separator becomes ours. Throws Failure when nothing remains.
QString ReadArchiveField(QStringView &rest, bool numeric, QChar separator);

// Reads a whole archive text, handing each field on as soon as it has been
// read and converted. Throws Failure on the first field that is missing or
// malformed; the fields before it have been handed on.
ArchivedTest ReadArchive(const QString &text, QChar separator,
                         const std::function<void(const ArchiveField &)> &onField = {});
