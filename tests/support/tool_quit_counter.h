#pragma once

#include <QObject>

// Counts ToolQuit signals; the bus calls its slot by name.
class ToolQuitCounter : public QObject
{
    Q_OBJECT

public:
    int count = 0;

public slots:
    void toolQuit() { ++count; }
};
