// Every dialog template as the toolkit really lays it out: each dialog opened
// through its own class (or on its bare template where opening would start
// work), shown, and its real widgets measured. Every visible control has a
// size and lies in the client area; no two overlap, except a group box and
// what it holds; every text of a label, group box, check box, radio button
// and push button shows whole where the toolkit puts its label, and so does
// every heading of a list view; no control gets less than the toolkit's
// least width (nor, for check boxes, radio buttons, sliders and up-downs, its
// least height); a closed drop-down list is about two lines high and shows
// its chosen entry whole; the field an up-down sits on shows at least three
// digits and its widest value; and the toolkit logs no warning doing it.
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "tests/gui/gui_fixture.h"
#include "tests/toolkit_log.h"
#include "tests/xvfb_screen.h"

#include "data/new_song_dlg.h"
#include "host/midi_controllers_dlg.h"
#include "host/midi_mapper_dlg.h"
#include "host/preferences_dlg.h"
#include "platform/resources.h"
#include "platform/wx_bridge.h"
#include "res/resource_ids.h"
#include "ui/about_dlg.h"
#include "ui/effects_dlg.h"
#include "ui/format_patterns.h"
#include "ui/knob_target_dlg.h"
#include "ui/sample_name_dlg.h"
#include "ui/sample_organizer_dlg.h"
#include "ui/select_command_dlg.h"
#include "ui/select_sample_dlg.h"
#include "ui/song_info_dlg.h"
#include "ui/sound_name_dlg.h"
#include "ui/split_editor_dlg.h"
#include "ui/steps_per_beat_dlg.h"
#include "ui/tool_windows.h"

namespace {

// The few calls into the toolkit library (loaded by the program already)
// that tell where it put a widget's label and text, and its least size.
struct GtkRect {
    int x, y, width, height;
};
struct GtkCalls {
    void (*allocation)(void*, GtkRect*) = nullptr;
    void (*preferredWidth)(void*, int*, int*) = nullptr;
    void (*preferredHeight)(void*, int*, int*) = nullptr;
    void* (*binChild)(void*) = nullptr;
    void* (*frameLabel)(void*) = nullptr;
    void (*entryTextArea)(void*, GtkRect*) = nullptr;
    int (*isA)(void*, unsigned long) = nullptr;
    unsigned long (*binType)() = nullptr;
    bool ok = false;

