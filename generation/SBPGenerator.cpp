#include "generation/SBPGenerator.h"

#include "assessment/Kriterium.h"
#include "assessment/RahmenbedingungPausen.h"
#include "assessment/RahmenbedingungSchichten.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "generation/LPSolver.h"
#include "generation/ProgressWindow.h"
#include "platform/values/Picture.h"
#include "plans/AKBData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kDay = 1440;
// Objective 1's price of a shift that the strain criterion rejects: used only when nothing else
// covers the demand.
constexpr double kStrainPenalty = 4294967295.0;
// Latest time of day (minutes) to which an early staff demand moves the operating-day start.
constexpr uint32_t kLatestDayStart = 540;
// The largest day model solved: over three times the model of the finest grid the wizard offers
// (10 minutes with every length, 20,016 columns). A grid of a few minutes without the length
// rule gives millions of columns, whose matrix would not fit in memory.
constexpr long kMaxColumns = 65536;

// The time value of a duration in minutes: a whole day is 24:00, never 00:00.
double TimeValue(long minutes)
{
    return double(minutes) * kClockPerMinute + 1.0;
}

// Minutes of a time of day; 24:00 is the midnight at the start of the day.
uint16_t TimeOfDayMinutes(int32_t clock)
{
    return uint16_t(TimeToMinutesLong(clock) % kDay);
}

} // namespace

CKriterium* SBPDefinitionen::FindKriterium(long number) const
{
    for (CKriterium* k : KRITERIEN)
        if (k && k->NUMMER == number)
            return k;
    return nullptr;
}

CSBPGenerator::CSBPGenerator() = default;
CSBPGenerator::~CSBPGenerator() = default;

long CSBPGenerator::GroupStrength(long value, bool getOnly)
{
    if (!getOnly) {
        ITSSCHICHTBELEGSCHAFT = std::max(value, 1L);
        if (ITSSBP)
            ITSSBP->SetSchichtgruppenstaerke(uint16_t(std::min(ITSSCHICHTBELEGSCHAFT, 65535L)));
    }
    return ITSSCHICHTBELEGSCHAFT;
}

long CSBPGenerator::Timeout(long value, bool getOnly)
{
    if (!getOnly)
        ITSTIMEOUT = std::max(value, 0L);
    return ITSTIMEOUT;
}

uint16_t CSBPGenerator::TimeGrid(uint16_t value, bool getOnly)
{
    if (!getOnly)
        DT = std::clamp<uint16_t>(value, 1, uint16_t(kDay));
    return DT;
}

// ---- criteria ---------------------------------------------------------------------------------

ISTLPCost* CSBPGenerator::Pricing(long number) const
{
    return ITSDEFMANAGER ? dynamic_cast<ISTLPCost*>(ITSDEFMANAGER->FindKriterium(number)) : nullptr;
}

bool CSBPGenerator::Active(long number) const
{
    CKriterium* k = ITSDEFMANAGER ? ITSDEFMANAGER->FindKriterium(number) : nullptr;
    if (!k)
        return false;
    if (ISTLPCost* lp = dynamic_cast<ISTLPCost*>(k))
        return lp->IsActive() != 0;
    return k->AKTIVIERT != 0;  // a criterion that prices nothing (KR1) only tells whether it is on
}

void CSBPGenerator::Classify(CSchicht& shift) const
{
    const SBPDefinitionen* d = ITSDEFMANAGER;
    if (!d || !d->RB1 || !d->RB2 || !d->RB3) {
        shift.ClassifyLageByStart();
        return;
    }
    NACHTSCHICHT night{d->RB1->NACHTAZ_ANFANG, d->RB1->NACHTAZ_LAENGE, d->RB1->NACHTAZ_DAUER_MIN};
    FRUEHSCHICHT early{d->RB2->FS_VON, d->RB2->FS_BIS};
    TAGSCHICHT day{d->RB3->TS_VON, d->RB3->TS_BIS};
    shift.ClassifyLage(night, early, day);
}

