// Template 135, the Preferences dialog: the audio and MIDI group (output
// device with its kind, the response-time slider with the play-ahead time,
// the test signal, the MIDI ports, the polyphony, the equaliser and limiter),
// the sequencer's option boxes, the miscellaneous ones, "Close" and "Help".
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "res/templates.h"

DialogResource PreferencesTemplate() {
    using K = ControlKind;
    DialogResource d{IDD_PREFERENCES, "MorvelCanopy I Preferences", 0, 0, 256, 291,
                     DS_CAPTION | DS_SYSMENU | DS_MODALFRAME, {}};
    auto& c = d.controls;
    c.push_back({K::GroupBox, IDC_STATIC, "Audio playback && MIDI settings", 7, 7, 242, 146});
    c.push_back({K::Static, IDC_STATIC, "Audio driver", 14, 19, 100, 8});
    c.push_back({K::ComboBox, IDC_PREF_AUDIO_DRIVER, "", 14, 28, 150, 100});
    c.push_back({K::Static, IDC_STATIC, "type:", 172, 31, 20, 8});
    c.push_back({K::Static, IDC_PREF_DEVICE_TYPE, "<type>", 194, 31, 50, 8});
    c.push_back({K::Static, IDC_STATIC, "Response time", 14, 46, 100, 8});
    c.push_back({K::Slider, IDC_PREF_RESPONSE, "", 14, 55, 150, 14});
    c.push_back({K::Static, IDC_STATIC, "fast", 14, 71, 30, 8});
    c.push_back({K::Static, IDC_STATIC, "less CPU", 132, 71, 32, 8});
    c.push_back({K::Static, IDC_STATIC, "Play ahead:", 172, 57, 40, 8});
    c.push_back({K::Static, IDC_PREF_PLAY_AHEAD, "<response>", 212, 57, 34, 8});
    c.push_back({K::CheckBox, IDC_PREF_TEST_SIGNAL, "Test signal", 172, 70, 70, 10});
    c.push_back({K::Static, IDC_STATIC, "MIDI input", 14, 84, 100, 8});
    c.push_back({K::ComboBox, IDC_PREF_MIDI_IN, "", 14, 93, 110, 100});
    c.push_back({K::Static, IDC_STATIC, "Polyphony", 132, 84, 60, 8});
    c.push_back({K::ComboBox, IDC_PREF_POLYPHONY, "", 132, 93, 60, 100});
    c.push_back({K::Static, IDC_STATIC, "MIDI output (for transmitting knob tweakings)", 14, 110, 230, 8});
    c.push_back({K::ComboBox, IDC_PREF_MIDI_OUT, "", 14, 119, 110, 100});
    c.push_back({K::CheckBox, IDC_PREF_BASS_TREBLE, "Bass && treble boost, mid cut EQ", 14, 138, 150, 10});
    c.push_back({K::CheckBox, IDC_PREF_LIMITER, "Treble Limiter", 172, 138, 70, 10});

    c.push_back({K::GroupBox, IDC_STATIC, "Internal sequencer settings", 7, 157, 242, 91});
    c.push_back({K::CheckBox, IDC_PREF_SOUND_MODULE, "Turn off sequencer (pop up as virtual sound module)", 14, 168,
                 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_MARK_BEATS, "Mark minor && major beats", 14, 179, 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_FOLLOW_SONG, "Follow song position", 14, 190, 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_FREE_DEVICE, "Free audio device when stopped", 14, 201, 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_PREVIEW_NOTE, "Preview note", 14, 212, 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_SET_INSTRUMENTS, "Set the current instrument number automatically", 14, 223,
                 230, 10});
    c.push_back({K::CheckBox, IDC_PREF_TRACKER_KEYS, "Use \"tracker\" style keyboard layout", 14, 234, 230, 10});

    c.push_back({K::GroupBox, IDC_STATIC, "Miscellaneous", 7, 252, 174, 33});
    c.push_back({K::CheckBox, IDC_PREF_STORE_INSTRUMENTS, "Store instruments before selecting another", 14, 262, 164,
                 10});
    c.push_back({K::CheckBox, IDC_PREF_DISCARD_WARNING, "Discard \"Save changes\" warning", 14, 273, 164, 10});
    c.push_back({K::DefPushButton, IDOK, "Close", 190, 253, 59, 14, CS_GROUP});
    c.push_back({K::PushButton, IDC_PREF_HELP, "Help", 190, 271, 59, 14});
    return d;
}
