#include "app/WindowPictures.h"

#include "core/Files.h"
#include "core/Frame.h"
#include "core/MessageDialog.h"
#include "core/Projektmanager.h"
#include "core/Startup.h"
#include "platform/fw/FwFileManager.h"
#include "platform/qt/Renderer.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <filesystem>

namespace {

// Longer than the renderer's wait before it reports a moved or sized window (120 ms).
constexpr int kPlacePauseMs = 200;

int Shown(Renderer& renderer, const char* title)
{
    Runtime::HostBaton b;
    int newest = 0;
    for (int id : WindowList()) {
        const WindowModel* m = WindowFind(id);
        if (!m || m->state != WindowState::Open || !renderer.WindowWidget(id))
            continue;
        if (title && PropertyGet(id, 0, Prop::Text, 0).Str() == title)
            return id;
        newest = std::max(newest, id);
    }
    return title ? 0 : newest;
}

} // namespace

int SettledWindow(Renderer& renderer, const char* title, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    int window = 0;
    QRect seen;
    while (clock.elapsed() < timeoutMs) {
        // A window shows at once at a first size; its owner's answer to its placement, a scroll
        // bar or a picture may still change it. It is settled when a pause changed nothing.
        const bool idle = renderer.Settle(std::max(1, std::min<int>(2000, timeoutMs - int(clock.elapsed()))));
        const int found = idle ? Shown(renderer, title) : 0;
        const QRect place = found ? renderer.WindowWidget(found)->window()->geometry() : QRect();
        if (found && found == window && place == seen)
            return window;
        window = found;
        seen = place;
        if (found) {
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < kPlacePauseMs)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    return 0;
}

void UseProgramFilesHere()
{
    Locale::Load("deutsch.env");
    InitFileAccess();
    NameProgramFiles(std::filesystem::current_path().string());
    InstallMessageDialog(true);
}

void ReadDefaultRecords()
{
    for (FwFileManager* a : {Access::RBDEFAULT, Access::RBWARN, Access::RBFEHLER, Access::KRIDEFAULT}) {
        a->TryOpen();
        FileSet(*a->File());
        a->TryNext();
        a->Close();
    }
    RB.CopyFrom(RBDEFAULT);
    KRI.CopyFrom(KRIDEFAULT);
}

void EndPictureRun(std::unique_ptr<Renderer>& renderer)
{
    renderer.reset();
    if (GlobalProjektmanager.Projekt().IsOpen())
        GlobalProjektmanager.Projekt().Close();
    ProgramShutdown();
    ReleaseFileAccess();
    for (const ProgramFile& f : ProgramFiles())
        if (FileIsOpen(*f.file))
            FileClose(*f.file);
    SetMessageHook({});
    SetFrameWindows({});
}
