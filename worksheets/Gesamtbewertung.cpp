#include "worksheets/Gesamtbewertung.h"

#include "assessment/AZPBewertung.h"
#include "assessment/Definitionspool.h"
#include "assessment/KriterienChecker.h"
#include "assessment/Kriterium.h"
#include "core/Projektmanager.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Decimal.h"
#include "platform/values/Picture.h"
#include "plans/AZPData.h"
#include "plans/AZPInfo.h"
#include "worksheets/AZPEditor.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/Inspektoren.h"

#include <memory>
#include <sstream>
#include <string>

namespace {
constexpr int32_t kWeiss = 0xFFFFFF;
constexpr int32_t kGrau = 0xC0C0C0;
constexpr int32_t kSchwarz = 0;
// The rating's criteria, in the order of its rows.
constexpr const char* kReihenfolge = "7|8|9|10|2|5|11|12|13|14|15|16|17|3|4|-1";

std::string Clip(const std::string& s)
{
    const size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

GesamtbewertungZeile Row(const std::string& text, int32_t fg, int32_t bg, int32_t number)
{
    GesamtbewertungZeile r;
    r.KRITERIUM = text;
    r.KR_FG = r.KR_SELFG = r.VS_FG = r.VS_SELFG = fg;
    r.KR_BG = r.KR_SELBG = r.VS_BG = r.VS_SELBG = bg;
    r.NR = number;
    return r;
}
} // namespace

void GesamtbewertungZeilen(Queue<GesamtbewertungZeile>& rows, const CKriterienChecker& checker,
                           const CAZPBewertung& evaluation)
{
    QueueFree(rows);
    std::string group;
    bool first = true;
    std::istringstream tokens(kReihenfolge);
    for (std::string token; std::getline(tokens, token, '|');) {
        const CKriterium* k = checker.FindKriterium(std::stol(token));
        if (!k)
            break;
        std::string name, groupName;
        k->GetNames(&name, &groupName);
        if (Clip(groupName) != group) {
            if (!first)
                QueueAdd(rows, Row({}, kWeiss, kWeiss, 0));
            QueueAdd(rows, Row(groupName, kWeiss, kGrau, 0));
            group = Clip(groupName);
        }
        first = false;
        QueueAdd(rows, Row(name, k->AKTIVIERT ? kSchwarz : kGrau, kWeiss, int32_t(k->NUMMER)));
    }

    // A run counts at its first cell only; a record of amount 0 reports a rule that holds.
    for (long i = 1; i <= evaluation.CellCount(); ++i) {
        const CVerstossliste* list = evaluation.GetVerstossliste(i);
        if (!list)
            continue;
        for (const VERSTOSSINFO& r : list->VERSTOESSE) {
            if (!r.KRITERIUM || r.WERT == 0 || (r.POSITION != POSITION_EINZELN && r.POSITION != POSITION_ANFANG))
                continue;
            for (GesamtbewertungZeile& row : rows.Rows())
                if (row.NR != 0 && row.NR == r.KRITERIUM->NUMMER) {
                    ++row.VERSTOESSE;
                    break;
                }
        }
    }

    // Each header gets the total of the criteria below it, up to the next header.
    int32_t sum = 0;
    for (auto it = rows.Rows().rbegin(); it != rows.Rows().rend(); ++it) {
        if (!it->KRITERIUM.empty() && it->NR == 0) {
            it->VERSTOESSE = sum;
            sum = 0;
        } else {
            sum += it->VERSTOESSE;
        }
    }
}

std::optional<FreieSonntage> GesamtbewertungSonntage(const CVerstossliste* list, long cells, bool flex)
{
    if (!list)
        return std::nullopt;
    for (const VERSTOSSINFO& r : list->VERSTOESSE) {
        if (!r.KRITERIUM || r.KRITERIUM->NUMMER != 4)
            continue;
        FreieSonntage s;
        if (!flex) {
            s.WERT = FormatPicture(Decimal::FromRatio(r.INFO, 1000), "@N3");
            s.ZUSATZ = " im Jahr";
        } else {
            // The free Sundays of a period of n days, and the Sundays such a period has.
            const int64_t n = cells;
            s.WERT = FormatPicture(Decimal::FromRatio(int64_t(r.INFO) * n, 1000 * 365), "@N3");
            s.ZUSATZ = " von " + FormatPicture(Decimal::FromRatio(52 * n, 365), "@N3");
        }
        return s;
    }
    return std::nullopt;
}

// ---- the window ---------------------------------------------------------------------------------

namespace {

enum {
    GB_HEAD_VS = 1, GB_HEAD_KR, GB_LIST, GB_BOX1, GB_BOX2, GB_GROUP, GB_SONNTAGE, GB_SONNTAGE_PROMPT,
    GB_SONNTAGE_WERT, GB_SONNTAGE_ZUSATZ, GB_WAZ_PROMPT, GB_WAZ, GB_QUALITAET_PROMPT, GB_QUALITAET, GB_STUNDEN,
    GB_FLEX, GB_FLEX_PROMPT, GB_VON, GB_STRICH, GB_BIS, GB_BOX3, GB_PANEL, GB_SCHLIESSEN,
};

class RowsSource : public ListSource {
public:
    explicit RowsSource(const Queue<GesamtbewertungZeile>& rows) : ROWS(rows) {}
    int64_t RowCount() override { return int64_t(QueueRecords(ROWS)); }
    std::string Field(int64_t row, int field) override
    {
        const GesamtbewertungZeile* r = QueueGet(ROWS, size_t(row));
        if (!r)
            return {};
        const int32_t values[] = {0, r->KR_FG, r->KR_BG, r->KR_SELFG, r->KR_SELBG, r->VERSTOESSE,
                                  r->VS_FG, r->VS_BG, r->VS_SELFG, r->VS_SELBG};
        if (field == 1)
            return r->KRITERIUM;
        return field >= 2 && field <= 10 ? std::to_string(values[field - 1]) : std::string();
    }

private:
    const Queue<GesamtbewertungZeile>& ROWS;
};

class GesamtbewertungWindow : public FwWindow {
public:
    GesamtbewertungWindow(const CAZPBewertung& evaluation, const CKriterienChecker& checker, const CAZPInfo& figures,
                          int32_t from, int32_t to)
        : FwWindow("Gesamtbewertung"), EVALUATION(evaluation), CHECKER(checker), FIGURES(figures), FROM(from), TO(to)
    {
    }

