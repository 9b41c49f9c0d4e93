#pragma once

// Runs kalvestrin-tool as a user runs it and keeps what it printed.

#include <QProcess>
#include <QString>
#include <QStringList>

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline ToolRun runTool(const QString &program, const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
