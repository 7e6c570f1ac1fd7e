// The named steps of one render call, each in the file of its stage. RenderBlock
// calls them in this order; each communicates only through the global records.
#pragma once

#include <cstdint>

// Request dispatch (transport resets). The dispatch has already taken the
// request out of g_engineReset.
void FullReset();
void PlayStartReset();
// Clears the effect memory when ResetEngineBuffers has asked for it; runs after
// the request dispatch, before the voices.
void ServeEffectMemoryReset();

// One frame of voice v, in this order. pos is the period position of the frame.
void ReadVoiceEvents(int v, uint32_t pos);  // event intake
void StepTrack(int v);                      // sequencer, automation after each tick
inline bool StartNote(int v);               // control counter, note-on countdown, note start;
                                            // false: the voice has no sound, nothing more this frame
inline bool UpdateModulation(int v);        // control tick and chunk step;
                                            // true: the chunk's audio is due in this frame
void RenderVoiceChunk(int v, uint32_t pos); // audio of one chunk (only when UpdateModulation says so)

// One frame of the master section.
void UpdateMeters();                // every 32 frames, before SmoothMixer
void SmoothMixer();                 // every 32 frames
void MixBuses(uint32_t pos);        // every 4 frames: reads and clears the mix row
void RunEffectUnits();              // every frame, sub-frame = master chunkPhase
uint32_t OutputStage();             // every frame: the packed output word

// Services the audio host calls between blocks.
void UpdateEffectUnits();   // effect settings -> engine coefficients for the next block
void ResetEngineBuffers();  // clears the effect units' delay memory
void ClearEventQueues();    // empties the event queues of all voices at every position

#include "engine/voice_control.h"
