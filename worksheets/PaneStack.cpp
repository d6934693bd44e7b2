#include "worksheets/PaneStack.h"

#include "platform/ui/Input.h"
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

CPaneStack::CPaneStack(std::span<const PaneControls> panes, int titleHeight, std::span<const int> splitters)
    : PANES(panes), SPLITTERS(splitters), HIDDEN(panes.size(), 0), TITLEHEIGHT(titleHeight)
{
    Restack();
}

void CPaneStack::Restack()
{
    WEIGHTS.clear();
    for (const PaneControls& p : PANES)
        WEIGHTS.push_back(p.weight);
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
    // After the lists, so that they lie over the lists' bottoms.
    for (int s : SPLITTERS) {
        ControlDesc splitter = Ctl::Box().Id(s).At(0, 0, d.w, kSplitterHeight)
                                   .Tip("Ziehen, um die Höhe der Bereiche zu ändern");
        splitter.cursor = kSplitterCursor;
        d.Add(std::move(splitter));
    }
}

bool CPaneStack::OnButton(int control)
{
    for (size_t i = 0; i < PANES.size(); ++i)
        if (control == PANES[i].hide || control == PANES[i].show) {
            HIDDEN[i] = control == PANES[i].hide;
            Restack();
            return true;
        }
    return false;
}

std::vector<PanePlace> CPaneStack::Places(int height) const
{
    std::vector<int> weights;
    for (size_t i = 0; i < PANES.size(); ++i)
        weights.push_back(HIDDEN[i] ? 0 : std::max(1, WEIGHTS[i]));
    return StackPanes(0, height, weights, TITLEHEIGHT);
}

size_t CPaneStack::OpenBelow(size_t k) const
{
    for (size_t j = k + 1; j < PANES.size(); ++j)
        if (!HIDDEN[j])
            return j;
    return PANES.size();
}

bool CPaneStack::OnSplitter(int control, int height)
{
    for (size_t k = 0; k < SPLITTERS.size() && k + 1 < PANES.size(); ++k) {
        if (control != SPLITTERS[k])
            continue;
        const size_t j = OpenBelow(k);
        if (HIDDEN[k] || j == PANES.size())
            return true;
        const std::vector<PanePlace> places = Places(height);
        const int both = places[k].listHeight + places[j].listHeight;
        if (both < 2 * kSplitterMinList)
            return true;
        // The splitter's bottom is the new end of the upper list.
        const int wanted = int(PropertyGet(control, Prop::Ypos).Int()) + kSplitterHeight - places[k].listTop;
        const int upper = std::clamp(wanted, kSplitterMinList, both - kSplitterMinList);
        // The open panes' shares become their heights, which they keep when the window is sized.
        for (size_t i = 0; i < PANES.size(); ++i)
            WEIGHTS[i] = HIDDEN[i] ? 1 : places[i].listHeight;
        WEIGHTS[k] = upper;
        WEIGHTS[j] = both - upper;
        return true;
    }
    return false;
}

void CPaneStack::Layout(int width, int height) const
{
    std::vector<PanePlace> places = Places(height);
    for (size_t k = 0; k < SPLITTERS.size(); ++k) {
        const bool shown = k + 1 < PANES.size() && !HIDDEN[k] && OpenBelow(k) < PANES.size();
        if (!shown) {
            ControlHide(SPLITTERS[k]);
            continue;
        }
        ControlUnhide(SPLITTERS[k]);
        PropertySet(SPLITTERS[k], Prop::Ypos, places[k].listTop + std::max(0, places[k].listHeight - kSplitterHeight));
        PropertySet(SPLITTERS[k], Prop::Width, width);
        PropertySet(SPLITTERS[k], Prop::Height, kSplitterHeight);
    }
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
