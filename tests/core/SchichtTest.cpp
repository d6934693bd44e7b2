#include "core/Schicht.h"

#include "core/TimeHelpers.h"
#include "core/Files.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t Clock(int h, int m) { return (h * 60 + m) * 6000 + 1; }

CSchicht Shift(int fromH, int fromM, int toH, int toM)
{
    CSchicht s;
    s.Clear();
    s.StartTime(Clock(fromH, fromM));
    s.EndTime(Clock(toH, toM));
    return s;
}

TEST(Schicht, ClearGivesANormalShiftWithoutBreaks)
{
    CSchicht s;
    s.ID = 3;
    s.BEZEICHNUNG = "Früh";
    s.TERMIN = {360, 840};
    s.PAUSEN[2] = {120, 30, 1};
    s.SCHICHTLAGE = LAGE_TAG;
    s.Clear();
    EXPECT_EQ(s.ID, 0);
    EXPECT_EQ(s.ART, ART_NORMAL);
    EXPECT_TRUE(s.BEZEICHNUNG.empty());
    EXPECT_EQ(s.TERMIN, (TERMIN{0, 0}));
    EXPECT_EQ(s.PAUSEN[2], PAUSE{});
    EXPECT_EQ(s.SCHICHTLAGE, LAGE_UNKLASSIFIZIERT);
}

TEST(Schicht, BeginAndEndFoldIntoOneDay)
{
    struct Case {
        const char* what;
        int beginH, beginM;
        int32_t end;              // clock value
        uint32_t beginn, ende;
        uint8_t lage;
    };
    const Case cases[] = {
        {"night shift", 22, 0, Clock(6, 0), 1320, 1800, LAGE_NACHT},
        {"end equal to begin: length 0", 22, 0, Clock(22, 0), 1320, 1320, LAGE_NACHT},
        {"clock value 0 is midnight", 14, 0, 0, 840, 1440, LAGE_SPAET},
        {"24:00 is the end of the day", 0, 0, Clock(24, 0), 0, 1440, LAGE_NACHT},
        {"early", 6, 0, Clock(14, 0), 360, 840, LAGE_FRUEH},
    };
    for (const Case& c : cases) {
        CSchicht s;
        s.Clear();
        s.StartTime(Clock(c.beginH, c.beginM));
        s.EndTime(c.end);
        EXPECT_EQ(s.TERMIN, (TERMIN{c.beginn, c.ende})) << c.what;
        EXPECT_EQ(s.SCHICHTLAGE, c.lage) << c.what;
    }
}

TEST(Schicht, MovingTheBeginKeepsTheEndWithinADay)
{
    CSchicht s = Shift(22, 0, 6, 0);                // 1320-1800
    EXPECT_EQ(s.StartTime(Clock(1, 0)), Clock(1, 0));
    EXPECT_EQ(s.TERMIN, (TERMIN{60, 360}));          // the end comes back by a day
    EXPECT_EQ(s.StartTime(Clock(24, 0)), Clock(0, 0));  // a begin of 24:00 is midnight
    EXPECT_EQ(s.TERMIN, (TERMIN{0, 360}));

    // A shift moved to a later day is brought back whole, not left reversed.
    CSchicht far = Shift(22, 0, 6, 0);
    far.SetTermin(3);
    ASSERT_EQ(far.TERMIN, (TERMIN{4200, 4680}));
    far.StartTime(Clock(8, 0));
    EXPECT_EQ(far.TERMIN.BEGINN, 480u);
    EXPECT_LE(far.TERMIN.BEGINN, far.TERMIN.ENDE);
    EXPECT_LE(far.TERMIN.ENDE, far.TERMIN.BEGINN + 1440);

    EXPECT_EQ(s.EndTime(), Clock(6, 0));
    CSchicht toMidnight = Shift(14, 0, 24, 0);
    EXPECT_EQ(toMidnight.EndTime(), Clock(0, 0));    // the clock value of the time of day
}

