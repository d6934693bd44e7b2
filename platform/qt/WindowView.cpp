#include "platform/qt/WindowView.h"

#include "platform/qt/ListView.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/Style.h"
#include "platform/ui/Input.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowInternal.h"
#include "platform/values/Picture.h"
#include "platform/values/Windows1252.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStyle>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QMouseEvent>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <climits>

using QtStyle::Q;
using QtStyle::S;
using QtStyle::ToPixels;
using QtStyle::ToUnits;

namespace {

// A stored place from another screen set-up (or a damaged settings file) must not put a window
// where nobody can reach it: the window is moved and, if need be, shrunk onto the screen that holds
// its top left corner, else the primary one.
void KeepOnScreen(QPoint& at, QSize& size)
{
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    size = size.boundedTo(room.size());
    at.setX(std::clamp(at.x(), room.left(), room.right() + 1 - size.width()));
    at.setY(std::clamp(at.y(), room.top(), room.bottom() + 1 - size.height()));
}


// A window of its own: menu bar, tool bars, client area and status bar one above the other.
class Shell : public QWidget {
public:
    explicit Shell(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}
    QStatusBar* status = nullptr;

protected:
    bool event(QEvent* e) override
    {
        // Status texts of controls and menu items show in the window's own status bar.
        if (e->type() == QEvent::StatusTip && status) {
            status->showMessage(static_cast<QStatusTipEvent*>(e)->tip());
            return true;
        }
        return QWidget::event(e);
    }
};

// The client area: controls lie at their model places.
class ClientArea : public QWidget {
public:
    explicit ClientArea(QWidget* parent) : QWidget(parent) {}
    QSize sizeHint() const override { return minimumSize(); }
};

bool IsValueKind(ControlKind k)
{
    switch (k) {
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Spin:
    case ControlKind::Check:
    case ControlKind::Option:
    case ControlKind::Radio:
    case ControlKind::DropList:
    case ControlKind::Combo:
    case ControlKind::List:
        return true;
    default:
        return false;
    }
}

// Whether every character of a typed text has a place in the stored (Windows-1252) text.
bool Storable(const QString& typed)
{
    if (typed.isEmpty())
        return true;
    std::string utf8 = typed.toStdString();
    return Cp1252ToUtf8(Utf8ToCp1252(utf8)) == utf8;
}

bool IsMenuKind(ControlKind k)
{
    return k == ControlKind::Menubar || k == ControlKind::Menu || k == ControlKind::Item || k == ControlKind::Separator;
}

QString TipText(const std::string& tip)
{
    QString t = Q(tip);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}

// Colour numbers as a palette: the background and the text of a control. Only the colours given
// are set, so every other role and every colour group stays inherited: a disabled control looks
// disabled, and what the parent showed at some moment (greyed below a dialog) is never frozen in.
// A read-only field without a colour of its own shows the window's background, so that it does
// not look as if it took input.
void ApplyColors(QWidget* w, long long back, long long fore, bool readOnly = false)
{
    bool hasBack = QtStyle::HasColor(back), hasFore = QtStyle::HasColor(fore);
    const QVariant key = QString::number(hasBack ? back : -1) + QLatin1Char('/') + QString::number(hasFore ? fore : -1) +
                         (readOnly ? QStringLiteral("/ro") : QString());
    if (w->property("varnColors") == key)
        return;
    w->setProperty("varnColors", key);
    QPalette pal;
    if (hasBack)
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
                pal.setColor(group, role, QtStyle::ToColor(back));
    if (hasFore)
        for (auto group : {QPalette::Active, QPalette::Inactive})
            for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                pal.setColor(group, role, QtStyle::ToColor(fore));
    if (readOnly && !hasBack)
        for (auto group : {QPalette::Active, QPalette::Inactive})
            pal.setColor(group, QPalette::Base, QApplication::palette().color(group, QPalette::Window));
    w->setPalette(pal);
    if (w->autoFillBackground() != hasBack)
        w->setAutoFillBackground(hasBack);
}

} // namespace

WindowView::WindowView(QtHost& host, WindowModel& m, QMdiArea* mdiArea, QWidget* owner)
    : QObject(nullptr), host_(host), id_(m.id), thread_(m.thread), kind_(m.desc.kind)
{
    placeTimer_ = new QTimer(this);
    placeTimer_->setSingleShot(true);
    placeTimer_->setInterval(120);
    connect(placeTimer_, &QTimer::timeout, this, &WindowView::PlaceChanged);

    if (kind_ == WindowKind::MdiFrame) {
        main_ = new QMainWindow(nullptr);
        main_->setAttribute(Qt::WA_DeleteOnClose, false);
        mdi_ = new QMdiArea(main_);
        mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        main_->setCentralWidget(mdi_);
        status_ = main_->statusBar();
        client_ = nullptr;
        main_->installEventFilter(this);
        // Ctrl+Tab and Ctrl+F6 bring the next window inside the frame to the front, with Shift
        // the one before, wherever the focus is in the frame: as shortcuts of the frame they come
        // before the keys of a list, which would take them as its own.
        const std::pair<QKeySequence, int> switches[] = {
            {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1}, {QKeySequence(Qt::CTRL | Qt::Key_F6), 1},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1}, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6), -1}};
        for (const auto& [keys, step] : switches) {
            auto* shortcut = new QShortcut(keys, main_);
            shortcut->setContext(Qt::WindowShortcut);
            QMdiArea* area = mdi_;
            connect(shortcut, &QShortcut::activated, area, [area, step = step] {
                if (step > 0)
                    area->activateNextSubWindow();
                else
                    area->activatePreviousSubWindow();
            });
        }
    } else {
        bool child = kind_ == WindowKind::MdiChild && mdiArea;
        dialog_ = !child && owner != nullptr;
        Qt::WindowFlags flags = child ? Qt::Widget : (dialog_ ? Qt::Dialog : Qt::Window);
        auto* shell = new Shell(child ? nullptr : owner, flags);
        shell_ = shell;
        layout_ = new QVBoxLayout(shell);
        layout_->setContentsMargins(0, 0, 0, 0);
        layout_->setSpacing(0);
        client_ = new ClientArea(shell);
        layout_->addWidget(client_, 1);
        if (m.desc.statusZones > 0) {
            status_ = new QStatusBar(shell);
            status_->setSizeGripEnabled(m.desc.resizable);
            layout_->addWidget(status_);
            shell->status = status_;
        }
        if (child) {
            sub_ = mdiArea->addSubWindow(shell);
            sub_->setAttribute(Qt::WA_DeleteOnClose, false);
            sub_->installEventFilter(this);
        } else {
            shell->installEventFilter(this);
        }
    }
    if (status_)
        for (int i = 1; i <= m.desc.statusZones; ++i) {
            auto* zone = new QLabel(status_);
            zone->setObjectName(QStringLiteral("zone%1").arg(i));
            status_->addWidget(zone, i == 1 ? 3 : 1);
            zones_.push_back(zone);
        }
    if (client_) {
        QFont f = QtStyle::MapFont(m.Get(Prop::FontName).Str(), static_cast<int>(m.Get(Prop::FontSize).Int()));
        Top()->setFont(f);
        client_->installEventFilter(this);
    } else if (main_) {
        main_->setFont(QtStyle::MapFont(m.Get(Prop::FontName).Str(), static_cast<int>(m.Get(Prop::FontSize).Int())));
    }
    Top()->setObjectName(Q(m.desc.name.empty() ? "window" + std::to_string(m.id) : m.desc.name));
    topWidget_ = Top();
    topAlive_ = topWidget_;
    // A frame that goes first takes its sub-windows with it: their views must not filter then.
    connect(topWidget_, &QObject::destroyed, this, [this] { closing_ = true; });
    Build(m);
}

WindowView::~WindowView()
{
    // No event of a dying widget may reach the filter (it would look at half-destroyed objects).
    closing_ = true;
    if (topAlive_) {
        // Every watched widget lies inside the top widget; once it has gone they have too.
        for (auto& [w, id] : widgetControl_)
            w->removeEventFilter(this);
        topWidget_->removeEventFilter(this);
        if (client_)
            client_->removeEventFilter(this);
    }
    // The sub-window owns the shell; a top-level widget owns everything inside it.
    if (sub_) {
        if (mdi_ == nullptr && sub_->mdiArea())
            sub_->mdiArea()->removeSubWindow(sub_);
        delete sub_.data();
    }
    if (shell_)
        delete shell_.data();
    if (main_)
        delete main_.data();
}

QWidget* WindowView::Top() const
{
    if (main_)
        return main_;
    if (sub_)
        return sub_;
    return shell_;
}

QWidget* WindowView::ControlWidget(int control) const
{
    auto it = ctls_.find(control);
    if (it == ctls_.end())
        return nullptr;
    return it->second.widget;
}

QAction* WindowView::ControlAction(int control) const
{
    auto it = ctls_.find(control);
    if (it == ctls_.end())
        return nullptr;
    return it->second.action;
}

void WindowView::Activate()
{
    QWidget* top = Top();
    if (!top || !top->isVisible())
        return;
    if (sub_ && sub_->mdiArea())
        sub_->mdiArea()->setActiveSubWindow(sub_);
    QWidget* w = sub_ ? sub_->window() : top;
    w->raise();
    w->activateWindow();
}

void WindowView::RestoreFocus()
{
    QWidget* w = lastFocus_;
    if (w && w->isVisible() && w->isEnabled() && QApplication::focusWidget() != w)
        w->setFocus(Qt::ActiveWindowFocusReason);
}

// A window inside the frame opens, and is placed by the program, inside the frame's area, as much
// of it as the area holds: a place stored on a larger screen, or beside a window at the right or
// bottom edge, would leave it out of sight. A sizable window keeps the place it was given and
// gives up width or height first. Moves of the user's own are not placed again.
void WindowView::KeepInArea(QPoint& at, QSize& size, bool sizable) const
{
    QMdiArea* area = sub_ ? sub_->mdiArea() : nullptr;
    if (!area)
        return;
    const QSize room = area->viewport()->size();
    if (room.width() < 100 || room.height() < 100)
        return;                           // the frame is not laid out yet
    if (sizable) {
        const QSize smallest = sub_->minimumSizeHint();
        size = size.boundedTo(room);
        if (at.x() > 0 && at.x() + size.width() > room.width())
            size.setWidth(room.width() - at.x());
        if (at.y() > 0 && at.y() + size.height() > room.height())
            size.setHeight(room.height() - at.y());
        size = size.expandedTo(smallest);
    }
    at.setX(std::clamp(at.x(), 0, std::max(0, room.width() - size.width())));
    at.setY(std::clamp(at.y(), 0, std::max(0, room.height() - size.height())));
}

// The least size of a window inside the frame: its client's least (kept by its last sync; the
// first sync holds a window at its designed size) with the window's bars and frame around it.
static QSize LeastSize(QMdiSubWindow* s)
{
    for (QWidget* w : s->findChildren<QWidget*>())
        if (const QVariant least = w->property("varnLeast"); least.isValid())
            return least.toSize() + (s->size() - w->size());
    return s->minimumSizeHint().expandedTo(s->minimumSize());
}

