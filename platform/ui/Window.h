#pragma once
// The window operations the program calls. A window is a number; controls are numbers within a
// window. Operations on controls act on the calling thread's target window: its top open window,
// or the window named by WindowSetTarget. All of them need the baton (they run in a logical
// thread, or in the host while it holds the baton).
#include "platform/ui/Events.h"
#include "platform/ui/Property.h"
#include "platform/ui/WindowModel.h"

#include <functional>
#include <string>
#include <vector>

// ---- Windows -------------------------------------------------------------------------------

// Makes a window model from a description, owned by the calling thread; it is not shown yet.
int WindowCreate(const WindowDesc& desc);
// Opens the window: it becomes its thread's top window and EVENT_OPEN_WINDOW is posted.
void WindowOpen(int window);
// The window's event loop: carries out the default handling of the event handled before (unless
// it was skipped), then waits for the next event and makes it current. False once the window has
// closed; the loop ends then. A window that was created but not opened accepts its thread's
// events too (a loop of its own without showing anything).
bool WindowAccept(int window);
// Closes the window (if open) and removes its model.
void WindowClose(int window);
// Makes `window` the target of control operations of the calling thread; 0 resets to the top one.
// Returns the target set before (0 when none was set), so that a caller can put it back.
int WindowSetTarget(int window = 0);
int WindowTarget();                        // the current target window, 0 when none
int WindowTop(int thread = 0);             // the top open window of a thread
bool WindowExists(int window);
int WindowThread(int window);              // the owning thread, 0 when none
std::vector<int> WindowList();             // every window model, in creation order
WindowModel* WindowFind(int window);       // the model, for the renderer, the driver and tests

// Starts an accept-all pass: every value control (entries, texts, spins, check boxes, options,
// drop lists, combos) that is visible and enabled gets EVENT_ACCEPTED in declaration order, then
// the window gets EVENT_COMPLETED. ControlSelect during the pass stops it. While it runs the
// window's AcceptAll property is 1.
void WindowAcceptAll(int window = 0);

// ---- Properties ----------------------------------------------------------------------------

// Control 0 means the window itself. Window 0 with control 0 addresses the system properties.
PropValue PropertyGet(int control, Prop prop, int index = 0);
void PropertySet(int control, Prop prop, const PropValue& value, int index = 0);
PropValue PropertyGet(int window, int control, Prop prop, int index);
void PropertySet(int window, int control, Prop prop, const PropValue& value, int index);
// A window's property set from another thread (the inspectors hide each other this way).
void SetWindowProperty(int window, Prop prop, const PropValue& value);
PropValue SystemPropertyGet(Prop prop);
void SystemPropertySet(Prop prop, const PropValue& value);

// ---- Controls ------------------------------------------------------------------------------

// Gives the control the focus (a list: and selects `row` when given, a sheet: the tab).
void ControlSelect(int control, int row = 0);
// Shows the use variables of the controls from..to (0: all controls) on the screen.
void ControlDisplay(int control = 0, int last = 0);
// Shows every use variable of a window (not only of the target).
void WindowDisplay(int window);
// Takes the screen values of the controls from..to (0: all) into their use variables.
void ControlUpdate(int control = 0, int last = 0);
void ControlEnable(int control, int last = 0);
void ControlDisable(int control, int last = 0);
// ControlEnable when `on`, else ControlDisable.
void ControlSetEnabled(int control, bool on, int last = 0);
void ControlHide(int control, int last = 0);
void ControlUnhide(int control, int last = 0);
// Creates a control at run time in the target window (an edit field over a list, a wait prompt);
// `id` 0 takes the next free number. Returns the number.
int ControlCreate(const ControlDesc& desc, int id = 0, int parent = 0);
void ControlDestroy(int control);
void ControlUse(int control, UseVar use);
// Registers a key for the control (control 0: the window): pressing it posts EVENT_ALERT_KEY.
void ControlAlert(int control, int keyCode);
void ControlAlertClear(int control);
int ControlFocus();                        // the control with the focus in the target window
int ControlByName(const std::string& name);  // in the target window, 0 when none
ControlKind ControlKindOf(int control);

