// Note start: the note-on countdown and the loading of a sound's parameters.
#include "engine/stages.h"

void StartNote(int) {}
