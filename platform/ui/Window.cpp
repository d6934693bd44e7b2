#include "platform/ui/Window.h"

#include "platform/ui/Runtime.h"
#include "platform/ui/RuntimeInternal.h"
#include "platform/ui/WindowInternal.h"
#include "platform/values/Picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

constexpr int DEFAULT_LINE_HEIGHT = 12;
constexpr int DEFAULT_HEADER_HEIGHT = 14;

// Rows given as texts: fields separated by '|'.
class RowsSource : public ListSource {
public:
    explicit RowsSource(const std::vector<std::string>& rows)
    {
        for (const auto& r : rows) {
            std::vector<std::string> fields;
            size_t start = 0;
            for (size_t i = 0; i <= r.size(); ++i)
                if (i == r.size() || r[i] == '|') {
                    fields.push_back(r.substr(start, i - start));
                    start = i + 1;
                }
            rows_.push_back(std::move(fields));
        }
    }
    int64_t RowCount() override { return static_cast<int64_t>(rows_.size()); }
    std::string Field(int64_t row, int field) override
    {
        if (row < 1 || row > RowCount())
            return {};
        const auto& f = rows_[static_cast<size_t>(row - 1)];
        return field >= 1 && field <= static_cast<int>(f.size()) ? f[static_cast<size_t>(field - 1)] : std::string();
    }

private:
    std::vector<std::vector<std::string>> rows_;
};

struct Registry {
    std::map<int, std::unique_ptr<WindowModel>> windows;
    int nextId = 1;
    std::vector<int> stack[MAX_THREADS + 1];   // windows of each thread, in creation order
    int target[MAX_THREADS + 1] = {};
    int loopWindow[MAX_THREADS + 1] = {};      // the window whose loop returned the current event
    // Loops of a thread whose event waits for its default handling while a window opened by its
    // handler (a message box, a wait window) runs a loop of its own.
    struct Suspended {
        int nested = 0;
        int outer = 0;
        Event event;
        bool skip = false;
    };
    std::vector<Suspended> suspended[MAX_THREADS + 1];
    std::map<int, PropValue> system;
    int front = 0;
    PictureFormatFn format;
    PictureParseFn parse;
    TextWidthFn textWidth;
    LineHeightFn lineHeight;
    std::vector<PaintOp> noPaint;
    ListFormat noFormat;
};

std::function<void(int)>& CloseDownRefusedHook()
{
    static std::function<void(int)> hook;
    return hook;
}

Registry& R()
{
    static Registry r;
    return r;
}

int Slot() { return std::clamp(ThreadCurrent(), 0, MAX_THREADS); }

void CheckBaton(const char* what)
{
    static bool warned = false;
    if (!warned && !Runtime::MayTouchModels()) {
        warned = true;
        std::fprintf(stderr, "Fenstermodell ohne Staffelstab berührt: %s\n", what);
    }
}

WindowModel* Find(int window)
{
    auto it = R().windows.find(window);
    return it == R().windows.end() ? nullptr : it->second.get();
}

WindowModel* Target()
{
    return Find(WindowTarget());
}

ControlModel* TargetControl(int control)
{
    WindowModel* w = Target();
    return w ? w->Find(control) : nullptr;
}

bool IsValueControl(ControlKind k)
{
    switch (k) {
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Spin:
    case ControlKind::Check:
    case ControlKind::Option:
    case ControlKind::DropList:
    case ControlKind::Combo:
        return true;
    default:
        return false;
    }
}

bool HasTextValue(ControlKind k)
{
    return k == ControlKind::Entry || k == ControlKind::Text || k == ControlKind::Spin || k == ControlKind::Combo ||
           k == ControlKind::String;
}

void SetupGeometry(ControlModel& c, int lineHeight)
{
    bool headers = false;
    for (const auto& col : c.format.columns)
        if (!col.header.empty())
            headers = true;
    for (const auto& g : c.format.groups)
        if (!g.header.empty())
            headers = true;
    c.geometry.width = static_cast<int>(c.Get(Prop::Width).Int());
    c.geometry.height = static_cast<int>(c.Get(Prop::Height).Int());
    if (lineHeight > 0)
        c.geometry.lineHeight = lineHeight;
    if (c.geometry.lineHeight <= 0)
        c.geometry.lineHeight = DEFAULT_LINE_HEIGHT;
    c.geometry.headerHeight = headers ? DEFAULT_HEADER_HEIGHT : 0;
    int body = c.geometry.height - c.geometry.headerHeight;
    c.geometry.visibleRows = body > 0 ? body / c.geometry.lineHeight : 0;
}

void AddControl(WindowModel& w, const ControlDesc& d, int parent, int& lastId)
{
    int id = d.id > 0 ? d.id : lastId + 1;
    while (w.Find(id))
        ++id;               // a number given twice: the later control takes the next free one
    lastId = id;
    ControlModel c;
    c.id = id;
    c.kind = d.kind;
    c.parent = parent;
    c.name = d.name;
    c.std = d.std;
    c.use = d.use;
    c.alertKeys = d.alertKeys;
    c.Set(Prop::Text, d.text);
    c.Set(Prop::Hide, d.hidden);
    c.Set(Prop::Disable, d.disabled);
    c.Set(Prop::Xpos, d.x);
    c.Set(Prop::Ypos, d.y);
    c.Set(Prop::Width, d.w);
    c.Set(Prop::Height, d.h);
    if (!d.fontName.empty())
        c.Set(Prop::FontName, d.fontName);
    if (d.fontSize)
        c.Set(Prop::FontSize, d.fontSize);
    if (d.fontStyle)
        c.Set(Prop::FontStyle, d.fontStyle);
    c.Set(Prop::FontColor, d.fontColor);
    c.Set(Prop::Color, d.color);
    if (!d.icon.empty())
        c.Set(Prop::Icon, d.icon);
    if (!d.tip.empty())
        c.Set(Prop::Tip, d.tip);
    if (!d.msg.empty())
        c.Set(Prop::Msg, d.msg);
    if (!d.key.empty())
        c.Set(Prop::Key, d.key);
    if (!d.cursor.empty())
        c.Set(Prop::Cursor, d.cursor);
    c.Set(Prop::Picture, d.picture);
    c.Set(Prop::ReadOnly, d.readOnly);
    c.Set(Prop::Checked, d.checked);
    c.Set(Prop::Default, d.isDefault);
    c.Set(Prop::Flat, d.flat);
    c.Set(Prop::Trn, d.transparent);
    if (d.kind == ControlKind::Sheet)
        c.Set(Prop::Wizard, d.wizard);
    if (d.kind == ControlKind::Spin || d.kind == ControlKind::Progress) {
        c.Set(Prop::RangeLow, d.rangeLow);
        c.Set(Prop::RangeHigh, d.rangeHigh);
        c.Set(Prop::Step, d.step);
        c.Set(Prop::Value, d.rangeLow);
    }
    if (d.kind == ControlKind::Radio || d.kind == ControlKind::Item)
        c.Set(Prop::Value, d.value);
    if (d.kind == ControlKind::Item && d.checkable)
        c.itemStyle = d.radioItem ? 2 : 1;
    if (d.kind == ControlKind::DropList || d.kind == ControlKind::Combo) {
        c.Set(Prop::Drop, d.drop);
        c.Set(Prop::DropWidth, d.dropWidth);
    }
    c.Set(Prop::Selected, 0);
    if (d.kind == ControlKind::List || d.kind == ControlKind::DropList || d.kind == ControlKind::Combo) {
        c.Set(Prop::Format, d.format);
        c.format = ListFormat::Parse(d.format);
        c.Set(Prop::Column, 1);
        c.Set(Prop::HScrollPos, 0);
        c.Set(Prop::VScrollPos, 0);
        SetupGeometry(c, d.lineHeight);
        if (!d.from.empty())
            c.source = std::make_shared<RowsSource>(d.from);
    }
    if (HasTextValue(d.kind) && d.kind != ControlKind::String)
        c.Set(Prop::ScreenText, std::string());
    w.controls.push_back(std::move(c));
    for (const auto& child : d.children)
        AddControl(w, child, id, lastId);
    if (d.kind == ControlKind::Sheet) {
        ControlModel* sheet = w.Find(id);
        for (const auto& child : d.children)
            if (child.kind == ControlKind::Tab) {
                sheet->Set(Prop::Selected, 1);
                break;
            }
    }
}

