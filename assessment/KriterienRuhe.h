#pragma once
// The rest criteria: the minimum rest between shifts with compensation (KR2), the work-free
// Sunday or a substitute rest day and the continuous weekly rest (KR3), the change from a night
// shift over a free day to the next shift (KR5) and the display of long rests (KR18). They read
// the evaluation's rest periods; KR3 books the Sundays and substitute days on them, so KR2, run
// after it, leaves those rests alone. The constraints belong to the definitions pool, which links
// them before any check; a criterion without its links finds nothing.
#include "assessment/AZPAenderung.h"
#include "assessment/AZRManager.h"
#include "assessment/Kriterium.h"

#include <cstdint>
#include <vector>

class CRahmenbedingungKontWochenruhezeit;
class CRahmenbedingungMindestruhezeit;
class CRahmenbedingungRZAnzeige;
class CRahmenbedingungRZNachtarbeit;
class CRuhezeiten;
class CSchichtNode;

// KR2 "Mindestruhezeiten zwischen Schichten einhalten": every rest shorter than the minimum
// marks the cell of the shift before it (position 3) and of the shift after it (position 9) with
// the missing minutes. A rest of at least the shortened minimum counts 0 when a long rest of the
// same compensation block makes up for it - except in the optimiser's quick assessments.
class CKriteriumRuhezeit : public CKriterium, public IAZPChecker, public IAZPAenderung {
public:
    CRahmenbedingungMindestruhezeit* RB4 = nullptr;  // not owned
    CAZRManager AZRMGR;

    CKriteriumRuhezeit();
    void SetRahmenbedingung(CRahmenbedingungMindestruhezeit* rb4) { RB4 = rb4; }
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // As the quick check (no compensation): a rest depends on its shift and the next one, so a
    // change reaches the first and last cells of the rests after the changed shifts and after the
    // shifts before them (in the base and in the candidate); those cells get all their records
    // again, from the rests of the shifts around them. The rests must be as the evaluation made
    // them (no criterion before this one books compensation on them).
    void KeepBase(const CAZPBewertung& base) override { base_ = &base; }
    bool CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) override;
    // Only the rests of those shifts differ between the two plans: each short one has two
    // records of its missing minutes.
    bool ChangeAmounts(const CAZPBewertung& candidate, std::span<const long> changed, AZPAmountChange& out) override;
    // Arrows from the first to the last cell of the short rest with its length in hours; green
    // when compensated. Also draws the weekly rest records KR3 makes in KR2's name (position 0).
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override;

    // 1 when a long rest of the compensation block that holds day d still has its free part and
    // is at least the minimum plus the shortfall of shortRest; that rest is then used up. 0 without
    // such a rest, without RB4 or with a compensation period of 0 weeks.
    uint8_t FindCompensation(long day, int64_t shortRest, CRuhezeiten& rests);

private:
    // The cells of the rest after a shift node: first (the shift's end, or the day before when
    // the rest begins and ends on one day) and last (the next shift's begin).
    static void RestCells(const CSchichtNode& node, long n, long& first, long& last);
    const CAZPBewertung* base_ = nullptr;
};

// KR3 "arbeitsfreie Sonntage/Ersatzruhetag einhalten": a Sunday not covered by a rest of a whole
// day (the Sunday may be moved by RB6's shift in night work) needs a substitute rest day in the
// surrounding weeks: a cross on the Sunday, green when one was found. A covered Sunday whose rest
// is shorter than the continuous weekly rest gets a weekly rest record in KR2's name.
class CKriteriumSonntagsruhe : public CKriterium, public IAZPChecker {
public:
    CRahmenbedingungKontWochenruhezeit* RB6 = nullptr;  // not owned
    CKriteriumRuhezeit* KR2 = nullptr;                  // the pool's KR2; not owned

    CKriteriumSonntagsruhe();
    void SetRahmenbedingung(CRahmenbedingungKontWochenruhezeit* rb6) { RB6 = rb6; }
    void SetKriteriumRuhezeit(CKriteriumRuhezeit* kr2) { KR2 = kr2; }
    // Copies RB6's values; the KR2 link is cut (the pool links it again).
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override;
    // Its weekly rest records stand in KR2's name, and its bookings on the rests change what KR2
    // finds.
    bool KeepsToItsOwn() const override { return false; }

private:
    struct Woche {
        long week;
        int64_t rest;  // minutes (below 0 for a rest shorter than a day)
    };
    bool FindSubstituteDay(long week, CRuhezeiten& rests);
    bool TryWeek(long week, CRuhezeiten& rests);
    bool TryRest(CRuhezeitNode& r, long week, CRuhezeiten& rests);

    // Per check.
    std::vector<Woche> withoutRest_;   // Sundays without a whole day's rest
    std::vector<Woche> shortRest_;     // Sundays whose rest is shorter than the weekly rest
    long weeks_ = 0;
    uint32_t period_ = 0;
    int64_t shift_ = 0;     // how far the Sunday may move, minutes
    int64_t need2_ = 0;     // rest a substitute day needs
    int64_t booking_ = 0;   // minutes booked beside the day
    int64_t substitute_ = 0;
};

// KR5 "Schichtwechsel Nacht-frei-Früh vermeiden": a night shift whose rest is shorter than RB21's
// rest after night work marks the next cell when that cell holds no shift - a free day or a free
// shift kind, also when an earlier criterion of the same check has put its record there.
class CKriteriumNachtFrueh : public CKriterium, public IAZPChecker, public IAZPAenderung {
public:
    CRahmenbedingungRZNachtarbeit* RB21 = nullptr;  // not owned

    CKriteriumNachtFrueh();
    void SetRahmenbedingung(CRahmenbedingungRZNachtarbeit* rb21) { RB21 = rb21; }
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // A record stands on the day after a night shift, which depends on that shift and its rest
    // to the next shift: a change reaches its own cells, the days after them and the days after
    // the shifts before them (in the base and in the candidate).
    void KeepBase(const CAZPBewertung& base) override { base_ = &base; }
    bool CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) override;
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override;

private:
    // The amount of the record on cell c after the night shift of the cell before; false without.
    bool RecordAt(const CAZPBewertung& evaluation, long c, int64_t need, uint32_t& amount) const;
    const CAZPBewertung* base_ = nullptr;
};

// KR18 "Ruhezeiten anzeigen (kein Bewertungskriterium)": every rest of at least RB22's hours is
// shown in hours beside its shift's cell.
class CKriteriumRuhezeitAnzeige : public CKriterium, public IAZPChecker {
public:
    CRahmenbedingungRZAnzeige* RB22 = nullptr;  // not owned

    CKriteriumRuhezeitAnzeige();
    void SetRahmenbedingung(CRahmenbedingungRZAnzeige* rb22) { RB22 = rb22; }
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override;
};
