#pragma once
// Markers of violations in the cells of a working-time plan grid. Criteria draw them in their
// IAZPChecker::Paint through these helpers, so every criterion draws alike: icons of 32 x 32 at
// the cell's lower corners, red text centred on one line, thin solid lines.
#include <string>

// The grid's drawing surface: the list control of a window that the grid paints on. The drawing
// is recorded on the control (ListPaintOps) and replayed by the renderer.
struct GridDC {
    int window = 0;
    int control = 0;
};

constexpr int kMarkerIconSize = 32;
constexpr int kMarkerTextColor = 255;  // red
// Centred, vertically centred, one line.
constexpr int kMarkerTextFormat = 37;
// The font of the markers' texts (the system's dialog font).
constexpr const char* kMarkerFontName = "MS Shell Dlg";
constexpr int kMarkerFontSize = 8;

// An icon of the program's own at (x, y), natural size.
void PaintMarkerIcon(const GridDC& dc, int x, int y, const std::string& name);
// The "begin" icon at the cell's lower left corner, the "end" icon at its lower right one.
void PaintBeginIcon(const GridDC& dc, int left, int top, int width, int height, const std::string& name);
void PaintEndIcon(const GridDC& dc, int left, int top, int width, int height, const std::string& name);
// Red text centred in the cell.
void PaintMarkerText(const GridDC& dc, int left, int top, int width, int height, const std::string& text);
// A solid line of width 1 in the colour; the pen drawn with before is selected back afterwards.
void PaintMarkerLine(const GridDC& dc, int color, int x1, int y1, int x2, int y2);