// The windows of the area that reach into the column from `edge` rightwards move left of it and
// give up width, down to their least width; a maximised or minimised one stays as it is.
static void MakeRoomLeftOf(QMdiSubWindow* side, int edge)
{
    for (QMdiSubWindow* s : side->mdiArea()->subWindowList()) {
        if (s == side || !s->isVisible() || s->isMinimized() || s->isMaximized() || s->geometry().right() < edge)
            continue;
        const int width = std::max(LeastSize(s).width(), std::min(s->width(), edge));
        s->setGeometry(std::max(0, std::min(s->x(), edge - width)), s->y(), width, s->height());
    }
}

// "nebeneinander": the open windows of the area side by side, in as few rows as their least sizes
// allow (one when no number of rows holds them); in a row each gets its least width and a like part of the width left over (when the
// least widths are more than the row, each its part of the row by its least width). Every window
// stays inside the area; one whose least size is more than its place keeps that size and lies over
// its neighbour.
static void TileInArea(QMdiArea* area)
{
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* s : area->subWindowList())
        if (s->isVisible() && !s->isMinimized())
            windows.push_back(s);
    const int n = static_cast<int>(windows.size());
    const QRect room = area->viewport()->rect();
    if (n == 0 || room.width() < 100 || room.height() < 100)
        return;
    std::vector<QSize> least;
    for (QMdiSubWindow* s : windows)
        least.push_back(LeastSize(s));
    // The fewest rows whose windows fit side by side in the width and one above the other in the
    // height; when none do, one row: side by side, each its part of the width.
    int rows = 1;
    for (int r = 1; r <= n; ++r) {
        const int columns = (n + r - 1) / r;
        bool fits = true;
        for (int row = 0; row < r && fits; ++row) {
            int width = 0;
            for (int i = row * columns; i < std::min(n, (row + 1) * columns); ++i) {
                width += least[i].width();
                fits = fits && least[i].height() <= room.height() / r;
            }
            fits = fits && width <= room.width();
        }
        if (fits) {
            rows = r;
            break;
        }
    }
    const int columns = (n + rows - 1) / rows;
    for (int row = 0; row < rows; ++row) {
        const int first = row * columns, last = std::min(n, first + columns);
        int sum = 0;
        for (int i = first; i < last; ++i)
            sum += least[i].width();
        const int spare = room.width() - sum;
        const int y = room.height() * row / rows, h = room.height() * (row + 1) / rows - y;
        int x = 0;
        for (int i = first; i < last; ++i) {
            QMdiSubWindow* s = windows[i];
            if (s->isMaximized())
                s->showNormal();
            int w = spare >= 0 ? least[i].width() + spare / (last - first) : room.width() * least[i].width() / std::max(1, sum);
            if (i == last - 1 && spare >= 0)
                w = room.width() - x;
            const QSize size = QSize(w, h).expandedTo(least[i]).boundedTo(room.size());
            s->setGeometry(QRect(QPoint(std::clamp(x, 0, std::max(0, room.width() - size.width())),
                                        std::clamp(y, 0, std::max(0, room.height() - size.height()))),
                                 size));
            x += w;
        }
    }
}

bool WindowView::RunStdAction(StdAction action)
{
    QMdiArea* area = mdi_;
    if (!area)
        return false;
    switch (action) {
    case StdAction::Tile: TileInArea(area); return true;
    case StdAction::Cascade: area->cascadeSubWindows(); return true;
    case StdAction::Arrange: {
        // Minimised children in a row along the bottom of the area.
        int x = 0;
        for (QMdiSubWindow* s : area->subWindowList())
            if (s->isMinimized()) {
                s->move(x, area->viewport()->height() - s->height());
                x += s->width();
            }
        return true;
    }
    default: return false;
    }
}

// ---- building -------------------------------------------------------------------------------

void WindowView::Build(WindowModel& m)
{
    AutoPlace(m);
    for (auto& c : m.controls)
        CreateControl(m, c);
    FitSheets(m);
}

void WindowView::Watch(QWidget* w, int control)
{
    widgetControl_[w] = control;
    w->installEventFilter(this);
}

int WindowView::ControlOf(QObject* o) const
{
    while (o) {
        auto it = widgetControl_.find(o);
        if (it != widgetControl_.end())
            return it->second;
        if (o == client_ || o == Top())
            return 0;
        o = o->parent();
    }
    return 0;
}

QWidget* WindowView::ParentMenuOwner(const Ctl&)
{
    return Top();
}

void WindowView::CreateControl(WindowModel& m, ControlModel& c)
{
    Ctl v;
    v.id = c.id;
    v.kind = c.kind;
    v.parent = c.parent;
    auto parentIt = ctls_.find(c.parent);
    Ctl* parent = parentIt == ctls_.end() ? nullptr : &parentIt->second;
    int id = c.id, win = id_;
    QtHost* host = &host_;
    // Whatever a button or menu item starts reads the fields as they stand on the screen.
    // A field that refuses its text stops the default button (its OK); any other button goes on
    // with what the model holds, and the field shows that again.
    auto press = [this, host, win, id] {
        if (!CommitAll()) {
            auto self = ctls_.find(id);
            if (self != ctls_.end() && self->second.kind == ControlKind::Button && self->second.isDefault)
                return;
            RevertRefused();
        }
        host->Input([win, id] { return InputPress(win, id); });
    };

    QWidget* area = client_;
    if (!area && !IsMenuKind(c.kind) && c.kind != ControlKind::Toolbar && !(parent && parent->toolbar)) {
        // The frame's own controls besides menus and tool bars have no client area to lie in.
        ctls_[id] = v;
        return;
    }

    switch (c.kind) {
    case ControlKind::Menubar: {
        QMenuBar* bar = main_ ? main_->menuBar() : new QMenuBar(shell_);
        if (layout_ && !main_)
            layout_->insertWidget(0, bar);
        v.menubar = bar;
        if (!sub_) {
            // F10 opens the first menu; in the frame, that of the window inside it that has a
            // menu bar of its own and is active.
            auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), Top());
            f10->setContext(Qt::WindowShortcut);
            QPointer<QMenuBar> own = bar;
            QPointer<QMdiArea> area = mdi_;
            connect(f10, &QShortcut::activated, this, [own, area] {
                QMenuBar* target = own;
                if (area && area->activeSubWindow())
                    if (auto* inner = area->activeSubWindow()->findChild<QMenuBar*>(); inner && inner->isVisible())
                        target = inner;
                if (!target)
                    return;
                for (QAction* a : target->actions())
                    if (a->isVisible() && a->isEnabled() && a->menu()) {
                        target->setActiveAction(a);
                        break;
                    }
            });
        }
        break;
    }
    case ControlKind::Menu: {
        auto* menu = new QMenu(Q(c.Get(Prop::Text).Str()), Top());
        if (parent && parent->menubar)
            parent->menubar->addMenu(menu);
        else if (parent && parent->menu)
            parent->menu->addMenu(menu);
        v.menu = menu;
        v.action = menu->menuAction();
        break;
    }
    case ControlKind::Item:
    case ControlKind::Separator: {
        QAction* a = nullptr;
        QWidget* owner = parent && parent->menu ? static_cast<QWidget*>(parent->menu)
                         : parent && parent->menubar ? static_cast<QWidget*>(parent->menubar)
                         : parent && parent->toolbar ? static_cast<QWidget*>(parent->toolbar) : nullptr;
        if (!owner)
            break;
        if (c.kind == ControlKind::Separator) {
            a = new QAction(owner);
            a->setSeparator(true);
        } else {
            a = new QAction(Q(c.Get(Prop::Text).Str()), owner);
            StdAction std = c.std;
            QObject::connect(a, &QAction::triggered, this, [this, press, std] {
                if (host_.Syncing())
                    return;
                if (!RunStdAction(std))
                    emit StdActionRequested(static_cast<int>(std));
                press();
            });
        }
        owner->addAction(a);
        v.action = a;
        break;
    }
    case ControlKind::Toolbar: {
        auto* bar = new QToolBar(Top());
        bar->setMovable(false);
        bar->setIconSize(QSize(20, 20));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        if (main_)
            main_->addToolBar(Qt::TopToolBarArea, bar);
        else if (layout_)
            layout_->insertWidget(layout_->indexOf(client_), bar);
        v.toolbar = bar;
        v.widget = bar;
        break;
    }
    default:
        break;
    }
    if (IsMenuKind(c.kind) || c.kind == ControlKind::Toolbar) {
        ctls_[id] = v;
        return;
    }

    // A button in a tool bar is a tool button; panels there are separators; other controls sit
    // in the bar as they are.
    if (parent && parent->toolbar) {
        v.inToolbar = true;
        if (c.kind == ControlKind::Button) {
            auto* a = new QAction(Q(c.Get(Prop::Text).Str()), parent->toolbar);
            StdAction std = c.std;
            QObject::connect(a, &QAction::triggered, this, [this, press, std] {
                if (host_.Syncing())
                    return;
                if (!RunStdAction(std))
                    emit StdActionRequested(static_cast<int>(std));
                press();
            });
            parent->toolbar->addAction(a);
            v.action = a;
            if (QWidget* b = parent->toolbar->widgetForAction(a)) {
                b->setObjectName(Q(c.name));
                v.widget = b;
            }
            ctls_[id] = v;
            return;
        }
        if (c.kind == ControlKind::Panel || c.kind == ControlKind::Line || c.kind == ControlKind::Box) {
            v.action = parent->toolbar->addSeparator();
            ctls_[id] = v;
            return;
        }
    }

    QWidget* parentWidget = v.inToolbar ? static_cast<QWidget*>(parent->toolbar) : area;
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::Button: {
        auto* b = new QPushButton(parentWidget);
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, this, [this, press, std = c.std] {
            if (host_.Syncing())
                return;
            if (!RunStdAction(std))
                emit StdActionRequested(static_cast<int>(std));
            press();
        });
        w = b;
        break;
    }
    case ControlKind::Prompt:
    case ControlKind::String: {
        auto* l = new QLabel(parentWidget);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        w = l;
        break;
    }
    case ControlKind::Entry: {
        auto* e = new QLineEdit(parentWidget);
        QObject::connect(e, &QLineEdit::editingFinished, this, [this, id] { CommitEdit(id); });
        std::string pic = c.Get(Prop::Picture).Str();
        if (pic.size() > 1 && (pic[1] == 'n' || pic[1] == 'N' || pic[1] == 'P'))
            e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        w = e;
        break;
    }
    case ControlKind::Text: {
        auto* t = new QPlainTextEdit(parentWidget);
        t->setTabChangesFocus(true);
        w = t;
        break;
    }
    case ControlKind::Spin: {
        auto* s = new QSpinBox(parentWidget);
        s->setKeyboardTracking(false);
        QObject::connect(s, &QSpinBox::valueChanged, this, [this, id](int) { CommitEdit(id); });
        QObject::connect(s, &QSpinBox::editingFinished, this, [this, id] { CommitEdit(id); });
        w = s;
        break;
    }
    case ControlKind::Check: {
        auto* b = new QCheckBox(parentWidget);
        QObject::connect(b, &QCheckBox::clicked, this, [this, win, id](bool on) {
            if (!host_.Syncing())
                host_.Input([win, id, on] { return InputCheck(win, id, on); });
        });
        w = b;
        break;
    }
    case ControlKind::Option:
    case ControlKind::Group: {
        auto* g = new QGroupBox(parentWidget);
        w = g;
        break;
    }
    case ControlKind::Radio: {
        auto* r = new QRadioButton(parentWidget);
        r->setAutoExclusive(false);   // the option's model decides which one is on
        QObject::connect(r, &QRadioButton::clicked, this, [this, r, win, id](bool) {
            if (host_.Syncing())
                return;
            r->setChecked(true);
            host_.Input([win, id] { return InputChoose(win, id); });
        });
        w = r;
        break;
    }
    case ControlKind::DropList:
    case ControlKind::Combo: {
        auto* box = new QComboBox(parentWidget);
        box->setEditable(c.kind == ControlKind::Combo);
        box->setInsertPolicy(QComboBox::NoInsert);
        QObject::connect(box, &QComboBox::activated, this, [this, win, id](int index) {
            if (!host_.Syncing() && index >= 0)
                host_.Input([win, id, index] { return InputChooseRow(win, id, index + 1); });
        });
        if (box->lineEdit())
            QObject::connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this, id] { CommitEdit(id); });
        w = box;
        break;
    }
    case ControlKind::List: {
        auto* list = new ListView(host_, id_, id, parentWidget);
        v.list = list;
        w = list;
        break;
    }
    case ControlKind::Sheet: {
        auto* sheet = new QTabWidget(parentWidget);
        sheet->setDocumentMode(false);
        QObject::connect(sheet, &QTabWidget::tabBarClicked, this, [this, win, id](int index) {
            if (host_.Syncing() || index < 0)
                return;
            // The fields of the page that goes are taken while they can still be reached; one that
            // refuses its text keeps its page.
            auto* sheet = qobject_cast<QTabWidget*>(ControlWidget(id));
            if (!CommitAll()) {
                if (sheet)
                    QTimer::singleShot(0, sheet, [this, sheet, keep = sheet->currentIndex()] {
                        sheet->setCurrentIndex(keep);
                        FocusRefused();
                    });
                return;
            }
            int tab = 0;
            for (auto& [cid, cv] : ctls_)
                if (cv.parent == id && cv.kind == ControlKind::Tab && cv.tabIndex == index)
                    tab = cid;
            if (tab)
                host_.Input([win, tab] { return InputChoose(win, tab); });
        });
        w = sheet;
        break;
    }
    case ControlKind::Tab: {
        if (parent && parent->widget)
            if (auto* sheet = qobject_cast<QTabWidget*>(parent->widget.data())) {
                auto* page = new QWidget(sheet);
                v.tabIndex = sheet->addTab(page, Q(c.Get(Prop::Text).Str()));
            }
        ctls_[id] = v;
        return;
    }
    case ControlKind::Image: {
        auto* l = new QLabel(parentWidget);
        l->setAlignment(Qt::AlignCenter);
        w = l;
        break;
    }
    case ControlKind::Progress: {
        auto* p = new QProgressBar(parentWidget);
        p->setTextVisible(false);
        w = p;
        break;
    }
    case ControlKind::Panel: {
        auto* f = new QFrame(parentWidget);
        f->setFrameShape(QFrame::StyledPanel);
        f->setFrameShadow(QFrame::Sunken);
        w = f;
        break;
    }
    case ControlKind::Box: {
        auto* f = new QFrame(parentWidget);
        f->setFrameShape(QFrame::Box);
        w = f;
        break;
    }
    case ControlKind::Line: {
        auto* f = new QFrame(parentWidget);
        f->setFrameShadow(QFrame::Sunken);
        w = f;
        break;
    }
    default:
        break;
    }
    if (!w) {
        ctls_[id] = v;
        return;
    }
    w->setObjectName(Q(c.name.empty() ? std::string(ControlKindName(c.kind)) + std::to_string(id) : c.name));
    if (v.inToolbar)
        v.action = parent->toolbar->addWidget(w);
    v.widget = w;
    Watch(w, id);
    if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit())
        Watch(box->lineEdit(), id);
    if (auto* spin = qobject_cast<QSpinBox*>(w))
        for (QObject* child : spin->children())
            if (auto* le = qobject_cast<QLineEdit*>(child))
                Watch(le, id);
    if (v.list)
        Watch(v.list->viewport(), id);
    ctls_[id] = v;
    // Groups and frames lie behind the other controls, and among themselves in the order they are
    // declared: a group on a sheet's tab lies over the sheet. A splitter lies over the list it
    // overlaps, so that the press on it is its own.
    auto isSplitter = [](const ControlModel& k) {
        return k.kind == ControlKind::Box && k.Has(Prop::Cursor) && k.Get(Prop::Cursor).Str() == kSplitterCursor;
    };
    auto isFrame = [&isSplitter](const ControlModel& k) {
        return (k.kind == ControlKind::Group || k.kind == ControlKind::Option || k.kind == ControlKind::Sheet ||
                k.kind == ControlKind::Panel || k.kind == ControlKind::Box) && !isSplitter(k);
    };
    if (isSplitter(c))
        w->raise();
    if (isFrame(c)) {
        std::vector<QWidget*> frames;
        for (const ControlModel& other : m.controls) {
            auto it = ctls_.find(other.id);
            if (isFrame(other) && it != ctls_.end() && it->second.widget &&
                it->second.widget->parentWidget() == w->parentWidget())
                frames.push_back(it->second.widget);
        }
        for (auto it = frames.rbegin(); it != frames.rend(); ++it)
            (*it)->lower();
    }
    // A prompt names the field after it (its "&" letter moves the focus there); prompts in a row
    // before one field ("Tätigkeiten:" and "1.") all name it.
    if (IsValueKind(c.kind))
        for (auto it = ctls_.rbegin(); it != ctls_.rend(); ++it) {
            if (it->first >= id)
                continue;
            if (IsValueKind(it->second.kind))
                break;
            if (it->second.kind != ControlKind::Prompt)
                continue;
            auto* label = qobject_cast<QLabel*>(it->second.widget.data());
            if (!label || label->buddy())
                break;
            label->setBuddy(w);
        }
}

