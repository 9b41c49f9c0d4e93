#pragma once

// The program's own connection to the X server, for what Qt does not tell:
// the Caps Lock state and whether a compositing manager runs.

#include <optional>

struct _XDisplay;

// Opened on first use and kept for the whole run; null when the platform is
// not X11 (offscreen, Wayland) or the server cannot be reached.
_XDisplay *x11Connection();

// Whether a compositing manager owns the default screen's _NET_WM_CM_Sn
// selection; nullopt where that cannot be known.
std::optional<bool> x11CompositorRunning();