void CSBPGenerator::SetBreaks(CSchicht& shift) const
{
    const SBPDefinitionen* d = ITSDEFMANAGER;
    if (!d || !d->RB11)
        return;
    const long gross = long(shift.TERMIN.ENDE) - long(shift.TERMIN.BEGINN);
    // The step that applies: the highest one whose threshold lies below the shift's length.
    uint16_t required = 0;
    for (int i = 3; i >= 0; --i) {
        const PAUSENREGEL& r = d->RB11->PAUSEN[size_t(i)];
        if (r.AZ_AB != 0 && r.AZ_AB < TimeValue(gross)) {
            required = r.PAUSENLAENGE;
            break;
        }
    }
    if (required == 0)
        return;
    long length = required;
    if (d->RB13)
        length = std::max<long>(length, d->RB13->MINDESTPAUSENLAENGE);
    if (length >= gross)
        return;
    // One break in the middle of the shift, but not after the latest first break.
    long start = (gross - length) / 2;
    if (d->RB12 && d->RB12->ERSTE_PAUSE > 0)
        start = std::min<long>(start, TimeToMinutesLong(d->RB12->ERSTE_PAUSE));
    start = std::max(start, 1L);  // a break at the very begin counts as empty
    for (PAUSE& p : shift.PAUSEN)
        p = PAUSE{};
    shift.PAUSEN[0] = PAUSE{uint16_t(start), uint16_t(length), 0};
}

// ---- progress ---------------------------------------------------------------------------------

void CSBPGenerator::SetMessage(const std::string& text)
{
    MESSAGE = text;
    if (WINDOW)
        WINDOW->SetText(int(ITSPROGRESSMSG), text);
}

void CSBPGenerator::ShowProgress()
{
    ++ITSPROGRESS;
    const long range = ProgressRange();
    const double percent = range > 0 ? double(ITSPROGRESS) * 100.0 / double(range) : 0.0;
    PERCENT = FormatPicture(percent, "@N3") + "% fertiggestellt";
    if (WINDOW) {
        WINDOW->SetText(int(ITSPERCENTAGE), PERCENT);
        WINDOW->ShowProgress();
    }
}

// ---- the run ----------------------------------------------------------------------------------

void CSBPGenerator::Start(CAKBData& akb, CSBPData& plan, const SBPDefinitionen& pool)
{
    ITSAKB = &akb;
    ITSSBP = &plan;
    ITSDEFMANAGER = &pool;
    plan.SetSchichtgruppenstaerke(uint16_t(std::clamp(ITSSCHICHTBELEGSCHAFT, 1L, 65535L)));

    KR6ACTIVE = Active(6) && pool.RB10;
    if (KR6ACTIVE) {
        const long minimum = long(TimeToMinutesLong(pool.RB10->SL_DAUER_MIN));
        const long maximum = std::min<long>(TimeToMinutesLong(pool.RB10->SL_DAUER_MAX), kDay);
        SLMIN = uint16_t(std::min<long>((minimum + DT - 1) / DT * DT, 65535));
        SLMAX = uint16_t(maximum / DT * DT);
    } else {
        SLMIN = 60;
        SLMAX = uint16_t(kDay);
    }
    // No length fits when the rounded maximum lies below the rounded minimum.
    NSL_MAX = SLMAX >= SLMIN ? (long(SLMAX) - long(SLMIN)) / DT + 1 : 0;
    NTAG_MAX = akb.CountDays();

    TAGE.assign(size_t(std::max(NTAG_MAX, 0L)), SBPTagesergebnis{});
    NAMENSZAEHLER = {};
    NEXTDAY = 0;
    CANCELLED = FAILED = SOMEDONE = false;
    ITSPROGRESS = 0;
    PERCENT = "0 % fertiggestellt.";
    SetMessage("Der Schichtbedarfsplan wird errechnet. Bitte warten...");
}

namespace {

// A day's model that asks its generator whether to stop.
class CGeneratorLP : public CLPSolver {
public:
    explicit CGeneratorLP(CSBPGenerator& owner) : owner_(owner) {}
    int WantAbort() override { return owner_.AbortWanted() ? 1 : 0; }

private:
    CSBPGenerator& owner_;
};

} // namespace

bool CSBPGenerator::AbortWanted()
{
    if (WINDOW && WINDOW->PollCancel())
        CANCELLED = true;
    return CANCELLED;
}

bool CSBPGenerator::Step()
{
    if (!ITSAKB || CANCELLED)
        return false;
    if (NEXTDAY == 0) {
        FixOperatingDayStart();
        NEXTDAY = 1;
        return NTAG_MAX > 0;
    }
    if (NEXTDAY > NTAG_MAX)
        return false;
    const long day = NEXTDAY++;
    if (FAILED)
        TAGE[size_t(day - 1)].STATUS = SBPTagesergebnis::UEBERSPRUNGEN;
    else
        ComputeDay(day);
    return !CANCELLED && NEXTDAY <= NTAG_MAX;
}

