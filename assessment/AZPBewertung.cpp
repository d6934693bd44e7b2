#include "assessment/AZPBewertung.h"

#include "assessment/Kriterium.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "plans/AZPData.h"
#include "plans/Schichttypen.h"

#include <algorithm>

namespace {

// Minutes from the end of a to the begin of b, which does not begin before a (IntervalGap for
// that order, inline: it runs once per shift of every evaluation).
uint32_t GapTo(const TERMIN& a, const TERMIN& b)
{
    return a.ENDE > b.BEGINN ? 0 : b.BEGINN - a.ENDE;
}

uint16_t Minutes16(int32_t minutes)
{
    return static_cast<uint16_t>(std::clamp<int32_t>(minutes, 0, UINT16_MAX));
}

} // namespace

CAZPBewertung::TypeInfo CAZPBewertung::Describe(const CSchicht& shift)
{
    TypeInfo t;
    t.SYSID = shift.SYSID;
    t.SCHICHT = &shift;
    t.NORMAL = shift.ART == ART_NORMAL;
    t.OFFSET = shift.TERMIN.BEGINN % kMinutesPerDay;
    t.LENGTH = shift.TERMIN.ENDE > shift.TERMIN.BEGINN ? shift.TERMIN.ENDE - shift.TERMIN.BEGINN : 0;
    t.GROSS = Minutes16(shift.GrossMinutes());
    t.NET = Minutes16(shift.NetMinutes());
    t.PAID = Minutes16(shift.PaidMinutes());
    return t;
}

void CAZPBewertung::ClearCells()
{
    for (CSchichtNode*& node : CELLS) {
        if (node) {
            node->VERSTOSSLISTE.Reset();
            node = nullptr;
        }
    }
    ERSTESCHICHT = nullptr;
    SHIFTCOUNT = 0;
    ++SHIFTSVERSION;
}

void CAZPBewertung::Evaluate(const CAZPData& plan)
{
    ClearCells();
    LINES.clear();

    const uint32_t groups = plan.CountGroups();
    const uint32_t days = plan.CountDays();
    const std::size_t cells = std::size_t(groups) * days;
    CELLS.assign(cells, nullptr);
    CELLTYPE.assign(cells, -1);
    LINESSTALE = false;
    if (NODES.size() != cells)
        NODES.resize(cells);
    HASCELLS = true;

    TYPES.clear();
    if (const CSchichttypen* types = plan.GetSchichttypen()) {
        for (long n = 1; n <= types->Count(); ++n)
            if (const CSchicht* s = types->GetByIndex(n))
                TYPES.push_back(Describe(*s));
    }

    // The plan's cell lookup, by the first shift type with the cell's SYSID; neighbouring cells
    // mostly hold the same type, so the last one found is tried first.
    std::size_t last = 0;
    long cell = 0;
    for (uint32_t g = 1; g <= groups; ++g) {
        for (uint32_t d = 1; d <= days; ++d) {
            ++cell;
            const uint32_t id = plan.GetCell(d, g);
            if (id == 0 || TYPES.empty())
                continue;
            if (TYPES[last].SYSID != id) {
                auto it = std::find_if(TYPES.begin(), TYPES.end(), [id](const TypeInfo& t) { return t.SYSID == id; });
                if (it == TYPES.end())
                    continue;
                last = std::size_t(it - TYPES.begin());
            }
            if (TYPES[last].NORMAL)
                LinkShift(cell, last);
        }
    }

    RESTSSTALE = false;
    RUHEZEITEN.Build(this);
}

void CAZPBewertung::AddShift(long i, const CSchicht& shift)
{
    if (i < 1 || i > CellCount() || CELLS[std::size_t(i - 1)] || shift.ART != ART_NORMAL)
        return;
    TYPES.push_back(Describe(shift));
    LinkShift(i, TYPES.size() - 1);
}

CSchichtNode* CAZPBewertung::MakeNode(long i, std::size_t typeIndex)
{
    CSchichtNode* node = &NODES[std::size_t(i - 1)];
    node->Reset();
    CELLS[std::size_t(i - 1)] = node;
    Retype(i, typeIndex);
    ++SHIFTCOUNT;
    ++SHIFTSVERSION;
    return node;
}

