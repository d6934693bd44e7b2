#include "app/Program.h"

#include "app/CloseSignals.h"
#include "app/SingleInstance.h"
#include "assessment/BelastungDialoge.h"
#include "assessment/DefinitionsDialog.h"
#include "assessment/KostenDialog.h"
#include "assessment/SchichttypDialoge.h"
#include "assessment/VorgabenDialoge.h"
#include "core/Frame.h"
#include "core/Startup.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/Style.h"
#include "worksheets/Arbeitsblatt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <utility>

void RegisterLayers()
{
    RegisterArbeitsblatt();
    InstallBelastungDialoge();
    InstallKostenDialog();
    InstallSchichttypDialoge();
    InstallDefinitionsDialog();
    FrameWindows windows;
    windows.updateVorgaben = VorgabenFrameWindow();
    windows.editBelastungsdatei = BelastungsdateiBearbeiten();
    windows.updateKosten = KostenFrameWindow();
    SetFrameWindows(std::move(windows));
}

bool InstallQtGerman(QCoreApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

int RunProgram(int argc, char** argv)
{
    CSingleInstance guard;
    if (guard.Acquire(CurrentDirectory()) == CSingleInstance::State::Running) {
        // A second start in the same directory: the first one shows its frame, this one ends
        // without a window.
        QCoreApplication app(argc, argv);
        AskRunningInstance(guard.SocketPath());
        return 0;
    }

    RegisterLayers();
    int code = 0;
    {
        QApplication app(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::setApplicationName(QStringLiteral("Varn 4"));
        InstallQtGerman(app);
        QIcon icon = Pictures::Icon("varn4.ico");
        if (!icon.isNull())
            QApplication::setWindowIcon(icon);
        QApplication::setFont(QtStyle::MapFont("Tahoma", 8));

        InstanceListener listener;
        if (guard.GetState() == CSingleInstance::State::Owner &&
            listener.Listen(guard.SocketPath()))
            QObject::connect(&listener, &InstanceListener::ShowRequested, [] { BringFrameToFront(); });

        Renderer renderer;
        QObject::connect(&renderer, &Renderer::Finished, &app, [] { QCoreApplication::exit(0); });
        CloseSignals closeSignals(renderer);
        renderer.Start([] { ProgramMain(); });
        code = QApplication::exec();
    }
    // Every logical thread has ended: nothing uses what the shut-down releases.
    ProgramShutdown();
    guard.Release();
    return code;
}
