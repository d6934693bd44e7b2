#pragma once
// The widgets of one window model. The frame is a QMainWindow around a QMdiArea; an MDI child is a
// QMdiSubWindow in it; any other window is a window of its own (a dialog over the frame). The
// controls lie at their places in the window's client area, all siblings, so that the models'
// window-relative coordinates hold for controls in groups and on tabs alike; a control on a tab
// that is not chosen is simply hidden, as the model says.
#include "platform/qt/Host.h"
#include "platform/ui/WindowModel.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QToolBar>

#include <map>
#include <string>
#include <vector>

class ListView;
class QAction;
class QActionGroup;
class QComboBox;
class QKeyEvent;
class QLabel;
class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QVBoxLayout;
class QWidget;

class WindowView : public QObject {
    Q_OBJECT
public:
    // `mdiArea`: the frame's area for an MDI child (nullptr: a window of its own); `owner`: the
    // window a dialog stays above.
    WindowView(QtHost& host, WindowModel& model, QMdiArea* mdiArea, QWidget* owner);
    ~WindowView() override;

    // Under the host's baton: brings the widgets in line with the model.
    void Sync(WindowModel& model);

    int Id() const { return id_; }
    int Thread() const { return thread_; }
    WindowKind Kind() const { return kind_; }
    QWidget* Top() const;                 // the top-level widget or the MDI sub-window
    QWidget* Client() const { return client_; }
    QMdiArea* MdiArea() const { return mdi_; }
    QWidget* ControlWidget(int control) const;
    QAction* ControlAction(int control) const;
    QStatusBar* StatusBar() const { return status_; }
    void Activate();
    // Gives the focus back to the control that had it last (after a dialog over the window).
    void RestoreFocus();
    // Moves a window inside the frame (and shrinks one the user may size) into the frame's area.
    void KeepInArea(QPoint& at, QSize& size, bool sizable) const;

    // Standard actions of the window layer that the renderer carries out (tile, cascade, ...).
    bool RunStdAction(StdAction action);

