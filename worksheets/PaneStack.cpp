#include "worksheets/PaneStack.h"

#include "platform/ui/Window.h"
#include "platform/ui/WindowModel.h"

#include <algorithm>
#include <string>

std::vector<PanePlace> StackPanes(int top, int height, std::span<const int> weights, int titleHeight)
{
    std::vector<PanePlace> places(weights.size());
    int open = 0;
    size_t lastOpen = weights.size();
    for (size_t i = 0; i < weights.size(); ++i)
        if (weights[i] > 0) {
            open += weights[i];
            lastOpen = i;
        }
    const int forLists = std::max(0, height - int(weights.size()) * titleHeight);
    int y = top;
    int given = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        places[i].top = y;
        y += titleHeight;
        places[i].listTop = y;
        int h = 0;
        if (weights[i] > 0) {
            h = i == lastOpen ? forLists - given : forLists * weights[i] / open;
            given += h;
        }
        places[i].listHeight = h;
        y += h;
    }
    return places;
}

CPaneStack::CPaneStack(std::span<const PaneControls> panes, int titleHeight)
    : PANES(panes), HIDDEN(panes.size(), 0), TITLEHEIGHT(titleHeight)
{
}

void CPaneStack::Describe(WindowDesc& d) const
{
    for (const PaneControls& p : PANES) {
        d.Add(Ctl::Panel().Id(p.bar).At(0, 0, d.w, TITLEHEIGHT).Hidden());
        d.Add(Ctl::Prompt(p.text).Id(p.barText).At(16, 0, 200, TITLEHEIGHT).Hidden());
        d.Add(Ctl::Button("").Id(p.show).Icon("maximized.ico").Tip(std::string(p.text) + " einblenden")
                  .At(2, 0, 12, TITLEHEIGHT - 1).Hidden());
        d.Add(Ctl::Prompt(p.text).Id(p.title).At(16, 0, 200, TITLEHEIGHT));
        d.Add(Ctl::Button("").Id(p.hide).Icon("minimized.ico").Tip(std::string(p.text) + " ausblenden")
                  .At(2, 0, 12, TITLEHEIGHT - 1));
        d.Add(Ctl::List("40L|").Id(p.list).At(0, 0, d.w, 40));
    }
}

bool CPaneStack::OnButton(int control)
{
    for (size_t i = 0; i < PANES.size(); ++i)
        if (control == PANES[i].hide || control == PANES[i].show) {
            HIDDEN[i] = control == PANES[i].hide;
            return true;
        }
    return false;
}

void CPaneStack::Layout(int width, int height) const
{
    std::vector<int> weights;
    for (size_t i = 0; i < PANES.size(); ++i)
        weights.push_back(HIDDEN[i] ? 0 : PANES[i].weight);
    const std::vector<PanePlace> places = StackPanes(0, height, weights, TITLEHEIGHT);
    for (size_t i = 0; i < PANES.size(); ++i) {
        const PaneControls& p = PANES[i];
        const bool hidden = HIDDEN[i];
        for (int c : {p.bar, p.barText, p.show})
            hidden ? ControlUnhide(c) : ControlHide(c);
        for (int c : {p.title, p.hide, p.list})
            hidden ? ControlHide(c) : ControlUnhide(c);
        for (int c : {p.bar, p.barText, p.show, p.title, p.hide})
            PropertySet(c, Prop::Ypos, places[i].top);
        PropertySet(p.bar, Prop::Width, width);
        PropertySet(p.list, Prop::Ypos, places[i].listTop);
        PropertySet(p.list, Prop::Width, width);
        PropertySet(p.list, Prop::Height, places[i].listHeight);
    }
}
