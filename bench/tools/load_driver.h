#pragma once
// A load generator for HTTP servers on loopback: a given number of clients, each
// asking for the same target again as soon as its last reply is whole, all
// driven from one thread (epoll). It stops after a given number of requests or
// at a deadline, whichever comes first.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace chronvale::bench {

struct LoadSettings {
    int port = 0;
    std::string target;      // such as /earthquake.cgi
    int clients = 100;       // requests in flight at once
    size_t requests = 10000; // in all
    bool keepAlive = true;   // false: a new connection for each request
    std::chrono::seconds bound{30};
};

struct LoadResult {
    size_t answered = 0;           // whole 200 replies of the expected length
    size_t failures = 0;           // refused, cut off, short, wrong status, or unanswered
    double seconds = 0;            // from the first request to the last reply
    std::vector<double> latencyMs; // of each whole reply, from its connect or send
    double requestsPerSecond() const { return seconds > 0 ? answered / seconds : 0; }
    // The given percentile (0 to 100) of the latencies; 0 when there are none.
    double percentileMs(double p) const;
};

// Drives the load; the first whole reply sets the length every later one must have.
LoadResult driveLoad(const LoadSettings& settings);

} // namespace chronvale::bench
