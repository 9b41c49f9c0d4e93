#pragma once

// The icon list of the individual results window, shared with the group
// results window's toolbar.

#include <QIcon>

// The icon at `index` (0-based); an empty icon outside the list.
QIcon toolIcon(int index);
