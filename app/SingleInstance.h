#pragma once
// The Qt side of the single-instance guard (the lock itself is CSingleInstance, core/Startup.h):
// the running instance listens on a local socket at the guard's path; a second start connects,
// asks it to bring its frame to the front and ends.
#include <QObject>
#include <QString>

#include <string>

class QLocalServer;

class InstanceListener : public QObject {
    Q_OBJECT
public:
    explicit InstanceListener(QObject* parent = nullptr);
    ~InstanceListener() override;

    // Listens at `socketPath` (only the guard's owner calls it, so a socket left there by an
    // instance that crashed is removed first). False when that failed: the program runs on.
    bool Listen(const std::string& socketPath);

signals:
    // A second start asked for the frame.
    void ShowRequested();

private:
    void Accept();
    QLocalServer* server_ = nullptr;
};

// Brings the first visible top-level window whose title matches "Varn 4*" (case ignored) to the
// front, restoring it when it is minimised; false when there is none.
bool BringFrameToFront();

// The second start: asks the instance listening at `socketPath` to show its frame, trying again
// until `timeoutMs` have passed (the first one may still be starting); true when it answered.
// Blocking; needs no event loop.
bool AskRunningInstance(const std::string& socketPath, int timeoutMs = 3000);
