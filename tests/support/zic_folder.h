#pragma once
// A zoneinfo folder compiled by zic in the test from a few zones of tzdata text,
// as the system's folder is compiled from the full text.

#include "support/scratch.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace chronvale::test {

// The rules of the zones the tests use, as the IANA database writes them
// (reduced to the years from 2007 on).
inline constexpr const char* kTestTzdata = R"(# version 2099z
Rule US 2007 max - Mar Sun>=8 2:00 1:00 D
Rule US 2007 max - Nov Sun>=1 2:00 0 S
Rule EU 1981 max - Mar lastSun 1:00u 1:00 S
Rule EU 1996 max - Oct lastSun 1:00u 0 -
Rule Eire 1981 max - Mar lastSun 1:00u 0 -
Rule Eire 1996 max - Oct lastSun 1:00u -1:00 -
Rule LH 2008 max - Apr Sun>=1 2:00 0 -
Rule LH 2008 max - Oct Sun>=1 2:00 0:30 -
Rule Chatham 2007 max - Sep lastSun 2:45s 1:00 -
Rule Chatham 2008 max - Apr Sun>=1 2:45s 0 -
Rule Canada 2007 max - Mar Sun>=8 2:00 1:00 D
Rule Canada 2007 max - Nov Sun>=1 2:00 0 S
Zone Etc/UTC 0 - UTC
Zone Europe/London 0:00 EU GMT/BST
Zone Europe/Dublin 1:00 Eire IST/GMT
Zone Australia/Lord_Howe 10:30 LH +1030/+11
Zone Pacific/Chatham 12:45 Chatham +1245/+1345
Zone America/St_Johns -3:30 Canada N%sT
Zone Asia/Kathmandu 5:45 - +0545
Zone Asia/Kolkata 5:30 - IST
Zone Asia/Tokyo 9:00 - JST
)";

// America/Vancouver as the database had it, and as a government changed it:
// from 1 November 2026 on UTC-7 all year.
inline constexpr const char* kVancouverBefore = "Zone America/Vancouver -8:00 US P%sT\n";
inline constexpr const char* kVancouverChanged =
    "Zone America/Vancouver -8:00 US P%sT 2026 Nov 1 2:00\n"
    "                       -7:00 - MST\n";

// Compiles the text with zic into folder/zoneinfo (slim files, or fat ones with
// the table running to 2037) and writes tzdata.zi beside them. True on success.
inline bool compileZones(const ScratchDir& folder, const std::string& text, bool fat = false) {
    const std::string source = folder.file("tzdata.txt");
    const std::string out = folder.file("zoneinfo");
    {
        std::ofstream f(source);
        f << text;
        if (!f) {
            return false;
        }
    }
    const std::string command = std::string("/usr/sbin/zic -b ") + (fat ? "fat" : "slim") +
                                " -d '" + out + "' '" + source + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        return false;
    }
    std::ofstream zi(out + "/tzdata.zi");
    zi << text;
    return static_cast<bool>(zi);
}

} // namespace chronvale::test
