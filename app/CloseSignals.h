#pragma once
// SIGTERM, SIGINT and SIGHUP as a close request of the frame: the same close-down and save question
// as closing its window, instead of an end on the spot that leaves the working copy behind. The
// handler only writes a byte to a pipe; the main thread's event loop reads it. Step by step, a file
// dialog, message box or menu that a thread waits on is cancelled (the thread takes no close while
// it waits) and dialogs over the frame are closed, as a user would; then the frame is asked to close.
#include <QObject>

class QSocketNotifier;
class QTimer;
class Renderer;

class CloseSignals : public QObject {
    Q_OBJECT
public:
    // `renderer`: where the close requests go as the user's input.
    explicit CloseSignals(Renderer& renderer, QObject* parent = nullptr);
    ~CloseSignals() override;

    // Whether the handlers are in place.
    bool Active() const { return notifier_ != nullptr; }

signals:
    // A signal arrived and the frame is being asked to close.
    void Received(int signal);

private:
    void OnReadable();
    void Step();

    Renderer& renderer_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* steps_ = nullptr;
    int left_ = 0;                          // steps that may still be taken on the way
};
