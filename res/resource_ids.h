// Numbers of the program's resources and of the controls of its dialogs.
#pragma once

#include "platform/afx.h"

// The document template's resource: menu, accelerators, icon and document
// string.
inline constexpr UINT IDR_MAINFRAME = 128;

// Strings.
inline constexpr UINT IDS_SECTION_AUDIO = 129;      // "Audio playback and MIDI settings"
inline constexpr UINT IDS_RESTART_NEEDED = 140;     // "This change requires Morvel Canopy to be restarted!"
inline constexpr UINT IDS_SECTION_SEQUENCER = 138;  // "Internal sequencer"
inline constexpr UINT IDS_SECTION_MISC = 139;       // "Miscellaneous"
inline constexpr UINT IDS_SECTION_WINDOWS = 141;    // "Windows"
inline constexpr UINT IDS_SECTION_DIRS = 142;       // "Directory info"
inline constexpr UINT IDS_TOO_MANY_VOICES = 145;
inline constexpr UINT IDS_NO_INSTRUMENT_FILES = 146;
inline constexpr UINT IDS_SECTION_CONTROLLERS = 148;  // "MIDI Controllers"
inline constexpr UINT IDS_CAPTURE_DELETED = 149;

// Dialog templates.
inline constexpr UINT IDD_ABOUTBOX = 100;
inline constexpr UINT IDD_SPLASH = 174;
inline constexpr UINT IDD_NEW_SONG = 180;
inline constexpr UINT IDD_AUTOMATION = 220;
inline constexpr UINT IDD_OSCILLOSCOPE = 223;
inline constexpr UINT IDD_VALUE_TIP = 244;
inline constexpr UINT IDD_EXPORT_WAVE = 212;
inline constexpr UINT IDD_SELECT_COMMAND = 209;
inline constexpr UINT IDD_PATTERNS_FORMATTER = 219;
inline constexpr UINT IDD_SAMPLE_ORGANIZER = 167;
inline constexpr UINT IDD_SAMPLE_NAME = 225;
inline constexpr UINT IDD_SELECT_SAMPLE = 210;
inline constexpr UINT IDD_SPLIT_EDITOR = 177;

// The Help button of dialogs (the framework's default-help command).
inline constexpr int ID_DEFAULT_HELP = 0xE146;

// Controls of the sample organizer.
inline constexpr int IDC_ORG_ADD = 1301;
inline constexpr int IDC_ORG_REPLACE = 1302;
inline constexpr int IDC_ORG_REMOVE = 1303;
inline constexpr int IDC_ORG_EXPORT = 1304;
inline constexpr int IDC_ORG_COPY = 1305;
inline constexpr int IDC_ORG_PASTE = 1306;
inline constexpr int IDC_ORG_LIST = 1307;
inline constexpr int IDC_ORG_LOOP_GROUP = 1308;
inline constexpr int IDC_ORG_LOOP_SLIDER = 1309;
inline constexpr int IDC_ORG_LOOP_START = 1310;
inline constexpr int IDC_ORG_LOOP_END = 1311;
inline constexpr int IDC_ORG_TOTAL = 1312;
inline constexpr int IDC_ORG_STATUS = 1313;

// Control of the sample-name dialog.
inline constexpr int IDC_SAMPLE_NAME = 1320;

// Controls of the select-sample dialog.
inline constexpr int IDC_SEL_SINGLE_GROUP = 1331;
inline constexpr int IDC_SEL_LIST = 1332;
inline constexpr int IDC_SEL_SPLIT_GROUP = 1333;
inline constexpr int IDC_SEL_SPLIT_LABEL = 1334;
inline constexpr int IDC_SEL_SPLIT = 1335;
inline constexpr int IDC_SEL_SPLIT_SPIN = 1336;
inline constexpr int IDC_SEL_LOAD_WAV = 1337;