// ---- showing and taking use variables ------------------------------------------------------

std::string Format(const PropValue& v, const std::string& picture) { return PictureFormat(v, picture); }

void DisplayOne(WindowModel& w, ControlModel& c)
{
    if (!c.use.Bound())
        return;
    PropValue v = c.use.Get();
    std::string pic = c.Get(Prop::Picture).Str();
    switch (c.kind) {
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Spin:
        c.Set(Prop::Value, v);
        c.Set(Prop::ScreenText, Format(v, pic));
        break;
    case ControlKind::String:
    case ControlKind::Prompt:
        c.Set(Prop::Text, Format(v, pic));
        break;
    case ControlKind::Check:
        c.Set(Prop::Checked, v.Int() != 0);
        break;
    case ControlKind::Item:
        c.Set(Prop::Checked, v.Int() != 0);
        break;
    case ControlKind::Option: {
        c.Set(Prop::Value, v);
        int ord = 0, n = 0;
        for (auto& r : w.controls)
            if (r.parent == c.id && r.kind == ControlKind::Radio) {
                ++n;
                std::string rv = r.Get(Prop::Value).Str();
                if ((!rv.empty() && rv == v.Str()) || (rv.empty() && v.Int() == n && !v.Str().empty()))
                    ord = n;
            }
        c.Set(Prop::Selected, ord);
        for (auto& r : w.controls)
            if (r.parent == c.id && r.kind == ControlKind::Radio)
                r.Set(Prop::Checked, WindowInternal::Ordinal(w, r) == ord);
        break;
    }
    case ControlKind::DropList:
    case ControlKind::Combo:
    case ControlKind::List:
        if (c.use.Numeric()) {
            c.Set(Prop::Selected, v.Int());
        } else {
            int64_t rows = c.source ? c.source->RowCount() : 0;
            int64_t sel = 0;
            for (int64_t r = 1; r <= rows; ++r)
                if (c.source->Field(r, 1) == v.Str()) {
                    sel = r;
                    break;
                }
            if (sel > 0 || c.kind != ControlKind::Combo)
                c.Set(Prop::Selected, sel);
        }
        if (c.kind == ControlKind::Combo)
            c.Set(Prop::ScreenText, Format(v, pic));
        break;
    case ControlKind::Sheet:
        c.Set(Prop::Selected, v.Int());
        break;
    case ControlKind::Progress:
        c.Set(Prop::Value, v);
        break;
    default:
        break;
    }
}

// Takes the screen value of one control into its use variable. False when the screen text does
// not fit the control's picture.
bool UpdateOne(WindowModel& w, ControlModel& c)
{
    std::string pic = c.Get(Prop::Picture).Str();
    switch (c.kind) {
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Spin:
    case ControlKind::Combo: {
        std::string screen = c.Get(Prop::ScreenText).Str();
        PropValue v;
        bool numeric = c.use.Bound() ? c.use.Numeric() : c.kind == ControlKind::Spin;
        if (!PictureParse(screen, pic, v))
            return false;
        if (numeric && c.kind == ControlKind::Spin) {
            int64_t low = c.Get(Prop::RangeLow).Int(), high = c.Get(Prop::RangeHigh).Int();
            if (high > low)
                v = PropValue(static_cast<long long>(std::clamp(v.Int(), low, high)));
        }
        if (c.kind == ControlKind::Combo && c.source) {
            int64_t rows = c.source->RowCount();
            int64_t sel = 0;
            for (int64_t r = 1; r <= rows; ++r)
                if (c.source->Field(r, 1) == screen) {
                    sel = r;
                    break;
                }
            c.Set(Prop::Selected, sel);
        }
        c.Set(Prop::Value, v);
        c.Set(Prop::ScreenText, Format(v, pic));
        c.use.Set(v);
        return true;
    }
    case ControlKind::Check:
    case ControlKind::Item:
        c.use.Set(PropValue(c.Get(Prop::Checked).Int() != 0 ? 1 : 0));
        return true;
    case ControlKind::Option:
        c.use.Set(c.Get(Prop::Value));
        return true;
    case ControlKind::DropList:
    case ControlKind::List: {
        int64_t sel = c.Get(Prop::Selected).Int();
        if (!c.use.Bound())
            return true;
        if (c.use.Numeric())
            c.use.Set(PropValue(static_cast<long long>(sel)));
        else
            c.use.Set(PropValue(c.source && sel > 0 ? c.source->Field(sel, 1) : std::string()));
        return true;
    }
    case ControlKind::Sheet:
        c.use.Set(c.Get(Prop::Selected));
        return true;
    default:
        return true;
    }
}

// ---- closing ------------------------------------------------------------------------------

void EndLoop(WindowModel& w)
{
    if (w.state == WindowState::Closed)
        return;
    bool wasOpen = w.state == WindowState::Open;
    w.state = WindowState::Closed;
    for (const Event& e : w.deferred)
        EventPost(e, w.thread);
    w.deferred.clear();
    w.acceptAll = false;
    Runtime::DropWindowTimer(w.id);
    WindowInternal::Changed(w);
    if (R().front == w.id)
        R().front = 0;
    if (wasOpen && w.desc.kind == WindowKind::MdiChild) {
        WindowModel* frame = Find(w.frame);
        if (frame && frame->closingDown && frame->state == WindowState::Open) {
            Event e;
            e.code = EVENT_CLOSE_DOWN;
            e.window = frame->id;
            WindowInternal::PostTo(*frame, e);
        }
    }
}

void FrameCloseDown(WindowModel& frame)
{
    for (auto& [id, w] : R().windows)
        if (w->desc.kind == WindowKind::MdiChild && w->frame == frame.id && w->state == WindowState::Open) {
            frame.closingDown = true;
            Event e;
            e.code = EVENT_CLOSE_DOWN;
            e.window = id;
            WindowInternal::PostTo(*w, e);
            return;
        }
    frame.closingDown = false;
    EndLoop(frame);
}

