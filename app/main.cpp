// vantrel: the desktop teaching simulator.
#include "app/application.h"

int main(int argc, char** argv) { return vantrel::RunDesktop(argc, argv); }