// Controls of the split editor.
inline constexpr int IDC_SPLIT_LABEL = 1341;
inline constexpr int IDC_SPLIT_SPIN = 1342;
inline constexpr int IDC_SPLIT_ORGANIZER = 1343;
inline constexpr int IDC_SPLIT_KEYS = 1344;
inline constexpr int IDC_SPLIT_SAMPLES = 1345;
inline constexpr int IDC_SPLIT_ADD = 1346;
inline constexpr int IDC_SPLIT_REMOVE = 1347;
inline constexpr int IDC_SPLIT_SLIDER = 1348;
inline constexpr int IDC_SPLIT_PLUS36 = 1349;
inline constexpr int IDC_SPLIT_ZERO = 1350;
inline constexpr int IDC_SPLIT_MINUS36 = 1351;
inline constexpr int IDC_SPLIT_VALUE_LABEL = 1352;
inline constexpr int IDC_SPLIT_VALUE = 1353;
inline constexpr int IDC_SPLIT_AUTO = 1354;
inline constexpr UINT IDD_MIDI_CONTROLLERS = 241;
inline constexpr UINT IDD_EFFECTS = 171;
inline constexpr UINT IDD_SOUND_NAME = 215;
inline constexpr UINT IDD_KNOB_TARGET = 222;

// Control of the sound name dialog.
inline constexpr int IDC_SOUND_NAME = 1142;

// Controls of the knob target dialog.
inline constexpr int IDC_TARGET_SOUND = 1149;
inline constexpr int IDC_TARGET_KNOB = 1150;

// Controls of the effects selector: per unit the type list, then the sliders 1
// to 3 with their captions; the connection.
inline constexpr int IDC_FX1_TYPE = 1046;
inline constexpr int IDC_FX2_TYPE = 1047;
inline constexpr int IDC_FX3_TYPE = 1058;
inline constexpr int IDC_FX1_PARAM1 = 1050;
inline constexpr int IDC_FX1_PARAM2 = 1011;
inline constexpr int IDC_FX1_PARAM3 = 1012;
inline constexpr int IDC_FX2_PARAM1 = 1051;
inline constexpr int IDC_FX2_PARAM2 = 1013;
inline constexpr int IDC_FX2_PARAM3 = 1014;
inline constexpr int IDC_FX3_PARAM1 = 1060;
inline constexpr int IDC_FX3_PARAM2 = 1015;
inline constexpr int IDC_FX3_PARAM3 = 1016;
inline constexpr int IDC_FX1_CAPTION1 = 1052;
inline constexpr int IDC_FX1_CAPTION2 = 1053;
inline constexpr int IDC_FX1_CAPTION3 = 1056;
inline constexpr int IDC_FX2_CAPTION1 = 1054;
inline constexpr int IDC_FX2_CAPTION2 = 1055;
inline constexpr int IDC_FX2_CAPTION3 = 1057;
inline constexpr int IDC_FX3_CAPTION1 = 1059;
inline constexpr int IDC_FX3_CAPTION2 = 1061;
inline constexpr int IDC_FX3_CAPTION3 = 1062;
inline constexpr int IDC_FX_PARALLEL = 1048;
inline constexpr int IDC_FX_SERIAL = 1049;
inline constexpr int IDC_FX_AMOUNT_CAPTION = 1128;
inline constexpr int IDC_FX_AMOUNT = 1007;
inline constexpr int ID_HELP = 57671;

// Controls of the song export dialog.
inline constexpr int IDC_EXPORT_STATUS = 1201;
inline constexpr int IDC_EXPORT_PROGRESS = 1202;
inline constexpr int IDC_EXPORT_DURATION = 1203;
inline constexpr int IDC_EXPORT_LENGTH = 1204;

// File menu: the wave file commands.
inline constexpr UINT ID_FILE_EXPORT_WAVE = 32772;
inline constexpr UINT ID_FILE_CAPTURE_OUTPUT = 32815;
inline constexpr UINT ID_FILE_START_CAPTURE = 32816;
inline constexpr UINT ID_FILE_STOP_CAPTURE = 32817;
inline constexpr UINT ID_FILE_PLAY_STOP = 32818;

// Edit menu: the pattern commands (Undo, Cut, Copy and Paste are the
// framework's ids).
inline constexpr UINT ID_EDIT_DUPLICATE = 32780;
inline constexpr UINT ID_EDIT_SELECT_ALL_PARTS = 32799;
inline constexpr UINT ID_EDIT_SELECT_TRACK = 32800;
inline constexpr UINT ID_EDIT_FORMAT_PATTERNS = 32804;
inline constexpr UINT ID_EDIT_COPY_TWEAKING = 32806;
inline constexpr UINT ID_EDIT_PASTE_TWEAKING = 32807;

