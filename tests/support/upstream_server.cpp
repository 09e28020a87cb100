#include "support/upstream_server.h"

namespace chronvale::test {

UpstreamServer::UpstreamServer() {
    server_.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        UpstreamRequest seen{request.path, response.status,
                             request.get_header_value("If-Modified-Since"),
                             request.get_header_value("If-None-Match"),
                             response.body.size() + response.content_length_};
        {
            const std::lock_guard lock(mutex_);
            requests_.push_back(seen);
        }
        answered_.notify_all();
    });
}

UpstreamServer::~UpstreamServer() {
    stop();
}

bool UpstreamServer::start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        return false;
    }
    // The socket listens from the bind on, so requests wait in its queue. stop()
    // only takes effect once the loop runs, so wait (bounded) for it to start.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server_.is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    return server_.is_running();
}

void UpstreamServer::stop() {
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

std::string UpstreamServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<UpstreamRequest> UpstreamServer::requests(const std::string& path) {
    const std::lock_guard lock(mutex_);
    std::vector<UpstreamRequest> out;
    for (const UpstreamRequest& request : requests_) {
        if (path.empty() || request.path == path) {
            out.push_back(request);
        }
    }
    return out;
}

bool UpstreamServer::waitForRequests(const std::string& path, size_t count,
                                     std::chrono::milliseconds bound) {
    std::unique_lock lock(mutex_);
    return answered_.wait_for(lock, bound, [&] {
        size_t seen = 0;
        for (const UpstreamRequest& request : requests_) {
            seen += path.empty() || request.path == path;
        }
        return seen >= count;
    });
}

httplib::Server::Handler serveFile(QByteArray bytes, std::string contentType,
                                   std::string lastModified, std::string etag) {
    return [bytes, contentType, lastModified, etag](const httplib::Request& request,
                                                    httplib::Response& response) {
        if (!lastModified.empty()) {
            response.set_header("Last-Modified", lastModified);
        }
        if (!etag.empty()) {
            response.set_header("ETag", etag);
        }
        const bool sameDate =
            !lastModified.empty() && request.get_header_value("If-Modified-Since") == lastModified;
        const bool sameTag = !etag.empty() && request.get_header_value("If-None-Match") == etag;
        if (sameDate || sameTag) {
            response.status = 304;
            return;
        }
        response.set_content(bytes.constData(), static_cast<size_t>(bytes.size()), contentType);
    };
}

} // namespace chronvale::test
