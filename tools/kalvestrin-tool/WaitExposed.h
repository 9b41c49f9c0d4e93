#pragma once

// Waits until a shown window is on screen (exposed), handling events
// meanwhile, so a command can grab it or send it keys; false after timeoutMs.

class QWidget;

bool waitExposed(QWidget *window, int timeoutMs = 5000);
