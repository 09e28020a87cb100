#include "fetch.h"

#include "http_date.h"

#include <curl/curl.h>
#include <memory>

namespace chronvale::imaged {

namespace {

struct Transfer {
    QByteArray body;
    size_t maxBytes = 0;
    bool tooBig = false;
    std::string etag;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (static_cast<size_t>(transfer->body.size()) + bytes > transfer->maxBytes) {
        transfer->tooBig = true;
        return 0; // ends the transfer with CURLE_WRITE_ERROR
    }
    transfer->body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

// Keeps the ETag of the last header block: each redirect starts a new one.
size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    const std::string line(data, bytes);
    if (line.rfind("HTTP/", 0) == 0) {
        transfer->etag.clear();
    } else if (line.size() > 5 && (line[0] == 'E' || line[0] == 'e') &&
               curl_strnequal(line.c_str(), "etag:", 5)) {
        std::string value = line.substr(5);
        const size_t first = value.find_first_not_of(" \t");
        const size_t last = value.find_last_not_of(" \t\r\n");
        transfer->etag = first == std::string::npos ? "" : value.substr(first, last - first + 1);
    }
    return bytes;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(user);
    return cancel != nullptr && cancel->load() ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

void initFetching() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

FetchResult fetchUrl(const FetchRequest& request) {
    FetchResult result;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        result.error = "cannot set up a transfer";
        return result;
    }
    Transfer transfer;
    transfer.maxBytes = request.maxBytes;
    char errorText[CURL_ERROR_SIZE] = {};
    std::unique_ptr<curl_slist, ListDeleter> headers;
    auto addHeader = [&headers](const std::string& header) {
        headers.reset(curl_slist_append(headers.release(), header.c_str()));
    };
    if (request.ifModifiedSince) {
        addHeader("If-Modified-Since: " + httpDate(*request.ifModifiedSince));
    }
    if (!request.etag.empty()) {
        addHeader("If-None-Match: " + request.etag);
    }
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, request.connectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, request.timeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, ""); // what this libcurl can decode
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
    curl_easy_setopt(handle, CURLOPT_FILETIME, 1L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "chronvale-imaged/" CHRONVALE_VERSION_TEXT);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
    if (request.cancel != nullptr) {
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, request.cancel);
    }
    if (headers) {
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    }

    const CURLcode code = curl_easy_perform(handle);
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.status);
    if (transfer.tooBig || code == CURLE_FILESIZE_EXCEEDED) {
        result.error =
            "the reply is larger than the limit of " + std::to_string(request.maxBytes) + " bytes";
        return result;
    }
    if (code != CURLE_OK) {
        result.error = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
        return result;
    }
    curl_off_t fileTime = -1;
    if (curl_easy_getinfo(handle, CURLINFO_FILETIME_T, &fileTime) == CURLE_OK && fileTime >= 0) {
        result.lastModified = static_cast<std::time_t>(fileTime);
    }
    result.etag = transfer.etag;
    if (result.status == 304) {
        result.ok = true;
        result.notModified = true;
        return result;
    }
    if (result.status != 200) {
        result.error = "HTTP status " + std::to_string(result.status);
        return result;
    }
    result.ok = true;
    result.body = std::move(transfer.body);
    return result;
}

} // namespace chronvale::imaged
