#pragma once

// The toolbar pictures of the results windows, drawn when first asked for:
// 0 save, 1 open, 2 print table, 3 help, 4 unlocked, 5 locked, 6 analyses,
// 7 all rows, 8 print chart. The group results window borrows from the same
// list by index.

#include <QIcon>

constexpr int ToolIconCount = 9;

// An empty icon for an index outside the list.
QIcon toolIcon(int index);
