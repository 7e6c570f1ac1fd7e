// Sizes shared by the engine, the song data and the user interface.
#pragma once

#include <cstdint>

inline constexpr int kVoices = 32;           // voices = pattern tracks
inline constexpr int kBuses = 8;             // mixer buses
inline constexpr int kPeriodPositions = 11025;  // frame positions of one render period
inline constexpr int kMaxRenderFrames = 11025;
inline constexpr int kSampleRate = 44100;
inline constexpr int kSoundSlots = 104;      // bytes per sound-parameter array (sounds 0..99 used)
inline constexpr int kSounds = 100;
inline constexpr int kSoundParams = 61;
inline constexpr int kModTargets = 31;
inline constexpr int kMaxPatterns = 100;
inline constexpr int kOrderPositions = 200;
inline constexpr int kSampleSlots = 256;     // sample number 255 = none
inline constexpr int kNoSample = 255;
inline constexpr int kSplitSets = 32;
inline constexpr int kSplitKeys = 128;
inline constexpr int kAutomationKnobs = 10;
inline constexpr int kLanePositions = 199;
inline constexpr int kLaneBytesPerPosition = 256;
inline constexpr int kMidiChannels = 16;
