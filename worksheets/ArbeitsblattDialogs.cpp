#include "worksheets/ArbeitsblattDialogs.h"

#include <string>

#include "core/Frame.h"
#include "core/TimeHelpers.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

constexpr int kWidth = 250;
constexpr int kBandHeight = 52;

// Controls every dialog here numbers alike: the white band with its heading and description.
enum BandControl { BAND_BOX = 1, BAND_HEADING, BAND_TEXT };

// The frame of all four dialogs: the band at the top, one row of fields, a separator and the buttons.
// Derived dialogs describe their fields; the caller's value is written back by the caller of
// RunDialog, and only when the window completed.
class EinstellungDialog : public FwWindow {
public:
    struct Texts {
        const char* procedure;
        const char* window;       // the description's name
        const char* title;
        const char* icon;
        const char* heading;
        const char* description;
    };

    explicit EinstellungDialog(const Texts& texts) : FwWindow(texts.procedure), texts_(texts) {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        PendingRequest = 0;
        LastResponse = RESPONSE_NONE;
        WindowDesc d;
        d.name = texts_.window;
        d.title = texts_.title;
        d.icon = texts_.icon;
        d.fontName = "Tahoma";
        d.w = kWidth;
        d.Add(Ctl::Box(0xFFFFFF).Id(BAND_BOX).At(0, 0, kWidth, kBandHeight));
        d.Add(Ctl::Prompt(texts_.heading).Id(BAND_HEADING).Font("Tahoma", 8, 700).Colors(0xFFFFFF).At(10, 6, 190, 10));
        d.Add(Ctl::Prompt(texts_.description).Id(BAND_TEXT).Colors(0xFFFFFF).At(18, 18, 186, 32));
        int y = DescribeFields(d);
        // OK, the separator and "Abbrechen" follow the fields in this order.
        okControl_ = static_cast<int>(d.controls.size()) + 1;
        d.Add(Ctl::Button("OK").Name("?OK").Default().At(kWidth - 124, y + 10, 56, 16));
        d.Add(Ctl::Panel().At(0, y + 2, kWidth, 2));
        d.Add(Ctl::Button("Abbrechen").Name("?Abbrechen").At(kWidth - 62, y + 10, 56, 16));
        d.h = y + 32;
        CreateWindow(d);
        OpenWindow();
        SetOkControl(okControl_);
        SetCancelControl(okControl_ + 2);
        RegisterHotKeys();
        Refresh();
        return level;
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        FwWindow::Refresh(force);
    }

    int OnWindowEvent() override
    {
        if (IsPassiveEventCode(EventCurrent()))
            Refresh();
        return FwWindow::OnWindowEvent();
    }

    // Runs the window and leaves its response for the caller. True when it completed.
    bool RunDialog()
    {
        RunWindow();
        LastResponse = static_cast<uint8_t>(Response);
        return Response == RESPONSE_COMPLETED;
    }

protected:
    // Adds the controls between the band and the buttons; returns the y below them.
    virtual int DescribeFields(WindowDesc& d) = 0;

private:
    Texts texts_;
    int okControl_ = 0;
};

// The three dialogs that edit one whole number in a spin field.
class ZahlDialog : public EinstellungDialog {
public:
    struct Layout {
        Texts texts;
        const char* note;         // a second description under the band, or nullptr
        const char* image;        // the picture right of the band, or nullptr
        const char* prompt;
        const char* field;        // the field's name
        const char* picture;
        int low, high;
        const char* unit;         // or nullptr
    };

    ZahlDialog(const Layout& layout, int64_t start) : EinstellungDialog(layout.texts), layout_(layout), value(start) {}

private:
    Layout layout_;

public:
    int64_t value;

protected:
    int DescribeFields(WindowDesc& d) override
    {
        int y = kBandHeight + 8;
        if (layout_.note) {
            d.Add(Ctl::Prompt(layout_.note).At(10, y, kWidth - 20, 20));
            y += 24;
        }
        if (layout_.image)
            d.Add(Ctl::Image(layout_.image).At(kWidth - 42, 10, 32, 32));
        d.Add(Ctl::Prompt(layout_.prompt).At(10, y + 2, 90, 10));
        d.Add(Ctl::Spin(layout_.picture, layout_.low, layout_.high)
                  .Name(std::string("?") + layout_.field)
                  .Use(UseVar(value))
                  .At(104, y, 50, 13));
        if (layout_.unit)
            d.Add(Ctl::Prompt(layout_.unit).At(160, y + 2, 80, 10));
        return y + 20;
    }
};

const ZahlDialog::Layout kBezugsrahmen{
    {"UpdateBezugsrahmen", "P19$WINDOW", "Bezugsrahmen ändern", "bezugsrahmen.ico", "Bezugsrahmen",
     "Der Bezugsrahmen (in Wochen angegeben) definiert die Periodizität des Arbeitskräftebedarfs, sowie die "
     "Zykluslänge des Arbeitszeitplans."},
    "Nach Änderung des Bezugsrahmens können die letzten Bearbeitungsschritte nicht mehr rückgängig gemacht werden.",
    "bezugsrahmen.ico", "Bezugsrahmen:", "BEZUGSRAHMEN", "@n-14", 1, 8, "Wochen"};

