#pragma once

// A termination signal (logout, kill, Ctrl+C in a terminal) quits the
// application the ordinary way, so that it saves its settings as at any quit.
void quitOnTerminationSignals();
