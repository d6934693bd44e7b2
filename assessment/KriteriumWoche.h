#pragma once
// CKriteriumWoche: the working week of the weekly criteria (average and limits of the weekly
// working time, plan costs). It decides which minutes of a plan's shifts count to which week of
// the cycle when the week begins on Monday at a set clock time (RB15 WOCHENBEGINN). Without such
// a time a shift counts wholly to the week of the day it begins on.
#include "assessment/Kriterium.h"
#include "core/Termin.h"

#include <cstdint>
#include <span>
#include <vector>

class CAZPBewertung;
class CRahmenbedingungWAZMittel;
class CSchichtNode;

class CKriteriumWoche : public CKriterium {
public:
    // The frames on the cycle's first week, moved to the cell in question when used.
    ::TERMIN MONTAG;   // Monday from the week's begin to midnight (a shift begun before the
                       // week's begin gives the new week all it works after it, past midnight too)
    ::TERMIN SONNTAG;  // Sunday 00:00 to the next Monday at the week's begin
    CRahmenbedingungWAZMittel* RB15 = nullptr;  // not owned

    // Links RB15 and sets the frames from its WOCHENBEGINN (left as they are when that is 0).
    void SetRahmenbedingung(CRahmenbedingungWAZMittel* rb15);

    // The working minutes of week w of the cycle (cells (w - 1) x 7 + 1 .. w x 7); 0 without
    // shift nodes.
    uint32_t WeeklyHours(const CAZPBewertung& evaluation, long week) const;
    // The net minutes of a worked shift node that belong to the week of cell d (n = the cycle's
    // cell count). A share below 0 (breaks longer than the part in the frame) counts as 0.
    uint16_t OverlapMinutes(const CSchichtNode& node, long d, long n) const;
    // The weeks (1 .. n / 7, ascending, each once) whose WeeklyHours a change of the cells
    // `changed` can alter: a cell's own week, and the week before a Monday and after a Sunday
    // (the shares across the week's begin).
    static void ChangedWeeks(std::span<const long> changed, long n, std::vector<long>& weeks);

    // The base copy, then RB15's contents from the other criterion's RB15.
    void Assign(const CKriterium& other, IKriterienPool* pool) override;

protected:
    // RB15's WOCHENBEGINN; 0 without RB15.
    int32_t Wochenbeginn() const;

private:
    // The net minutes of a worked node of cell d inside the frame of its own day: all of them
    // but on Sunday and Monday, where the breaks count to the part in the frame. With a week
    // beginning only.
    long OwnMinutes(const CSchichtNode& node, long d) const;
    // The rest of its net minutes, which belong to the neighbouring week.
    long OtherWeeksMinutes(const CSchichtNode& node, long d) const;
};
