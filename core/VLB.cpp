#include "core/VLB.h"

#include "platform/ui/Window.h"

#include <algorithm>
#include <mutex>
#include <vector>

// The list's source: every question goes to the owner's ListCallback while it is bound.
class CVLB::Source : public ListSource {
public:
    explicit Source(CVLB* owner) : owner(owner) {}
    int64_t RowCount() override { return owner ? std::atoll(owner->ListCallback(-1, 0).c_str()) : 0; }
    std::string Field(int64_t row, int field) override { return owner ? owner->ListCallback(row, field) : std::string(); }
    CVLB* owner;
};

// The hook of one row of the hook table; it keeps the hook that was there before. The layer
// calls it before and after its own handling of every message of the list.
class CVLB::HookEntry : public ListHook {
public:
    explicit HookEntry(ListHook* previous) : previous(previous) {}
    bool TakeWindowMessage(const WindowMessage& m) override;
    void AfterWindowMessage(const WindowMessage& m) override;
    ListHook* previous;
    bool handled = false;   // the object took the last message: nothing follows it
};

namespace {

struct HookRow {
    int window = 0;
    int feq = 0;
    CVLB* object = nullptr;
    std::unique_ptr<ListHook> entry;
};

// One table for the whole program, keyed by the list.
std::mutex& HookMutex()
{
    static std::mutex m;
    return m;
}

std::vector<HookRow>& HookTable()
{
    static std::vector<HookRow> rows;
    return rows;
}

// The object whose row holds `entry`; nullptr once the row has gone. Two objects may hook the
// same list, each through its own entry.
CVLB* ObjectOf(const ListHook* entry)
{
    std::lock_guard lock(HookMutex());
    for (const HookRow& r : HookTable())
        if (r.entry.get() == entry)
            return r.object;
    return nullptr;
}

// Runs `f` with `window` as the calling thread's target and puts the target back.
template <typename F>
auto WithTarget(int window, F f)
{
    struct Restore {
        int before;
        ~Restore() { WindowSetTarget(before); }
    } restore{WindowSetTarget(window)};
    return f();
}

} // namespace

bool CVLB::HookEntry::TakeWindowMessage(const WindowMessage& m)
{
    // The entry may be removed while the object handles the message: only copies are used after.
    ListHook* const prev = previous;
    CVLB* object = ObjectOf(this);
    if (!object)
        return prev ? prev->TakeWindowMessage(m) : false;
    if (object->TakeWindowMessage(m)) {
        if (ObjectOf(this))
            handled = true;
        return true;
    }
    return prev ? prev->TakeWindowMessage(m) : false;
}

void CVLB::HookEntry::AfterWindowMessage(const WindowMessage& m)
{
    // A message the object handled itself was answered there; neither the hook before nor the
    // object sees it again.
    if (handled) {
        handled = false;
        return;
    }
    ListHook* const prev = previous;
    if (prev)
        prev->AfterWindowMessage(m);
    CVLB* object = ObjectOf(this);
    if (!object)
        return;
    if (m.kind == WindowMessage::Kind::Size && object->FASTDRAW) {
        object->WIDTH = object->Geometry().width;
        object->XCLIPFIELDTO = 0;
        // The last decision was made for the old width; the first cell asked for decides anew.
        object->LASTCOLUMN = 0;
    }
    object->AfterWindowMessage(m);
}

CVLB::CVLB() { Construct(); }

CVLB::~CVLB()
{
    // A list must never be left asking an object that is gone.
    if (source_)
        source_->owner = nullptr;
    if (SUBCLASSED)
        Unhook();
}

void CVLB::Construct()
{
    CHANGED = 0;
    SUBCLASSED = 0;
    FEQ = 0;
    WIN = 0;
    FASTDRAW = 0;
    LASTCOLUMN = 0;
    SetLayout(1, 1, 1, 1);
}

