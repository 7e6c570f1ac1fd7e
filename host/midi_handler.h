// MIDI channel messages turned into their effect on the synthesizer, on the
// MIDI input thread: note on and off as events in the event queues of the
// voices the channel owns (round robin with stealing, folded onto the voices
// in use), pitch bend, the modulation wheel and all-notes-off straight into
// those voices, mapped controllers into the sound bank, the live knobs or the
// mixer, controller 120 as a stop request, program changes as the channel's
// sound. Note ons and offs are then handed to the GUI thread for recording
// (host/midi_recording.h).
//
// Message: status in bits 0-7, first data byte in 8-15, second in 16-23.
// ms: the message's time within the playing buffer; its event lands at
// ms x 44 frames into the period being rendered (at most g_bufferFrames - 4).
// Nothing happens while a song export runs, and no event is queued before an
// output device has set the period (g_bufferFrames 0).
#pragma once

#include <cstdint>

void HandleMidiMessage(uint32_t message, int32_t ms);
