#pragma once
// Window models: the description a window is created from, and the live state that the program
// changes and the renderer (or the headless driver) shows.
//
// A description lists controls with their kinds, numbers, texts, pictures, list formats, icons
// and layout. Controls without an explicit number are numbered in declaration order, one more than
// the control declared before. The live model holds every control's properties, the list sources
// and geometry, the selection, the focus and what the program painted into lists.
#include "platform/ui/Events.h"
#include "platform/ui/ListFormat.h"
#include "platform/ui/Property.h"

#include <cstdint>
#include <functional>
#include <map>
#include <type_traits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

enum class ControlKind {
    Button, Prompt, String, Entry, Text, Spin, Check, Option, Radio, DropList, Combo, List,
    Sheet, Tab, Menubar, Menu, Item, Separator, Toolbar, Image, Progress, Group, Panel, Box, Line,
};
const char* ControlKindName(ControlKind kind);

// Standard actions the window layer carries out itself when the control is accepted.
enum class StdAction { None, Close, Exit, Tile, Cascade, Arrange, PrintSetup, HelpOnHelp };

enum class WindowKind {
    Window,     // a window of its own (a dialog when opened over another window of its thread)
    MdiFrame,   // the application frame
    MdiChild,   // a child inside the frame
};

// A value of the program bound to a control (its "use variable"): the layer shows it and writes
// the user's input back into it when the control is accepted.
class UseVar {
public:
    UseVar() = default;
    UseVar(std::string& v);
    template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
    UseVar(T& v)
        : get_([&v] { return PropValue(static_cast<long long>(v)); }),
          set_([&v](const PropValue& x) { v = static_cast<T>(x.Int()); }), numeric_(true) {}
    UseVar(double& v);
    UseVar(std::function<PropValue()> get, std::function<void(const PropValue&)> set, bool numeric);

    bool Bound() const { return static_cast<bool>(get_); }
    bool Numeric() const { return numeric_; }
    PropValue Get() const { return get_ ? get_() : PropValue(); }
    void Set(const PropValue& v) const { if (set_) set_(v); }

private:
    std::function<PropValue()> get_;
    std::function<void(const PropValue&)> set_;
    bool numeric_ = false;
};

struct ControlDesc {
    ControlKind kind = ControlKind::String;
    int id = 0;                    // 0: one more than the control declared before
    std::string name;              // "?OK": for tests and for looking a control up
    std::string text;
    int x = 0, y = 0, w = 0, h = 0;
    std::string icon, tip, msg, key, picture, format, fontName, cursor;
    int fontSize = 0, fontStyle = 0, color = -1, fontColor = -1;
    bool hidden = false, disabled = false, checked = false, readOnly = false, isDefault = false,
         flat = false, wizard = false, transparent = false;
    bool checkable = false, radioItem = false;   // menu items with a check mark / exclusive mark
    int rangeLow = 0, rangeHigh = 0, step = 1;
    int drop = 0, dropWidth = 0, lineHeight = 0;
    std::string value;             // a radio's value; an item's value in its option
    std::vector<std::string> from; // rows of a drop list or a simple list
    std::vector<int> alertKeys;
    StdAction std = StdAction::None;
    UseVar use;
    std::vector<ControlDesc> children;   // menus, sheets and tabs, groups, options, toolbars

