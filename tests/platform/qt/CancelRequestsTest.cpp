// The renderer's cancel of every request a thread waits on (a termination signal's first step):
// each is answered as its cancel would answer it, and the thread goes on.
#include "QtTestSupport.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageShow.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace qttest;

namespace {

bool Until(Renderer& renderer, const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 30000)
            return false;
        renderer.Settle(50);
    }
    return true;
}

MessageRequest Box(unsigned bits, int defaultButton, const std::string& texts = {})
{
    MessageRequest m;
    m.text = "Frage";
    m.buttonBits = bits;
    m.buttonTexts = texts;
    m.defaultButton = defaultButton;
    return m;
}

TEST(CancelRequests, EveryWaitingRequestIsAnsweredAsItsCancel)
{
    App();
    struct Step {
        const char* name;
        UiRequest::Kind kind;
        std::function<std::string()> ask;   // on the program's thread: the answer as text
        std::string cancelled;
    };
    static std::vector<Step> steps;
    steps = {
        {"Ja/Nein/Abbrechen", UiRequest::Kind::Message,
         [] { return std::to_string(MessageShow(Box(BUTTON_YES | BUTTON_NO | BUTTON_CANCEL, BUTTON_YES))); },
         std::to_string(BUTTON_CANCEL)},
        {"Ja/Nein", UiRequest::Kind::Message, [] { return std::to_string(MessageShow(Box(BUTTON_YES | BUTTON_NO, BUTTON_YES))); },
         std::to_string(BUTTON_NO)},
        {"eigene Knöpfe", UiRequest::Kind::Message,
         [] { return std::to_string(MessageShow(Box(0, 2, "&Fortfahren|&Zurück|&Hilfe"))); }, "2"},
        {"Dateiauswahl", UiRequest::Kind::FileDialog,
         [] {
             std::string name = "plan.prj";
             return FileDialog("Speichern unter", name, "Varn 4 Projekt|*.prj", FILE_SAVE) ? name : std::string("abgebrochen");
         },
         "abgebrochen"},
        {"Kontextmenü", UiRequest::Kind::Popup,
         [] {
             std::vector<PopupEntry> items(1);
             items[0].text = "&Kopieren";
             items[0].number = 1;
             return std::to_string(PopupRequest(items, 10, 10));
         },
         "0"},
    };
    static std::vector<std::string> answers;
    answers.clear();
    Renderer renderer;
    renderer.Start([] {
        for (const Step& s : steps)
            answers.push_back(s.ask());
    });
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(steps[i].name);
        ASSERT_TRUE(Until(renderer, [&] { return renderer.RequestWidget(steps[i].kind) != nullptr; }));
        renderer.CancelRequests();
        ASSERT_TRUE(Until(renderer, [&] {
            Runtime::HostBaton b;
            return answers.size() > i;
        }));
        Runtime::HostBaton b;
        EXPECT_EQ(answers[i], steps[i].cancelled);
    }
    ASSERT_TRUE(Until(renderer, [&] { return renderer.Ended(); }));
    EXPECT_EQ(renderer.RequestWidget(UiRequest::Kind::Message), nullptr);
    EXPECT_EQ(renderer.RequestWidget(UiRequest::Kind::FileDialog), nullptr);
}

} // namespace
