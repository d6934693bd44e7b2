#include "platform/ui/WindowModel.h"

#include <cstdio>
#include <cstdlib>

const char* ControlKindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Button: return "Button";
    case ControlKind::Prompt: return "Prompt";
    case ControlKind::String: return "String";
    case ControlKind::Entry: return "Entry";
    case ControlKind::Text: return "Text";
    case ControlKind::Spin: return "Spin";
    case ControlKind::Check: return "Check";
    case ControlKind::Option: return "Option";
    case ControlKind::Radio: return "Radio";
    case ControlKind::DropList: return "DropList";
    case ControlKind::Combo: return "Combo";
    case ControlKind::List: return "List";
    case ControlKind::Sheet: return "Sheet";
    case ControlKind::Tab: return "Tab";
    case ControlKind::Menubar: return "Menubar";
    case ControlKind::Menu: return "Menu";
    case ControlKind::Item: return "Item";
    case ControlKind::Separator: return "Separator";
    case ControlKind::Toolbar: return "Toolbar";
    case ControlKind::Image: return "Image";
    case ControlKind::Progress: return "Progress";
    case ControlKind::Group: return "Group";
    case ControlKind::Panel: return "Panel";
    case ControlKind::Box: return "Box";
    case ControlKind::Line: return "Line";
    }
    return "?";
}

UseVar::UseVar(std::string& v)
    : get_([&v] { return PropValue(v); }), set_([&v](const PropValue& x) { v = x.Str(); }), numeric_(false)
{
}

UseVar::UseVar(double& v)
    : get_([&v] {
          char buf[64];
          std::snprintf(buf, sizeof buf, "%.10g", v);
          return PropValue(std::string(buf));
      }),
      set_([&v](const PropValue& x) { v = std::strtod(x.Str().c_str(), nullptr); }), numeric_(true)
{
}

UseVar::UseVar(std::function<PropValue()> get, std::function<void(const PropValue&)> set, bool numeric)
    : get_(std::move(get)), set_(std::move(set)), numeric_(numeric)
{
}

namespace Ctl {
namespace {
ControlDesc Make(ControlKind kind, std::string text = {})
{
    ControlDesc d;
    d.kind = kind;
    d.text = std::move(text);
    return d;
}
} // namespace

ControlDesc Button(std::string text) { return Make(ControlKind::Button, std::move(text)); }
ControlDesc Prompt(std::string text) { return Make(ControlKind::Prompt, std::move(text)); }
ControlDesc String(std::string text) { return Make(ControlKind::String, std::move(text)); }
ControlDesc Entry(std::string picture)
{
    auto d = Make(ControlKind::Entry);
    d.picture = std::move(picture);
    return d;
}
ControlDesc Text() { return Make(ControlKind::Text); }
ControlDesc Spin(std::string picture, int low, int high, int step)
{
    auto d = Make(ControlKind::Spin);
    d.picture = std::move(picture);
    d.Range(low, high, step);
    return d;
}
ControlDesc Check(std::string text) { return Make(ControlKind::Check, std::move(text)); }
ControlDesc Option(std::string text) { return Make(ControlKind::Option, std::move(text)); }
ControlDesc Radio(std::string text, std::string value)
{
    auto d = Make(ControlKind::Radio, std::move(text));
    d.value = std::move(value);
    return d;
}
ControlDesc DropList(std::string format)
{
    auto d = Make(ControlKind::DropList);
    d.format = std::move(format);
    return d;
}
ControlDesc Combo(std::string picture, std::string format)
{
    auto d = Make(ControlKind::Combo);
    d.picture = std::move(picture);
    d.format = std::move(format);
    return d;
}
ControlDesc List(std::string format)
{
    auto d = Make(ControlKind::List);
    d.format = std::move(format);
    return d;
}
ControlDesc Sheet() { return Make(ControlKind::Sheet); }
ControlDesc Tab(std::string text) { return Make(ControlKind::Tab, std::move(text)); }
ControlDesc Menubar() { return Make(ControlKind::Menubar); }
ControlDesc Menu(std::string text) { return Make(ControlKind::Menu, std::move(text)); }
ControlDesc Item(std::string text) { return Make(ControlKind::Item, std::move(text)); }
ControlDesc CheckItem(std::string text)
{
    auto d = Make(ControlKind::Item, std::move(text));
    d.checkable = true;
    return d;
}
ControlDesc RadioItem(std::string text)
{
    auto d = Make(ControlKind::Item, std::move(text));
    d.checkable = true;
    d.radioItem = true;
    return d;
}
ControlDesc Separator() { return Make(ControlKind::Separator); }
ControlDesc Toolbar() { return Make(ControlKind::Toolbar); }
ControlDesc Image(std::string file)
{
    auto d = Make(ControlKind::Image);
    d.icon = std::move(file);
    return d;
}
ControlDesc Progress(int low, int high)
{
    auto d = Make(ControlKind::Progress);
    d.Range(low, high);
    return d;
}
ControlDesc Group(std::string text) { return Make(ControlKind::Group, std::move(text)); }
ControlDesc Panel() { return Make(ControlKind::Panel); }
ControlDesc Box(int color)
{
    auto d = Make(ControlKind::Box);
    d.color = color;
    return d;
}
ControlDesc Line() { return Make(ControlKind::Line); }
} // namespace Ctl

PropValue ControlModel::Get(Prop p) const
{
    auto it = props.find(static_cast<int>(p));
    return it == props.end() ? PropValue() : it->second;
}

void ControlModel::Set(Prop p, PropValue v) { props[static_cast<int>(p)] = std::move(v); }

ControlModel* WindowModel::Find(int control)
{
    for (auto& c : controls)
        if (c.id == control)
            return &c;
    return nullptr;
}

const ControlModel* WindowModel::Find(int control) const
{
    for (auto& c : controls)
        if (c.id == control)
            return &c;
    return nullptr;
}

ControlModel* WindowModel::FindByName(const std::string& name)
{
    for (auto& c : controls)
        if (!c.name.empty() && c.name == name)
            return &c;
    return nullptr;
}

PropValue WindowModel::Get(Prop p) const
{
    auto it = props.find(static_cast<int>(p));
    return it == props.end() ? PropValue() : it->second;
}

void WindowModel::Set(Prop p, PropValue v) { props[static_cast<int>(p)] = std::move(v); }