    static const GtkCalls& Get() {
        static const GtkCalls calls = [] {
            GtkCalls c;
            auto find = [](auto& fn, const char* name) {
                fn = reinterpret_cast<std::decay_t<decltype(fn)>>(dlsym(RTLD_DEFAULT, name));
            };
            find(c.allocation, "gtk_widget_get_allocation");
            find(c.preferredWidth, "gtk_widget_get_preferred_width");
            find(c.preferredHeight, "gtk_widget_get_preferred_height");
            find(c.binChild, "gtk_bin_get_child");
            find(c.frameLabel, "gtk_frame_get_label_widget");
            find(c.entryTextArea, "gtk_entry_get_text_area");
            find(c.isA, "g_type_check_instance_is_a");
            find(c.binType, "gtk_bin_get_type");
            c.ok = c.allocation && c.preferredWidth && c.preferredHeight && c.binChild && c.frameLabel &&
                   c.entryTextArea && c.isA && c.binType;
            return c;
        }();
        return calls;
    }
    GtkRect Allocation(void* w) const {
        GtkRect r{};
        allocation(w, &r);
        return r;
    }
    wxSize Least(void* w) const {
        int minW = 0, natW = 0, minH = 0, natH = 0;
        preferredWidth(w, &minW, &natW);
        preferredHeight(w, &minH, &natH);
        return {minW, minH};
    }
    // The label widget that shows a control's text: the label itself, a
    // button's child, a group box's title.
    void* LabelOf(wxWindow* w) const {
        void* h = w->GetHandle();
        if (dynamic_cast<wxStaticText*>(w)) return h;
        if (dynamic_cast<wxStaticBox*>(w)) return frameLabel(h);
        if (h && isA(h, binType())) return binChild(h);
        return nullptr;
    }
};

wxString TextOf(wxWindow* w) {
    auto* c = dynamic_cast<wxControl*>(w);
    return c ? c->GetLabelText() : wxString();
}

std::string Describe(wxWindow* w) {
    std::ostringstream s;
    s << wxString(w->GetClassInfo()->GetClassName()).utf8_string() << " " << w->GetId() << " \""
      << TextOf(w).utf8_string() << "\" at "
      << w->GetRect().x << "," << w->GetRect().y << " " << w->GetRect().width << "x" << w->GetRect().height;
    return s.str();
}

bool Contains(const wxRect& outer, const wxRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.GetRight() <= outer.GetRight() &&
           inner.GetBottom() <= outer.GetBottom();
}

// Checks one dialog shown on the screen.
void CheckLayout(CDialog& dlg) {
    const GtkCalls& gtk = GtkCalls::Get();
    ASSERT_TRUE(gtk.ok) << "toolkit calls not found";
    auto* top = dynamic_cast<wxDialog*>(ToolkitOf(&dlg));
    ASSERT_NE(top, nullptr);
    top->Show();
    PumpMessages(60);
    // Dialog units are the dialog font's: 4 across are its average letter
    // width (rounded as the templates' system rounds it), 8 down its height.
    {
        wxClientDC dc(top);
        dc.SetFont(top->GetFont());
        const int letters = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").x;
        EXPECT_EQ(DialogUnitsToPixelsX(4), (letters / 26 + 1) / 2);
        EXPECT_EQ(DialogUnitsToPixelsY(8), dc.GetCharHeight());
    }
    const wxSize client = top->GetClientSize();
    const wxRect clientRect(wxPoint(0, 0), client);
    std::vector<wxWindow*> shown;
    for (wxWindow* w : top->GetChildren())
        if (w->IsShown()) shown.push_back(w);

    const DialogResource* res = FindDialogResource(dlg.GetTemplateId());
    ASSERT_NE(res, nullptr);

    for (wxWindow* w : shown) {
        SCOPED_TRACE(Describe(w));
        const wxRect r = w->GetRect();
        EXPECT_GT(r.width, 0);
        EXPECT_GT(r.height, 0);
        EXPECT_TRUE(Contains(clientRect, r)) << "client " << client.x << "x" << client.y;

        if (!dynamic_cast<wxListBox*>(w)) {
            EXPECT_EQ(w->GetFont(), top->GetFont()) << "not in the dialog font";
        }
        void* h = w->GetHandle();
        const wxSize least = gtk.Least(h);
        const GtkRect a = gtk.Allocation(h);
        EXPECT_GE(a.width, least.x) << "narrower than the toolkit's least width";
        const bool needsHeight = dynamic_cast<wxCheckBox*>(w) || dynamic_cast<wxRadioButton*>(w) ||
                                 dynamic_cast<wxSlider*>(w) || dynamic_cast<wxSpinButton*>(w);
        if (needsHeight) {
            EXPECT_GE(a.height, least.y) << "lower than the toolkit's least height";
        }

        // The text shows whole where the toolkit puts the label.
        const wxString text = TextOf(w);
        if (!text.empty() && !dynamic_cast<wxTextCtrl*>(w) && !dynamic_cast<wxChoice*>(w)) {
            if (void* label = gtk.LabelOf(w)) {
                wxClientDC dc(w);
                dc.SetFont(w->GetFont());
                const wxSize extent = dc.GetMultiLineTextExtent(text);
                const GtkRect la = gtk.Allocation(label);
                EXPECT_GE(la.width, extent.x) << "text cut: " << la.width << " of " << extent.x;
                EXPECT_GE(la.height, extent.y) << "text cut: " << la.height << " of " << extent.y << " high";
                if (!dynamic_cast<wxStaticText*>(w) && !dynamic_cast<wxStaticBox*>(w)) {
                    EXPECT_LE(la.x + la.width, a.x + a.width) << "label beyond its control";
                }
            }
        }

        // A list view's headings show whole: each column holds its text
        // and the 5 pixels the header keeps free on either side of it.
        if (auto* list = dynamic_cast<wxListCtrl*>(w)) {
            for (int col = 0; col < list->GetColumnCount(); ++col) {
                wxListItem item;
                item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH);
                list->GetColumn(col, item);
                EXPECT_GE(item.GetWidth(), list->GetTextExtent(item.GetText()).x + 2 * 5)
                    << "heading \"" << item.GetText().utf8_string() << "\" cut";
            }
        }

        // A closed drop-down list is about two lines of text high, and shows
        // its chosen entry whole (the toolkit's cell keeps 2 pixels free on
        // either side of the text).
        if (auto* choice = dynamic_cast<wxChoice*>(w)) {
            EXPECT_LE(r.height, std::max(2 * w->GetCharHeight(), least.y));
            if (choice->GetSelection() != wxNOT_FOUND) {
                wxClientDC dc(w);
                dc.SetFont(w->GetFont());
                const wxString chosen = choice->GetStringSelection();
                const GtkRect cell = gtk.Allocation(gtk.binChild(h));
                EXPECT_GE(cell.width, dc.GetTextExtent(chosen).x + 2 * 2)
                    << "entry \"" << chosen.utf8_string() << "\" cut";
            }
        }
    }

