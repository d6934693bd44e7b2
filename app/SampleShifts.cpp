#include "app/SampleShifts.h"

#include "core/Schicht.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "platform/values/Date.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"

#include <string>

std::map<char, uint32_t> AddSampleShifts(CArbeitsblatt& sheet)
{
    std::map<char, uint32_t> ids;
    const struct { const char* name; char letter; uint32_t from; } kinds[] = {
        {"Frühschicht", 'F', 6 * 60}, {"Spätschicht", 'S', 14 * 60}, {"Nachtschicht", 'N', 22 * 60}};
    for (const auto& k : kinds) {
        CSchicht shift;
        shift.Clear();
        shift.ART = ART_NORMAL;
        shift.BEZEICHNUNG = k.name;
        shift.KURZBEZEICHNUNG = std::string(1, k.letter);
        shift.TERMIN = {k.from, k.from + 480};   // a night shift ends on the next day (minute 1800)
        shift.ClassifyLageByStart();
        sheet.GetSchichttypen().AddSchicht(shift, true);
        ids[k.letter] = shift.SYSID;
    }
    sheet.GetSBP().SyncSchichttypen();
    const uint32_t days = uint32_t(sheet.GetBezugsrahmen()) * 7;
    for (uint32_t day = 0; day < days; ++day) {
        CAKBEintrag span;
        span.TERMIN = {day * 1440, (day + 1) * 1440};
        span.ANZAHL = 2;
        sheet.GetAKB().MergeDemand(span, true);
    }
    return ids;
}

void AddSampleRota(CArbeitsblatt& sheet, const std::map<char, uint32_t>& ids)
{
    const uint32_t days = uint32_t(sheet.GetBezugsrahmen()) * 7;
    // Two early, two late, two nights, then free: each group starts the cycle two days later.
    const std::string cycle = "FFSSNN------";
    CAZPData& azp = sheet.GetAZP();
    azp.SetGroupCount(6);
    auto set = [&](uint32_t day, uint32_t group, char c) {
        if (day <= days)
            azp.SetCell(day, group, c == '-' ? 0 : ids.at(c));
    };
    for (uint32_t g = 1; g <= 6; ++g)
        for (uint32_t d = 1; d <= days; ++d)
            set(d, g, cycle[(d - 1 + 12 - 2 * (g - 1)) % cycle.size()]);
    set(4, 1, 'F');                                   // late on Wednesday, early on Thursday
    for (uint32_t d = 1; d <= 4; ++d)                 // no free days before the next early shifts
        set(d, 3, 'F');
    set(14, 4, 'F');                                  // night, free, early
    sheet.ComputeSBPFromAZP();
}

CFlexSchicht SampleFlexEntry(int day, int from, int to, int breakAt, int breakMinutes)
{
    CFlexSchicht e;
    e.Clear();
    e.DATUM = int32_t(DateFromParts(2024, 1, 1)) + day;
    e.TERMIN = {uint32_t(from), uint32_t(to > from ? to : to + 1440)};
    if (breakMinutes)
        e.PAUSEN[0] = {uint16_t((breakAt - from + 1440) % 1440), uint16_t(breakMinutes), 0};
    return e;
}
