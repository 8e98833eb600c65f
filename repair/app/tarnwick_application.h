#pragma once

// The whole application, from the command line to the end of its event
// loop; main() only calls it.
int runTarnwick(int argc, char **argv);
