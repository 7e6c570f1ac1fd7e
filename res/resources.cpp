// The program's string table, menu, accelerators and dialog templates.
#include <map>

#include "platform/resources.h"
#include "res/resource_ids.h"
#include "res/skin_files.h"
#include "res/templates.h"

std::string LoadResString(UINT id) {
    static const std::map<UINT, std::string> table = {
        {AFX_IDS_APP_TITLE, "MorvelCanopy I"},
        {AFX_IDS_UNTITLED, "Untitled"},
        {IDR_MAINFRAME,
         "MorvelCanopy I\n\nMorvelCanopy I\nMorvelCanopy I Songs (*.mcs)\n.mcs\nMorvelCanopy I Song\nMorvelCanopy I Song"},
        {IDS_SECTION_AUDIO, "Audio playback and MIDI settings"},
        {IDS_SECTION_SEQUENCER, "Internal sequencer"},
        {IDS_SECTION_MISC, "Miscellaneous"},
        {IDS_RESTART_NEEDED, "This change requires Morvel Canopy to be restarted!"},
        {IDS_SECTION_WINDOWS, "Windows"},
        {IDS_SECTION_DIRS, "Directory info"},
        {IDS_TOO_MANY_VOICES,
         "WARNING!!!\n\nThis song uses more voices than it is currently enabled for output.\nSome parts of the music "
         "will be uneditable and unhearable!\nProbably it was made on a more powerful machine."},
        {IDS_NO_INSTRUMENT_FILES,
         "You cannot load instrument files directly into Morvel Canopy!\nUse the 'load' option in the Sounds menu "
         "after creating a new song!"},
        {IDS_SECTION_CONTROLLERS, "MIDI Controllers"},
        {IDS_CAPTURE_DELETED, "Capture disabled, empty output file has been deleted."},
    };
    auto it = table.find(id);
    return it == table.end() ? std::string() : it->second;
}

