#pragma once
// HTTP dates (RFC 9110 IMF-fixdate), written without the process locale.

#include <ctime>
#include <string>

namespace chronvale::imaged {

// "Tue, 05 Mar 2024 06:00:00 GMT".
std::string httpDate(std::time_t when);

} // namespace chronvale::imaged
