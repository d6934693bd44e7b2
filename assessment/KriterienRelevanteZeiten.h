#pragma once
// The relevant-times criteria: how often shifts disturb night sleep (KR11, KR12), social times
// (KR13, KR14) and family times (KR15, KR16). For every weekday the linked constraint (RB18, RB19,
// RB20) gives a relevant time of a length that may begin anywhere between an earliest and a
// latest clock time; a shift that leaves no room for it disturbs the day. The single criteria
// limit the disturbed days per week, the continuous ones the runs of consecutive disturbed days.
// All six share CKriteriumRelevanteZeiten and differ in number, mode and marker icon; they also
// price shifts for the shift demand generator.
#include "assessment/AZPAenderung.h"
#include "assessment/Kriterium.h"
#include "core/Termin.h"

#include <array>
#include <cstdint>
#include <vector>

class CRahmenbedingungRelevanteZeiten;
class CSchichtNode;

constexpr uint8_t PRUEFMODUS_EINZEL = 1;  // disturbed days per week
constexpr uint8_t PRUEFMODUS_KONT = 2;    // runs of consecutive disturbed days

class CKriteriumRelevanteZeiten : public CKriterium, public IAZPChecker, public ISTLPCost, public IAZPAenderung {
public:
    CRahmenbedingungRelevanteZeiten* RBRELEVANTEZEITEN = nullptr;  // not owned
    uint8_t PRUEFMODUS = 0;

    // Links the constraint; the weight is read now (default 20, x 1000).
    void SetRahmenbedingung(CRahmenbedingungRelevanteZeiten* constraint);
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // Whether a shift is disturbed depends on it and its rest to the next shift: a change reaches
    // its own cells and the shifts before them (in the base and in the candidate), and with them
    // their weeks (single mode) or runs of disturbed days (continuous mode).
    void KeepBase(const CAZPBewertung& base) override;
    bool CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) override;
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override
    {
        PaintIcon(cell, record, dc, left, top, width, height);
    }
    // The disturbance of the shift type's own interval, without its rest.
    double GetCost(const CSchicht& shift, uint16_t day, uint8_t flag) override;
    uint8_t IsActive() override { return AKTIVIERT; }

    // The class's icon at the top centre of the cell.
    virtual void PaintIcon(long, const VERSTOSSINFO&, const GridDC&, int, int, int, int) {}

    // How much a shift interval disturbs the relevant time of its weekday - or, when not at all,
    // that of the weekday before, which may reach into the morning: the overlap with the latest
    // placement of the time when the earliest one is disturbed too, else 0. With checkRest a
    // placement the shift does not touch is still disturbed by the part of the relevant time
    // that the rest after the shift cannot hold.
    uint32_t Disturbance(const ::TERMIN& interval, bool checkRest, uint32_t rest) const;

    // Check keeps what a shift's times and weekday decide about the relevant times (all but the
    // rest after it) from one check to the next, for as long as the constraint's times are the
    // same. Off: every shift is judged by Disturbance, as a reference for tests.
    void UseCache(bool on)
    {
        useCache_ = on;
        ForgetCache();
    }

protected:
    CKriteriumRelevanteZeiten(long number, uint8_t mode);
    void PaintClassIcon(const GridDC& dc, int left, int top, int width, const char* icon) const;

private:
    // The earliest and the latest placement of weekday's relevant time on the day of the
    // interval's begin (or, dayBefore, on the day before); returns the time's length.
    uint32_t PlacementWindows(int weekday, const ::TERMIN& interval, bool dayBefore, ::TERMIN& earliest,
                              ::TERMIN& latest) const;
    uint32_t ForWeekday(int weekday, const ::TERMIN& interval, bool dayBefore, bool checkRest, uint32_t rest) const;
    // Records for a group or run of disturbed days (cells) in the order given, when more than
    // limit.
    void Report(CAZPBewertung& evaluation, const std::vector<long>& days, std::size_t from, std::size_t to,
                uint16_t limit);
    // The amount of each record of a group or run of k disturbed days; false when k is allowed.
    static bool GroupAmount(std::size_t k, uint16_t limit, uint32_t& amount);
    // Whether cell c of the evaluation holds a disturbed shift.
    bool DisturbedAt(const CAZPBewertung& evaluation, long c) const;
    const CAZPBewertung* base_ = nullptr;
    // The cells of the disturbed days in cycle order, into days (emptied first).
    void CollectDisturbed(const CAZPBewertung& evaluation, std::vector<long>& days);

    // For one weekday's relevant time and one shift interval: whether the earliest and the latest
    // placement overlap the shift, and the time's length. Disturbed when each placement either
    // overlaps or is longer than the rest after the shift.
    struct Placements {
        uint32_t length = 0;
        bool earliest = false;
        bool latest = false;
        bool Disturbed(uint32_t rest) const
        {
            const bool tooShortRest = length > rest;
            return (earliest || tooShortRest) && (latest || tooShortRest);
        }
    };
    // A shift's times within its day (begin and end minute from the day's midnight) with, per
    // slot, its placements on its own weekday and on the weekday before: slot 1..7 is the weekday
    // of any day but the cycle's first, slot 0 the first day (where the day before is cut at the
    // cycle's start).
    // Both placements together come down to one bound per slot: disturbed when the rest after
    // the shift is below it (above any rest when a placement on either day is always disturbed).
    struct CachedShift {
        uint32_t begin = 0, end = 0;
        uint8_t known = 0;  // bit per slot
        std::array<uint64_t, 8> restBelow{};
    };
    // The cache entry of the interval's times within its day, made when new.
    CachedShift& EntryFor(uint32_t begin, uint32_t end);
    // Works out the entry's bound for a slot not met before.
    void FillSlot(CachedShift& entry, std::size_t slot, const ::TERMIN& interval) const;
    // Per shift type of the evaluation and slot (type x 8 + slot), the bound of the cache entry
    // of the type's times: a shift disturbs when the rest after it is below it.
    void BoundsFor(const CAZPBewertung& evaluation);
    Placements PlacementsOf(int weekday, const ::TERMIN& interval, bool dayBefore) const;
    // Empties the cache when the constraint or its times differ from those it was made for.
    void ValidateCache();
    void ForgetCache();

    // Scratch lists of one check, kept so that repeated checks do not allocate: the disturbed days
    // when they are not shared, and the run over the cycle's end.
    std::vector<long> days_;
    std::vector<long> run_;
    std::vector<uint64_t> bounds_;
    // The cache: few shift times, each met on every day of the plan.
    bool useCache_ = true;
    std::vector<CachedShift> cache_;
    const CRahmenbedingungRelevanteZeiten* cachedFor_ = nullptr;
    std::array<int32_t, 21> cachedTimes_{};
};

class CKriteriumNachtschlafEinzel : public CKriteriumRelevanteZeiten {
public:
    CKriteriumNachtschlafEinzel();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumNachtschlafKont : public CKriteriumRelevanteZeiten {
public:
    CKriteriumNachtschlafKont();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumSozialzeitEinzel : public CKriteriumRelevanteZeiten {
public:
    CKriteriumSozialzeitEinzel();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumSozialzeitKont : public CKriteriumRelevanteZeiten {
public:
    CKriteriumSozialzeitKont();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumFamilienzeitEinzel : public CKriteriumRelevanteZeiten {
public:
    CKriteriumFamilienzeitEinzel();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};

class CKriteriumFamilienzeitKont : public CKriteriumRelevanteZeiten {
public:
    CKriteriumFamilienzeitKont();
    void PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width, int) override;
};
