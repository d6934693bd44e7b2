// Scrolling a list of 1,000 rows by 100 columns by one page and drawing it again, on the offscreen
// platform: the whole round the user waits for (the scroll reaches the model and the list's
// owner, the list draws the new rows from its source). It must stay well under 16 ms.
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <string>

namespace {

constexpr int kRows = 1000, kColumns = 100;

class Grid : public ListSource {
public:
    int64_t RowCount() override { return kRows; }
    std::string Field(int64_t row, int field) override
    {
        // Text, then the four colour fields of each column.
        int column = (field - 1) / 5, part = (field - 1) % 5;
        if (part == 0)
            return std::to_string(row) + ":" + std::to_string(column + 1);
        if (part == 2)
            return (row + column) % 7 == 0 ? "16777088" : "-1";
        return "-1";
    }
};

std::string GridFormat()
{
    std::string f;
    for (int c = 1; c <= kColumns; ++c)
        f += "40C*~" + std::to_string(c) + "~|";
    return f;
}

std::atomic<bool> quit{false};

void GridWindow()
{
    WindowDesc d;
    d.title = "Raster";
    d.w = 500;
    d.h = 300;
    d.resizable = true;
    d.Add(Ctl::List(GridFormat()).Id(1).At(0, 0, 500, 300));
    int win = WindowCreate(d);
    WindowOpen(win);
    ListSetSource(1, std::make_shared<Grid>());
    PropertySet(1, Prop::LineHeight, 20);
    while (WindowAccept(win))
        if (EventCurrent() == EVENT_CLOSE_WINDOW)
            break;
    WindowClose(win);
}

QApplication& App()
{
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "RendererBench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

void BM_ScrollPageAndRepaint(benchmark::State& state)
{
    App();
    Renderer renderer;
    renderer.Start(GridWindow);
    renderer.Settle();
    auto* list = qobject_cast<ListView*>(renderer.ControlWidget(1, 1));
    if (!list) {
        state.SkipWithError("keine Liste");
        return;
    }
    QScrollBar* bar = list->verticalScrollBar();
    int page = std::max(1, list->VisibleRows());
    for (auto _ : state) {
        int next = bar->value() + page;
        if (next > bar->maximum())
            next = 0;
        bar->setValue(next);                 // the user pages down
        renderer.Pump();                     // the model and the list's owner hear of it
        list->viewport()->repaint();         // the new page is drawn from the source
    }
    state.counters["rows_per_page"] = page;
    state.counters["columns_shown"] = list->viewport()->width() / 40;
    renderer.WindowWidget(1)->close();
    renderer.Settle();
}
BENCHMARK(BM_ScrollPageAndRepaint)->Unit(benchmark::kMillisecond);

// Drawing the same page again, without the scroll's round trip: what the painting alone costs.
void BM_Repaint(benchmark::State& state)
{
    App();
    Renderer renderer;
    renderer.Start(GridWindow);
    renderer.Settle();
    auto* list = qobject_cast<ListView*>(renderer.ControlWidget(1, 1));
    if (!list) {
        state.SkipWithError("keine Liste");
        return;
    }
    for (auto _ : state)
        list->viewport()->repaint();
    renderer.WindowWidget(1)->close();
    renderer.Settle();
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
