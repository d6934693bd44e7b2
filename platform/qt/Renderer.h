#pragma once
// The renderer: shows the window models with Qt Widgets on the process's main thread and turns
// the user's input into the events the program's threads expect.
//
// The logical threads never call Qt. Between two holders of the baton the renderer takes it
// (the host's baton), runs the user's queued input (the Input... functions of the window layer),
// lets the owners react, then brings every window's widgets in line with its model and shows the
// requests that wait (message boxes, file dialogs, context menus, shell opens). Reports to print
// are copied under the baton and drawn after it is given back, so the program's other threads go
// on meanwhile. A short timer looks for changes that no request announces (timer events, other
// threads' work).
//
// The program's main() calls RunWithRenderer; tests make a Renderer themselves and call Settle.
#include "platform/qt/Host.h"
#include "platform/ui/Report.h"
#include "platform/ui/Runtime.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QMdiArea;
class QPrinter;
class QTimer;
class QWidget;
class WindowView;

// Starts logical thread 1 with `mainThreadProcedure` and runs Qt's event loop on the calling
// (main) thread until every logical thread has ended; returns the loop's exit code. Creates the
// QApplication from argc/argv (its window icon is the program's icon "varn4.ico").
int RunWithRenderer(int argc, char** argv, std::function<void()> mainThreadProcedure);

class Renderer : public QObject, public UiHost, public QtHost {
    Q_OBJECT
public:
    struct Options {
        int settleMs = 50;      // how long the drawing after an input waits for the owner's reaction
        int pollMs = 15;        // how often changes without a request are looked for
        // Starts a detached program without a shell (tests record instead); true when started.
        std::function<bool(const QString& program, const QStringList& arguments, const QString& directory)> startDetached;
        // Draws a report to the PDF file, else to the printer of that name (empty: the default);
        // "" when done, else why not. Runs on the main thread without the baton.
        std::function<std::string(const Report& report, const std::string& pdfFile, const std::string& printer)> print;
    };

    Renderer();
    explicit Renderer(Options options);
    // Ends the run: threads that still wait are unwound, the windows go.
    ~Renderer() override;

    // Starts a fresh run on the real clock with `main` as logical thread 1.
    void Start(std::function<void()> main);
    bool Started() const { return started_; }
    // True once every logical thread of the run has ended.
    bool Ended() const;

    // Processes Qt's events until the threads are idle, the input queue is empty and the widgets
    // show the models; false when that did not happen within `timeoutMs`.
    bool Settle(int timeoutMs = 60000);

    // The widgets of a window model (nullptr when it is not shown).
    WindowView* View(int window) const;
    QWidget* WindowWidget(int window) const;
    QWidget* ControlWidget(int window, int control) const;
    // The dialog or menu shown for a request of the given kind, oldest first (tests answer them).
    QWidget* RequestWidget(UiRequest::Kind kind) const;
    // Answers every dialog or menu shown for a request as its cancel would (a file dialog with no
    // file, a message box with its escape button, else its default) and closes it: a thread that
    // waits for an answer is free for the program's close-down. Prints and shell opens run on.
    void CancelRequests();
    // Input the window layer refused, newest last (a widget out of step with its model).
    const std::vector<std::string>& Refusals() const { return refusals_; }

    void Wake() override;
    void Input(std::function<std::string()> action) override;
    bool Syncing() const override { return syncing_; }

signals:
    // Every logical thread has ended.
    void Finished();

public slots:
    // One round: input, reaction, drawing, requests. Safe to call at any time on the main thread.
    void Pump();

private:
    struct Shown {
        UiRequest::Kind kind;
        QPointer<QObject> widget;
    };
    struct PrintJob {
        int id = 0;
        Report report;                      // a copy: the asking thread's may go if its run is aborted
        std::string pdfFile;
    };
    void SyncAll();
    bool HasDialogOver(int window) const;
    void ServeRequests();
    void ShowMessage(UiRequest& r);
    void ShowFileDialog(UiRequest& r);
    void ShowPopup(UiRequest& r);
    void OpenShell(UiRequest& r);
    void QueuePrint(UiRequest& r);
    void RunPrints();
    void AnswerById(int id, int answer, const std::string& text = {});
    QWidget* OwnerFor(int thread) const;
    void OnStdAction(int action);
    void SchedulePump();

    Options options_;
    std::map<int, std::unique_ptr<WindowView>> views_;
    std::vector<std::function<std::string()>> pending_;
    std::vector<std::string> refusals_;
    std::map<int, int> returnTo_;           // dialog window id -> the window it was opened over
    std::map<int, Shown> shown_;            // request id -> its dialog or menu
    std::vector<PrintJob> prints_;          // taken under the baton, drawn after it
    QTimer* poll_ = nullptr;
    bool started_ = false, finished_ = false;
    bool syncing_ = false, pumping_ = false, pumpQueued_ = false;
    int front_ = 0;
    std::unique_ptr<QPrinter> printer_;
    QString lastFolder_;                    // of the file last chosen in a file dialog
    std::string chosenPrinter_;             // from the printer set-up; empty: the default printer
};
