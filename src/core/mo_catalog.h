#pragma once
// GNU gettext's compiled message catalogs (.mo files), read as a table from
// original text to translation. Used for the translated names that other
// projects ship as catalogs (the countries of iso-codes).

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace chronvale {

using MoCatalog = std::unordered_map<std::string, std::string>;

// The entries of a catalog in either byte order. Entries with a context
// ("context\x04text") and the plural forms after the first are left out, as is
// the header (the empty original) and any empty translation. None when the
// bytes are not a catalog or a table or string lies outside them.
std::optional<MoCatalog> parseMoCatalog(std::string_view bytes);

} // namespace chronvale