// ---- Lists ---------------------------------------------------------------------------------

// Binds a list (or drop list, combo) to its source; the list asks it for rows and fields.
void ListSetSource(int control, std::shared_ptr<ListSource> source);
// Simple rows for drop lists and small lists: one text per row (more fields joined by '|').
void ListSetRows(int control, const std::vector<std::string>& rows);
int64_t ListRowCount(int control);
// The text of a source field and of a cell (list column, from 1).
std::string ListField(int control, int64_t row, int field);
std::string ListCell(int control, int64_t row, int column);
const ListFormat& ListFormatOf(int control);
ListGeometry ListGeometryOf(int control);
// The host reports the list's real geometry (the driver a fixed one).
void ListSetGeometry(int window, int control, const ListGeometry& geometry);
// Row and list column at a point of the list's client area; 0 when outside rows or columns.
int64_t ListRowAt(int control, int y);
int ListColumnAt(int control, int x);
void ListSetHook(int control, ListHook* hook);

// Zones of a list the mouse went down in (Prop::ListMouseDownZone).
constexpr int LIST_ZONE_FIELD = 0;
constexpr int LIST_ZONE_HEADER = 2;
constexpr int LIST_ZONE_EXPANDBOX = 5;   // the box that opens or closes a tree row
constexpr int TREE_INDENT = 16;          // pixels per tree level (the expand box of a row lies in the last one)

// The recorded drawing of a list (see Painter).
const std::vector<PaintOp>& ListPaintOps(int window, int control);

// Records drawing primitives on a list of the target window; the renderer replays them.
class Painter {
public:
    explicit Painter(int control);
    Painter(int window, int control);
    void Clear();
    void SetPen(int color, int width = 1, int style = 0);
    void SetBrush(int color);              // -1: no brush
    void Line(int x1, int y1, int x2, int y2);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Text(int x, int y, int w, int h, const std::string& text, int color, int align = 0,
              const std::string& fontName = {}, int fontSize = 0);
    // A picture of the program's own; `size` > 0 draws it in a square of that many units (a
    // marker icon at its natural size), else in the 16 units a list leaves for a cell's icon.
    void Icon(int x, int y, const std::string& name, int size = 0);

private:
    void Add(PaintOp op);
    int window_, control_;
};

// ---- Text measure ----------------------------------------------------------------------------

// The width of a line of text and the height of a line in a font, in the window's units. The
// renderer sets the real measure; without it every character is 5 units wide and a line 10 high.
using TextWidthFn = std::function<int(const std::string& text, const std::string& fontName, int fontSize)>;
using LineHeightFn = std::function<int(const std::string& fontName, int fontSize)>;
void SetTextMeasure(TextWidthFn width, LineHeightFn lineHeight);
int TextWidth(const std::string& text, const std::string& fontName = {}, int fontSize = 0);
int TextLineHeight(const std::string& fontName = {}, int fontSize = 0);

// ---- Close-down of the frame ----------------------------------------------------------------

// Called on a child's thread when that MDI child keeps its window against the frame's close-down,
// which so ends; the program forgets there that it was closing down (nullptr: no hook).
void SetCloseDownRefusedHook(std::function<void(int frame)> hook);

// ---- Values shown through pictures ---------------------------------------------------------

// The layer shows a use variable through the control's picture and reads the typed text back
// through it. Start-up points these at the values layer's picture formatter and parser; until
// then numbers are shown as digits and texts as they are.
using PictureFormatFn = std::function<std::string(const PropValue& value, const std::string& picture)>;
using PictureParseFn = std::function<bool(const std::string& text, const std::string& picture, PropValue& value)>;
void SetPictureFunctions(PictureFormatFn format, PictureParseFn parse);
std::string PictureFormat(const PropValue& value, const std::string& picture);
bool PictureParse(const std::string& text, const std::string& picture, PropValue& value);