// Controls of the new-song dialog.
inline constexpr int IDC_NEW_TEMPO = 1003;
inline constexpr int IDC_NEW_TEMPO_SPIN = 1004;
inline constexpr int IDC_NEW_LENGTH_16 = 1005;  // first of the seven radio buttons
inline constexpr int IDC_NEW_LENGTH_32 = 1006;
inline constexpr int IDC_NEW_LENGTH_64 = 1007;
inline constexpr int IDC_NEW_LENGTH_128 = 1008;
inline constexpr int IDC_NEW_LENGTH_24 = 1009;
inline constexpr int IDC_NEW_LENGTH_48 = 1010;
inline constexpr int IDC_NEW_LENGTH_96 = 1011;

// Control of the select-command dialog.
inline constexpr int IDC_COMMAND_LIST = 1117;

// Controls of the patterns formatter: the seven radio buttons in group order.
inline constexpr int IDC_FORMAT_16 = 1103;
inline constexpr int IDC_FORMAT_32 = 1107;
inline constexpr int IDC_FORMAT_64 = 1105;
inline constexpr int IDC_FORMAT_128 = 1106;
inline constexpr int IDC_FORMAT_24 = 1104;
inline constexpr int IDC_FORMAT_48 = 1108;
inline constexpr int IDC_FORMAT_96 = 1109;

// Controls of the MIDI controllers dialog: per row (0..35) a label, an edit
// and its up-down; the six column headings; the two mode radios.
inline constexpr int IDC_MIDI_CTL_LABEL = 1400;    // + row
inline constexpr int IDC_MIDI_CTL_EDIT = 1440;     // + row
inline constexpr int IDC_MIDI_CTL_SPIN = 1480;     // + row
inline constexpr int IDC_MIDI_CTL_HEADING = 1520;  // + 0..5
inline constexpr int IDC_MIDI_CTL_GROUP = 1526;
inline constexpr int IDC_MIDI_CTL_FACTORY = 1527;
inline constexpr int IDC_MIDI_CTL_CUSTOM = 1528;
inline constexpr int IDC_MIDI_CTL_HELP = 1529;

// Control of the value tip.
inline constexpr int IDC_VALUE_TIP_TEXT = 1281;

// Bitmaps.
inline constexpr UINT IDB_TOP_BAR = 208;
inline constexpr UINT IDB_SYNTH_SECTION = 189;
inline constexpr UINT IDB_MIXER_SECTION = 205;
inline constexpr UINT IDB_KNOB_A = 196;
inline constexpr UINT IDB_KNOB_BIPOLAR = 197;
inline constexpr UINT IDB_KNOB_C = 198;
inline constexpr UINT IDB_KNOB_D = 200;
inline constexpr UINT IDB_SMALL_KNOB_PAN = 206;
inline constexpr UINT IDB_SMALL_KNOB_SEND = 207;
inline constexpr UINT IDB_BUTTONS = 199;
inline constexpr UINT IDB_LAMP = 194;
inline constexpr UINT IDB_DIGITS = 204;
inline constexpr UINT IDB_NAME_FONT = 214;
inline constexpr UINT IDB_AUTOMATION_FRAME = 221;
inline constexpr UINT IDB_SCOPE_FRAME = 224;
inline constexpr UINT IDB_SPLASH = 229;
inline constexpr UINT IDB_ABOUT = 230;
inline constexpr UINT IDB_CREDITS = 236;

// Raw data: the glyph sheet of the pattern and song-order displays.
inline constexpr UINT IDR_GLYPHS = 188;
inline constexpr size_t kGlyphDataBytes = 14880;

// The view's dialog commands, option toggles, help and web (the Edit, Sounds,
// Options and Help menus).
inline constexpr UINT ID_FILE_SONG_INFO = 32771;
inline constexpr UINT ID_OPTIONS_PREFERENCES = 32773;
inline constexpr UINT ID_SOUNDS_LOAD = 32785;
inline constexpr UINT ID_SOUNDS_SAVE = 32786;
inline constexpr UINT ID_HELP_CONTENTS = 32789;
inline constexpr UINT ID_SOUNDS_SAMPLES = 32791;
inline constexpr UINT ID_OPTIONS_MIDI_MAPPER = 32793;
inline constexpr UINT ID_SOUNDS_EFFECTS = 32794;
inline constexpr UINT ID_SOUNDS_SAMPLE_SPLITS = 32795;
inline constexpr UINT ID_OPTIONS_FOLLOW_SONG = 32797;
inline constexpr UINT ID_OPTIONS_AUTOMATION = 32805;
inline constexpr UINT ID_OPTIONS_OSCILLOSCOPE = 32809;
inline constexpr UINT ID_EDIT_STEPS_PER_BEAT = 32810;
inline constexpr UINT ID_HELP_VISIT_WEB = 32811;
inline constexpr UINT ID_OPTIONS_MIDI_SYNC = 32814;
inline constexpr UINT ID_OPTIONS_TRANSMIT_TWEAKS = 32819;
inline constexpr UINT ID_OPTIONS_MIDI_RECORD = 32822;