void WindowView::DestroyControl(int id)
{
    auto it = ctls_.find(id);
    if (it == ctls_.end())
        return;
    Ctl& v = it->second;
    for (auto w = widgetControl_.begin(); w != widgetControl_.end();)
        w = w->second == id ? widgetControl_.erase(w) : std::next(w);
    if (v.kind == ControlKind::Tab) {
        auto p = ctls_.find(v.parent);
        if (p != ctls_.end())
            if (auto* sheet = qobject_cast<QTabWidget*>(p->second.widget.data()); sheet && v.tabIndex >= 0) {
                sheet->removeTab(v.tabIndex);
                for (auto& [cid, cv] : ctls_)
                    if (cv.parent == v.parent && cv.kind == ControlKind::Tab && cv.tabIndex > v.tabIndex)
                        --cv.tabIndex;
            }
    }
    if (v.menu)
        delete v.menu.data();
    else if (v.action && !v.widget)
        delete v.action.data();
    if (v.widget && v.widget != Top()) {
        if (v.toolbar && main_)
            main_->removeToolBar(v.toolbar);
        if (v.menubar && main_ && v.menubar == main_->menuBar())
            v.menubar->clear();
        else
            delete v.widget.data();
    }
    ctls_.erase(it);
}

// ---- automatic placement --------------------------------------------------------------------

void WindowView::AutoPlace(WindowModel& m)
{
    // Controls whose place the description leaves open flow from the top left of their container:
    // one per line, a prompt and its field side by side, buttons in a row.
    if (!client_)
        return;
    QFontMetrics fm(Top()->font());
    auto textUnits = [&](const std::string& t) {
        QString s = Q(t);
        s.remove(QLatin1Char('&'));
        return ToUnits(fm.horizontalAdvance(s));
    };
    auto open = [](const ControlModel& c) {
        return c.Get(Prop::Xpos).Int() == 0 && c.Get(Prop::Ypos).Int() == 0 && c.Get(Prop::Width).Int() == 0 &&
               c.Get(Prop::Height).Int() == 0;
    };
    auto defaultSize = [&](const ControlModel& c) -> QSize {
        std::string text = c.Get(Prop::Text).Str();
        bool icon = c.Has(Prop::Icon) && !c.Get(Prop::Icon).Str().empty();
        switch (c.kind) {
        case ControlKind::Button:
            if (text.empty() && icon)
                return {22, 20};
            return {std::max(50, textUnits(text) + 16 + (icon ? 14 : 0)), icon ? 18 : 15};
        case ControlKind::Prompt:
        case ControlKind::String: return {std::max(8, textUnits(text) + 2), 10};
        case ControlKind::Entry: {
            std::string pic = c.Get(Prop::Picture).Str();
            int chars = 20;
            if (pic.size() > 2 && (pic[1] == 's' || pic[1] == 'S'))
                chars = std::clamp(std::atoi(pic.c_str() + 2), 4, 60);
            else if (pic.size() > 2)
                chars = 10;
            return {chars * 4 + 10, 13};
        }
        case ControlKind::Spin: return {50, 13};
        case ControlKind::Check:
        case ControlKind::Radio: return {textUnits(text) + 18, 11};
        case ControlKind::DropList:
        case ControlKind::Combo: return {std::max(60, c.format.TotalWidth() / 2 + 20), 13};
        case ControlKind::Text: return {160, 48};
        case ControlKind::List: return {std::max(160, c.format.TotalWidth() + 12), 110};
        case ControlKind::Image: {
            QPixmap p = Pictures::Picture(c.Get(Prop::Icon).Str());
            if (p.isNull())
                return {0, 0};
            return {ToUnits(p.width()), ToUnits(p.height())};
        }
        case ControlKind::Progress: return {150, 10};
        case ControlKind::Line: return {150, 2};
        case ControlKind::Box: return {40, 20};
        default: return {0, 0};
        }
    };

    std::map<int, std::vector<ControlModel*>> children;
    for (auto& c : m.controls)
        children[c.parent].push_back(&c);

    // Flows the children of `container` into the area starting at (x0, y0), `width` wide; returns
    // the lowest edge used.
    std::function<int(int, int, int, int)> flow = [&](int container, int x0, int y0, int width) -> int {
        int y = y0, bottom = y0;
        ControlModel* prev = nullptr;
        QRect prevRect;
        for (ControlModel* c : children[container]) {
            if (IsMenuKind(c->kind) || c->kind == ControlKind::Toolbar)
                continue;
            auto& v = ctls_[c->id];
            v.id = c->id;
            v.kind = c->kind;
            v.parent = c->parent;
            if (c->kind == ControlKind::Tab)
                continue;
            QRect r;
            if (!open(*c)) {
                r = QRect(static_cast<int>(c->Get(Prop::Xpos).Int()), static_cast<int>(c->Get(Prop::Ypos).Int()),
                          static_cast<int>(c->Get(Prop::Width).Int()), static_cast<int>(c->Get(Prop::Height).Int()));
                QSize d = defaultSize(*c);
                if (r.width() <= 0)
                    r.setWidth(d.width());
                if (r.height() <= 0)
                    r.setHeight(d.height());
            } else if (c->kind == ControlKind::Group || c->kind == ControlKind::Option) {
                int inner = flow(c->id, x0 + 6, y + 12, width - 12);
                r = QRect(x0, y, width, std::max(24, inner - y + 6));
                y = r.bottom() + 5;
            } else if (c->kind == ControlKind::Sheet) {
                int deepest = y + 40;
                for (ControlModel* tab : children[c->id])
                    deepest = std::max(deepest, flow(tab->id, x0 + 8, y + 22, width - 16));
                r = QRect(x0, y, width, deepest - y + 8);
                y = r.bottom() + 5;
            } else {
                QSize d = defaultSize(*c);
                bool besidePrompt = prev && prev->kind == ControlKind::Prompt && IsValueKind(c->kind) &&
                                    c->kind != ControlKind::List && c->kind != ControlKind::Text;
                bool besideButton = prev && prev->kind == ControlKind::Button && c->kind == ControlKind::Button &&
                                    prevRect.right() + 4 + d.width() <= x0 + width;
                if (besidePrompt) {
                    int labelColumn = std::max(prevRect.width() + 4, 60);
                    r = QRect(x0 + labelColumn, prevRect.top() - 2, std::min(d.width(), std::max(20, width - labelColumn)), d.height());
                    y = std::max(y, r.bottom() + 4);
                } else if (besideButton) {
                    r = QRect(prevRect.right() + 5, prevRect.top(), d.width(), d.height());
                } else {
                    if (c->kind == ControlKind::Line || c->kind == ControlKind::Progress)
                        d.setWidth(std::max(d.width(), width));
                    r = QRect(x0, y + (c->kind == ControlKind::Prompt ? 2 : 0), d.width(), d.height());
                    y = r.bottom() + 5;
                }
            }
            v.autoRect = r;
            bottom = std::max(bottom, r.bottom() + 1);
            if (!open(*c) && (c->kind == ControlKind::Group || c->kind == ControlKind::Option))
                flow(c->id, r.x() + 6, r.y() + 12, r.width() - 12);
            if (!open(*c) && c->kind == ControlKind::Sheet)
                for (ControlModel* tab : children[c->id])
                    flow(tab->id, r.x() + 8, r.y() + 22, r.width() - 16);
            prev = c;
            prevRect = r;
            y = std::max(y, open(*c) ? y : y);
        }
        return std::max(bottom, y);
    };
    int width = static_cast<int>(m.Get(Prop::Width).Int());
    flow(0, 6, 6, std::max(120, width - 12));
}

