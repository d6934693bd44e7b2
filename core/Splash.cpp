#include "core/Splash.h"

#include "core/ShellAndEvents.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Runtime.h"
#include "platform/values/Locale.h"

#include <array>

// The publisher's details are ours to choose; the example domain keeps them from reaching
// anybody until the publisher puts its own here.
const char* const kSupportMailAddress = "support@varn4.example";
const char* const kPublisherWebAddress = "www.varn4.example";
const char* const kPublisherName = "Varn-4 Entwicklergruppe";

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && LocaleLower(text.substr(0, prefix.size())) == prefix;
}

// ---- Splash ---------------------------------------------------------------------------------

enum SplashControl : int {
    SPLASH_PICTURE = 1, SPLASH_PROMPT,
    SPLASH_OPEN, SPLASH_NEWAZ, SPLASH_NEWFLEX, SPLASH_EBA, SPLASH_ECO, SPLASH_CLOSE,
};

class SplashWindow : public FwWindow {
public:
    explicit SplashWindow(std::array<int, 5> commands) : FwWindow("Splash"), commands_(commands)
    {
        KeepNoGeometry();
    }

    int Setup() override
    {
        int level = FwWindow::Setup();
        // The frame is the target until this window opens: its disabled commands stay off here.
        std::array<bool, 5> disabled{};
        if (int frame = WindowTarget())
            for (size_t i = 0; i < commands_.size(); ++i)
                disabled[i] = commands_[i] != 0 && PropertyGet(frame, commands_[i], Prop::Disable, 0).Bool();
        WindowDesc d;
        d.name = "Splash";
        d.title = "Willkommen bei Varn-4";
        d.icon = "varn4.ico";
        d.w = 240;
        d.h = 214;
        d.Add(Ctl::Image("splash.gif").Id(SPLASH_PICTURE).At(0, 0, 240, 56));
        d.Add(Ctl::Prompt("Was möchten Sie tun?").Id(SPLASH_PROMPT).At(20, 62, 200, 10));
        struct Choice { int id; const char* name; const char* text; const char* icon; };
        const Choice choices[] = {
            {SPLASH_OPEN, "?BUTTON1", "eine bestehende Varn-4 Datei öffnen", ""},
            {SPLASH_NEWAZ, "?BUTTON1:2", "ein neues Arbeitszeitblatt anlegen", "mini_tabelle.ico"},
            {SPLASH_NEWFLEX, "?BUTTON1:6", "ein neues Flex-Arbeitszeitblatt anlegen", "mini_kalender.ico"},
            {SPLASH_EBA, "?BUTTON1:3", "eine Belastungseinschätzung bearbeiten", "mini_belastung.ico"},
            {SPLASH_ECO, "?BUTTON1:5", "ökonomische Kostenfaktoren bearbeiten", "mini_oeko.ico"},
            {SPLASH_CLOSE, "?BUTTON1:4", "dieses Fenster schließen", "delete2.ico"},
        };
        int y = 78;
        for (const Choice& c : choices) {
            ControlDesc b = Ctl::Button(c.text).Id(c.id).Name(c.name).At(20, y, 200, 18);
            if (*c.icon)
                b.Icon(c.icon);
            int index = c.id - SPLASH_OPEN;
            if (index < 5 && disabled[static_cast<size_t>(index)])
                b.Disabled();
            d.Add(std::move(b));
            y += 22;
        }
        CreateWindow(d);
        OpenWindow();
        ControlSelect(SPLASH_OPEN);
        return level;
    }

    int OnAccepted() override
    {
        int control = EventAccepted();
        if (control >= SPLASH_OPEN && control <= SPLASH_ECO) {
            Result = commands_[static_cast<size_t>(control - SPLASH_OPEN)];
            Response = RESPONSE_COMPLETED;
            return LEVEL_FATAL;
        }
        if (control == SPLASH_CLOSE) {
            Result = 0;
            Response = RESPONSE_CANCELLED;
            return LEVEL_FATAL;
        }
        return FwWindow::OnAccepted();
    }

    int Result = 0;

private:
    std::array<int, 5> commands_;
};

// ---- MailToSupport and ShowInfo -------------------------------------------------------------

enum InfoControl : int {
    INFO_PICTURE = 1, INFO_HEADING, INFO_TEXT, INFO_ADDRESS, INFO_OK,
};

// Both windows: a header picture, two lines, a button that hands an address to the shell and OK.
class AddressWindow : public FwWindow {
public:
    struct Layout {
        const char* procedure;
        const char* title;
        const char* icon;
        const char* picture;
        std::string heading, text, button, tip, buttonIcon, shellTarget;
    };

    explicit AddressWindow(Layout layout) : FwWindow(layout.procedure), layout_(std::move(layout)) {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = layout_.procedure;
        d.title = layout_.title;
        d.icon = layout_.icon;
        d.w = 260;
        d.h = 150;
        d.Add(Ctl::Image(layout_.picture).Id(INFO_PICTURE).At(0, 0, 260, 40));
        d.Add(Ctl::Prompt(layout_.heading).Id(INFO_HEADING).Font("Tahoma", 8, 700).At(12, 46, 236, 10));
        d.Add(Ctl::Prompt(layout_.text).Id(INFO_TEXT).At(12, 60, 236, 30));
        d.Add(Ctl::Button(layout_.button).Id(INFO_ADDRESS).Name("?Adresse").Icon(layout_.buttonIcon)
                  .Tip(layout_.tip).At(12, 96, 236, 16));
        d.Add(Ctl::Button("OK").Id(INFO_OK).Name("?OK").Default().At(192, 126, 56, 16));
        CreateWindow(d);
        OpenWindow();
        return level;
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case INFO_ADDRESS:
            OpenWithShell(layout_.shellTarget, "", "", true, true, false);
            return LEVEL_BENIGN;
        case INFO_OK:
            Response = RESPONSE_COMPLETED;
            return LEVEL_FATAL;
        default:
            return FwWindow::OnAccepted();
        }
    }

private:
    Layout layout_;
};

} // namespace

std::string MailAddressForShell(const std::string& address)
{
    return StartsWithNoCase(address, "mailto:") ? address : "mailto:" + address;
}

std::string WebAddressForShell(const std::string& address)
{
    if (StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://"))
        return address;
    return "http://" + address;
}

int Splash(int open, int newWorksheet, int newFlex, int strain, int costs)
{
    SplashWindow w({open, newWorksheet, newFlex, strain, costs});
    w.RunWindow();
    return w.Result;
}

void MailToSupport()
{
    AddressWindow w({"MailToSupport", "Mail an Support", "message.ico", "PAPFRAGE.WMF",
                     "Hilfe bei Problemen mit Varn-4",
                     "Bei auftretenden Problemen mit dem Programm senden Sie uns bitte "
                     "eine E-Mail an die untenstehende Adresse.",
                     kSupportMailAddress, "eMail-Programm starten", "message.ico",
                     MailAddressForShell(kSupportMailAddress)});
    w.RunWindow();
}

void ShowInfo()
{
    AddressWindow w({"ShowInfo", "Informationen zu Varn-4", "varn4.ico", "Varn4.bmp", "Varn-4",
                     std::string("Version vom 06.12.2007\n") + kPublisherName,
                     std::string("Internet: ") + kPublisherWebAddress, "Internet Browser starten",
                     "inet.ico", WebAddressForShell(kPublisherWebAddress)});
    w.RunWindow();
}