void DefaultHandling(WindowModel& w, const Event& e)
{
    switch (e.code) {
    case EVENT_CLOSE_WINDOW:
    case EVENT_CLOSE_DOWN:
        if (w.desc.kind == WindowKind::MdiFrame)
            FrameCloseDown(w);
        else
            EndLoop(w);
        break;
    case EVENT_COMPLETED:
        w.acceptAll = false;
        w.acceptAllNext = 0;
        break;
    case EVENT_ACCEPTED: {
        ControlModel* c = w.Find(e.control);
        if (!c)
            break;
        if (c->std == StdAction::Close) {
            Event close;
            close.code = EVENT_CLOSE_WINDOW;
            close.window = w.id;
            WindowInternal::PostTo(w, close);
        } else if (c->std == StdAction::Exit) {
            for (auto& [id, f] : R().windows)
                if (f->desc.kind == WindowKind::MdiFrame && f->state == WindowState::Open) {
                    Event close;
                    close.code = EVENT_CLOSE_WINDOW;
                    close.window = id;
                    WindowInternal::PostTo(*f, close);
                    return;
                }
            Event close;
            close.code = EVENT_CLOSE_WINDOW;
            close.window = w.id;
            WindowInternal::PostTo(w, close);
        }
        break;
    }
    default:
        break;
    }
}

// The next event of an accept-all pass, if one is due.
bool NextAcceptAll(WindowModel& w, Event& e)
{
    if (!w.acceptAll)
        return false;
    while (w.acceptAllNext < w.controls.size()) {
        ControlModel& c = w.controls[w.acceptAllNext++];
        if (IsValueControl(c.kind) && !WindowInternal::HiddenInEffect(w, c, false) &&
            !WindowInternal::DisabledInEffect(w, c)) {
            e = Event{};
            e.code = EVENT_ACCEPTED;
            e.control = c.id;
            e.window = w.id;
            return true;
        }
    }
    if (w.acceptAllNext == w.controls.size()) {
        ++w.acceptAllNext;          // Completed is given once
        e = Event{};
        e.code = EVENT_COMPLETED;
        e.window = w.id;
        return true;
    }
    return false;
}

// Takes the screen into the use variable of the control an event concerns; a refused text turns
// Accepted into Rejected.
void Prepare(WindowModel& w, Event& e)
{
    if (IsWindowEvent(e.code) || e.code < 0)
        return;
    ControlModel* c = w.Find(e.control);
    if (!c)
        return;
    if (e.code == EVENT_ACCEPTED) {
        if (c->kind == ControlKind::List || c->kind == ControlKind::Sheet)
            return;
        if (!UpdateOne(w, *c))
            e.code = EVENT_REJECTED;
    } else if (e.code == EVENT_NEW_SELECTION) {
        if (c->kind == ControlKind::List || c->kind == ControlKind::DropList || c->kind == ControlKind::Sheet ||
            c->kind == ControlKind::Combo)
            UpdateOne(w, *c);
    }
}

int64_t RowCountOf(ControlModel& c) { return c.source ? c.source->RowCount() : 0; }

void KeepVisible(ControlModel& c)
{
    int64_t sel = c.Get(Prop::Selected).Int();
    int64_t first = c.Get(Prop::VScrollPos).Int() + 1;
    int vis = std::max(1, c.geometry.visibleRows);
    if (sel < first)
        c.Set(Prop::VScrollPos, static_cast<long long>(std::max<int64_t>(sel - 1, 0)));
    else if (sel >= first + vis)
        c.Set(Prop::VScrollPos, static_cast<long long>(sel - vis));
}

void PostField(WindowModel& w, int code, int control, int key = 0)
{
    Event e;
    e.code = code;
    e.control = control;
    e.window = w.id;
    e.keyCode = key;
    WindowInternal::PostTo(w, e);
}

int ListColumnAtModel(const ControlModel& c, int x);
int ColumnX(const ControlModel& c, int column);

int64_t RowAtModel(ControlModel& c, int y)
{
    if (y < c.geometry.headerHeight || c.geometry.lineHeight <= 0)
        return 0;
    int64_t row = c.Get(Prop::VScrollPos).Int() + (y - c.geometry.headerHeight) / c.geometry.lineHeight + 1;
    return row <= RowCountOf(c) ? row : 0;
}

// The layer's own handling of a list message.
void ListDefault(WindowModel& w, ControlModel& c, const WindowMessage& m)
{
    using K = WindowMessage::Kind;
    switch (m.kind) {
    case K::MouseDown:
    case K::DoubleClick: {
        int64_t row = RowAtModel(c, m.y);
        int col = ListColumnAtModel(c, m.x);
        int zone = m.y < c.geometry.headerHeight ? LIST_ZONE_HEADER : LIST_ZONE_FIELD;
        if (zone == LIST_ZONE_FIELD && row > 0 && c.format.hasTree && c.source) {
            for (size_t i = 0; i < c.format.columns.size(); ++i) {
                const ListColumn& tc = c.format.columns[i];
                if (!tc.tree)
                    continue;
                int levelField = tc.firstField + 1 + (tc.colors ? 4 : 0) + (tc.icon ? 1 : 0);
                int level = std::abs(std::atoi(c.source->Field(row, levelField).c_str()));
                int left = ColumnX(c, static_cast<int>(i) + 1);
                if (level > 0 && left >= 0 && m.x >= left + (level - 1) * TREE_INDENT && m.x < left + level * TREE_INDENT)
                    zone = LIST_ZONE_EXPANDBOX;
                break;
            }
        }
        c.Set(Prop::ListMouseDownRow, static_cast<long long>(row));
        c.Set(Prop::ListMouseDownColumn, col);
        c.Set(Prop::ListMouseDownZone, zone);
        w.focus = c.id;
        if (row > 0) {
            c.Set(Prop::Selected, static_cast<long long>(row));
            if (col > 0)
                c.Set(Prop::Column, col);
            KeepVisible(c);
        }
        // A second click on an expand box soon after the first is a click of its own, not a
        // double click that would open the row: every click on the box toggles it.
        const bool down = m.kind == K::MouseDown || (zone == LIST_ZONE_EXPANDBOX && m.button != Key::MOUSE_RIGHT);
        int key = !down ? (m.button == Key::MOUSE_RIGHT ? Key::MOUSE_RIGHT2 : Key::MOUSE_LEFT2)
                        : (m.button ? m.button : Key::MOUSE_LEFT);
        if (row > 0 && down)
            PostField(w, EVENT_NEW_SELECTION, c.id);
        if (WindowInternal::Alerted(w, &c, key))
            PostField(w, EVENT_ALERT_KEY, c.id, key);
        else if (!down && row > 0)
            PostField(w, EVENT_ACCEPTED, c.id);
        break;
    }
    case K::MouseUp:
        c.Set(Prop::ListMouseUpRow, static_cast<long long>(RowAtModel(c, m.y)));
        c.Set(Prop::ListMouseUpColumn, ListColumnAtModel(c, m.x));
        break;
    case K::MouseMove:
        c.Set(Prop::ListMouseMoveRow, static_cast<long long>(RowAtModel(c, m.y)));
        c.Set(Prop::ListMouseMoveColumn, ListColumnAtModel(c, m.x));
        break;
    case K::KeyDown: {
        if (WindowInternal::Alerted(w, &c, m.key)) {
            PostField(w, EVENT_ALERT_KEY, c.id, m.key);
            break;
        }
        if (WindowInternal::ClosesOnEscape(w, m.key)) {
            Event close;
            close.code = EVENT_CLOSE_WINDOW;
            close.window = w.id;
            WindowInternal::PostTo(w, close);
            break;
        }
        int64_t rows = RowCountOf(c);
        int64_t sel = c.Get(Prop::Selected).Int();
        int64_t col = c.Get(Prop::Column).Int();
        int64_t page = std::max(1, c.geometry.visibleRows);
        int64_t nsel = sel, ncol = col;
        switch (Key::Base(m.key)) {
        case Key::UP: nsel = sel - 1; break;
        case Key::DOWN: nsel = sel + 1; break;
        case Key::PAGE_UP: nsel = sel - page; break;
        case Key::PAGE_DOWN: nsel = sel + page; break;
        case Key::HOME: nsel = 1; break;
        case Key::END: nsel = rows; break;
        case Key::LEFT: ncol = col - 1; break;
        case Key::RIGHT: ncol = col + 1; break;
        case Key::ENTER: PostField(w, EVENT_ACCEPTED, c.id); return;
        default: return;
        }
        nsel = rows > 0 ? std::clamp<int64_t>(nsel, 1, rows) : 0;
        ncol = std::clamp<int64_t>(ncol, 1, std::max<int64_t>(1, static_cast<int64_t>(c.format.columns.size())));
        if (nsel != sel || ncol != col) {
            c.Set(Prop::Selected, static_cast<long long>(nsel));
            c.Set(Prop::Column, static_cast<long long>(ncol));
            KeepVisible(c);
            PostField(w, EVENT_NEW_SELECTION, c.id, m.key);
        }
        break;
    }
    case K::Size:
        c.geometry.width = m.x;
        c.geometry.height = m.y;
        c.geometry.visibleRows =
            c.geometry.lineHeight > 0 ? std::max(0, (m.y - c.geometry.headerHeight) / c.geometry.lineHeight) : 0;
        break;
    case K::VScroll:
        c.Set(Prop::VScrollPos, std::max(0, m.y));
        break;
    case K::HScroll:
        c.Set(Prop::HScrollPos, std::max(0, m.x));
        break;
    default:
        break;
    }
}

