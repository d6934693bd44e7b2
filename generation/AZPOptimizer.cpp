#include "generation/AZPOptimizer.h"

#include "assessment/AZPBewertung.h"
#include "assessment/AZPInkrementelleBewertung.h"
#include "assessment/KriterienChecker.h"
#include "assessment/Kriterium.h"
#include "core/IniFile.h"
#include "core/MessageDialog.h"
#include "core/Utilities.h"
#include "platform/ui/Window.h"
#include "platform/values/Date.h"
#include "platform/values/Picture.h"
#include "platform/values/Random.h"
#include "plans/AZPData.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <limits>

namespace {

constexpr long kDay = 8'640'000;  // hundredths of a day
constexpr const char* kQualityPicture = "@N8.`4";
// Pairs up to this many per day are worked out once per run; more are decoded per move.
constexpr uint32_t kPairTableMax = 1u << 20;

// The leading whole number of a settings value ("12 Iterationen" is 12); 0 without one.
long LeadingNumber(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int32_t>::max())
            return negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    }
    return static_cast<long>(negative ? -value : value);
}

long ReadParameter(const char* key, long defaultValue)
{
    return LeadingNumber(GlobalIni.ReadAndWriteBack(kOptimizerSection, key, std::to_string(defaultValue)));
}

uint32_t GroupsOf(long value)
{
    return static_cast<uint32_t>(std::clamp<long>(value, 0, kMaxGruppen));
}

} // namespace

// ---- moves ----------------------------------------------------------------------------------

uint32_t AZPPairCount(uint32_t groups)
{
    if (groups < 2)
        return 0;
    return static_cast<uint32_t>((uint64_t(groups) * groups - groups) / 2);
}

AZPMove DecodeAZPMove(uint64_t m, uint32_t groups, uint32_t days)
{
    const uint64_t pairs = AZPPairCount(groups);
    if (pairs == 0 || m == 0 || m > pairs * days)
        return {};
    const uint64_t day = (m - 1) / pairs + 1;
    const uint64_t k = m - pairs * (day - 1);
    // Z1 = 1 + the whole number nearest to sqrt(2(k - 1) + 0.25), a half going up; checked
    // against the triangle numbers so that rounding can never pick a neighbouring pair.
    uint64_t z1 = 1 + static_cast<uint64_t>(std::floor(std::sqrt(2.0 * double(k - 1) + 0.25) + 0.5));
    while (z1 > 2 && (z1 - 1) * (z1 - 2) / 2 >= k)
        --z1;
    while (z1 * (z1 - 1) / 2 < k)
        ++z1;
    const uint64_t z2 = k - (z1 - 1) * (z1 - 2) / 2;
    return {static_cast<uint32_t>(day), static_cast<uint32_t>(z1), static_cast<uint32_t>(z2)};
}

bool AZPSearchFits(uint32_t groups, uint32_t days)
{
    const uint64_t moves = uint64_t(AZPPairCount(groups)) * days;
    if (moves <= kMaxAZPMoves)
        return true;
    // The largest group count that still fits these days.
    uint32_t most = 2;
    while (uint64_t(AZPPairCount(most + 1)) * days <= kMaxAZPMoves)
        ++most;
    MessageRequest message;
    message.caption = "Arbeitszeitplan zu groß";
    message.icon = MessageIcon::Hand;
    message.buttonBits = BUTTON_OK;
    message.defaultButton = BUTTON_OK;
    message.text = "Ein Arbeitszeitplan mit " + std::to_string(groups) + " Schichtgruppen und " +
                   std::to_string(days) + " Tagen ist zu groß, um ihn zu optimieren.|Bei " + std::to_string(days) +
                   " Tagen sind höchstens " + std::to_string(most) + " Schichtgruppen möglich.";
    MessageDialog(message);
    return false;
}

// ---- the optimiser --------------------------------------------------------------------------

CAZPOptimizer::CAZPOptimizer() { Construct(); }

CAZPOptimizer::~CAZPOptimizer() = default;

void CAZPOptimizer::SetClock(Clock clock) { CLOCK = std::move(clock); }

void CAZPOptimizer::SetPaceClock(PaceClock clock) { PACECLOCK = std::move(clock); }

long CAZPOptimizer::GroupCount(long value, bool getOnly)
{
    if (!getOnly) {
        ITSANZAHLGRUPPEN = value;
        if (ITSAZP)
            ITSAZP->SetGroupCount(GroupsOf(value));
    }
    return ITSANZAHLGRUPPEN;
}

