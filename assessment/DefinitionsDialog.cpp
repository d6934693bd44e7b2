#include "assessment/DefinitionsDialog.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "assessment/BelastungDialoge.h"
#include "assessment/Definitionspool.h"
#include "assessment/KriteriumZeile.h"
#include "assessment/Rahmenbedingungen.h"
#include "assessment/Zeitprofile.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

// TIME values: hundredths of a second since midnight plus 1.
constexpr int32_t kHour = 360'000;
constexpr int32_t kDay = 24 * kHour;
constexpr int32_t k0000 = 1;
constexpr int32_t k2400 = kDay + 1;
constexpr int32_t kSechsStunden = 6 * kHour + 1;

constexpr int Rgb(int r, int g, int b) { return r + g * 256 + b * 65536; }
constexpr int kButtonFace = Rgb(240, 240, 240);
constexpr int kMarked = Rgb(254, 220, 226);

// Layout in dialog units: the constraint groups on the left of each tab, the criteria panel on the
// right; mode bit 64 takes the panel's room away.
constexpr int kWindowW = 600, kWindowH = 306;
constexpr int kSheetW = 592, kSheetH = 280;
constexpr int kPanelX = 310, kPanelW = 282;
// The narrowed window keeps the room its eight tab captions need.
constexpr int kNarrower = 150;
constexpr int kLeft = 10, kGroupW = 294;
constexpr int kPromptX = 16, kFieldX = 150, kUnitX = 190;
constexpr int kTimeW = 34, kLine = 14;

int& OpenCount()
{
    static int count = 0;
    return count;
}

// The constraint that checks an RB field (0 for a field no constraint owns).
int OwnerOf(const std::string& field)
{
    static const std::map<std::string, int> owners = {
        {"NACHTAZ_ANFANG", 1}, {"NACHTAZ_LAENGE", 1}, {"NACHTAZ_DAUER_MIN", 1},
        {"FS_VON", 2}, {"FS_BIS", 2}, {"TS_VON", 3}, {"TS_BIS", 3},
        {"RZ_DAUER_OHNE_AUSGLEICH", 4}, {"RZ_DAUER_MIT_AUSGLEICH", 4}, {"RZ_AUSGLEICHSZEITRAUM", 4},
        {"FREIE_SONNTAGE", 5},
        {"WRZ_DAUER_MIN", 6}, {"ERSATZ_WRZ_DAUER_MIN", 6}, {"SAZ_VERSCHIEBUNG", 6}, {"SAZ_AUSGLEICHSZEITRAUM", 6},
        {"KONTAZ_MIN", 7}, {"KONTAZ_MAX", 7},
        {"BETRIEBSTAGSBEGINN", 8}, {"SCHICHTUEBERGABEZEIT", 9},
        {"SL_DAUER_MIN", 10}, {"SL_DAUER_MAX", 10},
        {"AZ_AB", 11}, {"PAUSENLAENGE", 11}, {"ERSTE_PAUSE", 12}, {"MINDESTPAUSENLAENGE", 13},
        {"WTAZ_OHNE_AUSGLEICH", 14}, {"WTAZ_MIT_AUSGLEICH", 14}, {"WTAZ_AUSGLEICHSZEITRAUM_NORMAL", 14},
        {"WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT", 14},
        {"WOCHENBEGINN", 15}, {"WAZ", 15}, {"WAZ_AUSGLEICHSZEITRAUM", 15}, {"WAZ_MIN", 16}, {"WAZ_MAX", 16},
        {"WE_ANFANGSTAG", 17}, {"WE_ANFANGSZEIT", 17}, {"WE_ENDTAG", 17}, {"WE_ENDZEIT", 17}, {"WE_DAUER_MIN", 17},
        {"NS_KONT_STOERUNGEN", 18}, {"NS_EINZELSTOERUNGEN", 18},
        {"SZ_KONT_STOERUNGEN", 19}, {"SZ_EINZELSTOERUNGEN", 19},
        {"FZ_KONT_STOERUNGEN", 20}, {"FZ_EINZELSTOERUNGEN", 20},
        {"RZNACHTARBEIT_MIN", 21}, {"RZANZEIGE_MIN", 22},
    };
    const auto it = owners.find(field);
    return it == owners.end() ? 0 : it->second;
}

// How a control shows its RB field.
enum class Kind { Whole, Time, Decimal, Hours };   // Hours: a drop list of whole hours

UseVar Bind(const std::string& field, int index, Kind kind)
{
    switch (kind) {
    case Kind::Decimal:
        return UseVar([field] { return PropValue(RB.GetDecimal(field).ToString()); },
                      [field](const PropValue& v) {
                          RB.SetDecimal(field, Decimal::FromDouble(std::strtod(v.Str().c_str(), nullptr)));
                      },
                      true);
    case Kind::Hours:
        return UseVar([field] { return PropValue(std::to_string(std::llround(RB.GetDecimal(field).ToDouble()))); },
                      [field](const PropValue& v) {
                          RB.SetDecimal(field, Decimal::FromWhole(std::strtoll(v.Str().c_str(), nullptr, 10)));
                      },
                      false);
    case Kind::Whole:
    case Kind::Time:
        break;
    }
    return UseVar([field, index] { return PropValue(static_cast<long long>(RB.GetInt(field, index))); },
                  [field, index](const PropValue& v) { RB.SetInt(field, v.Int(), index); }, true);
}

// The night start: a stored 00:00 is shown as 24:00, and 24:00 is stored as 00:00.
UseVar BindNachtanfang()
{
    return UseVar(
        [] {
            const int64_t v = RB.GetInt("NACHTAZ_ANFANG");
            return PropValue(static_cast<long long>(v == k0000 ? k2400 : v));
        },
        [](const PropValue& v) { RB.SetInt("NACHTAZ_ANFANG", v.Int() == k2400 ? k0000 : v.Int()); }, true);
}

// (night start + night length) modulo 24 hours; shown only.
int32_t Nachtende()
{
    const int64_t anfang = std::max<int64_t>(RB.GetInt("NACHTAZ_ANFANG"), k0000) - 1;
    const int64_t laenge = std::max<int64_t>(RB.GetInt("NACHTAZ_LAENGE"), k0000) - 1;
    return static_cast<int32_t>((anfang + laenge) % kDay) + 1;
}

