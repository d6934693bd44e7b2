#include "worksheets/InspektorWindow.h"

#include "core/Projektmanager.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {
// One list for every kind; the one-thread-at-a-time rule guards it.
std::vector<CInspektor*>& OpenList()
{
    static std::vector<CInspektor*> open;
    return open;
}

void Leave(CInspektor* inspector)
{
    auto& open = OpenList();
    open.erase(std::remove(open.begin(), open.end(), inspector), open.end());
}
} // namespace

CInspektor::~CInspektor() { Leave(this); }

void CInspektor::Notify()
{
    if (IsActive())
        PostToOwner(EventRefresh);
}

bool CInspektor::IsDocked() const
{
    if (!IsActive())
        return true;
    return PropertyGet(WIN, 0, Prop::Docked, 0).Int() != DOCKED_FLOAT;
}

void CInspektor::SetHidden(bool hidden)
{
    if (!IsActive() || !WindowExists(WIN))
        return;
    if (PropertyGet(WIN, 0, Prop::Hide, 0).Bool() != hidden)
        SetWindowProperty(WIN, Prop::Hide, hidden ? 1 : 0);
}

void CInspektor::Close()
{
    if (!IsActive())
        return;
    CloseRequest();
    // The inspector's own thread closes its window itself and has nobody to wait for.
    if (ThreadCurrent() != THREAD)
        Wait(EventVisualClosed);
}

std::vector<CInspektor*> CInspektor::OpenWindows(int kind)
{
    std::vector<CInspektor*> result;
    for (CInspektor* i : OpenList())
        if (i->KIND == kind)
            result.push_back(i);
    return result;
}

// ---- the window ---------------------------------------------------------------------------------

InspektorWindow::InspektorWindow(CInspektor& inspector, std::string procedureName)
    : FwWindow(std::move(procedureName)), INSPEKTOR(inspector)
{
}

WindowDesc InspektorWindow::Describe(const std::string& title, int width, int height, bool caption)
{
    WindowDesc d;
    d.title = title;
    d.kind = WindowKind::MdiChild;
    d.icon = "Tabelle.ico";
    d.fontName = "Tahoma";
    d.resizable = true;
    d.w = width;
    d.h = height;
    if (!caption)
        return d;
    d.Add(Ctl::Panel().Id(INSPEKTOR_CAPTION).At(0, 0, width, kInspektorCaptionHeight));
    d.Add(Ctl::Prompt(title).Id(INSPEKTOR_CAPTION_TEXT).At(4, 1, width - 24, kInspektorCaptionHeight - 2));
    d.Add(Ctl::Button("x").Id(INSPEKTOR_CLOSE).Name("?Schliessen").Tip("Inspektor schließen")
              .At(width - 14, 1, 12, kInspektorCaptionHeight - 2));
    return d;
}

int InspektorWindow::OpenInspector(const WindowDesc& desc)
{
    const int level = FwWindow::Setup();
    if (level != LEVEL_BENIGN)
        return level;
    OpenList().push_back(&INSPEKTOR);
    CreateWindow(desc);
    OpenWindow();
    RegisterHotKeys();
    return LEVEL_BENIGN;
}

void InspektorWindow::Dock(bool docked)
{
    if (ControlKindOf(INSPEKTOR_CAPTION) != ControlKind::Panel)
        return;
    const bool captionHidden = PropertyGet(INSPEKTOR_CAPTION, Prop::Hide).Bool();
    if (docked == !captionHidden)
        return;
    const int height = int(PropertyGet(INSPEKTOR_CAPTION, Prop::Height).Int());
    const int shift = docked ? height : -height;
    if (docked)
        ControlUnhide(INSPEKTOR_CAPTION, INSPEKTOR_CLOSE);
    else
        ControlHide(INSPEKTOR_CAPTION, INSPEKTOR_CLOSE);
    if (BODY != 0) {
        PropertySet(BODY, Prop::Ypos, PropertyGet(BODY, Prop::Ypos).Int() + shift);
        PropertySet(BODY, Prop::Height, std::max<long long>(0, PropertyGet(BODY, Prop::Height).Int() - shift));
    }
}

int InspektorWindow::OnEvent()
{
    // The optimiser's candidates must not be read half made.
    if (OptimizationRunning) {
        EventSkipDefault();
        return LEVEL_NOTIFY;
    }
    switch (EventCurrent()) {
    case EVENT_DOCKED:
    case EVENT_UNDOCKED:
        Dock(EventCurrent() == EVENT_DOCKED);
        break;
    case EventRefresh:
    case EVENT_RESUME:
        Refresh(true);
        return LEVEL_BENIGN;
    case EVENT_CLOSE_WINDOW:
    case EVENT_CLOSE_DOWN:
        if (INSPEKTOR.CloseRequest() != 0) {
            EventSkipDefault();
            return LEVEL_NOTIFY;
        }
        break;
    default:
        break;
    }
    return FwWindow::OnEvent();
}

int InspektorWindow::OnAccepted()
{
    if (EventAccepted() == INSPEKTOR_CLOSE) {
        UpdateComponents();
        EventPost(EVENT_CLOSE_WINDOW);
        return LEVEL_BENIGN;
    }
    return FwWindow::OnAccepted();
}

void InspektorWindow::Refresh(bool force)
{
    if (DeferRefresh(force))
        return;
    for (CInspektor* other : CInspektor::OpenWindows(INSPEKTOR.GetKind()))
        other->SetHidden(other != &INSPEKTOR);
    RefreshContent();
    FwWindow::Refresh(force);
}

int InspektorWindow::Teardown()
{
    INSPEKTOR.Reset();
    Leave(&INSPEKTOR);
    return FwWindow::Teardown();
}