// Columns on the screen from left to right: the fixed ones, then the others after the scrolled.
std::vector<int> VisibleColumns(const ControlModel& c)
{
    std::vector<int> cols;
    int scrolled = static_cast<int>(c.Get(Prop::HScrollPos).Int());
    int skipped = 0;
    for (size_t i = 0; i < c.format.columns.size(); ++i) {
        if (c.format.columns[i].fixed) {
            cols.push_back(static_cast<int>(i) + 1);
        } else if (skipped < scrolled) {
            ++skipped;
        } else {
            cols.push_back(static_cast<int>(i) + 1);
        }
    }
    return cols;
}

int ListColumnAtModel(const ControlModel& c, int x)
{
    if (x < 0)
        return 0;
    int left = 0;
    for (int col : VisibleColumns(c)) {
        int w = c.format.ShownWidth(col, c.geometry.width);
        if (x < left + w)
            return col;
        left += w;
    }
    return 0;
}

int ColumnX(const ControlModel& c, int column)
{
    int left = 0;
    for (int col : VisibleColumns(c)) {
        if (col == column)
            return left;
        left += c.format.columns[static_cast<size_t>(col - 1)].width;
    }
    return -1;
}

} // namespace

// ---- internals -------------------------------------------------------------------------------

namespace WindowInternal {

void PostTo(const WindowModel& window, Event event)
{
    if (event.window == 0)
        event.window = window.id;
    EventPost(event, window.thread);
}

bool HiddenInEffect(const WindowModel& window, const ControlModel& control, bool tabs)
{
    const ControlModel* c = &control;
    while (c) {
        if (c->Get(Prop::Hide).Bool())
            return true;
        if (c->parent == 0)
            break;
        const ControlModel* p = window.Find(c->parent);
        // A control on a tab that is not the sheet's chosen one is not on the screen.
        if (tabs && p && p->kind == ControlKind::Tab) {
            const ControlModel* sheet = window.Find(p->parent);
            if (sheet && sheet->Get(Prop::Selected).Int() != Ordinal(window, *p))
                return true;
        }
        c = p;
    }
    return false;
}

bool DisabledInEffect(const WindowModel& window, const ControlModel& control)
{
    const ControlModel* c = &control;
    while (c) {
        if (c->Get(Prop::Disable).Bool())
            return true;
        c = c->parent ? window.Find(c->parent) : nullptr;
    }
    return false;
}

std::string Reachable(const WindowModel& window, int control)
{
    if (window.state != WindowState::Open)
        return "Fenster \"" + window.Get(Prop::Text).Str() + "\" ist nicht offen";
    int top = WindowTop(window.thread);
    if (top != window.id) {
        const WindowModel* t = Find(top);
        return "Fenster \"" + window.Get(Prop::Text).Str() + "\" liegt unter dem Fenster \"" +
               (t ? t->Get(Prop::Text).Str() : std::string("?")) + "\"";
    }
    if (control == 0)
        return {};
    const ControlModel* c = window.Find(control);
    if (!c)
        return "kein Steuerelement " + std::to_string(control) + " im Fenster \"" + window.Get(Prop::Text).Str() + "\"";
    // Menu items are reached through their menus, which are never "on a tab".
    if (HiddenInEffect(window, *c))
        return "Steuerelement " + std::to_string(control) + " ist verborgen";
    if (DisabledInEffect(window, *c))
        return "Steuerelement " + std::to_string(control) + " ist gesperrt";
    return {};
}

void PostMessage(const WindowModel& window, int control, const WindowMessage& m)
{
    Event e;
    e.code = RuntimeInternal::MESSAGE_EVENT;
    e.window = window.id;
    e.control = control;
    e.keyCode = m.key;
    e.mouseX = m.x;
    e.mouseY = m.y;
    e.row = static_cast<int>(m.kind) | (m.button << 8) | ((m.buttonHeld ? 1 : 0) << 16);
    EventPost(e, window.thread);
}

bool Alerted(const WindowModel& window, const ControlModel* control, int keyCode)
{
    if (control && std::find(control->alertKeys.begin(), control->alertKeys.end(), keyCode) != control->alertKeys.end())
        return true;
    return std::find(window.alertKeys.begin(), window.alertKeys.end(), keyCode) != window.alertKeys.end();
}

bool ClosesOnEscape(const WindowModel& window, int keyCode)
{
    return keyCode == Key::ESC && window.desc.kind == WindowKind::Window;
}

void Changed(WindowModel& window) { ++window.changes; }

int Ordinal(const WindowModel& window, const ControlModel& child)
{
    int n = 0;
    for (const auto& c : window.controls)
        if (c.parent == child.parent && c.kind == child.kind) {
            ++n;
            if (c.id == child.id)
                return n;
        }
    return 0;
}

ControlModel* ChildAt(WindowModel& window, int parent, int ordinal)
{
    int n = 0;
    for (auto& c : window.controls)
        if (c.parent == parent && (c.kind == ControlKind::Radio || c.kind == ControlKind::Tab))
            if (++n == ordinal)
                return &c;
    return nullptr;
}

} // namespace WindowInternal

