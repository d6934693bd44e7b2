#pragma once
// A scripted user for tests: runs the program's thread 1, waits until every thread is idle, finds
// windows, presses, types, chooses, answers message boxes and file dialogs, reads properties and
// list cells. Every wait is bounded; when a bound passes the driver throws DriverError with a
// description of which thread holds the baton and which threads wait on what, so a test fails
// instead of hanging. The clock is virtual: timers fire only when the test advances it.
#include "platform/ui/Dialogs.h"
#include "platform/ui/Input.h"
#include "platform/ui/Report.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

struct DriverError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ShellOpenRecord {
    std::string file, parameters, directory;
    bool minimized = false;
    int thread = 0;
};

// A report the program printed: what would have gone to the printer or the PDF file.
struct PrintRecord {
    Report report;
    std::string pdfFile;               // empty: the printer
    int thread = 0;
};

class HeadlessDriver : public UiHost {
public:
    struct Options {
        int timeoutMs = 5000;          // bound of every wait
        int listHeaderHeight = 14;     // header of lists with column headings
        bool virtualClock = true;      // false: timers fire on the real clock (stress tests)
    };
    HeadlessDriver();
    explicit HeadlessDriver(Options options);
    // Ends the run: closes down whatever still runs (aborting waits); never blocks unbounded.
    ~HeadlessDriver() override;

    // Runs `main` as logical thread 1 and waits for idle.
    void Start(std::function<void()> main);
    // Waits until every thread is idle (shell and print requests are recorded and answered on the
    // way; a print counts as done).
    void WaitIdle();
    // Waits until every logical thread has ended.
    void WaitEnd();
    bool Ended() const;

    // Windows. Titles match exactly or by a pattern with '*' (any text) and '?'.
    int FindWindow(const std::string& titlePattern) const;     // newest match, 0 when none
    int Window(const std::string& titlePattern) const;         // throws when none
    std::vector<int> Windows() const;                          // open windows, oldest first
    std::string Title(int window) const;

    // Controls by number, by name ("?OK") or by their text (the '&' ignored).
    int Control(int window, const std::string& nameOrText) const;

    // Actions; each waits for idle afterwards and throws when the layer refused it.
    void Press(int window, int control);
    void Press(int window, const std::string& nameOrText);
    void Type(int window, int control, const std::string& text);
    void Check(int window, int control, bool on);
    void Choose(int window, int control);                       // radio or tab
    void ChooseRow(int window, int control, int64_t row, int column = 0);
    void ChooseMenu(int window, const std::string& path);       // "&Datei|&Öffnen..." ('&' optional)
    void Key(int window, int control, int keyCode);
    void Mouse(int window, int control, const WindowMessage& message);
    void Expand(int window, int control, int64_t row, bool expand);
    void Focus(int window, int control);
    void Close(int window);
    void Post(int window, int code);                            // a window event by the user
    void Paint(int window, int control);

    // Requests.
    bool HasMessage() const;
    MessageRequest Message() const;                              // the oldest pending message
    void AnswerMessage(int button);
    bool HasFileDialog() const;
    UiRequest FileDialogRequest() const;
    void AnswerFileDialog(const std::string& path);
    void CancelFileDialog();
    std::vector<ShellOpenRecord> ShellOpens() const;
    const std::vector<PrintRecord>& Prints() const { return prints_; }   // oldest first
    bool HasPopup() const;
    UiRequest Popup() const;                                     // the open context menu
    void ChoosePopup(int number);                                // 0 dismisses it
    void ChoosePopup(const std::string& path);                   // "Untermenü|Eintrag" ('&' optional)

    // Reading the models.
    PropValue Property(int window, int control, Prop prop, int index = 0) const;
    std::string Text(int window, int control) const;            // Text, or ScreenText of fields
    bool Hidden(int window, int control) const;
    bool Disabled(int window, int control) const;
    int64_t RowCount(int window, int control) const;
    std::string Cell(int window, int control, int64_t row, int column) const;
    std::vector<PaintOp> PaintOps(int window, int control) const;

    // Time.
    void AdvanceTime(int64_t hundredths);

    // Which threads run and wait on what.
    std::string Describe() const;

    void Wake() override;

private:
    class Baton;
    void Fail(const std::string& what) const;
    void Act(const std::string& refusal, const std::string& what);
    void ApplyGeometry();
    Options options_;
    std::vector<ShellOpenRecord> shellOpens_;
    std::vector<PrintRecord> prints_;
    bool started_ = false;
};
