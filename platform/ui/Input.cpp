#include "platform/ui/Input.h"

#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowInternal.h"
#include "platform/values/Locale.h"

#include <algorithm>

using namespace WindowInternal;

namespace {

std::string Reach(int window, int control, WindowModel*& w, ControlModel*& c)
{
    w = WindowFind(window);
    c = nullptr;
    if (!w)
        return LocaleMessageOr("Eingabe.KeinFenster", "kein Fenster %1", {std::to_string(window)});
    std::string why = Reachable(*w, control);
    if (!why.empty())
        return why;
    if (control)
        c = w->Find(control);
    return {};
}

void Post(WindowModel& w, int code, int control, int key = 0, int row = 0)
{
    Event e;
    e.code = code;
    e.control = control;
    e.window = w.id;
    e.keyCode = key;
    e.row = row;
    PostTo(w, e);
}

bool IsKind(const ControlModel* c, std::initializer_list<ControlKind> kinds)
{
    return c && std::find(kinds.begin(), kinds.end(), c->kind) != kinds.end();
}

} // namespace

std::string InputPress(int window, int control)
{
    WindowModel* w;
    ControlModel* c;
    if (auto why = Reach(window, control, w, c); !why.empty())
        return why;
    if (!IsKind(c, {ControlKind::Button, ControlKind::Item, ControlKind::Check, ControlKind::Radio}))
        return "Steuerelement " + std::to_string(control) + " lässt sich nicht drücken";
    if (c->kind == ControlKind::Check)
        return InputCheck(window, control, !c->Get(Prop::Checked).Bool());
    if (c->kind == ControlKind::Radio)
        return InputChoose(window, control);
    int style = c->itemStyle;
    if (c->kind == ControlKind::Item && style == 1)
        c->Set(Prop::Checked, !c->Get(Prop::Checked).Bool());
    if (c->kind == ControlKind::Item && style == 2) {
        for (auto& other : w->controls)
            if (other.parent == c->parent && other.kind == ControlKind::Item && other.itemStyle == 2)
                other.Set(Prop::Checked, other.id == c->id);
    }
    Changed(*w);
    Post(*w, EVENT_ACCEPTED, control);
    return {};
}

std::string InputType(int window, int control, const std::string& text)
{
    WindowModel* w;
    ControlModel* c;
    if (auto why = Reach(window, control, w, c); !why.empty())
        return why;
    if (!IsKind(c, {ControlKind::Entry, ControlKind::Text, ControlKind::Spin, ControlKind::Combo}))
        return "in Steuerelement " + std::to_string(control) + " lässt sich nicht schreiben";
    if (c->Get(Prop::ReadOnly).Bool())
        return "Steuerelement " + std::to_string(control) + " ist schreibgeschützt";
    w->focus = control;
    c->Set(Prop::ScreenText, text);
    Changed(*w);
    Post(*w, EVENT_ACCEPTED, control);
    return {};
}

std::string InputCheck(int window, int control, bool on)
{
    WindowModel* w;
    ControlModel* c;
    if (auto why = Reach(window, control, w, c); !why.empty())
        return why;
    if (!IsKind(c, {ControlKind::Check}))
        return "Steuerelement " + std::to_string(control) + " ist kein Kontrollkästchen";
    w->focus = control;
    c->Set(Prop::Checked, on);
    Changed(*w);
    Post(*w, EVENT_ACCEPTED, control);
    return {};
}

