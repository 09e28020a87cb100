// chronvale-pack: turns a text file into a packed data file and back.
//
//   chronvale-pack pack IN.txt OUT.dat
//   chronvale-pack unpack IN.dat OUT.txt
//
// Exit status: 0 done, 1 a file could not be read, written or unpacked, 2 wrong
// command line.

#include "core/file_io.h"
#include "core/packed_file.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

void printUsage(std::FILE* out) {
    std::fputs("usage: chronvale-pack pack IN.txt OUT.dat\n"
               "       chronvale-pack unpack IN.dat OUT.txt\n"
               "Packs a text file into the packed data format of the data tables and\n"
               "language files (magic, length, zlib stream), or unpacks one.\n",
               out);
}

int fail(const char* what, const std::string& path) {
    std::fprintf(stderr, "chronvale-pack: %s '%s'\n", what, path.c_str());
    return exitFailure;
}

int pack(const std::string& in, const std::string& out) {
    std::optional<std::string> text =
        chronvale::readFileBytes(in, static_cast<std::size_t>(chronvale::maxPackedTextLength));
    if (!text) {
        return fail("cannot read (missing, not a regular file, or larger than 64 MiB)", in);
    }
    // Readers stop at the first NUL byte, so such a text would not come back whole.
    if (text->find('\0') != std::string::npos) {
        return fail("refusing to pack a text that contains a NUL byte:", in);
    }
    if (!chronvale::savePackedTextFile(out, *text)) {
        return fail("cannot write", out);
    }
    return 0;
}

int unpack(const std::string& in, const std::string& out) {
    std::optional<std::string> text = chronvale::loadPackedTextFile(in);
    if (!text) {
        return fail("cannot read or not a valid packed data file:", in);
    }
    if (!chronvale::writeFileAtomically(out, *text)) {
        return fail("cannot write", out);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        printUsage(stdout);
        return 0;
    }
    if (argc != 4) {
        printUsage(stderr);
        return exitUsage;
    }
    std::string_view command = argv[1];
    if (command == "pack") {
        return pack(argv[2], argv[3]);
    }
    if (command == "unpack") {
        return unpack(argv[2], argv[3]);
    }
    std::fprintf(stderr, "chronvale-pack: unknown command '%s'\n", argv[1]);
    printUsage(stderr);
    return exitUsage;
}
