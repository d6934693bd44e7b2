#pragma once
// A window with one list that shows a working-time plan through its grid, for the tests of the
// grid and of what is built from it (the printed plan).
#include "platform/ui/Window.h"
#include "worksheets/AZPGrid.h"

struct GridWindow {
    static inline CAZPGrid* grid = nullptr;
    static inline CAZPData* plan = nullptr;
    static void Main()
    {
        WindowDesc d;
        d.title = "Plan";
        d.Add(Ctl::List("45L|").At(0, 0, 800, 200));
        int w = WindowCreate(d);
        WindowOpen(w);
        grid->SetFormat(1, *plan, w);
        while (WindowAccept(w))
            grid->TakeEvent();
        grid->Release();
        WindowClose(w);
    }
};
