#include "platform/headless/HeadlessDriver.h"

#include "platform/ui/WindowInternal.h"

#include <algorithm>
#include <cstdio>

namespace {

// Wildcard match: '*' any text, '?' one character; case counts.
bool Match(const std::string& pattern, const std::string& text)
{
    size_t p = 0, t = 0, star = std::string::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string WithoutAmpersand(const std::string& s)
{
    std::string r;
    for (char c : s)
        if (c != '&')
            r += c;
    return r;
}

} // namespace

// The host's baton for one reading, bounded like every wait of the driver.
class HeadlessDriver::Baton {
public:
    explicit Baton(const HeadlessDriver* d)
    {
        if (!Runtime::HostTryAcquire(d->options_.timeoutMs))
            d->Fail("Der Treiber bekam den Staffelstab nicht");
    }
    ~Baton() { Runtime::HostRelease(); }
};

HeadlessDriver::HeadlessDriver() : HeadlessDriver(Options{}) {}

HeadlessDriver::HeadlessDriver(Options options) : options_(options)
{
    Runtime::Reset(options_.virtualClock);
    Runtime::SetHost(this);
}

HeadlessDriver::~HeadlessDriver()
{
    std::vector<int> left;
    if (!Runtime::WaitAllEnded(0)) {
        // Whatever still runs is unwound: waits end with ThreadAborted, so no test hangs here.
        left = Runtime::Abort(options_.timeoutMs);
    }
    if (!left.empty()) {
        std::fprintf(stderr, "HeadlessDriver: %zu Thread(s) liefen weiter und wurden losgelassen\n", left.size());
        Runtime::SetHost(nullptr);
        return;     // their OS threads are detached; the models stay as they are
    }
    Runtime::SetHost(nullptr);
    Runtime::Reset(true);
}

void HeadlessDriver::Wake() {}

void HeadlessDriver::Fail(const std::string& what) const
{
    throw DriverError(what + "\n" + Runtime::Describe());
}

void HeadlessDriver::Start(std::function<void()> main)
{
    if (Runtime::StartMain(std::move(main)) == 0)
        Fail("Thread 1 konnte nicht gestartet werden");
    started_ = true;
    WaitIdle();
}

void HeadlessDriver::ApplyGeometry()
{
    // Lists get the fixed geometry of this driver: its line height unless the program set one.
    for (int id : WindowList()) {
        WindowModel* w = WindowFind(id);
        if (!w)
            continue;
        for (auto& c : w->controls)
            if (c.kind == ControlKind::List && c.geometry.headerHeight > 0 &&
                c.geometry.headerHeight != options_.listHeaderHeight) {
                c.geometry.headerHeight = options_.listHeaderHeight;
                int body = c.geometry.height - c.geometry.headerHeight;
                c.geometry.visibleRows = c.geometry.lineHeight > 0 && body > 0 ? body / c.geometry.lineHeight : 0;
            }
    }
}

void HeadlessDriver::WaitIdle()
{
    for (;;) {
        if (!Runtime::WaitIdle(options_.timeoutMs))
            Fail("Die Threads wurden nicht untätig (Zeitgrenze " + std::to_string(options_.timeoutMs) + " ms)");
        bool answered = false;
        for (UiRequest* r : Runtime::PendingRequests())
            if (r->kind == UiRequest::Kind::ShellOpen) {
                shellOpens_.push_back({r->file, r->parameters, r->directory, r->minimized, r->thread});
                Runtime::Answer(*r, 0);
                answered = true;
            } else if (r->kind == UiRequest::Kind::Print && r->report) {
                // The asking thread waits, so its report holds still while it is copied.
                prints_.push_back({*r->report, r->fileName, r->thread});
                Runtime::Answer(*r, 0);
                answered = true;
            }
        if (!answered)
            break;
    }
    if (!Runtime::HostTryAcquire(options_.timeoutMs))
        Fail("Der Treiber bekam den Staffelstab nicht");
    ApplyGeometry();
    Runtime::HostRelease();
}

void HeadlessDriver::WaitEnd()
{
    WaitIdle();
    if (!Runtime::WaitAllEnded(options_.timeoutMs))
        Fail("Die Threads endeten nicht (Zeitgrenze " + std::to_string(options_.timeoutMs) + " ms)");
}

bool HeadlessDriver::Ended() const { return Runtime::Threads().empty(); }

int HeadlessDriver::FindWindow(const std::string& titlePattern) const
{
    if (!Runtime::HostTryAcquire(options_.timeoutMs))
        Fail("Der Treiber bekam den Staffelstab nicht");
    int found = 0;
    for (int id : WindowList()) {
        WindowModel* w = WindowFind(id);
        if (w && w->state == WindowState::Open && Match(titlePattern, w->Get(Prop::Text).Str()))
            found = id;
    }
    Runtime::HostRelease();
    return found;
}

int HeadlessDriver::Window(const std::string& titlePattern) const
{
    int w = FindWindow(titlePattern);
    if (w == 0) {
        std::string titles;
        for (int id : Windows())
            titles += " \"" + Title(id) + "\"";
        Fail("Kein offenes Fenster \"" + titlePattern + "\"; offen sind:" + titles);
    }
    return w;
}

std::vector<int> HeadlessDriver::Windows() const
{
    Baton b(this);
    std::vector<int> out;
    for (int id : WindowList())
        if (WindowModel* w = WindowFind(id); w && w->state == WindowState::Open)
            out.push_back(id);
    return out;
}

std::string HeadlessDriver::Title(int window) const
{
    Baton b(this);
    WindowModel* w = WindowFind(window);
    return w ? w->Get(Prop::Text).Str() : std::string();
}

int HeadlessDriver::Control(int window, const std::string& nameOrText) const
{
    int found = 0;
    {
        Baton b(this);
        WindowModel* w = WindowFind(window);
        if (w) {
            for (auto& c : w->controls)
                if (c.name == nameOrText) {
                    found = c.id;
                    break;
                }
            if (!found)
                for (auto& c : w->controls)
                    if (WithoutAmpersand(c.Get(Prop::Text).Str()) == WithoutAmpersand(nameOrText) ||
                        c.Get(Prop::Tip).Str() == nameOrText) {
                        found = c.id;
                        break;
                    }
        }
    }
    if (!found)
        Fail("Kein Steuerelement \"" + nameOrText + "\" im Fenster \"" + Title(window) + "\"");
    return found;
}

void HeadlessDriver::Act(const std::string& refusal, const std::string& what)
{
    if (!refusal.empty())
        Fail(what + ": " + refusal);
    WaitIdle();
}

#define DRIVER_ACT(call, what)                                                                   \
    do {                                                                                         \
        std::string why_;                                                                        \
        {                                                                                        \
            if (!Runtime::HostTryAcquire(options_.timeoutMs))                                    \
                Fail("Der Treiber bekam den Staffelstab nicht");                                 \
            why_ = call;                                                                         \
            Runtime::HostRelease();                                                              \
        }                                                                                        \
        Act(why_, what);                                                                         \
    } while (0)

void HeadlessDriver::Press(int window, int control) { DRIVER_ACT(InputPress(window, control), "Drücken"); }
void HeadlessDriver::Press(int window, const std::string& nameOrText) { Press(window, Control(window, nameOrText)); }
void HeadlessDriver::Type(int window, int control, const std::string& text)
{
    DRIVER_ACT(InputType(window, control, text), "Eingeben");
}
void HeadlessDriver::Check(int window, int control, bool on) { DRIVER_ACT(InputCheck(window, control, on), "Ankreuzen"); }
void HeadlessDriver::Choose(int window, int control) { DRIVER_ACT(InputChoose(window, control), "Wählen"); }
void HeadlessDriver::ChooseRow(int window, int control, int64_t row, int column)
{
    DRIVER_ACT(InputChooseRow(window, control, row, column), "Zeile wählen");
}
void HeadlessDriver::Key(int window, int control, int keyCode) { DRIVER_ACT(InputKey(window, control, keyCode), "Taste"); }
void HeadlessDriver::Mouse(int window, int control, const WindowMessage& message)
{
    DRIVER_ACT(InputMouse(window, control, message), "Maus");
}
void HeadlessDriver::Expand(int window, int control, int64_t row, bool expand)
{
    DRIVER_ACT(InputExpand(window, control, row, expand), "Aufklappen");
}
void HeadlessDriver::Focus(int window, int control) { DRIVER_ACT(InputFocus(window, control), "Fokus"); }
void HeadlessDriver::Close(int window) { DRIVER_ACT(InputClose(window), "Schließen"); }
void HeadlessDriver::Post(int window, int code) { DRIVER_ACT(InputWindowEvent(window, code), "Fensterereignis"); }
void HeadlessDriver::Paint(int window, int control) { DRIVER_ACT(InputPaint(window, control), "Zeichnen"); }

void HeadlessDriver::ChooseMenu(int window, const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '|') {
            parts.push_back(WithoutAmpersand(path.substr(start, i - start)));
            start = i + 1;
        }
    int item = 0;
    {
        Baton b(this);
        WindowModel* w = WindowFind(window);
        int parent = -1;
        if (w) {
            for (size_t k = 0; k < parts.size(); ++k) {
                int next = 0;
                for (auto& c : w->controls) {
                    bool menuLike = c.kind == ControlKind::Menu || c.kind == ControlKind::Item;
                    bool under = parent < 0 ? (w->Find(c.parent) == nullptr || w->Find(c.parent)->kind == ControlKind::Menubar)
                                            : c.parent == parent;
                    if (menuLike && under && WithoutAmpersand(c.Get(Prop::Text).Str()) == parts[k]) {
                        next = c.id;
                        break;
                    }
                }
                if (!next)
                    break;
                if (k + 1 < parts.size()) {
                    WindowModel* wm = w;
                    ControlModel* c = wm->Find(next);
                    if (c->Get(Prop::Disable).Bool() || c->Get(Prop::Hide).Bool())
                        break;
                    parent = next;
                } else {
                    item = next;
                }
            }
        }
    }
    if (!item)
        Fail("Kein Menüpunkt \"" + path + "\" im Fenster \"" + Title(window) + "\"");
    Press(window, item);
}

