#include "worksheets/BewertungInspektor.h"

#include "assessment/AZPBewertung.h"
#include "assessment/Definitionspool.h"
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/KriterienWochenende.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/SBPBewertung.h"
#include "core/Projektmanager.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"
#include "plans/AZPInfo.h"
#include "worksheets/Arbeitsblatt.h"

#include <cmath>

namespace {
struct Gruppe {
    const char* name;
    std::vector<long> criteria;
};
const Gruppe kGruppen[6] = {
    {"Arbeitszeit", {6, 7, 8, 9, 10}}, {"Ruhezeit", {1, 2, 5, 18}},    {"Wochenende", {17, 3, 4}},
    {"Nachtschlaf", {11, 12}},         {"Freizeit", {13, 14, 15, 16}}, {"Belastung & Beanspruchung", {19}},
};

CKriterium* Find(const std::array<std::unique_ptr<CKriterienGruppe>, 6>& groups, long number)
{
    for (const auto& g : groups)
        if (CKriterium* k = g->FindKriterium(number))
            return k;
    return nullptr;
}
} // namespace

CBewertungInspektor::CBewertungInspektor() : CInspektor(INSPEKTOR_BEWERTUNG)
{
    for (size_t i = 0; i < GROUPS.size(); ++i) {
        GROUPS[i] = std::make_unique<CKriterienGruppe>();
        GROUPS[i]->SetName(kGruppen[i].name);
    }
}

CBewertungInspektor::~CBewertungInspektor() = default;

void CBewertungInspektor::FillGroups(CArbeitsblatt& sheet)
{
    ARBEITSBLATT = &sheet;
    for (size_t i = 0; i < GROUPS.size(); ++i) {
        GROUPS[i]->Release();
        for (long n : kGruppen[i].criteria)
            GROUPS[i]->Add(sheet.GetDefinitionspool().GetKriterium(n));
    }
}

int CBewertungInspektor::Run() { return StartThread(BewertungInspektor, 50000, "BewertungInspektor"); }

void CBewertungInspektor::Init(FwWindow* windowManager, int window)
{
    CVisual::Init(windowManager, window);
    if (ARBEITSBLATT) {
        ARBEITSBLATT->CreateEvaluations();
        if (ARBEITSBLATT->IsActive())
            ARBEITSBLATT->PostToOwner(EventRefresh);
    }
    Notify();
}

void CBewertungInspektor::Reset()
{
    CVisual::Reset();
    if (ARBEITSBLATT) {
        ARBEITSBLATT->DisposeEvaluations();
        if (ARBEITSBLATT->IsActive())
            ARBEITSBLATT->PostToOwner(EventRefresh);
    }
}

BewertungZusammenfassung CBewertungInspektor::Summarize(const CAZPBewertung* plan, const CSBPBewertung* shifts,
                                                        long flexDays) const
{
    BewertungZusammenfassung s;
    if (plan) {
        if (const CVerstossliste* list = plan->GetVerstossliste(1))
            for (const VERSTOSSINFO& r : list->VERSTOESSE)
                if (r.KRITERIUM && r.KRITERIUM->NUMMER == 4) {
                    s.FREIESONNTAGE = true;
                    s.SONNTAGE = r;
                    break;
                }
        // The figure a year, scaled to the flex plan's days - the record itself stays as it is.
        if (s.FREIESONNTAGE && flexDays > 0)
            s.SONNTAGE.INFO = uint32_t(std::llround(double(s.SONNTAGE.INFO) * double(flexDays) / 365.0));
    }
    s.WARNUNG = shifts && shifts->CountViolatingShiftTypes() > 0;
    const auto* kr2 = dynamic_cast<const CKriteriumRuhezeit*>(Find(GROUPS, 2));
    const CKriterium* kr3 = Find(GROUPS, 3);
    const auto* kr7 = dynamic_cast<const CKriteriumWerktagAZ*>(Find(GROUPS, 7));
    const CKriterium* kr8 = Find(GROUPS, 8);
    s.HINWEIS = (kr2 && kr2->AKTIVIERT && kr2->RB4 && kr2->RB4->RZ_DAUER_OHNE_AUSGLEICH > 0) ||
                (kr3 && kr3->AKTIVIERT) ||
                (kr7 && kr7->AKTIVIERT && kr7->RB14 && kr7->RB14->WTAZ_OHNE_AUSGLEICH > 0) || (kr8 && kr8->AKTIVIERT);
    return s;
}

