// The computer keyboard as a piano: note keys by style, language and octave,
// key changes, the held key, octave keys, preview-only mode and the key-up.
#include "tests/editor/key_fixture.h"

namespace {

using PianoKeysTest = KeyTest;

TEST_F(PianoKeysTest, NoteKeysWriteTheirNoteAndPreviewIt) {
    const struct {
        const char* name;
        int tracker;
        uint16_t lang;
        uint32_t octave;
        UINT key;
        int note;  // -1: the key does nothing
    } cases[] = {
        {"A is C", 0, 0x09, 4, 'A', 48},
        {"K is the next C", 0, 0x09, 4, 'K', 60},
        {"apostrophe is F", 0, 0x09, 4, VK_OEM_7, 65},
        {"German Z is G sharp", 0, 0x07, 4, 'Z', 56},
        {"French Q is C", 0, 0x0C, 4, 'Q', 48},
        {"French A plays nothing", 0, 0x0C, 4, 'A', -1},
        {"sublanguage bits ignored", 0, 0x0407, 4, 'Z', 56},
        {"tracker Q is C above", 1, 0x09, 4, 'Q', 60},
        {"tracker Z is C", 1, 0x09, 4, 'Z', 48},
        {"tracker right of P", 1, 0x09, 4, VK_OEM_4, 77},
        {"tracker 2 is C sharp above", 1, 0x09, 4, '2', 61},
        {"tracker German Y is C", 1, 0x07, 4, 'Y', 48},
        {"tracker French A is C above", 1, 0x0C, 4, 'A', 60},
        {"tracker French W is C", 1, 0x0C, 4, 'W', 48},
        {"octave 8 J is B-8", 0, 0x09, 8, 'J', 107},
        {"octave 8 K does nothing", 0, 0x09, 8, 'K', -1},
        {"octave 8 apostrophe does nothing", 0, 0x09, 8, VK_OEM_7, -1},
        {"tracker octave 8 lower M", 1, 0x09, 8, 'M', 107},
        {"tracker octave 8 lower comma", 1, 0x09, 8, VK_OEM_COMMA, -1},
        {"tracker octave 8 upper Q", 1, 0x09, 8, 'Q', -1},
        {"tracker octave 7 upper U", 1, 0x09, 7, 'U', 107},
        {"tracker octave 7 upper I", 1, 0x09, 7, 'I', -1},
        {"tracker octave 7 lower slash", 1, 0x09, 7, VK_OEM_2, 100},
        {"octave 0 A", 0, 0x09, 0, 'A', 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_trackerStyle = c.tracker;
        g_langId = c.lang;
        BuildNoteKeyMap();
        g_octave = c.octave;
        PlaceCursor(2, 6, 5);
        Press(c.key);
        if (c.note < 0) {
            EXPECT_EQ(Note(2, 5), kNoteEmpty);
            EXPECT_EQ(g_editStep, 5u);
            EXPECT_EQ(g_patternUndoCount, 0u);
            EXPECT_TRUE(view.marks.empty());
            EXPECT_TRUE(notes.empty());
        } else {
            EXPECT_EQ(Note(2, 5), c.note);
            EXPECT_EQ(g_editStep, 6u);
            EXPECT_EQ(g_patternUndoCount, 1u);
            EXPECT_EQ(view.marks, std::vector<bool>{true});
            ASSERT_EQ(notes.size(), 1u);
            EXPECT_EQ(notes[0].key, uint32_t(c.note));
            EXPECT_EQ(notes[0].sound, 1u);
        }
        TearDown();
    }
}

TEST_F(PianoKeysTest, ShiftWritesAKeyChangeSilently) {
    PlaceCursor(0, 6, 0);
    Press('A', kShift);
    EXPECT_EQ(Note(0, 0), 176);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(g_editStep, 1u);
}

TEST_F(PianoKeysTest, AHeldKeyWritesSuccessiveStepsWithOneNoteOn) {
    PlaceCursor(3, 6, 10);
    PressAll({'A', 'A', 'A'});  // auto-repeat: key-downs without key-ups
    EXPECT_EQ(Note(3, 10), 48);
    EXPECT_EQ(Note(3, 11), 48);
    EXPECT_EQ(Note(3, 12), 48);
    EXPECT_EQ(g_editStep, 13u);
    EXPECT_EQ(g_patternUndoCount, 3u);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], (QueuedNote{3, 48, 1}));
    Release('A');
    EXPECT_EQ(noteOffs, 1);
    EXPECT_EQ(g_previewPending, 0u);
}

