#include "worksheets/TabellenInspektor.h"

#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"
#include "worksheets/Arbeitsblatt.h"

#include <algorithm>
#include <memory>

// ---- the lists ----------------------------------------------------------------------------------

namespace {

// A week's column holds values up to "9.999,9" (the hours of a shift type in a large plan, about
// 25 units at the list's font; the differences of counts stay far below) besides its margins and
// indent; four weeks still fit the list beside its scroll bar.
constexpr int kWeekWidth = 30;

} // namespace

std::string TabellenListFormat(int32_t weeks)
{
    const int32_t w = std::clamp<int32_t>(weeks, 1, 12);
    const std::string width = std::to_string(kWeekWidth);
    std::string f = "35L(2)|F~Schicht~@s20@[";
    for (int32_t i = 1; i <= w; ++i)
        f += width + "R(2)|~" + std::to_string(i) + "~C@N-7.`1B@";
    f += "26R(2)|~~C@N-7.`1B@";
    f += "](" + std::to_string(4 * kWeekWidth) + ")~Woche~";
    if (w > 4)
        f += "S(" + std::to_string((w - 4) * kWeekWidth) + ")";
    f += "24L@S1@";
    return f;
}

const Queue<QWochenwerte>& CInfoVLB::Rows() const
{
    switch (LIST) {
    case TABINSP_SBP_SCHICHTEN: return STAND.SBP.SCHICHTEINSAETZE;
    case TABINSP_SBP_STUNDEN: return STAND.SBP.STDPROSCHICHT;
    case TABINSP_AZP_SCHICHTEN: return STAND.AZP.SCHICHTEINSAETZE;
    default: return STAND.AZP.STDPROSCHICHT;
    }
}

int32_t CInfoVLB::RowCount() { return int32_t(QueueRecords(Rows())); }

std::string CInfoVLB::CellText(int32_t row, int16_t column)
{
    const QWochenwerte* r = QueueGet(Rows(), size_t(std::max<int32_t>(row, 0)));
    if (!r)
        return {};
    if (column == 1) {
        // "ø" marks the average of one person.
        if (LIST == TABINSP_AZP_STUNDEN && !STAND.GESAMTARBEITSZEIT)
            return "ø" + r->BEZEICHNUNG;
        return r->BEZEICHNUNG;
    }
    const int32_t weeks = std::clamp<int32_t>(STAND.BEZUGSRAHMEN, 1, 12);
    if (column < 2 || column > weeks + 1)
        return {};
    const size_t week = size_t(column - 2);
    Decimal value = r->ANZAHL[week];
    if (LIST == TABINSP_AZP_SCHICHTEN && STAND.DIFFERENZANZEIGE) {
        // The same shift type's row of the shift demand plan, wherever it stands there.
        for (const QWochenwerte& s : STAND.SBP.SCHICHTEINSAETZE)
            if (s.SCHICHTID == r->SCHICHTID && s.SCHICHTID != 0) {
                value = value - s.ANZAHL[week];
                break;
            }
    } else if (LIST == TABINSP_AZP_STUNDEN && !STAND.GESAMTARBEITSZEIT) {
        value = Decimal::FromRatio(value.Cents(), int64_t(STAND.AZP.PLANBELEGSCHAFT) * Decimal::kScale);
    }
    return value.Cents() == 0 ? std::string() : value.ToString();
}

// ---- the inspector --------------------------------------------------------------------------------

int CTabellenInspektor::Run()
{
    return StartThread(TabellenInspektor, 50000, "TabellenInspektor");
}

void CTabellenInspektor::Init(FwWindow* windowManager, int window)
{
    CVisual::Init(windowManager, window);
    // The worksheet window checks its menu item.
    if (ARBEITSBLATT && ARBEITSBLATT->IsActive())
        ARBEITSBLATT->PostToOwner(EventRefresh);
}

void CTabellenInspektor::Reset()
{
    CVisual::Reset();
    if (ARBEITSBLATT && ARBEITSBLATT->IsActive())
        ARBEITSBLATT->PostToOwner(EventRefresh);
}

void CTabellenInspektor::ShowPage(int page)
{
    if (page == TABINSP_AKB || page == TABINSP_SBP || page == TABINSP_AZP)
        PAGE = page;
}

int CTabellenInspektor::TakePage()
{
    const int page = PAGE;
    PAGE = 0;
    return page;
}

// ---- the window ---------------------------------------------------------------------------------

