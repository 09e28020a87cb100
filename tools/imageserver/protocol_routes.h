#pragma once
// The image server's requests and how they are answered: the frame list, the
// newest check, the frames, the earthquakes and the credits, plus the fault
// options that tests use to make a server misbehave.

#include "credits.h"
#include "folder_replies.h"

#include <QString>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace httplib {
class Server;
}

namespace chronvale::imaged {

struct ProtocolOptions {
    QString list;                                     // answer list requests with this file
    std::optional<std::pair<int, std::string>> error; // answer with this error element
    bool redirect = false;                            // redirect every request under /moved
    int imageStatus = 0;                              // answer image requests with this status
    int slowMs = 0;                                   // wait this long before every reply
    int maxAge = 300; // seconds the lists, newest frame, earthquakes and credits may be kept
};

// The <source> element that follows the list, newest check and earthquake
// replies: who made the data (or that it is made up), why nothing newer came and
// when it was stored (0: not known). Old clients pass over it.
using SourceOf = std::function<std::string(DataKind kind, bool demo, std::time_t updated)>;

// Adds the routes, answered from `replies`, to the server.
void addProtocolRoutes(httplib::Server& server, const ProtocolOptions& options,
                       FolderReplies& replies, std::time_t started,
                       std::function<void(const QString&)> log, SourceOf source);

} // namespace chronvale::imaged
