#include "file_tree.h"

#include <vector>

namespace tw::bench {

TreeCounts GenerateFileTree(Platform& platform, const std::string& root, uint64_t entries, const ShortcutMaker& make) {
  IFiles& files = platform.files;
  TreeCounts counts;
  files.MakeDirectory(root);
  const std::string target = root + "\\missing-target.exe";
  for (uint64_t top = 0; counts.entries < entries; ++top) {
    const std::string upper = root + "\\t" + std::to_string(top);
    files.MakeDirectory(upper);
    ++counts.entries;
    for (int mid = 0; mid < 10 && counts.entries < entries; ++mid) {
      const std::string folder = upper + "\\m" + std::to_string(mid);
      files.MakeDirectory(folder);
      ++counts.entries;
      for (int i = 0; i < 100 && counts.entries < entries; ++i, ++counts.entries) {
        if (counts.entries % 100 == 50) {
          if (make(platform, folder + "\\s" + std::to_string(i) + ".lnk", target)) ++counts.shortcuts;
        } else {
          files.WriteWholeFile(folder + "\\f" + std::to_string(i) + ".txt", "x");
        }
      }
    }
  }
  return counts;
}

void RemoveFileTree(Platform& platform, const std::string& root) {
  IFiles& files = platform.files;
  std::vector<std::string> folders{root}, order;
  while (!folders.empty()) {
    const std::string folder = folders.back();
    folders.pop_back();
    order.push_back(folder);
    FindData d;
    const FindHandle h = files.FindFirst(folder + "\\*.*", &d);
    for (bool more = h != 0; more; more = files.FindNext(h, &d)) {
      if (d.name == "." || d.name == "..") continue;
      if (d.attributes & kAttrDirectory) folders.push_back(folder + "\\" + d.name);
      else files.RemoveFile(folder + "\\" + d.name);
    }
    files.FindClose(h);
  }
  for (auto it = order.rbegin(); it != order.rend(); ++it) files.RemoveFolder(*it);
}

uint64_t RawListing(Platform& platform, const std::string& root) {
  IFiles& files = platform.files;
  uint64_t entries = 0;
  std::vector<std::string> folders{root};
  while (!folders.empty()) {
    const std::string folder = folders.back();
    folders.pop_back();
    FindData d;
    const FindHandle h = files.FindFirst(folder + "\\*.*", &d);
    for (bool more = h != 0; more; more = files.FindNext(h, &d)) {
      ++entries;
      if (d.name == "." || d.name == "..") continue;
      if (d.attributes & kAttrDirectory) folders.push_back(folder + "\\" + d.name);
    }
    files.FindClose(h);
  }
  return entries;
}

TreeCounts RawShortcutWalk(Platform& platform, const std::string& root) {
  IFiles& files = platform.files;
  TreeCounts counts;
  std::vector<std::string> folders{root};
  std::string target;
  while (!folders.empty()) {
    const std::string folder = folders.back();
    folders.pop_back();
    FindData d;
    const FindHandle h = files.FindFirst(folder + "\\*.*", &d);
    for (bool more = h != 0; more; more = files.FindNext(h, &d)) {
      ++counts.entries;
      if (d.name == "." || d.name == "..") continue;
      if (d.attributes & kAttrDirectory) folders.push_back(folder + "\\" + d.name);
      const size_t dot = d.name.rfind('.');
      if (dot == std::string::npos || d.name.compare(dot, std::string::npos, ".lnk") != 0) continue;
      // The shortcut's target and the one existence test of it.
      if (platform.shell.ResolveShortcut(folder + "\\" + d.name, &target) &&
          files.Attributes(target) == kInvalidAttributes)
        ++counts.shortcuts;
    }
    files.FindClose(h);
  }
  return counts;
}

}  // namespace tw::bench