int WindowView::RoomRight(WindowModel& m, const ControlModel& c, const QRect& u) const
{
    int limit = std::max(static_cast<int>(m.Get(Prop::Width).Int()), u.right() + 1) - 2;
    for (const ControlModel& other : m.controls) {
        if (other.id == c.id || IsMenuKind(other.kind) || other.kind == ControlKind::Toolbar ||
            other.kind == ControlKind::Tab || WindowInternal::HiddenInEffect(m, other))
            continue;
        auto it = ctls_.find(other.id);
        if (it == ctls_.end() || it->second.inToolbar)
            continue;
        const QRect o = UnitsRect(other, it->second);
        if (o.bottom() < u.top() || o.top() > u.bottom())
            continue;
        const bool frame = other.kind == ControlKind::Group || other.kind == ControlKind::Option ||
                           other.kind == ControlKind::Sheet || other.kind == ControlKind::Panel ||
                           other.kind == ControlKind::Box;
        if (frame && o.contains(u.topLeft()))
            limit = std::min(limit, o.right() - 2);          // not out of its group
        else if (o.left() > u.left())
            limit = std::min(limit, o.left() - 1);            // not into the next control
    }
    return std::max(limit, u.right() + 1);
}

QRect WindowView::DesignedRect(const ControlModel& c, const Ctl& v) const
{
    QRect r(static_cast<int>(c.Get(Prop::Xpos).Int()), static_cast<int>(c.Get(Prop::Ypos).Int()),
            static_cast<int>(c.Get(Prop::Width).Int()), static_cast<int>(c.Get(Prop::Height).Int()));
    if (r.x() == 0 && r.y() == 0 && r.width() == 0 && r.height() == 0)
        return v.autoRect;
    if (r.width() <= 0)
        r.setWidth(v.autoRect.width());
    if (r.height() <= 0)
        r.setHeight(v.autoRect.height());
    return r;
}

bool WindowView::Inside(int control, int ancestor) const
{
    for (int guard = 0; control && guard < 64; ++guard) {
        auto it = ctls_.find(control);
        if (it == ctls_.end())
            return false;
        control = it->second.parent;
        if (control == ancestor)
            return true;
    }
    return false;
}

QRect WindowView::UnitsRect(const ControlModel& c, const Ctl& v) const
{
    QRect r = DesignedRect(c, v);
    // Below a sheet whose tab bar is taller than the design allowed for, its pages' controls and
    // whatever lies under the sheet move down; the sheet and frames around it grow.
    for (const auto& [sheet, shift] : sheetShifts_) {
        if (c.id == sheet)
            r.setWidth(r.width() + shift.columns);      // the pages hold all their controls
        if (shift.lines <= 0)
            continue;
        if (c.id == sheet || (r.contains(shift.designed.topLeft()) && r.bottom() >= shift.designed.bottom()))
            r.setHeight(r.height() + shift.lines);
        else if (Inside(c.id, sheet) || r.top() > shift.designed.bottom())
            r.translate(0, shift.lines);
    }
    return r;
}

// Hidden by itself or by a group around it (not by its tab, which only is not the page shown):
// such a control takes no room the sheet or the window would have to grow for.
bool WindowView::HiddenOnItsPage(const WindowModel& m, const ControlModel& c, int sheet)
{
    for (const ControlModel* p = &c; p && p->id != sheet; p = m.Find(p->parent))
        if (p->kind != ControlKind::Tab && p->Get(Prop::Hide).Bool())
            return true;
    return false;
}

void WindowView::FitSheets(WindowModel& m)
{
    sheetShifts_.clear();
    for (auto& c : m.controls) {
        if (c.kind != ControlKind::Sheet)
            continue;
        auto it = ctls_.find(c.id);
        auto* sheet = it == ctls_.end() ? nullptr : qobject_cast<QTabWidget*>(it->second.widget.data());
        if (!sheet || c.Get(Prop::Wizard).Bool())
            continue;
        const QRect designed = DesignedRect(c, it->second);
        const int contentTop = designed.top() + ToUnits(sheet->tabBar()->sizeHint().height()) + 3;
        int top = INT_MAX, right = designed.right();
        for (auto& other : m.controls) {
            auto o = ctls_.find(other.id);
            if (o != ctls_.end() && other.kind != ControlKind::Tab && Inside(other.id, c.id) &&
                !HiddenOnItsPage(m, other, c.id)) {
                const QRect r = DesignedRect(other, o->second);
                top = std::min(top, r.top());
                right = std::max(right, r.right() + 4);
            }
        }
        SheetShift shift{designed, top != INT_MAX && top < contentTop ? contentTop - top : 0, right - designed.right()};
        if (shift.lines > 0 || shift.columns > 0)
            sheetShifts_[c.id] = shift;
    }
}

// ---- following the window's edges ----------------------------------------------------------

void WindowView::Anchor(WindowModel& m)
{
    for (auto& [id, v] : ctls_) {
        v.growX = v.growY = v.moveY = v.moveX = false;
        v.slackX = 0;
    }
    if (!client_ || !m.desc.resizable)
        return;
    auto stretches = [](ControlKind k) {
        return k == ControlKind::List || k == ControlKind::Text || k == ControlKind::Sheet || k == ControlKind::Group ||
               k == ControlKind::Option || k == ControlKind::Panel || k == ControlKind::Box;
    };
    struct Placed {
        const ControlModel* c;
        Ctl* v;
        QRect u;
        bool asDesigned;
    };
    std::vector<Placed> placed;
    for (const ControlModel& c : m.controls) {
        if (IsMenuKind(c.kind) || c.kind == ControlKind::Toolbar || c.kind == ControlKind::Tab)
            continue;
        auto it = ctls_.find(c.id);
        if (it == ctls_.end() || !it->second.widget || it->second.inToolbar)
            continue;
        Ctl& v = it->second;
        const QRect designed = DesignedRect(c, v);
        if (v.firstDesigned.isNull())
            v.firstDesigned = designed;
        placed.push_back({&c, &v, UnitsRect(c, v), designed == v.firstDesigned});
    }
    const int width = m.desc.w;
    int lowest = -1, lowestTop = INT_MAX;
    for (const Placed& p : placed) {
        if (!p.asDesigned)
            continue;
        if (stretches(p.c->kind) && p.u.right() + 1 >= width - 12 && p.u.left() < width / 2)
            p.v->growX = true;
        if ((p.c->kind == ControlKind::List || p.c->kind == ControlKind::Text) && p.u.bottom() >= lowest)
            lowest = p.u.bottom();
    }
    if (lowest < 0)
        return;
    for (const Placed& p : placed)
        if ((p.c->kind == ControlKind::List || p.c->kind == ControlKind::Text) && p.asDesigned && p.u.bottom() == lowest)
            lowestTop = std::min(lowestTop, p.u.top());
    for (const Placed& p : placed) {
        if (p.u.top() > lowest)
            p.v->moveY = true;
        else if (p.asDesigned && stretches(p.c->kind) && p.u.top() <= lowestTop && p.u.bottom() >= lowest)
            p.v->growY = true;
    }
    for (const Placed& p : placed) {
        if (p.v->growX)
            p.v->slackX = p.u.width() / 2;
        else if (p.v->moveY && p.asDesigned && p.u.left() >= width / 2)
            p.v->moveX = true;
    }
    for (const Placed& p : placed) {
        if (!p.v->moveX)
            continue;
        p.v->slackX = p.u.left();
        for (const Placed& q : placed)
            if (!q.v->moveX && !q.v->growX && q.u.right() < p.u.left() && q.u.top() <= p.u.bottom() &&
                q.u.bottom() >= p.u.top())
                p.v->slackX = std::min(p.v->slackX, std::max(0, p.u.left() - q.u.right() - 1 - 4));
    }
}

QRect WindowView::Anchored(const Ctl& v) const
{
    QRect r = v.laidOut;
    if (!client_ || designedClient_.isEmpty() || !(v.growX || v.growY || v.moveY || v.moveX))
        return r;
    // A window a little smaller than designed (its frame took the room) takes from them too.
    const int dx = client_->width() - designedClient_.width();
    const int dy = client_->height() - designedClient_.height();
    if (v.growX)
        r.setWidth(std::max(r.width() + dx, std::min(r.width(), 16)));
    if (v.growY)
        r.setHeight(std::max(r.height() + dy, std::min(r.height(), 16)));
    if (v.moveY)
        r.translate(0, dy);
    if (v.moveX && dx < 0)
        r.translate(dx, 0);
    return r;
}

void WindowView::Relayout()
{
    for (auto& [id, v] : ctls_)
        if (v.widget && !v.inToolbar && !v.laidOut.isNull()) {
            const QRect r = Anchored(v);
            if (v.widget->geometry() != r)
                v.widget->setGeometry(r);
        }
}

// ---- syncing --------------------------------------------------------------------------------

void WindowView::FillDropList(ControlModel& c, Ctl& v, QComboBox* box)
{
    int64_t rows = c.source ? c.source->RowCount() : 0;
    if (rows == v.rows && v.rowsStamp == changes_)
        return;
    v.rows = rows;
    v.rowsStamp = changes_;
    QStringList items;
    int field = c.format.columns.empty() ? 1 : c.format.columns[0].firstField;
    for (int64_t r = 1; r <= rows && r <= 100000; ++r)
        items << Q(c.source->Field(r, field));
    bool same = box->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i)
        same = box->itemText(i) == items[i];
    if (!same) {
        QString edit = box->isEditable() ? box->currentText() : QString();
        box->clear();
        box->addItems(items);
        if (box->isEditable())
            box->setEditText(edit);
    }
}