uint8_t CSBPGenerator::Result() const
{
    if (!CANCELLED && !FAILED)
        return SBP_KOMPLETT;
    return SOMEDONE ? SBP_TEILWEISE : SBP_KEINER;
}

bool CSBPGenerator::DemandFound() const
{
    return std::any_of(TAGE.begin(), TAGE.end(), [](const SBPTagesergebnis& t) {
        return t.STATUS != SBPTagesergebnis::OFFEN && t.STATUS != SBPTagesergebnis::OHNE_BEDARF;
    });
}

SBPTagesergebnis CSBPGenerator::Tagesergebnis(long day) const
{
    if (day < 1 || day > long(TAGE.size()))
        return {};
    return TAGE[size_t(day - 1)];
}

uint8_t CSBPGenerator::Run(CAKBData& akb, CSBPData& plan, const SBPDefinitionen& pool)
{
    CProgressWindow window(ProgressLayout::ShiftDemand);
    window.Create(UseVar(ITSPROGRESS));
    WINDOW = &window;
    ITSPROGRESSMSG = window.MessageControl();
    ITSPROGRESSBAR = window.ProgressControl();
    ITSPERCENTAGE = window.PercentControl();
    Start(akb, plan, pool);
    window.Open();
    window.SetRange(0, ProgressRange());
    window.SetText(int(ITSPROGRESSMSG), MESSAGE);
    window.ShowMaxTime(ITSTIMEOUT);
    window.RunLoop([this] { return Step(); }, [&window] { window.Display(); });
    // A loop that ended before the last day (the window gone) is no complete plan.
    if (window.Cancelled() || !Finished())
        Cancel();
    window.Display();
    const uint8_t result = Result();
    window.Close();
    WINDOW = nullptr;
    return result;
}

void CSBPGenerator::FixOperatingDayStart()
{
    uint16_t b = 0;
    if (ITSDEFMANAGER && ITSDEFMANAGER->RB8)
        b = TimeOfDayMinutes(ITSDEFMANAGER->RB8->BETRIEBSTAGSBEGINN);
    for (long d = 1; d <= NTAG_MAX; ++d) {
        const CAKBEintrag* first = ITSAKB->GetEntry(uint32_t(d), 1);
        if (!first)
            continue;
        const uint32_t begin = first->TERMIN.BEGINN % kDay;
        if (begin > 0 && begin < b && begin < kLatestDayStart)
            b = uint16_t(begin);
    }
    ITSBETRIEBSTAGSANFANG = b;
}

