#pragma once
// One running copy per user.
//
// The first copy holds a lock file and listens on a local socket, both named
// after "Globarin2" and the user, in the user's runtime folder. A later copy
// finds the lock held, sends its executable path over the socket and gives way
// (exit code 0). The first copy brings its window forward only when the path is
// its own: a copy installed elsewhere ends without disturbing it. The path may be
// followed by a TAB and "select-city": the window then also opens the city
// selector (the desktop entry's Select City action).
//
// A lock left behind by a copy that crashed is taken over (the lock file names
// the process that holds it, and is also locked with flock while it lives).

#include <QLockFile>
#include <QObject>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace chronvale {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        First,  // this copy holds the lock and listens
        Second, // another copy holds it
        Alone,  // no lock could be made (no writable folder): run as the only copy
    };

    // "Globarin2-" and the user's login name (or number).
    static QString defaultName();
    // The user's runtime folder ($XDG_RUNTIME_DIR, else a private folder Qt makes).
    static QString defaultFolder();

    // name: the lock is folder/name.lock and the socket folder/name.
    // executablePath: what a second copy sends and what the first compares with.
    SingleInstance(QString name, QString folder, QString executablePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock, taking over a stale one, and listens when it is ours.
    Role claim();

    // Second copy: sends the executable path to the first copy and waits for its
    // answer, running a local event loop, at most `bound` (connection attempts are
    // repeated meanwhile, for a first copy that has the lock but is not listening
    // yet). True when the first copy raised its window, false when it refused
    // (another path), none when it did not answer in time.
    // With selectCity the first copy also opens its city selector.
    std::optional<bool> askFirstToRaise(std::chrono::milliseconds bound, bool selectCity = false);

    // Stops listening and frees the lock; the last step of shutdown. Also done by
    // the destructor.
    void release();

    QString serverPath() const;
    QString lockPath() const;

Q_SIGNALS:
    // A second copy of the same executable started: show the window restored and
    // in front, even when it is hidden in the tray or minimised.
    void raiseRequested();
    // After raiseRequested, when the second copy asked for the city selector.
    void selectCityRequested();

private:
    void acceptConnections();
    void answer(QLocalSocket* socket);

    QString name_;
    QString folder_;
    QString executablePath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace chronvale