bool HeadlessDriver::HasMessage() const
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::Message)
            return true;
    return false;
}

MessageRequest HeadlessDriver::Message() const
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::Message)
            return r->message;
    Fail("Keine Meldung offen");
    return {};
}

void HeadlessDriver::AnswerMessage(int button)
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::Message) {
            Runtime::Answer(*r, button);
            WaitIdle();
            return;
        }
    Fail("Keine Meldung offen");
}

bool HeadlessDriver::HasFileDialog() const
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::FileDialog)
            return true;
    return false;
}

UiRequest HeadlessDriver::FileDialogRequest() const
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::FileDialog)
            return *r;
    Fail("Keine Dateiauswahl offen");
    return {};
}

void HeadlessDriver::AnswerFileDialog(const std::string& path)
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::FileDialog) {
            Runtime::Answer(*r, 1, path);
            WaitIdle();
            return;
        }
    Fail("Keine Dateiauswahl offen");
}

void HeadlessDriver::CancelFileDialog()
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::FileDialog) {
            Runtime::Answer(*r, 0);
            WaitIdle();
            return;
        }
    Fail("Keine Dateiauswahl offen");
}

std::vector<ShellOpenRecord> HeadlessDriver::ShellOpens() const { return shellOpens_; }

bool HeadlessDriver::HasPopup() const
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::Popup)
            return true;
    return false;
}

