#pragma once
// SIGTERM, SIGINT and SIGHUP, as a session's end, a Ctrl+C or a closed terminal
// send them, turned into a Qt signal on the event loop: the handler only writes
// the signal's number to a socket pair (async-signal-safe), and a socket
// notifier reads it there, where the program may save and quit as usual.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace chronvale {

class QuitSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one object at a time per process (a second one
    // installs nothing and never reports). The handlers stay the program's until
    // the object goes, which restores the ones before.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // Whether the handlers are installed.
    bool installed() const { return installed_; }

signals:
    // One of the three signals arrived (its number).
    void quitRequested(int signalNumber);

private:
    void readPending();

    bool installed_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace chronvale
