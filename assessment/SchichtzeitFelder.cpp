#include "assessment/SchichtzeitFelder.h"

#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "platform/ui/Window.h"

int32_t MinutesToClock(int64_t minutes)
{
    if (minutes < 0)
        minutes = 0;
    return static_cast<int32_t>(minutes * kClockPerMinute + 1);
}

bool CSchichtzeitFelder::IsPauseLage(int control) const
{
    for (int n = 1; n <= 5; ++n)
        if (control == PauseLage(n))
            return true;
    return false;
}

void CSchichtzeitFelder::AddPauseRows(WindowDesc& d, const PauseLayout& at)
{
    for (int n = 1; n <= 5; ++n) {
        const size_t i = static_cast<size_t>(n - 1);
        const int y = at.top + at.pitch * (n - 1);
        const std::string no = std::to_string(n);
        d.Add(Ctl::Prompt("Pause " + no + ":").Id(PausePrompt(n)).At(at.promptX, y + at.textDown, at.promptWidth, 10));
        d.Add(Ctl::Entry("@T7B").Id(PauseLage(n)).Name("?PAUSELAGE_" + no).Use(UseVar(lage[i])).At(at.lageX, y, 40, at.height));
        d.Add(Ctl::Entry(at.minutesPicture).Id(PauseDauer(n)).Name("?PAUSEDAUER_" + no).Use(UseVar(dauer[i]))
                  .At(at.dauerX, y, at.dauerWidth, at.height));
        d.Add(Ctl::Check(" bezahlt").Id(PauseBezahlt(n)).Name("?PAUSEN_" + no + "_BEZAHLT").Use(UseVar(bezahlt[i]))
                  .At(at.bezahltX, y + at.textDown, 60, 10));
    }
}

void CSchichtzeitFelder::Show(const CSchicht& work)
{
    beginn = work.StartTime();
    ende = work.EndTime();
    bezahltAz = MinutesToClock(work.PaidMinutes());
    reineAz = MinutesToClock(work.NetMinutes());
    for (int n = 1; n <= 5; ++n) {
        const size_t i = static_cast<size_t>(n - 1);
        lage[i] = work.PauseStart(n);
        dauer[i] = work.PauseMinutes(n);
        bezahlt[i] = work.PausePaid(n);
    }
}

bool CSchichtzeitFelder::Accept(CSchicht& work, int c, bool pass) const
{
    for (int n = 1; n <= 5; ++n) {
        const size_t i = static_cast<size_t>(n - 1);
        if (c == PauseLage(n)) {
            if (pass) {
                const PAUSE p = work.GetPause(n);
                if (work.TERMIN.BEGINN + p.LAGE + p.DAUER > work.TERMIN.ENDE) {
                    ControlSelect(c);   // stops the pass: the break reaches past the end
                    return false;
                }
            }
            if (lage[i] != work.PauseStart(n))
                work.PauseStart(n, lage[i]);
        } else if (c == PauseDauer(n)) {
            const int32_t m = dauer[i];
            work.PauseMinutes(n, static_cast<uint16_t>(m < 0 ? 0 : m > 1440 ? 1440 : m));
        } else if (c == PauseBezahlt(n)) {
            work.PausePaid(n, static_cast<uint8_t>(bezahlt[i] != 0));
        }
    }
    // The working times of a shift that is not normal show 0, which would otherwise put its end
    // on its begin; the durations take "24:00" as 24 hours.
    if (c == C.beginn && beginn != work.StartTime())
        work.StartTime(beginn);
    else if (c == C.ende && ende != work.EndTime())
        work.EndTime(ende);
    else if (c == C.bezahltAz && bezahltAz != MinutesToClock(work.PaidMinutes()))
        work.PaidMinutes(TimeToMinutesLong(bezahltAz));
    else if (c == C.reineAz && reineAz != MinutesToClock(work.NetMinutes()))
        work.NetMinutes(TimeToMinutesLong(reineAz));
    return true;
}

bool CSchichtzeitFelder::StartFirst(const CSchicht& work, int control) const
{
    for (int n = 1; n <= 5; ++n)
        if (control == PauseDauer(n) && work.PauseStart(n) == 0) {
            ControlSelect(PauseLage(n));
            return true;
        }
    return false;
}
