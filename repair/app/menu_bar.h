#pragma once

class QMainWindow;

// Tarnwick's menus: File → Quit (Ctrl+Q) and Help → About Tarnwick.
void addMenuBar(QMainWindow *window);
