#pragma once
// Sample worksheets that the offscreen tests open on the real renderer: a worksheet with shift types
// and plans, and a flex worksheet with two weeks of entries.
#include "app/SampleShifts.h"
#include "assessment/KostenDialog.h"
#include "assessment/SchichttypDialoge.h"
#include "core/Projektmanager.h"
#include "platform/values/Date.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"

#include "PictureRunSupport.h"

#include <functional>

namespace apptest {

// A worksheet with shift types, a shift demand plan and a working-time plan of three groups;
// `before` may change it before it opens (it gets the ids of F, S and N).
inline CArbeitsblatt& SampleWorksheet(const std::function<void(CArbeitsblatt&, const uint32_t*)>& before = {})
{
    UseDefaultRecords();
    InstallSchichttypDialoge();
    GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ);
    auto& sheet = *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1));
    uint32_t ids[3] = {};
    const char* names[3][2] = {{"Frühschicht", "F"}, {"Spätschicht", "S"}, {"Nachtschicht", "N"}};
    for (int i = 0; i < 3; ++i) {
        CSchicht s;
        s.Clear();
        s.ART = ART_NORMAL;
        s.BEZEICHNUNG = names[i][0];
        s.KURZBEZEICHNUNG = names[i][1];
        const uint32_t from = uint32_t(6 + 8 * i) * 60;
        s.TERMIN = {from, from + 480};
        s.ClassifyLageByStart();
        sheet.GetSchichttypen().AddSchicht(s, true);
        ids[i] = s.SYSID;
    }
    sheet.GetSBP().SyncSchichttypen();
    sheet.GetAZP().SetGroupCount(3);
    for (uint32_t g = 1; g <= 3; ++g)
        for (uint32_t d = 1; d <= 7; ++d) {
            if ((d + g) % 4 == 0)
                continue;
            const uint32_t id = ids[(g + d / 3) % 3];
            sheet.GetAZP().SetCell(d, g, id);
            sheet.GetSBP().AddCount(d, id, 1);
        }
    sheet.GetKosten()->KOSTEN.SetReal("STUNDENLOHN", 20.0);
    if (before)
        before(sheet, ids);
    sheet.Open();
    return sheet;
}

// A flex entry of January 2024 (Monday the 1st is day 0) from hh:mm to hh:mm, with a break.
inline CFlexSchicht FlexEntry(int day, int from, int to, int breakAt = 0, int breakMinutes = 0)
{
    return SampleFlexEntry(day, from, to, breakAt, breakMinutes);
}

// A flex worksheet with two weeks of entries.
inline void SampleFlexWorksheet()
{
    UseScratchProgramFiles();
    GlobalProjektmanager.Projekt().New(ARBEITSBLATT_FLEX);
    auto& sheet = *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1));
    for (int day : {0, 1, 2, 3, 4})
        sheet.GetFlexAZ().Add(FlexEntry(day, 7 * 60, 15 * 60 + 30, 11 * 60, 30));
    sheet.GetFlexAZ().Add(FlexEntry(7, 22 * 60, 6 * 60, 2 * 60, 45));
    sheet.GetFlexAZ().Add(FlexEntry(8, 22 * 60, 6 * 60, 2 * 60, 45));
    CFlexSchicht standby = FlexEntry(12, 9 * 60, 13 * 60);
    standby.ART = ART_BEREITSCHAFT;
    sheet.GetFlexAZ().Add(standby);
    sheet.Open();
}

} // namespace apptest
