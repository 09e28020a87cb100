#include "protocol_routes.h"

#include "http_date.h"
#include "replies.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <httplib.h>
#include <thread>

namespace chronvale::imaged {

namespace {

constexpr const char* kImmutable = "public, max-age=31536000, immutable";
constexpr const char* kDemoNote =
    "DEMO: procedural cloud frames made up by chronvale-imaged, not satellite images";

struct Context {
    const ProtocolOptions& options;
    FolderReplies& replies;
    std::time_t started;
    std::function<void(const QString&)> log;
    std::string shortLived; // the Cache-Control of replies that change with the folder
    SourceOf source;

    std::string sourceOf(DataKind kind, bool demo, std::time_t updated) const {
        return source ? source(kind, demo, updated) : std::string();
    }
};

void setCaching(httplib::Response& response, const std::string& cacheControl,
                std::time_t modified) {
    response.set_header("Cache-Control", cacheControl);
    response.set_header("Last-Modified", httpDate(modified));
}

std::time_t modifiedTime(const QString& path, std::time_t otherwise) {
    const QFileInfo info(path);
    return info.exists() ? static_cast<std::time_t>(info.lastModified().toSecsSinceEpoch())
                         : otherwise;
}

void answerFrame(const Context& context, const FolderSnapshot& folder,
                 const httplib::Request& request, httplib::Response& response) {
    if (context.options.imageStatus != 0) {
        response.status = context.options.imageStatus;
        response.set_content("Image refused by --image-status\n", "text/plain");
        return;
    }
    const bool named = request.has_param("t");
    // A named frame is looked up by its exact name; no name means the newest.
    const std::string t = named ? request.get_param_value("t") : std::string();
    auto frame = named && t.empty() ? std::nullopt : folder.frame(t);
    // w=4096 asks for the large copy; a frame without one is served as it is.
    if (frame && frame->hires && request.get_param_value("w") == "4096") {
        frame->path = hiresFramePath(folder.folder, frame->t);
        frame->t += "@4096"; // its own entry among the bytes kept
    }
    // A frame removed since the folder was listed is missing too; an empty file is
    // served as it is.
    const auto bytes = frame ? folder.frameBytes(*frame) : nullptr;
    if (!bytes) {
        response.status = 404;
        response.set_content("No such frame\n", "text/plain");
        return;
    }
    response.set_content(*bytes, "image/jpeg");
    // A named frame never changes; the newest one does every few hours.
    setCaching(response, named ? kImmutable : context.shortLived,
               modifiedTime(frame->path, context.started));
}

void answerCloud(const Context& context, const httplib::Request& request,
                 httplib::Response& response) {
    const auto folder = context.replies.current();
    if (request.get_param_value("f") == "1") {
        answerFrame(context, *folder, request, response);
        return;
    }
    if (request.get_param_value("checkonly") != "1") {
        response.status = 400;
        response.set_content("Ask with checkonly=1 or f=1\n", "text/plain");
        return;
    }
    if (!request.has_param("n")) {
        response.set_content(folder->newest +
                                 context.sourceOf(DataKind::Clouds, folder->demoFrames, 0),
                             "text/xml");
    } else if (!context.options.list.isEmpty()) {
        QFile file(context.options.list);
        response.set_content(file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "",
                             "text/xml");
        setCaching(response, context.shortLived,
                   modifiedTime(context.options.list, context.started));
        return;
    } else {
        int n = 12;
        try {
            n = std::stoi(request.get_param_value("n"));
        } catch (...) {
        }
        response.set_content(*folder->list(n, folder->demoFrames ? kDemoNote : "") +
                                 context.sourceOf(DataKind::Clouds, folder->demoFrames, 0),
                             "text/xml");
    }
    setCaching(response, context.shortLived, folder->framesModified);
}

void answerBuilt(const Context& context, const BuiltReply& reply, const char* type,
                 httplib::Response& response, const std::string& after = {}) {
    if (reply.status != 200) {
        response.status = reply.status;
        response.set_content(reply.body, "text/plain");
        return;
    }
    response.set_content(after.empty() ? reply.body : reply.body + after, type);
    setCaching(response, context.shortLived, reply.modified);
}

} // namespace

void addProtocolRoutes(httplib::Server& server, const ProtocolOptions& options,
                       FolderReplies& replies, std::time_t started,
                       std::function<void(const QString&)> log, SourceOf source) {
    auto context = std::make_shared<Context>(
        Context{options, replies, started, std::move(log),
                "public, max-age=" + std::to_string(options.maxAge), std::move(source)});
    // Wraps a handler with the fault options that apply to every protocol request.
    auto protocol = [&options](bool mayRedirect, auto answer) {
        return [&options, mayRedirect, answer](const httplib::Request& request,
                                               httplib::Response& response) {
            if (options.slowMs > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(options.slowMs));
            }
            if (mayRedirect && options.redirect) {
                response.set_redirect("/moved" + request.target, 302);
                return;
            }
            if (options.error) {
                response.set_content(errorMarkup(options.error->first, options.error->second),
                                     "text/xml");
                return;
            }
            answer(request, response);
        };
    };
    auto cloud = [context](const httplib::Request& request, httplib::Response& response) {
        answerCloud(*context, request, response);
    };
    auto quakes = [context](const httplib::Request&, httplib::Response& response) {
        const auto folder = context->replies.current();
        if (folder->quakes.status != 200) {
            context->log(
                QStringLiteral("%1 is not a readable earthquake file").arg(folder->quakesPath));
        }
        answerBuilt(*context, folder->quakes, "text/xml", response,
                    context->sourceOf(DataKind::Quakes, folder->demoQuakes,
                                      folder->quakes.modified));
    };
    server.Get("/clouds/cloudv2.php", protocol(true, cloud));
    server.Get("/moved/clouds/cloudv2.php", protocol(false, cloud));
    server.Get("/earthquake.cgi", protocol(true, quakes));
    server.Get("/moved/earthquake.cgi", protocol(false, quakes));
    server.Get("/credits", [context](const httplib::Request&, httplib::Response& response) {
        answerBuilt(*context, context->replies.current()->credits, "text/plain; charset=utf-8",
                    response);
    });
    // Every reply carries a Last-Modified; those without caching rules of their
    // own (errors, redirects) are not to be kept by caches.
    server.set_post_routing_handler(
        [started](const httplib::Request&, httplib::Response& response) {
            if (!response.has_header("Last-Modified")) {
                response.set_header("Last-Modified", httpDate(started));
            }
            if (!response.has_header("Cache-Control")) {
                response.set_header("Cache-Control", "no-cache");
            }
        });
}

} // namespace chronvale::imaged