TEST(Schicht, TerminAndDays)
{
    CSchicht s;
    s.Clear();
    s.SetTermin(TERMIN{1320, 1800}, 3);
    EXPECT_EQ(s.TERMIN, (TERMIN{4200, 4680}));
    EXPECT_EQ(s.SCHICHTLAGE, LAGE_NACHT);            // a begin on a later day classifies as night

    uint32_t day = 0;
    EXPECT_EQ(s.GetTermin(day), (TERMIN{1320, 1800}));
    EXPECT_EQ(day, 3u);
    EXPECT_EQ(s.GetTermin(), (TERMIN{4200, 4680}));

    s.SCHICHTLAGE = LAGE_TAG;
    s.SetTermin(5);                                   // moving alone keeps the class
    EXPECT_EQ(s.TERMIN, (TERMIN{7080, 7560}));
    EXPECT_EQ(s.SCHICHTLAGE, LAGE_TAG);

    s.SetTermin(TERMIN{400, 880});                   // kept where it is, classified
    EXPECT_EQ(s.TERMIN, (TERMIN{400, 880}));
    EXPECT_EQ(s.SCHICHTLAGE, LAGE_FRUEH);
}

TEST(Schicht, BreakPlacement)
{
    struct Case {
        const char* what;
        int fromH, toH;
        int32_t start;            // clock value of the break start
        uint16_t lage;
    };
    const Case cases[] = {
        {"after midnight in a night shift", 22, 6, Clock(1, 0), 180},
        {"midnight itself", 22, 6, Clock(0, 0), 120},
        {"after a night shift: at its begin", 22, 6, Clock(7, 0), 0},
        {"after a day shift: at its end", 6, 14, Clock(15, 0), 480},
        {"before a day shift: at its begin", 6, 14, Clock(5, 0), 0},
        {"at the end of a night shift", 22, 6, Clock(6, 0), 480},
    };
    for (const Case& c : cases) {
        CSchicht s = Shift(c.fromH, 0, c.toH, 0);
        s.PauseStart(1, c.start);
        EXPECT_EQ(s.PAUSEN[0].LAGE, c.lage) << c.what;
    }
}

TEST(Schicht, BreakOfAShiftOnALaterDayStaysInsideIt)
{
    CSchicht s = Shift(22, 0, 6, 0);
    s.SetTermin(3);                                   // 4200-4680
    s.PauseStart(1, Clock(8, 0));                     // would lie before the shift's begin
    EXPECT_EQ(s.PAUSEN[0].LAGE, 0);
    s.PauseStart(2, Clock(23, 0));
    EXPECT_EQ(s.PAUSEN[1].LAGE, 0);                   // minute 1380 of day 1: at the begin too
    s.PauseEnd(1, Clock(9, 0));
    EXPECT_LE(s.TERMIN.BEGINN + s.PAUSEN[0].LAGE + s.PAUSEN[0].DAUER, s.TERMIN.ENDE);
}

TEST(Schicht, BreakEndingWithANightShiftIsNotReported)
{
    CSchicht s = Shift(22, 0, 6, 0);
    s.PauseStart(1, Clock(5, 30));
    EXPECT_EQ(s.PauseEnd(1, Clock(6, 0)), Clock(6, 0));
    EXPECT_EQ(s.PAUSEN[0], (PAUSE{450, 30, 0}));
    EXPECT_EQ(s.SortPauses(), 0);
}

TEST(Schicht, BreakStartEndAndDuration)
{
    CSchicht s = Shift(6, 0, 14, 0);
    EXPECT_EQ(s.PauseStart(2, Clock(9, 0)), Clock(9, 0));
    EXPECT_EQ(s.PauseEnd(2, Clock(9, 30)), Clock(9, 30));
    EXPECT_EQ(s.PAUSEN[1], (PAUSE{180, 30, 0}));
    EXPECT_EQ(s.PauseMinutes(2), 30);
    EXPECT_EQ(s.PausePaid(2, 1), 1);
    EXPECT_EQ(s.PauseStart(2), Clock(9, 0));
    EXPECT_EQ(s.PauseEnd(2), Clock(9, 30));

    EXPECT_EQ(s.PauseStart(3), 0);                   // empty break
    EXPECT_EQ(s.PauseMinutes(2, 0), 0);              // 0 minutes empties it
    EXPECT_EQ(s.PAUSEN[1].LAGE, 0);
    EXPECT_EQ(s.PauseStart(2), 0);

    s.PauseStart(1, Clock(10, 0));
    s.PauseEnd(1, Clock(10, 15));
    s.PauseStart(1, 0);                              // clock value 0 empties too
    EXPECT_EQ(s.GetPause(1).DAUER, 0);

    // An end before the start stays visible to SortPauses.
    s.PauseStart(4, Clock(12, 0));
    s.PauseEnd(4, Clock(11, 0));
    EXPECT_EQ(s.SortPauses(), 5);

    // Numbers outside 1..5 change nothing.
    CSchicht before = s;
    s.SetPause(0, PAUSE{1, 2, 1});
    s.PauseStart(6, Clock(8, 0));
    s.PauseMinutes(9, 10);
    EXPECT_EQ(s.PAUSEN, before.PAUSEN);
    EXPECT_EQ(s.GetPause(6), PAUSE{});
}