void CSBPGenerator::ComputeDay(long day)
{
    SBPTagesergebnis& result = TAGE[size_t(day - 1)];
    const uint16_t b = ITSBETRIEBSTAGSANFANG;
    const int64_t start = int64_t(day - 1) * kDay + b;
    const uint32_t first = ITSAKB->FindFirstDemandStep(uint16_t(day), b, DT);
    const uint32_t last = ITSAKB->FindLastDemandStep(uint16_t(day), b, DT);
    if (first == last) {
        result.STATUS = SBPTagesergebnis::OHNE_BEDARF;
        SOMEDONE = true;
        return;
    }
    const long steps = long(std::max<int64_t>(int64_t(last) - start, 0) / DT);
    MAP.Init(steps, NSL_MAX, DT, SLMIN, uint16_t(b % kDay));
    const long n = MAP.Count();
    result.SPALTEN = n;
    if (n == 0 || n > kMaxColumns) {
        // No candidate shift can cover the demand, or the model is too large to be solved.
        result.STATUS = SBPTagesergebnis::OHNE_LOESUNG;
        FAILED = true;
        return;
    }

    SetMessage("Berechnungsmatrix initialisieren (" + std::to_string(int64_t(steps) * n) + " Iterationen) ...");
    CGeneratorLP lp(*this);
    lp.Init(uint32_t(n));
    ROW.assign(size_t(n), 0.0);
    long maxGroups = 0;
    const long strength = std::max(ITSSCHICHTBELEGSCHAFT, 1L);
    for (long t = 1; t <= steps; ++t) {
        std::fill(ROW.begin(), ROW.end(), 0.0);
        for (long j = 1; j <= n; ++j)
            if (MAP.Covers(j, t))
                ROW[size_t(j - 1)] = 1.0;
        // Groups, not persons: strength x groups >= demand allows exactly the same whole
        // numbers as groups >= the demand divided by the strength and rounded up, but its
        // relaxation lies far below them for odd demands, and branch and bound does not finish.
        const long demand = ITSAKB->DemandAt(uint16_t(day), uint16_t(t), b, DT);
        const long groups = (demand + strength - 1) / strength;
        maxGroups = std::max(maxGroups, groups);
        lp.AddConstraint(ROW, LP_GE, double(groups));
    }
    ShowProgress();
    // Columns of length 0 cover nothing and cost nothing: they must stay 0, or they would be
    // booked as shifts that begin and end at the same time.
    if (MAP.ITSSLMIN == 0) {
        std::fill(ROW.begin(), ROW.end(), 0.0);
        for (long j = 1; j <= n; ++j)
            if (MAP.GetLength(j) == 0)
                ROW[size_t(j - 1)] = 1.0;
        lp.AddConstraint(ROW, LP_LE, 0.0);
    }
    lp.SetInt();
    lp.SetUpbo(double(std::max(maxGroups, 1L)));
    lp.SetMinim();
    if (ITSTIMEOUT != 0) {
        // Shared out evenly over the days; never truncated to 0, which would mean no limit.
        const long days = ITSSBP->CountDays() > 0 ? ITSSBP->CountDays() : std::max(NTAG_MAX, 1L);
        lp.SetTimeout(double(ITSTIMEOUT) / (double(days) * 100.0));
    }

    VALUES.assign(size_t(n), 0);
    std::vector<int32_t> solution(size_t(n), 0);
    for (int i = 1; i <= 4; ++i) {
        if ((i == 3 && !Active(21)) || (i == 4 && !KR6ACTIVE)) {
            ShowProgress();
            ShowProgress();
            continue;
        }
        SetMessage("Zielfunktion (" + std::to_string(i) + ".) bestimmen (" + std::to_string(n) + " Variablen) ...");
        Objective(i, day, OBJECTIVE);
        ShowProgress();
        lp.SetObjFn(OBJECTIVE);
        SetMessage("Nach Zielfunktion Nr. " + std::to_string(i) + " optimieren ...");
        ShowProgress();
        const uint8_t solved = SolveModel(lp, day, i);
        if (CANCELLED) {
            result.STATUS = SBPTagesergebnis::ABGEBROCHEN;
            return;
        }
        if (solved != LP_RESULT_OPTIMAL) {
            if (i == 1) {
                result.STATUS = SBPTagesergebnis::OHNE_LOESUNG;
                FAILED = true;
                return;
            }
            break;
        }
        result.ZIELWERT[size_t(i - 1)] = lp.GetResult(solution);
        result.ZIELFUNKTIONEN = uint8_t(i);
        VALUES = solution;
        if (i < 4) {
            // Hold the optimum: the objective's value of the solution found. Summed from the
            // whole-number solution it is the rounded optimum for whole coefficients; a cost
            // objective keeps its fraction, so the optimum itself stays feasible.
            double optimum = 0.0;
            for (long j = 0; j < n; ++j)
                optimum += OBJECTIVE[size_t(j)] * VALUES[size_t(j)];
            if (optimum != std::floor(optimum))
                optimum += 1e-7 * std::max(1.0, std::fabs(optimum));
            // A column priced above the optimum must stay 0; with prices of 0 or more a price
            // just above the optimum says the same of every whole-number solution, without the
            // range (4294967295 beside lengths of a few steps) on which the library fails.
            ROW = OBJECTIVE;
            if (std::all_of(ROW.begin(), ROW.end(), [](double c) { return c >= 0.0; }))
                for (double& c : ROW)
                    c = std::min(c, optimum + 1.0);
            lp.AddConstraint(ROW, LP_LE, optimum);
        }
    }

    SetMessage("Schichtbedarf für Tag " + std::to_string(day) + " eintragen...");
    ShowProgress();
    if (!WriteDay(day, VALUES)) {
        result.STATUS = SBPTagesergebnis::OHNE_LOESUNG;
        FAILED = true;
        return;
    }
    result.STATUS = SBPTagesergebnis::GESCHRIEBEN;
    SOMEDONE = true;
}

uint8_t CSBPGenerator::SolveModel(CLPSolver& lp, long, int)
{
    return lp.Solve();
}

