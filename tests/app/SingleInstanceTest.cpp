// The second start: the running instance's socket brings its frame forward, and the real program
// started twice from one directory ends the second time without a window.
#include "app/SingleInstance.h"
#include "core/Startup.h"

#include "AppTestSupport.h"

#include <QLocalServer>
#include <QProcess>
#include <QWidget>

#include <atomic>
#include <fstream>
#include <thread>

using namespace apptest;

namespace {

TEST(InstanceListener, SecondStartBringsTheMinimisedFrameForward)
{
    App();
    const std::string socket = (std::filesystem::temp_directory_path() / "varn4-test-listener.sock").string();
    // A file left at the socket's place by an instance that crashed does not stop the listener.
    std::ofstream(socket) << "alt";
    InstanceListener listener;
    ASSERT_TRUE(listener.Listen(socket));
    int requests = 0;
    QObject::connect(&listener, &InstanceListener::ShowRequested, [&] {
        ++requests;
        BringFrameToFront();
    });

    QWidget other;
    other.setWindowTitle(QStringLiteral("Projekt öffnen"));
    other.show();
    QWidget frame;
    frame.setWindowTitle(QStringLiteral("varn 4 - [Projektmanager]"));
    frame.show();
    frame.showMinimized();
    ASSERT_TRUE(ProcessUntil([&] { return frame.isMinimized(); }));

    std::atomic<int> answered{-1};
    std::thread second([&] { answered = AskRunningInstance(socket, 5000) ? 1 : 0; });
    EXPECT_TRUE(ProcessUntil([&] { return answered != -1; }, apptest::kScreenWaitMs));
    second.join();
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(requests, 1);
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(frame.isVisible());
    QLocalServer::removeServer(QString::fromStdString(socket));
}

TEST(InstanceListener, NobodyListeningIsNoAnswer)
{
    const std::string socket = (std::filesystem::temp_directory_path() / "varn4-test-nobody.sock").string();
    std::filesystem::remove(socket);
    EXPECT_FALSE(AskRunningInstance(socket, 300));
}

using TwoStarts = ScratchProgramDir;

QProcess* StartProgram(const std::string& dir)
{
    auto* p = new QProcess;
    p->setProgram(QStringLiteral(VARN_PROGRAM));
    p->setWorkingDirectory(QString::fromStdString(dir));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The guard's lock and socket stay inside the scratch directory.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(dir));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start();
    return p;
}

TEST_F(TwoStarts, TheSecondStartInTheSameDirectoryEndsWithoutAWindow)
{
    std::unique_ptr<QProcess> first(StartProgram(dir));
    ASSERT_TRUE(first->waitForStarted(10000));
    // Wait until the first listens: it makes its socket only once it holds the guard. A probe of
    // the guard before that could take the guard itself for a moment and make the first start
    // see a running instance.
    QElapsedTimer clock;
    clock.start();
    const auto listening = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.path().extension() == ".sock")
                return true;
        return false;
    };
    while (clock.elapsed() < 30000 && !listening())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    CSingleInstance probe;
    ASSERT_EQ(probe.Acquire(dir, dir), CSingleInstance::State::Running) << first->readAll().toStdString();
    probe.Release();

    std::unique_ptr<QProcess> second(StartProgram(dir));
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    first->kill();
    first->waitForFinished(10000);
}

} // namespace
