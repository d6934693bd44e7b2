// A termination signal ends the real program as closing its frame would, whatever waits for the
// planner when it comes: a file dialog ("Speichern unter", the strain file's), a message or another
// dialog of the program is cancelled, then the save question of the changed project is asked, and
// after "Nein" the program ends. The signal is raised in the process; the handler only wakes the event loop.
#include "app/CloseSignals.h"
#include "core/Frame.h"
#include "core/Projektmanager.h"
#include "platform/qt/Renderer.h"
#include "platform/ui/Window.h"

#include "../platform/qt/QtTestSupport.h"
#include "RealProgramSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>

#include <signal.h>

#include <ostream>
#include <string>

using namespace apptest;

namespace {

struct Case {
    const char* name;
    int frameItem;                      // the frame's menu item that opens what waits
    const char* fileChosen;             // chosen in its file dialog first; nullptr: none
    const char* dialogTitle;            // then a dialog of the program waits; nullptr: a file dialog
    int signal;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class EndBySignal : public RealProgramTest, public ::testing::WithParamInterface<Case> {
protected:
    // A new project from the welcome window, marked as changed.
    void ChangedProject()
    {
        frameWindow = WindowTitled("Varn 4");
        const int welcome = WindowTitled("Willkommen bei Varn-4");
        ASSERT_TRUE(frameWindow && welcome);
        Click(Button(welcome, QStringLiteral("ein neues Arbeitszeitblatt anlegen")));
        ASSERT_NE(WaitFor("Projektmanager", 30000), 0);
        Runtime::HostBaton b;
        ASSERT_TRUE(GlobalProjektmanager.Projekt().IsOpen());
        GlobalProjektmanager.Projekt().FileManager().SetChanged();
    }
};

TEST_P(EndBySignal, WhateverWaitsIsCancelledThenTheSaveQuestionThenTheEnd)
{
    const Case& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(ChangedProject());
    CloseSignals closeSignals(*renderer);
    ASSERT_TRUE(closeSignals.Active());
    Trigger(frameWindow, c.frameItem);
    if (c.fileChosen)
        ChooseFile(Path(c.fileChosen));
    if (c.dialogTitle) {
        ASSERT_NE(WaitFor(c.dialogTitle, 30000), 0) << OpenTitles();
    } else {
        ASSERT_TRUE(ProcessUntil([&] { return renderer->RequestWidget(UiRequest::Kind::FileDialog) != nullptr; }, 30000));
    }

    ::raise(c.signal);
    QAbstractButton* no = nullptr;
    ASSERT_TRUE(ProcessUntil([&] { return (no = Button(WindowTitled("Änderungen speichern?"), QStringLiteral("Nein"))); },
                             30000))
        << "still open: " << OpenTitles();
    EXPECT_EQ(renderer->RequestWidget(UiRequest::Kind::FileDialog), nullptr);
    if (c.dialogTitle) {
        EXPECT_EQ(WindowTitled(c.dialogTitle), 0);
    }
    EXPECT_FALSE(renderer->Ended());
    Click(no);
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Ended(); }, 30000)) << "still open: " << OpenTitles();
}

INSTANTIATE_TEST_SUITE_P(
    Waiting, EndBySignal,
    ::testing::Values(Case{"SpeichernUnter_SIGHUP", FRAME_FILESAVEAS, nullptr, nullptr, SIGHUP},
                      Case{"EbaDatei_SIGINT", FRAME_DATEIEBA, nullptr, nullptr, SIGINT},
                      // The message asks for another name, and the file dialog comes again after it.
                      Case{"MeldungNachSpeichernUnter_SIGTERM", FRAME_FILESAVEAS, "unbenannt.prj", "Mitteilungstext", SIGTERM},
                      Case{"Info_SIGTERM", FRAME_HILFEINFO, nullptr, "Informationen zu Varn-4", SIGTERM}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