constexpr const char* kTime = "@T7";
constexpr const char* kWeeks = "@n2";
constexpr const char* kHours5 = "@n5.`2";
constexpr const char* kHours6 = "@n6.`2";

const char* const kTage = "Montag|Dienstag|-|-|Freitag|Samstag|Sonntag";

struct Binding {
    std::string field;
    int index = 0;
    int owner = 0;
};

class DefinitionsWindow : public FwWindow {
public:
    DefinitionsWindow(uint8_t mode, long kriterium, IDefinitionspoolOwner* worksheet)
        : FwWindow("UpdateDefinitionsmanager"), mode_(mode), kriterium_(kriterium), worksheet_(worksheet)
    {
        // The checks run on objects of the dialog's own, made from the buffer as it stands.
        for (int n = 1; n <= kRahmenbedingungen; ++n)
            rb_[static_cast<size_t>(n - 1)] = NewRahmenbedingung(n);
    }

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "P15$QUICKWINDOW";
        d.title = "Definitionspool";
        d.icon = "mini_defpool.ico";
        d.fontName = "Tahoma";
        d.w = kWindowW;
        d.h = kWindowH;
        d.modal = true;
        for (int key : {Key::TAB, Key::SHIFT_TAB, Key::ENTER, Key::SHIFT_ENTER, Key::MOUSE_LEFT, Key::MOUSE_RIGHT})
            d.alertKeys.push_back(key);

        sheet_ = Next();
        ControlDesc sheet = Ctl::Sheet().Id(sheet_).Name("?SHEET").At(4, 4, kSheetW, kSheetH);
        sheet.Add(TabArbeitszeit());
        sheet.Add(TabRuhezeit());
        sheet.Add(TabWochenende());
        sheet.Add(TabNachtschlaf());
        sheet.Add(TabFreizeit());
        sheet.Add(TabSchichten());
        sheet.Add(TabBelastung());
        sheet.Add(TabOekonomie());
        d.Add(std::move(sheet));

        ok_ = Next();
        cancel_ = Next();
        d.Add(Ctl::Button("OK").Id(ok_).Name("?OK").Default().At(kWindowW - 126, kWindowH - 20, 56, 16));
        d.Add(Ctl::Button("Abbrechen").Id(cancel_).Name("?Abbrechen").At(kWindowW - 64, kWindowH - 20, 56, 16));
        if (mode_ & DEFINITIONS_GRENZWERTE) {
            d.w -= kNarrower;
            for (ControlDesc& c : d.controls) {
                if (c.id == sheet_)
                    c.w -= kNarrower;
                else
                    c.x -= kNarrower;
            }
        }
        CreateWindow(d);
        OpenWindow();
        SetOkControl(ok_);
        SetCancelControl(cancel_);
        Prepare();
        Refresh(true);
        return level;
    }

    int OnAccepted() override
    {
        const int control = EventAccepted();
        if (control == ok_ || control == cancel_)
            return FwWindow::OnAccepted();
        const bool all = AcceptAllRunning();
        if (const auto it = fields_.find(control); it != fields_.end()) {
            Check(control, it->second, all);
            if (!all)
                Refresh();
            return LEVEL_BENIGN;
        }
        if (all)
            return LEVEL_BENIGN;   // the side effects below belong to the user's own choices
        if (control == wtazCheck_) {
            Compensation("WTAZ_MIT_AUSGLEICH", wtaz_, wtazField_);
        } else if (control == rzCheck_) {
            Compensation("RZ_DAUER_MIT_AUSGLEICH", rz_, rzField_);
        } else if (control == ueberlaufCheck_) {
            RB.SetInt("WOCHENBEGINN", ueberlauf_ ? 0 : k0000);
            Refresh();
        } else if (control == sonntagCheck_) {
            RB.SetInt("SAZ_VERSCHIEBUNG", sonntag_ ? kSechsStunden : 0);
            if (!(mode_ & DEFINITIONS_GRENZWERTE))
                ShowSettingCheck(Rb(6), {"SAZ_VERSCHIEBUNG", 0});
            Refresh();
        } else if (control == belastung_) {
            if (worksheet_)
                worksheet_->EditBelastung();
            Refresh();
        } else if (control == kosten_) {
            if (worksheet_)
                worksheet_->EditKosten();
            Refresh();
        } else if (const int pair = CombinedPair(control); pair != 0) {
            Combined(pair, combined_[static_cast<size_t>((pair - 11) / 2)] != 0);
        } else if (control == KriteriumCheck(19)) {
            if (KRI.GetInt("AKTIVIERT", 19) != 0)
                EBAHinweis();
            Refresh();
        } else {
            Refresh();
        }
        return LEVEL_BENIGN;
    }

    int OnAlertKey() override
    {
        // The field the key was pressed in (the focus, when the key came for the whole window).
        const int focus = EventControl() ? EventControl() : ControlFocus();
        const int key = EventKeyCode();
        // Tab and Enter are heard here before they move on or close the window, and the field
        // they leave has no Accepted event of its own: a changed field is taken and checked now,
        // as it is when left with the mouse.
        const bool leaves = key == Key::TAB || key == Key::SHIFT_TAB || key == Key::ENTER || key == Key::SHIFT_ENTER;
        const bool changed = leaves && fields_.count(focus) && ScreenChanged(focus);
        // A time typed as "24:xx" is taken as 00:xx (the night start shows 00:00 as 24:00 again).
        if (times_.count(focus)) {
            const std::string text = PropertyGet(focus, Prop::ScreenText).Str();
            if (text.rfind("24", 0) == 0) {
                PropertySet(focus, Prop::ScreenText, "00" + text.substr(2));
                ControlUpdate(focus);
            }
        }
        if (changed && !AcceptAllRunning()) {
            ControlUpdate(focus);
            if (ScreenChanged(focus)) {
                // Text the field's picture cannot read: the stored value is shown again.
                ControlDisplay(focus);
                return FwWindow::OnAlertKey();
            }
            Check(focus, fields_.at(focus), false);
            Refresh();
        }
        return FwWindow::OnAlertKey();
    }

    int OnWindowEvent() override
    {
        if (IsPassiveEventCode(EventCurrent()))
            Refresh();
        return FwWindow::OnWindowEvent();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        sonntag_ = RB.GetInt("SAZ_VERSCHIEBUNG") == kSechsStunden ? 1 : 0;
        for (int i = 0; i < 4; ++i) {
            const int threshold = pauseAb_[static_cast<size_t>(i)];
            // The first two thresholds are fixed by law; only the defaults editor changes them.
            if (i < 2 && !(mode_ & DEFINITIONS_GRENZWERTE)) {
                ControlDisable(threshold);
                PropertySet(threshold, Prop::Color, kButtonFace);
            }
            ControlSetEnabled(pauseLaenge_[static_cast<size_t>(i)], RB.GetInt("AZ_AB", i + 1) != 0);
        }
        ControlSetEnabled(wochenbeginn_, ueberlauf_ == 0);
        PropertySet(wochenbeginn_, Prop::Color, ueberlauf_ ? kButtonFace : -1);
        ControlSetEnabled(wtazGroup_, wtaz_ != 0);
        ControlSetEnabled(rzGroup_, rz_ != 0);
        ControlSetEnabled(belastung_, worksheet_ != nullptr);
        ControlSetEnabled(kosten_, worksheet_ != nullptr);
        FwWindow::Refresh(force);
    }

