#pragma once

// The place of the program's full-screen windows: at the top-left of the
// primary screen's available area, with that area's size, and maximised. The
// geometry comes first, so the window fills the screen even where no window
// manager carries out the maximising (kiosk set-ups, remote sessions).

class QWidget;

void fillAvailableScreen(QWidget *window);