const MenuResource* FindMenuResource(UINT id) {
    // The five menus of the main window. A row whose command has no handler
    // yet shows greyed.
    static const MenuResource main{IDR_MAINFRAME,
                                   {{"&File",
                                     {{ID_FILE_NEW, "&New\tCtrl+N"},
                                      {ID_FILE_OPEN, "&Open...\tCtrl+O"},
                                      {ID_FILE_SAVE, "&Save\tCtrl+S"},
                                      {ID_FILE_SAVE_AS, "Save &As..."},
                                      {ID_FILE_PLAY_STOP, "Play / Stop"},
                                      {0, ""},
                                      {ID_FILE_SONG_INFO, "Song &information...\tCtrl+I"},
                                      {0, ""},
                                      {ID_FILE_EXPORT_WAVE, "&Export song as wave file..."},
                                      {ID_FILE_CAPTURE_OUTPUT, "&Capture output to wave file..."},
                                      {ID_FILE_START_CAPTURE, "S&tart capture\tF3"},
                                      {ID_FILE_STOP_CAPTURE, "Stop and sa&ve capture\tF4"},
                                      {0, ""},
                                      {ID_FILE_MRU_FILE1, "Recent File"},
                                      {0, ""},
                                      {ID_APP_EXIT, "E&xit\tCtrl+Q"}}},
                                    {"&Edit",
                                     {{ID_EDIT_UNDO, "&Undo\tCtrl+Z"},
                                      {0, ""},
                                      {ID_EDIT_CUT, "Cu&t\tCtrl+X"},
                                      {ID_EDIT_COPY, "&Copy\tCtrl+C"},
                                      {ID_EDIT_PASTE, "&Paste\tCtrl+V"},
                                      {ID_EDIT_DUPLICATE, "&Duplicate\tCtrl+D"},
                                      {0, ""},
                                      {ID_EDIT_SELECT_ALL_PARTS, "Select &All\tCtrl+A"},
                                      {ID_EDIT_SELECT_TRACK, "Select T&rack\tCtrl+T"},
                                      {0, ""},
                                      {ID_EDIT_COPY_TWEAKING, "C&opy tweaking\tCtrl+1"},
                                      {ID_EDIT_PASTE_TWEAKING, "Past&e tweaking\tCtrl+2"},
                                      {0, ""},
                                      {ID_EDIT_FORMAT_PATTERNS, "&Format patterns..."},
                                      {ID_EDIT_STEPS_PER_BEAT, "&Set steps per beat..."}}},
                                    {"&Sounds",
                                     {{ID_SOUNDS_COPY, "&Copy sound"},
                                      {ID_SOUNDS_PASTE, "&Paste sound"},
                                      {ID_SOUNDS_UNDO, "&Undo changes"},
                                      {0, ""},
                                      {ID_SOUNDS_LOAD, "L&oad sound..."},
                                      {ID_SOUNDS_SAVE, "Sa&ve sound..."},
                                      {ID_SOUNDS_RESET, "&Reset knobs (clear)"},
                                      {ID_SOUNDS_RANDOMIZE, "R&andomize sound"},
                                      {0, ""},
                                      {ID_SOUNDS_SAMPLES, "&Samples...\tAlt+S"},
                                      {ID_SOUNDS_SAMPLE_SPLITS, "Sample sp&lits...\tAlt+L"},
                                      {ID_SOUNDS_EFFECTS, "&Effects...\tAlt+E"}}},
                                    {"&Options",
                                     {{ID_OPTIONS_PREFERENCES, "&Preferences...\tAlt+P"},
                                      {ID_OPTIONS_MIDI_MAPPER, "&MIDI mapper...\tAlt+M"},
                                      {0, ""},
                                      {ID_OPTIONS_MIDI_SYNC, "&Sync to external MIDI clock"},
                                      {0, ""},
                                      {ID_OPTIONS_ON_TOP, "&Keep Morvel Canopy on top"},
                                      {ID_OPTIONS_MIDI_RECORD, "M&IDI writes into sequencer"},
                                      {ID_OPTIONS_TRANSMIT_TWEAKS, "&Transmit knob tweakings"},
                                      {ID_OPTIONS_FOLLOW_SONG, "&Follow song position"},
                                      {ID_OPTIONS_AUTOMATION, "&Automation"},
                                      {ID_OPTIONS_OSCILLOSCOPE, "&Oscilloscope"}}},
                                    {"&Help",
                                     {{ID_HELP_CONTENTS, "&Help Contents"},
                                      {0, ""},
                                      {ID_HELP_VISIT_WEB, "Visit &www.tarrowbykinetic.example"},
                                      {0, ""},
                                      {ID_APP_ABOUT, "&About Morvel Canopy..."}}}}};
    return id == IDR_MAINFRAME ? &main : nullptr;
}

const AccelTableResource* FindAccelResource(UINT id) {
    constexpr unsigned C = FVIRTKEY | FNOINVERT | FCONTROL;
    constexpr unsigned A = FVIRTKEY | FNOINVERT | FALT;
    constexpr unsigned K = FVIRTKEY | FNOINVERT;
    static const AccelTableResource main{IDR_MAINFRAME,
                                         {{C, '1', ID_EDIT_COPY_TWEAKING},
                                          {C, '2', ID_EDIT_PASTE_TWEAKING},
                                          {C, 'A', ID_EDIT_SELECT_ALL_PARTS},
                                          {C, 'C', ID_EDIT_COPY},
                                          {C, 'D', ID_EDIT_DUPLICATE},
                                          {A, 'E', 32794},
                                          {C, 'I', 32771},
                                          {A, 'L', 32795},
                                          {A, 'M', 32793},
                                          {C, 'N', ID_FILE_NEW},
                                          {C, 'O', ID_FILE_OPEN},
                                          {A, 'P', 32773},
                                          {C, 'Q', ID_APP_EXIT},
                                          {C, 'S', ID_FILE_SAVE},
                                          {A, 'S', 32791},
                                          {C, 'T', ID_EDIT_SELECT_TRACK},
                                          {C, 'V', ID_EDIT_PASTE},
                                          {A, VK_BACK, ID_EDIT_UNDO},
                                          {K, VK_F1 + 2, ID_FILE_START_CAPTURE},
                                          {K, VK_F1 + 3, ID_FILE_STOP_CAPTURE},
                                          {C, 'X', ID_EDIT_CUT},
                                          {C, 'Z', ID_EDIT_UNDO}}};
    return id == IDR_MAINFRAME ? &main : nullptr;
}