namespace RuntimeInternal {

void WindowsOnMessage(const Event& e)
{
    WindowModel* w = Find(e.window);
    if (!w)
        return;
    ControlModel* c = w->Find(e.control);
    if (!c)
        return;
    WindowMessage m;
    m.kind = static_cast<WindowMessage::Kind>(e.row & 0xFF);
    m.button = (e.row >> 8) & 0xFF;
    m.buttonHeld = ((e.row >> 16) & 1) != 0;
    m.key = e.keyCode;
    m.x = e.mouseX;
    m.y = e.mouseY;
    ListHook* hook = c->hook;
    bool handled = hook && hook->TakeWindowMessage(m);
    w = Find(e.window);
    c = w ? w->Find(e.control) : nullptr;
    if (!c)
        return;
    if (!handled)
        ListDefault(*w, *c, m);
    WindowInternal::Changed(*w);
    if (c->hook)
        c->hook->AfterWindowMessage(m);
}

void WindowsOnThreadEnd(int thread)
{
    Registry& r = R();
    if (thread < 0 || thread > MAX_THREADS)
        return;
    std::vector<int> mine = r.stack[thread];
    for (auto it = mine.rbegin(); it != mine.rend(); ++it)
        WindowClose(*it);
    r.stack[thread].clear();
    r.target[thread] = 0;
    r.loopWindow[thread] = 0;
    r.suspended[thread].clear();
}

void WindowsReset()
{
    Registry& r = R();
    r.windows.clear();
    r.nextId = 1;
    for (int t = 0; t <= MAX_THREADS; ++t) {
        r.stack[t].clear();
        r.target[t] = 0;
        r.loopWindow[t] = 0;
        r.suspended[t].clear();
    }
    r.system.clear();
    r.front = 0;
}

} // namespace RuntimeInternal

// ---- windows -------------------------------------------------------------------------------

int WindowCreate(const WindowDesc& desc)
{
    CheckBaton("WindowCreate");
    Registry& r = R();
    auto w = std::make_unique<WindowModel>();
    w->id = r.nextId++;
    w->thread = ThreadCurrent();
    w->desc = desc;
    w->desc.controls.clear();
    w->alertKeys = desc.alertKeys;
    w->Set(Prop::Text, desc.title);
    w->Set(Prop::Icon, desc.icon);
    w->Set(Prop::FontName, desc.fontName);
    w->Set(Prop::FontSize, desc.fontSize);
    w->Set(Prop::Color, desc.color);
    w->Set(Prop::Xpos, desc.x);
    w->Set(Prop::Ypos, desc.y);
    w->Set(Prop::Width, desc.w);
    w->Set(Prop::Height, desc.h);
    w->Set(Prop::Resizable, desc.resizable);
    w->Set(Prop::Timer, desc.timer);
    w->Set(Prop::Maximize, desc.maximize);
    w->Set(Prop::Iconize, desc.iconize);
    w->Set(Prop::Hide, false);
    w->Set(Prop::Docked, 0);
    w->Set(Prop::MinWidth, 0);
    w->Set(Prop::MinHeight, 0);
    w->Set(Prop::Wallpaper, desc.wallpaper);
    w->Set(Prop::Pixels, 1);
    int lastId = 0;
    for (const auto& c : desc.controls)
        AddControl(*w, c, 0, lastId);
    int id = w->id;
    r.stack[Slot()].push_back(id);
    r.windows[id] = std::move(w);
    return id;
}

void WindowOpen(int window)
{
    CheckBaton("WindowOpen");
    WindowModel* w = Find(window);
    if (!w || w->state != WindowState::Created)
        return;
    w->state = WindowState::Open;
    if (w->desc.kind == WindowKind::MdiChild)
        for (auto& [id, f] : R().windows)
            if (f->desc.kind == WindowKind::MdiFrame && f->state == WindowState::Open) {
                w->frame = id;
                break;
            }
    R().front = window;
    for (auto& c : w->controls)
        DisplayOne(*w, c);
    for (auto& c : w->controls)
        if (w->focus == 0 && (IsValueControl(c.kind) || c.kind == ControlKind::List) &&
            !WindowInternal::HiddenInEffect(*w, c) && !WindowInternal::DisabledInEffect(*w, c))
            w->focus = c.id;
    int timer = static_cast<int>(w->Get(Prop::Timer).Int());
    if (timer > 0)
        Runtime::SetWindowTimer(window, w->thread, timer);
    Event e;
    e.code = EVENT_OPEN_WINDOW;
    e.window = window;
    WindowInternal::PostTo(*w, e);
    WindowInternal::Changed(*w);
}

namespace {
// The nested window of the calling thread has gone: the loop it interrupted gets its event back,
// so that the event's default handling (or its refusal) still happens at that loop's next accept.
void ResumeOuterLoop(int slot, int window)
{
    auto& s = R().suspended[slot];
    if (s.empty() || s.back().nested != window)
        return;
    Registry::Suspended x = s.back();
    s.pop_back();
    R().loopWindow[slot] = x.outer;
    RuntimeInternal::Current() = x.event;
    RuntimeInternal::SkipDefault() = x.skip;
}
} // namespace

bool WindowAccept(int window)
{
    CheckBaton("WindowAccept");
    Registry& r = R();
    int slot = Slot();
    if (ThreadCurrent() == 0)
        return false;
    Event& cur = RuntimeInternal::Current();
    bool& skip = RuntimeInternal::SkipDefault();
    WindowModel* w = Find(window);
    if (w && r.loopWindow[slot] == window && cur.code != 0) {
        // The default handling belongs to the window the event was meant for.
        WindowModel* owner = cur.window ? Find(cur.window) : w;
        bool closeBelow = owner && owner != w && owner->state == WindowState::Open && w->state == WindowState::Open &&
                          owner->thread == w->thread &&
                          (cur.code == EVENT_CLOSE_WINDOW || cur.code == EVENT_CLOSE_DOWN);
        if (closeBelow && !skip) {
            // A close meant for a window under this one waits until this one has gone.
            w->deferred.push_back(cur);
        } else if (owner && !skip) {
            DefaultHandling(*owner, cur);
        } else if (owner && cur.code == EVENT_CLOSE_DOWN && owner->desc.kind == WindowKind::MdiChild) {
            // A child that keeps its window refuses the close-down of the frame.
            if (WindowModel* frame = Find(owner->frame)) {
                bool wasClosingDown = frame->closingDown;
                frame->closingDown = false;
                if (wasClosingDown && CloseDownRefusedHook())
                    CloseDownRefusedHook()(frame->id);
            }
        }
    }
    if (r.loopWindow[slot] != 0 && window > r.loopWindow[slot] && cur.code != 0) {
        // A window opened (so numbered higher) while another loop of this thread handles an
        // event: that event's default handling waits until this window has gone.
        WindowModel* outer = Find(r.loopWindow[slot]);
        if (outer && outer->state != WindowState::Closed)
            r.suspended[slot].push_back({window, r.loopWindow[slot], cur, skip});
    }
    cur = Event{};
    skip = false;
    r.loopWindow[slot] = window;
    w = Find(window);
    if (!w || w->state == WindowState::Closed) {
        r.loopWindow[slot] = 0;
        ResumeOuterLoop(slot, window);
        return false;
    }
    for (;;) {
        Event e;
        if (!NextAcceptAll(*w, e)) {
            e = EventWait();
            w = Find(window);
            if (!w || w->state == WindowState::Closed) {
                r.loopWindow[slot] = 0;
                ResumeOuterLoop(slot, window);
                return false;
            }
            if (e.window != 0 && e.window != window) {
                WindowModel* other = Find(e.window);
                if (!other || other->state == WindowState::Closed)
                    continue;       // meant for a window that has gone
                // A window under an open one of its thread does not tick.
                if (e.code == EVENT_TIMER && w->state == WindowState::Open)
                    continue;
                // The program's own events meant for a window under this one (a deferred refresh)
                // wait until this one has gone, so that the window they were meant for gets them.
                if (e.code >= 0x400 && w->state == WindowState::Open && other->thread == w->thread) {
                    w->deferred.push_back(e);
                    continue;
                }
            }
        }
        WindowModel* owner = e.window ? Find(e.window) : w;
        if (owner)
            Prepare(*owner, e);
        cur = e;
        return true;
    }
}