void WindowView::Sync(WindowModel& m)
{
    bool changed = m.changes != changes_;
    bool first = changes_ == ~0ull;
    changes_ = m.changes;
    if (changed) {
        // Controls made or removed at run time.
        std::vector<int> gone;
        for (auto& [cid, v] : ctls_)
            if (!m.Find(cid))
                gone.push_back(cid);
        for (auto it = gone.rbegin(); it != gone.rend(); ++it)
            DestroyControl(*it);
        bool added = false;
        for (auto& c : m.controls)
            if (!ctls_.count(c.id) || (!ctls_[c.id].widget && !ctls_[c.id].action && ctls_[c.id].tabIndex < 0 &&
                                      ctls_[c.id].autoRect.isNull() && c.created))
                added = true;
        if (added) {
            AutoPlace(m);
            for (auto& c : m.controls) {
                auto it = ctls_.find(c.id);
                if (it == ctls_.end() || (!it->second.widget && !it->second.action && it->second.tabIndex < 0 &&
                                          !it->second.menubar && !it->second.toolbar && c.created)) {
                    QRect keep = it == ctls_.end() ? QRect() : it->second.autoRect;
                    if (it != ctls_.end())
                        ctls_.erase(it);
                    CreateControl(m, c);
                    if (!keep.isNull())
                        ctls_[c.id].autoRect = keep;
                    if (QWidget* w = ctls_[c.id].widget)
                        if (!ctls_[c.id].inToolbar)
                            w->raise();
                }
            }
        }
        windowKeys_ = m.alertKeys;
    }
    modelFocus_ = m.focus;
    bool reachable = WindowTop(m.thread) == m.id;
    if (!changed && reachable == reachable_) {
        // Nothing of the model changed; a list's source may still have grown or shrunk.
        for (auto& c : m.controls) {
            auto it = ctls_.find(c.id);
            if (it != ctls_.end() && it->second.list)
                ApplyControl(m, c, it->second, false);
        }
        return;
    }
    reachable_ = reachable;
    changed = true;
    FitSheets(m);
    Anchor(m);
    for (auto& c : m.controls) {
        auto it = ctls_.find(c.id);
        if (it != ctls_.end())
            ApplyControl(m, c, it->second, changed);
    }
    ShowDefaultButton(QApplication::focusWidget());
    ApplyWindow(m, first);
    if (!first && changed && appliedFocus_ != m.focus) {
        appliedFocus_ = m.focus;
        QWidget* w = ControlWidget(m.focus);
        if (w && w->isVisible() && w->isEnabled() && QApplication::focusWidget() != w)
            w->setFocus(Qt::OtherFocusReason);
    }
}

QString WindowView::WithoutTakenMnemonic(const WindowModel& m, const QString& text)
{
    const QKeySequence mnemonic = QKeySequence::mnemonic(text);
    if (mnemonic.isEmpty())
        return text;
    for (const ControlModel& c : m.controls)
        if ((c.kind == ControlKind::Item || c.kind == ControlKind::Button) && c.Has(Prop::Key) &&
            QtStyle::ShortcutOf(c.Get(Prop::Key).Str()) == mnemonic) {
            // A command's key wins over a menu's letter: the menu is reached with F10 and the
            // arrow keys instead. "&&" stays a literal ampersand.
            QString plain = text;
            plain.replace(QLatin1String("&&"), QString(QChar(0xFFFF)));
            plain.remove(QLatin1Char('&'));
            plain.replace(QChar(0xFFFF), QLatin1String("&&"));
            return plain;
        }
    return text;
}

QAction* WindowView::OwnAltCommand(const QKeyEvent& e) const
{
    if (!sub_ || !(e.modifiers() & Qt::AltModifier))
        return nullptr;
    const QKeySequence pressed(e.keyCombination());
    for (const auto& [id, v] : ctls_)
        if (v.action && (v.kind == ControlKind::Item || (v.kind == ControlKind::Button && v.inToolbar)) &&
            v.action->isEnabled() && v.action->isVisible() && !v.action->shortcut().isEmpty() &&
            v.action->shortcut() == pressed)
            return v.action;
    return nullptr;
}