private:
    int Next() { return ++next_; }
    CRahmenbedingung& Rb(int n) { return *rb_[static_cast<size_t>(n - 1)]; }

    // ---- the description ---------------------------------------------------------------------

    ControlDesc Tab(const std::string& text)
    {
        const int id = Next();
        tabs_.push_back(id);
        return Ctl::Tab(text).Id(id);
    }

    ControlDesc Group(const std::string& caption, int y, int h, int x = kLeft, int w = kGroupW)
    {
        return Ctl::Group(caption).Id(Next()).At(x, y, w, h);
    }

    ControlDesc Prompt(const std::string& text, int x, int y, int w = 0)
    {
        return Ctl::Prompt(text).Id(Next()).At(x, y + 1, w ? w : kFieldX - x - 2, 10);
    }

    ControlDesc Unit(const std::string& text, int x, int y) { return Ctl::String(text).Id(Next()).At(x, y + 1, 60, 10); }

    // An entry (or spin) bound to an RB field; its accepted value is checked by the field's
    // constraint.
    ControlDesc FieldEntry(const std::string& field, int index, Kind kind, const std::string& picture, int x, int y,
                           int w = kTimeW)
    {
        const int id = Next();
        fields_[id] = Binding{field, index, OwnerOf(field)};
        if (kind == Kind::Time)
            times_.insert(id);
        controlOf_[field + "#" + std::to_string(index)] = id;
        const std::string name = "?" + field + (index ? "_" + std::to_string(index) : std::string());
        return Ctl::Entry(picture).Id(id).Name(name).Use(Bind(field, index, kind)).At(x, y, w, 12);
    }

    ControlDesc FieldSpin(const std::string& field, int x, int y)
    {
        const int id = Next();
        fields_[id] = Binding{field, 0, OwnerOf(field)};
        controlOf_[field + "#0"] = id;
        return Ctl::Spin(kWeeks, 1, 7).Id(id).Name("?" + field).Use(Bind(field, 0, Kind::Whole)).At(x, y, 30, 12);
    }

    ControlDesc FieldDrop(const std::string& field, std::vector<std::string> rows, Kind kind, int x, int y, int w)
    {
        const int id = Next();
        fields_[id] = Binding{field, 0, OwnerOf(field)};
        controlOf_[field + "#0"] = id;
        return Ctl::DropList().Id(id).Name("?" + field).From(std::move(rows)).DropRows(7)
            .Use(Bind(field, 0, kind)).At(x, y, w, 12);
    }

    // A prompt, an entry and its unit on one line of a group.
    void Line(ControlDesc& group, const std::string& prompt, const std::string& field, Kind kind,
              const std::string& picture, int y, const std::string& unit = {}, int x = kPromptX)
    {
        group.Add(Prompt(prompt, x, y));
        group.Add(FieldEntry(field, 0, kind, picture, kFieldX, y));
        if (!unit.empty())
            group.Add(Unit(unit, kUnitX, y));
    }

    // The criteria panel of a tab: one row per criterion, beside the group it concerns.
    ControlDesc Panel()
    {
        const int id = Next();
        panels_.push_back(id);
        return Ctl::Group("Kriterien für Bewertung und Generierung").Id(id)
            .Name("?KRITERIEN" + std::to_string(panels_.size())).At(kPanelX, 22, kPanelW, kSheetH - 22);
    }

    // A criterion row: group g, check box g + 1, prompts g + 2 and g + 3, relevance option g + 4.
    void Row(ControlDesc& panel, int n, int y, bool relevance)
    {
        const int g = Next();
        rowGroup_[n] = g;
        const int x = kPanelX + 6, w = kPanelW - 12;
        const KriteriumEintrag* e = FindKriteriumEintrag(n);
        ControlDesc row = Ctl::Group().Id(g).Name("?KRITERIUM" + std::to_string(n)).At(x, y, w, relevance ? 34 : 22);
        row.Add(Ctl::Check(e ? e->BEZEICHNUNG : "").Id(Next()).Name("?KR" + std::to_string(n) + "_AKTIVIERT")
                    .At(x + 6, y + 7, w - 12, 10));
        if (relevance) {
            const int option = x + 40;
            row.Add(Ctl::Prompt("unwichtig").Id(Next()).At(x + 6, y + 20, 46, 10));
            row.Add(Ctl::Prompt("sehr wichtig").Id(Next()).At(option + 56 + 24 * 4 + 16, y + 20, 50, 10));
            row.Add(Ctl::Option({}).Id(Next()).Name("?KR" + std::to_string(n) + "_RELEVANZ")
                        .At(option, y + 15, 56 + 24 * 4 + 14, 16));
        } else {
            next_ += 3;   // the row keeps its five numbers
        }
        panel.Add(std::move(row));
    }

    // A check box in the panel that stands for a pair of criteria (shown without mode bit 1).
    void CombinedRow(ControlDesc& panel, int first, const std::string& text, int y)
    {
        const int id = Next();
        combinedCheck_[static_cast<size_t>((first - 11) / 2)] = id;
        panel.Add(Ctl::Check(text).Id(id).Name("?KOMBINIERT" + std::to_string(first))
                      .Use(UseVar(combined_[static_cast<size_t>((first - 11) / 2)]))
                      .Hidden().At(kPanelX + 12, y + 7, kPanelW - 24, 10));
    }

    ControlDesc TabArbeitszeit()
    {
        ControlDesc tab = Tab("Arbeitszeit");
        arbeitszeitTab_ = tabs_.back();
        ControlDesc kont = Group("Kontinuierliche Arbeitstage", 24, 30);
        kont.Add(Prompt("mindestens:", kPromptX, 36, 50));
        kont.Add(FieldSpin("KONTAZ_MIN", 68, 36));
        kont.Add(Unit("Tage", 102, 36));
        kont.Add(Prompt("höchstens:", 150, 36, 46));
        kont.Add(FieldSpin("KONTAZ_MAX", 198, 36));
        kont.Add(Unit("Tage", 232, 36));
        tab.Add(std::move(kont));

        ControlDesc wtaz = Group("Werktägliche Arbeitszeit", 58, 88);
        Line(wtaz, "max. werktägliche Arbeitszeit:", "WTAZ_OHNE_AUSGLEICH", Kind::Time, kTime, 70, "ohne Ausgleich");
        wtazCheck_ = Next();
        wtaz.Add(Ctl::Check("Ausgleichszeitraum berücksichtigen").Id(wtazCheck_).Name("?WTAZ_AUSGLEICH")
                     .Use(UseVar(wtaz_)).At(kPromptX, 86, 200, 10));
        ControlDesc inner = Group({}, 96, 48, kPromptX, kGroupW - 12);
        wtazGroup_ = inner.id;
        Line(inner, "max. werktägliche Arbeitszeit:", "WTAZ_MIT_AUSGLEICH", Kind::Time, kTime, 102, "mit Ausgleich", 22);
        wtazField_ = controlOf_["WTAZ_MIT_AUSGLEICH#0"];
        Line(inner, "bei einem Ausgleichszeitraum von:", "WTAZ_AUSGLEICHSZEITRAUM_NORMAL", Kind::Whole, kWeeks, 116,
             "Wochen", 22);
        Line(inner, "bzw. (bei Nachtarbeit) von:", "WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT", Kind::Whole, kWeeks, 130,
             "Wochen", 22);
        wtaz.Add(std::move(inner));
        tab.Add(std::move(wtaz));

        ControlDesc waz = Group("Wochenarbeitszeit", 150, 104);
        ueberlaufCheck_ = Next();
        waz.Add(Ctl::Check(" Wochenarbeitszeit mit Überlauf berechnen").Id(ueberlaufCheck_).Name("?UEBERLAUF")
                    .Use(UseVar(ueberlauf_)).At(kPromptX, 162, 200, 10));
        waz.Add(Prompt("Wochenbeginn Montags um", kPromptX, 176));
        waz.Add(FieldEntry("WOCHENBEGINN", 0, Kind::Time, "@T7B", kFieldX, 176));
        wochenbeginn_ = controlOf_["WOCHENBEGINN#0"];
        waz.Add(Unit("Uhr", kUnitX, 176));
        Line(waz, "durchschnittliche Wochenarbeitszeit:", "WAZ", Kind::Decimal, kHours5, 190, "Stunden");
        Line(waz, "bei einem Durchrechnungszeitraum von:", "WAZ_AUSGLEICHSZEITRAUM", Kind::Whole, kWeeks, 204, "Wochen");
        Line(waz, "wöchentliche Mindestarbeitszeit:", "WAZ_MIN", Kind::Decimal, kHours5, 218, "Stunden");
        Line(waz, "wöchentliche Höchstarbeitszeit:", "WAZ_MAX", Kind::Decimal, kHours5, 232, "Stunden");
        tab.Add(std::move(waz));

        ControlDesc panel = Panel();
        Row(panel, 10, 34, true);
        Row(panel, 7, 72, false);
        Row(panel, 8, 150, false);
        Row(panel, 9, 176, true);
        tab.Add(std::move(panel));
        return tab;
    }

    ControlDesc TabRuhezeit()
    {
        ControlDesc tab = Tab("Ruhezeit");
        ControlDesc rz = Group("Mindestruhezeit zwischen Schichten", 24, 74);
        rzGroupOuter_ = rz.id;
        Line(rz, "Dauer (ohne Ausgleich):", "RZ_DAUER_OHNE_AUSGLEICH", Kind::Time, kTime, 36, "Std:Min");
        rzCheck_ = Next();
        rz.Add(Ctl::Check("Ausgleichszeitraum berücksichtigen").Id(rzCheck_).Name("?RZ_AUSGLEICH")
                   .Use(UseVar(rz_)).At(kPromptX, 52, 200, 10));
        ControlDesc inner = Group({}, 62, 34, kPromptX, kGroupW - 12);
        rzGroup_ = inner.id;
        Line(inner, "Dauer (mit Ausgleich):", "RZ_DAUER_MIT_AUSGLEICH", Kind::Time, kTime, 68, "Std:Min", 22);
        rzField_ = controlOf_["RZ_DAUER_MIT_AUSGLEICH#0"];
        Line(inner, "Ausgleichszeitraum:", "RZ_AUSGLEICHSZEITRAUM", Kind::Whole, kWeeks, 82, "Wochen", 22);
        rz.Add(std::move(inner));
        tab.Add(std::move(rz));

        ControlDesc anzeige = Group("Ruhezeiten im Plan anzeigen", 100, 30);
        Line(anzeige, "ab Ruhezeit:", "RZANZEIGE_MIN", Kind::Decimal, kHours6, 112, "Stunden");
        tab.Add(std::move(anzeige));

        ControlDesc pausen = Group("Pausen", 132, 88);
        for (int i = 1; i <= 4; ++i) {
            const int y = 130 + 14 * i;
            pausen.Add(Prompt("ab Arbeitszeit:", kPromptX, y, 62));
            pausen.Add(FieldEntry("AZ_AB", i, Kind::Time, kTime, 80, y));
            pauseAb_[static_cast<size_t>(i - 1)] = controlOf_["AZ_AB#" + std::to_string(i)];
            pausen.Add(Prompt("Pausen:", 124, y, 34));
            pausen.Add(FieldEntry("PAUSENLAENGE", i, Kind::Whole, "@n6~ min~B", 160, y, 44));
            pauseLaenge_[static_cast<size_t>(i - 1)] = controlOf_["PAUSENLAENGE#" + std::to_string(i)];
        }
        pausen.Add(Prompt("erste Pause nach:", kPromptX, 202, 62));
        pausen.Add(FieldEntry("ERSTE_PAUSE", 0, Kind::Time, kTime, 80, 202));
        pausen.Add(Prompt("Mindestpausenlänge:", 124, 202, 80));
        pausen.Add(FieldEntry("MINDESTPAUSENLAENGE", 0, Kind::Whole, "@n7~ min~", 206, 202, 44));
        tab.Add(std::move(pausen));

        ControlDesc nacht = Group("Nachtarbeit", 222, 56);
        nachtGroup_ = nacht.id;
        nacht.Add(Prompt("Anfang:", kPromptX, 234, 62));
        {
            const int id = Next();
            fields_[id] = Binding{"NACHTAZ_ANFANG", 0, 1};
            times_.insert(id);
            controlOf_["NACHTAZ_ANFANG#0"] = id;
            nacht.Add(Ctl::Entry(kTime).Id(id).Name("?NACHTAZ_ANFANG").Use(BindNachtanfang()).At(80, 234, kTimeW, 12));
        }
        nacht.Add(Prompt("Ende:", 124, 234, 34));
        {
            // Shown only: the end follows the start and the length; accepting it checks the length.
            const int id = Next();
            fields_[id] = Binding{"NACHTAZ_LAENGE", 0, 1};
            nacht.Add(Ctl::Entry(kTime).Id(id).Name("?NACHTAZ_ENDE").ReadOnly().Colors(kButtonFace)
                          .Use(UseVar([] { return PropValue(static_cast<long long>(Nachtende())); },
                                      [](const PropValue&) {}, true))
                          .At(160, 234, kTimeW, 12));
        }
        nacht.Add(Prompt("Mindestdauer größer als:", kPromptX, 248));
        nacht.Add(FieldEntry("NACHTAZ_DAUER_MIN", 0, Kind::Time, kTime, kFieldX, 248).Colors(kButtonFace));
        nacht.Add(Unit("Std:Min", kUnitX, 248));
        nacht.Add(Prompt("Mindestruhezeit nach Nachtarbeits(block):", kPromptX, 262, 180));
        nacht.Add(FieldEntry("RZNACHTARBEIT_MIN", 0, Kind::Decimal, kHours6, 198, 262));
        nacht.Add(Unit("Stunden", 238, 262));
        tab.Add(std::move(nacht));

        ControlDesc panel = Panel();
        Row(panel, 2, 34, true);
        Row(panel, 18, 100, false);
        Row(panel, 1, 132, false);
        Row(panel, 5, 222, true);
        tab.Add(std::move(panel));
        return tab;
    }

    ControlDesc TabWochenende()
    {
        ControlDesc tab = Tab("Wochenende");
        wochenendeTab_ = tabs_.back();
        std::vector<std::string> tage;
        for (const char* p = kTage;;) {
            const char* bar = std::strchr(p, '|');
            tage.emplace_back(p, bar ? static_cast<size_t>(bar - p) : std::strlen(p));
            if (!bar)
                break;
            p = bar + 1;
        }
        ControlDesc we = Group("Wochenendruhe", 24, 60);
        we.Add(Prompt("beginnt spätestens am:", kPromptX, 36, 100));
        we.Add(FieldDrop("WE_ANFANGSTAG", tage, Kind::Whole, 118, 36, 62));
        we.Add(Prompt("um:", 186, 36, 16));
        we.Add(FieldEntry("WE_ANFANGSZEIT", 0, Kind::Time, kTime, 204, 36));
        we.Add(Prompt("endet frühestens am:", kPromptX, 50, 100));
        we.Add(FieldDrop("WE_ENDTAG", tage, Kind::Whole, 118, 50, 62));
        we.Add(Prompt("um:", 186, 50, 16));
        we.Add(FieldEntry("WE_ENDZEIT", 0, Kind::Time, kTime, 204, 50));
        we.Add(Prompt("hat eine Mindestlänge von:", kPromptX, 64, 100));
        we.Add(FieldEntry("WE_DAUER_MIN", 0, Kind::Decimal, "@N6.`2", 118, 64, 40));
        we.Add(Unit("Stunden", 162, 64));
        tab.Add(std::move(we));

        ControlDesc so = Group("Freie Sonntage", 88, 30);
        Line(so, "min. freie Sonntage/Jahr:", "FREIE_SONNTAGE", Kind::Whole, kWeeks, 100);
        tab.Add(std::move(so));

        ControlDesc ruhe = Group("Sonntagsruhe und Ersatzruhetag", 122, 120);
        ruhe.Add(Prompt("Sonntagsruhe/Mindestruhezeit:", kPromptX, 134));
        ruhe.Add(FieldDrop("WRZ_DAUER_MIN", {"24", "35"}, Kind::Hours, kFieldX, 134, 34));
        ruhe.Add(Unit("Stunden", kUnitX, 134));
        ruhe.Add(Prompt("Ersatzruhetag/Mindestruhezeit:", kPromptX, 148));
        ruhe.Add(FieldDrop("ERSATZ_WRZ_DAUER_MIN", {"24", "35"}, Kind::Hours, kFieldX, 148, 34));
        ruhe.Add(Unit("Stunden", kUnitX, 148));
        sonntagCheck_ = Next();
        ruhe.Add(Ctl::Check(" \"Verschiebung\" des Sonntags erlauben").Id(sonntagCheck_).Name("?SONNTAGSVERSCHIEBUNG")
                     .Use(UseVar(sonntag_)).At(kPromptX, 164, 200, 10));
        ruhe.Add(Prompt("Ausgleichszeitraum Ersatzruhetag", kPromptX, 178));
        ruhe.Add(FieldEntry("SAZ_AUSGLEICHSZEITRAUM", 0, Kind::Whole, kWeeks, kFieldX, 178).Colors(kButtonFace));
        ruhe.Add(Unit("Wochen", kUnitX, 178));
        ControlDesc verschiebung = Group("Verschiebung des Sonntags:", 194, 30, kPromptX, kGroupW - 12);
        verschiebungGroup_ = verschiebung.id;
        verschiebung.Name("?VERSCHIEBUNG").Hidden();
        Line(verschiebung, "um höchstens:", "SAZ_VERSCHIEBUNG", Kind::Time, kTime, 206, "Std:Min", 22);
        ruhe.Add(std::move(verschiebung));
        tab.Add(std::move(ruhe));

        ControlDesc panel = Panel();
        Row(panel, 17, 34, true);
        Row(panel, 4, 88, false);
        Row(panel, 3, 122, false);
        tab.Add(std::move(panel));
        return tab;
    }

    // A weekday grid of one relevant-times constraint and its two counts. The grid's 48 controls
    // are numbered from f on: weekday d's option f + 5d with its four radios, then the three
    // entries of each profile.
    ControlDesc Zeiten(int which, const std::string& caption, const std::string& prefix, int y)
    {
        ControlDesc g = Group(caption, y, 122);
        const int f = Next();
        next_ = f + CZeitprofile::kControls - 1;
        profileFirst_[static_cast<size_t>(which)] = f;
        const char* const kurz[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
        const int gridX = 58, col = 14, rowY = y + 30, timesX = 168;
        g.Add(Ctl::Prompt("beginnt").Id(Next()).At(timesX, y + 8, 40, 10));
        g.Add(Ctl::Prompt("Mindest-").Id(Next()).At(timesX + 88, y + 8, 40, 10));
        g.Add(Ctl::Prompt("zwischen").Id(Next()).At(timesX, y + 17, 40, 10));
        g.Add(Ctl::Prompt("und").Id(Next()).At(timesX + 44, y + 17, 30, 10));
        g.Add(Ctl::Prompt("Dauer").Id(Next()).At(timesX + 88, y + 17, 40, 10));
        for (int d = 0; d < 7; ++d)
            g.Add(Ctl::Prompt(kurz[d]).Id(Next()).At(gridX + col * d + 1, y + 17, col - 1, 10));
        for (int p = 0; p < 4; ++p)
            g.Add(Ctl::Prompt("Profil " + std::to_string(p + 1)).Id(Next()).At(kPromptX, rowY + 14 * p + 1, 40, 10));
        for (int d = 0; d < 7; ++d) {
            ControlDesc option = Ctl::Option({}).Id(f + 5 * d).Name("?" + prefix + "_TAG" + std::to_string(d + 1))
                                     .At(gridX + col * d, rowY - 2, col - 1, 14 * 4);
            for (int p = 0; p < 4; ++p)
                option.Add(Ctl::Radio({}).Id(f + 5 * d + 1 + p).At(gridX + col * d + 2, rowY + 14 * p, 10, 10));
            g.Add(std::move(option));
        }
        const char* const namen[3] = {"ANFANGSZEIT_MIN", "ANFANGSZEIT_MAX", "DAUER_MIN"};
        for (int p = 0; p < 4; ++p)
            for (int c = 0; c < 3; ++c) {
                const int id = f + 35 + 3 * p + c;
                times_.insert(id);
                g.Add(Ctl::Entry(kTime).Id(id).Name("?" + prefix + "_" + namen[c] + "_P" + std::to_string(p + 1))
                          .At(timesX + 44 * c, rowY + 14 * p - 1, kTimeW, 12));
            }
        const int countsY = rowY + 14 * 4 + 4;
        const int first = next_ + 1;
        g.Add(Prompt("Höchstzahl einzelner Störungen/Woche:", kPromptX, countsY, 180));
        g.Add(FieldEntry(prefix + "_EINZELSTOERUNGEN", 0, Kind::Whole, "@n6", 198, countsY, 30));
        g.Add(Prompt("Höchstzahl kontinuierlicher Störungen:", kPromptX, countsY + 14, 180));
        g.Add(FieldEntry(prefix + "_KONT_STOERUNGEN", 0, Kind::Whole, "@n6", 198, countsY + 14, 30));
        counts_.push_back({first, next_});
        return g;
    }

    ControlDesc TabNachtschlaf()
    {
        ControlDesc tab = Tab("Nachtschlaf");
        tab.Add(Zeiten(0, "Nachtschlafzeiten", "NS", 24));
        ControlDesc panel = Panel();
        CombinedRow(panel, 11, "Nachtschlaf störende Schichten minimal", 34);
        Row(panel, 11, 34, true);
        Row(panel, 12, 72, true);
        tab.Add(std::move(panel));
        return tab;
    }

    ControlDesc TabFreizeit()
    {
        ControlDesc tab = Tab("Freizeit");
        tab.Add(Zeiten(1, "Zeiten für soziale Aktivitäten", "SZ", 24));
        tab.Add(Zeiten(2, "Zeiten für familiäre Aktivitäten", "FZ", 150));
        ControlDesc panel = Panel();
        CombinedRow(panel, 13, "Sozialaktivitäten störende Schichten minimal", 34);
        Row(panel, 13, 34, true);
        Row(panel, 14, 72, true);
        CombinedRow(panel, 15, "Familienaktivitäten störende Schichten minimal", 160);
        Row(panel, 15, 160, true);
        Row(panel, 16, 198, true);
        tab.Add(std::move(panel));
        return tab;
    }

    ControlDesc TabSchichten()
    {
        ControlDesc tab = Tab("Schichten");
        schichtenTab_ = tabs_.back();
        ControlDesc laenge = Group("Schichtlänge", 24, 44);
        Line(laenge, "Mindestlänge:", "SL_DAUER_MIN", Kind::Time, kTime, 36, "Std:Min");
        Line(laenge, "Höchstlänge:", "SL_DAUER_MAX", Kind::Time, kTime, 50, "Std:Min");
        tab.Add(std::move(laenge));
        ControlDesc wechsel = Group("Schichtwechsel", 72, 30);
        Line(wechsel, "Schichtübergabezeit:", "SCHICHTUEBERGABEZEIT", Kind::Time, kTime, 84, "Std:Min");
        tab.Add(std::move(wechsel));
        ControlDesc start = Group("Startpunkt für Schichttyp-Generierung", 106, 30);
        Line(start, "gewünschter Betriebstagsbeginn:", "BETRIEBSTAGSBEGINN", Kind::Time, kTime, 118, "Uhr");
        tab.Add(std::move(start));
        ControlDesc namen = Group("automatische Benennung generierter Schichttypen", 140, 44);
        namen.Add(Prompt("Frühschichtbeginn zwischen:", kPromptX, 152));
        namen.Add(FieldEntry("FS_VON", 0, Kind::Time, kTime, kFieldX, 152).Colors(kButtonFace));
        namen.Add(Prompt("und:", 190, 152, 18));
        namen.Add(FieldEntry("FS_BIS", 0, Kind::Time, kTime, 210, 152));
        namen.Add(Prompt("Tagschichtbeginn zwischen:", kPromptX, 166));
        namen.Add(FieldEntry("TS_VON", 0, Kind::Time, kTime, kFieldX, 166).Colors(kButtonFace));
        namen.Add(Prompt("und:", 190, 166, 18));
        namen.Add(FieldEntry("TS_BIS", 0, Kind::Time, kTime, 210, 166));
        tab.Add(std::move(namen));
        ControlDesc panel = Panel();
        Row(panel, 6, 34, false);
        tab.Add(std::move(panel));
        return tab;
    }

    ControlDesc TabBelastung()
    {
        ControlDesc tab = Tab("Belastung && Beanspruchung");
        belastungTab_ = tabs_.back();
        ControlDesc g = Group("Belastungseinschätzung", 24, 56);
        g.Add(Ctl::Prompt("Die Belastungen der Tätigkeiten im Tagesverlauf einschätzen:").Id(Next())
                  .At(kPromptX, 38, kGroupW - 12, 10));
        belastung_ = Next();
        g.Add(Ctl::Button("Belastungseinschätzung...").Id(belastung_).Name("?BELASTUNG").Icon("mini_belastung.ico")
                  .At(kPromptX, 54, 110, 16));
        tab.Add(std::move(g));
        ControlDesc panel = Panel();
        Row(panel, 19, 34, false);
        kr20_ = Next();
        ControlDesc kr20 = Ctl::Group().Id(kr20_).Name("?KRITERIUM20").At(kPanelX + 6, 60, kPanelW - 12, 22);
        kr20.Add(Ctl::Check("Belastungssituation für Schichtabfolge berücksichtigen").Id(Next())
                     .Name("?KR20_AKTIVIERT").At(kPanelX + 12, 67, kPanelW - 24, 10));
        panel.Add(std::move(kr20));
        tab.Add(std::move(panel));
        return tab;
    }

    ControlDesc TabOekonomie()
    {
        ControlDesc tab = Tab("Ökonomie");
        ControlDesc g = Group("Kosten", 24, 56);
        g.Add(Ctl::Prompt("Grundvergütung, Zuschläge, Zulagen und Dienste einstellen:").Id(Next())
                  .At(kPromptX, 38, kGroupW - 12, 10));
        kosten_ = Next();
        g.Add(Ctl::Button("Kosten-Einstellungen...").Id(kosten_).Name("?KOSTEN").Icon("mini_oeko.ico")
                  .At(kPromptX, 54, 110, 16));
        tab.Add(std::move(g));
        ControlDesc panel = Panel();
        Row(panel, 21, 34, false);
        Row(panel, 22, 60, true);
        tab.Add(std::move(panel));
        return tab;
    }

    // ---- opening -----------------------------------------------------------------------------

    int KriteriumCheck(long n) const
    {
        const auto it = rowGroup_.find(n);
        return it == rowGroup_.end() ? 0 : it->second + 1;
    }

    int CombinedPair(int control) const
    {
        for (size_t i = 0; i < combinedCheck_.size(); ++i)
            if (combinedCheck_[i] == control)
                return 11 + 2 * static_cast<int>(i);
        return 0;
    }

    void Prepare()
    {
        const char* const prefixes[3] = {"NS", "SZ", "FZ"};
        for (size_t i = 0; i < profiles_.size(); ++i) {
            auto& constraint = static_cast<CRahmenbedingungRelevanteZeiten&>(Rb(18 + static_cast<int>(i)));
            profiles_[i].Init(profileFirst_[i], constraint);
            profiles_[i].LoadFromGroup(ReadZeitprofilGruppe(RB, prefixes[i]));
            AddComponent(profiles_[i]);
        }

        if (mode_ & DEFINITIONS_GRENZWERTE) {
            for (int panel : panels_)
                ControlHide(panel);
            ControlUnhide(verschiebungGroup_);
        } else {
            size_t i = 0;
            for (long n : kKriterienReihenfolge) {
                rows_[i].Init(rowGroup_[n], static_cast<int>(n), mode_);
                // A row whose criterion has no relevance choice now shows none of it.
                if (rows_[i].OPTIONFEQ == 0 && ControlKindOf(rowGroup_[n] + 4) == ControlKind::Option)
                    ControlHide(rowGroup_[n] + 2, rowGroup_[n] + 4);
                AddComponent(rows_[i]);
                ++i;
            }
        }

        if (!(mode_ & DEFINITIONS_AZP)) {
            for (int control : {arbeitszeitTab_, wochenendeTab_, rzGroupOuter_, nachtGroup_})
                ControlDisable(control);
            for (long n : {2L, 5L, 18L, 22L})
                ControlDisable(rowGroup_[n]);
            ControlDisable(kr20_);
            for (long n = 11; n <= 16; ++n)
                ControlHide(rowGroup_[n]);
            for (const auto& [from, to] : counts_)
                ControlHide(from, to);
            for (size_t i = 0; i < combinedCheck_.size(); ++i) {
                const int first = 11 + 2 * static_cast<int>(i);
                combined_[i] = KRI.GetInt("AKTIVIERT", first) || KRI.GetInt("AKTIVIERT", first + 1) ? 1 : 0;
                ControlUnhide(combinedCheck_[i]);
            }
        }
        if (!(mode_ & DEFINITIONS_SCHICHTEN)) {
            for (int control : {schichtenTab_, belastungTab_})
                ControlDisable(control);
            for (long n : {1L, 3L, 4L, 7L, 8L, 18L, 21L})
                ControlDisable(rowGroup_[n]);
            for (int control : combinedCheck_)
                ControlDisable(control);
        }

        ueberlauf_ = RB.GetInt("WOCHENBEGINN") == 0 ? 1 : 0;
        wtaz_ = RB.GetInt("WTAZ_MIT_AUSGLEICH") != 0 ? 1 : 0;
        rz_ = RB.GetInt("RZ_DAUER_MIT_AUSGLEICH") != 0 ? 1 : 0;

        if (!(mode_ & DEFINITIONS_AZP))
            ControlSelect(schichtenTab_);
        if ((mode_ & DEFINITIONS_KRITERIUM) && KriteriumCheck(kriterium_) != 0) {
            const int check = KriteriumCheck(kriterium_);
            ControlSelect(TabOf(check));
            ControlSelect(check);
            PropertySet(check, Prop::Color, kMarked);
        }
    }

    // The field's screen text is not what its value shows: the user typed into it.
    static bool ScreenChanged(int control)
    {
        const std::string shown = PictureFormat(PropertyGet(control, Prop::Value), PropertyGet(control, Prop::Picture).Str());
        return PropertyGet(control, Prop::ScreenText).Str() != shown;
    }

    // The tab a control lies on.
    int TabOf(int control) const
    {
        const WindowModel* m = WindowFind(win_);
        for (const ControlModel* c = m ? m->Find(control) : nullptr; c; c = m->Find(c->parent))
            if (c->kind == ControlKind::Tab)
                return c->id;
        return 0;
    }

    // ---- accepting ---------------------------------------------------------------------------

    void Check(int control, const Binding& b, bool all)
    {
        if (b.field == "WE_ANFANGSTAG" || b.field == "WE_ENDTAG") {
            // Wednesday and Thursday cannot begin or end a weekend: "-" stands for Sunday.
            const int64_t day = RB.GetInt(b.field);
            if (day == 3 || day == 4)
                RB.SetInt(b.field, 7);
        }
        if (mode_ & DEFINITIONS_GRENZWERTE || b.owner == 0)
            return;
        const LimitLevel level = ShowSettingCheck(Rb(b.owner), {b.field, b.index});
        if (all)
            return;
        if (level == LIMIT_REFUSED) {
            WindowDisplay(win_);
            ControlSelect(control);
            return;
        }
        if (b.field == "AZ_AB" && b.index >= 3 && RB.GetInt("AZ_AB", b.index) != 0 &&
            RB.GetInt("PAUSENLAENGE", b.index) == 0) {
            const int length = pauseLaenge_[static_cast<size_t>(b.index - 1)];
            ControlEnable(length);
            ControlSelect(length);
        }
    }

    // A compensation check box: on takes the warning limit's value and checks it at once.
    void Compensation(const char* field, uint8_t on, int fieldControl)
    {
        RB.SetInt(field, on ? RBWARN.GetInt(field) : 0);
        Refresh();
        if (on) {
            Event e;
            e.code = EVENT_ACCEPTED;
            e.control = fieldControl;
            e.window = win_;
            EventPost(e);
        }
    }

    // The combined check box of KRn and KRn+1: on while neither is active activates the second,
    // off deactivates both.
    void Combined(int first, bool on)
    {
        if (on) {
            if (!KRI.GetInt("AKTIVIERT", first) && !KRI.GetInt("AKTIVIERT", first + 1))
                KRI.SetInt("AKTIVIERT", 1, first + 1);
        } else {
            KRI.SetInt("AKTIVIERT", 0, first);
            KRI.SetInt("AKTIVIERT", 0, first + 1);
        }
        Refresh();
    }

    const uint8_t mode_;
    const long kriterium_;
    IDefinitionspoolOwner* const worksheet_;
    std::array<std::unique_ptr<CRahmenbedingung>, kRahmenbedingungen> rb_;
    std::array<CKriteriumZeile, 21> rows_{};
    std::array<CZeitprofile, 3> profiles_{};
    std::array<int, 3> profileFirst_{};

    int next_ = 0;
    int sheet_ = 0, ok_ = 0, cancel_ = 0;
    std::vector<int> tabs_, panels_;
    int arbeitszeitTab_ = 0, wochenendeTab_ = 0, schichtenTab_ = 0, belastungTab_ = 0;
    std::map<int, Binding> fields_;               // control -> its RB field
    std::map<std::string, int> controlOf_;        // "FIELD#index" -> control
    std::set<int> times_;                         // the time entries
    std::map<long, int> rowGroup_;                // criterion -> its row's group
    std::vector<std::pair<int, int>> counts_;     // the disturbance counts of each grid
    std::array<int, 3> combinedCheck_{};
    std::array<uint8_t, 3> combined_{};
    std::array<int, 4> pauseAb_{}, pauseLaenge_{};
    int wtazCheck_ = 0, wtazField_ = 0, wtazGroup_ = 0;
    int rzCheck_ = 0, rzField_ = 0, rzGroup_ = 0, rzGroupOuter_ = 0, nachtGroup_ = 0;
    int ueberlaufCheck_ = 0, wochenbeginn_ = 0, sonntagCheck_ = 0, verschiebungGroup_ = 0;
    int belastung_ = 0, kosten_ = 0, kr20_ = 0;
    uint8_t wtaz_ = 0, rz_ = 0, ueberlauf_ = 0, sonntag_ = 0;
};

