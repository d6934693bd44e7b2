#pragma once
// The app tests: one offscreen Qt application for the executable, a scratch program directory
// with the installed files, and the built program's path.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>

namespace apptest {

inline QApplication& App()
{
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "app_tests";
        static char* argv[] = {name, nullptr};
        auto* a = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return a;
    }();
    return *app;
}

// How long a test waits for the screen: a condition is polled, so a quiet machine passes at once,
// while one loaded three times over its cores under the sanitizers still meets it.
inline constexpr int kScreenWaitMs = 60000;

// Runs Qt's events until `done` or `timeoutMs` passed.
inline bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = kScreenWaitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A scratch directory holding what the installation puts beside the program.
class ScratchProgramDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string t = (std::filesystem::temp_directory_path() / "varnappXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir = std::filesystem::canonical(t).string();
        for (const char* file : {"varn4.cfg", "eba.cfg", "deutsch.env"})
            std::filesystem::copy_file(std::filesystem::path(VARN_TEST_INSTALL_DIR) / file,
                                       std::filesystem::path(dir) / file);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    std::string dir;
};

} // namespace apptest
