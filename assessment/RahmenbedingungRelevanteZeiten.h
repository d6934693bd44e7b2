#pragma once
// RB18 .. RB20: the times that matter outside work - night sleep, social and family activities.
// For every weekday a relevant time of at least DAUER_MIN may begin anywhere from
// ANFANGSZEIT_MIN to ANFANGSZEIT_MAX (TIME values); KONT_STOERUNGEN limits the run of
// consecutive disturbed days, EINZELSTOERUNGEN the disturbed days per week. The three share one
// layout; each is the copy of its record group (NACHTSCHLAFZEITEN with the fields NS_...,
// SOZIALZEITEN with SZ_..., FAMILIENZEITEN with FZ_...). No warning limits; the error limits
// are the most disturbances and the shortest relevant time (weekday 1's limit for every day).
#include <array>
#include <cstdint>
#include <string>

#include "assessment/Rahmenbedingung.h"

struct RELEVANTEZEIT {
    int32_t ANFANGSZEIT_MIN = 0;   // earliest begin
    int32_t ANFANGSZEIT_MAX = 0;   // latest begin (before the earliest: on the next day)
    int32_t DAUER_MIN = 0;         // length
};

class CRahmenbedingungRelevanteZeiten : public CRahmenbedingung {
public:
    std::array<RELEVANTEZEIT, 7> RELEVANTEZEITEN{};   // weekday 1 Monday .. 7 Sunday at 0..6
    uint16_t KONT_STOERUNGEN = 0;
    uint16_t EINZELSTOERUNGEN = 0;

    // A copy of any of the three, but this one keeps its own record fields.
    void Assign(const CRahmenbedingung& other) override;
    // The two counts are checked when edited; the seven lengths always.
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;

    // "NS", "SZ" or "FZ": the prefix of the record fields.
    const std::string& Prefix() const { return prefix_; }

protected:
    CRahmenbedingungRelevanteZeiten(std::string_view key, std::string_view prefix);

private:
    std::string Name(std::string_view member) const { return prefix_ + "_" + std::string(member); }
    std::string prefix_;
};

class CRahmenbedingungNachtschlafzeiten : public CRahmenbedingungRelevanteZeiten {
public:
    CRahmenbedingungNachtschlafzeiten();   // RB18
};

class CRahmenbedingungSozialzeiten : public CRahmenbedingungRelevanteZeiten {
public:
    CRahmenbedingungSozialzeiten();   // RB19
};

class CRahmenbedingungFamilienzeiten : public CRahmenbedingungRelevanteZeiten {
public:
    CRahmenbedingungFamilienzeiten();   // RB20
};