    int Setup() override
    {
        const int level = FwWindow::Setup();
        if (level != LEVEL_BENIGN)
            return level;
        // The name column is wider than the 192 units once laid out: those cut the longest
        // criterion names; the list, its count heading and the figures beside it move along.
        constexpr int kNames = 222, w = 372 + kNames - 192, h = 206;
        WindowDesc d;
        d.name = "Gesamtbewertung";
        d.title = "Gesamtbewertung AZP";
        d.icon = "info.ico";
        d.fontName = "Tahoma";
        d.w = w;
        d.h = h;
        const int right = 250 + kNames - 192;
        d.Add(Ctl::Prompt("Verstösse").Id(GB_HEAD_VS).At(kNames + 6, 4, 38, 10));
        d.Add(Ctl::Prompt("Kriterium").Id(GB_HEAD_KR).At(8, 4, 100, 10));
        d.Add(Ctl::List(std::to_string(kNames) + "L(1)M*@s100@36R(6)*@n6@").Id(GB_LIST).Name("?Kriterien").Lines(10)
                  .At(6, 15, kNames + 46, 150));
        d.Add(Ctl::Box().Id(GB_BOX1).At(0, 0, 0, 0));
        d.Add(Ctl::Box().Id(GB_BOX2).At(0, 0, 0, 0));
        d.Add(Ctl::Group().Id(GB_GROUP).At(right - 2, 10, w - right - 4, 156));
        d.Add(Ctl::Group().Id(GB_SONNTAGE).At(right + 2, 16, w - right - 12, 30));
        d.Add(Ctl::Prompt("freie Sonntage:").Id(GB_SONNTAGE_PROMPT).At(right + 6, 21, 90, 10));
        d.Add(Ctl::String("52").Id(GB_SONNTAGE_WERT).Name("?Sonntage").At(right + 6, 32, 24, 10));
        d.Add(Ctl::String("im Jahr").Id(GB_SONNTAGE_ZUSATZ).Name("?SonntageZusatz").At(right + 32, 32, 70, 10));
        d.Add(Ctl::Prompt("øWochenarbeitszeit:").Id(GB_WAZ_PROMPT).At(right + 6, 54, 100, 10));
        d.Add(Ctl::String("").Id(GB_WAZ).Name("?WAZ").At(right + 6, 65, 40, 10));
        d.Add(Ctl::Prompt("Gesamt-Plangütewert:").Id(GB_QUALITAET_PROMPT).At(right + 6, 82, 100, 10));
        d.Add(Ctl::String("1,234").Id(GB_QUALITAET).Name("?Guetewert").At(right + 6, 93, 60, 10));
        d.Add(Ctl::Prompt("Stunden").Id(GB_STUNDEN).At(right + 50, 65, 50, 10));
        d.Add(Ctl::Group().Id(GB_FLEX).At(right + 2, 112, w - right - 12, 32));
        d.Add(Ctl::Prompt("Bewertungszeitraum:").Id(GB_FLEX_PROMPT).At(right + 6, 117, 100, 10));
        d.Add(Ctl::String("").Id(GB_VON).Name("?Von").At(right + 6, 129, 46, 10));
        d.Add(Ctl::Prompt("-").Id(GB_STRICH).At(right + 54, 129, 6, 10));
        d.Add(Ctl::String("").Id(GB_BIS).Name("?Bis").At(right + 62, 129, 46, 10));
        d.Add(Ctl::Box().Id(GB_BOX3).At(0, 0, 0, 0));
        d.Add(Ctl::Panel().Id(GB_PANEL).At(0, h - 32, w, 32));
        d.Add(Ctl::Button("Schließen").Id(GB_SCHLIESSEN).Name("?Schliessen").Default().At(w - 70, h - 24, 62, 16));
        CreateWindow(d);
        OpenWindow();
        RegisterHotKeys();
        ListSetSource(GB_LIST, std::make_shared<RowsSource>(ROWS));
        return LEVEL_BENIGN;
    }

