#pragma once
// A loopback server that misbehaves on purpose, for the soak run: each connection is
// served on a thread of its own by the scenario its request path (or, on the SOCKS
// port, its port) names. Everything it sends is bounded in time and bytes, and every
// connection ends when the client goes away or the server stops.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace chronvale::bench {

class HostileServer {
public:
    // The SOCKS 5 lies, one per listening port.
    enum class SocksLie {
        LongName,       // a connect reply that announces a 255-byte name and sends 6
        WrongVersion,   // a connect reply of version 4
        UnknownAddress, // a connect reply with address type 9
    };

    HostileServer();
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    bool listening() const { return http_ >= 0 && socks_[0] >= 0; }
    // "http://127.0.0.1:port" + path.
    std::string url(const std::string& path) const;
    int socksPort(SocksLie lie) const { return socksPorts_[static_cast<int>(lie)]; }
    // The frame list the /clouds/ path answers with: time stamps that try paths.
    static std::string hostileFrameList();

private:
    static int listenLoopback(int& port);
    void acceptLoop(int listener, int kind);
    void serveHttp(int connection);
    void serveSocks(int connection, SocksLie lie);
    // Sends all of it unless the client is gone or the server stops; false then.
    bool sendAll(int connection, const std::string& bytes);
    bool pause(int milliseconds);

    int http_ = -1;
    int httpPort_ = 0;
    int socks_[3] = {-1, -1, -1};
    int socksPorts_[3] = {0, 0, 0};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<std::thread> threads_;
};

} // namespace chronvale::bench