    ControlDesc& Id(int v) { id = v; return *this; }
    ControlDesc& Name(std::string v) { name = std::move(v); return *this; }
    ControlDesc& At(int x_, int y_, int w_ = 0, int h_ = 0) { x = x_; y = y_; w = w_; h = h_; return *this; }
    ControlDesc& Icon(std::string v) { icon = std::move(v); return *this; }
    ControlDesc& Tip(std::string v) { tip = std::move(v); return *this; }
    ControlDesc& Msg(std::string v) { msg = std::move(v); return *this; }
    ControlDesc& KeyText(std::string v) { key = std::move(v); return *this; }
    ControlDesc& Picture(std::string v) { picture = std::move(v); return *this; }
    ControlDesc& Format(std::string v) { format = std::move(v); return *this; }
    ControlDesc& Font(std::string name_, int size = 0, int style = 0) { fontName = std::move(name_); fontSize = size; fontStyle = style; return *this; }
    ControlDesc& Colors(int background, int text = -1) { color = background; fontColor = text; return *this; }
    ControlDesc& Hidden(bool v = true) { hidden = v; return *this; }
    ControlDesc& Disabled(bool v = true) { disabled = v; return *this; }
    ControlDesc& Checked(bool v = true) { checked = v; return *this; }
    ControlDesc& ReadOnly(bool v = true) { readOnly = v; return *this; }
    ControlDesc& Default(bool v = true) { isDefault = v; return *this; }
    ControlDesc& Range(int low, int high, int step_ = 1) { rangeLow = low; rangeHigh = high; step = step_; return *this; }
    ControlDesc& DropRows(int rows, int width = 0) { drop = rows; dropWidth = width; return *this; }
    ControlDesc& Lines(int height) { lineHeight = height; return *this; }
    ControlDesc& Value(std::string v) { value = std::move(v); return *this; }
    ControlDesc& From(std::vector<std::string> v) { from = std::move(v); return *this; }
    ControlDesc& Alert(int keyCode) { alertKeys.push_back(keyCode); return *this; }
    ControlDesc& Std(StdAction a) { std = a; return *this; }
    ControlDesc& Use(UseVar v) { use = std::move(v); return *this; }
    ControlDesc& Add(ControlDesc child) { children.push_back(std::move(child)); return *this; }
};

// Factories for the control kinds.
namespace Ctl {
ControlDesc Button(std::string text);
ControlDesc Prompt(std::string text);
ControlDesc String(std::string text);
ControlDesc Entry(std::string picture = "@s255");
ControlDesc Text();                         // multi-line text
ControlDesc Spin(std::string picture, int low, int high, int step = 1);
ControlDesc Check(std::string text);
ControlDesc Option(std::string text);       // children: Radio
ControlDesc Radio(std::string text, std::string value = {});
ControlDesc DropList(std::string format = {});
ControlDesc Combo(std::string picture, std::string format = {});
ControlDesc List(std::string format);
ControlDesc Sheet();                        // children: Tab
ControlDesc Tab(std::string text);          // children: the controls on the tab
ControlDesc Menubar();                      // children: Menu
ControlDesc Menu(std::string text);         // children: Item, Menu, Separator
ControlDesc Item(std::string text);
ControlDesc CheckItem(std::string text);    // an item with a check mark
ControlDesc RadioItem(std::string text);    // an item of a group of exclusive items
ControlDesc Separator();
ControlDesc Toolbar();                      // children: the toolbar's buttons and panels
ControlDesc Image(std::string file);
ControlDesc Progress(int low = 0, int high = 100);
ControlDesc Group(std::string text = {});
ControlDesc Panel();
ControlDesc Box(int color = -1);
ControlDesc Line();
} // namespace Ctl

struct WindowDesc {
    std::string name;              // the description's name, e.g. "P19$WINDOW"
    std::string title;
    WindowKind kind = WindowKind::Window;
    int x = 0, y = 0, w = 300, h = 200;
    std::string icon, fontName = "Tahoma", wallpaper;
    int fontSize = 8;
    int color = -1;
    bool resizable = false, modal = false, system = true, maximize = false, iconize = false;
    int timer = 0;                 // hundredths of a second, 0 none
    int statusZones = 0;           // zones of the status bar, 0 none
    std::vector<int> alertKeys;    // keys alerted for the whole window
    std::vector<ControlDesc> controls;

    WindowDesc& Add(ControlDesc c) { controls.push_back(std::move(c)); return *this; }
};

// ---- Lists ---------------------------------------------------------------------------------

// The owner of a list's contents: the list asks it for the number of rows and for each field.
class ListSource {
public:
    virtual ~ListSource() = default;
    virtual int64_t RowCount() = 0;
    virtual std::string Field(int64_t row, int field) = 0;   // row and field from 1
};

