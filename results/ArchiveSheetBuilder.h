#pragma once

// Turns the fields of an archive file, in the order the reader hands them
// on, into what the results window shows. Starts from the window's start
// state, so a file that fails half way shows its own fields and nothing of
// the test shown before it.

#include "results/ArchiveFile.h"
#include "results/ResultSheet.h"

class ArchiveSheetBuilder
{
public:
    explicit ArchiveSheetBuilder(QChar separator);

    void apply(const ArchiveField &field);
    const ResultSheet &sheet() const { return m_sheet; }

private:
    // After the last task: the score rows and the chart's title and value labels.
    void finish();

    QChar m_separator;
    ResultSheet m_sheet = ResultSheet::initial();
    QString m_name;
    int m_taskCount = 0;
    long double m_mean = 0, m_variance = 0;
};
