#pragma once
// Shared by the tests of the individual criteria: clock values, the records a criterion left in
// an evaluation as (cell, position, amount) rows, and the markers a Paint call records.
// Plans are built with bewertungtest::LetterPlan (BewertungTestSupport.h).
#include "BewertungTestSupport.h"

#include "assessment/AZPBewertung.h"
#include "assessment/Kriterium.h"
#include "assessment/KriteriumMarker.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Window.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace criteriatest {

// The clock value of hh:mm (hundredths of a second since midnight plus 1).
constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }

// One record as the tests compare it.
struct Rec {
    long cell = 0;
    uint8_t position = 0;
    uint32_t amount = 0;
    bool operator==(const Rec&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rec& r)
{
    return os << "{cell " << r.cell << ", pos " << int(r.position) << ", " << r.amount << "}";
}

// The records of one criterion, cell by cell and in the order added.
inline std::vector<Rec> Records(const CAZPBewertung& e, const CKriterium* criterion)
{
    std::vector<Rec> out;
    for (long i = 1; i <= e.CellCount(); ++i) {
        const CVerstossliste* list = e.GetVerstossliste(i);
        if (!list)
            continue;
        for (long k = 1; k <= list->Count(); ++k) {
            const VERSTOSSINFO* r = list->At(k);
            if (r->KRITERIUM == criterion)
                out.push_back({i, r->POSITION, r->WERT});
        }
    }
    return out;
}

// The full records of one criterion (with text and INFO), cell by cell.
inline std::vector<std::pair<long, VERSTOSSINFO>> FullRecords(const CAZPBewertung& e, const CKriterium* criterion)
{
    std::vector<std::pair<long, VERSTOSSINFO>> out;
    for (long i = 1; i <= e.CellCount(); ++i) {
        const CVerstossliste* list = e.GetVerstossliste(i);
        if (!list)
            continue;
        for (long k = 1; k <= list->Count(); ++k)
            if (list->At(k)->KRITERIUM == criterion)
                out.emplace_back(i, *list->At(k));
    }
    return out;
}

// Runs the drawing on a logical thread in a window with one list and returns what it recorded.
inline std::vector<PaintOp> Drawn(const std::function<void(const GridDC&)>& draw)
{
    std::vector<PaintOp> ops;
    HeadlessDriver driver;
    driver.Start([&] {
        WindowDesc d;
        d.title = "Raster";
        d.Add(Ctl::List("40L(2)|M~Tag~@s20@").At(0, 0, 200, 100));
        const int w = WindowCreate(d);
        draw(GridDC{w, 1});
        ops = ListPaintOps(w, 1);
        WindowClose(w);
    });
    driver.WaitEnd();
    return ops;
}

// What a marker test compares: icons as (name, x, y), lines as ("line", x1, y1) and pens other
// than the black one put back after a line as ("pen", colour, width).
inline std::vector<std::tuple<std::string, int, int>> Marks(const std::vector<PaintOp>& ops)
{
    std::vector<std::tuple<std::string, int, int>> out;
    for (const PaintOp& op : ops) {
        if (op.kind == PaintOp::Kind::Icon)
            out.emplace_back(op.text, op.x1, op.y1);
        else if (op.kind == PaintOp::Kind::Line)
            out.emplace_back("line", op.x1, op.y1);
        else if (op.kind == PaintOp::Kind::Pen && op.color != 0)
            out.emplace_back("pen", op.color, op.width);
    }
    return out;
}

// A record with its INFO, for the criteria that keep a figure there (the rest criteria).
struct RecI {
    long cell = 0;
    uint8_t position = 0;
    uint32_t amount = 0;
    uint32_t info = 0;
    bool operator==(const RecI&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const RecI& r)
{
    return os << "{cell " << r.cell << ", pos " << int(r.position) << ", " << r.amount << ", info " << r.info << "}";
}

inline std::vector<RecI> RecordsWithInfo(const CAZPBewertung& e, const CKriterium* criterion)
{
    std::vector<RecI> out;
    for (const auto& [cell, r] : FullRecords(e, criterion))
        out.push_back({cell, r.POSITION, r.WERT, r.INFO});
    return out;
}

} // namespace criteriatest