std::string InputChoose(int window, int control)
{
    WindowModel* w;
    ControlModel* c;
    w = WindowFind(window);
    if (!w)
        return LocaleMessageOr("Eingabe.KeinFenster", "kein Fenster %1", {std::to_string(window)});
    c = w->Find(control);
    if (!IsKind(c, {ControlKind::Radio, ControlKind::Tab}))
        return "Steuerelement " + std::to_string(control) + " ist weder Optionsfeld noch Registerkarte";
    ControlModel* parent = w->Find(c->parent);
    if (!parent)
        return "Steuerelement " + std::to_string(control) + " gehört zu keiner Gruppe";
    // A tab of a sheet is reachable while its sheet is, whichever tab is shown.
    if (auto why = Reachable(*w, c->kind == ControlKind::Tab ? parent->id : control); !why.empty())
        return why;
    if (c->kind == ControlKind::Tab && c->Get(Prop::Disable).Bool())
        return "Registerkarte " + std::to_string(control) + " ist gesperrt";
    int ord = Ordinal(*w, *c);
    parent->Set(Prop::Selected, ord);
    if (c->kind == ControlKind::Radio) {
        std::string v = c->Get(Prop::Value).Str();
        parent->Set(Prop::Value, v.empty() ? PropValue(ord) : PropValue(v));
        for (auto& r : w->controls)
            if (r.parent == parent->id && r.kind == ControlKind::Radio)
                r.Set(Prop::Checked, r.id == c->id);
        w->focus = control;
        Changed(*w);
        Post(*w, EVENT_ACCEPTED, parent->id);
    } else {
        Changed(*w);
        Post(*w, EVENT_NEW_SELECTION, parent->id);
    }
    return {};
}

std::string InputChooseRow(int window, int control, int64_t row, int column)
{
    WindowModel* w;
    ControlModel* c;
    if (auto why = Reach(window, control, w, c); !why.empty())
        return why;
    if (!IsKind(c, {ControlKind::List, ControlKind::DropList, ControlKind::Combo}))
        return "Steuerelement " + std::to_string(control) + " ist keine Liste";
    int64_t rows = c->source ? c->source->RowCount() : 0;
    if (row < 1 || row > rows)
        return "Zeile " + std::to_string(row) + " gibt es nicht (" + std::to_string(rows) + " Zeilen)";
    w->focus = control;
    c->Set(Prop::Selected, static_cast<long long>(row));
    if (column > 0)
        c->Set(Prop::Column, column);
    if (c->kind == ControlKind::Combo)
        c->Set(Prop::ScreenText, c->source->Field(row, 1));
    Changed(*w);
    Post(*w, EVENT_NEW_SELECTION, control);
    if (c->kind != ControlKind::List)
        Post(*w, EVENT_ACCEPTED, control);
    return {};
}

std::string InputFocus(int window, int control)
{
    WindowModel* w;
    ControlModel* c;
    if (auto why = Reach(window, control, w, c); !why.empty())
        return why;
    if (w->focus != control) {
        w->focus = control;
        Changed(*w);
    }
    Post(*w, EVENT_SELECTED, control);
    return {};
}

std::string InputKey(int window, int control, int keyCode)
{
    WindowModel* w;
    ControlModel* c;
    if (auto why = Reach(window, control, w, c); !why.empty())
        return why;
    if (c && (c->kind == ControlKind::List || c->kind == ControlKind::DropList)) {
        WindowMessage m;
        m.kind = WindowMessage::Kind::KeyDown;
        m.key = keyCode;
        PostMessage(*w, control, m);
        m.kind = WindowMessage::Kind::KeyUp;
        PostMessage(*w, control, m);
        return {};
    }
    // Other keys belong to the control itself (the renderer's widget); only alerted keys are events.
    if (Alerted(*w, c, keyCode))
        Post(*w, EVENT_ALERT_KEY, control, keyCode);
    else if (ClosesOnEscape(*w, keyCode))
        Post(*w, EVENT_CLOSE_WINDOW, 0);
    return {};
}

std::string InputMouse(int window, int control, WindowMessage message)
{
    WindowModel* w;
    ControlModel* c;
    if (auto why = Reach(window, control, w, c); !why.empty())
        return why;
    if (!IsKind(c, {ControlKind::List}))
        return "Steuerelement " + std::to_string(control) + " ist keine Liste";
    PostMessage(*w, control, message);
    return {};
}