long CAZPOptimizer::Timeout(long value, bool getOnly)
{
    if (!getOnly)
        ITSTIMEOUT = value;
    return ITSTIMEOUT;
}

uint8_t CAZPOptimizer::Generate(const CSBPData& sbp, CAZPData& azp, const AZPDefinitionen& pool)
{
    // A negative count is no count either.
    if (ITSANZAHLGRUPPEN <= 0)
        return 5;
    // Refused before the plan is touched.
    if (!AZPSearchFits(GroupsOf(ITSANZAHLGRUPPEN), azp.CountDays()))
        return 5;
    azp.SetGroupCount(GroupsOf(ITSANZAHLGRUPPEN));
    CAZPGenerator generator;
    generator.Init(pool);
    generator.Generate(sbp, azp);
    Run(azp, pool);
    return 1;
}

void CAZPOptimizer::AddOptimizerCriteria(CKriterienChecker& checker) const
{
    if (!ITSDEFMANAGER)
        return;
    for (long number : kOptimizerKriterien)
        checker.Add(ITSDEFMANAGER->FindKriterium(number));
}

double CAZPOptimizer::ComputePlanQuality(CAZPData& azp, const AZPDefinitionen& pool)
{
    const AZPDefinitionen* before = ITSDEFMANAGER;
    ITSDEFMANAGER = &pool;
    CKriterienChecker checker;
    AddOptimizerCriteria(checker);
    ITSDEFMANAGER = before;
    CAZPBewertung evaluation;
    evaluation.Evaluate(azp);
    checker.CheckPlan(evaluation, 1);
    const double quality = evaluation.ComputeQuality();
    evaluation.Release();
    return quality;
}

void CAZPOptimizer::ReadParameters()
{
    ITSTABUDAUER = ReadParameter("Tabudauer", kTabudauerDefault);
    ITSRUECKSCHRITTE = ReadParameter("Rückschritte", kRueckschritteDefault);
    ITSRANDOMITY = ReadParameter("Randomity", kRandomityDefault);
    // Below 0 the draw RANDOM(0, R) has no range and 100 / (R + 1) may divide by zero: such a
    // value counts as not given.
    if (ITSRANDOMITY < 0)
        ITSRANDOMITY = kRandomityDefault;
}

long CAZPOptimizer::Elapsed() const
{
    const long clock = CLOCK ? CLOCK() : ClockNow();
    return ((clock + kDay - ITSSTARTZEIT) % kDay + kDay) % kDay;
}

bool CAZPOptimizer::TimeoutReached() const
{
    if (ITSTIMEOUT == 0)
        return false;
    const int64_t clock = CLOCK ? CLOCK() : ClockNow();
    int64_t start = ITSSTARTZEIT;
    int64_t limit = ITSTIMEOUT;
    if (clock < start) {
        // Midnight has passed: what was left of the day counts against the limit.
        limit -= kDay - start;
        start = 1;
    }
    return clock - start > limit;
}

void CAZPOptimizer::ShowProgress()
{
    const long e = Elapsed();
    ITSPROGRESS = e;
    if (!WINDOW)
        return;
    // Within an iteration the progress is shown after every sample; only what changed is set,
    // so the window layer redraws nothing in vain.
    if (ITSITERATION != SHOWNITERATION) {
        WINDOW->SetText(int(ITSPROGRESSMSG), "aktuelle Iteration: " + std::to_string(ITSITERATION));
        SHOWNITERATION = ITSITERATION;
    }
    if (e != SHOWNPROGRESS) {
        const double percent = ITSTIMEOUT == 0 ? 0.0 : double(e) / double(ITSTIMEOUT) * 100.0;
        std::string text = FormatPicture(percent, "@N3") + " % fertiggestellt.";
        if (text != SHOWNPERCENT) {
            WINDOW->SetText(int(ITSPERCENTAGE), text);
            SHOWNPERCENT = std::move(text);
        }
        WINDOW->ShowProgress();
        SHOWNPROGRESS = e;
    }
}

