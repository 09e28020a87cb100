#pragma once
// Starts the image server on demand, for the window and the wallpaper command
// alike: when the configured server is this computer and nothing answers on its
// port, the installed `chronvale-imaged --mirror` is started once per user and
// left running (it serves the wallpaper timer after the window has closed).
//
// A lock file in the user's runtime folder, held from the start until the new
// server answers, makes sure that two callers (the window and the wallpaper timer)
// never start two servers: the second one finds the lock held and waits for the
// first one's server instead.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <string>
#include <string_view>

namespace chronvale {

// Whether the host of "host" or "host:port" is this computer (a loopback name or
// address).
bool isThisComputer(std::string_view imageServer);

// Whether something accepts TCP connections at host:port, this computer only.
bool answersOnLoopback(std::string_view imageServer);

struct ImageServerLauncherSettings {
    QString program;       // the server program; empty: beside this executable
    QStringList arguments; // before --bind and --port; default {"--mirror"}
    QString lockPath;      // empty: chronvale-imaged-UID.lock in the runtime folder
    QString logPath;       // the server's output; empty: server.log of its data folder
    int answerTimeoutMs = 10000;
    int pollMs = 100;
};

class ImageServerLauncher : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        NotThisComputer, // the server is elsewhere: nothing to start
        Answering,       // something answers already
        Starting,        // this launcher started it; ready() follows when it answers
        Waiting,         // another caller is starting it; ready() follows
        NoProgram,       // chronvale-imaged is not installed beside the program
        Failed,          // it could not be started (see error())
    };

    using Settings = ImageServerLauncherSettings;

    explicit ImageServerLauncher(QObject* parent = nullptr);
    explicit ImageServerLauncher(Settings settings, QObject* parent = nullptr);
    ~ImageServerLauncher() override;

    // Looks at the configured server and starts it when needed. Returns at once;
    // for Starting and Waiting, ready() or gaveUp() follows.
    Outcome ensureRunning(const std::string& imageServer);

    // The same, waiting (bounded by answerTimeoutMs) until the server answers, for
    // a command without an event loop: true when it answers.
    bool ensureRunningAndWait(const std::string& imageServer);

    // The process started, 0 when none was.
    qint64 startedPid() const { return pid_; }
    QString error() const { return error_; }

    static QString defaultProgram();

signals:
    void ready();
    void gaveUp(const QString& why);

private:
    bool takeLock();
    void releaseLock();
    bool start(const std::string& imageServer);
    void poll();

    Settings settings_;
    std::string server_;
    int lockFd_ = -1;
    qint64 pid_ = 0;
    QString error_;
    QTimer timer_;
    QElapsedTimer waited_;
};

} // namespace chronvale
