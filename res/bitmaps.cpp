// The program's pictures: the skin generator's bitmaps (linked in from the
// build), decoded into the window layer's pixels when a bitmap is loaded.
#include <map>

#include "platform/resources.h"
#include "res/bmp.h"
#include "res/resource_ids.h"
#include "res/skin_files.h"

namespace {

template <UINT Id>
std::vector<uint32_t> Render() {
    DecodedBitmap b;
    if (!LoadSkinBitmap(int(Id), b)) return {};
    return std::move(b.pixels);
}

template <UINT Id, int W, int H, int Bits>
std::pair<const UINT, BitmapResource> Entry() {
    return {Id, BitmapResource{Id, W, H, Bits, Render<Id>}};
}

const std::map<UINT, BitmapResource>& Bitmaps() {
    static const std::map<UINT, BitmapResource> table = {
        Entry<IDB_TOP_BAR, 630, 600, 24>(),
        Entry<IDB_SYNTH_SECTION, 605, 157, 8>(),
        Entry<IDB_MIXER_SECTION, 630, 190, 8>(),
        Entry<IDB_KNOB_A, 30, 2430, 8>(),
        Entry<IDB_KNOB_BIPOLAR, 30, 2430, 8>(),
        Entry<IDB_KNOB_C, 30, 2430, 8>(),
        Entry<IDB_KNOB_D, 30, 2430, 8>(),
        Entry<IDB_SMALL_KNOB_PAN, 24, 984, 8>(),
        Entry<IDB_SMALL_KNOB_SEND, 24, 984, 8>(),
        Entry<IDB_BUTTONS, 597, 24, 8>(),
        Entry<IDB_LAMP, 11, 19, 24>(),
        Entry<IDB_DIGITS, 131, 38, 4>(),
        Entry<IDB_NAME_FONT, 640, 8, 4>(),
        Entry<IDB_AUTOMATION_FRAME, 326, 144, 8>(),
        Entry<IDB_SCOPE_FRAME, 247, 108, 8>(),
        Entry<IDB_SPLASH, 400, 256, 8>(),
        Entry<IDB_ABOUT, 300, 300, 8>(),
        Entry<IDB_CREDITS, 230, 1120, 4>(),
    };
    return table;
}

}  // namespace

const BitmapResource* FindBitmapResource(UINT id) {
    auto it = Bitmaps().find(id);
    return it == Bitmaps().end() ? nullptr : &it->second;
}
