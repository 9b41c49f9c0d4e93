#pragma once

// The one error type of the core libraries: a failure that carries the text
// the user is shown. Core code never shows anything itself; it throws this
// and a command (or the general error handler) puts the text in a box.

#include <QString>
#include <stdexcept>

class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &text)
        : std::runtime_error(text.toStdString())
        , m_text(text)
    {}

    const QString &text() const noexcept { return m_text; }

private:
    QString m_text;
};