// A list source made of two functions.
class FunctionListSource : public ListSource {
public:
    FunctionListSource(std::function<int64_t()> rows, std::function<std::string(int64_t, int)> field)
        : rows_(std::move(rows)), field_(std::move(field)) {}
    int64_t RowCount() override { return rows_ ? rows_() : 0; }
    std::string Field(int64_t row, int field) override { return field_ ? field_(row, field) : std::string(); }

private:
    std::function<int64_t()> rows_;
    std::function<std::string(int64_t, int)> field_;
};

// Where things are on the screen: the renderer reports the real geometry, the headless driver a
// fixed one (line height from the model, columns from the format).
struct ListGeometry {
    int width = 0, height = 0;     // client area in pixels
    int headerHeight = 0;
    int lineHeight = 0;
    int visibleRows = 0;
    int pictureWidth = 0;          // a row's picture at the start of a cell, with the room beside it
};

// One primitive the program drew into a list; the renderer replays them over the list.
struct PaintOp {
    enum class Kind { Pen, Brush, Line, Rectangle, Text, Icon };
    Kind kind = Kind::Line;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int color = 0;                 // pen, brush or text colour; brush -1: none
    int width = 1;                 // pen width
    int style = 0;                 // pen: 0 solid, 1 dash, 2 dot; text: alignment flags
    std::string text;              // text, or the icon's name
    std::string fontName;
    int fontSize = 0;
};

// A window message of a list, delivered on the list's thread before and after the layer's own
// handling (for grids that track the mouse and the keys themselves).
struct WindowMessage {
    enum class Kind { MouseDown, MouseUp, MouseMove, DoubleClick, KeyDown, KeyUp, Paint, Size,
                      VScroll, HScroll };
    Kind kind = Kind::Paint;
    int x = 0, y = 0;              // pixels in the list's client area
    int button = 0;                // Key::MOUSE_LEFT / MOUSE_RIGHT
    int key = 0;                   // Key code with modifier bits
    bool buttonHeld = false;       // mouse move with the left button held
};

class ListHook {
public:
    virtual ~ListHook() = default;
    // True: handled, the layer's own handling is skipped.
    virtual bool TakeWindowMessage(const WindowMessage&) { return false; }
    virtual void AfterWindowMessage(const WindowMessage&) {}
};

// ---- The live model ------------------------------------------------------------------------

struct ControlModel {
    int id = 0;
    ControlKind kind = ControlKind::String;
    int parent = 0;                // enclosing control (menu, tab, group, option, toolbar), 0 none
    std::string name;
    StdAction std = StdAction::None;
    UseVar use;
    std::map<int, PropValue> props;                    // by property number
    std::map<std::pair<int, int>, PropValue> indexed;  // by (property number, index)
    std::vector<int> alertKeys;
    // lists, drop lists and combos
    std::shared_ptr<ListSource> source;
    ListFormat format;
    ListGeometry geometry;
    std::vector<PaintOp> paint;
    ListHook* hook = nullptr;
    bool created = false;          // made at run time by ControlCreate
    int itemStyle = 0;             // menu items: 1 with a check mark, 2 exclusive within their menu

    PropValue Get(Prop p) const;
    void Set(Prop p, PropValue v);
    bool Has(Prop p) const { return props.count(static_cast<int>(p)) != 0; }
};

enum class WindowState { Created, Open, Closed };

struct WindowModel {
    int id = 0;
    int thread = 0;
    WindowDesc desc;               // as created (controls are in `controls`)
    WindowState state = WindowState::Created;
    std::vector<ControlModel> controls;                // declaration order
    std::map<int, PropValue> props;
    std::map<std::pair<int, int>, PropValue> indexed;
    int focus = 0;
    int frame = 0;                 // an MDI child: the frame it lies in
    std::vector<int> alertKeys;    // keys alerted for the whole window
    uint64_t changes = 0;          // counts every change, for the renderer's sync
    // accept-all pass
    bool acceptAll = false;
    size_t acceptAllNext = 0;
    // MDI: the frame's close-down in progress
    bool closingDown = false;
    // Close requests for a window below this one on its thread, posted again when this one closes
    std::vector<Event> deferred;

    ControlModel* Find(int control);
    const ControlModel* Find(int control) const;
    ControlModel* FindByName(const std::string& name);
    PropValue Get(Prop p) const;
    void Set(Prop p, PropValue v);
};
