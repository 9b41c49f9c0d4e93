#pragma once

// Reads PDFs back with poppler's command-line tools: an independent reader
// of what the printing code wrote.

#include "tests/support/ToolRun.h"

#include <QRegularExpression>

inline QString poppler(const QString &program, const QStringList &args)
{
    return runTool(program, args).out;
}

// The text of one page (1-based), or of all pages when page is 0.
inline QString pdfText(const QString &path, int page = 0)
{
    const QString n = QString::number(page);
    return poppler(QStringLiteral("pdftotext"),
                   (page > 0 ? QStringList{"-f", n, "-l", n} : QStringList()) + QStringList{"-layout", path, "-"});
}

// pdfinfo's "Pages:" and "Page size:" values, e.g. {"3", "595.2 x 841.92 pts (A4)"}.
inline QStringList pdfInfo(const QString &path)
{
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    static const QRegularExpression pages(QStringLiteral("Pages:\\s*(.*)")), size(QStringLiteral("Page size:\\s*(.*)"));
    return {pages.match(info).captured(1).trimmed(), size.match(info).captured(1).trimmed()};
}
