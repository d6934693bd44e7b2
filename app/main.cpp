// The shift planner. Its start-up directory is its program directory: the configuration, the
// locale file and the settings file lie there.
#include "app/Program.h"

int main(int argc, char** argv) { return RunProgram(argc, argv); }
