// A generated folder tree for the shortcut walk: folders of files, one entry in a hundred a shortcut whose target
// is missing, and the floor the walk cannot beat (the same listing and the same shortcut reads, nothing else).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

namespace tw::bench {

struct TreeCounts {
  uint64_t entries = 0;    // files and folders made
  uint64_t shortcuts = 0;  // of them shortcuts to a missing target
};

// Makes a shortcut file `link` pointing at `target`; the host knows how.
using ShortcutMaker = std::function<bool(Platform&, const std::string& link, const std::string& target)>;

// About `entries` files and folders below `root` (folders of 100 entries in two levels).
TreeCounts GenerateFileTree(Platform& platform, const std::string& root, uint64_t entries, const ShortcutMaker& make);
// Removes the tree again.
void RemoveFileTree(Platform& platform, const std::string& root);

// Lists every folder below `root` with find-first/next and nothing else; the number of entries listed.
uint64_t RawListing(Platform& platform, const std::string& root);

// Lists every folder below `root` with find-first/next and reads every ".lnk" file's target, as the walk does.
TreeCounts RawShortcutWalk(Platform& platform, const std::string& root);

}  // namespace tw::bench
