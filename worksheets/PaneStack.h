#pragma once
// CPaneStack: the panes of a worksheet window, stacked from top to bottom. Each pane is a title bar
// with a hide button over a list; collapsed, it keeps only a bar with its name and a show button.
// The open panes share the height the title bars leave by their weights, until a splitter moves a
// border.
#include <span>
#include <vector>

struct WindowDesc;

// Where one pane stands: its title bar, its list and the list's height.
struct PanePlace {
    int top = 0;
    int listTop = 0;
    int listHeight = 0;
};

// The places of panes stacked from `top` in `height`, each with a title bar of `titleHeight`. A pane
// of weight 0 is collapsed to its title bar; the others share the rest by their weights, the last
// of them taking what rounding left over. With every pane collapsed the lists get nothing (and
// nothing is divided by zero).
std::vector<PanePlace> StackPanes(int top, int height, std::span<const int> weights, int titleHeight);

// The controls of one pane and its share of the room.
struct PaneControls {
    int bar, barText, show;     // the collapsed form
    int title, hide, list;      // the open form
    const char* text;           // the pane's name
    int weight;
};

// The splitters' height: each lies over the bottom of the list above it.
constexpr int kSplitterHeight = 3;
// The least height a splitter leaves a list.
constexpr int kSplitterMinList = 12;

class CPaneStack {
public:
    // `splitters` (one fewer than the panes, or none): the controls between pane k and pane k + 1.
    CPaneStack(std::span<const PaneControls> panes, int titleHeight, std::span<const int> splitters = {});

    // Adds every pane's controls and the splitters to the window's description, across its width.
    void Describe(WindowDesc& window) const;
    // A pane's hide or show button: the pane collapses or opens and the open panes share the room
    // by their weights again, whatever a splitter had made of it (the caller lays the panes out
    // again). False for any other control.
    bool OnButton(int control);
    // A splitter let go at its place in the target window: the open panes above and below it share
    // their room anew, and every open pane keeps its share when the window is sized (the caller
    // lays the panes out again for `height`). False for any other control.
    bool OnSplitter(int control, int height);
    // Shows each pane in its form and places the panes and splitters in the target window from its
    // top. A splitter shows below an open pane that has an open pane somewhere below it.
    void Layout(int width, int height) const;
    bool IsHidden(size_t pane) const { return HIDDEN[pane]; }

private:
    // The panes' shares back to their weights.
    void Restack();
    std::vector<PanePlace> Places(int height) const;
    // The open pane below pane k, or the pane count when there is none.
    size_t OpenBelow(size_t k) const;

    std::span<const PaneControls> PANES;
    std::span<const int> SPLITTERS;
    std::vector<char> HIDDEN;   // one flag per pane
    std::vector<int> WEIGHTS;   // the panes' shares: their weights, or the lists' heights after a splitter moved
    int TITLEHEIGHT;
};