void CSBPGenerator::Objective(int i, long day, std::vector<double>& c)
{
    const long n = MAP.Count();
    c.assign(size_t(n), 0.0);
    CSchicht shift;
    switch (i) {
    case 1: {
        ISTLPCost* strain = Active(19) ? Pricing(19) : nullptr;
        for (long j = 1; j <= n; ++j) {
            c[size_t(j - 1)] = double(MAP.GetLength(j));
            if (strain) {
                shift.Clear();
                shift.SetTermin(MAP.GetTermin(j), uint32_t(day));
                if (strain->GetCost(shift, 0, 1) != 0.0)
                    c[size_t(j - 1)] = kStrainPenalty;
            }
        }
        break;
    }
    case 2: {
        // The continuous criterion of each pair prices the shift (the single one when only it
        // is listed; both compute the same disturbance).
        ISTLPCost* pairs[3] = {};
        const long numbers[3][2] = {{11, 12}, {13, 14}, {15, 16}};
        for (int p = 0; p < 3; ++p)
            if (Active(numbers[p][0]) || Active(numbers[p][1]))
                pairs[p] = Pricing(numbers[p][1]) ? Pricing(numbers[p][1]) : Pricing(numbers[p][0]);
        if (!pairs[0] && !pairs[1] && !pairs[2])
            break;
        for (long j = 1; j <= n; ++j) {
            shift.Clear();
            shift.SetTermin(MAP.GetTermin(j), uint32_t(day));
            double sum = 0.0;
            for (ISTLPCost* p : pairs)
                if (p)
                    sum += p->GetCost(shift, 0, 1);
            c[size_t(j - 1)] = sum > 0.0 ? 1.0 : 0.0;
        }
        break;
    }
    case 3: {
        ISTLPCost* cost = Pricing(21);
        if (!cost)
            break;
        const bool breaks = Active(1);
        for (long j = 1; j <= n; ++j) {
            shift.Clear();
            shift.SetTermin(MAP.GetTermin(j));
            if (breaks)
                SetBreaks(shift);
            c[size_t(j - 1)] = cost->GetCost(shift, uint16_t(day), 0);
        }
        break;
    }
    case 4: {
        const double maximum = ITSDEFMANAGER && ITSDEFMANAGER->RB10 ? ITSDEFMANAGER->RB10->SL_DAUER_MAX : 0.0;
        const double grid = TimeValue(DT);
        for (long j = 1; j <= n; ++j) {
            const double steps = std::round(std::fabs(TimeValue(MAP.GetLength(j) * DT) - maximum) / grid);
            c[size_t(j - 1)] = steps * steps;
        }
        break;
    }
    default:
        break;
    }
}

bool CSBPGenerator::WriteDay(long day, const std::vector<int32_t>& values)
{
    if (!ITSSBP->GetSchichttypen())
        return false;
    const long days = ITSSBP->CountDays() > 0 ? ITSSBP->CountDays() : NTAG_MAX;
    for (long j = 1; j <= long(values.size()); ++j) {
        const int32_t v = values[size_t(j - 1)];
        if (v == 0 || MAP.GetLength(j) == 0)
            continue;
        ::TERMIN span = MAP.GetTermin(j);
        // A shift beginning after midnight of the operating day belongs to the next day; the
        // last day's go to day 1.
        const long target = ((day - 1) + long(MinuteStampDay(span.BEGINN)) - 1) % days + 1;
        MoveIntervalToDay(span, 1);
        if (const uint32_t id = ShiftTypeFor(span))
            ITSSBP->SetCount(uint32_t(target), id, uint32_t(v));
    }
    return true;
}

uint32_t CSBPGenerator::ShiftTypeFor(const ::TERMIN& span)
{
    CSchichttypen* types = ITSSBP->GetSchichttypen();
    if (const CSchicht* existing = types->FindByTermin(span))
        return existing->SYSID;
    CSchicht shift;
    shift.Clear();
    shift.ART = ART_NORMAL;
    shift.SetTermin(span);
    Classify(shift);
    static constexpr const char* kLetters[] = {"F", "T", "S", "N"};
    if (shift.SCHICHTLAGE >= LAGE_FRUEH && shift.SCHICHTLAGE <= LAGE_NACHT) {
        const size_t k = size_t(shift.SCHICHTLAGE - LAGE_FRUEH);
        shift.KURZBEZEICHNUNG = kLetters[k] + std::to_string(++NAMENSZAEHLER[k]);
    }
    shift.BEZEICHNUNG = shift.KURZBEZEICHNUNG + " " + FormatPicture(long(MinuteStampToTime(span.BEGINN)), "@T7") +
                        "-" + FormatPicture(long(MinuteStampToTime(span.ENDE)), "@T7");
    if (Active(1))
        SetBreaks(shift);
    types->AddSchicht(shift, true);
    ITSSBP->SyncSchichttypen();
    return shift.SYSID;
}