void CAZPOptimizer::BeginSearch(CAZPData& azp, const AZPDefinitionen& pool)
{
    ITSDEFMANAGER = &pool;
    ITSAZP = &azp;
    ITSCHECKER = std::make_unique<CKriterienChecker>();
    ITSAZPB = std::make_unique<CAZPBewertung>();
    ITSINKREMENT = std::make_unique<CAZPInkrementelleBewertung>();
    ReadParameters();

    ITSITERATION = 0;
    ITSUSERABORT = 0;
    const uint32_t groups = azp.CountGroups();
    PAIRCOUNT = AZPPairCount(groups);
    ITSKOMBINATIONEN = uint64_t(PAIRCOUNT) * azp.CountDays();
    PAIRS.clear();
    if (PAIRCOUNT <= kPairTableMax) {
        PAIRS.reserve(PAIRCOUNT);
        for (uint32_t k = 1; k <= PAIRCOUNT; ++k)
            PAIRS.push_back(DecodeAZPMove(k, groups, 1));
    }
    BESTPLAN = std::make_unique<CAZPData>();
    BESTPLAN->SetSchichttypen(azp.GetSchichttypen(), 0);
    AddOptimizerCriteria(*ITSCHECKER);
    // A checker the incremental assessment cannot follow exactly is assessed in full.
    if (!CAZPInkrementelleBewertung::Follows(*ITSCHECKER))
        ITSINKREMENT.reset();
    ITSSTARTZEIT = CLOCK ? CLOCK() : ClockNow();

    PLANQUALITYVALID = false;
    CURRENTQUALITY = BESTQUALITY = AssessPlan();
    BESTPLAN->CopyFrom(azp);
    LASTIMPROVEMENT = IMPROVEMENTS = RETURNS = 0;
    RESULT = 5;
    LASTMOVE = 0;

    // Without a tabu list (a single move, or more moves than a search takes on) no move is made.
    ITSTABULISTE.clear();
    if (ITSKOMBINATIONEN > 1 && ITSKOMBINATIONEN <= kMaxAZPMoves)
        ITSTABULISTE.assign(ITSKOMBINATIONEN, 0);
}

AZPMove CAZPOptimizer::Decode(uint64_t m) const
{
    if (!ITSAZP || PAIRCOUNT == 0 || m == 0 || m > ITSKOMBINATIONEN)
        return {};
    // A search holds at most kMaxAZPMoves moves: 32 bits divide faster than 64.
    static_assert(kMaxAZPMoves < (uint64_t(1) << 32));
    const uint32_t day = m <= kMaxAZPMoves ? uint32_t(m - 1) / PAIRCOUNT + 1 : static_cast<uint32_t>((m - 1) / PAIRCOUNT + 1);
    const uint64_t k = m - uint64_t(PAIRCOUNT) * (day - 1);
    AZPMove move = k <= PAIRS.size() ? PAIRS[k - 1] : DecodeAZPMove(k, ITSAZP->CountGroups(), 1);
    move.day = day;
    return move;
}

void CAZPOptimizer::DoMove(uint64_t m)
{
    if (const AZPMove move = Decode(m); move.day != 0)
        ITSAZP->SwapCells(move.day, move.group1, move.group2);
}

bool CAZPOptimizer::SwapsEqualCells(uint64_t m) const
{
    const AZPMove move = Decode(m);
    return move.day == 0 || ITSAZP->GetCell(move.day, move.group1) == ITSAZP->GetCell(move.day, move.group2);
}

double CAZPOptimizer::AssessPlan()
{
    if (PLANQUALITYVALID)
        return PLANQUALITY;
    ITSAZPB->Evaluate(*ITSAZP);
    ITSCHECKER->CheckPlan(*ITSAZPB, 1);
    PLANQUALITY = ITSAZPB->ComputeQuality();
    PLANQUALITYVALID = true;
    return PLANQUALITY;
}

double CAZPOptimizer::AssessMove(uint64_t m, double bound)
{
    const AZPMove move = Decode(m);
    // Exchanging two equal shifts leaves the plan as it is, and so its quality.
    if (PLANQUALITYVALID &&
        (move.day == 0 || ITSAZP->GetCell(move.day, move.group1) == ITSAZP->GetCell(move.day, move.group2)))
        return PLANQUALITY;
    if (ITSINKREMENTELL && ITSINKREMENT && move.day != 0) {
        // The base is the plan as it stands; it is rebuilt once after each change of the plan.
        if (!ITSINKREMENT->HasBase())
            ITSINKREMENT->Reset(*ITSAZP, *ITSCHECKER);
        if (ITSINKREMENT->HasBase())
            return ITSINKREMENT->AssessSwap(move.day, move.group1, move.group2, bound);
    }
    DoMove(m);
    ITSAZPB->Evaluate(*ITSAZP);
    DoMove(m);
    ITSCHECKER->CheckPlan(*ITSAZPB, 1);
    return ITSAZPB->ComputeQuality();
}