void WindowView::ApplyControl(WindowModel& m, ControlModel& c, Ctl& v, bool changed)
{
    if (v.list && (changed || c.source != v.list->Source() ||
                   (c.source ? c.source->RowCount() : 0) != v.list->RowCount()))
        v.list->Sync(m, c, changed);
    if (!changed)
        return;
    bool hidden = WindowInternal::HiddenInEffect(m, c);
    bool disabled = WindowInternal::DisabledInEffect(m, c);
    // Optional texts that the description did not give read as empty, not as the number 0.
    auto optional = [&c](Prop p) { return c.Has(p) ? c.Get(p).Str() : std::string(); };
    std::string text = optional(Prop::Text);
    QString tip = TipText(optional(Prop::Tip));
    QString msg = Q(optional(Prop::Msg));
    std::string iconName = c.Has(Prop::Icon) ? c.Get(Prop::Icon).Str() : std::string();
    v.alertKeys = c.alertKeys;

    if (v.kind == ControlKind::Tab) {
        auto p = ctls_.find(v.parent);
        if (p == ctls_.end())
            return;
        auto* sheet = qobject_cast<QTabWidget*>(p->second.widget.data());
        if (!sheet || v.tabIndex < 0)
            return;
        if (sheet->tabText(v.tabIndex) != Q(text))
            sheet->setTabText(v.tabIndex, Q(text));
        sheet->setTabVisible(v.tabIndex, !c.Get(Prop::Hide).Bool());
        sheet->setTabEnabled(v.tabIndex, !c.Get(Prop::Disable).Bool());
        sheet->setTabToolTip(v.tabIndex, tip);
        sheet->setTabIcon(v.tabIndex, iconName.empty() ? QIcon() : Pictures::Icon(iconName));
        return;
    }
    if (v.action) {
        QAction* a = v.action;
        if (v.kind == ControlKind::Item || v.kind == ControlKind::Menu || (v.kind == ControlKind::Button && v.inToolbar)) {
            QString t = Q(text);
            std::string key = optional(Prop::Key);
            if (v.kind == ControlKind::Item && !key.empty())
                t += QLatin1Char('\t') + Q(key);
            if (v.kind == ControlKind::Button && t.isEmpty())
                t = tip;
            if (v.kind == ControlKind::Menu)
                if (auto p = ctls_.find(v.parent); p != ctls_.end() && p->second.menubar)
                    t = WithoutTakenMnemonic(m, t);
            if (a->text() != t)
                a->setText(t);
            if (v.kind == ControlKind::Item || v.kind == ControlKind::Button) {
                QKeySequence seq = QtStyle::ShortcutOf(key);
                if (a->shortcut() != seq)
                    a->setShortcut(seq);
            }
            if (v.kind == ControlKind::Item) {
                int style = c.itemStyle;
                a->setCheckable(style == 1 || style == 2);
                if (style)
                    a->setChecked(c.Get(Prop::Checked).Bool());
            }
            // Only what differs is set: every change of a menu bar's action makes the bar forget
            // the menu it has open, and Left and Right would no longer lead to its neighbours.
            const QString actionTip = tip.isEmpty() ? QString(t).remove(QLatin1Char('&')) : tip;
            if (a->toolTip() != actionTip)
                a->setToolTip(actionTip);
            if (a->statusTip() != msg)
                a->setStatusTip(msg);
            if (v.actionIcon != iconName) {
                v.actionIcon = iconName;
                a->setIcon(iconName.empty() ? QIcon() : Pictures::Icon(iconName));
            }
            if (!a->isIconVisibleInMenu())
                a->setIconVisibleInMenu(true);
        }
        a->setVisible(!hidden);
        a->setEnabled(!disabled && reachable_);
        if (v.kind != ControlKind::Button || !v.inToolbar)
            if (!v.widget)
                return;
        if (v.kind == ControlKind::Button && v.inToolbar)
            return;
    }
    QWidget* w = v.widget;
    if (!w || v.toolbar) {
        if (v.toolbar) {
            v.toolbar->setVisible(!hidden);
            v.toolbar->setEnabled(!disabled && reachable_);
        }
        return;
    }

    // Place, font and colours.
    if (!v.inToolbar) {
        QRect u = UnitsRect(c, v);
        QRect px(ToPixels(u.x()), ToPixels(u.y()), ToPixels(u.width()), ToPixels(u.height()));
        if (v.kind == ControlKind::Line)
            px.setSize(QSize(std::max(px.width(), 2), std::max(px.height(), 2)));
        if ((v.kind == ControlKind::Prompt || v.kind == ControlKind::String) && !text.empty()) {
            // A one-line text laid out for narrower letters takes the room free to its right
            // rather than being cut.
            QString shown = Q(text);
            shown.remove(QLatin1Char('&'));
            const QFontMetrics fm(w->font());
            const int need = fm.horizontalAdvance(shown) + 4;
            if (need > px.width() && px.height() < 2 * fm.lineSpacing())
                px.setWidth(std::min(need, ToPixels(RoomRight(m, c, u)) - px.x()));
        }
        v.laidOut = px;
        px = Anchored(v);
        if (w->geometry() != px)
            w->setGeometry(px);
    }
    if (c.Has(Prop::FontName) || c.Has(Prop::FontSize) || c.Has(Prop::FontStyle)) {
        std::string name = c.Has(Prop::FontName) ? c.Get(Prop::FontName).Str() : m.Get(Prop::FontName).Str();
        int size = static_cast<int>(c.Has(Prop::FontSize) ? c.Get(Prop::FontSize).Int() : m.Get(Prop::FontSize).Int());
        QFont f = QtStyle::MapFont(name, size, static_cast<int>(c.Get(Prop::FontStyle).Int()));
        if (w->font() != f && !v.list)
            w->setFont(f);
    }
    if (!v.list)
        ApplyColors(w, c.Get(Prop::Color).Int(), c.Has(Prop::FontColor) ? c.Get(Prop::FontColor).Int() : -1,
                    (v.kind == ControlKind::Entry || v.kind == ControlKind::Text) && c.Get(Prop::ReadOnly).Bool());
    if (w->toolTip() != tip && !v.list)
        w->setToolTip(tip);
    if (w->statusTip() != msg)
        w->setStatusTip(msg);
    // The program's cursor files: our drawings have none, so a named cursor is the cross that a
    // spreadsheet shows; no name is the normal arrow.
    QWidget* pointerArea = v.list ? v.list->viewport() : w;
    v.splitter = v.kind == ControlKind::Box && optional(Prop::Cursor) == kSplitterCursor;
    if (v.splitter) {
        v.splitY = static_cast<int>(c.Get(Prop::Ypos).Int());
        if (pointerArea->cursor().shape() != Qt::SplitVCursor)
            pointerArea->setCursor(Qt::SplitVCursor);
    } else {
        bool cross = !optional(Prop::Cursor).empty();
        if (cross != (pointerArea->cursor().shape() == Qt::CrossCursor))
            pointerArea->setCursor(cross ? Qt::CrossCursor : Qt::ArrowCursor);
    }
    if (v.action)
        v.action->setVisible(!hidden);
    else if (w->isVisibleTo(w->parentWidget()) == hidden)
        w->setVisible(!hidden);
    if (w->isEnabled() == disabled)
        w->setEnabled(!disabled);

    auto setScreen = [&](auto apply) {
        std::string screen = c.Get(Prop::ScreenText).Str();
        if (screen != v.screenText) {
            v.screenText = screen;
            apply(Q(screen));
        }
    };
    switch (v.kind) {
    case ControlKind::Button: {
        auto* b = static_cast<QPushButton*>(w);
        if (b->text() != Q(text))
            b->setText(Q(text));
        b->setIcon(iconName.empty() ? QIcon() : Pictures::Icon(iconName));
        b->setIconSize(QSize(16, 16));
        v.isDefault = c.Get(Prop::Default).Bool();
        b->setFlat(c.Get(Prop::Flat).Bool());
        break;
    }
    case ControlKind::Prompt:
    case ControlKind::String: {
        auto* l = static_cast<QLabel*>(w);
        QString t = Q(text);
        if (v.kind == ControlKind::Prompt && !l->buddy()) {
            // Without a field to name, the "&" marks nothing: it does not show.
            t.replace(QLatin1String("&&"), QString(QChar(0xFFFF)));
            t.remove(QLatin1Char('&'));
            t.replace(QChar(0xFFFF), QLatin1Char('&'));
        }
        if (l->text() != t)
            l->setText(t);
        // A text given room for more than one line breaks at blanks to fit (an explanation, the
        // message dialog's text laid out by the text measure); a one-line text stays one line.
        // Such a text starts at the top of its room, as its neighbours' first lines do.
        bool wrap = l->height() >= 2 * l->fontMetrics().lineSpacing();
        if (l->wordWrap() != wrap) {
            l->setWordWrap(wrap);
            l->setAlignment(Qt::AlignLeft | (wrap ? Qt::AlignTop : Qt::AlignVCenter));
        }
        break;
    }
    case ControlKind::Entry: {
        auto* e = static_cast<QLineEdit*>(w);
        e->setReadOnly(c.Get(Prop::ReadOnly).Bool());
        {
            // A text picture reads anything: only other pictures are checked when taken.
            std::string pic = c.Has(Prop::Picture) ? c.Get(Prop::Picture).Str() : std::string();
            auto compiled = Picture::Compile(pic);
            v.picture = compiled && compiled->GetKind() != Picture::Kind::String ? pic : std::string();
        }
        setScreen([&](const QString& s) {
            if (e->text() != s)
                e->setText(s);
        });
        if (const int64_t from = c.Get(Prop::SelStart).Int(), to = c.Get(Prop::SelEnd).Int();
            from != v.selStart || to != v.selEnd) {
            v.selStart = from;
            v.selEnd = to;
            const int64_t last = std::min<int64_t>(to, e->text().size());
            if (from >= 1 && last >= from)
                e->setSelection(static_cast<int>(from - 1), static_cast<int>(last - from + 1));
        }
        break;
    }
    case ControlKind::Text: {
        auto* t = static_cast<QPlainTextEdit*>(w);
        t->setReadOnly(c.Get(Prop::ReadOnly).Bool());
        setScreen([&](const QString& s) {
            if (t->toPlainText() != s)
                t->setPlainText(s);
        });
        break;
    }
    case ControlKind::Spin: {
        auto* s = static_cast<QSpinBox*>(w);
        int low = static_cast<int>(c.Get(Prop::RangeLow).Int()), high = static_cast<int>(c.Get(Prop::RangeHigh).Int());
        if (high < low)
            std::swap(low, high);
        if (high == low)
            high = low + 1000000;
        s->setRange(low, high);
        s->setSingleStep(std::max<int>(1, static_cast<int>(c.Get(Prop::Step).Int())));
        s->setReadOnly(c.Get(Prop::ReadOnly).Bool());
        setScreen([&](const QString& screen) {
            bool ok = false;
            int value = screen.trimmed().toInt(&ok);
            if (!ok)
                value = static_cast<int>(c.Get(Prop::Value).Int());
            if (s->value() != value)
                s->setValue(value);
        });
        break;
    }
    case ControlKind::Check: {
        auto* b = static_cast<QCheckBox*>(w);
        if (b->text() != Q(text))
            b->setText(Q(text));
        b->setChecked(c.Get(Prop::Checked).Bool());
        break;
    }
    case ControlKind::Radio: {
        auto* r = static_cast<QRadioButton*>(w);
        if (r->text() != Q(text))
            r->setText(Q(text));
        r->setChecked(c.Get(Prop::Checked).Bool());
        break;
    }
    case ControlKind::Option:
    case ControlKind::Group: {
        auto* g = static_cast<QGroupBox*>(w);
        if (g->title() != Q(text))
            g->setTitle(Q(text));
        g->setFlat(text.empty() && v.kind == ControlKind::Option);
        break;
    }
    case ControlKind::DropList:
    case ControlKind::Combo: {
        auto* box = static_cast<QComboBox*>(w);
        FillDropList(c, v, box);
        int64_t sel = c.Get(Prop::Selected).Int();
        if (v.kind == ControlKind::DropList) {
            int index = sel >= 1 && sel <= box->count() ? static_cast<int>(sel - 1) : -1;
            if (box->currentIndex() != index)
                box->setCurrentIndex(index);
        } else {
            setScreen([&](const QString& s) {
                if (box->currentText() != s)
                    box->setEditText(s);
            });
        }
        break;
    }
    case ControlKind::Sheet: {
        auto* sheet = static_cast<QTabWidget*>(w);
        bool wizard = c.Get(Prop::Wizard).Bool();
        sheet->tabBar()->setVisible(!wizard);
        // Without its tab row the sheet takes no focus: Tab would hand it to the hidden row and
        // stay where it was.
        const Qt::FocusPolicy policy = wizard ? Qt::NoFocus : Qt::TabFocus;
        if (sheet->focusPolicy() != policy) {
            sheet->setFocusPolicy(policy);
            sheet->tabBar()->setFocusPolicy(policy);
        }
        int64_t sel = c.Get(Prop::Selected).Int();
        for (auto& [cid, cv] : ctls_)
            if (cv.parent == c.id && cv.kind == ControlKind::Tab && cv.tabIndex >= 0) {
                ControlModel* tab = m.Find(cid);
                if (tab && WindowInternal::Ordinal(m, *tab) == sel && sheet->currentIndex() != cv.tabIndex)
                    sheet->setCurrentIndex(cv.tabIndex);
            }
        break;
    }
    case ControlKind::Image: {
        auto* l = static_cast<QLabel*>(w);
        std::string file = c.Get(Prop::Icon).Str();
        QPixmap pm = Pictures::Picture(file, w->width(), w->height());
        if (l->property("varnPicture").toString() != Q(file) || l->pixmap().size() != pm.size()) {
            l->setPixmap(pm);
            l->setProperty("varnPicture", Q(file));
        }
        break;
    }
    case ControlKind::Progress: {
        auto* p = static_cast<QProgressBar*>(w);
        int low = static_cast<int>(c.Get(Prop::RangeLow).Int()), high = static_cast<int>(c.Get(Prop::RangeHigh).Int());
        if (high <= low)
            high = low + 100;
        p->setRange(low, high);
        p->setValue(std::clamp(static_cast<int>(c.Get(Prop::Value).Int()), low, high));
        break;
    }
    case ControlKind::Box: {
        auto* f = static_cast<QFrame*>(w);
        long long color = c.Get(Prop::Color).Int();
        f->setFrameShape(QtStyle::HasColor(color) ? QFrame::NoFrame : QFrame::Box);
        break;
    }
    case ControlKind::Line: {
        auto* f = static_cast<QFrame*>(w);
        f->setFrameShape(w->width() >= w->height() ? QFrame::HLine : QFrame::VLine);
        break;
    }
    default:
        break;
    }
}