std::string InputExpand(int window, int control, int64_t row, bool expand)
{
    WindowModel* w;
    ControlModel* c;
    if (auto why = Reach(window, control, w, c); !why.empty())
        return why;
    if (!IsKind(c, {ControlKind::List}) || !c->format.hasTree)
        return "Steuerelement " + std::to_string(control) + " ist keine Baumliste";
    int64_t rows = c->source ? c->source->RowCount() : 0;
    if (row < 1 || row > rows)
        return "Zeile " + std::to_string(row) + " gibt es nicht";
    Post(*w, expand ? EVENT_EXPANDED : EVENT_CONTRACTED, control, 0, static_cast<int>(row));
    return {};
}

std::string InputClose(int window)
{
    WindowModel* w = WindowFind(window);
    if (!w)
        return LocaleMessageOr("Eingabe.KeinFenster", "kein Fenster %1", {std::to_string(window)});
    if (auto why = Reachable(*w, 0); !why.empty())
        return why;
    Post(*w, EVENT_CLOSE_WINDOW, 0);
    return {};
}

std::string InputWindowEvent(int window, int code)
{
    WindowModel* w = WindowFind(window);
    if (!w)
        return LocaleMessageOr("Eingabe.KeinFenster", "kein Fenster %1", {std::to_string(window)});
    if (w->state != WindowState::Open)
        return LocaleMessageOr("Eingabe.FensterNichtOffen", "Fenster ist nicht offen");
    if (code == EVENT_UNDOCKED)
        w->Set(Prop::Docked, DOCKED_FLOAT);
    else if (code == EVENT_DOCKED)
        w->Set(Prop::Docked, 0);
    else if (code == EVENT_ICONIZED)
        w->Set(Prop::Iconize, true);
    else if (code == EVENT_MAXIMIZED)
        w->Set(Prop::Maximize, true);
    else if (code == EVENT_RESTORED) {
        w->Set(Prop::Iconize, false);
        w->Set(Prop::Maximize, false);
    }
    Changed(*w);
    Post(*w, code, 0);
    return {};
}

std::string InputPlace(int window, int x, int y, int width, int height)
{
    WindowModel* w = WindowFind(window);
    if (!w)
        return LocaleMessageOr("Eingabe.KeinFenster", "kein Fenster %1", {std::to_string(window)});
    bool moved = w->Get(Prop::Xpos).Int() != x || w->Get(Prop::Ypos).Int() != y;
    bool sized = w->Get(Prop::Width).Int() != width || w->Get(Prop::Height).Int() != height;
    w->Set(Prop::Xpos, x);
    w->Set(Prop::Ypos, y);
    w->Set(Prop::Width, width);
    w->Set(Prop::Height, height);
    Changed(*w);
    if (moved)
        Post(*w, EVENT_MOVED, 0);
    if (sized)
        Post(*w, EVENT_SIZED, 0);
    return {};
}

std::string InputSplit(int window, int control, int y)
{
    WindowModel* w = WindowFind(window);
    if (!w)
        return LocaleMessageOr("Eingabe.KeinFenster", "kein Fenster %1", {std::to_string(window)});
    ControlModel* c = w->Find(control);
    if (!c)
        return "kein Steuerelement " + std::to_string(control);
    c->Set(Prop::Ypos, y);
    Changed(*w);
    Post(*w, EVENT_ACCEPTED, control);
    return {};
}

std::string InputPaint(int window, int control)
{
    WindowModel* w = WindowFind(window);
    if (!w)
        return LocaleMessageOr("Eingabe.KeinFenster", "kein Fenster %1", {std::to_string(window)});
    if (!w->Find(control))
        return "kein Steuerelement " + std::to_string(control);
    WindowMessage m;
    m.kind = WindowMessage::Kind::Paint;
    PostMessage(*w, control, m);
    return {};
}