UiRequest HeadlessDriver::Popup() const
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::Popup)
            return *r;
    Fail("Kein Kontextmenü offen");
    return {};
}

void HeadlessDriver::ChoosePopup(int number)
{
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->kind == UiRequest::Kind::Popup) {
            Runtime::Answer(*r, number);
            WaitIdle();
            return;
        }
    Fail("Kein Kontextmenü offen");
}

void HeadlessDriver::ChoosePopup(const std::string& path)
{
    UiRequest r = Popup();
    const std::vector<PopupEntry>* level = &r.popup;
    size_t start = 0;
    for (;;) {
        size_t bar = path.find('|', start);
        std::string part = WithoutAmpersand(path.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        const PopupEntry* hit = nullptr;
        for (const PopupEntry& e : *level)
            if (!e.separator && WithoutAmpersand(e.text) == part)
                hit = &e;
        if (!hit)
            Fail("Kein Menüeintrag \"" + path + "\"");
        if (bar == std::string::npos) {
            if (hit->disabled || hit->number == 0)
                Fail("Menüeintrag \"" + path + "\" ist nicht wählbar");
            ChoosePopup(hit->number);
            return;
        }
        if (hit->disabled)
            Fail("Untermenü \"" + part + "\" ist gesperrt");
        level = &hit->submenu;
        start = bar + 1;
    }
}

PropValue HeadlessDriver::Property(int window, int control, Prop prop, int index) const
{
    Baton b(this);
    return PropertyGet(window, control, prop, index);
}

std::string HeadlessDriver::Text(int window, int control) const
{
    Baton b(this);
    WindowModel* w = WindowFind(window);
    ControlModel* c = w ? w->Find(control) : nullptr;
    if (!c)
        return w && control == 0 ? w->Get(Prop::Text).Str() : std::string();
    if (c->Has(Prop::ScreenText))
        return c->Get(Prop::ScreenText).Str();
    return c->Get(Prop::Text).Str();
}

bool HeadlessDriver::Hidden(int window, int control) const
{
    Baton b(this);
    WindowModel* w = WindowFind(window);
    ControlModel* c = w ? w->Find(control) : nullptr;
    return c ? WindowInternal::HiddenInEffect(*w, *c) : true;
}

bool HeadlessDriver::Disabled(int window, int control) const
{
    Baton b(this);
    WindowModel* w = WindowFind(window);
    ControlModel* c = w ? w->Find(control) : nullptr;
    return c ? WindowInternal::DisabledInEffect(*w, *c) : true;
}

int64_t HeadlessDriver::RowCount(int window, int control) const
{
    Baton b(this);
    return PropertyGet(window, control, Prop::ListRowCount, 0).Int();
}

std::string HeadlessDriver::Cell(int window, int control, int64_t row, int column) const
{
    Baton b(this);
    WindowModel* w = WindowFind(window);
    ControlModel* c = w ? w->Find(control) : nullptr;
    if (!c || !c->source)
        return {};
    if (c->format.columns.empty())
        return column == 1 ? c->source->Field(row, 1) : std::string();
    if (column < 1 || column > static_cast<int>(c->format.columns.size()))
        return {};
    return c->source->Field(row, c->format.columns[static_cast<size_t>(column - 1)].firstField);
}

std::vector<PaintOp> HeadlessDriver::PaintOps(int window, int control) const
{
    Baton b(this);
    return ListPaintOps(window, control);
}

void HeadlessDriver::AdvanceTime(int64_t hundredths)
{
    if (!Runtime::AdvanceClock(hundredths, options_.timeoutMs))
        Fail("Die Threads wurden nach einem Zeitgeber nicht untätig");
    WaitIdle();
}

std::string HeadlessDriver::Describe() const { return Runtime::Describe(); }
