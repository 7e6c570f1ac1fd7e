// The key names of the sample organizer and the split editor.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "data/note_names.h"

namespace {

TEST(NoteNamesTest, KeysRunFromC0ToB8WithSharpsMarked) {
    struct Case {
        int key;
        const char* name;
    };
    for (const Case& c : {Case{0, "C-0"}, Case{1, "C#0"}, Case{4, "E-0"}, Case{5, "F-0"}, Case{10, "A#0"},
                          Case{11, "B-0"}, Case{12, "C-1"}, Case{24, "C-2"}, Case{36, "C-3"}, Case{48, "C-4"},
                          Case{95, "B-7"}, Case{106, "A#8"}, Case{107, "B-8"}}) {
        EXPECT_STREQ(g_noteNames[c.key].data(), c.name) << c.key;
    }
    std::set<std::string> distinct;
    for (const NoteName& n : g_noteNames) distinct.insert(n.data());
    EXPECT_EQ(distinct.size(), 108u);
}

}  // namespace
