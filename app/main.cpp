// The program: the one application object and the framework's start.
#include "host/synth_app.h"

CSynthApp theApp;

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