namespace {

// The MIDI mapper: channels 1 to 8 in the left column, 9 to 16 in the right.
// A row is 17 units high, a sound list 96 units wide (room for "Use Program
// Change" in the dialog font) and a voices field 60 units wide: room for the
// toolkit's up-down beside a field that shows three digits.
DialogResource MidiMapperTemplate() {
    using K = ControlKind;
    DialogResource d{IDD_MIDI_MAPPER, "MorvelCanopy I MIDI mapper", 0, 0, 416, 210,
                     DS_CAPTION | DS_SYSMENU | DS_MODALFRAME, {}};
    d.controls.push_back({K::GroupBox, IDC_STATIC, "MIDI map", 7, 7, 402, 160});
    for (int col = 0; col < 2; ++col) {
        const int x = 14 + col * 198;
        d.controls.push_back({K::Static, IDC_STATIC, "Instrument", x + 30, 18, 60, 8});
        d.controls.push_back({K::Static, IDC_STATIC, "Poly", x + 130, 18, 30, 8});
        for (int row = 0; row < 8; ++row) {
            const int n = col * 8 + row;
            const int y = 30 + row * 17;
            d.controls.push_back({K::Static, IDC_STATIC, "Chn " + std::to_string(n + 1), x, y + 3, 28, 8});
            d.controls.push_back({K::ComboBox, IDC_MAPPER_SOUND_1 + n, "", x + 30, y, 96, 100});
            d.controls.push_back({K::Edit, IDC_MAPPER_VOICES_1 + n, "", x + 130, y, 60, 14, CS_NUMBER});
            d.controls.push_back({K::Spin, IDC_MAPPER_SPIN_1 + n, "", x + 190, y, 10, 14,
                                  CS_AUTOBUDDY | CS_ALIGNRIGHT | CS_ARROWKEYS | CS_SETBUDDYINT | CS_NOTHOUSANDS});
        }
    }
    d.controls.push_back({K::Static, IDC_STATIC, "Voices mapped:", 14, 172, 60, 8});
    d.controls.push_back({K::Static, IDC_MAPPER_TOTAL, "", 76, 172, 40, 8});
    d.controls.push_back({K::Static, IDC_MAPPER_WARNING, " ", 14, 184, 200, 8});
    d.controls.push_back({K::DefPushButton, IDOK, "Close", 359, 172, 50, 14});
    d.controls.push_back({K::PushButton, IDC_MAPPER_CONTROLLERS, "Controllers", 295, 189, 60, 14});
    d.controls.push_back({K::PushButton, IDC_MAPPER_HELP, "Help", 359, 189, 50, 14});
    return d;
}

// The effects selector: three units' type lists, sliders and captions, and the
// connection of units 1 and 2. The type lists are 104 units wide, room for
// the longest type in the dialog font.
DialogResource EffectsTemplate() {
    using K = ControlKind;
    const std::vector<std::string> delays = {"Off", "Delay, digital", "Delay, stereo", "Delay, spatial",
                                             "Delay, spatial ping-pong"};
    auto list = [&](std::initializer_list<const char*> more) {
        std::vector<std::string> items = delays;
        items.insert(items.end(), more.begin(), more.end());
        return items;
    };
    return {IDD_EFFECTS,
            "MorvelCanopy I effects selector",
            0,
            0,
            290,
            121,
            DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
            {
                {K::GroupBox, IDC_STATIC, "Fx 1", 5, 0, 279, 35},
                {K::Static, IDC_STATIC, "Type", 10, 8, 20, 8},
                {K::ComboBox, IDC_FX1_TYPE, "", 10, 17, 104, 125, 0,
                 list({"Phaser, mono", "Phaser, spatial", "Flanger, mono", "Flanger, stereo", "Chorus, mono",
                       "Chorus, stereo", "Chorus, dual-voice stereo"})},
                {K::Static, IDC_FX1_CAPTION1, "<parameter>", 118, 8, 51, 8, CS_CENTER},
                {K::Slider, IDC_FX1_PARAM1, "", 115, 16, 56, 16},
                {K::Static, IDC_FX1_CAPTION2, "<parameter>", 173, 8, 51, 8, CS_CENTER},
                {K::Slider, IDC_FX1_PARAM2, "", 171, 16, 56, 16},
                {K::Static, IDC_FX1_CAPTION3, "<parameter>", 230, 8, 51, 8, CS_CENTER},
                {K::Slider, IDC_FX1_PARAM3, "", 227, 16, 56, 16},
                {K::Static, IDC_STATIC, "Type", 10, 43, 20, 8},
                {K::ComboBox, IDC_FX2_TYPE, "", 10, 52, 104, 113, 0,
                 list({"Phaser, spatial", "Flanger, stereo", "Chorus, stereo"})},
                {K::Static, IDC_FX2_CAPTION1, "<parameter>", 119, 43, 52, 8, CS_CENTER},
                {K::Slider, IDC_FX2_PARAM1, "", 115, 51, 56, 16},
                {K::Static, IDC_FX2_CAPTION2, "<parameter>", 173, 43, 53, 8, CS_CENTER},
                {K::Slider, IDC_FX2_PARAM2, "", 171, 51, 56, 16},
                {K::Static, IDC_FX2_CAPTION3, "<parameter>", 229, 43, 53, 8, CS_CENTER},
                {K::Slider, IDC_FX2_PARAM3, "", 227, 51, 56, 16},
                {K::Static, IDC_STATIC, "Type", 10, 67, 20, 8},
                {K::ComboBox, IDC_FX3_TYPE, "", 10, 76, 104, 113, 0,
                 list({"Reverb, room", "Reverb, hall", "Reverb, plate"})},
                {K::Static, IDC_FX3_CAPTION1, "<parameter>", 119, 67, 52, 8, CS_CENTER},
                {K::Slider, IDC_FX3_PARAM1, "", 115, 75, 56, 16},
                {K::Static, IDC_FX3_CAPTION2, "<parameter>", 173, 67, 53, 8, CS_CENTER},
                {K::Slider, IDC_FX3_PARAM2, "", 171, 75, 56, 16},
                {K::Static, IDC_FX3_CAPTION3, "<parameter>", 229, 67, 53, 8, CS_CENTER},
                {K::Slider, IDC_FX3_PARAM3, "", 227, 75, 56, 16},
                {K::GroupBox, IDC_STATIC, "Fx 2", 5, 35, 279, 59},
                {K::GroupBox, IDC_STATIC, "Fx 1&&2 Connection", 5, 95, 159, 23},
                // Plain radio buttons, each checked and unchecked by the dialog;
                // here one group, which shows the same (one of them checked).
                {K::Radio, IDC_FX_PARALLEL, "&Paralell", 10, 104, 35, 10, CS_GROUP},
                {K::Radio, IDC_FX_SERIAL, "&Serial", 53, 104, 35, 10},
                {K::Static, IDC_FX_AMOUNT_CAPTION, "Amount:", 92, 104, 28, 10, CS_DISABLED},
                {K::Slider, IDC_FX_AMOUNT, "", 120, 103, 41, 12, CS_DISABLED},
                {K::DefPushButton, IDOK, "Close", 172, 101, 50, 14},
                {K::PushButton, ID_HELP, "Help", 229, 101, 50, 14},
            }};
}

}  // namespace