void CAZPBewertung::Retype(long i, std::size_t typeIndex)
{
    const TypeInfo& type = TYPES[typeIndex];
    CSchichtNode* node = &NODES[std::size_t(i - 1)];
    node->SCHICHT = type.SCHICHT;
    const uint32_t begin = uint32_t(i - 1) * kMinutesPerDay + type.OFFSET;
    node->TERMIN = {begin, begin + type.LENGTH};
    node->AZGESAMT = type.GROSS;
    node->REINEAZ = type.NET;
    node->BEZAHLTEAZ = type.PAID;
    CELLTYPE[std::size_t(i - 1)] = int32_t(typeIndex);
}

void CAZPBewertung::LinkShift(long i, std::size_t typeIndex)
{
    CSchichtNode* node = MakeNode(i, typeIndex);

    CSchichtNode* previousLast = nullptr;
    if (!ERSTESCHICHT) {
        ERSTESCHICHT = node;
        node->NEXT = node->PREVIOUS = node;
    } else {
        previousLast = ERSTESCHICHT->PREVIOUS;
        node->PREVIOUS = previousLast;
        node->NEXT = ERSTESCHICHT;
        previousLast->NEXT = node;
        ERSTESCHICHT->PREVIOUS = node;
    }

    // The newest node is the last one: its rest runs to the first shift of the next cycle.
    const uint32_t cycle = uint32_t(CellCount()) * kMinutesPerDay;
    const ::TERMIN nextFirst{ERSTESCHICHT->TERMIN.BEGINN + cycle, ERSTESCHICHT->TERMIN.ENDE + cycle};
    node->RUHEZEIT = GapTo(node->TERMIN, nextFirst);
    if (previousLast)
        previousLast->RUHEZEIT = GapTo(previousLast->TERMIN, node->TERMIN);

    if (previousLast)
        LINES.back().RUHEZEIT = previousLast->RUHEZEIT;
    LINES.push_back({uint32_t(i), node->RUHEZEIT, uint32_t(typeIndex), uint8_t((i - 1) % 7 + 1)});
}

uint32_t CAZPBewertung::RestAfter(const CSchichtNode& node) const
{
    if (node.NEXT != ERSTESCHICHT)
        return GapTo(node.TERMIN, node.NEXT->TERMIN);
    const uint32_t cycle = uint32_t(CellCount()) * kMinutesPerDay;
    return GapTo(node.TERMIN, {ERSTESCHICHT->TERMIN.BEGINN + cycle, ERSTESCHICHT->TERMIN.ENDE + cycle});
}

