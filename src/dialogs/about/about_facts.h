#pragma once
// What the about box tells about the computer and the data: the distribution's
// name from os-release, the memory from /proc/meminfo, and the credits of the
// data folder's SOURCES.md. The readers take the files' texts, so that tests
// can give their own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

// PRETTY_NAME of an os-release text (quotes and backslash escapes removed), else
// NAME and VERSION joined by a blank; none when neither is there.
std::optional<std::string> distributionName(std::string_view osRelease);

struct MemoryFacts {
    std::optional<std::uint64_t> totalKiB;
    std::optional<std::uint64_t> freeKiB; // MemAvailable, else MemFree
};

// MemTotal and MemAvailable (or MemFree) of a /proc/meminfo text.
MemoryFacts memoryFacts(std::string_view meminfo);

struct CreditEntry {
    std::string credit;  // the quoted "Credit:" text, blanks and line breaks joined to one blank
    std::string licence; // the "Licence:" text up to its first full stop or ";"; may be empty
};

struct CreditSection {
    std::string heading; // the "## " heading
    std::vector<CreditEntry> entries;
};

// The sections of SOURCES.md that hold a credit, in file order. Each "- " item
// of a section gives one entry per "Credit:"; a "Licence:" belongs to the
// credits that follow it up to the next "- Package:" item. A quote that never closes ends the text
// there. Texts longer than 2000 bytes are cut.
std::vector<CreditSection> readCredits(std::string_view sourcesMarkdown);

struct SystemFacts {
    std::string kernel;                      // "Linux 6.1.0-18-amd64"
    std::optional<std::string> distribution; // "Debian GNU/Linux 12 (bookworm)"
    MemoryFacts memory;
};

// This computer: uname, /etc/os-release (else /usr/lib/os-release), /proc/meminfo.
SystemFacts systemFacts();

} // namespace chronvale