void CVLB::SetLayout(int cellWidth, int cellHeight, int fieldsPerColumn, int stacked)
{
    // Zero would divide by zero in the mappings; one list column or row per cell is the least.
    ZELLENBREITE = static_cast<uint16_t>(std::max(1, cellWidth));
    ZELLENHOEHE = static_cast<uint16_t>(std::max(1, cellHeight));
    FIELDSPERCOLUMN = static_cast<int16_t>(std::max(1, fieldsPerColumn));
    UEBEREINANDER = static_cast<uint16_t>(std::max(1, stacked));
}

void CVLB::Init(int feq, const std::string& format, bool fastDraw, bool keepFormat)
{
    WIN = 0;
    FEQ = feq;
    listWindow_ = WindowTarget();
    if (source_)
        source_->owner = nullptr;
    source_ = std::make_shared<Source>(this);
    ListSetSource(FEQ, source_);
    FASTDRAW = fastDraw ? 1 : 0;
    XCLIPFIELDTO = 0;
    HSCROLLPOS = 0;
    if (!keepFormat) {
        PropertySet(FEQ, Prop::Format, format);
        ComputeColumnX();
    }
}

void CVLB::Subclass(int window)
{
    if (SUBCLASSED)
        return;
    if (window)
        listWindow_ = window;
    Hook();
    SUBCLASSED = 1;
    WIN = window;
}

void CVLB::Release()
{
    if (source_)
        source_->owner = nullptr;
    if (SUBCLASSED)
        Unhook();
    SUBCLASSED = 0;
}

int64_t CVLB::ListProperty(Prop prop, int index) const
{
    return PropertyGet(listWindow_, FEQ, prop, index).Int();
}

void CVLB::SetListProperty(Prop prop, int64_t value, int index) const
{
    PropertySet(listWindow_, FEQ, prop, PropValue(static_cast<long long>(value)), index);
}

ListGeometry CVLB::Geometry() const
{
    const WindowModel* w = WindowFind(listWindow_);
    const ControlModel* c = w ? w->Find(FEQ) : nullptr;
    return c ? c->geometry : ListGeometry();
}

void CVLB::Redisplay() const
{
    if (WindowExists(listWindow_))
        WithTarget(listWindow_, [&] { ControlDisplay(FEQ); return 0; });
}

void CVLB::SelectList() const
{
    if (WindowExists(listWindow_))
        WithTarget(listWindow_, [&] { ControlSelect(FEQ); return 0; });
}

int32_t CVLB::CurrentColumn() { return ColumnOfListColumn(static_cast<int32_t>(ListProperty(Prop::Column))); }

int32_t CVLB::ColumnOfListColumn(int32_t n) { return n <= 0 ? 0 : (n - 1) / ZELLENBREITE + 1; }

int32_t CVLB::RowOfListRow(int32_t n) { return n <= 0 ? 0 : (n - 1) / ZELLENHOEHE + 1; }

int32_t CVLB::ColumnOfField(int32_t n) { return (n - 1) / FIELDSPERCOLUMN + 1; }

int32_t CVLB::CurrentRow() { return RowOfListRow(static_cast<int32_t>(ListProperty(Prop::Selected))); }

bool CVLB::TakeWindowMessage(const WindowMessage&) { return false; }

void CVLB::AfterWindowMessage(const WindowMessage&) {}

void CVLB::SetChanged() { CHANGED = 1; }

int16_t CVLB::ColumnCount() { return 0; }

std::string CVLB::ListCallback(int64_t row, int column)
{
    switch (column) {
    case 0: return std::to_string(RowCount());
    case -1: return "0";
    case -2: return std::to_string(ColumnCount());
    case -3:
        if (CHANGED) {
            CHANGED = 0;
            return "1";
        }
        return "0";
    default: break;
    }
    if (row <= 0 || column < 0)
        return {};
    if (FASTDRAW && Clipped(column))
        return {};
    return CellText(static_cast<int32_t>(row), static_cast<int16_t>(column));
}