void WindowClose(int window)
{
    CheckBaton("WindowClose");
    Registry& r = R();
    WindowModel* w = Find(window);
    if (!w)
        return;
    EndLoop(*w);
    int thread = w->thread;
    int slot = std::clamp(thread, 0, MAX_THREADS);
    auto& st = r.stack[slot];
    st.erase(std::remove(st.begin(), st.end(), window), st.end());
    if (r.target[slot] == window)
        r.target[slot] = 0;
    if (r.loopWindow[slot] == window)
        r.loopWindow[slot] = 0;
    if (thread > 0 && thread == ThreadCurrent())
        ResumeOuterLoop(slot, window);
    r.windows.erase(window);
    if (thread > 0)
        RuntimeInternal::DropQueued(thread, window);
}

int WindowSetTarget(int window)
{
    int before = R().target[Slot()];
    R().target[Slot()] = window;
    return before;
}

int WindowTarget()
{
    Registry& r = R();
    int slot = Slot();
    if (r.target[slot] && Find(r.target[slot]))
        return r.target[slot];
    const auto& st = r.stack[slot];
    for (auto it = st.rbegin(); it != st.rend(); ++it) {
        WindowModel* w = Find(*it);
        if (w && w->state != WindowState::Closed)
            return *it;
    }
    return 0;
}

int WindowTop(int thread)
{
    Registry& r = R();
    int slot = thread == 0 ? Slot() : std::clamp(thread, 0, MAX_THREADS);
    const auto& st = r.stack[slot];
    for (auto it = st.rbegin(); it != st.rend(); ++it) {
        WindowModel* w = Find(*it);
        if (w && w->state == WindowState::Open)
            return *it;
    }
    return 0;
}

bool WindowExists(int window) { return Find(window) != nullptr; }

int WindowThread(int window)
{
    WindowModel* w = Find(window);
    return w ? w->thread : 0;
}

std::vector<int> WindowList()
{
    std::vector<int> out;
    for (auto& [id, w] : R().windows)
        out.push_back(id);
    return out;
}

WindowModel* WindowFind(int window) { return Find(window); }

void WindowAcceptAll(int window)
{
    WindowModel* w = window ? Find(window) : Target();
    if (!w)
        return;
    w->acceptAll = true;
    w->acceptAllNext = 0;
}

// ---- properties ----------------------------------------------------------------------------

PropValue PropertyGet(int control, Prop prop, int index)
{
    return PropertyGet(WindowTarget(), control, prop, index);
}

void PropertySet(int control, Prop prop, const PropValue& value, int index)
{
    PropertySet(WindowTarget(), control, prop, value, index);
}

PropValue PropertyGet(int window, int control, Prop prop, int index)
{
    if (window == 0 && control == 0)
        return SystemPropertyGet(prop);
    WindowModel* w = Find(window);
    if (!w)
        return {};
    if (control == 0) {
        switch (prop) {
        case Prop::AcceptAll: return w->acceptAll;
        case Prop::Thread: return w->thread;
        case Prop::Focus: return w->focus;
        case Prop::Active: return R().front == w->id;
        case Prop::StatusText: {
            auto it = w->indexed.find({static_cast<int>(prop), index});
            return it == w->indexed.end() ? PropValue(std::string()) : it->second;
        }
        default: return w->Get(prop);
        }
    }
    ControlModel* c = w->Find(control);
    if (!c)
        return {};
    const auto& cols = c->format.columns;
    auto col = [&]() -> const ListColumn* {
        return index >= 1 && index <= static_cast<int>(cols.size()) ? &cols[static_cast<size_t>(index - 1)] : nullptr;
    };
    switch (prop) {
    case Prop::ListRowCount: return static_cast<long long>(RowCountOf(*c));
    case Prop::Tree: return c->format.hasTree;
    case Prop::Items: return c->geometry.visibleRows;
    case Prop::LineHeight: return c->geometry.lineHeight;
    case Prop::ColumnExists: return col() != nullptr;
    case Prop::ColumnWidth: return col() ? col()->width : 0;
    case Prop::ColumnHeader: return col() ? PropValue(col()->header) : PropValue(std::string());
    case Prop::ColumnPicture: return col() ? PropValue(col()->picture) : PropValue(std::string());
    case Prop::ColumnFixed: return col() ? col()->fixed : false;
    case Prop::ColumnX: return col() ? ColumnX(*c, index) : -1;
    default: break;
    }
    if (index != 0) {
        auto it = c->indexed.find({static_cast<int>(prop), index});
        return it == c->indexed.end() ? PropValue() : it->second;
    }
    return c->Get(prop);
}

void PropertySet(int window, int control, Prop prop, const PropValue& value, int index)
{
    CheckBaton("PropertySet");
    if (window == 0 && control == 0) {
        SystemPropertySet(prop, value);
        return;
    }
    WindowModel* w = Find(window);
    if (!w)
        return;
    WindowInternal::Changed(*w);
    if (control == 0) {
        switch (prop) {
        case Prop::Timer:
            w->Set(prop, value);
            if (w->state == WindowState::Open)
                Runtime::SetWindowTimer(w->id, w->thread, static_cast<int>(value.Int()));
            return;
        case Prop::Active:
            if (value.Bool() && w->state == WindowState::Open)
                R().front = w->id;
            return;
        case Prop::Iconize:
            w->Set(prop, value);
            if (value.Bool())
                w->Set(Prop::Maximize, false);
            return;
        case Prop::Maximize:
            w->Set(prop, value);
            if (value.Bool())
                w->Set(Prop::Iconize, false);
            return;
        case Prop::AcceptAll:
        case Prop::Thread:
        case Prop::Focus:
            return;
        default:
            break;
        }
        if (index != 0)
            w->indexed[{static_cast<int>(prop), index}] = value;
        else
            w->Set(prop, value);
        return;
    }
    ControlModel* c = w->Find(control);
    if (!c)
        return;
    auto& cols = c->format.columns;
    ListColumn* col = index >= 1 && index <= static_cast<int>(cols.size()) ? &cols[static_cast<size_t>(index - 1)] : nullptr;
    switch (prop) {
    case Prop::Format:
        c->Set(prop, value);
        c->format = ListFormat::Parse(value.Str());
        SetupGeometry(*c, c->geometry.lineHeight);
        return;
    case Prop::LineHeight:
        c->geometry.lineHeight = std::max<int>(1, static_cast<int>(value.Int()));
        SetupGeometry(*c, c->geometry.lineHeight);
        return;
    case Prop::ColumnWidth:
        if (col)
            col->width = static_cast<int>(value.Int());
        return;
    case Prop::ColumnHeader:
        if (col)
            col->header = value.Str();
        return;
    case Prop::ColumnPicture:
        if (col)
            col->picture = value.Str();
        return;
    case Prop::Value:
        c->Set(prop, value);
        if (HasTextValue(c->kind))
            c->Set(Prop::ScreenText, Format(value, c->Get(Prop::Picture).Str()));
        return;
    case Prop::Width:
    case Prop::Height:
        c->Set(prop, value);
        if (c->kind == ControlKind::List || c->kind == ControlKind::DropList || c->kind == ControlKind::Combo)
            SetupGeometry(*c, c->geometry.lineHeight);
        return;
    case Prop::Selected:
        c->Set(prop, value);
        if (c->kind == ControlKind::List)
            KeepVisible(*c);
        if (c->kind == ControlKind::Option)
            for (auto& r : w->controls)
                if (r.parent == c->id && r.kind == ControlKind::Radio)
                    r.Set(Prop::Checked, WindowInternal::Ordinal(*w, r) == value.Int());
        return;
    case Prop::ListRowCount:
    case Prop::ColumnExists:
    case Prop::ColumnX:
    case Prop::Items:
        return;
    default:
        break;
    }
    if (index != 0)
        c->indexed[{static_cast<int>(prop), index}] = value;
    else
        c->Set(prop, value);
}

