// Run-length packing: the worked example, the token rules at run boundaries, the
// worst case against the buffer, and unpacking of cut and oversized runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "data/run_length.h"
#include "shared/file_io.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pack(const Bytes& block) {
    const uint32_t n = PackRle(block.data(), static_cast<uint32_t>(block.size()));
    return Bytes(g_rleBuffer, g_rleBuffer + n);
}

// Unpacks size bytes from packed (followed by trailer) into a block prefilled
// with 0xAA; returns the block and how many archive bytes were consumed.
std::pair<Bytes, size_t> Unpack(const Bytes& packed, uint32_t size, bool* complete = nullptr) {
    CMemFile mem(packed.data(), packed.size());
    CArchive ar(&mem, CArchive::load);
    Bytes out(size + 4, 0xAA);
    const bool ok = UnpackRle(ar, out.data(), size);
    if (complete != nullptr) *complete = ok;
    const size_t consumed = packed.size() - ar.BytesLeft();
    return {out, consumed};
}

TEST(RunLengthTest, WorkedExamplePacksAndUnpacks) {
    const Bytes block = {0x05, 0x05, 0x05, 0x05, 0x07, 0xF0, 0x07, 0x07, 0x00};
    const Bytes packed = {0xF0, 0x04, 0x05, 0x07, 0xF0, 0x01, 0xF0, 0x07, 0x07, 0x00};
    EXPECT_EQ(Pack(block), packed);
    const auto [out, consumed] = Unpack(packed, 9);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 9), block);
    EXPECT_EQ(consumed, packed.size());
}

TEST(RunLengthTest, TokensAtRunBoundaries) {
    struct Case {
        const char* what;
        Bytes block;
        Bytes packed;
    };
    const auto run = [](size_t n, uint8_t v) { return Bytes(n, v); };
    const auto cat = [](Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {"empty", {}, {}},
        {"one F0", {0xF0}, {0xF0, 0x01, 0xF0}},
        {"two F0", {0xF0, 0xF0}, {0xF0, 0x02, 0xF0}},
        {"two equal stay literals", {0x07, 0x07}, {0x07, 0x07}},
        {"three equal are a run", {0x07, 0x07, 0x07}, {0xF0, 0x03, 0x07}},
        {"255 equal", run(255, 9), {0xF0, 0xFF, 0x09}},
        {"256 equal", run(256, 9), {0xF0, 0xFF, 0x09, 0x09}},
        {"300 equal", run(300, 9), {0xF0, 0xFF, 0x09, 0xF0, 0x2D, 0x09}},
        {"ends in a pair", cat({0x01}, run(2, 7)), {0x01, 0x07, 0x07}},
        {"ends in a run", cat({0x01}, run(4, 7)), {0x01, 0xF0, 0x04, 0x07}},
        {"257 F0", run(257, 0xF0), {0xF0, 0xFF, 0xF0, 0xF0, 0x02, 0xF0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Pack(c.block), c.packed) << c.what;
        const auto [out, consumed] = Unpack(c.packed, static_cast<uint32_t>(c.block.size()));
        EXPECT_EQ(Bytes(out.begin(), out.begin() + c.block.size()), c.block) << c.what;
        EXPECT_EQ(consumed, c.packed.size()) << c.what;
    }
}

// The largest block the writer packs, alternating single F0 bytes with other
// bytes, needs twice its size: the buffer holds it, and it unpacks back.
TEST(RunLengthTest, WorstCaseFitsTheBufferAndRandomBlocksRoundTrip) {
    Bytes worst(kRleMaxBlock);
    for (size_t i = 0; i < worst.size(); ++i) worst[i] = i % 2 == 0 ? 0xF0 : 0x11;
    const Bytes packed = Pack(worst);
    EXPECT_EQ(packed.size(), 2u * kRleMaxBlock);
    const auto [back, used] = Unpack(packed, kRleMaxBlock);
    EXPECT_TRUE(std::equal(worst.begin(), worst.end(), back.begin()));
    EXPECT_EQ(back[kRleMaxBlock], 0xAA) << "nothing written past the block";
    EXPECT_EQ(used, packed.size());

    std::mt19937 rng(7);
    for (int trial = 0; trial < 200; ++trial) {
        Bytes block(rng() % 600);
        // Few distinct values, so that runs of every length occur.
        for (uint8_t& b : block) b = static_cast<uint8_t>(0xEF + rng() % 3);
        const Bytes p = Pack(block);
        EXPECT_LE(p.size(), 2 * block.size() + 1);
        const auto [out, consumed] = Unpack(p, static_cast<uint32_t>(block.size()));
        ASSERT_EQ(Bytes(out.begin(), out.begin() + block.size()), block) << trial;
        EXPECT_EQ(consumed, p.size());
    }
}

TEST(RunLengthTest, UnpackCutsLongRunsSkipsEmptyRunsAndReportsAShortArchive) {
    // A run of 10 into a block of 4 fills it; the next token follows the run.
    {
        const auto [out, consumed] = Unpack({0xF0, 0x0A, 0x33, 0x44}, 4);
        EXPECT_EQ(Bytes(out.begin(), out.end()), (Bytes{0x33, 0x33, 0x33, 0x33, 0xAA, 0xAA, 0xAA, 0xAA}));
        EXPECT_EQ(consumed, 3u);
    }
    // A run of count 0 stands for nothing.
    {
        const auto [out, consumed] = Unpack({0xF0, 0x00, 0x33, 0x01, 0x02}, 2);
        EXPECT_EQ(out[0], 0x01);
        EXPECT_EQ(out[1], 0x02);
        EXPECT_EQ(consumed, 5u);
    }
    // Size 0 reads nothing.
    EXPECT_EQ(Unpack({0x01}, 0).second, 0u);
    // The archive ends inside a literal stretch or inside a run.
    for (const Bytes& cut : {Bytes{0x01, 0x02}, Bytes{0x01, 0xF0}, Bytes{0xF0, 0x05}}) {
        bool complete = true;
        Unpack(cut, 5, &complete);
        EXPECT_FALSE(complete);
    }
}

}  // namespace