void CAZPBewertung::ExchangeCells(long i, long j)
{
    const long n = CellCount();
    if (i == j || i < 1 || j < 1 || i > n || j > n)
        return;
    const int32_t types[2] = {CELLTYPE[std::size_t(i - 1)], CELLTYPE[std::size_t(j - 1)]};
    if (types[0] == types[1])
        return;
    if (types[0] >= 0 && types[1] >= 0) {
        // Both cells worked: the list keeps its order; the two nodes take each other's shift
        // and only their rests and those of the shifts before them change.
        CSchichtNode* nodes[2] = {CELLS[std::size_t(i - 1)], CELLS[std::size_t(j - 1)]};
        if (nodes[0] && nodes[1] && !nodes[0]->IsPlaceholder() && !nodes[1]->IsPlaceholder()) {
            Retype(i, std::size_t(types[1]));
            Retype(j, std::size_t(types[0]));
            for (CSchichtNode* node : {nodes[0], nodes[1], nodes[0]->PREVIOUS, nodes[1]->PREVIOUS})
                node->RUHEZEIT = RestAfter(*node);
            ERSTESCHICHT->PREVIOUS->RUHEZEIT = RestAfter(*ERSTESCHICHT->PREVIOUS);
            ++SHIFTSVERSION;
            LINESSTALE = true;
            RESTSSTALE = true;
            return;
        }
    }
    // The shifts before the changed places, whose rests change.
    CSchichtNode* touched[6] = {};
    std::size_t count = 0;
    for (long cell : {i, j}) {
        CSchichtNode* node = CELLS[std::size_t(cell - 1)];
        if (!node || node->IsPlaceholder())
            continue;
        CSchichtNode* previous = node->PREVIOUS;
        CSchichtNode* next = node->NEXT;
        if (next == node) {
            ERSTESCHICHT = nullptr;
        } else {
            previous->NEXT = next;
            next->PREVIOUS = previous;
            if (ERSTESCHICHT == node)
                ERSTESCHICHT = next;
            touched[count++] = previous;
        }
        node->Reset();
        CELLS[std::size_t(cell - 1)] = nullptr;
        CELLTYPE[std::size_t(cell - 1)] = -1;
        --SHIFTCOUNT;
    }
    const long cells[2] = {i, j};
    for (std::size_t k = 0; k < 2; ++k) {
        const int32_t type = types[1 - k];
        if (type < 0)
            continue;
        const long cell = cells[k];
        CSchichtNode* node = MakeNode(cell, std::size_t(type));
        if (!ERSTESCHICHT) {
            ERSTESCHICHT = node;
            node->NEXT = node->PREVIOUS = node;
        } else {
            CSchichtNode* previous = CELLS[std::size_t(PreviousWorkedCell(cell) - 1)];
            node->PREVIOUS = previous;
            node->NEXT = previous->NEXT;
            previous->NEXT->PREVIOUS = node;
            previous->NEXT = node;
            if (cell < CellOf(ERSTESCHICHT))
                ERSTESCHICHT = node;
        }
        touched[count++] = node;
        touched[count++] = node->PREVIOUS;
    }
    // A node unlinked above may have been linked again: only those on the list count.
    for (std::size_t k = 0; k < count; ++k) {
        CSchichtNode* node = touched[k];
        const long cell = CellOf(node);
        if (CELLS[std::size_t(cell - 1)] == node && !node->IsPlaceholder())
            node->RUHEZEIT = RestAfter(*node);
    }
    // The last node rests up to the first shift of the next cycle, which may have changed.
    if (ERSTESCHICHT)
        ERSTESCHICHT->PREVIOUS->RUHEZEIT = RestAfter(*ERSTESCHICHT->PREVIOUS);
    ++SHIFTSVERSION;
    LINESSTALE = true;
    RESTSSTALE = true;
}

void CAZPBewertung::RebuildRests() const
{
    RESTSSTALE = false;
    RUHEZEITEN.Build(this);
}

void CAZPBewertung::RebuildLines() const
{
    LINES.clear();
    LINESSTALE = false;
    if (!ERSTESCHICHT)
        return;
    const CSchichtNode* node = ERSTESCHICHT;
    do {
        const long cell = long(MinuteStampDay(node->TERMIN.BEGINN));
        LINES.push_back({uint32_t(cell), node->RUHEZEIT, uint32_t(CELLTYPE[std::size_t(cell - 1)]),
                         uint8_t((cell - 1) % 7 + 1)});
        node = node->NEXT;
    } while (node != ERSTESCHICHT);
}

void CAZPBewertung::ClearCell(long i)
{
    CSchichtNode* node = GetNode(i);
    if (!node)
        return;
    node->VERSTOSSLISTE.Reset();
    if (node->IsPlaceholder())
        CELLS[std::size_t(i - 1)] = nullptr;
}

void CAZPBewertung::Release()
{
    ClearCells();
    std::vector<Shared>().swap(SHARED);
    std::vector<ShiftLine>().swap(LINES);
    std::vector<CSchichtNode*>().swap(CELLS);
    std::vector<CSchichtNode>().swap(NODES);
    std::vector<TypeInfo>().swap(TYPES);
    HASCELLS = false;
    RESTSSTALE = false;
    LINESSTALE = false;
    RUHEZEITEN.Release();
}

CVerstossliste* CAZPBewertung::GetVerstossliste(long i) const
{
    CSchichtNode* node = GetNode(i);
    return node ? &node->VERSTOSSLISTE : nullptr;
}

