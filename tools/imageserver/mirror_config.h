#pragma once
// The mirror's sources from the [Mirror] group of the installation values
// (chronvale.ini, overridden by QUILLMAR/Chronvale.conf of XDG_CONFIG_DIRS), so a
// site can point every user's server at its own mirror:
//
//   [Mirror]
//   clouds1="https://..."          cloud maps, tried in the order of their numbers
//   clouds1_credit="..."           the credit of that source (optional)
//   clouds1_kind="infrared"        its picture is infrared brightness, turned into
//                                  clouds (default "clouds": taken as it is)
//   quakes1="https://..."          earthquake feeds, the same way
//
// An override file that names clouds1 replaces the shipped clouds1 only; to drop
// a shipped source, set it to "" (an empty value is no source).

#include "mirror.h"
#include "net/link_config.h"

#include <QString>
#include <functional>
#include <vector>

namespace chronvale::imaged {

struct MirrorSources {
    std::vector<MirrorSource> clouds;
    std::vector<MirrorSource> quakes;
};

// The sources the values name, each list in the order of its numbers. A URL that
// is not http(s), or a cloud source of an unknown kind, is logged and left out.
MirrorSources mirrorSourcesFromConfig(const LinkConfig& config,
                                      const std::function<void(const QString&)>& log);

} // namespace chronvale::imaged
