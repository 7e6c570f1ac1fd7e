// The Sounds menu's Copy, Paste, Undo changes, Reset knobs and Randomize: the
// operations on the bank and the live knobs, and the view's handlers with
// their update handlers.
#include "ui/sound_commands.h"

#include <array>
#include <string>
#include <utility>

#include "data/sound_bank_ops.h"
#include "engine/event_queue.h"
#include "res/resource_ids.h"
#include "shared/editor.h"
#include "shared/relaxed.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "ui/panel_state.h"
#include "ui/synth_view.h"

uint8_t g_soundClipboardFull = 0;

namespace {

std::function<std::time_t()> g_randomClock;

// One sound of the bank as the song file keeps it: its bytes and its name.
struct SoundColumn {
    std::array<uint8_t, kSoundParams> bytes{};
    std::string name;
    bool operator==(const SoundColumn&) const = default;
};

SoundColumn ReadSound(uint32_t sound) {
    SoundColumn c;
    if (sound >= uint32_t(kSounds)) return c;
    for (int p = 0; p < kSoundParams; ++p) c.bytes[size_t(p)] = RelaxedLoad(g_soundBank[p][sound]);
    c.name = g_soundNames[sound];
    return c;
}

// Runs `edit` and marks the song when it changed that sound of the bank.
template <typename Edit>
void EditSound(uint32_t sound, Edit&& edit) {
    const SoundColumn before = ReadSound(sound);
    std::forward<Edit>(edit)();
    if (!(ReadSound(sound) == before)) g_docModified = 1;
}

void SetBankByte(SoundParam p, uint32_t sound, uint8_t v) {
    if (sound < uint32_t(kSounds)) RelaxedStore(g_soundBank[p][sound], v);
}

// The generator behind Randomize: the linear congruence of the C standard's
// portable example, 15-bit results.
class SoundRandom {
public:
    explicit SoundRandom(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 1103515245u + 12345u;
        return (state_ / 65536u) % 32768u;
    }

private:
    uint32_t state_;
};

// One random entry: the parameter, the number of values drawn from, and the
// value added to the draw.
struct RandomEntry {
    SoundParam param;
    uint8_t range;
    uint8_t offset;
};

// In drawing order: one draw per entry.
constexpr RandomEntry kRandomEntries[] = {
    {kParamOsc1Wave, 5, 1},           {kParamOsc1Tune, 80, 0},        {kParamOsc1KeyTrack, 2, 0},
    {kParamOsc1PulseWidth, 80, 0},    {kParamOsc1Pwm, 80, 0},         {kParamOsc2On, 2, 0},
    {kParamOsc2Wave, 5, 1},           {kParamOsc2Tune, 80, 0},        {kParamOsc2FineTune, 80, 0},
    {kParamOsc2KeyTrack, 2, 0},       {kParamOsc2FmAmount, 80, 0},    {kParamOscSync, 2, 0},
    {kParamRingMod, 2, 0},            {kParamOsc2Volume, 80, 0},      {kParamOsc3On, 2, 0},
    {kParamOsc3Wave, 5, 1},           {kParamOsc3Tune, 80, 0},        {kParamOsc3FineTune, 80, 0},
    {kParamOsc3Volume, 80, 0},        {kParamAmpAttack, 80, 0},       {kParamAmpDecay, 80, 0},
    {kParamAmpSustain, 80, 0},        {kParamAmpRelease, 80, 0},      {kParamAmpGain, 80, 0},
    {kParamFilterOn, 2, 0},           {kParamFilterCutoff, 80, 0},    {kParamFilterResonance, 80, 0},
    {kParamFilterType, 5, 1},         {kParamFilterAttack, 80, 0},    {kParamFilterDecay, 80, 0},
    {kParamFilterSustain, 80, 0},     {kParamFilterRelease, 80, 0},   {kParamFilterGain, 80, 0},
    {kParamFilterKeyTrack, 2, 0},     {kParamLfoOn, 2, 0},            {kParamLfoDestination, 4, 1},
    {kParamLfoShape, 4, 1},           {kParamLfoRate, 80, 0},         {kParamLfoDepth, 80, 0},
    {kParamUserEnvOn, 2, 0},          {kParamUserEnvDestination, 6, 1}, {kParamUserEnvAttack, 80, 0},
    {kParamUserEnvDecay, 80, 0},      {kParamUserEnvSustain, 80, 0},  {kParamUserEnvRelease, 80, 0},
    {kParamUserEnvGain, 80, 0},       {kParamVibratoDelay, 80, 0},    {kParamVibratoDepth, 80, 0},
    {kParamVibratoRate, 80, 0},       {kParamPortamento, 80, 0},      {kParamDistortion, 80, 0},
};
static_assert(std::size(kRandomEntries) == 51);

// Set to 0 by Randomize: the note timer, the samples and the split sets.
constexpr SoundParam kRandomZeroed[] = {kParamGateTime,     kParamOsc1Sample,   kParamOsc2Sample, kParamOsc3Sample,
                                        kParamOsc1SplitSet, kParamOsc2SplitSet, kParamOsc3SplitSet};

// Reset writes the new-song values of every parameter before the samples.
constexpr int kResetParams = kParamOsc1Sample;

std::time_t NowSeconds() { return g_randomClock ? g_randomClock() : std::time(nullptr); }

}  // namespace