TEST_F(PianoKeysTest, ReleasingAnyNoteKeyEndsThePreviewWhateverTheFocus) {
    PlaceCursor(0, 6, 0);
    Press('A');
    Press('S');  // written, not heard
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_EQ(Note(0, 1), 50);
    g_patternFocus = 0;
    Release('B');  // no note key
    EXPECT_EQ(noteOffs, 0);
    Release('S');
    EXPECT_EQ(noteOffs, 1);
}

TEST_F(PianoKeysTest, UpperRowReleaseInOctave8EndsThePreview) {
    g_trackerStyle = 1;
    BuildNoteKeyMap();
    PlaceCursor(0, 6, 0);
    Press('Z');
    g_octave = 8;
    Release('Q');
    EXPECT_EQ(noteOffs, 1);
}

TEST_F(PianoKeysTest, LastRowKeepsTheCursor) {
    PlaceCursor(0, 6, 63);
    Press('A');
    EXPECT_EQ(Note(0, 63), 48);
    EXPECT_EQ(g_editStep, 63u);
}

TEST_F(PianoKeysTest, OctaveKeysReplaceTheOctave) {
    const struct {
        const char* name;
        UINT key;
        int tracker;
        uint8_t before, after;
        uint32_t octave, step;
    } cases[] = {
        {"3 on B-8", '3', 0, 107, 47, 3, 1},
        {"3 on a key change of B-8", '3', 0, 235, 175, 3, 1},
        {"keypad 3 on C-4", VK_NUMPAD0 + 3, 0, 48, 36, 3, 1},
        {"keypad 8 in tracker style", VK_NUMPAD0 + 8, 1, 48, 96, 8, 1},
        {"empty cell: octave only", '3', 0, kNoteEmpty, kNoteEmpty, 3, 0},
        {"release: octave only", '2', 0, kNoteRelease, kNoteRelease, 2, 0},
        {"9 is no octave key", '9', 0, 48, 48, 4, 0},
        {"tracker digit 8 is no octave key", '8', 1, 48, 48, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_trackerStyle = c.tracker;
        BuildNoteKeyMap();
        Cell(0, 0, 3, 0) = c.before;
        PlaceCursor(0, 6, 0);
        Press(c.key);
        EXPECT_EQ(Note(0, 0), c.after);
        EXPECT_EQ(g_octave, c.octave);
        EXPECT_EQ(g_editStep, c.step);
        EXPECT_EQ(g_patternUndoCount, c.step);
        EXPECT_EQ(view.marks.size(), c.step);
        TearDown();
    }
}

TEST_F(PianoKeysTest, ShiftZeroSetsOctaveZero) {
    PlaceCursor(0, 6, 0);
    Cell(0, 0, 3, 0) = 50;
    Press('0', kShift);
    EXPECT_EQ(g_octave, 0u);
    EXPECT_EQ(Note(0, 0), 2);
}

// Preview-only mode, and a song position that holds no pattern: note keys
// sound, octave keys set the octave, nothing is written, snapshotted or marked.
TEST_F(PianoKeysTest, NothingWrittenWhereNothingMayBe) {
    for (int noPattern = 0; noPattern < 2; ++noPattern) {
        SCOPED_TRACE(noPattern ? "order entry 150" : "preview-only");
        SetUp();
        if (noPattern) g_songOrder[0] = 150;
        else g_previewOnly = 1;
        Cell(0, 0, 3, 0) = 50;
        PlaceCursor(0, 6, 0);
        Press('D');
        Press('3');
        Press('A', kShift);
        EXPECT_EQ(Note(0, 0), 50);
        EXPECT_EQ(g_editStep, 0u);
        EXPECT_EQ(g_octave, 3u);
        EXPECT_EQ(g_patternUndoCount, 0u);
        EXPECT_TRUE(view.marks.empty());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].key, 52u);
        TearDown();
    }
}

TEST_F(PianoKeysTest, TheTrackSoundAtTheCursorPlays) {
    Cell(0, 1, 0, 2) = 0x20;  // sound change to 12 in slot A
    Cell(0, 1, 1, 2) = 12;
    PlaceCursor(1, 6, 5);
    Press('A');
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], (QueuedNote{1, 48, 12}));
}

TEST_F(PianoKeysTest, NotesOnlyOnTheNoteColumnAndInTheGrid) {
    PlaceCursor(0, 5, 0);
    Press('A');
    g_patternFocus = 0;
    PlaceCursor(0, 6, 0);
    Press('A');
    EXPECT_EQ(Note(0, 0), kNoteEmpty);
    EXPECT_TRUE(notes.empty());
}

}  // namespace