uint64_t CAZPOptimizer::DrawMove()
{
    if (ITSKOMBINATIONEN <= uint64_t(std::numeric_limits<int32_t>::max()))
        return uint64_t(RandomBetween(1, int32_t(ITSKOMBINATIONEN)));
    // Beyond 31 bits: two draws make a 64-bit number, folded into the range (the bias of the
    // fold is below 2^-30 for any plan the program can hold).
    const uint64_t r = (uint64_t(RandomNext()) << 32) | RandomNext();
    return r % ITSKOMBINATIONEN + 1;
}

void CAZPOptimizer::MakeMove()
{
    uint64_t chosen = 1;
    bool taken = false;
    double chosenQuality = 0.0;
    const auto admissible = [this](uint64_t m) {
        const int32_t last = ITSTABULISTE[m - 1];
        return last == 0 || ITSITERATION - last >= ITSTABUDAUER;
    };
    // A tabu move is never taken whatever its quality, so it is not assessed at all; nor is a
    // move further than needed to tell that it does not beat the best candidate so far. Without
    // a window the progress is taken once per iteration (reading the clock costs as much as
    // assessing a small plan's candidate).
    const auto consider = [&](uint64_t m) {
        if (!admissible(m))
            return;
        const double q = AssessMove(m, taken ? chosenQuality : std::numeric_limits<double>::infinity());
        if (!taken || q < chosenQuality) {
            chosen = m;
            chosenQuality = q;
            taken = true;
        }
    };

    if (ITSKOMBINATIONEN == 0 || ITSTABULISTE.size() < ITSKOMBINATIONEN)
        return;
    if (ITSKOMBINATIONEN < kFullScanBelow || ITSRANDOMITY == 0) {
        for (uint64_t m = 1; m <= ITSKOMBINATIONEN; ++m) {
            if (ITSRANDOMITY == 0 || RandomBetween(0, int32_t(ITSRANDOMITY)) == 0)
                consider(m);
            if (WINDOW && m % 10 == 0)
                ShowProgress();
            if (TimeoutReached() || ITSUSERABORT)
                break;
        }
    } else {
        const int64_t samples = (100 + ITSRANDOMITY) / (int64_t(ITSRANDOMITY) + 1);  // ceil(100 / (R + 1))
        for (int64_t s = 1; s <= samples; ++s) {
            consider(DrawMove());
            if (WINDOW)
                ShowProgress();
            if (TimeoutReached() || ITSUSERABORT)
                break;
        }
    }

    const bool unchanged = SwapsEqualCells(chosen);
    DoMove(chosen);
    if (!unchanged && ITSINKREMENT) {
        // The incremental assessment takes the move into its evaluations in place.
        const AZPMove move = Decode(chosen);
        ITSINKREMENT->Moved(move.day, move.group1, move.group2);
    }
    if (taken)
        PLANQUALITY = chosenQuality, PLANQUALITYVALID = true;
    else if (!unchanged)
        PLANQUALITYVALID = false;
    ITSTABULISTE[chosen - 1] = static_cast<int32_t>(ITSITERATION);
    LASTMOVE = chosen;
}

void CAZPOptimizer::Iteration()
{
    ++ITSITERATION;
    ShowProgress();
    MakeMove();
    CURRENTQUALITY = AssessPlan();
    if (CURRENTQUALITY < BESTQUALITY) {
        BESTPLAN->CopyFrom(*ITSAZP);
        BESTQUALITY = CURRENTQUALITY;
        LASTIMPROVEMENT = ITSITERATION;
        ++IMPROVEMENTS;
        RESULT = 1;
        if (WINDOW) {
            WINDOW->SetText(WINDOW->InfoControl(1), "Verbesserungen: " + std::to_string(IMPROVEMENTS));
            WINDOW->SetText(WINDOW->InfoControl(2), "bei Iteration Nr: " + std::to_string(LASTIMPROVEMENT));
            WINDOW->SetText(WINDOW->InfoControl(3),
                            "aktuelle Plangüte: " + FormatPicture(CURRENTQUALITY, kQualityPicture));
        }
    } else if (ITSITERATION - LASTIMPROVEMENT > ITSRUECKSCHRITTE) {
        ITSAZP->CopyFrom(*BESTPLAN);
        if (ITSINKREMENT)
            ITSINKREMENT->Invalidate();
        PLANQUALITY = BESTQUALITY;
        PLANQUALITYVALID = true;
        std::fill(ITSTABULISTE.begin(), ITSTABULISTE.end(), 0);
        LASTIMPROVEMENT = ITSITERATION;
        ++RETURNS;
    }
}

