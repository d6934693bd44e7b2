#pragma once
// RotaModel: a rotating-workforce instance as a worksheet in memory - one week's reference
// period, one shift group per worker, the shift types of the instance (no breaks), its demand as
// the shift demand plan, and constraints and criteria set so that the search's criteria say what
// the instance's rules say:
//   - runs of working days: KR10 with min_work .. max_work;
//   - forbidden shifts on consecutive days: KR2's minimum rest, when a rest limit separates the
//     forbidden pairs from the allowed ones (11 hours when that does, else the lowest that does);
//   - forbidden "X, a free day, Y": KR5's rest after night work, for night shifts X, when a limit
//     separates them;
//   - KR9 stays (the search always checks it) with no limits; every other criterion is off.
// What the criteria cannot say exactly is listed in Notes(); the demand holds by construction
// (the generator places each day's shifts and a move exchanges two groups' shifts on one day).
#include "rota/RotaChecker.h"
#include "rota/RotaInstance.h"

#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "generation/AZPGenerator.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include <cstdint>
#include <string>
#include <vector>

class CAZPData;

struct RotaRun {
    double startQuality = 0;   // after the constructive generator
    double bestQuality = 0;
    long iterations = 0;
    double secondsToBest = 0;  // from the start of the generator
    double seconds = 0;        // the whole run
    Rota rota;                 // the best plan met
};

class RotaModel {
public:
    explicit RotaModel(const RotaInstance& instance);
    RotaModel(const RotaModel&) = delete;
    RotaModel& operator=(const RotaModel&) = delete;

    // Rules of the instance the criteria do not express exactly, one English line each.
    const std::vector<std::string>& Notes() const { return notes_; }
    // Minimum rest (KR2) and rest after night work (KR5) in minutes; 0 where the criterion is off.
    int RestLimit() const { return restLimit_; }
    int NightRestLimit() const { return nightRestLimit_; }
    // Whether the criteria mark shift `before`, a free day when dayOff, then shift `after`
    // (1 .. nb_shifts), as the checker's RotaJudged asks.
    bool Judges(int before, bool dayOff, int after) const;

    // The constructive generator from the random start `randomStart`, then the tabu search's iterations
    // at its defaults until quality 0 or `limit` seconds have passed; candidates assessed
    // incrementally, or in full (the reference) when `incremental` is false.
    RotaRun Solve(double limit, uint64_t randomStart, bool incremental = true);
    // The search's quality value of a rota.
    double Quality(const Rota& rota);

private:
    void ChooseLimits();
    // Minutes of rest from shift x (0-based) to shift y after `gap` free days.
    int Rest(int x, int gap, int y) const;
    // What KR2 with limit r and KR5 with limit q mark: the rest before the next shift is below
    // the limit; KR5 only after a night shift followed by a free day.
    bool Marked(int x, int gap, int y, int r, int q) const;
    void Fill(CAZPData& azp, const Rota& rota) const;
    Rota Read(const CAZPData& azp) const;

    RotaInstance instance_;
    std::vector<std::string> notes_;
    int restLimit_ = 0;
    int nightRestLimit_ = 0;
    std::vector<uint32_t> sysid_;   // shift k's SYSID at k - 1

    CSchichttypen types_;
    CSBPData sbp_;
    CRahmenbedingungMindestruhezeit rb4_;
    CRahmenbedingungKontArbeitstage rb7_;
    CRahmenbedingungWAZMittel rb15_;
    CRahmenbedingungWAZGrenzen rb16_;
    CRahmenbedingungRZNachtarbeit rb21_;
    CKriteriumRuhezeit kr2_;
    CKriteriumNachtFrueh kr5_;
    CKriteriumWAZGrenzen kr9_;
    CKriteriumKontArbeitstage kr10_;
    AZPDefinitionen pool_;
};