bool CVLB::Clipped(int column)
{
    const int32_t hs = static_cast<int32_t>(ListProperty(Prop::HScrollPos));
    if (hs == HSCROLLPOS && XCLIPFIELDTO != 0) {
        CLIPPED = column >= XCLIPFIELDTO ? 1 : 0;
        return CLIPPED;
    }
    const int32_t c = ColumnOfField(column);
    // The same column keeps its decision only while nothing was scrolled since.
    if (c == LASTCOLUMN && hs == HSCROLLPOS)
        return CLIPPED;
    HSCROLLPOS = hs;
    auto entry = [&](int64_t i) { return i >= 0 && i < 256 ? COLUMNXPOS[i] : COLUMNXPOS[255]; };
    int64_t x = entry(c - 1);
    // The list's scroll position counts the non-fixed columns scrolled out on the left.
    if (hs != 0)
        x -= entry(static_cast<int64_t>(hs + FIXEDCOLUMN) * UEBEREINANDER) - entry(static_cast<int64_t>(FIXEDCOLUMN) * UEBEREINANDER);
    CLIPPED = x > WIDTH ? 1 : 0;
    XCLIPFIELDTO = CLIPPED ? static_cast<uint16_t>(column) : 0;
    LASTCOLUMN = static_cast<uint16_t>(c);
    return CLIPPED;
}

void CVLB::ComputeColumnX()
{
    if (!FASTDRAW)
        return;
    WIDTH = Geometry().width;
    std::fill(std::begin(COLUMNXPOS), std::end(COLUMNXPOS), 0);
    FIXEDCOLUMN = 0;
    const WindowModel* w = WindowFind(listWindow_);
    const ControlModel* list = w ? w->Find(FEQ) : nullptr;
    if (!list)
        return;
    const auto& columns = list->format.columns;
    const int k = std::max<int>(UEBEREINANDER, 1);
    for (int i = 1; i <= 255 && i <= static_cast<int>(columns.size()); ++i) {
        if (k <= i)
            COLUMNXPOS[i] = columns[static_cast<size_t>(i - k)].width + COLUMNXPOS[i - k];
        if (columns[static_cast<size_t>(i - 1)].fixed)
            ++FIXEDCOLUMN;
    }
}

void CVLB::Hook()
{
    WindowModel* w = WindowFind(listWindow_);
    ControlModel* list = w ? w->Find(FEQ) : nullptr;
    if (!list)
        return;
    auto entry = std::make_unique<HookEntry>(list->hook);
    list->hook = entry.get();
    std::lock_guard lock(HookMutex());
    HookTable().push_back({listWindow_, FEQ, this, std::move(entry)});
}

void CVLB::Unhook()
{
    // Every row of this object goes, also one left on a list it was bound to before a later Init:
    // that list would otherwise hand its messages to an object that may be gone.
    std::vector<HookRow> gone;
    {
        std::lock_guard lock(HookMutex());
        auto& rows = HookTable();
        for (auto it = rows.begin(); it != rows.end();) {
            if (it->object != this) {
                ++it;
                continue;
            }
            gone.push_back(std::move(*it));
            it = rows.erase(it);
            // A hook put on top of this one later now follows the one before it.
            auto* removed = static_cast<HookEntry*>(gone.back().entry.get());
            for (HookRow& r : rows) {
                auto* e = static_cast<HookEntry*>(r.entry.get());
                if (e->previous == removed)
                    e->previous = removed->previous;
            }
        }
    }
    // The list gets back the hook it had before, so it goes on working normally.
    for (const HookRow& row : gone) {
        WindowModel* w = WindowFind(row.window);
        ControlModel* list = w ? w->Find(row.feq) : nullptr;
        auto* removed = static_cast<HookEntry*>(row.entry.get());
        if (list && list->hook == removed)
            list->hook = removed->previous;
    }
}

CVLB* CVLB::FindHook(int window, int feq)
{
    std::lock_guard lock(HookMutex());
    for (const HookRow& r : HookTable())
        if (r.window == window && r.feq == feq)
            return r.object;
    return nullptr;
}
