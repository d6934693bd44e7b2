#pragma once
// A run of the program's windows on the real renderer (offscreen) in a scratch program directory,
// with the layers registered; unwound after each test as the learning material's pictures are.
#include "app/Program.h"
#include "app/WindowPictures.h"
#include "core/Files.h"
#include "core/MessageDialog.h"
#include "core/Projektmanager.h"
#include "platform/fw/FwFileManager.h"
#include "platform/qt/Renderer.h"
#include "platform/values/Locale.h"

#include "AppTestSupport.h"

#include <filesystem>
#include <memory>

namespace apptest {

// The program's files in the current (scratch program) directory, as the start-up names them.
inline void UseScratchProgramFiles() { UseProgramFilesHere(); }

// The files and the defaults records as the start-up reads them, the buffers set to the defaults
// (a new worksheet's pool takes its limits from them).
inline void UseDefaultRecords()
{
    UseScratchProgramFiles();
    ReadDefaultRecords();
}

class PictureRun : public ScratchProgramDir {
protected:
    void SetUp() override
    {
        ScratchProgramDir::SetUp();
        App();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        RegisterLayers();
    }
    void TearDown() override
    {
        EndPictureRun(renderer);
        SetArbeitsblattFactory(nullptr);
        std::filesystem::current_path(previous);
        ScratchProgramDir::TearDown();
    }

    std::unique_ptr<Renderer> renderer;
    std::filesystem::path previous;         // where the test started; the scratch directory is current
};

} // namespace apptest
