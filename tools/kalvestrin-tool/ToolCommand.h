#pragma once

// One command of kalvestrin-tool and the helpers every command prints with.
// A command returns the exit code; it throws Failure for an error (printed
// to stderr, exit 1) and std::invalid_argument for bad usage (exit 2).

#include <QString>
#include <QStringList>

#include <cstdio>

struct ToolCommand
{
    const char *name;
    int (*run)(QStringList args);
};

// One line on stdout, UTF-8.
inline void out(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

// 17 significant digits with "." whatever the locale: reads back to the same double.
inline QString number17(double v)
{
    return QString::number(v, 'g', 17);
}