namespace {

constexpr int kWidth = 236;
constexpr int kHeight = 372;
constexpr int kLine = 11;

// Value fields.
enum {
    AKB_BSPROWOCHE = 2101, AKB_BMSGESAMT, AKB_BMSPROWOCHE, AKB_BELEGSCHAFT,
    SBP_BMSGESAMT = 3101, SBP_REINEAZ, SBP_DIFF, SBP_BMSPROWOCHE,
    AZP_ZYKLUS = 4101, AZP_PERSONAL, AZP_REINEAZ, AZP_DIFF, AZP_BMSPROWOCHE, AZP_WAZ,
    BZR_VALUE = 5001,
};
// Labels are numbered from here, so that no automatic number meets a fixed one.
constexpr int kFirstLabel = 6001;

class TabellenInspektorWindow : public InspektorWindow {
public:
    explicit TabellenInspektorWindow(CTabellenInspektor& inspector)
        : InspektorWindow(inspector, "TabellenInspektor"), TI(inspector)
    {
        KeepNoGeometry();
    }

    int Setup() override
    {
        WindowDesc d = Describe("Tabellen-Inspektor", kWidth, kHeight);
        d.name = "P31$WINDOW";
        // At the right edge of the frame's area (the renderer keeps a window inside it), beside
        // the worksheet rather than over it.
        d.x = 10000;
        const int sheetTop = kInspektorCaptionHeight + 2;
        const int sheetHeight = kHeight - sheetTop - 18;
        ControlDesc sheet = Ctl::Sheet().Id(TABINSP_SHEET).At(2, sheetTop, kWidth - 4, sheetHeight);

        int y = 0;
        int label = kFirstLabel;
        auto prompt = [&](const std::string& text) { return Ctl::Prompt(text).Id(label++); };
        auto row = [&](ControlDesc& tab, const char* text, int id, const char* unit) {
            // A label longer than its column takes two lines; its value stands beside the second.
            const int lines = TextWidth(text) > 116 ? 2 : 1;
            tab.Add(prompt(text).At(8, y, 118, lines * kLine - 1));
            y += (lines - 1) * kLine;
            tab.Add(Ctl::String("").Id(id).At(128, y, 52, kLine - 1).Font("Tahoma", 8, 0));
            if (*unit)
                tab.Add(prompt(unit).At(184, y, 44, kLine - 1));
            y += kLine;
        };
        auto heading = [&](ControlDesc& tab, const char* text) {
            tab.Add(prompt(text).At(8, y, 200, kLine - 1).Font("Tahoma", 8, 700));
            y += kLine;
        };
        const int listWidth = kWidth - 20;
        // The two lists of a tab share the room down to the sheet's bottom, so that the rows of a
        // few shift types show whole.
        const int sheetBottom = sheetTop + sheetHeight;
        auto listHeight = [&](int top) { return (sheetBottom - 6 - top - 4 - kLine) / 2; };

        ControlDesc akb = Ctl::Tab("AKB").Id(TABINSP_AKB);
        y = sheetTop + 20;
        heading(akb, "Betriebszeit:");
        row(akb, "ø pro Woche/BZR:", AKB_BSPROWOCHE, "Stunden");
        y += 4;
        heading(akb, "Arbeitsstunden (soll):");
        row(akb, "gesamt:", AKB_BMSGESAMT, "Stunden");
        row(akb, "ø pro Woche/BZR:", AKB_BMSPROWOCHE, "Stunden");
        y += 4;
        row(akb, "ø Belegschaft während der Betriebszeit:", AKB_BELEGSCHAFT, "Personen");

        ControlDesc sbp = Ctl::Tab("SBP").Id(TABINSP_SBP);
        y = sheetTop + 20;
        sbp.Add(prompt("Personen/Schichtgruppe:").At(8, y + 1, 116, kLine - 1));
        sbp.Add(Ctl::Spin("@n3", 1, 255).Id(TABINSP_PERSONEN).Name("?PERSONEN")
                    .Tip("Anzahl Personen in einer Schichtgruppe").At(128, y, 40, kLine + 1).Use(STAND.PERSONEN));
        y += kLine + 5;
        heading(sbp, "Arbeitsstunden (ist):");
        row(sbp, "gesamt:", SBP_BMSGESAMT, "Stunden");
        row(sbp, "ohne Pausen:", SBP_REINEAZ, "Stunden");
        row(sbp, "Differenz zu AKB:", SBP_DIFF, "Stunden");
        row(sbp, "ø pro Woche/BZR:", SBP_BMSPROWOCHE, "Stunden");
        y += 4;
        sbp.Add(prompt("Anzahl Schichten:").At(8, y, 200, kLine - 1));
        y += kLine;
        const int sbpLists = listHeight(y);
        sbp.Add(Ctl::List(TabellenListFormat(1)).Id(TABINSP_SBP_SCHICHTEN).At(8, y, listWidth, sbpLists));
        y += sbpLists + 4;
        sbp.Add(prompt("Gesamtarbeitsstunden/Schicht:").At(8, y, 200, kLine - 1));
        y += kLine;
        sbp.Add(Ctl::List(TabellenListFormat(1)).Id(TABINSP_SBP_STUNDEN).At(8, y, listWidth, sbpLists));

        ControlDesc azp = Ctl::Tab("AZP").Id(TABINSP_AZP);
        y = sheetTop + 20;
        azp.Add(prompt("Anzahl Schichtgruppen:").At(8, y + 1, 116, kLine - 1));
        azp.Add(Ctl::Spin("@n3", 1, 255).Id(TABINSP_GRUPPEN).Name("?GRUPPEN")
                    .Tip("Anzahl Schichtgruppen\r\nZykluslänge AZP: Anzahl Schichtgruppen * Anzahl Wochen des "
                         "Bezugsrahmens")
                    .At(128, y, 40, kLine + 1).Use(STAND.GRUPPEN));
        y += kLine + 5;
        row(azp, "Zykluslänge:", AZP_ZYKLUS, "Wochen");
        row(azp, "verplantes Personal:", AZP_PERSONAL, "Personen");
        heading(azp, "Arbeitsstunden (ist):");
        row(azp, "gesamt:", AZP_REINEAZ, "Stunden");
        row(azp, "Differenz zu SBP:", AZP_DIFF, "Stunden");
        row(azp, "ø pro Woche/BZR:", AZP_BMSPROWOCHE, "Stunden");
        row(azp, "øWAZ:", AZP_WAZ, "Stunden");
        y += 2;
        azp.Add(prompt("Anzahl Schichten:").At(8, y, 100, kLine - 1));
        azp.Add(Ctl::Check("Differenzanzeige").Id(TABINSP_DIFFERENZANZEIGE).Name("?DIFFERENZANZEIGE")
                    .Tip("Bei aktivierter Anzeige wird für jede Bezugsrahmenwoche \r\ndie Differenz zwischen geplanten "
                         "Schichten im SBP und \r\nder Anzahl von verplanten Schichten im AZP angezeigt.\r\n\r\nBei "
                         "nicht-aktivierter Anzeige wird für jede Bezugsrahmenwoche \r\ndie Anzahl der verplanten "
                         "Schichten im AZP angezeigt.")
                    .At(128, y - 1, 96, kLine).Use(STAND.DIFFERENZANZEIGE));
        y += kLine;
        const int azpLists = listHeight(y);
        azp.Add(Ctl::List(TabellenListFormat(1)).Id(TABINSP_AZP_SCHICHTEN).At(8, y, listWidth, azpLists));
        y += azpLists + 4;
        azp.Add(prompt("Stunden/Schicht ").At(8, y, 100, kLine - 1));
        azp.Add(Ctl::Check("Gesamtarbeitsstd.").Id(TABINSP_GESAMTARBEITSZEIT).Name("?GESAMTARBEITSZEIT")
                    .Tip("Bei aktivierter Anzeige werden die Gesamtarbeitsstunden (Ist) \r\nfür jede "
                         "Bezugsrahmenwoche pro Schicht angezeigt.\r\n\r\nBei nicht-aktivierter Anzeige werden die "
                         "durchschnittlichen Arbeitsstunden \r\nfür jede Bezugsrahmenwoche pro Schicht angezeigt "
                         "\r\n(Gesamtarbeitsstunden / Anzahl Personen pro Schichtgruppe / Anzahl Schichtgruppen).")
                    .At(128, y - 1, 96, kLine).Use(STAND.GESAMTARBEITSZEIT));
        y += kLine;
        azp.Add(Ctl::List(TabellenListFormat(1)).Id(TABINSP_AZP_STUNDEN).At(8, y, listWidth, azpLists));

        sheet.Add(akb).Add(sbp).Add(azp);
        d.Add(sheet);
        const int bottom = sheetTop + sheetHeight + 3;
        d.Add(prompt("Bezugsrahmen (BZR):").At(8, bottom, 90, kLine - 1));
        d.Add(Ctl::String("").Id(BZR_VALUE).At(100, bottom, 24, kLine - 1));
        d.Add(prompt("Wochen").At(128, bottom, 40, kLine - 1));
        SetBody(TABINSP_SHEET);
        return OpenInspector(d);
    }