const DialogResource* FindDialogResource(UINT id) {
    using K = ControlKind;
    static const std::map<UINT, DialogResource> table = {
        {IDD_ABOUTBOX, {IDD_ABOUTBOX, "", 0, 0, 199, 185, DS_MODALFRAME, {}}},
        {IDD_SPLASH, {IDD_SPLASH, "", 0, 0, 266, 156, DS_VISIBLE | DS_MODALFRAME | DS_TOOLWINDOW, {}}},
        {IDD_NEW_SONG,
         {IDD_NEW_SONG,
          "MorvelCanopy I - New song",
          0,
          0,
          190,
          148,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::GroupBox, IDC_STATIC, "Tempo", 7, 7, 176, 38},
              {K::Static, IDC_STATIC, "Initial sequencer tempo", 14, 22, 80, 8},
              {K::Edit, IDC_NEW_TEMPO, "", 98, 19, 60, 14, CS_NUMBER},
              {K::Spin, IDC_NEW_TEMPO_SPIN, "", 158, 19, 10, 14,
               CS_AUTOBUDDY | CS_ALIGNRIGHT | CS_ARROWKEYS | CS_SETBUDDYINT | CS_NOTHOUSANDS},
              {K::Static, IDC_STATIC, "BPM", 161, 22, 18, 8},
              {K::GroupBox, IDC_STATIC, "Pattern", 7, 50, 176, 72},
              {K::Static, IDC_STATIC, "Length of patterns:", 14, 62, 80, 8},
              {K::Radio, IDC_NEW_LENGTH_16, "16 steps", 14, 74, 60, 10, CS_GROUP},
              {K::Radio, IDC_NEW_LENGTH_32, "32 steps", 14, 86, 60, 10},
              {K::Radio, IDC_NEW_LENGTH_64, "64 steps", 14, 98, 60, 10},
              {K::Radio, IDC_NEW_LENGTH_128, "128 steps", 14, 110, 60, 10},
              {K::Radio, IDC_NEW_LENGTH_24, "24 steps", 96, 74, 60, 10},
              {K::Radio, IDC_NEW_LENGTH_48, "48 steps", 96, 86, 60, 10},
              {K::Radio, IDC_NEW_LENGTH_96, "96 steps", 96, 98, 60, 10},
              {K::DefPushButton, IDOK, "OK", 70, 128, 50, 14, CS_GROUP},
          }}},
        {IDD_EXPORT_WAVE,
         {IDD_EXPORT_WAVE,
          "MorvelCanopy I is busy, do not disturb!",
          0,
          0,
          200,
          70,
          DS_CAPTION | DS_MODALFRAME,
          {
              {K::Static, IDC_EXPORT_STATUS, "Initializing synthesizer engine...", 7, 7, 186, 8, CS_CENTER},
              {K::Progress, IDC_EXPORT_PROGRESS, "", 7, 20, 186, 12},
              {K::Static, IDC_EXPORT_DURATION, "", 7, 38, 186, 8, CS_CENTER},
              {K::Static, IDC_EXPORT_LENGTH, "", 7, 52, 186, 8, CS_CENTER},
          }}},
        {IDD_SELECT_COMMAND,
         {IDD_SELECT_COMMAND,
          "Select command",
          0,
          0,
          186,
          93,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME | DS_OWNERORIGIN,
          {
              {K::ListBox, IDC_COMMAND_LIST, "", 5, 10, 175, 78, CS_NOTIFY | CS_TABSTOPS | CS_VSCROLL},
              {K::Static, IDC_STATIC, "Available commands", 7, 2, 80, 8},
          }}},
        {IDD_STEPS_PER_BEAT,
         {IDD_STEPS_PER_BEAT,
          "MorvelCanopy I",
          0,
          0,
          112,
          76,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::GroupBox, IDC_STATIC, "Steps per beat", 7, 7, 98, 42},
              {K::Radio, IDC_STEPS_4_6, "4/6 steps", 16, 19, 80, 10, CS_GROUP},
              {K::Radio, IDC_STEPS_8_12, "8/12 steps", 16, 33, 80, 10},
              {K::DefPushButton, IDOK, "OK", 31, 55, 50, 14, CS_GROUP},
          }}},
        {IDD_PATTERNS_FORMATTER,
         {IDD_PATTERNS_FORMATTER,
          "MorvelCanopy I patterns formatter",
          0,
          0,
          177,
          63,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::GroupBox, IDC_STATIC, "New length of the patterns", 6, 1, 110, 58},
              {K::Radio, IDC_FORMAT_16, "16 steps", 13, 12, 41, 10, CS_GROUP},
              {K::Radio, IDC_FORMAT_32, "32 steps", 13, 23, 41, 10},
              {K::Radio, IDC_FORMAT_64, "64 steps", 13, 34, 41, 10},
              {K::Radio, IDC_FORMAT_128, "128 steps", 13, 45, 44, 10},
              {K::Radio, IDC_FORMAT_24, "24 steps", 67, 12, 42, 10},
              {K::Radio, IDC_FORMAT_48, "48 steps", 67, 23, 41, 10},
              {K::Radio, IDC_FORMAT_96, "96 steps", 67, 34, 42, 10},
              {K::DefPushButton, IDOK, "OK", 122, 5, 50, 14, CS_GROUP},
              {K::PushButton, IDCANCEL, "Cancel", 122, 22, 50, 14},
          }}},
        {IDD_SONG_INFO,
         {IDD_SONG_INFO,
          "MorvelCanopy I",
          0,
          0,
          260,
          214,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::GroupBox, IDC_STATIC, "Song info", 7, 7, 246, 180},
              {K::Static, IDC_STATIC, "Title", 14, 20, 100, 8},
              {K::Edit, IDC_SONG_TITLE, "", 14, 30, 232, 14},
              {K::Static, IDC_STATIC, "Composed/arranged by", 14, 50, 100, 8},
              {K::Edit, IDC_SONG_AUTHOR, "", 14, 60, 232, 14},
              {K::Static, IDC_STATIC, "Comments, copyright/legal notes", 14, 80, 140, 8},
              {K::Edit, IDC_SONG_COMMENT, "", 14, 90, 232, 74, CS_MULTILINE},
              {K::PushButton, IDC_VISIT_PAGE, "Visit page", 14, 168, 60, 14},
              {K::CheckBox, IDC_SHOW_ON_OPEN, "Show this screen on song open", 7, 194, 140, 10},
              {K::DefPushButton, IDC_SONG_INFO_CLOSE, "Close", 203, 192, 50, 14},
          }}},
        {IDD_SAMPLE_ORGANIZER,
         {IDD_SAMPLE_ORGANIZER,
          "MorvelCanopy I sample organizer",
          0,
          0,
          300,
          200,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::DefPushButton, IDC_ORG_ADD, "<< Add", 225, 7, 68, 14},
              {K::PushButton, IDC_ORG_REPLACE, "Replace", 225, 25, 68, 14, CS_DISABLED},
              {K::PushButton, IDC_ORG_REMOVE, "Remove", 225, 43, 68, 14, CS_DISABLED},
              {K::PushButton, IDC_ORG_EXPORT, "Export", 225, 61, 68, 14, CS_DISABLED},
              {K::PushButton, IDC_ORG_COPY, "Copy", 225, 79, 68, 14, CS_DISABLED},
              {K::PushButton, IDC_ORG_PASTE, "Paste", 225, 97, 68, 14, CS_DISABLED},
              {K::PushButton, ID_DEFAULT_HELP, "Help", 225, 115, 68, 14},
              {K::PushButton, IDOK, "Close", 225, 133, 68, 14},
              {K::GroupBox, IDC_STATIC, "Samples stored in memory", 7, 7, 210, 150},
              {K::ListView, IDC_ORG_LIST, "", 14, 18, 196, 132, CS_SINGLESEL},
              {K::GroupBox, IDC_ORG_LOOP_GROUP, "Loopback point", 7, 160, 210, 34, CS_DISABLED},
              {K::Slider, IDC_ORG_LOOP_SLIDER, "", 14, 169, 196, 12, CS_DISABLED},
              {K::Static, IDC_ORG_LOOP_START, "Start of sample", 14, 183, 60, 8, CS_DISABLED},
              {K::Static, IDC_ORG_LOOP_END, "End of sample", 160, 183, 50, 8, CS_DISABLED},
              {K::Static, IDC_STATIC, "Total:", 225, 160, 24, 8},
              {K::Static, IDC_ORG_TOTAL, "", 250, 160, 43, 8},
              {K::Static, IDC_ORG_STATUS, "", 225, 174, 68, 8},
          }}},
        {IDD_SAMPLE_NAME,
         {IDD_SAMPLE_NAME,
          "MorvelCanopy I",
          0,
          0,
          184,
          41,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::Static, IDC_STATIC, "Associate a name with the newly imported sample", 7, 7, 170, 8},
              {K::Edit, IDC_SAMPLE_NAME, "", 7, 20, 170, 14},
          }}},
        {IDD_SELECT_SAMPLE,
         {IDD_SELECT_SAMPLE,
          "Select sample",
          0,
          0,
          123,
          108,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::GroupBox, IDC_SEL_SINGLE_GROUP, "Use single sample", 4, 2, 115, 60, CS_DISABLED},
              {K::ListBox, IDC_SEL_LIST, "", 8, 12, 107, 46, CS_NOTIFY | CS_VSCROLL},
              {K::GroupBox, IDC_SEL_SPLIT_GROUP, "Use sample split", 4, 64, 115, 24, CS_DISABLED},
              {K::Static, IDC_SEL_SPLIT_LABEL, "Split number", 8, 75, 48, 8, CS_DISABLED},
              {K::Edit, IDC_SEL_SPLIT, "", 60, 72, 50, 13},
              {K::Spin, IDC_SEL_SPLIT_SPIN, "", 100, 72, 10, 13,
               CS_AUTOBUDDY | CS_ALIGNRIGHT | CS_ARROWKEYS | CS_SETBUDDYINT},
              {K::PushButton, IDC_SEL_LOAD_WAV, "Load wav", 4, 92, 55, 14},
              {K::DefPushButton, IDOK, "Close", 64, 92, 55, 14},
          }}},
        {IDD_SPLIT_EDITOR,
         {IDD_SPLIT_EDITOR,
          "Sample split editor",
          0,
          0,
          394,
          212,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::Static, IDC_SPLIT_LABEL, "Split #", 7, 9, 50, 8},
              {K::Spin, IDC_SPLIT_SPIN, "", 58, 5, 10, 14, CS_ARROWKEYS},
              {K::PushButton, IDC_SPLIT_ORGANIZER, "Sample organizer", 96, 5, 76, 14},
              {K::GroupBox, IDC_STATIC, "Keyboard layout", 7, 24, 140, 182},
              {K::ListView, IDC_SPLIT_KEYS, "", 14, 34, 126, 166},
              {K::PushButton, IDC_SPLIT_ADD, "<< Add", 152, 60, 44, 14},
              {K::PushButton, IDC_SPLIT_REMOVE, "Remove", 152, 78, 44, 14},
              {K::GroupBox, IDC_STATIC, "Samples stored in memory", 201, 24, 120, 182},
              {K::ListView, IDC_SPLIT_SAMPLES, "", 208, 34, 106, 166, CS_SINGLESEL},
              {K::GroupBox, IDC_STATIC, "Transpose", 327, 24, 60, 130},
              {K::Slider, IDC_SPLIT_SLIDER, "", 333, 36, 20, 92, CS_VERTICAL | CS_AUTOTICKS},
              {K::Static, IDC_SPLIT_PLUS36, "+36", 358, 38, 20, 8},
              {K::Static, IDC_SPLIT_ZERO, "0", 358, 78, 20, 8},
              {K::Static, IDC_SPLIT_MINUS36, "-36", 358, 118, 20, 8},
              {K::Static, IDC_SPLIT_VALUE_LABEL, "Value:", 333, 136, 24, 8},
              {K::Static, IDC_SPLIT_VALUE, "0", 360, 136, 22, 8},
              {K::CheckBox, IDC_SPLIT_AUTO, "&Auto", 333, 160, 50, 10},
              {K::DefPushButton, IDOK, "Close", 327, 174, 60, 14},
              {K::PushButton, ID_DEFAULT_HELP, "Help", 327, 192, 60, 14},
          }}},
        {IDD_MIDI_MAPPER, MidiMapperTemplate()},
        // The floating tool windows: no controls, painted by their windows.
        {IDD_AUTOMATION,
         {IDD_AUTOMATION, "MorvelCanopy I", 0, 0, 177, 88, DS_VISIBLE | DS_CAPTION | DS_MODALFRAME | DS_TOOLWINDOW, {}}},
        {IDD_OSCILLOSCOPE,
         {IDD_OSCILLOSCOPE, "MorvelCanopy I", 0, 0, 186, 73, DS_VISIBLE | DS_CAPTION | DS_MODALFRAME | DS_TOOLWINDOW, {}}},
        {IDD_KNOB_TARGET,
         {IDD_KNOB_TARGET,
          "MorvelCanopy I",
          0,
          0,
          243,
          55,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
          {
              {K::DefPushButton, IDOK, "OK", 188, 4, 50, 14},
              {K::PushButton, IDCANCEL, "Cancel", 188, 24, 50, 14},
              {K::GroupBox, IDC_STATIC, "Set this knob to modulate", 5, 0, 177, 50},
              {K::ComboBox, IDC_TARGET_SOUND, "", 35, 11, 141, 137},
              {K::Static, IDC_STATIC, "Sound", 11, 14, 23, 8},
              {K::ComboBox, IDC_TARGET_KNOB, "", 35, 30, 141, 132},
              {K::Static, IDC_STATIC, "Knob", 12, 33, 20, 8},
          }}},
        {IDD_SOUND_NAME,
         {IDD_SOUND_NAME,
          "Enter name",
          0,
          0,
          139,
          22,
          DS_CAPTION | DS_SYSMENU | DS_MODALFRAME | DS_OWNERORIGIN,
          {{K::Edit, IDC_SOUND_NAME, "", 5, 5, 130, 12, CS_UPPERCASE}}}},
        {IDD_EFFECTS, EffectsTemplate()},
        {IDD_VALUE_TIP,
         {IDD_VALUE_TIP,
          "",
          0,
          0,
          24,
          9,
          DS_BORDER | DS_TOOLWINDOW,
          {{K::Static, IDC_VALUE_TIP_TEXT, "Static", 0, 0, 20, 8, CS_CENTER}}}},
        {IDD_MIDI_CONTROLLERS, MidiControllersTemplate()},
        {IDD_PREFERENCES, PreferencesTemplate()},
    };
    auto it = table.find(id);
    return it == table.end() ? nullptr : &it->second;
}

const uint8_t* FindRawResource(UINT id, size_t* size) {
    std::span<const std::uint8_t> data = FindSkinRawData(int(id));
    *size = data.size();
    return data.empty() ? nullptr : data.data();
}
