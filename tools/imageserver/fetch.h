#pragma once
// Outbound HTTP(S) for the mirror, with libcurl: redirects, time-outs, conditional
// requests, a size limit and the proxy of the environment (http_proxy,
// https_proxy, all_proxy, no_proxy, as curl reads them).

#include <QByteArray>
#include <atomic>
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>

namespace chronvale::imaged {

inline constexpr size_t kDefaultFetchLimit = size_t{64} << 20; // 64 MiB

struct FetchRequest {
    std::string url;
    // Conditional request: the validators of the copy already held.
    std::optional<std::time_t> ifModifiedSince;
    std::string etag;
    size_t maxBytes = kDefaultFetchLimit;
    long connectTimeoutSeconds = 20;
    // The whole transfer, redirects included.
    long timeoutSeconds = 300;
    // When set and true, the transfer ends early (the program is stopping).
    const std::atomic<bool>* cancel = nullptr;
};

struct FetchResult {
    bool ok = false;          // a 200 with a complete body, or a 304
    bool notModified = false; // 304: the copy held is still current
    long status = 0;          // the final HTTP status; 0 without an answer
    QByteArray body;
    std::optional<std::time_t> lastModified; // the reply's Last-Modified
    std::string etag;                        // the reply's ETag, quotes kept
    std::string error;                       // why ok is false
};

// Sets up libcurl for the process; call once before any thread fetches.
void initFetching();

// Fetches one URL (http or https only) and follows up to 5 redirects. A body over
// maxBytes, a truncated body and every status other than 200 and 304 fail.
FetchResult fetchUrl(const FetchRequest& request);

} // namespace chronvale::imaged