// Counts one opening attempt for as long as it lasts, refused or not.
class OpenAttempt {
public:
    OpenAttempt() { ++OpenCount(); }
    ~OpenAttempt() { --OpenCount(); }
    OpenAttempt(const OpenAttempt&) = delete;
    OpenAttempt& operator=(const OpenAttempt&) = delete;
};

} // namespace

int UpdateDefinitionsmanager(uint8_t mode, long kriterium, IDefinitionspoolOwner* worksheet)
{
    const bool busy = OpenCount() > 0;
    OpenAttempt attempt;
    int response = RESPONSE_CANCELLED;
    if (!busy) {
        DefinitionsWindow w(mode, kriterium, worksheet);
        response = w.RunWindow() == RESPONSE_COMPLETED ? RESPONSE_COMPLETED : RESPONSE_CANCELLED;
    }
    LastResponse = static_cast<uint8_t>(response);
    return response;
}

bool DefinitionsDialogBusy(bool tell)
{
    if (OpenCount() == 0)
        return false;
    if (tell) {
        MessageRequest m;
        m.text = "Der Definitionspool wird bereits in einem anderen Fenster bearbeitet.|"
                 "Bitte schließen Sie zuerst dieses Fenster.";
        m.caption = "Definitionspool wird bearbeitet";
        m.icon = MessageIcon::Exclamation;
        m.buttonBits = BUTTON_OK;
        MessageShow(m);
    }
    return true;
}

int DefinitionsDialogsOpen() { return OpenCount(); }

void InstallDefinitionsDialog()
{
    CDefinitionspool::SetDialogProcedure([](uint8_t mode, long kriterium, IDefinitionspoolOwner* worksheet) {
        return UpdateDefinitionsmanager(mode, kriterium, worksheet);
    });
}
