#pragma once
// The real program under the Qt renderer on the offscreen platform, started in a scratch program
// directory, and the lookups its tests share.
#include "app/Program.h"
#include "core/Frame.h"
#include "core/Projektmanager.h"
#include "core/Startup.h"
#include "core/Tree.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/ui/Window.h"
#include "worksheets/Arbeitsblatt.h"

#include "AppTestSupport.h"
#include "PictureRunSupport.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <filesystem>
#include <memory>
#include <string>

namespace apptest {

class RealProgramTest : public PictureRun {
protected:
    void SetUp() override
    {
        PictureRun::SetUp();
        renderer = std::make_unique<Renderer>();
        renderer->Start(ProgramMain);
        ASSERT_TRUE(renderer->Settle());
    }

    void TearDown() override
    {
        PictureRun::TearDown();
        // The project object and the save question's memory outlive a run (as they would a
        // project closed in the program): a fresh process has the project's row collapsed and no
        // answer to repeat.
        if (GlobalProjektmanager.Projekt().IsExpanded())
            GlobalProjektmanager.Projekt().TakeRequest(TREE_COLLAPSE, "");
        CProjektmanager::ForgetAskSave();
    }

    // The newest open window with that title, 0 when none.
    int WindowTitled(const std::string& title)
    {
        Runtime::HostBaton b;
        int found = 0;
        for (int id : WindowList()) {
            const WindowModel* m = WindowFind(id);
            if (m && m->state == WindowState::Open && PropertyGet(id, 0, Prop::Text, 0).Str() == title)
                found = id;
        }
        return found;
    }

    int ControlNamed(int window, const std::string& name)
    {
        Runtime::HostBaton b;
        ControlModel* c = WindowFind(window)->FindByName(name);
        return c ? c->id : 0;
    }

    // A click on the expand box of a tree row at its level (or at `x` units into the row).
    static void ClickTreeBox(ListView* tree, int64_t row, int level, int x = -1)
    {
        const QPoint at(tree->ToViewport(x >= 0 ? x : (level - 1) * TREE_INDENT + TREE_INDENT / 2),
                        tree->RowTop(static_cast<int>(row - tree->TopRow() - 1)) + tree->LineHeight() / 2);
        QWidget* port = tree->viewport();
        const QPoint global = port->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &press);
        QCoreApplication::sendEvent(port, &release);
    }

};

} // namespace apptest