const ZahlDialog::Layout kAnzahlSchichtgruppen{
    {"UpdateAnzahlSchichtgruppen", "P25$WINDOW", "Anzahl Schichtgruppen ändern", "bezugsrahmen.ico",
     "Anzahl Schichtgruppen",
     "Die Anzahl der Schichtgruppen definiert zusammen mit der Länge des Bezugsrahmens die Zykluslänge des "
     "Arbeitszeitplans, sowie die durchschnittliche Wochenarbeitszeit."},
    nullptr, "schichtgruppen.ico", "Anzahl Gruppen:", "ANZAHLGRUPPEN", "@n-14", 1, 255, "Schichtgruppen"};

const ZahlDialog::Layout kSchichtgruppenstaerke{
    {"UpdateSchichtgruppenstaerke", "P42$WINDOW", "Schichtgruppenstärke ändern", "schichtgruppen.ico",
     "Schichtgruppenstärke",
     "Die Anzahl der Personen je Schichtgruppen definiert die Gesamtzahl an Arbeitskräften, die für die "
     "Abdeckung des Arbeitskräftebedarfs zur Verfügung steht."},
    nullptr, nullptr, "Personen/Schichtgruppe:", "BELEGSCHAFTSSTAERKE", "@n6", 1, 255, nullptr};

// ---- Display period ------------------------------------------------------------------------------

enum ZeitraumControl {
    ZR_IMAGE = 4, ZR_VON_PROMPT, ZR_VON, ZR_BIS_PROMPT, ZR_BIS,
};

// The Monday and the Sunday of a date's week; no date (0) stays none.
int32_t WeekStart(int32_t date) { return date == 0 ? 0 : date - WeekdayOfDate(date) + 1; }
int32_t WeekEnd(int32_t date) { return date == 0 ? 0 : date + 7 - WeekdayOfDate(date); }

class ZeitraumDialog : public EinstellungDialog {
public:
    ZeitraumDialog(int32_t start, int32_t end)
        : EinstellungDialog({"UpdateZeitraum", "P84$WINDOW", "Darstellungszeitraum ändern", "bezugsrahmen.ico",
                             "Darstellungszeitraum",
                             "Mit der Eingabe des Darstellungszeitraums können Sie die Arbeitszeittabelle auf einen "
                             "Ausschnitt einschränken. Die Bewertungsfunktionen beziehen sich dann nur auf diesen "
                             "Ausschnitt."}),
          from(start), to(end)
    {
    }

    int32_t from, to;

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case ZR_VON:
            from = WeekStart(from);
            ControlDisplay(ZR_VON);
            return LEVEL_BENIGN;
        case ZR_BIS:
            to = WeekEnd(to);
            ControlDisplay(ZR_BIS);
            return LEVEL_BENIGN;
        default:
            return EinstellungDialog::OnAccepted();
        }
    }

    // A period without a date or with its end before its start would leave the flex worksheet's
    // plan without a day: the user is told and the window stays open.
    int OnCompleted() override
    {
        const char* fault = nullptr;
        int field = ZR_VON;
        if (from == 0 || to == 0) {
            fault = "Bitte geben Sie Anfangs- und Enddatum des Darstellungszeitraums an.";
            field = from == 0 ? ZR_VON : ZR_BIS;
        } else if (to < from) {
            fault = "Das Enddatum des Darstellungszeitraums liegt vor dem Anfangsdatum.";
            field = ZR_BIS;
        }
        if (!fault)
            return EinstellungDialog::OnCompleted();
        MessageRequest m;
        m.text = fault;
        m.caption = "Darstellungszeitraum ändern";
        m.icon = MessageIcon::Exclamation;
        MessageShow(m);
        ControlSelect(field);
        return LEVEL_BENIGN;
    }

protected:
    int DescribeFields(WindowDesc& d) override
    {
        int y = kBandHeight + 8;
        d.Add(Ctl::Image("schichtgruppen.ico").Id(ZR_IMAGE).At(kWidth - 42, 10, 32, 32));
        d.Add(Ctl::Prompt("Datum von:").Id(ZR_VON_PROMPT).At(10, y + 2, 70, 10));
        d.Add(Ctl::Entry("@D17").Id(ZR_VON).Name("?DATUMVON").Use(UseVar(from)).At(84, y, 70, 12));
        y += 16;
        d.Add(Ctl::Prompt("Datum bis:").Id(ZR_BIS_PROMPT).At(10, y + 2, 70, 10));
        d.Add(Ctl::Entry("@D17").Id(ZR_BIS).Name("?DATUMBIS").Use(UseVar(to)).At(84, y, 70, 12));
        return y + 20;
    }
};

} // namespace

void UpdateBezugsrahmen(int32_t& weeks)
{
    ZahlDialog w(kBezugsrahmen, weeks);
    if (w.RunDialog())
        weeks = static_cast<int32_t>(w.value);
}

void UpdateAnzahlSchichtgruppen(int32_t& groups)
{
    ZahlDialog w(kAnzahlSchichtgruppen, groups);
    if (w.RunDialog())
        groups = static_cast<int32_t>(w.value);
}

void UpdateSchichtgruppenstaerke(int32_t& persons)
{
    ZahlDialog w(kSchichtgruppenstaerke, static_cast<uint16_t>(persons));
    if (w.RunDialog())
        persons = static_cast<uint16_t>(w.value);
}

void UpdateZeitraum(int32_t& from, int32_t& to)
{
    ZeitraumDialog w(from, to);
    if (w.RunDialog()) {
        from = w.from;
        to = w.to;
    }
}
