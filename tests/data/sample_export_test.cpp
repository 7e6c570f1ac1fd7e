// The names a paste from the wave clipboard loads under.
#include <gtest/gtest.h>

#include "data/sample_export.h"

namespace {

TEST(SamplePasteNames, TypedNamesGetTheExtensionAndChannelMarksAreCut) {
    struct Case {
        const char* typed;
        const char* named;
        const char* loaded;
    };
    for (const Case& c : {Case{"Kick", "Kick.wav", "Kick.wav"}, Case{"Unnamed wave", "Unnamed wave.wav", "Unnamed wave.wav"},
                          Case{"Bass-Lead", "Bass-Lead.wav", "Bass.wav"}, Case{"Snare.WAV", "Snare.WAV.wav", "Snare.WAV.wav"},
                          Case{"Hat.wav", "Hat.wav", "Hat.wav"}, Case{"Pad-R", "Pad-R.wav", "Pad.wav"},
                          Case{"A-Rise-Low", "A-Rise-Low.wav", "A.wav"}, Case{".wav", ".wav", ".wav"},
                          Case{"-L", "-L.wav", ".wav"}}) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(NameOfTypedSampleName(c.typed), c.named);
        EXPECT_EQ(PasteLoadName(NameOfTypedSampleName(c.typed)), c.loaded);
    }
    EXPECT_EQ(PasteLoadName(""), "");
    EXPECT_EQ(PasteLoadName("Pad-L.wav"), "Pad.wav");
}

}  // namespace
