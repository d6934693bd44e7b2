#include "rota/RotaModel.h"

#include "core/Schicht.h"
#include "generation/AZPOptimizer.h"
#include "platform/values/Decimal.h"
#include "platform/values/Random.h"
#include "plans/AZPData.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr int kDay = 1440;
// Free days between two shifts up to which the criteria's marks are compared with the rules; from
// three on every rest is longer than any limit chosen here.
constexpr int kMostGaps = 3;

// A clock value (hundredths + 1) of whole minutes.
int32_t TimeOfMinutes(int minutes) { return int32_t(minutes) * 6000 + 1; }

bool Night(int start) { return start < 360 || start > 1080; }   // as shift types are classed by their begin

} // namespace

RotaModel::RotaModel(const RotaInstance& instance) : instance_(instance)
{
    for (int k = 0; k < instance_.shifts; ++k) {
        CSchicht s;
        s.Clear();
        s.ART = ART_NORMAL;
        s.KURZBEZEICHNUNG = instance_.shiftName[std::size_t(k)];
        s.BEZEICHNUNG = "Schicht " + s.KURZBEZEICHNUNG;
        const uint32_t from = uint32_t(instance_.shiftStart[std::size_t(k)]);
        s.TERMIN = {from, from + uint32_t(instance_.shiftLength[std::size_t(k)])};
        s.ClassifyLageByStart();
        types_.AddSchicht(s, false);
        sysid_.push_back(s.SYSID);
    }
    sbp_.SetSchichttypen(&types_);
    sbp_.SetBezugsrahmen(1);
    sbp_.SetSchichtgruppenstaerke(1);
    sbp_.SyncSchichttypen();
    for (int k = 0; k < instance_.shifts; ++k)
        for (uint32_t d = 1; d <= 7; ++d)
            sbp_.SetCount(d, sysid_[std::size_t(k)], uint32_t(instance_.demand[std::size_t(k)][d - 1]));

    ChooseLimits();

    rb7_.KONTAZ_MIN = uint16_t(std::min(instance_.minWork, 65535));
    rb7_.KONTAZ_MAX = uint16_t(std::min(instance_.maxWork, 65535));
    rb4_.RZ_DAUER_OHNE_AUSGLEICH = restLimit_ > 0 ? TimeOfMinutes(restLimit_) : 0;
    rb4_.RZ_DAUER_MIT_AUSGLEICH = 0;
    rb4_.RZ_AUSGLEICHSZEITRAUM = 1;
    // The smallest number of hundredths of an hour that is at least the limit in whole minutes.
    rb21_.RZNACHTARBEIT_MIN = Decimal::FromCents((int64_t(nightRestLimit_) * 100 + 59) / 60);

    kr2_.SetRahmenbedingung(&rb4_);
    kr5_.SetRahmenbedingung(&rb21_);
    kr9_.SetRahmenbedingung(&rb15_, &rb16_);
    kr10_.SetRahmenbedingung(&rb7_);
    kr2_.AKTIVIERT = restLimit_ > 0;
    kr5_.AKTIVIERT = nightRestLimit_ > 0;
    kr9_.AKTIVIERT = 0;
    kr10_.AKTIVIERT = 1;
    pool_.RB4 = &rb4_;
    pool_.RB7 = &rb7_;
    pool_.KRITERIEN = {&kr2_, &kr5_, &kr9_, &kr10_};

    notes_.push_back("free runs of " + std::to_string(instance_.minDaysOff) + " to " +
                     std::to_string(instance_.maxDaysOff) + " days are not expressed");
    std::string blocks;
    for (int k = 0; k < instance_.shifts; ++k)
        blocks += (k ? ", " : "") + instance_.shiftName[std::size_t(k)] + " " +
                  std::to_string(instance_.blockMin[std::size_t(k)]) + "-" +
                  std::to_string(instance_.blockMax[std::size_t(k)]);
    notes_.push_back("runs of one shift (" + blocks + ") are not expressed");
}

int RotaModel::Rest(int x, int gap, int y) const
{
    return (gap + 1) * kDay + instance_.shiftStart[std::size_t(y)] -
           (instance_.shiftStart[std::size_t(x)] + instance_.shiftLength[std::size_t(x)]);
}

bool RotaModel::Marked(int x, int gap, int y, int r, int q) const
{
    const int a = Rest(x, gap, y);
    return (r > 0 && a < r) || (q > 0 && gap >= 1 && Night(instance_.shiftStart[std::size_t(x)]) && a < q);
}

bool RotaModel::Judges(int before, bool dayOff, int after) const
{
    return before >= 1 && before <= instance_.shifts && after >= 1 && after <= instance_.shifts &&
           Marked(before - 1, dayOff ? 1 : 0, after - 1, restLimit_, nightRestLimit_);
}

