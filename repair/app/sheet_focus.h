#pragma once

class QDialog;
class QWidget;

// When the sheet ends, the keyboard focus goes back to the control of window
// that had it as the sheet opened or, when that control can no longer take
// it (an export disables the button that started it), to the nearest one
// around it that can (its row). Call it just before opening the sheet.
void returnFocusWhenClosed(QDialog *sheet, QWidget *window);
