#pragma once

#include <QStringList>

#include <optional>

// Scoutmark takes no arguments of its own: --help and --version answer and
// end the program, anything else ends it with an error. Qt's own options
// (-platform, -style, ...) are known only once QApplication has taken them
// out, so the command line is read twice. Both give the exit status when the
// program is to end there, and nothing when the window is to start.

// Before QApplication: answers --help and --version, which then need no
// display, and leaves everything it cannot be sure of to the second reading.
std::optional<int> answerCommandLineEarly(int &argc, char **argv);

// After QApplication, on what it left: answers, or refuses what is unknown.
std::optional<int> answerCommandLine(const QStringList &arguments);
