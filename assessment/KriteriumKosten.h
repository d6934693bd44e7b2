#pragma once
// CKriteriumKosten: the base of the cost criteria, holding the worksheet's cost settings and the
// pricing rules that turn them into money. The cost inspector prices plans with the same rules
// on criterion objects of its own.
//
// A span is a pair of minute stamps of the plan's time line; the day that comes with it is a day
// number of that line (1 Monday; day mod 7: 6 Saturday, 0 Sunday), and the span is placed on that
// day before windows are laid over it. The weekend windows lie in the week of that day, so a
// Saturday of the second week is paid like one of the first. Day 0 stands for the day the span
// begins on. Every item is paid at its effective rate (CKosten::EffectiveRate) and only when that
// rate is above 0. Prices are per person; an empty or reversed span costs nothing.
#include "assessment/Kriterium.h"

#include <cstdint>
#include <string_view>

class CKosten;
class CSchicht;

class CKriteriumKosten : public CKriterium {
public:
    CKosten* KOSTEN = nullptr;   // the worksheet's settings; not owned. Without them every price is 0.

    void SetKosten(CKosten* kosten) { KOSTEN = kosten; }
    // The base copy, then the other cost criterion's settings.
    void Assign(const CKriterium& other, IKriterienPool* pool) override;

    // The hourly wage for the span's minutes.
    double BasePay(uint32_t begin, uint32_t end) const;
    // The five allowances (LZ, SP, SZ1, SZ2, WS) for the span's minutes, whatever their sign.
    double Allowances(uint32_t begin, uint32_t end) const;
    // The time-of-day and other windows (TZ1..3, SOZ1..2; a window may run over midnight and
    // counts on the day before, the day and the day after), the Saturday windows (ZSA1, ZSA2,
    // only when ZSA1 has an end; a Friday shift running into Saturday too), Saturday night into
    // Sunday (ZSO, or the Saturday rate when SAMSTAGSZUSCHLAGUEBERLAUF is set and ZSA1 has a
    // begin) and the Sunday surcharge (ZSO on a Sunday shift, all of it).
    double TimeSurcharges(uint32_t begin, uint32_t end, uint16_t day) const;
    // UEBZ1 and UEBZ2 on the span's length: the minutes from VON hours up to BIS hours (no end
    // for BIS 0) at the item's rate. A band whose end lies before its begin pays nothing.
    double OvertimeSurcharges(uint32_t begin, uint32_t end) const;
    // The pay of an on-call duty (kind 3 at the workplace: BD, BDWE at the weekend; kind 4 from
    // home: RB, RBWE): the rate times the creditable share ANRECHENBAREAZ for the shift's length
    // less its unpaid breaks. factor, when given, receives the share of the normal pay the duty
    // earns besides: 1 for a normal shift, 0 for a free shift, (100 - ANRECHENBAREAZ) / 100 for
    // an on-call duty that is paid (0 when it is not). Other kinds count as normal shifts.
    double OnCallCost(const CSchicht& shift, uint16_t day, double* factor = nullptr) const;

protected:
    // The item's effective rate; 0 without settings.
    double Rate(std::string_view prefix) const;
    // Rules 4 and 5: the surcharges of the two bands named by the prefixes (VON, BIS in hours)
    // for a length in minutes.
    double BandSurcharges(std::string_view first, std::string_view second, double minutes) const;
};