    void AfterOpen() override
    {
        INSPEKTOR.Init(this, Win());
        for (int i = 0; i < 4; ++i) {
            LISTS[i] = std::make_unique<CInfoVLB>(STAND, kLists[i]);
            LISTS[i]->Init(kLists[i], {}, false, true);
        }
        Refresh(true);
    }

    int OnAccepted() override
    {
        CArbeitsblatt* sheet = INSPEKTOR.GetArbeitsblatt();
        switch (EventAccepted()) {
        case TABINSP_PERSONEN:
            if (sheet && STAND.PERSONEN != sheet->GetSchichtgruppenstaerke()) {
                sheet->SetSchichtgruppenstaerke(STAND.PERSONEN, false);
                // No undo step holds it: only saving keeps it, so closing must ask.
                sheet->FileManager().SetChanged(true);
            }
            Refresh(true);
            return LEVEL_BENIGN;
        case TABINSP_GRUPPEN:
            if (sheet && STAND.GRUPPEN != sheet->GetAnzahlGruppen())
                sheet->SetGroupCountStep(STAND.GRUPPEN, true);
            Refresh(true);
            return LEVEL_BENIGN;
        case TABINSP_GESAMTARBEITSZEIT:
        case TABINSP_DIFFERENZANZEIGE:
            for (auto& list : LISTS)
                if (list)
                    list->Redraw();
            return LEVEL_BENIGN;
        default:
            return InspektorWindow::OnAccepted();
        }
    }

