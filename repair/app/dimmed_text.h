#pragma once

#include <QPalette>

#include <initializer_list>

class QColor;
class QWidget;

// The contrast of two colours as the accessibility guidelines measure it,
// from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// Dimmed text is drawn in the palette's placeholder text colour. Many
// palettes make that hard to read (below 4.5:1); this gives widget the
// placeholder colour of inherited, moved towards its normal text colour
// until it reads on every one of the backgrounds. inherited is the palette
// around the widget, which it does not hold itself before its own change
// event; called again whenever that palette changes.
void makePlaceholderTextReadable(QWidget *widget, const QPalette &inherited, QPalette::ColorRole normalText,
                                 std::initializer_list<QPalette::ColorRole> backgrounds);
