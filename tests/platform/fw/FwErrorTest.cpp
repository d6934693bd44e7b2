#include "platform/fw/FwError.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/fw/FwWindow.h"
#include "platform/records/FileError.h"

namespace {

// Shows nothing: keeps every message and gives the answer the test chose (or the default).
class Recorder : public FwError {
public:
    std::vector<MessageRequest> shown;
    int answer = 0;

protected:
    int ShowMessage(const MessageRequest& r) override {
        shown.push_back(r);
        return answer ? answer : r.defaultButton ? r.defaultButton : int(BUTTON_OK);
    }
};

FwErrorContext Context() {
    FwErrorContext c;
    c.file = "/daten/p.prj~";
    c.label = "SCHICHT";
    c.errorCode = 36;
    c.errorText = "Ungültige oder beschädigte Datendatei";
    c.key = "KeyID";
    c.message = "frei";
    return c;
}

TEST(FwError, PlaceholdersAreFilledAndEmptyLinesLeftOut) {
    Recorder e;
    struct Case { const char* text; const char* want; };
    const Case cases[] = {
        {"%File|%Label|%ErrorText (%ErrorCode)|%Key %Message",
         "/daten/p.prj~|SCHICHT|Ungültige oder beschädigte Datendatei (36)|KeyID frei"},
        // Longer names are not cut at a shorter one; unknown ones stay as written.
        {"%ErrorCode%ErrorText%Filex %Foo 100%", "36Ungültige oder beschädigte Datendatei/daten/p.prj~x %Foo 100%"},
        // Outside any procedure the line that would only name it disappears; plain lines stay.
        {"Fehler in %File.|Programmteil: %Procedure||Ende", "Fehler in /daten/p.prj~.||Ende"},
        {"Programmteil: %Procedure", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(e.SubsString(c.text, Context()), c.want) << c.text;
    // A code 0 is no code: the line of an empty file error goes.
    EXPECT_EQ(e.SubsString("a|%ErrorText (Fehler %ErrorCode).|b", {}), "a|b");
    e.PushProcedure("UpdateKosten");
    EXPECT_EQ(e.SubsString("Fehler.|Programmteil: %Procedure", {}), "Fehler.|Programmteil: UpdateKosten");
}

TEST(FwError, FatalityDecidesButtonsAndLevel) {
    Recorder e;
    int halted = 0;
    e.SetHaltHandler([&](const FwMessage& m) {
        ++halted;
        EXPECT_EQ(e.shown.size(), 1u);   // shown before the end
        EXPECT_EQ(m.id, FWMSG_USER + 3);
    });
    e.AddMessage({FWMSG_USER + 1, FwFatality::Question, "Frage", "Weiter mit %File?"});
    e.AddMessage({FWMSG_USER + 2, FwFatality::Benign, "", "nie gezeigt"});
    e.AddMessage({FWMSG_USER + 3, FwFatality::Fatal, "Abbruch", "%Message"});

    struct Case { int id; int answer; int level; unsigned buttons; MessageIcon icon; };
    const Case cases[] = {
        {FWMSG_USER + 1, BUTTON_YES, LEVEL_BENIGN, BUTTON_YES | BUTTON_NO, MessageIcon::Question},
        {FWMSG_USER + 1, BUTTON_NO, LEVEL_CANCEL, BUTTON_YES | BUTTON_NO, MessageIcon::Question},
        {FWMSG_USER + 1, 0, LEVEL_CANCEL, BUTTON_YES | BUTTON_NO, MessageIcon::Question},   // no answer: "Nein"
        {FWMSG_OPEN_FAILED, 0, LEVEL_NOTIFY, BUTTON_OK, MessageIcon::Exclamation},
        {FWMSG_USER + 3, 0, LEVEL_FATAL, BUTTON_OK, MessageIcon::Hand},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        e.shown.clear();
        e.answer = c.answer;
        EXPECT_EQ(e.Throw(c.id, Context()), c.level);
        ASSERT_EQ(e.shown.size(), 1u);
        EXPECT_EQ(e.shown[0].buttonBits, c.buttons);
        EXPECT_EQ(e.shown[0].icon, c.icon);
    }
    EXPECT_EQ(halted, 1);
    EXPECT_EQ(e.shown[0].text, "frei");
    EXPECT_EQ(e.shown[0].caption, "Abbruch");

    e.shown.clear();
    EXPECT_EQ(e.Throw(FWMSG_USER + 2, Context()), LEVEL_BENIGN);
    EXPECT_TRUE(e.shown.empty());
    // A number without a message still tells the user something.
    EXPECT_EQ(e.Throw(4711, {}), LEVEL_NOTIFY);
    ASSERT_EQ(e.shown.size(), 1u);
    EXPECT_NE(e.shown[0].text.find("4711"), std::string::npos);
}

TEST(FwError, FileErrorMessageNamesFileCauseAndProcedure) {
    Recorder e;
    SetError(ERR_FILE_IN_USE, "/daten/varn4.cfg");
    e.PushProcedure("Main");
    e.PushProcedure("UpdateVorgaben");
    EXPECT_EQ(e.ThrowFile(FWMSG_OPEN_FAILED, "RBWARN", "/daten/varn4.cfg\\!warngrenzen"), LEVEL_NOTIFY);
    ASSERT_EQ(e.shown.size(), 1u);
    EXPECT_EQ(e.shown[0].caption, "Dateifehler");
    EXPECT_EQ(e.shown[0].text,
              "Die Datei /daten/varn4.cfg\\!warngrenzen konnte nicht geöffnet werden.|"
              "Die Datei wird bereits von einem anderen Programm benutzt (Fehler 32).|"
              "Programmteil: UpdateVorgaben");
    SetError(0);
}

TEST(FwError, ProcedureNamesStackPerThread) {
    Recorder e;
    EXPECT_EQ(e.TopProcedure(), "");
    e.PopProcedure();   // nothing to pop: no harm
    e.PushProcedure("Main");
    e.PushProcedure("Projektmanager");
    std::string other, afterOwn;
    size_t otherDepth = 99;
    std::thread t([&] {
        other = e.TopProcedure();
        e.PushProcedure("UpdateArbeitsblatt");
        afterOwn = e.TopProcedure();
        otherDepth = e.ProcedureDepth();
    });
    t.join();
    EXPECT_EQ(other, "");
    EXPECT_EQ(afterOwn, "UpdateArbeitsblatt");
    EXPECT_EQ(otherDepth, 1u);
    EXPECT_EQ(e.TopProcedure(), "Projektmanager");
    e.PopProcedure();
    EXPECT_EQ(e.TopProcedure(), "Main");
    e.Kill();
    EXPECT_EQ(e.ProcedureDepth(), 0u);
}

TEST(FwError, InitRestoresTheFrameworkTable) {
    Recorder e;
    e.AddMessage({FWMSG_OPEN_FAILED, FwFatality::Fatal, "x", "y"});
    e.AddMessage({FWMSG_USER, FwFatality::Notice, "x", "y"});
    e.PushProcedure("Main");
    e.Init();
    ASSERT_NE(e.FindMessage(FWMSG_OPEN_FAILED), nullptr);
    EXPECT_EQ(e.FindMessage(FWMSG_OPEN_FAILED)->fatality, FwFatality::Notice);
    EXPECT_EQ(e.FindMessage(FWMSG_USER), nullptr);
    EXPECT_EQ(e.ProcedureDepth(), 0u);
}

TEST(FwError, GlobalErrorHandlerShowsThroughTheMessageBox) {
    std::vector<MessageRequest> seen;
    SetMessageHook([&](const MessageRequest& r) {
        seen.push_back(r);
        return int(BUTTON_YES);
    });
    const int level = GlobalErrorHandler.Throw(FWMSG_FILE_IN_USE, Context());
    SetMessageHook(nullptr);
    EXPECT_EQ(level, LEVEL_BENIGN);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].defaultButton, int(BUTTON_NO));
    EXPECT_NE(seen[0].text.find("/daten/p.prj~"), std::string::npos);
}

} // namespace
