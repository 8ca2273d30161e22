#pragma once
// The program's commands for scripts: `barqeen import FILE…` and `barqeen export FILE`, run on
// the tables in the program's own folder without any window, and refused while the program
// itself runs on that folder.
namespace barqeen {

// True when the arguments ask for a command rather than the windows.
bool isCommand(int argc, char** argv);

// True when a window could be shown (an X or Wayland display, or a platform chosen).
bool hasDisplay();
// Without one the window is never started: the usage, and exit code 2.
int refuseWithoutDisplay();

// Runs the command; answers the exit code: 0 done, 1 a file or the tables failed, 2 the
// command was not understood, 3 the program is running on the folder.
int runCommand(int argc, char** argv);

}  // namespace barqeen
