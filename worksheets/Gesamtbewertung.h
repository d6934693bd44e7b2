#pragma once
// The overall rating of a worksheet's working-time plan, window "Gesamtbewertung AZP": for the
// criteria of five groups how many violations the plan has, a total per group, and beside the
// list the free Sundays, the average weekly working time, the plan quality value and, for a flex
// worksheet, the period evaluated. A snapshot: its content is worked out once, at the window's
// first refresh. ShowGesamtbewertung is the worksheet's command that builds what it shows.
#include "platform/values/Queue.h"

#include <cstdint>
#include <optional>
#include <string>

class CArbeitsblatt;
class CAZPBewertung;
class CAZPInfo;
class CKriterienChecker;
class CVerstossliste;

// One row of the list: a group's header, a criterion or a spacer between groups.
struct GesamtbewertungZeile {
    std::string KRITERIUM;
    int32_t KR_FG = 0, KR_BG = 0, KR_SELFG = 0, KR_SELBG = 0;
    int32_t VERSTOESSE = 0;
    int32_t VS_FG = 0, VS_BG = 0, VS_SELFG = 0, VS_SELBG = 0;
    int32_t NR = 0;   // the criterion's number; 0 on header and spacer rows
};

// The rows for the criteria of `checker` (names, groups and on/off states as it holds them) in
// the rating's order, counted from the evaluation: a single mark and a marked run count once, a
// record of amount 0 not at all; each header carries the total of its criteria.
void GesamtbewertungZeilen(Queue<GesamtbewertungZeile>& rows, const CKriterienChecker& checker,
                           const CAZPBewertung& evaluation);

// The free Sundays of the first KR4 record of cell 1's list: the value, and the text after it
// (" im Jahr", or for a flex worksheet " von " and the Sundays of a period of its `cells` days);
// nothing without a list or a record.
struct FreieSonntage {
    std::string WERT;
    std::string ZUSATZ;
};
std::optional<FreieSonntage> GesamtbewertungSonntage(const CVerstossliste* cell1, long cells, bool flex);

// The window on the evaluation, the checker that has run on it (its criteria name the rows) and
// the key figures; the dates of a flex worksheet's period (both 0 for any other worksheet).
void Gesamtbewertung(const CAZPBewertung& evaluation, const CKriterienChecker& checker, const CAZPInfo& figures,
                     int32_t dateFrom, int32_t dateTo);

// The worksheet's command: a fresh evaluation of its plan checked by a checker of its own with the
// rating's criteria, the plan's key figures, the window, then everything released.
void ShowGesamtbewertung(CArbeitsblatt& sheet);
