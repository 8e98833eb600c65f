#pragma once

class QMessageBox;
class QWidget;

// Tarnwick's name, version, one-line description and licence, window-modal
// on window and deleted when dismissed. The version and description are the
// build's, the same that --version, the desktop entry and the packages show.
QMessageBox *openAboutBox(QWidget *window);
