#include "app/SampleShifts.h"

#include "core/Schicht.h"
#include "plans/AKBData.h"
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
