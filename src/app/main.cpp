// The desktop application's entry point.
#include "app/Application.h"

int main(int argc, char** argv) { return tavora::app::runDesktop(argc, argv); }