    void RefreshContent() override
    {
        CArbeitsblatt* sheet = INSPEKTOR.GetArbeitsblatt();
        if (!sheet)
            return;
        if (const int page = TI.TakePage(); page != 0)
            PropertySet(TABINSP_SHEET, Prop::Selected, page / 1000 - 1);
        STAND.PERSONEN = sheet->GetSchichtgruppenstaerke();
        STAND.GRUPPEN = int32_t(sheet->GetAnzahlGruppen());
        STAND.BEZUGSRAHMEN = sheet->GetBezugsrahmen();
        sheet->ComputeAKBInfo(STAND.AKB);
        sheet->ComputeSBPInfo(STAND.SBP);
        sheet->ComputeAZPInfo(STAND.AZP);
        STAND.BMSDIFFSBP = STAND.SBP.BMSGESAMT - STAND.AKB.BMSGESAMT;
        STAND.BMSDIFFAZP = STAND.AZP.BMSGESAMT_REINEAZ - STAND.SBP.BMSGESAMT_REINEAZ;

        const std::pair<int, Decimal> hours[] = {
            {AKB_BSPROWOCHE, STAND.AKB.BSPROWOCHE}, {AKB_BMSGESAMT, STAND.AKB.BMSGESAMT},
            {AKB_BMSPROWOCHE, STAND.AKB.BMSPROWOCHE}, {AKB_BELEGSCHAFT, STAND.AKB.BELEGSCHAFT},
            {SBP_BMSGESAMT, STAND.SBP.BMSGESAMT}, {SBP_REINEAZ, STAND.SBP.BMSGESAMT_REINEAZ},
            {SBP_BMSPROWOCHE, STAND.SBP.BMSPROWOCHE}, {AZP_REINEAZ, STAND.AZP.BMSGESAMT_REINEAZ},
            {AZP_BMSPROWOCHE, STAND.AZP.BMSPROWOCHE}, {AZP_WAZ, STAND.AZP.WAZ},
        };
        for (const auto& [id, value] : hours)
            PropertySet(id, Prop::Text, FormatPicture(value, "@N8.`2B"));
        PropertySet(SBP_DIFF, Prop::Text, FormatPicture(STAND.BMSDIFFSBP, "@N-8.`2"));
        PropertySet(AZP_DIFF, Prop::Text, FormatPicture(STAND.BMSDIFFAZP, "@N-8.`2"));
        PropertySet(AZP_ZYKLUS, Prop::Text, FormatPicture(static_cast<long long>(STAND.AZP.ZYKLUSLAENGE), "@N8B"));
        PropertySet(AZP_PERSONAL, Prop::Text,
                    FormatPicture(static_cast<long long>(STAND.AZP.PLANBELEGSCHAFT), "@N8B"));
        PropertySet(BZR_VALUE, Prop::Text, FormatPicture(static_cast<long long>(STAND.BEZUGSRAHMEN), "@N14B"));
        const std::string format = TabellenListFormat(STAND.BEZUGSRAHMEN);
        for (auto& list : LISTS) {
            if (!list)
                continue;
            if (PropertyGet(list->FEQ, Prop::Format).Str() != format)
                PropertySet(list->FEQ, Prop::Format, format);
            list->Redraw();
        }
    }

    int Teardown() override
    {
        for (auto& list : LISTS)
            if (list)
                list->Release();
        return InspektorWindow::Teardown();
    }

private:
    static constexpr int kLists[4] = {TABINSP_SBP_SCHICHTEN, TABINSP_SBP_STUNDEN, TABINSP_AZP_SCHICHTEN,
                                      TABINSP_AZP_STUNDEN};
    CTabellenInspektor& TI;
    TabellenStand STAND;
    std::unique_ptr<CInfoVLB> LISTS[4];
};

} // namespace

void TabellenInspektor(const std::string& parameter)
{
    auto* inspector = dynamic_cast<CTabellenInspektor*>(CVisual::FromParameter(parameter));
    if (!inspector)
        return;
    TabellenInspektorWindow w(*inspector);
    w.RunWindow();
}