    void AfterOpen() override { Refresh(true); }

    int OnEvent() override
    {
        if (OptimizationRunning && EventCurrent() != EventDeferredReset) {
            EventSkipDefault();
            return LEVEL_NOTIFY;
        }
        if (EventCurrent() == EVENT_RESUME) {
            Refresh(true);
            return LEVEL_BENIGN;
        }
        if (EventCurrent() == EventRefresh) {
            Refresh(true);
            const int level = FwWindow::OnEvent();
            Refresh(true);
            return level;
        }
        return FwWindow::OnEvent();
    }

    int OnAccepted() override
    {
        if (EventAccepted() == GB_SCHLIESSEN) {
            EventPost(EVENT_CLOSE_WINDOW);
            return LEVEL_BENIGN;
        }
        return FwWindow::OnAccepted();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        if (QueueRecords(ROWS) == 0)
            Fill();
        FwWindow::Refresh(force);
    }

    int Teardown() override
    {
        const int level = FwWindow::Teardown();
        QueueFree(ROWS);
        return level;
    }

private:
    // The snapshot, at the first refresh only.
    void Fill()
    {
        const bool flex = FROM != 0 && TO != 0;
        flex ? ControlUnhide(GB_FLEX, GB_BIS) : ControlHide(GB_FLEX, GB_BIS);
        if (flex) {
            PropertySet(GB_VON, Prop::Text, FormatPicture(static_cast<long long>(FROM), "@D17"));
            PropertySet(GB_BIS, Prop::Text, FormatPicture(static_cast<long long>(TO), "@D17"));
        }
        if (const auto sundays = GesamtbewertungSonntage(EVALUATION.GetVerstossliste(1), EVALUATION.CellCount(), flex)) {
            ControlEnable(GB_SONNTAGE, GB_SONNTAGE_ZUSATZ);
            PropertySet(GB_SONNTAGE_WERT, Prop::Text, sundays->WERT);
            PropertySet(GB_SONNTAGE_ZUSATZ, Prop::Text, sundays->ZUSATZ);
        } else {
            ControlDisable(GB_SONNTAGE, GB_SONNTAGE_ZUSATZ);
        }
        PropertySet(GB_WAZ, Prop::Text, FormatPicture(FIGURES.WAZ, "@N8.`2B"));
        PropertySet(GB_QUALITAET, Prop::Text, FormatPicture(EVALUATION.ComputeQuality(), "@N7.`4"));
        PropertySet(GB_LIST, Prop::LineHeight, 10);
        GesamtbewertungZeilen(ROWS, CHECKER, EVALUATION);
    }

    const CAZPBewertung& EVALUATION;
    const CKriterienChecker& CHECKER;
    const CAZPInfo& FIGURES;
    int32_t FROM, TO;
    Queue<GesamtbewertungZeile> ROWS;
};

} // namespace

void Gesamtbewertung(const CAZPBewertung& evaluation, const CKriterienChecker& checker, const CAZPInfo& figures,
                     int32_t dateFrom, int32_t dateTo)
{
    GesamtbewertungWindow w(evaluation, checker, figures, dateFrom, dateTo);
    w.RunWindow();
}

void ShowGesamtbewertung(CArbeitsblatt& sheet)
{
    // The criteria's group names come from the evaluation inspector's groups.
    InspektorenOf(sheet);
    CAZPInfo figures;
    CAZPBewertung evaluation;
    CKriterienChecker checker;
    for (long n : {7L, 8L, 3L, 4L, 10L, 9L, 2L, 5L, 17L, 11L, 12L, 13L, 14L, 15L, 16L, 22L})
        checker.Add(sheet.GetDefinitionspool().GetKriterium(n));
    if (sheet.GetAZP().CountGroups() > 0) {
        evaluation.Evaluate(sheet.GetAZP());
        checker.CheckPlan(evaluation, 0);
        sheet.ComputeAZPInfo(figures);
    }
    // A flex worksheet's rating names the period its plan grid shows.
    int32_t from = 0, to = 0;
    if (sheet.GetTyp() == ARBEITSBLATT_FLEX)
        if (const CAZPEditor* editor = sheet.GetAZPEditor())
            editor->GetPeriod(from, to);
    // The rows name the criteria of this checker - never a checker another worksheet published.
    Gesamtbewertung(evaluation, checker, figures, from, to);
}
