// The shift demand generator's progress window on the real renderer (offscreen) while a day's
// solve runs: the window is drawn with the step the solve stands at, and "Abbrechen" clicked in
// the middle of the solve ends the run with the days done so far.
#include "AppTestSupport.h"

#include "../platform/qt/QtTestSupport.h"

#include "generation/LPSolver.h"
#include "generation/ProgressWindow.h"
#include "generation/SBPGenerator.h"
#include "platform/qt/Renderer.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Day 3's solve does not end by itself (a hard model without a time limit); like the library it
// asks now and then whether to stop.
class EndlessDay : public CSBPGenerator {
public:
    std::atomic<int> questions{0};

protected:
    uint8_t SolveModel(CLPSolver& lp, long day, int objective) override
    {
        if (day != 3)
            return CSBPGenerator::SolveModel(lp, day, objective);
        while (questions < 2000 && !lp.WantAbort())
            ++questions;
        return LP_RESULT_NOT_OPTIMAL;
    }
};

int ProgressWindow()
{
    Runtime::HostBaton baton;
    for (int id : WindowList())
        if (WindowModel* w = WindowFind(id); w && w->Get(Prop::Text).Str() == "Berechnung läuft...")
            return id;
    return 0;
}

TEST(GenerationOffscreen, AbbrechenInTheMiddleOfASolveEndsTheRunAndKeepsTheDaysDone)
{
    apptest::App();
    CAKBData akb;
    CSchichttypen types;
    CSBPData plan;
    SBPDefinitionen pool;
    akb.SetBezugsrahmen(1);
    plan.SetSchichttypen(&types);
    plan.SetBezugsrahmen(1);
    for (uint32_t d = 0; d < 7; ++d)
        akb.MergeDemand({{d * 1440 + 480, d * 1440 + 960}, 1}, true);

    EndlessDay g;
    std::atomic<int> result{0};
    Renderer renderer;
    renderer.Start([&] { result = g.Run(akb, plan, pool); });
    CProgressWindow probe(ProgressLayout::ShiftDemand);

    // The solve of day 3 runs and asks again and again; the window shows where it stands.
    int win = 0;
    QLabel* message = nullptr;
    ASSERT_TRUE(apptest::ProcessUntil([&] {
        if (!win)
            win = ProgressWindow();
        message = win ? qobject_cast<QLabel*>(renderer.ControlWidget(win, probe.MessageControl())) : nullptr;
        return g.questions > 3 && message && message->text() == "Nach Zielfunktion Nr. 1 optimieren ...";
    })) << (message ? message->text().toStdString() : "kein Fortschrittsfenster");
    qttest::Screenshot(renderer.WindowWidget(win), "progress-mid-solve");

    auto* cancel = qobject_cast<QPushButton*>(renderer.ControlWidget(win, probe.CancelControl()));
    ASSERT_NE(cancel, nullptr);
    ASSERT_TRUE(cancel->isEnabled());
    qttest::Click(cancel);
    ASSERT_TRUE(apptest::ProcessUntil([&] { return renderer.Ended(); }, apptest::kScreenWaitMs)) << Runtime::Describe();
    EXPECT_LT(g.questions, 2000);
    EXPECT_EQ(result, SBP_TEILWEISE);
    EXPECT_EQ(g.Tagesergebnis(2).STATUS, SBPTagesergebnis::GESCHRIEBEN);
    EXPECT_EQ(g.Tagesergebnis(3).STATUS, SBPTagesergebnis::ABGEBROCHEN);
    for (uint32_t d = 1; d <= 7; ++d) {
        int booked = 0;
        for (long i = 1; i <= types.Count(); ++i)
            booked += plan.GetCountBySysId(d, types.GetByIndex(i)->SYSID);
        EXPECT_EQ(booked > 0, d <= 2) << "Tag " << d;
    }
}

} // namespace
