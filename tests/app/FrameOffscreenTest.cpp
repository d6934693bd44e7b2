// The frame on the real renderer (offscreen): the welcome window opens in the middle of the frame
// and inside the screen, whatever size and place the frame was stored with; "Hilfe › Lernunterlage"
// chosen with the mouse in the frame's window shows the learning material with the desktop's
// program for PDF files, and says in a message where the file is when no such program is found
// or that the file is missing.
#include "RealProgramSupport.h"
#include "TopWindowInput.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

using namespace apptest;

namespace {

std::string Text(QRect r)
{
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

class Frame : public PictureRun {
protected:
    void Start(Renderer::Options options = {})
    {
        renderer = std::make_unique<Renderer>(std::move(options));
        renderer->Start(ProgramMain);
        welcome = SettledWindow(*renderer, "Willkommen bei Varn-4", kScreenWaitMs);
        // The welcome window stands over the frame.
        QWidget* w = welcome ? renderer->WindowWidget(welcome) : nullptr;
        frame = w && w->window()->parentWidget() ? w->window()->parentWidget()->window() : nullptr;
    }

    int welcome = 0;
    QPointer<QWidget> frame;   // the frame's top-level widget
};

// ---- the welcome window ---------------------------------------------------------------------------

struct PlaceCase {
    const char* name;
    const char* stored;   // the frame's section of the settings file; "" none
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class WelcomeWindow : public Frame, public ::testing::WithParamInterface<PlaceCase> {};

// The welcome window stands in the frame's middle as far as the screen lets it: whole on the screen.
TEST_P(WelcomeWindow, StandsInTheMiddleOfTheFrameAndOnTheScreen)
{
    if (*GetParam().stored)
        std::ofstream(Path("varn4.ini")) << GetParam().stored;
    Start();
    ASSERT_NE(welcome, 0);
    QWidget* splash = renderer->WindowWidget(welcome)->window();
    ASSERT_NE(frame, nullptr);
    const QRect screen = frame->screen()->availableGeometry();
    // Where it belongs: centred on the frame, moved onto the screen where it would leave it.
    auto expected = [&] {
        QRect r(QPoint(0, 0), splash->size());
        r.moveCenter(frame->geometry().center());
        r.moveLeft(std::clamp(r.left(), screen.left(), screen.right() + 1 - r.width()));
        r.moveTop(std::clamp(r.top(), screen.top(), screen.bottom() + 1 - r.height()));
        return r;
    };
    // The windows' borders (a few pixels offscreen) may stand between.
    auto there = [&] {
        const QRect want = expected();
        return std::abs(splash->geometry().x() - want.x()) <= 4 && std::abs(splash->geometry().y() - want.y()) <= 4;
    };
    EXPECT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && there(); }))
        << "Willkommen " << Text(splash->geometry()) << ", erwartet " << Text(expected()) << ", Rahmen "
        << Text(frame->geometry()) << ", Bildschirm " << Text(screen);
    EXPECT_TRUE(screen.contains(splash->frameGeometry()))
        << "Willkommen " << Text(splash->frameGeometry()) << " auf dem Bildschirm " << Text(screen);
}

