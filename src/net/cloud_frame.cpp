#include "net/cloud_frame.h"

namespace chronvale {

bool isFrameTimeStamp(std::string_view t) {
    if (t.size() < 10 || t.size() > 14) {
        return false;
    }
    for (const char c : t) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

} // namespace chronvale
