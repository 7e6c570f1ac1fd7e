#include "tests/gui_main.inc"