void SetWindowProperty(int window, Prop prop, const PropValue& value) { PropertySet(window, 0, prop, value, 0); }

PropValue SystemPropertyGet(Prop prop)
{
    auto it = R().system.find(static_cast<int>(prop));
    return it == R().system.end() ? PropValue() : it->second;
}

void SystemPropertySet(Prop prop, const PropValue& value) { R().system[static_cast<int>(prop)] = value; }

// ---- controls ------------------------------------------------------------------------------

namespace {
template <typename F>
void ForRange(int control, int last, F f)
{
    WindowModel* w = Target();
    if (!w)
        return;
    WindowInternal::Changed(*w);
    if (last == 0) {
        if (ControlModel* c = w->Find(control))
            f(*w, *c);
        return;
    }
    for (auto& c : w->controls)
        if (c.id >= control && c.id <= last)
            f(*w, c);
}
} // namespace

void ControlSelect(int control, int row)
{
    WindowModel* w = Target();
    if (!w)
        return;
    ControlModel* c = w->Find(control);
    if (!c)
        return;
    WindowInternal::Changed(*w);
    w->acceptAll = false;           // a selection during the pass stops it
    w->acceptAllNext = 0;
    if (c->kind == ControlKind::Tab) {
        if (ControlModel* sheet = w->Find(c->parent))
            sheet->Set(Prop::Selected, WindowInternal::Ordinal(*w, *c));
        return;
    }
    w->focus = control;
    if (row > 0 && (c->kind == ControlKind::List || c->kind == ControlKind::DropList || c->kind == ControlKind::Combo)) {
        c->Set(Prop::Selected, row);
        KeepVisible(*c);
    }
    if (c->kind == ControlKind::Sheet && row > 0)
        c->Set(Prop::Selected, row);
    PostField(*w, EVENT_SELECTED, control);
}

void ControlDisplay(int control, int last)
{
    WindowModel* w = Target();
    if (!w)
        return;
    WindowInternal::Changed(*w);
    for (auto& c : w->controls)
        if (control == 0 || (last == 0 ? c.id == control : c.id >= control && c.id <= last))
            DisplayOne(*w, c);
}

void WindowDisplay(int window)
{
    WindowModel* w = Find(window);
    if (!w)
        return;
    WindowInternal::Changed(*w);
    for (auto& c : w->controls)
        DisplayOne(*w, c);
}

void ControlUpdate(int control, int last)
{
    WindowModel* w = Target();
    if (!w)
        return;
    for (auto& c : w->controls)
        if (c.use.Bound() && (control == 0 || (last == 0 ? c.id == control : c.id >= control && c.id <= last)))
            UpdateOne(*w, c);
}

void ControlEnable(int control, int last)
{
    ForRange(control, last, [](WindowModel&, ControlModel& c) { c.Set(Prop::Disable, false); });
}
void ControlDisable(int control, int last)
{
    ForRange(control, last, [](WindowModel&, ControlModel& c) { c.Set(Prop::Disable, true); });
}
void ControlSetEnabled(int control, bool on, int last)
{
    ForRange(control, last, [on](WindowModel&, ControlModel& c) { c.Set(Prop::Disable, !on); });
}
void ControlHide(int control, int last)
{
    ForRange(control, last, [](WindowModel&, ControlModel& c) { c.Set(Prop::Hide, true); });
}
void ControlUnhide(int control, int last)
{
    ForRange(control, last, [](WindowModel&, ControlModel& c) { c.Set(Prop::Hide, false); });
}

int ControlCreate(const ControlDesc& desc, int id, int parent)
{
    WindowModel* w = Target();
    if (!w)
        return 0;
    int maxId = 0;
    for (auto& c : w->controls)
        maxId = std::max(maxId, c.id);
    ControlDesc d = desc;
    d.id = id > 0 ? id : maxId + 1;
    int lastId = d.id - 1;
    size_t first = w->controls.size();
    AddControl(*w, d, parent, lastId);
    for (size_t i = first; i < w->controls.size(); ++i)
        w->controls[i].created = true;
    if (w->state == WindowState::Open)
        for (size_t i = first; i < w->controls.size(); ++i)
            DisplayOne(*w, w->controls[i]);
    WindowInternal::Changed(*w);
    return w->controls[first].id;
}

void ControlDestroy(int control)
{
    WindowModel* w = Target();
    if (!w)
        return;
    std::vector<int> gone{control};
    for (size_t i = 0; i < gone.size(); ++i)
        for (auto& c : w->controls)
            if (c.parent == gone[i])
                gone.push_back(c.id);
    w->controls.erase(std::remove_if(w->controls.begin(), w->controls.end(),
                                     [&](const ControlModel& c) {
                                         return std::find(gone.begin(), gone.end(), c.id) != gone.end();
                                     }),
                      w->controls.end());
    if (std::find(gone.begin(), gone.end(), w->focus) != gone.end())
        w->focus = 0;
    WindowInternal::Changed(*w);
}

void ControlUse(int control, UseVar use)
{
    WindowModel* w = Target();
    ControlModel* c = w ? w->Find(control) : nullptr;
    if (!c)
        return;
    c->use = std::move(use);
    DisplayOne(*w, *c);
}

void ControlAlert(int control, int keyCode)
{
    WindowModel* w = Target();
    if (!w)
        return;
    if (control == 0) {
        w->alertKeys.push_back(keyCode);
        return;
    }
    if (ControlModel* c = w->Find(control))
        c->alertKeys.push_back(keyCode);
}

void ControlAlertClear(int control)
{
    WindowModel* w = Target();
    if (!w)
        return;
    if (control == 0)
        w->alertKeys.clear();
    else if (ControlModel* c = w->Find(control))
        c->alertKeys.clear();
}

