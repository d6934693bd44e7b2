#include "assessment/KriteriumMarker.h"

#include "platform/ui/Window.h"

void PaintMarkerIcon(const GridDC& dc, int x, int y, const std::string& name)
{
    Painter(dc.window, dc.control).Icon(x, y, name, kMarkerIconSize);
}

void PaintBeginIcon(const GridDC& dc, int left, int top, int width, int height, const std::string& name)
{
    PaintMarkerIcon(dc, left, top + height - kMarkerIconSize, name);
}

void PaintEndIcon(const GridDC& dc, int left, int top, int width, int height, const std::string& name)
{
    PaintMarkerIcon(dc, left + width - kMarkerIconSize, top + height - kMarkerIconSize, name);
}

void PaintMarkerText(const GridDC& dc, int left, int top, int width, int height, const std::string& text)
{
    Painter(dc.window, dc.control)
        .Text(left, top, width, height, text, kMarkerTextColor, kMarkerTextFormat, kMarkerFontName, kMarkerFontSize);
}

void PaintMarkerLine(const GridDC& dc, int color, int x1, int y1, int x2, int y2)
{
    // The pen in use is the last one recorded on the control; without one the renderer's
    // starting pen (black, width 1, solid).
    PaintOp previous;
    previous.kind = PaintOp::Kind::Pen;
    previous.color = 0;
    previous.width = 1;
    previous.style = 0;
    const std::vector<PaintOp>& ops = ListPaintOps(dc.window, dc.control);
    for (auto it = ops.rbegin(); it != ops.rend(); ++it) {
        if (it->kind == PaintOp::Kind::Pen) {
            previous = *it;
            break;
        }
    }
    Painter p(dc.window, dc.control);
    p.SetPen(color, 1, 0);
    p.Line(x1, y1, x2, y2);
    p.SetPen(previous.color, previous.width, previous.style);
}
