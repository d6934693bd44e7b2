#include "generation/GenerationWizard.h"

#include <charconv>

#include "core/Frame.h"
#include "core/IniFile.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

const char* const kTimeoutExplanation =
    "Wenn nach Überschreiten der maximalen Berechnungsdauer kein Ergebnis gefunden wurde, wird die "
    "Generierung abgebrochen. Tragen Sie keinen Wert ein, wenn kein automatischer Abbruch erfolgen soll.";

constexpr int kSheetHeight = 150;

enum BandControl { BAND_BOX = 1, BAND_HEADING, BAND_TEXT, BAND_IMAGE, BAND_HAT };

} // namespace

CGenerationWizard::CGenerationWizard(const Texts& texts, const Controls& controls, int pages)
    : FwWindow(texts.procedure), controls_(controls), pages_(pages), texts_(texts)
{
}

void CGenerationWizard::ReadSetting(const char* section, const char* key, long& value, long low, long high)
{
    const std::string text = GlobalIni.ReadOrEmpty(section, key);
    if (text.empty())
        return;
    long number = 0;
    const char* end = text.data() + text.size();
    auto [rest, ec] = std::from_chars(text.data(), end, number);
    if (ec == std::errc() && rest == end && number >= low && number <= high)
        value = number;
}

void CGenerationWizard::WriteSetting(const char* section, const char* key, long value)
{
    GlobalIni.WriteKey(section, key, std::to_string(value));
}

ControlDesc CGenerationWizard::TimeoutPage(int tab, int text, int prompt, int unit)
{
    ControlDesc page = Ctl::Tab("Berechnungsdauer").Id(tab);
    page.Add(Ctl::Prompt(kTimeoutExplanation).Id(text).At(10, kPageTextTop, kPageTextWidth, kPageTextHeight));
    page.Add(Ctl::Prompt("max. Berechnungsdauer:").Id(prompt).At(10, kPageRow1, 110, 10));
    page.Add(Ctl::Entry("@T7B").Id(controls_.timeout).Name("?TIMEOUT").Use(UseVar(timeout))
                 .At(150, kPageRow1 - 2, 40, 12));
    page.Add(Ctl::Prompt("Std:Min").Id(unit).At(194, kPageRow1, 40, 10));
    return page;
}

int CGenerationWizard::Setup()
{
    int level = FwWindow::Setup();
    PendingRequest = 0;
    LastResponse = RESPONSE_NONE;
    WindowDesc d;
    d.name = texts_.window;
    d.title = texts_.title;
    d.fontName = "Tahoma";
    d.w = kWidth;
    for (int k : {Key::TAB, Key::SHIFT_TAB, Key::MOUSE_LEFT, Key::MOUSE_LEFT2, Key::ENTER, Key::SHIFT_ENTER})
        d.alertKeys.push_back(k);
    d.Add(Ctl::Box(0xFFFFFF).Id(BAND_BOX).At(0, 0, kWidth, kBandHeight));
    d.Add(Ctl::Prompt(texts_.heading).Id(BAND_HEADING).Font("Tahoma", 8, 700).Colors(0xFFFFFF).At(10, 6, 250, 10));
    d.Add(Ctl::Prompt(texts_.intro).Id(BAND_TEXT).Colors(0xFFFFFF).At(18, 18, 236, 32));
    d.Add(Ctl::Image("GLHBRNE3.WMF").Id(BAND_IMAGE).At(kWidth - 58, 4, 24, 44));
    d.Add(Ctl::Image("zaubrhut.wmf").Id(BAND_HAT).At(kWidth - 32, 4, 28, 44));

    ControlDesc sheet = Ctl::Sheet().Id(controls_.sheet).Use(UseVar(page)).At(4, kBandHeight + 4, kWidth - 8, kSheetHeight);
    sheet.wizard = true;
    DescribePages(sheet);
    d.Add(std::move(sheet));

    const int y = kBandHeight + kSheetHeight + 10;
    d.Add(Ctl::Button("Abbrechen").Id(controls_.cancel).Name("?BUTTONCANCEL").At(kWidth - 190, y, 56, 16));
    d.Add(Ctl::Button("<< zurück").Id(controls_.prev).Name("?BUTTONPREV").At(kWidth - 128, y, 56, 16));
    d.Add(Ctl::Button("weiter >>").Id(controls_.next).Name("?BUTTONNEXT").Default().At(kWidth - 66, y, 56, 16));
    d.h = y + 24;
    CreateWindow(d);
    OpenWindow();
    SetOkControl(controls_.ok);
    SetCancelControl(controls_.cancel);
    RegisterHotKeys();
    Refresh();
    EnterPage();
    return level;
}

void CGenerationWizard::Refresh(bool force)
{
    if (DeferRefresh(force))
        return;
    ShowPage();
    ShowDefaultButton();
    FwWindow::Refresh(force);
}

// Return goes on with "weiter >>" and, on the last page, where that is disabled, starts the
// generation.
void CGenerationWizard::ShowDefaultButton()
{
    PropertySet(controls_.next, Prop::Default, page < pages_ ? 1LL : 0LL);
    PropertySet(controls_.ok, Prop::Default, page < pages_ ? 0LL : 1LL);
}

// A page comes up with its field focused, or with its default button when it has no field: the
// focus must not stay with a control of the page left, whose place the window would give to the
// next button in line ("Abbrechen"), which Return would then press.
void CGenerationWizard::EnterPage()
{
    const int field = PageField();
    ControlSelect(field ? field : page < pages_ ? controls_.next : controls_.ok);
}

int CGenerationWizard::OnWindowEvent()
{
    if (IsPassiveEventCode(EventCurrent()))
        Refresh();
    return FwWindow::OnWindowEvent();
}

void CGenerationWizard::TakeOver()
{
    ControlUpdate();
}

int CGenerationWizard::OnAccepted()
{
    const int control = EventAccepted();
    if (control == controls_.next) {
        if (page < pages_)
            ++page;
        Refresh();
        EnterPage();
        return LEVEL_BENIGN;
    }
    if (control == controls_.prev) {
        TakeOver();
        if (page > 1)
            --page;
        Refresh();
        EnterPage();
        return LEVEL_BENIGN;
    }
    if (control == controls_.defpool) {
        TakeOver();
        EditPool();
        return LEVEL_BENIGN;
    }
    return FwWindow::OnAccepted();
}

int CGenerationWizard::OnAlertKey()
{
    // A limit typed as 24 hours or more starts again at 0 hours; the minutes are kept.
    if (ControlFocus() == controls_.timeout) {
        const std::string text = PropertyGet(controls_.timeout, Prop::ScreenText).Str();
        if (text.rfind("24", 0) == 0) {
            PropertySet(controls_.timeout, Prop::ScreenText, "00" + text.substr(2, 3));
            ControlUpdate(controls_.timeout);
        }
    }
    return FwWindow::OnAlertKey();
}

int CGenerationWizard::OnCompleted()
{
    Apply();
    return FwWindow::OnCompleted();
}

int CGenerationWizard::Teardown()
{
    int level = FwWindow::Teardown();
    WriteSettings();
    return level;
}

void CGenerationWizard::RunWizard()
{
    RunWindow();
    LastResponse = static_cast<uint8_t>(Response);
}
