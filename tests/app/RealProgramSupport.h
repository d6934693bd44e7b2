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
#include "platform/qt/WindowView.h"
#include "platform/ui/Window.h"
#include "worksheets/Arbeitsblatt.h"

#include "AppTestSupport.h"
#include "PictureRunSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QCoreApplication>
#include <QMouseEvent>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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

    // ---- the planner's road: windows waited for, buttons clicked, wizards finished, messages closed
    int WaitFor(const std::string& title, int timeoutMs = kScreenWaitMs)
    {
        int w = 0;
        ProcessUntil([&] { return renderer->Settle(100) && (w = WindowTitled(title)) != 0; }, timeoutMs);
        return w;
    }
    std::string OpenTitles()
    {
        Runtime::HostBaton b;
        std::string titles;
        for (int id : WindowList())
            if (const WindowModel* m = WindowFind(id); m && m->state == WindowState::Open)
                titles += "\"" + PropertyGet(id, 0, Prop::Text, 0).Str() + "\" ";
        return titles;
    }
    // A button of a window by its text without '&'.
    QAbstractButton* Button(int window, const QString& text)
    {
        QWidget* widget = window ? renderer->WindowWidget(window) : nullptr;
        if (!widget)
            return nullptr;   // not drawn yet
        for (QAbstractButton* b : widget->window()->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->text().remove(QLatin1Char('&')) == text)
                return b;
        return nullptr;
    }
    void Click(QAbstractButton* button)
    {
        ASSERT_NE(button, nullptr);
        button->click();
        ASSERT_TRUE(renderer->Settle());
    }
    void Trigger(int window, int control)
    {
        QAction* a = renderer->View(window)->ControlAction(control);
        if (a) {
            ASSERT_TRUE(a->isEnabled()) << control;
            a->trigger();
        } else {
            auto* b = qobject_cast<QAbstractButton*>(renderer->ControlWidget(window, control));
            ASSERT_NE(b, nullptr) << control;
            b->click();
        }
        ASSERT_TRUE(renderer->Settle());
    }
    // Through the wizard's pages with "Weiter", then its start button.
    void FinishWizard(const std::string& title)
    {
        // A plan that has rows already asks before it is overwritten.
        int wizard = 0;
        ProcessUntil([&] {
            renderer->Settle(100);
            if (const int question = WindowTitled("Vorhandene Einträge werden überschrieben."))
                if (QAbstractButton* go = Button(question, QStringLiteral("Fortfahren")))
                    go->click();
            return (wizard = WindowTitled(title)) != 0;
        }, 10000);
        ASSERT_NE(wizard, 0) << title << " - open: " << OpenTitles();
        auto* ok = qobject_cast<QAbstractButton*>(renderer->ControlWidget(wizard, ControlNamed(wizard, "?BUTTONOK")));
        auto* next = qobject_cast<QAbstractButton*>(renderer->ControlWidget(wizard, ControlNamed(wizard, "?BUTTONNEXT")));
        ASSERT_TRUE(ok && next);
        for (int page = 0; page < 8 && !ok->isVisible(); ++page)
            Click(next);
        Click(ok);
    }
    // The search runs until its time limit (a minute at least): it is cancelled after a while,
    // which keeps the best plan found.
    void CancelSearchAfter(int ms)
    {
        ProcessUntil([&] { return renderer->Settle(100) && WindowTitled("Berechnung läuft...") != 0; }, apptest::kScreenWaitMs);
        ProcessUntil([] { return false; }, ms);
        if (const int progress = WindowTitled("Berechnung läuft..."))
            if (QAbstractButton* cancel = Button(progress, QStringLiteral("Abbrechen")))
                Click(cancel);
    }
    // Closes the message windows the work ends with until none is left and no calculation runs;
    // their titles.
    std::vector<std::string> CloseMessages(int timeoutMs = 60000)
    {
        std::vector<std::string> titles;
        int quiet = 0;   // rounds in a row with no dialog and no calculation: the work has really ended
        ProcessUntil([&] {
            renderer->Settle(100);
            int newest = 0;
            {
                Runtime::HostBaton b;
                // Only dialogs of their own: the worksheet, its inspectors and the project
                // manager are windows inside the frame and stay.
                for (int id : WindowList()) {
                    const WindowModel* m = WindowFind(id);
                    QWidget* w = m && m->state == WindowState::Open ? renderer->WindowWidget(id) : nullptr;
                    if (w && w->isWindow() && id != frameWindow)
                        newest = std::max(newest, id);
                }
            }
            if (newest != 0) {
                std::string title;
                {
                    Runtime::HostBaton b;
                    title = PropertyGet(newest, 0, Prop::Text, 0).Str();
                }
                quiet = 0;
                if (title != "Berechnung läuft...") {
                    titles.push_back(title);
                    renderer->WindowWidget(newest)->close();
                }
                return false;
            }
            if (WindowTitled("Berechnung läuft...") != 0) {
                quiet = 0;
                return false;
            }
            return ++quiet >= 5;
        }, timeoutMs);
        return titles;
    }
    void ChooseFile(const std::string& path)
    {
        ASSERT_TRUE(ProcessUntil([&] { return renderer->RequestWidget(UiRequest::Kind::FileDialog) != nullptr; }));
        auto* dialog = qobject_cast<QFileDialog*>(renderer->RequestWidget(UiRequest::Kind::FileDialog));
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");
        ASSERT_TRUE(renderer->Settle());
    }

    int frameWindow = 0;   // the frame, whose window stays when the messages are closed

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