bool CAZPOptimizer::TimerStep()
{
    const auto now = [this] {
        if (PACECLOCK)
            return PACECLOCK();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
    const double start = now();
    do {
        Iteration();
        if (CURRENTQUALITY == 0.0 || TimeoutReached())
            return false;
    } while (ITSRECHENZEIT > 0 && now() - start < double(ITSRECHENZEIT));
    return true;
}

void CAZPOptimizer::EndSearch()
{
    ITSTABULISTE.clear();
    ITSTABULISTE.shrink_to_fit();
    if (ITSAZP && BESTPLAN)
        ITSAZP->CopyFrom(*BESTPLAN);
    if (ITSAZPB)
        ITSAZPB->Release();
    if (ITSCHECKER)
        ITSCHECKER->Release();
    ITSCHECKER.reset();
    ITSAZPB.reset();
    ITSINKREMENT.reset();
    PLANQUALITYVALID = false;
}

std::string CAZPOptimizer::ResultText(double quality)
{
    if (ITSKOMBINATIONEN <= 1)
        return "Dieser Plan bietet keine Optimierungsmöglichkeit.";
    if (quality == 0.0)
        return "Ein verstossfreier Plan wurde gefunden.";
    if (ITSUSERABORT)
        return "Die Generierung wurde abgebrochen.";
    if (TimeoutReached())
        return "Die Generierungszeit betrug " + FormatPicture(Elapsed(), "@T4");
    return "Abbruchbedingung unbekannt.";
}

uint8_t CAZPOptimizer::Run(CAZPData& azp, const AZPDefinitionen& pool)
{
    if (!AZPSearchFits(azp.CountGroups(), azp.CountDays()))
        return 5;
    CProgressWindow window(ProgressLayout::Optimizer);
    window.Create(UseVar(ITSPROGRESS));
    WINDOW = &window;
    // The window lives on this stack: no pointer to it outlasts the run, even when an aborted
    // run unwinds.
    struct Forget {
        CProgressWindow*& window;
        ~Forget() { window = nullptr; }
    } forget{WINDOW};

    BeginSearch(azp, pool);
    if (ITSKOMBINATIONEN > 1) {
        window.Open();
        ITSPROGRESSMSG = window.InfoControl(4);
        ITSPROGRESSBAR = window.ProgressControl();
        ITSPERCENTAGE = window.PercentControl();
        window.SetRange(0, ITSTIMEOUT);
        window.SetText(window.InfoControl(1), "Verbesserungen:");
        window.SetText(window.InfoControl(2), "bei Iteration Nr:");
        window.SetText(window.InfoControl(3), "aktuelle Plangüte:");
        window.ShowMaxTime(ITSTIMEOUT);
        SHOWNITERATION = SHOWNPROGRESS = -1;
        SHOWNPERCENT.clear();
        ShowProgress();
        window.RunLoop([this] { return TimerStep(); });
        if (window.Cancelled())
            ITSUSERABORT = 1;
        window.Display();
    }

    std::string text = ResultText(CURRENTQUALITY);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    const uint8_t result = RESULT;
    EndSearch();

    // The window the search belongs to is being closed: nobody is left to read the result.
    if (window.ClosedByOwner()) {
        window.Close();
        BESTPLAN.reset();
        return result;
    }
    MessageRequest message;
    message.caption = "Plangütewert AZP";
    message.icon = MessageIcon::Asterisk;
    message.buttonBits = BUTTON_OK;
    message.defaultButton = BUTTON_OK;
    message.text = "Die Bewertungskennzahl des optimierten Arbeitszeitplans beträgt " +
                   FormatPicture(BESTQUALITY, kQualityPicture) + "|Anzahl Iterationen " +
                   std::to_string(ITSITERATION) + "|Verbesserungen: " + std::to_string(IMPROVEMENTS) +
                   "|Rückschritte: " + std::to_string(RETURNS) + "|" + text;
    MessageDialog(message);

    window.Close();
    BESTPLAN.reset();
    return result;
}
