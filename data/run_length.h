// The run-length code of the song file's large blocks (patterns, sound-bank
// arrays, split tables, automation lane halves).
//
// Tokens: a literal is any byte other than 0xF0 and stands for itself; a run is
// 0xF0, a count 1..255 and a value, and stands for count copies of the value.
// 0xF0 is never a literal: even a single 0xF0 byte is the run F0 01 F0. Runs of
// three or more equal bytes become runs; one or two equal bytes other than 0xF0
// stay literals. A packed block carries no length: the reader knows it.
#pragma once

#include <cstdint>
#include <vector>

class CArchive;

inline constexpr uint8_t kRleEscape = 0xF0;

// The largest block the song writer packs: an automation lane half.
inline constexpr uint32_t kRleMaxBlock = 25472;
// A block of n bytes packs into at most 2n bytes (alternating single 0xF0 bytes
// and other bytes), so the buffer holds the packing of any block up to
// kRleMaxBlock bytes.
inline constexpr uint32_t kRleBufferBytes = 2 * kRleMaxBlock;

// Where PackRle writes; valid until its next call.
extern uint8_t g_rleBuffer[kRleBufferBytes];

// Packs the block's size bytes into g_rleBuffer and returns the number of packed
// bytes. Blocks larger than kRleMaxBlock are packed up to that size only.
uint32_t PackRle(const uint8_t* block, uint32_t size);

// Reads tokens from the archive until size bytes are stored at dest. A run that
// passes the end fills the block to its end and the rest of it is dropped; a run
// with count 0 stands for nothing. Returns false when the archive ends first
// (the bytes not reached are left as they were).
bool UnpackRle(CArchive& ar, uint8_t* dest, uint32_t size);

// Reads one packed block of size bytes from the archive as UnpackRle does, but
// appends its tokens unchanged to packed instead of unpacking them, so that a
// reader can check a long block now and unpack it later from the copy. Returns
// false when the archive ends first.
bool CopyRle(CArchive& ar, std::vector<uint8_t>& packed, uint32_t size);
