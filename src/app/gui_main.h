#pragma once

// Runs the windows: creates the QApplication, the main window and its
// start-up, then the event loop. Returns the process's exit status.
int runGui(int argc, char **argv);