TEST(Schicht, SortPauses)
{
    struct Case {
        const char* what;
        std::array<PAUSE, 5> in;
        std::array<PAUSE, 5> out;
        uint8_t result;
    };
    const Case cases[] = {
        {"ordered, a break without start dropped",
         {{{240, 30, 0}, {0, 15, 0}, {120, 30, 1}}},
         {{{120, 30, 1}, {240, 30, 0}}}, 0},
        {"overlapping", {{{140, 30, 0}, {120, 30, 0}}}, {{{120, 30, 0}, {140, 30, 0}}}, 5},
        {"touching is allowed", {{{150, 30, 0}, {120, 30, 0}}}, {{{120, 30, 0}, {150, 30, 0}}}, 0},
        {"ends after the shift", {{{460, 30, 0}}}, {{{460, 30, 0}}}, 5},
        {"ends with the shift", {{{450, 30, 0}}}, {{{450, 30, 0}}}, 0},
        {"equal starts keep their order", {{{0, 0, 0}, {200, 10, 1}, {200, 20, 0}}},
         {{{200, 10, 1}, {200, 20, 0}}}, 5},
        {"none", {}, {}, 0},
    };
    for (const Case& c : cases) {
        CSchicht s = Shift(6, 0, 14, 0);
        s.PAUSEN = c.in;
        EXPECT_EQ(s.SortPauses(), c.result) << c.what;
        EXPECT_EQ(s.PAUSEN, c.out) << c.what;
    }
}

TEST(Schicht, MinuteSums)
{
    CSchicht s = Shift(6, 0, 14, 0);
    s.PAUSEN[0] = {120, 15, 1};
    s.PAUSEN[1] = {240, 30, 0};
    EXPECT_EQ(s.GrossMinutes(), 480);
    EXPECT_EQ(s.PauseMinutes(PauseKind::All), 45);
    EXPECT_EQ(s.PauseMinutes(PauseKind::Paid), 15);
    EXPECT_EQ(s.PauseMinutes(PauseKind::Unpaid), 30);
    EXPECT_EQ(s.NetMinutes(), 435);
    EXPECT_EQ(s.PaidMinutes(), 450);

    EXPECT_EQ(s.NetMinutes(450), 450);
    EXPECT_EQ(s.TERMIN.ENDE, 360u + 450 + 45);       // 14:15
    EXPECT_EQ(s.PaidMinutes(450), 450);
    EXPECT_EQ(s.TERMIN.ENDE, 360u + 450 + 30);
    EXPECT_EQ(s.Duration(600), 600u);
    EXPECT_EQ(s.TERMIN.ENDE, 960u);

    // A shift of another kind has no gross time, so its breaks make the sums negative.
    s.ART = ART_FREISCHICHT;
    EXPECT_EQ(s.GrossMinutes(), 0);
    EXPECT_EQ(s.NetMinutes(), -45);
    EXPECT_EQ(s.PaidMinutes(), -30);
    EXPECT_EQ(s.Duration(), 600u);
}

TEST(Schicht, ClassifyByStartBoundaries)
{
    struct Case { uint32_t beginn; uint8_t lage; };
    const Case cases[] = {
        {359, LAGE_NACHT}, {360, LAGE_FRUEH}, {720, LAGE_FRUEH}, {721, LAGE_SPAET},
        {1080, LAGE_SPAET}, {1081, LAGE_NACHT}, {0, LAGE_NACHT}, {1800, LAGE_NACHT} /* a later day */,
    };
    for (const Case& c : cases) {
        CSchicht s;
        s.Clear();
        s.TERMIN = {c.beginn, c.beginn + 480};
        s.ClassifyLageByStart();
        EXPECT_EQ(s.SCHICHTLAGE, c.lage) << c.beginn;
    }
}