void WindowView::ApplyWindow(WindowModel& m, bool first)
{
    QWidget* top = Top();
    std::string title = m.Get(Prop::Text).Str();
    if (first || title != title_) {
        title_ = title;
        (shell_ && sub_ ? static_cast<QWidget*>(shell_) : top)->setWindowTitle(Q(title));
        if (sub_)
            sub_->setWindowTitle(Q(title));
    }
    std::string icon = m.Get(Prop::Icon).Str();
    if (first || icon != icon_) {
        icon_ = icon;
        QIcon qi = Pictures::Icon(icon.empty() ? std::string("varn4.ico") : icon);
        top->setWindowIcon(qi);
    }
    if (mdi_) {
        std::string wall = m.Get(Prop::Wallpaper).Str();
        if (first || wall != wallpaper_) {
            wallpaper_ = wall;
            QPixmap pm = Pictures::Picture(wall);
            mdi_->setBackground(pm.isNull() ? QBrush(QColor(0x80, 0x80, 0x80)) : QBrush(pm));
        }
    }
    if (client_) {
        long long color = m.Get(Prop::Color).Int();
        ApplyColors(client_, color, -1);
    }
    // Status bar zones.
    for (size_t i = 0; i < zones_.size(); ++i) {
        auto it = m.indexed.find({static_cast<int>(Prop::StatusText), static_cast<int>(i) + 1});
        QString t = it == m.indexed.end() ? QString() : Q(it->second.Str());
        if (zones_[i]->text() != t)
            zones_[i]->setText(t);
    }
    if (main_) {
        // Below a dialog of its thread the frame's own menus and tools do not answer.
        main_->menuBar()->setEnabled(reachable_);
        for (QToolBar* bar : main_->findChildren<QToolBar*>())
            bar->setEnabled(reachable_);
    } else if (shell_) {
        if (shell_->isEnabled() != reachable_) {
            // Disabled, the control that had the frame's focus loses it, and when the frame is
            // activated next (the message before the dialog closes, the dialog opens) Qt gives
            // the focus to the first control it finds: one of another window inside the frame,
            // which then becomes the active window (maximised in a maximised layout). The
            // sub-window keeps the frame's focus instead and hands it back to its control when
            // it takes input again.
            QWidget* focus = sub_ ? sub_->window()->focusWidget() : nullptr;
            const bool keep = sub_ && focus && sub_->isAncestorOf(focus);
            shell_->setEnabled(reachable_);
            if (sub_ && !reachable_ && keep)
                sub_->setFocus(Qt::OtherFocusReason);
            if (sub_ && reachable_ && sub_->window()->focusWidget() == sub_)
                RestoreFocus();
        }
    }

    // Place and size: the model's units; the program's changes win, the user's are reported.
    QRect place(static_cast<int>(m.Get(Prop::Xpos).Int()), static_cast<int>(m.Get(Prop::Ypos).Int()),
                static_cast<int>(m.Get(Prop::Width).Int()), static_cast<int>(m.Get(Prop::Height).Int()));
    if (client_) {
        // The client area holds every control; a window the user can size may get as narrow as
        // the controls that follow its right edge allow.
        int right = 0, bottom = 0, narrowest = 0;
        for (auto& c : m.controls) {
            auto it = ctls_.find(c.id);
            if (it == ctls_.end() || !it->second.widget || it->second.inToolbar || IsMenuKind(c.kind) ||
                c.kind == ControlKind::Toolbar || HiddenOnItsPage(m, c, 0))
                continue;
            QRect u = UnitsRect(c, it->second);
            right = std::max(right, u.right() + 1);
            bottom = std::max(bottom, u.bottom() + 1);
            // In pixels as laid out: a control's edge may round a pixel past its units' edge.
            const bool follows = it->second.growX || it->second.moveX;
            narrowest = std::max(narrowest, follows ? ToPixels(std::max(m.desc.w, u.right() + 1) - it->second.slackX)
                                                    : ToPixels(u.x()) + ToPixels(u.width()));
        }
        // A margin only where the controls reach past the window's own size: a background that
        // fills the window exactly leaves no strip beside it.
        designedClient_ = QSize(ToPixels(right > m.desc.w ? right + 6 : m.desc.w),
                                ToPixels(bottom > m.desc.h ? bottom + 6 : m.desc.h));
        QSize need(ToPixels(right > place.width() ? right + 6 : place.width()),
                   ToPixels(bottom > place.height() ? bottom + 6 : place.height()));
        // The smallest a window the user can size may get, with the margin only where controls
        // reach past its present size: controls its owner lays out to fill the window would
        // otherwise widen it a margin at each of its placement reports, without end.
        const int placeWidth = ToPixels(place.width());
        QSize smallest(narrowest > placeWidth ? narrowest + ToPixels(6) : narrowest,
                       ToPixels(bottom > place.height() ? bottom + 6 : bottom));
        // A window whose owner lays its controls out to the window's size says itself how small
        // it may get; its controls' present extent would hold it at the size it has.
        if (const long long w = m.Get(Prop::MinWidth).Int(); w > 0)
            smallest.setWidth(ToPixels(w));
        if (const long long h = m.Get(Prop::MinHeight).Int(); h > 0)
            smallest.setHeight(ToPixels(h));
        // A stored size larger than the screen (a window a user can size) is not forced on it,
        // but the window never comes up smaller than its controls allow.
        if (m.desc.resizable && QGuiApplication::primaryScreen())
            need = need.boundedTo(QGuiApplication::primaryScreen()->availableSize()).expandedTo(smallest);
        // Inside the frame the room is the frame's area less the window's own border and title.
        if (m.desc.resizable && sub_ && sub_->mdiArea()) {
            const int border = sub_->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub_);
            const int title = sub_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub_);
            // The window's menu bar, tool bars and status bar take their part of the room too.
            const int bars = shell_ ? std::max(0, shell_->sizeHint().height() - client_->sizeHint().height()) : 0;
            const QSize room = sub_->mdiArea()->viewport()->size() - QSize(2 * border, title + 2 * border + bars);
            if (room.width() > 100 && room.height() > 100)
                need = need.boundedTo(room).expandedTo(smallest);
        }
        client_->setProperty("varnLeast", m.desc.resizable ? smallest : need);
        if (!m.desc.resizable || first)
            client_->setMinimumSize(need);
        if (m.desc.resizable && !first)
            client_->setMinimumSize(smallest);
    }
    if (first || place != appliedPlace_) {
        appliedPlace_ = place;
        if (main_) {
            QSize size(ToPixels(place.width()), ToPixels(place.height()));
            if (place.width() <= 300 && place.height() <= 200) {
                QScreen* screen = QApplication::primaryScreen();
                QSize avail = screen ? screen->availableSize() : QSize(1280, 800);
                size = QSize(std::min(1100, avail.width() * 9 / 10), std::min(760, avail.height() * 9 / 10));
            }
            QPoint at = main_->pos();
            const bool placed = place.x() || place.y();
            if (placed) {
                at = QPoint(ToPixels(place.x()), ToPixels(place.y()));
            } else if (first) {
                // Without a place of its own the frame stands in the middle of the screen, where
                // the program knows it: a window manager's own choice would leave the windows
                // centred on the frame (the welcome window) somewhere else.
                if (QScreen* screen = QApplication::primaryScreen()) {
                    const QRect room = screen->availableGeometry();
                    at = QPoint(room.x() + (room.width() - size.width()) / 2, room.y() + (room.height() - size.height()) / 2);
                }
            }
            KeepOnScreen(at, size);
            main_->resize(size);
            if (placed || first)
                main_->move(at);
        } else if (shell_) {
            shell_->adjustSize();
            QSize size = shell_->sizeHint().expandedTo(shell_->minimumSizeHint());
            if (sub_) {
                QSize subSize = sub_->sizeHint().expandedTo(size);
                QPoint at(ToPixels(place.x()), ToPixels(place.y()));
                KeepInArea(at, subSize, m.desc.resizable);
                sub_->resize(subSize);
                if (place.x() || place.y() || !first)
                    sub_->move(at);
                // A window the program puts at the area's right edge (a side window) gets its
                // column when it opens: the windows it would cover give up width for it.
                if (first && ToPixels(place.x()) > at.x())
                    MakeRoomLeftOf(sub_, at.x());
            } else {
                QPoint at(ToPixels(place.x()), ToPixels(place.y()));
                if (place.x() || place.y())
                    KeepOnScreen(at, size);
                shell_->resize(size);
                if (place.x() || place.y())
                    shell_->move(at);
                else if (first && shell_->parentWidget()) {
                    // Centred on its owner and inside the screen, both with their borders (the
                    // window gets the owner's, as it has none before it is shown). A maximised
                    // owner fills the screen's room, also before the window system has reported
                    // its new size.
                    QWidget* owner = shell_->parentWidget()->window();
                    QRect room = owner->frameGeometry();
                    if (owner->isFullScreen() && owner->screen())
                        room = owner->screen()->geometry();
                    else if (owner->isMaximized() && owner->screen())
                        room = owner->screen()->availableGeometry();
                    QSize outer = size + (owner->frameGeometry().size() - owner->geometry().size());
                    QPoint centred(room.x() + (room.width() - outer.width()) / 2,
                                   room.y() + (room.height() - outer.height()) / 2);
                    KeepOnScreen(centred, outer);
                    shell_->move(centred);
                }
            }
        }
        if (!m.desc.resizable && shell_ && !sub_)
            shell_->setFixedSize(shell_->size());
    }
    bool maximize = m.Get(Prop::Maximize).Bool(), iconize = m.Get(Prop::Iconize).Bool();
    if (first) {
        if (maximize)
            top->showMaximized();
        else if (iconize)
            top->showMinimized();
        else {
            top->show();
            // A window without a place of its own is put by the frame's area beside the others,
            // where it may run over the area's edge: it is kept inside as a placed one is.
            if (sub_ && !appliedPlace_.x() && !appliedPlace_.y()) {
                QPoint at = sub_->pos();
                QSize size = sub_->size();
                KeepInArea(at, size, m.desc.resizable);
                if (at != sub_->pos() || size != sub_->size())
                    sub_->setGeometry(QRect(at, size));
            }
        }
        appliedMax_ = maximize;
        appliedMin_ = iconize;
        shown_ = true;
        appliedFocus_ = m.focus;
        QTimer::singleShot(0, this, [this, focus = m.focus] {
            QWidget* w = ControlWidget(focus);
            if (w && w->isVisible() && w->isEnabled())
                w->setFocus(Qt::OtherFocusReason);
        });
    } else if (maximize != appliedMax_ || iconize != appliedMin_) {
        appliedMax_ = maximize;
        appliedMin_ = iconize;
        if (maximize)
            top->showMaximized();
        else if (iconize)
            top->showMinimized();
        else
            top->showNormal();
    } else if (shown_ && (top->isMaximized() != appliedMax_ || top->isMinimized() != appliedMin_)) {
        // The window changed its state while the model was being applied (the frame's area put a
        // child it holds maximised back into that state), unheard by the program: the program
        // hears of the state the window really has, and of its size.
        appliedMax_ = top->isMaximized();
        appliedMin_ = top->isMinimized();
        const int win = id_, code = appliedMin_ ? EVENT_ICONIZED : appliedMax_ ? EVENT_MAXIMIZED : EVENT_RESTORED;
        host_.Input([win, code] { return InputWindowEvent(win, code); });
        placeTimer_->start();
    }
}

// ---- input ----------------------------------------------------------------------------------

bool WindowView::CommitEdit(int control)
{
    if (host_.Syncing())
        return true;
    auto it = ctls_.find(control);
    if (it == ctls_.end() || !it->second.widget)
        return true;
    Ctl& v = it->second;
    QString text;
    if (auto* e = qobject_cast<QLineEdit*>(v.widget.data()))
        text = e->text();
    else if (auto* t = qobject_cast<QPlainTextEdit*>(v.widget.data()))
        text = t->toPlainText();
    else if (auto* s = qobject_cast<QSpinBox*>(v.widget.data()))
        text = s->cleanText();
    else if (auto* b = qobject_cast<QComboBox*>(v.widget.data()); b && b->isEditable())
        text = b->currentText();
    else
        return true;
    std::string s = S(text);
    if (s == v.screenText) {
        v.refused.clear();
        return true;
    }
    if (v.kind == ControlKind::Text && QString(text) == Q(v.screenText).replace(QLatin1String("\r\n"), QLatin1String("\n")))
        return true;                        // the same text with the editor's line breaks
    // A field with a picture takes only what its picture reads; the text stays for correcting.
    if (v.kind == ControlKind::Entry && !v.picture.empty()) {
        PropValue value;
        if (!PictureParse(s, v.picture, value)) {
            PictureInput in = ParsePicture(s, v.picture);
            v.refused = in.message.empty() ? std::string("Diese Eingabe ist hier nicht möglich.") : in.message;
            QWidget* w = v.widget;
            w->setProperty("varnRefused", Q(v.refused));
            QToolTip::showText(w->mapToGlobal(QPoint(0, w->height())), Q(v.refused), w);
            ShowStatus(Q(v.refused));
            return false;
        }
    }
    v.refused.clear();
    v.widget->setProperty("varnRefused", QVariant());
    v.screenText = s;
    int win = id_;
    host_.Input([win, control, s] { return InputType(win, control, s); });
    return true;
}

void WindowView::FocusRefused()
{
    for (auto& [id, v] : ctls_)
        if (!v.refused.empty() && v.widget && v.widget->isVisible()) {
            v.widget->setFocus(Qt::OtherFocusReason);
            if (auto* e = qobject_cast<QLineEdit*>(v.widget.data()))
                e->selectAll();
            return;
        }
}

void WindowView::RevertRefused()
{
    for (auto& [id, v] : ctls_)
        if (!v.refused.empty()) {
            v.refused.clear();
            if (auto* e = qobject_cast<QLineEdit*>(v.widget.data()))
                e->setText(Q(v.screenText));
        }
}

bool WindowView::CommitAll()
{
    bool all = true;
    for (auto& [id, v] : ctls_) {
        if (auto* spin = qobject_cast<QSpinBox*>(v.widget.data()))
            spin->interpretText();          // a changed value commits through valueChanged
        else if (v.kind == ControlKind::Entry || v.kind == ControlKind::Text || v.kind == ControlKind::Combo)
            all = CommitEdit(id) && all;
    }
    if (!all)
        FocusRefused();
    return all;
}