int ControlFocus()
{
    WindowModel* w = Target();
    return w ? w->focus : 0;
}

int ControlByName(const std::string& name)
{
    WindowModel* w = Target();
    ControlModel* c = w ? w->FindByName(name) : nullptr;
    return c ? c->id : 0;
}

ControlKind ControlKindOf(int control)
{
    ControlModel* c = TargetControl(control);
    return c ? c->kind : ControlKind::String;
}

// ---- lists ---------------------------------------------------------------------------------

void ListSetSource(int control, std::shared_ptr<ListSource> source)
{
    WindowModel* w = Target();
    ControlModel* c = w ? w->Find(control) : nullptr;
    if (!c)
        return;
    c->source = std::move(source);
    DisplayOne(*w, *c);
    WindowInternal::Changed(*w);
}

void ListSetRows(int control, const std::vector<std::string>& rows)
{
    ListSetSource(control, std::make_shared<RowsSource>(rows));
}

int64_t ListRowCount(int control)
{
    ControlModel* c = TargetControl(control);
    return c ? RowCountOf(*c) : 0;
}

std::string ListField(int control, int64_t row, int field)
{
    ControlModel* c = TargetControl(control);
    return c && c->source ? c->source->Field(row, field) : std::string();
}

std::string ListCell(int control, int64_t row, int column)
{
    ControlModel* c = TargetControl(control);
    if (!c || !c->source)
        return {};
    if (c->format.columns.empty())
        return column == 1 ? c->source->Field(row, 1) : std::string();
    if (column < 1 || column > static_cast<int>(c->format.columns.size()))
        return {};
    return c->source->Field(row, c->format.columns[static_cast<size_t>(column - 1)].firstField);
}

const ListFormat& ListFormatOf(int control)
{
    ControlModel* c = TargetControl(control);
    return c ? c->format : R().noFormat;
}

ListGeometry ListGeometryOf(int control)
{
    ControlModel* c = TargetControl(control);
    return c ? c->geometry : ListGeometry();
}

void ListSetGeometry(int window, int control, const ListGeometry& geometry)
{
    WindowModel* w = Find(window);
    ControlModel* c = w ? w->Find(control) : nullptr;
    if (c)
        c->geometry = geometry;
}

int64_t ListRowAt(int control, int y)
{
    ControlModel* c = TargetControl(control);
    return c ? RowAtModel(*c, y) : 0;
}

int ListColumnAt(int control, int x)
{
    ControlModel* c = TargetControl(control);
    return c ? ListColumnAtModel(*c, x) : 0;
}

void ListSetHook(int control, ListHook* hook)
{
    ControlModel* c = TargetControl(control);
    if (c)
        c->hook = hook;
}

const std::vector<PaintOp>& ListPaintOps(int window, int control)
{
    WindowModel* w = Find(window);
    ControlModel* c = w ? w->Find(control) : nullptr;
    return c ? c->paint : R().noPaint;
}

// ---- painter -------------------------------------------------------------------------------

Painter::Painter(int control) : window_(WindowTarget()), control_(control) {}
Painter::Painter(int window, int control) : window_(window), control_(control) {}

void Painter::Add(PaintOp op)
{
    WindowModel* w = Find(window_);
    ControlModel* c = w ? w->Find(control_) : nullptr;
    if (!c)
        return;
    c->paint.push_back(std::move(op));
    WindowInternal::Changed(*w);
}

void Painter::Clear()
{
    WindowModel* w = Find(window_);
    ControlModel* c = w ? w->Find(control_) : nullptr;
    if (c) {
        c->paint.clear();
        WindowInternal::Changed(*w);
    }
}

void Painter::SetPen(int color, int width, int style)
{
    PaintOp op;
    op.kind = PaintOp::Kind::Pen;
    op.color = color;
    op.width = width;
    op.style = style;
    Add(op);
}

void Painter::SetBrush(int color)
{
    PaintOp op;
    op.kind = PaintOp::Kind::Brush;
    op.color = color;
    Add(op);
}

void Painter::Line(int x1, int y1, int x2, int y2)
{
    PaintOp op;
    op.kind = PaintOp::Kind::Line;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    Add(op);
}

void Painter::Rectangle(int x1, int y1, int x2, int y2)
{
    PaintOp op;
    op.kind = PaintOp::Kind::Rectangle;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    Add(op);
}

void Painter::Text(int x, int y, int w, int h, const std::string& text, int color, int align,
                   const std::string& fontName, int fontSize)
{
    PaintOp op;
    op.kind = PaintOp::Kind::Text;
    op.x1 = x;
    op.y1 = y;
    op.x2 = x + w;
    op.y2 = y + h;
    op.text = text;
    op.color = color;
    op.style = align;
    op.fontName = fontName;
    op.fontSize = fontSize;
    Add(op);
}

void Painter::Icon(int x, int y, const std::string& name, int size)
{
    PaintOp op;
    op.kind = PaintOp::Kind::Icon;
    op.x1 = x;
    op.y1 = y;
    if (size > 0) {
        op.x2 = x + size;
        op.y2 = y + size;
    }
    op.text = name;
    Add(op);
}

// ---- text measure --------------------------------------------------------------------------

void SetTextMeasure(TextWidthFn width, LineHeightFn lineHeight)
{
    R().textWidth = std::move(width);
    R().lineHeight = std::move(lineHeight);
}

int TextWidth(const std::string& text, const std::string& fontName, int fontSize)
{
    if (R().textWidth)
        return R().textWidth(text, fontName, fontSize);
    int chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++chars;
    return chars * 5;
}

int TextLineHeight(const std::string& fontName, int fontSize)
{
    return R().lineHeight ? R().lineHeight(fontName, fontSize) : 10;
}

// ---- pictures ------------------------------------------------------------------------------

void SetCloseDownRefusedHook(std::function<void(int frame)> hook) { CloseDownRefusedHook() = std::move(hook); }

void SetPictureFunctions(PictureFormatFn format, PictureParseFn parse)
{
    R().format = std::move(format);
    R().parse = std::move(parse);
}

std::string PictureFormat(const PropValue& value, const std::string& picture)
{
    if (R().format)
        return R().format(value, picture);
    auto pic = Picture::Compile(picture);
    if (!pic)
        return value.Str();
    switch (pic->GetKind()) {
    case Picture::Kind::String:
        return FormatPicture(value.Str(), *pic);
    case Picture::Kind::Number:
        if (value.IsText())
            return FormatPicture(std::strtod(value.Str().c_str(), nullptr), *pic);
        return FormatPicture(static_cast<long long>(value.Int()), *pic);
    default:
        return FormatPicture(static_cast<long long>(value.Int()), *pic);
    }
}

bool PictureParse(const std::string& text, const std::string& picture, PropValue& value)
{
    if (R().parse)
        return R().parse(text, picture, value);
    auto pic = Picture::Compile(picture);
    if (!pic) {
        value = text;
        return true;
    }
    PictureInput in = ParsePicture(text, *pic);
    if (!in.ok)
        return false;
    if (pic->GetKind() == Picture::Kind::String) {
        value = in.text;
    } else if (in.number != static_cast<double>(in.Whole())) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.10g", in.number);
        value = std::string(buf);
    } else {
        value = static_cast<long long>(in.Whole());
    }
    return true;
}
