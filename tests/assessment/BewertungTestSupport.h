#pragma once
// Shared by the evaluation and criteria tests: plans written as rows of letters, a criterion
// stub that records what the checker asks of it, and the settings file in a temporary folder.
#include "assessment/AZPBewertung.h"
#include "assessment/Kriterium.h"
#include "assessment/KriteriumMarker.h"
#include "core/Files.h"
#include "core/IniFile.h"
#include "core/Schicht.h"
#include "plans/AZPData.h"
#include "plans/Schichttypen.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace bewertungtest {

constexpr uint32_t kDay = 1440;

// A shift type from minutes of the day (an end at or before the begin runs into the next day).
inline CSchicht Shift(const std::string& shortName, uint32_t from, uint32_t to, uint8_t art = ART_NORMAL,
                      PAUSE pause = {})
{
    CSchicht s;
    s.Clear();
    s.ART = art;
    s.BEZEICHNUNG = "Schicht " + shortName;
    s.KURZBEZEICHNUNG = shortName;
    s.TERMIN = {from, to > from ? to : to + kDay};
    s.PAUSEN[0] = pause;
    s.ClassifyLageByStart();
    return s;
}

// A record of the criterion.
inline VERSTOSSINFO Record(CKriterium* criterion, uint32_t amount, uint8_t position = POSITION_EINZELN)
{
    VERSTOSSINFO r;
    r.KRITERIUM = criterion;
    r.WERT = amount;
    r.POSITION = position;
    return r;
}

// A plan whose rows are written as letters: F early 06-14 (30 min break, 15 paid), S late
// 14-22, N night 22-06, X a free shift (kind 2), B standby (kind 3), "." free.
class LetterPlan {
public:
    LetterPlan()
    {
        Define('F', Shift("F", 360, 840, ART_NORMAL, {240, 30, 0}));
        Define('S', Shift("S", 840, 1320, ART_NORMAL, {240, 15, 1}));
        Define('N', Shift("N", 1320, 360));
        Define('X', Shift("X", 0, 1440, ART_FREISCHICHT));
        Define('B', Shift("B", 480, 960, ART_BEREITSCHAFT));
    }

    void Define(char letter, CSchicht s)
    {
        types.AddSchicht(s, false);
        ids[letter] = s.SYSID;
    }

    // One row per group, all of the same length (a multiple of 7).
    void Set(const std::vector<std::string>& rows)
    {
        const uint32_t days = rows.empty() ? 7 : uint32_t(rows[0].size());
        plan.SetSchichttypen(&types, uint32_t(rows.size()));
        plan.SetGroupCount(uint32_t(rows.size()));
        plan.SetBezugsrahmen(uint16_t(days / 7));
        for (uint32_t g = 1; g <= rows.size(); ++g)
            for (uint32_t d = 1; d <= days; ++d) {
                const char c = rows[g - 1][d - 1];
                plan.SetCell(d, g, c == '.' ? 0 : ids.at(c));
            }
    }

    CSchichttypen types;
    CAZPData plan;
    std::map<char, uint32_t> ids;
};

// A criterion for tests: checks plans and shift types as it is told and records the calls.
class StubKriterium : public CKriterium, public IAZPChecker, public ISTChecker {
public:
    explicit StubKriterium(long number, uint8_t on = 1, bool azp = true, bool st = false)
        : azp_(azp), st_(st)
    {
        NUMMER = number;
        NAME = "Kriterium " + std::to_string(number);
        AKTIVIERT = on;
    }

    IAZPChecker* GetAZPChecker() override { return azp_ ? this : nullptr; }
    ISTChecker* GetSTChecker() override { return st_ ? this : nullptr; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override
    {
        if (log)
            log->push_back(NUMMER);
        lastQuick = quick;
        for (long cell : cells) {
            VERSTOSSINFO r;
            r.KRITERIUM = this;
            r.WERT = amount;
            evaluation.AddVerstoss(cell, r);
        }
    }

    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override
    {
        PaintMarkerText(dc, left, top, width, height, std::to_string(cell) + ":" + std::to_string(record.WERT));
    }

    uint32_t Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t size) override
    {
        if (log)
            log->push_back(NUMMER);
        seenWeekdays = weekdays;
        if (amount != 0)
            text = stText;
        return amount;
    }

    std::vector<long>* log = nullptr;  // numbers of the criteria checked, in order
    std::vector<long> cells;           // cells the plan check marks
    uint32_t amount = 0;
    std::string stText;
    uint8_t lastQuick = 255;
    uint8_t seenWeekdays = 0;

private:
    bool azp_, st_;
};

// A criterion takes its switches from the shared KRI buffer when it is made: a fixture declares
// this before its criteria so that they start from an empty buffer, whatever ran before.
struct EmptyKri {
    EmptyKri() { KRI.Clear(); }
};

// The settings file in a folder of its own while the object lives.
class TempIni {
public:
    TempIni()
    {
        std::string t = (std::filesystem::temp_directory_path() / "varnevalXXXXXX").string();
        if (!::mkdtemp(t.data()))
            throw std::runtime_error("no temporary folder");
        dir = t;
        previous = GlobalIni.FILENAME;
        GlobalIni.FILENAME = dir + "/varn4.ini";
    }
    ~TempIni()
    {
        GlobalIni.FILENAME = previous;
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string dir, previous;
};

} // namespace bewertungtest