void CBewertungInspektor::ShowSummary(const CAZPBewertung* plan, const CSBPBewertung* shifts)
{
    if (!IsActive() || !WindowExists(WIN))
        return;
    const bool flex = ARBEITSBLATT && ARBEITSBLATT->GetTyp() == ARBEITSBLATT_FLEX;
    const BewertungZusammenfassung s = Summarize(plan, shifts, flex && plan ? plan->CellCount() : 0);
    CKriteriumFreieSonntage::ShowFreieSonntage(WIN, BEWINSP_FREIESONNTAGE, s.FREIESONNTAGE ? &s.SONNTAGE : nullptr);
    if (shifts)
        PropertySet(WIN, BEWINSP_WARNUNG, Prop::Hide, s.WARNUNG ? 0 : 1, 0);
    PropertySet(WIN, BEWINSP_HINWEIS, Prop::Hide, s.HINWEIS ? 0 : 1, 0);
    Notify();
}

bool CBewertungInspektor::ForceReset()
{
    for (const auto& g : GROUPS)
        if (g->ForceReset())
            return true;
    return false;
}

int32_t CBewertungInspektor::CountEntries()
{
    int32_t n = 1;
    for (const auto& g : GROUPS)
        n += g->CountEntries();
    return n;
}

void CBewertungInspektor::RefreshTree(int level, CTree& tree)
{
    tree.AddEntry(*this, level, GetText(), GetIcon());
    for (const auto& g : GROUPS)
        g->RefreshTree(level + 1, tree);
}

// ---- the window ---------------------------------------------------------------------------------

class BewertungInspektorWindow : public InspektorWindow {
public:
    explicit BewertungInspektorWindow(CBewertungInspektor& inspector)
        : InspektorWindow(inspector, "BewertungInspektor"), BI(inspector)
    {
        KeepNoGeometry();
    }

    int Setup() override
    {
        constexpr int w = 186, h = 300;
        WindowDesc d = Describe("Bewertungs-Inspektor", w, h);
        int y = kInspektorCaptionHeight + 3;
        d.Add(Ctl::Group().Id(10).At(2, y, w - 4, 16)
                  .Add(Ctl::Prompt("freie Sonntage:").Id(11).At(6, y + 4, 70, 10))
                  .Add(Ctl::String("").Id(BEWINSP_FREIESONNTAGE).At(80, y + 4, 40, 10)));
        y += 18;
        d.Add(Ctl::Group().Id(BEWINSP_WARNUNG).At(2, y, w - 4, 16).Hidden()
                  .Add(Ctl::Image("~exclamation.ico").Id(14).At(6, y + 3, 10, 10))
                  .Add(Ctl::Prompt("Verstöße in Schichttypen bitte beachten").Id(15).At(20, y + 4, w - 28, 10)));
        y += 18;
        d.Add(Ctl::Group().Id(BEWINSP_HINWEIS).At(2, y, w - 4, 16).Hidden()
                  .Tip("Ausgleichs- bzw. Durchrechnungszeiträume sind in der \r\nKurzdarstellung eines Plans nur "
                       "beschränkt aussagefähig.\r\nBitte wählen Sie die Langdarstellung.")
                  .Add(Ctl::Prompt("Ausgleichs/Durchrechnungszeiträume beachten").Id(17).At(6, y + 4, w - 14, 10)));
        y += 18;
        d.Add(Ctl::Button("Legende anzeigen").Id(BEWINSP_LEGENDE).Name("?Legende").At(4, y, 80, 13));
        d.Add(Ctl::Prompt("WAZ:").Id(19).At(92, y + 2, 22, 10));
        d.Add(Ctl::String("").Id(BEWINSP_WAZ).At(114, y + 2, 34, 10));
        d.Add(Ctl::Prompt("Stunden").Id(21).At(150, y + 2, 34, 10));
        y += 16;
        d.Add(Ctl::List("200L(1)|MIT(1)S(200)@s100@").Id(BEWINSP_TREE).Name("?Kriterien").Lines(11)
                  .Tip("Tipp: Mit einem Doppelklick auf den Kriteriennamen \r\n         gelangen Sie in den "
                       "Definitionspool um die \r\n         Kriterieneinstellungen zu bearbeiten")
                  .At(2, y, w - 4, h - y - 2));
        SetBody(BEWINSP_TREE);
        const int level = OpenInspector(d);
        if (level == LEVEL_BENIGN) {
            PropertySet(0, Prop::MinWidth, 163);
            PropertySet(0, Prop::MinHeight, 100);
        }
        return level;
    }