    // No two controls overlap, except a group box and what lies in it.
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const wxRect a = shown[i]->GetRect(), b = shown[j]->GetRect();
            if (!a.Intersects(b)) continue;
            if (dynamic_cast<wxStaticBox*>(shown[i]) && Contains(a, b)) continue;
            if (dynamic_cast<wxStaticBox*>(shown[j]) && Contains(b, a)) continue;
            ADD_FAILURE() << "overlap: " << Describe(shown[i]) << " and " << Describe(shown[j]);
        }

    // Each control keeps the template's place: its left edge (a centred
    // label grows to both sides, an up-down sits at its field's right) and
    // a part of the template's rows.
    for (const ControlResource& c : res->controls) {
        wxWindow* w = ToolkitOf(dlg.GetDlgItem(c.id));
        if (c.id <= 0 || !w || !w->IsShown()) continue;
        if ((c.kind == ControlKind::Static && (c.style & CS_CENTER)) ||
            (c.kind == ControlKind::Spin && (c.style & CS_AUTOBUDDY)))
            continue;
        SCOPED_TRACE(Describe(w));
        const wxRect r = w->GetRect();
        const int top = DialogUnitsToPixelsY(c.y), bottom = DialogUnitsToPixelsY(c.y + c.cy);
        EXPECT_EQ(r.x, DialogUnitsToPixelsX(c.x)) << "left edge moved from the template's";
        EXPECT_TRUE(r.y < bottom && r.GetBottom() >= top) << "off the template's rows " << top << " to " << bottom;
    }

    // The field an up-down sits on shows three digits and its widest value.
    const ControlResource* previous = nullptr;
    for (const ControlResource& c : res->controls) {
        if (c.kind == ControlKind::Spin && (c.style & CS_AUTOBUDDY) && previous) {
            auto* spin = dynamic_cast<wxSpinButton*>(ToolkitOf(dlg.GetDlgItem(c.id)));
            auto* field = dynamic_cast<wxTextCtrl*>(ToolkitOf(dlg.GetDlgItem(previous->id)));
            if (spin && field && field->IsShown()) {
                SCOPED_TRACE(Describe(field));
                std::string widest = "000";
                for (int v : {spin->GetMin(), spin->GetMax()})
                    if (std::to_string(v).size() > widest.size()) widest = std::to_string(v);
                wxClientDC dc(field);
                dc.SetFont(field->GetFont());
                const wxSize digits = dc.GetTextExtent(widest);
                GtkRect area{};
                gtk.entryTextArea(field->GetHandle(), &area);
                EXPECT_GE(area.width, digits.x) << "field shows " << area.width << " px of " << digits.x;
                EXPECT_GE(area.height, digits.y) << "field shows " << area.height << " px of " << digits.y;
                EXPECT_FALSE(field->GetRect().Intersects(spin->GetRect()));
            }
        }
        previous = &c;
    }
}

