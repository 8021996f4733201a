#pragma once
// The desktop program from start to exit: the single-instance lock, the splash and the
// start-up sequence, the main window and its event loop, the shutdown sequence and the
// end-of-session exit. main() calls runDesktop and returns its result.
namespace tavora::app {

int runDesktop(int argc, char** argv);

}  // namespace tavora::app