// Help context numbers of the help book.
inline constexpr int kHelpContents = 1;
inline constexpr int kHelpEffects = 2;
inline constexpr int kHelpSplitEditor = 3;
inline constexpr int kHelpMidiMapper = 5;
inline constexpr int kHelpPreferences = 6;
inline constexpr int kHelpSampleOrganizer = 7;
inline constexpr int kHelpFirstRun = 9;
inline constexpr int kHelpMidiControllers = 10;

// The steps-per-beat dialog.
inline constexpr UINT IDD_STEPS_PER_BEAT = 228;
inline constexpr int IDC_STEPS_4_6 = 1131;
inline constexpr int IDC_STEPS_8_12 = 1132;

// The song information dialog.
inline constexpr UINT IDD_SONG_INFO = 211;
inline constexpr int IDC_SONG_TITLE = 1101;
inline constexpr int IDC_SONG_AUTHOR = 1102;
inline constexpr int IDC_SONG_COMMENT = 1103;
inline constexpr int IDC_VISIT_PAGE = 1104;
inline constexpr int IDC_SHOW_ON_OPEN = 1105;
inline constexpr int IDC_SONG_INFO_CLOSE = 1106;

// Sounds menu rows served by the panel's sound commands.
inline constexpr UINT ID_SOUNDS_COPY = 32801;
inline constexpr UINT ID_SOUNDS_PASTE = 32802;
inline constexpr UINT ID_SOUNDS_UNDO = 32803;
inline constexpr UINT ID_SOUNDS_RESET = 32787;
inline constexpr UINT ID_SOUNDS_RANDOMIZE = 32788;
inline constexpr UINT ID_OPTIONS_ON_TOP = 32813;  // the frame's "Keep on top"

// The MIDI mapper dialog: per channel n (0..15) a sound list, a voices field
// and its up-down.
inline constexpr UINT IDD_MIDI_MAPPER = 216;
inline constexpr int IDC_MAPPER_SOUND_1 = 1301;   // + n
inline constexpr int IDC_MAPPER_VOICES_1 = 1321;  // + n
inline constexpr int IDC_MAPPER_SPIN_1 = 1341;    // + n
inline constexpr int IDC_MAPPER_TOTAL = 1360;
inline constexpr int IDC_MAPPER_WARNING = 1361;
inline constexpr int IDC_MAPPER_CONTROLLERS = 1362;
inline constexpr int IDC_MAPPER_HELP = 1363;

// The Preferences dialog: the audio and MIDI settings, the sequencer's option
// boxes and the miscellaneous ones.
inline constexpr UINT IDD_PREFERENCES = 135;
inline constexpr int IDC_PREF_AUDIO_DRIVER = 1000;
inline constexpr int IDC_PREF_DEVICE_TYPE = 1001;
inline constexpr int IDC_PREF_RESPONSE = 1002;
inline constexpr int IDC_PREF_PLAY_AHEAD = 1003;
inline constexpr int IDC_PREF_TEST_SIGNAL = 1004;
inline constexpr int IDC_PREF_MIDI_IN = 1005;
inline constexpr int IDC_PREF_POLYPHONY = 1006;
inline constexpr int IDC_PREF_MIDI_OUT = 1008;
inline constexpr int IDC_PREF_BASS_TREBLE = 1009;
inline constexpr int IDC_PREF_LIMITER = 1010;
inline constexpr int IDC_PREF_MARK_BEATS = 1019;
inline constexpr int IDC_PREF_STORE_INSTRUMENTS = 1020;
inline constexpr int IDC_PREF_FREE_DEVICE = 1021;
inline constexpr int IDC_PREF_SOUND_MODULE = 1022;
inline constexpr int IDC_PREF_TRACKER_KEYS = 1023;
inline constexpr int IDC_PREF_DISCARD_WARNING = 1025;
inline constexpr int IDC_PREF_HELP = 1026;
inline constexpr int IDC_PREF_FOLLOW_SONG = 1123;
inline constexpr int IDC_PREF_PREVIEW_NOTE = 1229;
inline constexpr int IDC_PREF_SET_INSTRUMENTS = 1231;