std::vector<long>& CAZPBewertung::SharedCells(const void* key, std::span<const int32_t> condition, bool& fresh)
{
    Shared* slot = nullptr;
    for (Shared& s : SHARED)
        if (s.KEY == key) {
            slot = &s;
            break;
        }
    if (!slot) {
        SHARED.emplace_back();
        slot = &SHARED.back();
        slot->KEY = key;
        slot->VERSION = 0;
    }
    fresh = slot->VERSION != SHIFTSVERSION || !std::ranges::equal(slot->CONDITION, condition);
    if (fresh) {
        slot->VERSION = SHIFTSVERSION;
        slot->CONDITION.assign(condition.begin(), condition.end());
        slot->CELLS.clear();
    }
    return slot->CELLS;
}

long CAZPBewertung::RowStart(long d, long n) const
{
    if (!HASCELLS)
        return 0;
    if (n < 1 || n >= CellCount())
        return 1;
    return ((d - 1) / n) * n + 1;
}

long CAZPBewertung::NextCell(long i) const
{
    if (!HASCELLS)
        return 0;
    return i >= CellCount() ? 1 : i + 1;
}

long CAZPBewertung::WalkBackToWorkedCell(long i) const
{
    const long n = CellCount();
    if (n < 1)
        return 0;
    // Backwards from i over the cycle's start, without a division per step.
    const long start = i >= 1 && i <= n ? i : ((i - 1) % n + n) % n + 1;
    const int32_t* type = CELLTYPE.data() - 1;  // type[c] for cell c
    for (long c = start - 1; c >= 1; --c)
        if (type[c] >= 0)
            return c;
    for (long c = n; c > start; --c)
        if (type[c] >= 0)
            return c;
    return 0;
}

std::pair<long, long> CAZPBewertung::PreviousWorkedCells(long i, const CAZPBewertung& other,
                                                        std::span<const long> changed) const
{
    const long n = CellCount();
    const bool here = Worked(i), there = other.Worked(i);
    if (here == there || other.CellCount() != n)
        return {PreviousWorkedCell(i), other.PreviousWorkedCell(i)};
    // Cell i is worked on one side: its list gives that side's answer q at once. Every cell after
    // q up to i is free on that side and, unless changed, on the other; q is worked there too
    // unless changed. So the other's answer is the nearest changed cell after q worked there, or
    // q itself.
    const CAZPBewertung& known = here ? *this : other;
    const CAZPBewertung& derived = here ? other : *this;
    const long q = known.PreviousWorkedCell(i);
    const auto back = [&](long c) { return c < i ? i - c : i - c + n; };  // 1 .. n - 1 for c != i
    long answer = q, nearest = q ? back(q) : n;
    bool walk = q == 0;
    for (long c : changed) {
        if (c == i || c < 1 || c > n)
            continue;
        const long d = back(c);
        if (d < nearest && derived.Worked(c))
            answer = c, nearest = d;
        else if (c == q && !derived.Worked(c))
            walk = true;
    }
    if (walk && answer == q)
        answer = derived.PreviousWorkedCell(i);
    return here ? std::pair{q, answer} : std::pair{answer, q};
}

double CAZPBewertung::ComputeQuality() const
{
    double q = 0.0;
    for (const CSchichtNode* node : CELLS) {
        if (!node)
            continue;
        for (const VERSTOSSINFO& r : node->VERSTOSSLISTE.VERSTOESSE)
            if (r.KRITERIUM)
                q += r.WERT / r.KRITERIUM->GetWeight();
    }
    return q;
}

void CAZPBewertung::PaintViolations(long i, const GridDC& dc, int left, int top, int width, int height) const
{
    const CSchichtNode* node = GetNode(i);
    if (!node)
        return;
    const CVerstossliste& list = node->VERSTOSSLISTE;
    for (long k = 1; k <= list.Count(); ++k) {
        const VERSTOSSINFO* r = list.At(k);
        if (!r->KRITERIUM)
            continue;
        if (IAZPChecker* checker = r->KRITERIUM->GetAZPChecker())
            checker->Paint(i, *r, dc, left, top, width, height);
    }
}