    void AfterOpen() override
    {
        BI.TREE.Init(BEWINSP_TREE);
        BI.TREE.Refresh(&BI);
        ControlSelect(BEWINSP_TREE);
        INSPEKTOR.Init(this, Win());
        Refresh(true);
    }

    int OnEvent() override
    {
        if (!OptimizationRunning && EventCurrent() < 0x200 && EventControl() == BEWINSP_TREE) {
            if (const int level = TreeEvent(EventCurrent()); level != LEVEL_BENIGN)
                return level;
        }
        return InspektorWindow::OnEvent();
    }

    int OnAccepted() override
    {
        if (EventAccepted() == BEWINSP_LEGENDE) {
            if (CArbeitsblatt* sheet = INSPEKTOR.GetArbeitsblatt(); sheet && sheet->IsActive())
                sheet->PostToOwner(EventShowLegend);
            return LEVEL_BENIGN;
        }
        return InspektorWindow::OnAccepted();
    }

    void RefreshContent() override
    {
        CArbeitsblatt* sheet = INSPEKTOR.GetArbeitsblatt();
        if (!sheet)
            return;
        CAZPInfo info;
        sheet->ComputeAZPInfo(info);
        PropertySet(BEWINSP_WAZ, Prop::Text, FormatPicture(info.WAZ, "@N8.`2B"));
        BI.TREE.Refresh(&BI);
    }

private:
    int TreeEvent(int event)
    {
        CTree& tree = BI.TREE;
        const int request = tree.GetRequest(event);
        const bool accepted = request != 0 && tree.AcceptsRequest(request);
        uint8_t result = 0;
        if (accepted && request == TREE_OPEN) {
            // The definitions dialog takes the inspector's place while it is open.
            PropertySet(0, Prop::Hide, 1);
            result = tree.OnEvent(event);
            PropertySet(0, Prop::Hide, 0);
        } else {
            result = tree.OnEvent(event);
        }
        if (accepted && request == TREE_TOGGLE) {
            // The switched state is stored only with the next save: closing must ask.
            if (CArbeitsblatt* sheet = INSPEKTOR.GetArbeitsblatt())
                sheet->FileManager().SetChanged(true);
            tree.Refresh(&BI);
        }
        if (event == EVENT_ALERT_KEY || event == EVENT_NEW_SELECTION)
            tree.Refresh(&BI);
        if (accepted || result != 0) {
            EventSkipDefault();
            return LEVEL_NOTIFY;
        }
        return LEVEL_BENIGN;
    }

    CBewertungInspektor& BI;
};

void BewertungInspektor(const std::string& parameter)
{
    auto* inspector = dynamic_cast<CBewertungInspektor*>(CVisual::FromParameter(parameter));
    if (!inspector)
        return;
    BewertungInspektorWindow w(*inspector);
    w.RunWindow();
}
