#pragma once
// CSchichtzeitFelder: the times and the five breaks of a shift as the dialogs that edit them show
// them (the shift type dialog, the flex entry dialog): the fields' variables, their control
// numbers, the break rows, and how an accepted field goes into the dialog's working copy.
#include <array>
#include <cstdint>
#include <string>

class CSchicht;
struct WindowDesc;

class CSchichtzeitFelder {
public:
    // The controls of begin, end, paid and net working time; break n (1 .. 5) has four controls
    // from firstPause + 4 (n - 1): its prompt, start, minutes and the paid box.
    struct Controls {
        int beginn, ende, bezahltAz, reineAz, firstPause;
    };
    // Where the break rows stand: the first row's top and the pitch, the parts' x places, the
    // minutes' width and picture, the rows' height and how far the prompts and boxes stand lower.
    struct PauseLayout {
        int top, pitch, promptX, promptWidth, lageX, dauerX, dauerWidth, bezahltX, height, textDown;
        const char* minutesPicture;
    };

    explicit CSchichtzeitFelder(Controls c) : C(c) {}

    int PausePrompt(int n) const { return C.firstPause + 4 * (n - 1); }
    int PauseLage(int n) const { return PausePrompt(n) + 1; }
    int PauseDauer(int n) const { return PausePrompt(n) + 2; }
    int PauseBezahlt(int n) const { return PausePrompt(n) + 3; }
    bool IsPauseLage(int control) const;

    // The five rows "Pause n:", start, minutes and " bezahlt", bound to the variables below.
    void AddPauseRows(WindowDesc& d, const PauseLayout& at);
    // The shift's times and breaks into the variables.
    void Show(const CSchicht& work);
    // The accepted field into the working copy; a value the copy shows already changes nothing (the
    // accept-all pass for OK takes every field again). False: the accept-all pass stops at this
    // field, a break that reaches past the shift's end.
    bool Accept(CSchicht& work, int control, bool pass) const;
    // A break's minutes without its start have nowhere to go: the start is asked first (the start's
    // field gets the focus). Whether it did.
    bool StartFirst(const CSchicht& work, int control) const;

    int32_t beginn = 0, ende = 0, bezahltAz = 0, reineAz = 0;
    std::array<int32_t, 5> lage{}, dauer{}, bezahlt{};

private:
    Controls C;
};

// A number of minutes (0 .. 1440) as a clock value; 1440 shows as "24:00".
int32_t MinutesToClock(int64_t minutes);
