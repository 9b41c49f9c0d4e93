#pragma once

// Reads PDFs back with poppler's command-line tools: an independent reader
// of what the printing code wrote.

#include <QProcess>
#include <QString>

// The text of one page (1-based), or of all pages when page is 0.
inline QString pdfText(const QString &path, int page = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << path << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// "Pages:" and "Page size:" of pdfinfo, e.g. {"3", "595.2 x 841.92 pts (A4)"}.
inline QStringList pdfInfo(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(60000);
    QStringList out{QString(), QString()};
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:")))
            out[0] = line.mid(6).trimmed();
        else if (line.startsWith(QLatin1String("Page size:")))
            out[1] = line.mid(10).trimmed();
    }
    return out;
}