// The frame as stored: nowhere, maximised, larger than the screen, small at the screen's top left,
// small far off at the bottom right (kept in the screen's corner).
INSTANTIATE_TEST_SUITE_P(
    Frame, WelcomeWindow,
    ::testing::Values(PlaceCase{"OhneGespeichertenPlatz", ""}, PlaceCase{"Maximiert", "[Main]\nMaximize=Yes\n"},
                      PlaceCase{"Gross1920x1080", "[Main]\nMaximize=No\nXPos=1\nYPos=1\nWidth=1920\nHeight=1080\n"},
                      PlaceCase{"KleinObenLinks", "[Main]\nMaximize=No\nXPos=1\nYPos=1\nWidth=330\nHeight=230\n"},
                      PlaceCase{"KleinUntenRechts", "[Main]\nMaximize=No\nXPos=9000\nYPos=9000\nWidth=301\nHeight=100\n"}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

// ---- Hilfe › Lernunterlage --------------------------------------------------------------------------

struct GuideCase {
    const char* name;
    bool file;               // lernunterlage.pdf in the program directory
    const char* mimeAnswer;  // what "xdg-mime query default application/pdf" prints; nullptr: no xdg-open, no xdg-mime
    bool shown;              // the desktop's opener is started with the file
    std::vector<const char*> message;   // what the message says (with the file's path), none when shown
};

class LearningMaterial : public Frame {
protected:
    void SetUp() override
    {
        Frame::SetUp();
        tools = QString::fromStdString(Path("werkzeuge"));
        QDir().mkpath(tools);
        path = qgetenv("PATH");
    }
    void TearDown() override
    {
        qputenv("PATH", path);
        Frame::TearDown();
    }
    // Only xdg-open and xdg-mime as the case has them are found.
    void Desktop(const char* mimeAnswer)
    {
        for (const char* name : {"xdg-open", "xdg-mime"})
            QFile::remove(tools + QLatin1Char('/') + QLatin1String(name));
        if (mimeAnswer) {
            for (const auto& [name, body] : {std::pair{"xdg-open", std::string("#!/bin/sh\nexit 0\n")},
                                             std::pair{"xdg-mime", std::string("#!/bin/sh\necho ") + mimeAnswer + "\n"}}) {
                QFile script(tools + QLatin1Char('/') + QLatin1String(name));
                ASSERT_TRUE(script.open(QIODevice::WriteOnly));
                script.write(body.c_str());
                script.close();
                script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            }
        }
        qputenv("PATH", tools.toUtf8());
    }
    // "Hilfe", then "Lernunterlage", each clicked where the frame's window shows it.
    void ChooseLernunterlage()
    {
        ASSERT_NE(frame, nullptr);
        QMenuBar* bar = frame->findChild<QMenuBar*>();
        ASSERT_NE(bar, nullptr);
        QAction* hilfe = nullptr;
        for (QAction* a : bar->actions())
            if (a->text() == QStringLiteral("&Hilfe"))
                hilfe = a;
        ASSERT_TRUE(hilfe && hilfe->menu());
        ClickAt(bar, bar->actionGeometry(hilfe).center());
        QMenu* menu = hilfe->menu();
        ASSERT_TRUE(ProcessUntil([&] { return menu->isVisible(); }));
        QAction* item = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == QStringLiteral("&Lernunterlage"))
                item = a;
        ASSERT_NE(item, nullptr);
        ClickAt(menu, menu->actionGeometry(item).center());
    }
    // The program's message window with that title, as shown; nullptr when none is.
    QWidget* Message(const std::string& title)
    {
        int found = 0;
        {
            Runtime::HostBaton b;
            for (int id : WindowList())
                if (const WindowModel* m = WindowFind(id);
                    m && m->state == WindowState::Open && PropertyGet(id, 0, Prop::Text, 0).Str() == title)
                    found = id;
        }
        QWidget* w = found ? renderer->WindowWidget(found) : nullptr;
        return w && w->window()->isVisible() ? w->window() : nullptr;
    }
    // The texts a window shows, one after the other.
    static std::string Shown(QWidget* window)
    {
        std::string text;
        for (QLabel* l : window->findChildren<QLabel*>())
            if (l->isVisible())
                text += l->text().toStdString() + "\n";
        return text;
    }

    QString tools;
    QByteArray path;
};

TEST_F(LearningMaterial, ShownByTheDesktopsProgramOrAMessageSaysWhereItIs)
{
    const GuideCase cases[] = {
        {"keine Datei", false, "betrachter.desktop", false, {"Lernunterlage wurde nicht gefunden"}},
        {"kein xdg-open", true, nullptr, false,
         {"liegt unter", "Es wurde kein Programm gefunden, das PDF-Dateien anzeigen kann."}},
        {"kein Programm für PDF", true, "", false,
         {"liegt unter", "Es wurde kein Programm gefunden, das PDF-Dateien anzeigen kann."}},
        {"ein Betrachter", true, "betrachter.desktop", true, {}},
    };
    std::vector<std::string> started;
    Renderer::Options options;
    options.startDetached = [&](const QString& program, const QStringList& args, const QString&) {
        started.push_back(program.toStdString() + " " + args.join(QLatin1Char(' ')).toStdString());
        return true;
    };
    Start(options);
    ASSERT_NE(welcome, 0);
    QPointer<QWidget> splash = renderer->WindowWidget(welcome)->window();
    for (QPushButton* b : splash->findChildren<QPushButton*>())
        if (b->text().remove(QLatin1Char('&')) == QStringLiteral("dieses Fenster schließen"))
            ClickAt(b, b->rect().center());
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && (!splash || !splash->isVisible()); }));
    const std::string file = Path("lernunterlage.pdf");
    for (const GuideCase& c : cases) {
        SCOPED_TRACE(c.name);
        started.clear();
        std::filesystem::remove(file);
        if (c.file)
            std::ofstream(file) << "%PDF-1.4\n";
        Desktop(c.mimeAnswer);
        ChooseLernunterlage();
        if (c.shown) {
            EXPECT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && !started.empty(); }));
            EXPECT_EQ(started, std::vector<std::string>{"xdg-open " + file});
            EXPECT_EQ(Message("Lernunterlage"), nullptr);
            continue;
        }
        QWidget* box = nullptr;
        ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && (box = Message("Lernunterlage")) != nullptr; }))
            << "keine Meldung";
        const std::string text = Shown(box);
        EXPECT_NE(text.find(file), std::string::npos) << text;
        for (const char* words : c.message)
            EXPECT_NE(text.find(words), std::string::npos) << words << " in: " << text;
        EXPECT_TRUE(started.empty());
        QAbstractButton* ok = nullptr;
        for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->text().remove(QLatin1Char('&')) == QStringLiteral("OK"))
                ok = b;
        ASSERT_NE(ok, nullptr);
        ClickAt(ok, ok->rect().center());
        ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && Message("Lernunterlage") == nullptr; }));
    }
}

} // namespace
