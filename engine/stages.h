// The named steps of one render call, each in the file of its stage. RenderBlock
// calls them in this order; each communicates only through the global records.
#pragma once

#include <cstdint>

// Request dispatch (transport resets). The dispatch has already taken the
// request out of g_engineReset.
void FullReset();
void PlayStartReset();

// One frame of voice v, in this order. pos is the period position of the frame.
void ReadVoiceEvents(int v, uint32_t pos);  // event intake
void StepTrack(int v);                      // sequencer, automation after each tick
void StartNote(int v);                      // note-on countdown and note start
void UpdateModulation(int v);               // control tick and chunk step
void RenderVoiceChunk(int v, uint32_t pos); // audio of one chunk (frames with chunkPhase 0)

// One frame of the master section.
void UpdateMeters();                // every 32 frames, before SmoothMixer
void SmoothMixer();                 // every 32 frames
void MixBuses(uint32_t pos);        // every 4 frames: reads and clears the mix row
void RunEffectUnits();              // every frame, sub-frame = master chunkPhase
uint32_t OutputStage();             // every frame: the packed output word

// Between render calls, on the thread that renders: the effect set-up turns
// g_effectSettings and the tempo into the effect units' codes and coefficients
// for the next call. On the GUI thread: clearing the effect units' delay memory
// when a song is created or loaded and around an offline export.
void UpdateEffectUnits();
void ResetEngineBuffers();
