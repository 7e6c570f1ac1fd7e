// Template 135, the Preferences dialog: the audio and MIDI group (output
// device with its kind, the response-time slider with the play-ahead time,
// the test signal, the MIDI ports, the polyphony, the equaliser and limiter),
// the sequencer's option boxes, the miscellaneous ones, "Close" and "Help".
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "res/templates.h"

DialogResource PreferencesTemplate() {
    using K = ControlKind;
    DialogResource d{IDD_PREFERENCES, "MorvelCanopy I Preferences", 0, 0, 256, 261,
                     DS_CAPTION | DS_SYSMENU | DS_MODALFRAME, {}};
    auto& c = d.controls;
    c.push_back({K::GroupBox, IDC_STATIC, "Audio playback && MIDI settings", 7, 7, 242, 130});
    c.push_back({K::Static, IDC_STATIC, "Audio driver", 14, 19, 100, 8});
    c.push_back({K::ComboBox, IDC_PREF_AUDIO_DRIVER, "", 14, 28, 150, 100});
    c.push_back({K::Static, IDC_STATIC, "type:", 172, 30, 20, 8});
    c.push_back({K::Static, IDC_PREF_DEVICE_TYPE, "<type>", 194, 30, 50, 8});
    c.push_back({K::Static, IDC_STATIC, "Response time", 14, 46, 100, 8});
    c.push_back({K::Slider, IDC_PREF_RESPONSE, "", 14, 55, 150, 14});
    c.push_back({K::Static, IDC_STATIC, "fast", 14, 70, 30, 8});
    c.push_back({K::Static, IDC_STATIC, "less CPU", 132, 70, 32, 8});
    c.push_back({K::Static, IDC_STATIC, "Play ahead:", 172, 57, 40, 8});
    c.push_back({K::Static, IDC_PREF_PLAY_AHEAD, "<response>", 212, 57, 34, 8});
    c.push_back({K::CheckBox, IDC_PREF_TEST_SIGNAL, "Test signal", 172, 69, 70, 10});
    c.push_back({K::Static, IDC_STATIC, "MIDI input", 14, 84, 100, 8});
    c.push_back({K::ComboBox, IDC_PREF_MIDI_IN, "", 14, 93, 110, 100});
    c.push_back({K::Static, IDC_STATIC, "Polyphony", 132, 84, 60, 8});
    c.push_back({K::ComboBox, IDC_PREF_POLYPHONY, "", 132, 93, 60, 100});
    c.push_back({K::Static, IDC_STATIC, "MIDI output (for transmitting knob tweakings)", 14, 110, 160, 8});
    c.push_back({K::ComboBox, IDC_PREF_MIDI_OUT, "", 14, 119, 110, 100});
    c.push_back({K::CheckBox, IDC_PREF_BASS_TREBLE, "Bass && treble boost, mid cut EQ", 132, 112, 114, 10});
    c.push_back({K::CheckBox, IDC_PREF_LIMITER, "Treble Limiter", 132, 124, 114, 10});

    c.push_back({K::GroupBox, IDC_STATIC, "Internal sequencer settings", 7, 141, 242, 84});
    c.push_back({K::CheckBox, IDC_PREF_SOUND_MODULE, "Turn off sequencer (pop up as virtual sound module)", 14, 152,
                 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_MARK_BEATS, "Mark minor && major beats", 14, 162, 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_FOLLOW_SONG, "Follow song position", 14, 172, 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_FREE_DEVICE, "Free audio device when stopped", 14, 182, 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_PREVIEW_NOTE, "Preview note", 14, 192, 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_SET_INSTRUMENTS, "Set the current instrument number automatically", 14, 202,
                 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_TRACKER_KEYS, "Use \"tracker\" style keyboard layout", 14, 212, 230, 10});

    c.push_back({K::GroupBox, IDC_STATIC, "Miscellaneous", 7, 228, 174, 31});
    c.push_back({K::CheckBox, IDC_PREF_STORE_INSTRUMENTS, "Store instruments before selecting another", 14, 238, 164,
                 10});
    c.push_back({K::CheckBox, IDC_PREF_DISCARD_WARNING, "Discard \"Save changes\" warning", 14, 248, 164, 10});
    c.push_back({K::DefPushButton, IDOK, "Close", 190, 229, 59, 14, CS_GROUP});
    c.push_back({K::PushButton, IDC_PREF_HELP, "Help", 190, 245, 59, 14});
    return d;
}
