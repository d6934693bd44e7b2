#pragma once
// Numbered properties of windows and controls, and the value a property holds.
#include <cstdint>
#include <string>

// A property value: a number or a text. Either reads as the other (a text that is no number reads
// as 0, a number as its decimal digits).
class PropValue {
public:
    PropValue() = default;
    PropValue(int v) : isText_(false), num_(v) {}
    PropValue(long v) : isText_(false), num_(v) {}
    PropValue(long long v) : isText_(false), num_(v) {}
    PropValue(unsigned v) : isText_(false), num_(v) {}
    PropValue(unsigned long v) : isText_(false), num_(static_cast<int64_t>(v)) {}
    PropValue(bool v) : isText_(false), num_(v ? 1 : 0) {}
    PropValue(const char* v) : isText_(true), text_(v ? v : "") {}
    PropValue(std::string v) : isText_(true), text_(std::move(v)) {}

    bool IsText() const { return isText_; }
    int64_t Int() const;
    std::string Str() const;
    bool Bool() const { return Int() != 0; }
    bool operator==(const PropValue& o) const;

private:
    bool isText_ = false;
    int64_t num_ = 0;
    std::string text_;
};

// Property numbers. Indexed properties (columns, styles, icon entries, status zones) take an index
// besides the number. Sizes and positions are in the window's units (pixels of the model).
enum class Prop : int {
    // controls and windows
    Text = 1,            // caption, title, prompt text, button text
    Hide = 2,            // 1 hidden
    Disable = 3,         // 1 disabled (greyed)
    Xpos = 4, Ypos = 5, Width = 6, Height = 7,
    FontName = 8, FontSize = 9, FontColor = 10,
    FontStyle = 11,      // weight: 400 normal, 700 bold
    Color = 12,          // background colour, -1 default
    Icon = 13,           // icon name ("~name.ico" for a built-in image)
    Tip = 14,            // tool tip; lines separated by CR LF
    Msg = 15,            // status-bar text shown while the control has the focus
    Cursor = 16,         // mouse cursor name
    Checked = 17,        // check box, check or radio menu item: 1 ticked
    Value = 18,          // entry, text, spin, option, progress: the control's value
    ScreenText = 19,     // entry, text, spin, combo: the text on the screen
    Picture = 20,        // entry, spin, string: the picture of the value ("@n3", "@T7", ...)
    ReadOnly = 21,
    RangeLow = 22, RangeHigh = 23, Step = 24,    // spin, progress
    Selected = 25,       // list row, drop-list row, sheet's tab ordinal, option's radio ordinal
    Column = 26,         // list: current column (list column, from 1)
    Items = 27,          // list: number of visible rows
    Format = 28,         // list: format text
    LineHeight = 29,     // list: height of a row
    HScrollPos = 30,     // list: columns scrolled out on the left
    VScrollPos = 31,     // list: first visible row - 1
    IconList = 32,       // list: icon entry (index 1..255) -> icon name
    Edit = 33,           // list: 1 while the column (index) is edited in place
    SelectedColor = 34,  // selected text colour
    SelectedFillColor = 35,
    Key = 36,            // shortcut text shown with a menu item
    Default = 37,        // button: the window's default button
    Wizard = 38,         // sheet: tabs hidden
    Drop = 39,           // drop list: rows shown when dropped
    DropWidth = 40,
    Flat = 41,
    NoBar = 42,          // list: no selection bar
    Tree = 43,           // list: 1 when its format has a tree column (read only)
    TreeRootLines = 44,  // list: lines to the root
    Trn = 45,            // transparent background
    SelStart = 46, SelEnd = 47,  // entry: the characters selected when set (from 1; past the end: to it)
    ListMouseDownRow = 50, ListMouseDownColumn = 51, ListMouseDownZone = 52,
    ListMouseUpRow = 53, ListMouseUpColumn = 54,
    ListMouseMoveRow = 55, ListMouseMoveColumn = 56,
    ListRowCount = 57,   // read only: rows of the list's source
    // list columns (index: list column from 1)
    ColumnWidth = 60, ColumnHeader = 61, ColumnPicture = 62, ColumnFixed = 63,
    ColumnExists = 64,   // read only: 1 when the format has that column
    ColumnColor = 65,    // background of the whole column
    ColumnX = 66,        // read only: left edge of the column in units, as the list draws it
    // list styles (index: style number)
    StyleFontName = 70, StyleFontSize = 71, StyleFontStyle = 72, StyleFontColor = 73,
    StyleBackColor = 74,
    // windows
    Iconize = 100, Maximize = 101,
    Active = 102,        // set to 1: bring the window forward
    Timer = 103,         // hundredths of a second between timer events, 0 off
    AcceptAll = 104,     // 1 during an accept-all pass (read only)
    Docked = 105,        // docking state; 16 floating
    StatusText = 106,    // status bar zone (index from 1)
    MinWidth = 107, MinHeight = 108,
    Resizable = 109,
    Wallpaper = 110,
    Thread = 111,        // read only: the owning thread
    Pixels = 112,        // units are pixels (always true here)
    Focus = 113,         // read only: the control with the focus
    // system-wide (window 0, control 0)
    ToolTipDelay = 200,
    LazyDisplay = 201,
};

constexpr int DOCKED_FLOAT = 16;