void SetSoundRandomClock(std::function<std::time_t()> seconds) { g_randomClock = std::move(seconds); }

void CopySound() {
    EditSound(0, [] { StoreKnobsToSound(0); });
    g_soundClipboardFull = 1;
}

void PasteSound() {
    const uint32_t sound = g_curSound;
    EditSound(sound, [sound] {
        LoadSoundToKnobs(0);
        StoreKnobsToSound(sound);
    });
}

void UndoSoundChanges() {
    const uint32_t sound = g_curSound;
    EditSound(sound, [sound] {
        StoreUndoKnobsToSound(sound);
        LoadSoundToKnobs(sound);
    });
    g_soundEdited = 0;
}

void ResetSoundKnobs() {
    if (g_songPlaying == 0) QueueNoteOff();
    const uint32_t sound = g_curSound;
    EditSound(sound, [sound] {
        for (int p = 0; p < kResetParams; ++p) SetBankByte(SoundParam(p), sound, g_soundParamDefaults[p]);
        LoadSoundToKnobs(sound);
    });
}

void RandomizeSound() {
    SoundRandom random(static_cast<uint32_t>(NowSeconds()));
    const uint32_t sound = g_curSound;
    EditSound(sound, [&random, sound] {
        for (const RandomEntry& e : kRandomEntries)
            SetBankByte(e.param, sound, uint8_t(random.Next() % e.range + e.offset));
        for (SoundParam p : kRandomZeroed) SetBankByte(p, sound, 0);
        if (sound < uint32_t(kSounds) && BankByte(kParamOsc2On, sound) == 0) SetBankByte(kParamOsc3On, sound, 0);
        LoadSoundToKnobs(sound);
    });
}

void CSynthView::AddSoundCommands() {
    OnCommandEntry(ID_SOUNDS_COPY, [this] { OnSoundsCopy(); });
    OnCommandEntry(ID_SOUNDS_PASTE, [this] { OnSoundsPaste(); });
    OnUpdateEntry(ID_SOUNDS_PASTE, [this](CCmdUI* ui) { OnUpdateSoundsPaste(ui); });
    OnCommandEntry(ID_SOUNDS_UNDO, [this] { OnSoundsUndoChanges(); });
    OnUpdateEntry(ID_SOUNDS_UNDO, [this](CCmdUI* ui) { OnUpdateSoundsUndoChanges(ui); });
    OnCommandEntry(ID_SOUNDS_RESET, [this] { OnSoundsResetKnobs(); });
    OnCommandEntry(ID_SOUNDS_RANDOMIZE, [this] { OnSoundsRandomize(); });
}

void CSynthView::OnSoundsCopy() { CopySound(); }

void CSynthView::OnSoundsPaste() {
    PasteSound();
    UpdatePanel();
}

void CSynthView::OnUpdateSoundsPaste(CCmdUI* ui) { ui->Enable(g_soundClipboardFull != 0); }

void CSynthView::OnSoundsUndoChanges() {
    UndoSoundChanges();
    UpdatePanel();
}

void CSynthView::OnUpdateSoundsUndoChanges(CCmdUI* ui) { ui->Enable(g_soundEdited != 0); }

void CSynthView::OnSoundsResetKnobs() {
    ResetSoundKnobs();
    UpdatePanel();
}

// No repaint here: the view timer's next tick shows the new values.
void CSynthView::OnSoundsRandomize() { RandomizeSound(); }
