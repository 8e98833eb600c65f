#pragma once

class QMainWindow;

// Scoutmark's Help menu, with About Scoutmark.
void addHelpMenu(QMainWindow *window);