void WindowView::PlaceChanged()
{
    if (host_.Syncing())
        return;
    QWidget* top = Top();
    if (!top || top->isMinimized() || (main_ && top->isMaximized()))
        return;
    QRect g = sub_ ? sub_->geometry() : top->geometry();
    QSize inner = client_ ? client_->size() : top->size();
    QRect units(ToUnits(g.x()), ToUnits(g.y()), ToUnits(main_ ? g.width() : inner.width()),
                ToUnits(main_ ? g.height() : inner.height()));
    // A maximised window tells its room only, so that a window placing its controls itself fills
    // it; its own place comes back with the normal size when it is restored.
    if (top->isMaximized())
        units.moveTopLeft(appliedPlace_.isNull() ? QPoint() : appliedPlace_.topLeft());
    if (units == appliedPlace_)
        return;
    appliedPlace_ = units;
    int win = id_;
    host_.Input([win, units] { return InputPlace(win, units.x(), units.y(), units.width(), units.height()); });
}

void WindowView::ShowStatus(const QString& text)
{
    if (status_)
        status_->showMessage(text);
}

bool WindowView::HandleKey(QObject* watched, QKeyEvent* e)
{
    int code = QtStyle::KeyCodeOf(*e);
    if (code == 0)
        return false;
    int control = ControlOf(watched);
    auto it = ctls_.find(control);
    Ctl* v = it == ctls_.end() ? nullptr : &it->second;
    if (v && v->list)
        return false;                       // the list hands its keys to the model itself
    int win = id_;
    const bool byControl = v && std::find(v->alertKeys.begin(), v->alertKeys.end(), code) != v->alertKeys.end();
    const bool byWindow = std::find(windowKeys_.begin(), windowKeys_.end(), code) != windowKeys_.end();
    if (!replaying_ && (byControl || byWindow)) {
        // A control claims its alert keys; the window only wants to hear of Tab and Enter before
        // they do what they do.
        const bool moves = code == Key::TAB || code == Key::SHIFT_TAB || code == Key::ENTER || code == Key::SHIFT_ENTER;
        if (byWindow && !byControl && moves)
            if (auto* w = qobject_cast<QWidget*>(watched))
                alertedKeys_.push_back({w, e->key(), e->modifiers(), e->text()});
        // The program reads the field as it stands on the screen, without an Accepted event.
        std::string screen;
        bool hasScreen = false;
        if (v && v->widget) {
            if (auto* le = qobject_cast<QLineEdit*>(v->widget.data())) {
                screen = S(le->text());
                hasScreen = true;
            } else if (auto* cb = qobject_cast<QComboBox*>(v->widget.data()); cb && cb->isEditable()) {
                screen = S(cb->currentText());
                hasScreen = true;
            }
        }
        host_.Input([win, control, code, screen, hasScreen]() -> std::string {
            if (hasScreen)
                if (WindowModel* m = WindowFind(win))
                    if (ControlModel* c = m->Find(control))
                        c->Set(Prop::ScreenText, screen);
            return InputKey(win, control, code);
        });
        return true;
    }
    if (code == Key::ENTER && v && v->kind == ControlKind::Button) {
        // Enter presses the button that has the focus (Space does too), as a message's buttons
        // are chosen with the arrow keys.
        if (auto* b = qobject_cast<QAbstractButton*>(v->widget.data()); b && b->isEnabled() && b->isVisible()) {
            b->click();
            return true;
        }
        return false;
    }
    if (code == Key::ENTER && v && v->kind != ControlKind::Text) {
        // Enter takes the fields and presses the window's default button, if there is one.
        if (!CommitAll())
            return true;
        host_.Input([win]() -> std::string {
            WindowModel* m = WindowFind(win);
            if (!m)
                return {};
            for (auto& c : m->controls)
                if (c.kind == ControlKind::Button && c.Get(Prop::Default).Bool() &&
                    WindowInternal::Reachable(*m, c.id).empty())
                    return InputPress(win, c.id);
            return {};
        });
        return true;
    }
    if (code == Key::ESC && kind_ == WindowKind::Window) {
        // The window layer decides what Escape does (InputKey), as it does for the driver.
        host_.Input([win, control] { return InputKey(win, control, Key::ESC); });
        return true;
    }
    return false;
}

void WindowView::ShowDefaultButton(QWidget* focus)
{
    // Enter presses a push button that has the focus, so that one is drawn as the default while
    // it has it; with the focus anywhere else the window's default button is.
    auto* focused = qobject_cast<QPushButton*>(focus);
    if (focused && !ControlOf(focused))
        focused = nullptr;
    for (auto& [id, v] : ctls_) {
        if (v.kind != ControlKind::Button || v.inToolbar)
            continue;
        if (auto* b = qobject_cast<QPushButton*>(v.widget.data())) {
            const bool drawn = focused ? b == focused : v.isDefault;
            if (b->isDefault() != drawn)
                b->setDefault(drawn);
        }
    }
}

void WindowView::ReplayAlertedKeys()
{
    std::vector<AlertedKey> keys = std::move(alertedKeys_);
    alertedKeys_.clear();
    for (const AlertedKey& k : keys) {
        if (!k.widget || closing_)
            continue;
        QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text);
        replaying_ = true;
        QCoreApplication::sendEvent(k.widget, &press);
        replaying_ = false;
    }
}

// The splitter follows the mouse up and down while the left button is held; let go, it tells the
// model where it stands, and the window places its neighbours.
bool WindowView::DragSplitter(Ctl& v, QEvent* e)
{
    QWidget* w = v.widget;
    if (!w || host_.Syncing())
        return false;
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() != Qt::LeftButton)
            return false;
        v.grabY = static_cast<int>(me->position().y());
        v.laidOut = w->geometry();
        return true;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (v.grabY < 0 || !(me->buttons() & Qt::LeftButton))
            return false;
        QWidget* parent = w->parentWidget();
        const int y = w->mapToParent(me->position().toPoint()).y() - v.grabY;
        w->move(w->x(), std::clamp(y, 0, parent ? std::max(0, parent->height() - w->height()) : y));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (v.grabY < 0)
            return false;
        v.grabY = -1;
        const int y = v.splitY + ToUnits(w->y() - v.laidOut.y());
        int win = id_, control = v.id;
        host_.Input([win, control, y] { return InputSplit(win, control, y); });
        return true;
    }
    default:
        return false;
    }
}

bool WindowView::eventFilter(QObject* watched, QEvent* e)
{
    if (closing_)
        return false;
    QWidget* top = topWidget_;
    if (watched == top) {
        switch (e->type()) {
        case QEvent::Close:
            if (!host_.Syncing()) {
                CommitAll();
                e->ignore();
                int win = id_;
                host_.Input([win] { return InputClose(win); });
                return true;
            }
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (!host_.Syncing() && shown_)
                placeTimer_->start();
            break;
        case QEvent::WindowStateChange:
            if (!host_.Syncing() && shown_) {
                int win = id_;
                bool min = top->isMinimized(), max = top->isMaximized();
                int code = min ? EVENT_ICONIZED : max ? EVENT_MAXIMIZED : EVENT_RESTORED;
                if (min != appliedMin_ || max != appliedMax_) {
                    appliedMin_ = min;
                    appliedMax_ = max;
                    host_.Input([win, code] { return InputWindowEvent(win, code); });
                }
                // Inside the frame a window becomes the active one without the window system:
                // its program hears of it as of any window the planner brings to the front.
                if (sub_) {
                    const bool was = static_cast<QWindowStateChangeEvent*>(e)->oldState() & Qt::WindowActive;
                    const bool is = sub_->windowState() & Qt::WindowActive;
                    if (was != is) {
                        const int focus = is ? EVENT_GAIN_FOCUS : EVENT_LOSE_FOCUS;
                        host_.Input([win, focus] { return InputWindowEvent(win, focus); });
                    }
                }
            }
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            // The frame's activation reaches every window inside it: only the active one gains
            // the focus.
            if (sub_ && sub_->mdiArea() && sub_->mdiArea()->activeSubWindow() != sub_)
                break;
            if (!host_.Syncing() && shown_) {
                if (e->type() == QEvent::WindowDeactivate)
                    CommitAll();
                int win = id_;
                int code = e->type() == QEvent::WindowActivate ? EVENT_GAIN_FOCUS : EVENT_LOSE_FOCUS;
                host_.Input([win, code] { return InputWindowEvent(win, code); });
            }
            break;
        case QEvent::KeyPress:
            // Below a dialog of its thread a window inside the frame (its sub-window keeping the
            // frame's focus) takes no keys.
            if (!host_.Syncing() && (reachable_ || !sub_) && HandleKey(watched, static_cast<QKeyEvent*>(e)))
                return true;
            break;
        default:
            break;
        }
        return false;
    }
    if (watched == client_ && e->type() == QEvent::Resize) {
        Relayout();
        return false;
    }
    if (auto it = ctls_.find(ControlOf(watched)); it != ctls_.end() && it->second.splitter && it->second.widget == watched)
        if (DragSplitter(it->second, e))
            return true;
    switch (e->type()) {
    case QEvent::FocusIn: {
        int control = ControlOf(watched);
        if (control)
            lastFocus_ = qobject_cast<QWidget*>(watched);
        ShowDefaultButton(qobject_cast<QWidget*>(watched));
        if (!host_.Syncing() && control && control != modelFocus_) {
            modelFocus_ = control;
            int win = id_;
            host_.Input([win, control] { return InputFocus(win, control); });
        }
        auto it = ctls_.find(control);
        if (it != ctls_.end() && it->second.widget)
            ShowStatus(it->second.widget->statusTip());
        break;
    }
    case QEvent::FocusOut:
        // A field is taken whenever it loses the focus, for whatever reason; one that refuses its
        // text keeps the focus, unless a button takes it (the button decides).
        if (int control = ControlOf(watched); control && !CommitEdit(control) &&
                                              static_cast<QFocusEvent*>(e)->reason() != Qt::ActiveWindowFocusReason)
            QTimer::singleShot(0, this, [this] {
                if (!qobject_cast<QAbstractButton*>(QApplication::focusWidget()))
                    FocusRefused();
            });
        break;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (e->type() == QEvent::KeyPress && !Storable(static_cast<QKeyEvent*>(e)->text()))
            return true;                    // what the stored text cannot hold is not typed
        if (!host_.Syncing()) {
            auto* ke = static_cast<QKeyEvent*>(e);
            if (e->type() == QEvent::ShortcutOverride) {
                // An alert key wins over the shortcuts of menus and the field's own keys.
                int code = QtStyle::KeyCodeOf(*ke);
                int control = ControlOf(watched);
                auto it = ctls_.find(control);
                bool alerted = code && (std::find(windowKeys_.begin(), windowKeys_.end(), code) != windowKeys_.end() ||
                                        (it != ctls_.end() && std::find(it->second.alertKeys.begin(), it->second.alertKeys.end(), code) != it->second.alertKeys.end()));
                if (alerted && !(it != ctls_.end() && it->second.list)) {
                    e->accept();
                    return true;
                }
                // A command key of a window inside the frame wins over the frame's menu letters
                // around it (Alt+D of "Definitionspool" against the frame's "Datei"), which Qt
                // would call ambiguous and run neither: taken here, run on the key press.
                if (OwnAltCommand(*ke)) {
                    e->accept();
                    return true;
                }
                break;
            }
            if (QAction* command = OwnAltCommand(*ke)) {
                // Delivered as the shortcut Qt would have delivered, so it runs as a shortcut does.
                QShortcutEvent shortcut(command->shortcut(), 0, false);
                QCoreApplication::sendEvent(command, &shortcut);
                return true;
            }
            if (HandleKey(watched, ke))
                return true;
        }
        break;
    default:
        break;
    }
    return false;
}
