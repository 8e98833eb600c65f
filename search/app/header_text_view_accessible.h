#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// What assistive technology sees of a HeaderTextView: read-only text with a
// caret and a selection, which it reads by character, word and line. Lines
// come from the view's line index, never from a copy of the whole text.
QAccessibleInterface *headerTextViewAccessible(const QString &className, QObject *object);
