#include "tools/junk_scan.h"

#include <cctype>

namespace tw {

namespace {

// The attribute words whose entries are shown, and whose folders are entered: directory; hidden; system; normal;
// temporary; directory+hidden; directory+hidden+read-only; archive. Any other word, such as a junction's or a
// symbolic link's (0x400 added) or a read-only folder's (0x11), is not entered.
bool PassesAttributeRule(uint32_t attributes) {
  switch (attributes) {
    case 0x10: case 0x2: case 0x4: case 0x80: case 0x100: case 0x12: case 0x13: case 0x20: return true;
    default: return false;
  }
}

bool IsDots(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

std::vector<DriveRow> ListFixedDrives(Platform& platform) {
  std::vector<DriveRow> drives;
  IFiles& files = platform.files;
  const uint32_t present = files.LogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(present & (1u << i))) continue;
    const std::string drive = std::string(1, static_cast<char>('A' + i)) + ":";
    const std::string root = drive + "\\";
    uint64_t freeBytes = 0, totalBytes = 0;
    if (files.DriveType(root) != kDriveFixed || !files.FreeSpace(root, &freeBytes, &totalBytes)) continue;
    const uint64_t freeMb = freeBytes >> 20, totalMb = totalBytes >> 20;
    if (freeMb == 0 || totalMb == 0) continue;
    DriveRow row;
    ShellItemInfo info;
    row.Caption = platform.shell.ItemInfo(root, &info) && !info.displayName.empty() ? info.displayName : root;
    row.IconIndex = info.iconIndex;
    row.TotalSpace = std::to_string(totalMb) + "MB";
    row.FreeSpace = std::to_string(freeMb) + "MB";
    row.Drive = drive;
    drives.push_back(row);
  }
  return drives;
}

JunkMatcher::JunkMatcher(const std::vector<TJunkType>& types) {
  for (const TJunkType& type : types) {
    if (!type.Ticked) continue;
    JunkPattern pattern(type.Pattern);
    switch (pattern.GetKind()) {
      case JunkPattern::Kind::Plain: names_.insert(pattern.Text()); break;
      case JunkPattern::Kind::Extension: extensions_.insert(pattern.Text()); break;
      case JunkPattern::Kind::Wildcard: wildcards_.push_back(std::move(pattern)); break;
    }
  }
}

bool JunkMatcher::Matches(const std::string& name) const {
  if (names_.find(std::string_view(name)) != names_.end()) return true;
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && extensions_.find(std::string_view(name).substr(dot)) != extensions_.end())
    return true;
  for (const JunkPattern& pattern : wildcards_)
    if (pattern.Matches(name)) return true;
  return false;
}

// One open search per level on a stack of its own; the entry that opened a level is tested when the level is
// done, so a folder comes after its contents.
bool ScanJunkFolder(IFiles& files, const std::string& root, const JunkMatcher& matcher,
                    IMessagePump& pump, ITextTarget& current, const std::function<bool()>& stop,
                    std::vector<TTempFileInfo>* found) {
  struct Level {
    std::string folder;
    FindHandle search;
    FindData opener;  // the entry of the level above that opened this one
  };
  auto test = [&](const std::string& folder, const FindData& entry) {
    if (matcher.Matches(entry.name))
      found->push_back({entry.name, folder + "\\" + entry.name, entry.size, (entry.attributes & kAttrDirectory) != 0});
  };

  std::vector<Level> levels;
  FindData entry;
  const FindHandle first = files.FindFirst(root + "\\*.*", &entry);
  if (!first) return true;
  levels.push_back({root, first, {}});
  bool have = true;
  bool stopped = false;
  std::string path;
  while (!levels.empty()) {
    if (!have) {
      Level done = std::move(levels.back());
      levels.pop_back();
      files.FindClose(done.search);
      if (levels.empty()) break;
      test(levels.back().folder, done.opener);
      have = files.FindNext(levels.back().search, &entry);
      continue;
    }
    pump.ProcessMessages();
    if (stop()) {
      stopped = true;
      break;
    }
    const Level& level = levels.back();
    if (IsDots(entry.name)) {
      have = files.FindNext(level.search, &entry);
      continue;
    }
    if (PassesAttributeRule(entry.attributes)) {
      path.assign(level.folder).append("\\").append(entry.name);
      current.SetText(path);
      if (entry.attributes & kAttrDirectory) {
        FindData inner;
        const FindHandle search = files.FindFirst(path + "\\*.*", &inner);
        if (search) {
          levels.push_back({path, search, entry});
          entry = std::move(inner);
          continue;
        }
      }
    }
    test(level.folder, entry);
    have = files.FindNext(level.search, &entry);
  }
  for (const Level& level : levels) files.FindClose(level.search);
  return !stopped;
}

std::string JunkDriveOf(const std::string& path) {
  std::string drive = path.substr(0, 2);
  for (char& c : drive) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return drive;
}

std::vector<JunkDriveTotal> JunkTotalsByDrive(const std::vector<TTempFileInfo>& found) {
  std::vector<JunkDriveTotal> totals;
  for (const TTempFileInfo& file : found) {
    const std::string drive = JunkDriveOf(file.FullPath);
    JunkDriveTotal* total = nullptr;
    for (JunkDriveTotal& t : totals)
      if (t.Drive == drive) total = &t;
    if (!total) total = &totals.emplace_back(JunkDriveTotal{drive, 0, 0});
    ++total->Count;
    total->Bytes += file.Size;
  }
  return totals;
}

}  // namespace tw