TEST(Schicht, ClassifyByConstraintWindows)
{
    const NACHTSCHICHT night{Clock(23, 0), Clock(8, 0), Clock(2, 0)};
    const FRUEHSCHICHT early{Clock(4, 0), Clock(8, 0)};
    const TAGSCHICHT day{Clock(8, 0), Clock(12, 0)};
    struct Case { const char* what; TERMIN t; uint8_t lage; };
    const Case cases[] = {
        {"20-24 meets the night for only 60 minutes", {1200, 1440}, LAGE_SPAET},
        {"0-6 is night (taken on the day before)", {0, 360}, LAGE_NACHT},
        {"22-6", {1320, 1800}, LAGE_NACHT},
        {"21-1: 120 minutes, not more than the minimum", {1260, 1500}, LAGE_SPAET},
        {"6-14 meets the early window", {360, 840}, LAGE_FRUEH},
        {"9-17 meets the day window", {540, 1020}, LAGE_TAG},
        {"8-16 only touches the early window", {480, 960}, LAGE_TAG},
        {"14-22", {840, 1320}, LAGE_SPAET},
    };
    for (const Case& c : cases) {
        CSchicht s;
        s.Clear();
        s.TERMIN = c.t;
        s.ClassifyLage(night, early, day);
        EXPECT_EQ(s.SCHICHTLAGE, c.lage) << c.what;
    }
}

TEST(Schicht, RecordCopySortsBreaksAndClassifiesOnReading)
{
    RecordBuffer& record = SCHICHT;
    record.Clear();

    CSchicht s = Shift(22, 0, 6, 0);
    s.ID = 32769;
    s.STEP = 4;
    s.SYSID = 4000000000u;
    s.BEZEICHNUNG = "Nachtschicht Süd";
    s.KURZBEZEICHNUNG = "N";
    s.AUSLASTUNG = 100;
    s.AUSLASTUNG_BERUECKSICHTIGEN = 1;
    s.PAUSEN[0] = {300, 30, 0};
    s.PAUSEN[1] = {0, 15, 1};     // no start: dropped
    s.PAUSEN[2] = {120, 15, 1};
    s.ToRecord();
    EXPECT_EQ(s.PAUSEN[0], (PAUSE{120, 15, 1}));  // the object's breaks are sorted too
    EXPECT_EQ(record.GetInt("LAGE", 1), 120);
    EXPECT_EQ(record.GetInt("LAGE", 2), 300);
    EXPECT_EQ(record.GetInt("DAUER", 3), 0);

    CSchicht back;
    back.SCHICHTLAGE = LAGE_TAG;
    back.FromRecord();
    EXPECT_EQ(back.ID, 32769);
    EXPECT_EQ(back.STEP, 4);
    EXPECT_EQ(back.SYSID, 4000000000u);
    EXPECT_EQ(back.ART, ART_NORMAL);
    EXPECT_EQ(back.BEZEICHNUNG, "Nachtschicht Süd");
    EXPECT_EQ(back.KURZBEZEICHNUNG, "N");
    EXPECT_EQ(back.AUSLASTUNG, 100);
    EXPECT_EQ(back.AUSLASTUNG_BERUECKSICHTIGEN, 1);
    EXPECT_EQ(back.TERMIN, (TERMIN{1320, 1800}));
    EXPECT_EQ(back.PAUSEN, s.PAUSEN);
    EXPECT_EQ(back.SCHICHTLAGE, LAGE_NACHT);         // from the begin, not kept

    // Through an alias's buffer as well.
    TMPSCHICHT.CopyFrom(SCHICHT);
    CSchicht viaAlias;
    viaAlias.FromRecord(TMPSCHICHT);
    EXPECT_EQ(viaAlias.BEZEICHNUNG, "Nachtschicht Süd");
    EXPECT_EQ(viaAlias.PAUSEN, s.PAUSEN);

    // A cleared record gives the placeholder's numbers: kind 0, nothing set.
    record.Clear();
    back.FromRecord();
    EXPECT_EQ(back.ART, 0);
    EXPECT_EQ(back.TERMIN, (TERMIN{0, 0}));
    EXPECT_TRUE(back.BEZEICHNUNG.empty());
}

} // namespace