void RotaModel::ChooseLimits()
{
    const int n = instance_.shifts;
    const auto rest = [&](int x, int gap, int y) { return Rest(x, gap, y); };
    const auto forbidden = [&](int x, int gap, int y) {
        for (const RotaForbidden& f : instance_.forbidden)
            if (f.before == x + 1 && f.after == y + 1 && ((gap == 0 && !f.dayOff) || (gap == 1 && f.dayOff)))
                return true;
        return false;
    };
    const auto night = [&](int x) { return Night(instance_.shiftStart[std::size_t(x)]); };
    const auto marked = [&](int x, int gap, int y, int r, int q) { return Marked(x, gap, y, r, q); };
    // A limit is clean when it marks nothing the rules allow.
    const auto clean = [&](int r, int q) {
        for (int x = 0; x < n; ++x)
            for (int y = 0; y < n; ++y)
                for (int g = 0; g <= kMostGaps; ++g)
                    if (marked(x, g, y, r, q) && !forbidden(x, g, y))
                        return false;
        return true;
    };

    int pairMax = -1, nightSequenceMax = -1;
    for (const RotaForbidden& f : instance_.forbidden) {
        const int a = rest(f.before - 1, f.dayOff ? 1 : 0, f.after - 1);
        if (!f.dayOff)
            pairMax = std::max(pairMax, a);
        else if (night(f.before - 1))
            nightSequenceMax = std::max(nightSequenceMax, a);
    }
    // The minimum rest: 11 hours when that is exact, else the lowest limit that marks every
    // forbidden pair.
    if (pairMax >= 0) {
        restLimit_ = pairMax < 660 && clean(660, 0) ? 660 : std::max(pairMax + 1, 1);
    }
    // The rest after night work: whole hours when exact, else the lowest limit.
    if (nightSequenceMax >= 0) {
        const int lowest = std::max(nightSequenceMax + 1, 1);
        const int hours = (lowest + 59) / 60 * 60;
        nightRestLimit_ = clean(restLimit_, hours) ? hours : lowest;
    }

    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            for (int g = 0; g <= kMostGaps; ++g) {
                const bool m = marked(x, g, y, restLimit_, nightRestLimit_);
                const bool f = forbidden(x, g, y);
                if (m == f)
                    continue;
                std::string seq = instance_.shiftName[std::size_t(x)];
                for (int k = 0; k < g; ++k)
                    seq += " -";
                seq += " " + instance_.shiftName[std::size_t(y)];
                notes_.push_back(f ? "forbidden \"" + seq + "\" is not judged by the criteria"
                                   : "allowed \"" + seq + "\" is judged as a violation");
            }
}

void RotaModel::Fill(CAZPData& azp, const Rota& rota) const
{
    azp.DeleteAllGroups();
    azp.SetSchichttypen(const_cast<CSchichttypen*>(&types_), uint32_t(instance_.workers));
    azp.SetBezugsrahmen(1);
    for (std::size_t w = 0; w < rota.size(); ++w)
        for (std::size_t d = 0; d < rota[w].size() && d < 7; ++d) {
            const int s = rota[w][d];
            azp.SetCell(uint32_t(d + 1), uint32_t(w + 1), s > 0 && s <= instance_.shifts ? sysid_[std::size_t(s - 1)] : 0);
        }
}

Rota RotaModel::Read(const CAZPData& azp) const
{
    Rota rota(std::size_t(instance_.workers), std::vector<int>(7, 0));
    for (int w = 0; w < instance_.workers; ++w)
        for (int d = 0; d < 7; ++d) {
            const uint32_t id = azp.GetCell(uint32_t(d + 1), uint32_t(w + 1));
            for (std::size_t k = 0; k < sysid_.size(); ++k)
                if (id != 0 && sysid_[k] == id)
                    rota[std::size_t(w)][std::size_t(d)] = int(k + 1);
        }
    return rota;
}

double RotaModel::Quality(const Rota& rota)
{
    CAZPData azp;
    Fill(azp, rota);
    CAZPOptimizer judge;
    return judge.ComputePlanQuality(azp, pool_);
}

RotaRun RotaModel::Solve(double limit, uint64_t randomStart, bool incremental)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };

    RandomRestart(randomStart);
    CAZPData azp;
    azp.SetSchichttypen(&types_, uint32_t(instance_.workers));
    azp.SetBezugsrahmen(1);
    CAZPGenerator generator;
    generator.Init(pool_);
    generator.Generate(sbp_, azp);

    RotaRun run;
    CAZPOptimizer search;
    search.ITSINKREMENTELL = incremental ? 1 : 0;
    search.BeginSearch(azp, pool_);
    run.startQuality = search.BestQuality();
    run.secondsToBest = elapsed();
    long improvements = 0;
    while (search.BestQuality() > 0.0 && search.ITSKOMBINATIONEN > 1 && elapsed() < limit) {
        search.Iteration();
        if (search.Improvements() != improvements) {
            improvements = search.Improvements();
            run.secondsToBest = elapsed();
        }
    }
    run.bestQuality = search.BestQuality();
    run.iterations = search.ITSITERATION;
    search.EndSearch();
    run.seconds = elapsed();
    run.rota = Read(azp);
    return run;
}