// Every dialog as the display showed it, under its name, on one picture for
// people to look at.
class ContactSheet {
public:
    void Add(const std::string& name, const wxRect& onScreen) {
        const ScreenShot screen = ReadScreen();
        const wxRect r = onScreen.Intersect(wxRect(0, 0, screen.width, screen.height));
        if (r.IsEmpty()) return;
        wxImage shot(r.width, r.height);
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                const uint32_t v = screen.At(r.x + x, r.y + y);
                shot.SetRGB(x, y, (v >> 16) & 0xff, (v >> 8) & 0xff, v & 0xff);
            }
        shots_.push_back({name, shot});
    }
    // Rows of pictures at most kWidth wide, each under a line with its name.
    bool Save(const std::string& path) const {
        constexpr int kWidth = 1800, kGap = 12, kCaption = 22;
        struct Place {
            int x, y;
        };
        std::vector<Place> places;
        int x = kGap, y = kGap, rowHeight = 0, width = 0;
        for (const auto& s : shots_) {
            if (x > kGap && x + s.picture.GetWidth() > kWidth) {
                x = kGap;
                y += rowHeight + kGap;
                rowHeight = 0;
            }
            places.push_back({x, y});
            x += s.picture.GetWidth() + kGap;
            width = std::max(width, x);
            rowHeight = std::max(rowHeight, kCaption + s.picture.GetHeight());
        }
        if (shots_.empty()) return false;
        wxBitmap sheet(width, y + rowHeight + kGap, 24);
        {
            wxMemoryDC dc(sheet);
            dc.SetBackground(wxBrush(wxColour(96, 96, 104)));
            dc.Clear();
            dc.SetTextForeground(*wxWHITE);
            for (size_t i = 0; i < shots_.size(); ++i) {
                dc.DrawText(shots_[i].name, places[i].x, places[i].y + 2);
                dc.DrawBitmap(wxBitmap(shots_[i].picture), places[i].x, places[i].y + kCaption);
            }
        }
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
        return sheet.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);
    }

private:
    struct Shot {
        std::string name;
        wxImage picture;
    };
    std::vector<Shot> shots_;
};

// How a dialog is opened for the check.
using Opener = std::function<void(std::function<void(CDialog&)>)>;

template <class D>
Opener Modal() {
    return [](std::function<void(CDialog&)> check) {
        D dlg;
        SetModalDialogHandler([&](CDialog& d) { check(d); });
        dlg.DoModal();
    };
}

// The bare template, run modally (its class would start work on opening).
Opener BareModal(UINT id) {
    return [id](std::function<void(CDialog&)> check) {
        CDialog dlg(id);
        SetModalDialogHandler([&](CDialog& d) { check(d); });
        dlg.DoModal();
    };
}

template <class D>
Opener Modeless(UINT id) {
    return [id](std::function<void(CDialog&)> check) {
        std::unique_ptr<D> dlg;
        if constexpr (std::is_same_v<D, CDialog>) dlg = std::make_unique<D>(id);
        else dlg = std::make_unique<D>();
        ASSERT_TRUE(dlg->Create(id, nullptr));
        check(*dlg);
        dlg->DestroyWindow();
    };
}

// What a dialog shows later, each state checked again: texts its handlers
// write once it is open.
using States = std::function<void(CDialog&, const std::function<void()>& check)>;

