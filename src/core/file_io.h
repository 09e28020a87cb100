#pragma once
// Whole-file reads and atomic replacement, shared by every loader and writer.
//
// Readers take an upper bound so that a damaged or hostile file cannot make the
// program allocate without limit. Writers never leave a half-written file under
// the final name: the bytes go to a temporary file beside it, which is renamed
// over the target only once everything is on disk.

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

// The bytes of a regular file; none when it cannot be opened or read, is not a
// regular file, or holds more than maxBytes bytes.
std::optional<std::string> readFileBytes(const std::string& path, std::size_t maxBytes);

struct AtomicWriteOptions {
    // The temporary file's path (config.ini.tmp); empty: a unique name beside the target.
    std::string temporaryPath;
    // Runs once the temporary file is complete on disk, just before the rename;
    // false abandons the write. Tests use it to stand for a crash at that moment.
    std::function<bool()> beforeRename;
};

// Writes the parts, in order, to a temporary file in the target's folder, flushes
// it to disk, renames it over path and flushes the folder. False on any failure;
// the temporary file is removed and an existing file at path is left as it was.
bool writeFileAtomically(const std::string& path, std::initializer_list<std::string_view> parts,
                         const AtomicWriteOptions& options = {});
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         const AtomicWriteOptions& options = {});

} // namespace chronvale
