// The key layer: virtual-key codes by layout, the key state, auto-repeat repair.
#include "platform/key_layer.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

constexpr uint16_t kEnglish = 0x09, kGerman = 0x07, kFrench = 0x0C;

// X keysyms the cases use.
constexpr uint32_t kAmpersand = 0x26, kEacute = 0xE9, kSzlig = 0xDF, kUdiaeresis = 0xFC;
constexpr uint32_t kDeadAcute = 0xFE51, kDeadCircumflex = 0xFE52, kCyrillicEf = 0x6C6, kGreekAlpha = 0x7E1;

TEST(KeyLayer, CharacterKeysByLayout) {
    const struct {
        uint32_t keysym, keycode;
        uint16_t lang;
        UINT vk;
    } cases[] = {
        {'a', 38, kEnglish, 'A'},          {'A', 38, kEnglish, 'A'},     // either case
        {'z', 29, kGerman, 'Z'},           {'y', 52, kGerman, 'Y'},       // QWERTZ letters where they sit
        {'a', 24, kFrench, 'A'},           {'q', 38, kFrench, 'Q'},       // AZERTY
        {'m', 47, kFrench, 'M'},           {',', 58, kFrench, 0xBC},
        {kAmpersand, 10, kFrench, '1'},    {kEacute, 11, kFrench, '2'},   // the digit row by position
        {'0', 19, kEnglish, '0'},          {'!', 10, kEnglish, '1'},
        {kSzlig, 20, kGerman, 0xDB},       {kDeadAcute, 21, kGerman, 0xDD},
        {kUdiaeresis, 34, kGerman, 0xBA},  {kDeadCircumflex, 34, kFrench, 0xDD},
        {'-', 61, kGerman, 0xBD},          {'-', 20, kEnglish, 0xBD},
        {'=', 21, kEnglish, 0xBB},         {'`', 49, kEnglish, 0xC0},
        {'!', 61, kFrench, 0xDF},          {'<', 94, kGerman, 0xE2},
        {kCyrillicEf, 38, kEnglish, 'A'},  {kGreekAlpha, 38, kEnglish, 'A'},  // no Latin letters: US position
        {0, 0, kEnglish, 0},               {0x20, 65, kEnglish, 0},       // not a character key of the tables
    };
    for (const auto& c : cases)
        EXPECT_EQ(VirtualKeyFromLayout(c.keysym, c.keycode, c.lang), c.vk)
            << "keysym " << c.keysym << " keycode " << c.keycode << " language " << c.lang;
}

// The letters each layout types on the letter positions (the rest by position).
std::map<uint32_t, uint32_t> LetterKeysyms(uint16_t lang) {
    const char* rows[3] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    const uint32_t starts[3] = {24, 38, 52};
    std::map<uint32_t, uint32_t> m;
    for (int r = 0; r < 3; ++r)
        for (int i = 0; rows[r][i]; ++i) m[starts[r] + uint32_t(i)] = uint32_t(rows[r][i]);
    if (lang == kGerman) m[29] = 'z', m[52] = 'y';
    if (lang == kFrench) m[24] = 'a', m[25] = 'z', m[38] = 'q', m[47] = 'm', m[52] = 'w', m[58] = ',';
    return m;
}

TEST(KeyLayer, EveryNoteKeyOfALanguageSitsOnItsLayout) {
    // The one-row, tracker lower and tracker upper maps of each language.
    const std::vector<UINT> maps[3] = {
        {'A', 'W', 'S', 'E', 'D', 'F', 'T', 'G', 'Y', 'H', 'U', 'J', 'K', 'O', 'L', 'P', 0xBA, 0xDE,
         'Z', 'X', 'C', 'V', 'B', 'N', 'M', 0xBC, 0xBE, 0xBF, 'Q', '2', '3', 'R', '5', '6', '7', 'I', '9', '0', 0xDB, 0xDD},
        {'A', 'W', 'S', 'E', 'D', 'F', 'T', 'G', 'Z', 'H', 'U', 'J', 'K', 'O', 'L', 'P', 0xBA, 0xDE,
         'Y', 'X', 'C', 'V', 'B', 'N', 'M', 0xBC, 0xBE, 0xBF, 'Q', '2', '3', 'R', '5', '6', '7', 'I', '9', '0', 0xDB, 0xDD},
        {'Q', 'Z', 'S', 'E', 'D', 'F', 'T', 'G', 'Y', 'H', 'U', 'J', 'K', 'O', 'L', 'P', 0xBA, 0xDE,
         'W', 'X', 'C', 'V', 'B', 'N', 'M', 0xBC, 0xBE, 0xBF, 'A', '2', '3', 'R', '5', '6', '7', 'I', '9', '0', 0xDB, 0xDD},
    };
    const uint16_t langs[3] = {kEnglish, kGerman, kFrench};
    for (int l = 0; l < 3; ++l) {
        const auto letters = LetterKeysyms(langs[l]);
        std::set<UINT> reachable;
        for (uint32_t keycode = 10; keycode <= 94; ++keycode) {
            auto it = letters.find(keycode);
            reachable.insert(VirtualKeyFromLayout(it == letters.end() ? 0 : it->second, keycode, langs[l]));
        }
        for (UINT vk : maps[l]) EXPECT_TRUE(reachable.count(vk)) << "language " << langs[l] << " key " << vk;
    }
}

TEST(KeyLayer, KeyStateIsTheLayersOwn) {
    NoteKeyState(VK_SHIFT, true);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_NE(GetKeyState(VK_SHIFT) / 2, 0);
    NoteKeyState(VK_SHIFT, false);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(300), 0);
}

TEST(KeyLayer, RepeatFilterDropsTheServersReleasePressPairs) {
    KeyRepeatFilter f;
    std::vector<int> delivered;
    f.HoldRelease(38, 1000, [&] { delivered.push_back(38); });
    EXPECT_TRUE(f.Press(38, 1000));  // auto-repeat: the release is dropped
    f.Flush();
    EXPECT_TRUE(delivered.empty());

    f.HoldRelease(38, 1100, [&] { delivered.push_back(38); });
    EXPECT_FALSE(f.Press(38, 1250));  // a real release, then a new press
    EXPECT_EQ(delivered, std::vector<int>{38});

    f.HoldRelease(38, 1300, [&] { delivered.push_back(38); });
    EXPECT_FALSE(f.Press(39, 1300));  // another key: the release goes first
    f.HoldRelease(39, 1400, [&] { delivered.push_back(39); });
    f.Flush();
    EXPECT_EQ(delivered, (std::vector<int>{38, 38, 39}));
    EXPECT_FALSE(f.Holding());
}

}  // namespace