// Every effect type of every unit, with its sliders' captions.
void EveryEffectType(CDialog& d, const std::function<void()>& check) {
    const struct {
        int list;
        int types;
    } units[] = {{IDC_FX1_TYPE, 12}, {IDC_FX2_TYPE, 8}, {IDC_FX3_TYPE, 8}};
    for (const auto& u : units)
        for (int t = 0; t < u.types; ++t) {
            SCOPED_TRACE(testing::Message() << "list " << u.list << " type " << t);
            d.ChooseComboItem(u.list, t);
            check();
        }
}

struct DialogCase {
    const char* name;
    UINT id;
    Opener open;
    States states = nullptr;
};

class DialogLayoutTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
    }
};

}  // namespace

TEST_F(DialogLayoutTest, EveryDialogShowsItsControlsWholeAndApart) {
    const DialogCase cases[] = {
        {"about", IDD_ABOUTBOX, Modal<CAboutDlg>()},
        {"splash", IDD_SPLASH, Modeless<CSplashDlg>(IDD_SPLASH)},
        {"new song", IDD_NEW_SONG, Modal<CNewSongDlg>()},
        {"automation", IDD_AUTOMATION, Modeless<CDialog>(IDD_AUTOMATION)},
        {"oscilloscope", IDD_OSCILLOSCOPE, Modeless<CDialog>(IDD_OSCILLOSCOPE)},
        {"value tip", IDD_VALUE_TIP, Modeless<CValueTipDlg>(IDD_VALUE_TIP)},
        {"export", IDD_EXPORT_WAVE, BareModal(IDD_EXPORT_WAVE)},
        {"select command", IDD_SELECT_COMMAND, Modal<CSelectCommandDlg>()},
        {"patterns formatter", IDD_PATTERNS_FORMATTER, Modal<CPatternsFormatterDlg>()},
        {"sample organizer", IDD_SAMPLE_ORGANIZER, Modal<CSampleOrganizerDlg>()},
        {"sample name", IDD_SAMPLE_NAME, Modal<CSampleNameDlg>()},
        {"select sample", IDD_SELECT_SAMPLE, Modal<CSelectSampleDlg>()},
        {"split editor", IDD_SPLIT_EDITOR, Modal<CSplitEditorDlg>()},
        {"MIDI controllers", IDD_MIDI_CONTROLLERS, Modal<CMidiControllersDlg>()},
        {"effects", IDD_EFFECTS, Modal<CEffectsDlg>(), EveryEffectType},
        {"sound name", IDD_SOUND_NAME, Modal<CSoundNameDlg>()},
        {"knob target", IDD_KNOB_TARGET, Modal<CKnobTargetDlg>()},
        {"steps per beat", IDD_STEPS_PER_BEAT, Modal<CStepsPerBeatDlg>()},
        {"song information", IDD_SONG_INFO, Modal<CSongInfoDlg>()},
        {"MIDI mapper", IDD_MIDI_MAPPER, Modal<CMidiMapperDlg>()},
        {"preferences", IDD_PREFERENCES, Modal<CPreferencesDlg>()},
    };
    ContactSheet sheet;
    // The pointer out of the pictures.
    EXPECT_EQ(std::system("xdotool mousemove 1279 1023 >/dev/null 2>&1"), 0);
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t logged = ToolkitMessageCount();
        bool checked = false;
        c.open([&](CDialog& d) {
            EXPECT_EQ(d.GetTemplateId(), c.id);
            CheckLayout(d);
            PumpMessages(100);
            sheet.Add(c.name, ToolkitOf(&d)->GetScreenRect());
            if (c.states) c.states(d, [&] { CheckLayout(d); });
            checked = true;
        });
        EXPECT_TRUE(checked);
        PumpMessages(10);
        for (const std::string& m : ToolkitMessagesSince(logged)) ADD_FAILURE() << "toolkit logged: " << m;
    }
    // The contact sheet goes into the build tree, to be looked at there.
    std::filesystem::create_directories(MC_TEST_OUTPUT_DIR);
    const std::string picture = std::string(MC_TEST_OUTPUT_DIR) + "/dialogs.png";
    std::filesystem::remove(picture);
    EXPECT_TRUE(sheet.Save(picture)) << picture;
}