    // After the program has seen a window's alert key and the widgets show what it changed: the
    // key's own action (Tab moves on, Enter presses the default button), so that the field is
    // taken with the program's correction. Outside the host's baton.
    void ReplayAlertedKeys();
    bool HasAlertedKeys() const { return !alertedKeys_.empty(); }

signals:
    // A standard action that is not the window's own (printer set-up, help on help).
    void StdActionRequested(int action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Ctl {
        int id = 0;
        ControlKind kind = ControlKind::String;
        int parent = 0;
        QPointer<QWidget> widget;
        QPointer<QAction> action;        // menus, items, toolbar buttons, widgets in toolbars
        QPointer<QMenu> menu;
        QPointer<QToolBar> toolbar;
        QPointer<QMenuBar> menubar;
        ListView* list = nullptr;
        QActionGroup* radioGroup = nullptr;
        int tabIndex = -1;               // a tab: its page in the sheet
        bool inToolbar = false;
        bool isDefault = false;          // a button: the window's default in the model
        int64_t selStart = 0, selEnd = 0;  // an entry: the selection the model asked for last
        QRect autoRect;                  // units: the place chosen when the model leaves it open
        std::string screenText;          // what the last sync showed
        std::string picture;             // an entry's picture when it is not a text picture
        std::string actionIcon = "\x01";  // the icon an action shows (never a real name at first)
        std::string refused;             // the picture's message for the text on the screen
        std::vector<int> alertKeys;
        int64_t rows = -1;               // drop lists: rows shown
        uint64_t rowsStamp = 0;
        // In a window the user can size: the place as laid out (pixels), and how the control
        // follows the window's edges when the window is larger than designed; a button on the
        // right of the row below the list follows the right edge of a narrower window.
        QRect laidOut;
        QRect firstDesigned;             // units: the place the first sync found
        bool growX = false, growY = false, moveY = false, moveX = false;
        int slackX = 0;                  // units: how much narrower the window may get for it
        // A splitter (a box with the splitter cursor): its place in units at the last sync and,
        // while it is dragged, where the mouse took it (pixels below its top; -1: not dragged).
        bool splitter = false;
        int splitY = 0;
        int grabY = -1;
    };
    bool DragSplitter(Ctl& v, QEvent* e);

    void Build(WindowModel& model);
    void CreateControl(WindowModel& model, ControlModel& c);
    void DestroyControl(int id);
    void ApplyControl(WindowModel& model, ControlModel& c, Ctl& v, bool changed);
    // The push button drawn as the default: the one with the focus, else the model's default.
    void ShowDefaultButton(QWidget* focus);
    // A menu bar's menu text without its mnemonic when a command key of the window uses it.
    static bool HiddenOnItsPage(const WindowModel& model, const ControlModel& c, int sheet);
    static QString WithoutTakenMnemonic(const WindowModel& model, const QString& text);
    void ApplyWindow(WindowModel& model, bool first);
    void AutoPlace(WindowModel& model);
    // A control's place in units: as designed (or chosen by AutoPlace), and as shown.
    QRect DesignedRect(const ControlModel& c, const Ctl& v) const;
    QRect UnitsRect(const ControlModel& c, const Ctl& v) const;
    bool Inside(int control, int ancestor) const;
    // How far each sheet's pages move down so that their controls clear its tab bar, and how much
    // wider a sheet grows to hold its pages' controls.
    void FitSheets(WindowModel& m);
    struct SheetShift {
        QRect designed;
        int lines = 0;                    // down
        int columns = 0;                  // wider, for controls past the sheet's right edge
    };
    std::map<int, SheetShift> sheetShifts_;
    // The right edge (units) a one-line text may reach: the next control on its line, the edge of
    // its group or of the window.
    int RoomRight(WindowModel& m, const ControlModel& c, const QRect& u) const;
    // Which controls follow the edges of a window the user can size: a list (or text) reaching the
    // right edge as designed grows with the width, with the frames around it; the lowest list
    // grows with the height, with its frames, and what lies below it moves down; of that row, the
    // controls in the right half keep their distance to the right edge when the window is
    // narrower than designed. A control the program has placed anew is left where the program
    // put it. Each following control says how much narrower the window may get before it is cut
    // or meets a neighbour: a growing one keeps half its width, a moving one stops short of the
    // control to its left.
    void Anchor(WindowModel& m);
    QRect Anchored(const Ctl& v) const;
    void Relayout();
    QSize designedClient_;                // pixels: the client area as designed
    QWidget* ParentMenuOwner(const Ctl& v);
    void Watch(QWidget* w, int control);
    void PlaceChanged();
    void FillDropList(ControlModel& c, Ctl& v, QComboBox* box);
    int ControlOf(QObject* o) const;
    // The field's text to the model; false when its picture refuses it (the field keeps the text,
    // the picture's message shows).
    bool CommitEdit(int control);
    // Every field whose text differs from the model's goes to the model (before a press, a change
    // of tab, a close or the window losing the focus), so nothing typed is lost; false when a field
    // refused its text (it then has the focus).
    bool CommitAll();
    void FocusRefused();
    void RevertRefused();
    bool HandleKey(QObject* watched, QKeyEvent* e);
    // The enabled command (menu item or toolbar button) of this window inside the frame that an
    // Alt key runs, or nullptr.
    QAction* OwnAltCommand(const QKeyEvent& e) const;
    void ShowStatus(const QString& text);

    QtHost& host_;
    int id_ = 0, thread_ = 0;
    WindowKind kind_ = WindowKind::Window;
    bool dialog_ = false;

    QPointer<QMainWindow> main_;          // the frame
    QPointer<QWidget> shell_;             // any other window: menu bar, tool bars, client, status
    QPointer<QMdiSubWindow> sub_;         // an MDI child's sub-window
    QPointer<QWidget> lastFocus_;         // the control that had the focus last
    QPointer<QMdiArea> mdi_;              // the frame's area
    QWidget* client_ = nullptr;
    QWidget* topWidget_ = nullptr;        // for comparisons only (never dereferenced while dying)
    QPointer<QWidget> topAlive_;
    bool closing_ = false;
    QVBoxLayout* layout_ = nullptr;
    QStatusBar* status_ = nullptr;
    std::vector<QLabel*> zones_;
    QTimer* placeTimer_ = nullptr;

    std::map<int, Ctl> ctls_;

    // Tab and Enter alerted for the whole window, waiting for ReplayAlertedKeys.
    struct AlertedKey {
        QPointer<QWidget> widget;
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    std::vector<AlertedKey> alertedKeys_;
    bool replaying_ = false;
    std::map<QObject*, int> widgetControl_;
    uint64_t changes_ = ~0ull;
    std::vector<int> windowKeys_;
    int modelFocus_ = 0;
    int appliedFocus_ = -1;
    QRect appliedPlace_;                  // units, as last applied or reported
    bool appliedMax_ = false, appliedMin_ = false;
    bool shown_ = false;
    bool reachable_ = true;
    std::string title_, icon_, wallpaper_;
};
