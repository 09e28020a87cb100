#pragma once
// A stand-in for the public sources the image server mirrors: a cpp-httplib
// server on a free loopback port, run on its own thread, that records every
// request it answers.

#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace chronvale::test {

struct UpstreamRequest {
    std::string path;
    int status = 0;
    std::string ifModifiedSince;
    std::string ifNoneMatch;
    size_t bodyBytes = 0; // bytes of body sent
};

class UpstreamServer {
public:
    UpstreamServer();
    ~UpstreamServer();
    UpstreamServer(const UpstreamServer&) = delete;
    UpstreamServer& operator=(const UpstreamServer&) = delete;

    // Routes are added before start().
    httplib::Server& routes() { return server_; }
    // Binds a free loopback port and serves on a thread; false when it cannot bind.
    bool start();
    // Stops serving and waits for the thread; the port stops answering.
    void stop();

    int port() const { return port_; }
    std::string url(const std::string& path) const;

    // The requests answered so far for a path (all paths when empty).
    std::vector<UpstreamRequest> requests(const std::string& path = {});
    // Waits (at most `bound`) until `count` requests for the path were answered.
    bool waitForRequests(const std::string& path, size_t count,
                         std::chrono::milliseconds bound = std::chrono::seconds(20));

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable answered_;
    std::vector<UpstreamRequest> requests_;
};

// A route body that serves `bytes` with a Last-Modified (when not empty), and a
// 304 without a body when the request's If-Modified-Since or If-None-Match shows
// the copy is current.
httplib::Server::Handler serveFile(QByteArray bytes, std::string contentType,
                                   std::string lastModified = {}, std::string etag = {});

} // namespace chronvale::test
