#pragma once
// The frame both generation wizards share: a heading band, a sheet without visible tabs whose pages
// are walked with "<< zurück" and "weiter >>", "Abbrechen", the time-limit entry and the values
// remembered in the settings file.
#include <string>

#include "platform/fw/FwWindow.h"
#include "platform/ui/WindowModel.h"

class CGenerationWizard : public FwWindow {
public:
    // Control numbers of one wizard's window.
    struct Controls {
        int sheet, timeout, defpool, ok, cancel, prev, next;
    };
    struct Texts {
        const char* procedure;   // also the settings section
        const char* window;      // the description's name
        const char* title;
        const char* heading;
        const char* intro;
    };

    CGenerationWizard(const Texts& texts, const Controls& controls, int pages);

    int Setup() override;
    void Refresh(bool force = false) override;
    int OnWindowEvent() override;
    int OnAccepted() override;
    int OnAlertKey() override;
    int OnCompleted() override;
    int Teardown() override;

    // Runs the window; the response is left in LastResponse.
    void RunWizard();

    long page = 1;
    long timeout = kTimeoutStart;

    // Ten minutes as a time value (hundredths + 1).
    static constexpr long kTimeoutStart = 60001;

    // The number under section/key when the key is present, not empty and a whole number in
    // [low, high]; otherwise `value` stays.
    static void ReadSetting(const char* section, const char* key, long& value, long low, long high);
    static void WriteSetting(const char* section, const char* key, long value);

    // The limit to hand to a generator: 00:00 (a limit of 24 hours turned round) means no limit.
    long TimeoutForGenerator() const { return timeout == 1 ? 0 : timeout; }

protected:
    // Adds the pages (tabs) to the sheet.
    virtual void DescribePages(ControlDesc& sheet) = 0;
    // Enables the navigation buttons and shows the values for the current page.
    virtual void ShowPage() = 0;
    // Opens the definitions pool for this kind of generation.
    virtual void EditPool() = 0;
    // OK: the values go to the generator.
    virtual void Apply() = 0;
    // The values the next run starts with.
    virtual void WriteSettings() = 0;
    // The field of the current page that takes the focus when the page comes up, 0 for none.
    virtual int PageField() const { return 0; }

    // Where a page's controls stand. Like every window's controls they are placed in window
    // coordinates, so a page starts below the heading band: the explanation, then rows of a prompt
    // and its field (a field stands 2 units higher than its prompt, a button 4).
    static constexpr int kWidth = 320;
    static constexpr int kBandHeight = 52;
    static constexpr int kPageTextTop = kBandHeight + 12;
    static constexpr int kPageTextWidth = kWidth - 30;
    static constexpr int kPageTextHeight = 40;
    static constexpr int kPageRow1 = kPageTextTop + kPageTextHeight + 8;
    static constexpr int kPageRow2 = kPageRow1 + 20;

    // The page with the time limit: the explanation, "max. Berechnungsdauer:", the entry and
    // "Std:Min", numbered by the caller (the entry is controls_.timeout).
    ControlDesc TimeoutPage(int tab, int text, int prompt, int unit);
    // Takes the screen values of every page into the window's variables.
    void TakeOver();
    const Controls controls_;
    const int pages_;

private:
    // The default button of the page and the focus when a page comes up (below).
    void ShowDefaultButton();
    void EnterPage();

    const Texts texts_;
};
