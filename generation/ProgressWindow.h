#pragma once
// CProgressWindow: the window in which a generator works, shared by the tabu search and the
// shift demand generator. Title "Berechnung läuft...", a progress bar, a percentage line, the
// time limit as hours:minutes and the button "Abbrechen"; the window's timer fires every 5
// hundredths of a second and the owner does one step of its work per timer event, so the thread
// gives way between steps and other windows keep running.
//
// The two generators lay their windows out differently (the search has four info lines), so
// the layout is chosen when the object is made; the control numbers follow the layout.
#include "platform/fw/FwWindow.h"

#include <functional>
#include <string>

enum class ProgressLayout {
    Optimizer,    // "P33$PROGRESS": caption, message, progress 4, percent 5, time 6, info 7-10, cancel 12
    ShiftDemand,  // "P10$WINDOW": message 1, progress 2, percent 3, time 4, cancel 5
};

// Hundredths of a second between two timer events.
constexpr int kProgressTimer = 5;
// How long PollCancel waits for the window layer to come (milliseconds).
constexpr int kProgressGiveWayMs = 50;

class CProgressWindow : public FwWindow {
public:
    explicit CProgressWindow(ProgressLayout layout);

    // The window's description (for the renderer's and the tests' eyes).
    static WindowDesc Description(ProgressLayout layout);

    // Control numbers of the chosen layout (0 where the layout has none).
    int MessageControl() const;
    int ProgressControl() const;
    int PercentControl() const;
    int MaxTimeControl() const;
    int CancelControl() const;
    // Info line n (1-4); 0 for the shift demand layout.
    int InfoControl(int n) const;

    // Creates the window without showing it; the progress bar shows `progress` (the owner's
    // counter) whenever it is redrawn. Returns the window number.
    int Create(UseVar progress = {});
    // Shows it.
    void Open();
    // The event loop: `step` runs on every timer event and returns false when the work is done.
    // "Abbrechen" - or closing the window - ends the loop with Cancelled() set; every other event
    // gets its default handling. `afterEvent`, when given, runs after each event that did not end
    // the loop.
    void RunLoop(const std::function<bool()>& step, const std::function<void()>& afterEvent = {});
    bool Cancelled() const { return cancelled_; }
    // Whether the loop ended because the window under it - the one the work belongs to - was
    // being closed; that close is handled once the run is over.
    bool ClosedByOwner() const { return closedByOwner_; }
    // In the middle of a long step (a solve of the integer program): brings the window up to date,
    // lets the window layer and the other threads run for a moment and looks whether "Abbrechen"
    // was pressed or the window closed meanwhile. Answers Cancelled(); the step's other events
    // wait for the loop.
    bool PollCancel();

    // Setting what the window shows; nothing once the window has gone.
    void SetText(int control, const std::string& text);
    void SetRange(long low, long high);
    // Redraws the progress bar from the owner's counter.
    void ShowProgress();
    // The time limit (a time value, hundredths + 1) as hours:minutes.
    void ShowMaxTime(long timeValue);
    // Shows whatever is still to be drawn (after the loop, before a message over the window).
    void Display();
    // Closes the window.
    void Close();

    int OnTimer() override;
    int OnAccepted() override;
    int OnWindowEvent() override;

private:
    bool Alive() const;
    int Pick(int optimizer, int shiftDemand) const;

    ProgressLayout layout_;
    const std::function<bool()>* step_ = nullptr;
    bool cancelled_ = false;
    bool closedByOwner_ = false;
};

// Whether the last progress window of the calling thread was ended by the close of the window its
// work belongs to, answered once: that window is going, so the owner's result message is not
// shown (it would hold up the close - and with it the end of the program - until answered).
bool TakeProgressOwnerClosing();
