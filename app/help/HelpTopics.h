#pragma once

// The topics of the help file. Every window that offers help asks for a
// topic by a decimal number (a fixed one for its help key or button, or the
// help context number of a control); topic N is the page "N.htm" of the help
// file. The help file's own start page and index stand beside them.

#include <QString>

#include <array>

namespace HelpTopics {

// Every topic number a window of the program asks for: the main window (1),
// the design dialog (3) and its controls (4 to 20), the group results window
// (28) with its grid (39) and record navigator (-12), the SQL query window
// (41), the individual results window (54) and the norm groups window (60).
inline constexpr std::array<int, 19> All = {1, 3, 4, 5, 6, 8, 9, 10, 11, 13, 14, 18, 20, 28, 39, -12, 41, 54, 60};

inline const QString StartPage = QStringLiteral("pocetna.htm");
inline const QString IndexPage = QStringLiteral("kazalo.htm");

// "3" gives "3.htm", "-12" gives "-12.htm".
inline QString pageName(const QString &topic)
{
    return topic + QStringLiteral(".htm");
}

} // namespace HelpTopics
