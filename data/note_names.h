// The names of keys 0..107: "C-0", "C#0", "D-0", ... "B-8" (note, then '-' or
// '#', then the octave).
#pragma once

#include <array>

inline constexpr int kNoteNames = 108;

using NoteName = std::array<char, 4>;  // three characters and a terminator

inline constexpr std::array<NoteName, kNoteNames> MakeNoteNames() {
    constexpr char kLetter[12] = {'C', 'C', 'D', 'D', 'E', 'F', 'F', 'G', 'G', 'A', 'A', 'B'};
    constexpr char kMark[12] = {'-', '#', '-', '#', '-', '-', '#', '-', '#', '-', '#', '-'};
    std::array<NoteName, kNoteNames> names{};
    for (int k = 0; k < kNoteNames; ++k) {
        names[k] = {kLetter[k % 12], kMark[k % 12], static_cast<char>('0' + k / 12), '\0'};
    }
    return names;
}

inline constexpr std::array<NoteName, kNoteNames> g_noteNames = MakeNoteNames();
