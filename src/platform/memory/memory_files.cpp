#include "platform/memory/memory_files.h"

#include "platform/memory/wildcard_match.h"

namespace tw {
namespace {

constexpr uint64_t kDefaultClock = 128436192000000000ull;  // 1 January 2008, 00:00 UTC
constexpr uint32_t kSettableAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | 0x100 | 0x2000;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char DriveLetterOf(std::string_view root) {
  if (root.size() < 2 || root[1] != ':') return 0;
  if (root.size() > 2 && !(root.size() == 3 && IsSeparator(root[2]))) return 0;
  return static_cast<char>(AnsiUpper(root[0]));
}

}  // namespace

MemoryFiles::MemoryFiles() : clock_(kDefaultClock) {
  SetDrive('C', kDriveFixed);
  AddFolder(WindowsDir());
  AddFolder(SystemDir());
  SetTempDir("C:\\Documents and Settings\\User\\Local Settings\\Temp\\");
  SetExecutablePath("C:\\Program Files\\Tarnwick\\tarnwick.exe");
}

bool MemoryFiles::Parse(std::string_view path, ParsedPath* out) {
  if (path.size() < 2 || path[1] != ':') return false;
  char letter = static_cast<char>(AnsiUpper(path[0]));
  if (letter < 'A' || letter > 'Z') return false;
  if (path.size() > 2 && !IsSeparator(path[2])) return false;
  ParsedPath p;
  p.drive = letter;
  size_t pos = 2;
  while (pos < path.size()) {
    while (pos < path.size() && IsSeparator(path[pos])) ++pos;
    size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string_view part = path.substr(pos, end - pos);
    pos = end;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!p.parts.empty()) p.parts.pop_back();
      continue;
    }
    p.parts.push_back(part);
  }
  *out = std::move(p);
  return true;
}

const MemoryFiles::Drive* MemoryFiles::DriveOf(char letter) const {
  auto it = drives_.find(letter);
  return it == drives_.end() ? nullptr : &it->second;
}

MemoryFiles::NodeId MemoryFiles::Child(NodeId folder, std::string_view name) const {
  const auto& children = nodes_[folder].children;
  auto it = children.find(name);
  return it == children.end() ? kNone : it->second;
}

MemoryFiles::NodeId MemoryFiles::FindParsed(const ParsedPath& p, size_t partCount) const {
  const Drive* drive = DriveOf(p.drive);
  if (!drive || !drive->ready) return kNone;
  NodeId cur = drive->root;
  for (size_t i = 0; i < partCount; ++i) {
    if (!nodes_[cur].IsFolder()) return kNone;
    cur = Child(cur, p.parts[i]);
    if (cur == kNone) return kNone;
  }
  return cur;
}

MemoryFiles::NodeId MemoryFiles::Find(const std::string& path) const {
  ParsedPath p;
  if (!Parse(path, &p)) return kNone;
  return FindParsed(p, p.parts.size());
}

bool MemoryFiles::ParentFor(const std::string& path, NodeId* parent, std::string* name) const {
  ParsedPath p;
  if (!Parse(path, &p) || p.parts.empty()) return false;
  NodeId folder = FindParsed(p, p.parts.size() - 1);
  if (folder == kNone || !nodes_[folder].IsFolder()) return false;
  *parent = folder;
  *name = std::string(p.parts.back());
  return true;
}

MemoryFiles::NodeId MemoryFiles::AddNode(NodeId parent, std::string_view name, uint32_t attributes) {
  NodeId id = static_cast<NodeId>(nodes_.size());
  nodes_.emplace_back();
  Node& node = nodes_.back();
  node.name = std::string(name);
  node.parent = parent;
  node.attributes = attributes;
  node.creationTime = node.accessTime = node.writeTime = clock_;
  nodes_[parent].children.emplace(node.name, id);
  return id;
}

void MemoryFiles::Unlink(NodeId id) {
  Node& node = nodes_[id];
  nodes_[node.parent].children.erase(node.name);
}

MemoryFiles::NodeId MemoryFiles::MakeFolders(const ParsedPath& p, size_t partCount) {
  const Drive* drive = DriveOf(p.drive);
  if (!drive || !drive->ready) return kNone;
  NodeId cur = drive->root;
  for (size_t i = 0; i < partCount; ++i) {
    NodeId next = Child(cur, p.parts[i]);
    if (next == kNone) next = AddNode(cur, p.parts[i], kAttrDirectory);
    if (!nodes_[next].IsFolder()) return kNone;
    cur = next;
  }
  return cur;
}

uint32_t MemoryFiles::Reported(const Node& node) const {
  if (!node.IsFolder() && node.attributes == 0) return kAttrNormal;
  return node.attributes;
}

uint32_t MemoryFiles::Attributes(const std::string& path) {
  NodeId id = Find(path);
  return id == kNone ? kInvalidAttributes : Reported(nodes_[id]);
}

bool MemoryFiles::SetAttributes(const std::string& path, uint32_t attributes) {
  NodeId id = Find(path);
  if (id == kNone) return false;
  Node& node = nodes_[id];
  node.attributes = (node.attributes & kAttrDirectory) | (attributes & kSettableAttributes);
  return true;
}

bool MemoryFiles::SetReportedSize(const std::string& path, uint64_t size) {
  const NodeId id = Find(path);
  if (id == kNone) return false;
  nodes_[id].hasSize = true;
  nodes_[id].size = size;
  return true;
}

FindData MemoryFiles::EntryOf(NodeId id, const std::string& name) const {
  const Node& node = nodes_[id];
  FindData d;
  d.name = name;
  d.attributes = Reported(node);
  d.size = node.IsFolder() ? 0 : node.hasSize ? node.size : node.data.size();
  d.creationTime = node.creationTime;
  d.accessTime = node.accessTime;
  d.writeTime = node.writeTime;
  return d;
}

FindHandle MemoryFiles::FindFirst(const std::string& pattern, FindData* data) {
  size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string::npos || cut + 1 == pattern.size()) return 0;
  std::string folderPath = pattern.substr(0, cut + 1);
  std::string_view mask = std::string_view(pattern).substr(cut + 1);
  ParsedPath p;
  if (!Parse(folderPath, &p)) return 0;
  NodeId folder = FindParsed(p, p.parts.size());
  if (folder == kNone || !nodes_[folder].IsFolder()) return 0;
  Search search;
  bool isRoot = p.parts.empty();
  if (!isRoot) {
    if (WildcardMatch(mask, ".")) search.entries.push_back(EntryOf(folder, "."));
    if (WildcardMatch(mask, "..")) search.entries.push_back(EntryOf(nodes_[folder].parent, ".."));
  }
  for (const auto& [name, id] : nodes_[folder].children)
    if (WildcardMatch(mask, name)) search.entries.push_back(EntryOf(id, name));
  if (search.entries.empty()) return 0;
  *data = search.entries[0];
  search.next = 1;
  FindHandle handle = nextSearch_++;
  searches_.emplace(handle, std::move(search));
  return handle;
}

bool MemoryFiles::FindNext(FindHandle handle, FindData* data) {
  auto it = searches_.find(handle);
  if (it == searches_.end() || it->second.next >= it->second.entries.size()) return false;
  *data = it->second.entries[it->second.next++];
  return true;
}

void MemoryFiles::FindClose(FindHandle handle) { searches_.erase(handle); }

bool MemoryFiles::RemoveFile(const std::string& path) {
  NodeId id = Find(path);
  if (id == kNone) return false;
  const Node& node = nodes_[id];
  if (node.IsFolder() || node.locked || (node.attributes & kAttrReadOnly)) return false;
  Unlink(id);
  nodes_[id].data = {};
  return true;
}

bool MemoryFiles::CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
  NodeId src = Find(from);
  if (src == kNone || nodes_[src].IsFolder()) return false;
  NodeId parent;
  std::string name;
  if (!ParentFor(to, &parent, &name)) return false;
  NodeId dst = Child(parent, name);
  if (dst == src) return false;
  if (dst != kNone) {
    const Node& existing = nodes_[dst];
    if (failIfExists || existing.IsFolder() || (existing.attributes & (kAttrReadOnly))) return false;
  } else {
    dst = AddNode(parent, name, 0);
  }
  const Node& s = nodes_[src];
  Node& d = nodes_[dst];
  d.data = s.data;
  d.attributes = (s.attributes & kSettableAttributes) | kAttrArchive;
  d.writeTime = s.writeTime;
  d.accessTime = clock_;
  return true;
}

bool MemoryFiles::MoveFileTo(const std::string& from, const std::string& to) {
  NodeId src = Find(from);
  if (src == kNone || nodes_[src].locked) return false;
  ParsedPath pf;
  if (!Parse(from, &pf) || pf.parts.empty()) return false;
  NodeId parent;
  std::string name;
  if (!ParentFor(to, &parent, &name)) return false;
  NodeId dst = Child(parent, name);
  if (dst != kNone && dst != src) return false;
  if (nodes_[src].IsFolder()) {
    ParsedPath pt;
    Parse(to, &pt);
    if (pt.drive != pf.drive) return false;
    for (NodeId up = parent;; up = nodes_[up].parent) {  // no folder into itself
      if (up == src) return false;
      if (nodes_[up].parent == up) break;
    }
  }
  Unlink(src);
  Node& node = nodes_[src];
  node.name = name;
  node.parent = parent;
  nodes_[parent].children.emplace(node.name, src);
  return true;
}

bool MemoryFiles::MakeDirectory(const std::string& path) {
  NodeId parent;
  std::string name;
  if (!ParentFor(path, &parent, &name) || Child(parent, name) != kNone) return false;
  AddNode(parent, name, kAttrDirectory);
  return true;
}

bool MemoryFiles::RemoveFolder(const std::string& path) {
  ParsedPath p;
  if (!Parse(path, &p) || p.parts.empty()) return false;
  NodeId id = FindParsed(p, p.parts.size());
  if (id == kNone || !nodes_[id].IsFolder() || !nodes_[id].children.empty()) return false;
  Unlink(id);
  return true;
}

bool MemoryFiles::ReadWholeFile(const std::string& path, std::string* contents) {
  NodeId id = Find(path);
  if (id == kNone || nodes_[id].IsFolder() || nodes_[id].locked) return false;
  *contents = nodes_[id].data;
  return true;
}

bool MemoryFiles::WriteFile(const std::string& path, const std::string& contents, bool append) {
  if (failingWrites_.count(path)) return false;
  NodeId parent;
  std::string name;
  if (!ParentFor(path, &parent, &name)) return false;
  NodeId id = Child(parent, name);
  if (id == kNone) {
    id = AddNode(parent, name, kAttrArchive);
  } else {
    const Node& existing = nodes_[id];
    if (existing.IsFolder() || existing.locked || (existing.attributes & kAttrReadOnly)) return false;
  }
  Node& node = nodes_[id];
  if (append) {
    node.data += contents;
  } else {
    node.data = contents;
  }
  node.attributes |= kAttrArchive;
  node.writeTime = node.accessTime = clock_;
  return true;
}

bool MemoryFiles::WriteWholeFile(const std::string& path, const std::string& contents) {
  return WriteFile(path, contents, false);
}

bool MemoryFiles::AppendToFile(const std::string& path, const std::string& contents) {
  return WriteFile(path, contents, true);
}

bool MemoryFiles::ReadVersionResource(const std::string& path, VersionResource* out) {
  const auto found = versions_.find(path);
  if (found == versions_.end() || !FileExists(path)) return false;
  *out = found->second;
  return true;
}

NewFileResult MemoryFiles::WriteNewFile(const std::string& path, const std::string& contents) {
  if (Find(path) != kNone) return NewFileResult::NameTaken;
  return WriteFile(path, contents, false) ? NewFileResult::Written : NewFileResult::Failed;
}

bool MemoryFiles::WriteFileAtomically(const std::string& path, const std::string& contents) {
  return WriteFile(path, contents, false);
}

uint32_t MemoryFiles::DriveType(const std::string& root) {
  const Drive* drive = DriveOf(DriveLetterOf(root));
  return drive ? drive->type : kDriveNoRootDir;
}

uint32_t MemoryFiles::LogicalDrives() {
  uint32_t mask = 0;
  for (const auto& [letter, drive] : drives_) mask |= 1u << (letter - 'A');
  return mask;
}

bool MemoryFiles::FreeSpace(const std::string& root, uint64_t* freeBytes, uint64_t* totalBytes) {
  ParsedPath p;
  if (!Parse(root, &p)) return false;
  const Drive* drive = DriveOf(p.drive);
  if (!drive || !drive->ready) return false;
  if (freeBytes) *freeBytes = drive->freeBytes;
  if (totalBytes) *totalBytes = drive->totalBytes;
  return true;
}

void MemoryFiles::AddFile(const std::string& path, const std::string& contents, uint32_t attributes) {
  ParsedPath p;
  if (!Parse(path, &p) || p.parts.empty()) return;
  NodeId parent = MakeFolders(p, p.parts.size() - 1);
  if (parent == kNone) return;
  NodeId id = Child(parent, p.parts.back());
  if (id == kNone) id = AddNode(parent, p.parts.back(), 0);
  Node& node = nodes_[id];
  if (node.IsFolder()) return;
  node.data = contents;
  node.attributes = attributes & kSettableAttributes;
}

void MemoryFiles::AddFolder(const std::string& path) {
  ParsedPath p;
  if (Parse(path, &p)) MakeFolders(p, p.parts.size());
}

void MemoryFiles::SetDrive(char letter, uint32_t type, bool ready, uint64_t freeBytes, uint64_t totalBytes) {
  letter = static_cast<char>(AnsiUpper(letter));
  if (letter < 'A' || letter > 'Z') return;
  bool isNew = drives_.find(letter) == drives_.end();
  Drive& drive = drives_[letter];
  if (isNew) {
    drive.root = static_cast<NodeId>(nodes_.size());
    nodes_.emplace_back();
    nodes_.back().attributes = kAttrDirectory;
    nodes_.back().parent = drive.root;
  }
  drive.type = type;
  drive.ready = ready;
  drive.freeBytes = freeBytes;
  drive.totalBytes = totalBytes;
}

void MemoryFiles::RemoveDrive(char letter) { drives_.erase(static_cast<char>(AnsiUpper(letter))); }

void MemoryFiles::SetExecutablePath(const std::string& path) {
  executablePath_ = path;
  AddFile(path);
}

void MemoryFiles::SetTempDir(const std::string& path) {
  tempDir_ = path;
  if (tempDir_.empty() || tempDir_.back() != '\\') tempDir_ += '\\';
  AddFolder(tempDir_);
}

bool MemoryFiles::SetTimes(const std::string& path, uint64_t creation, uint64_t access, uint64_t write) {
  NodeId id = Find(path);
  if (id == kNone) return false;
  Node& node = nodes_[id];
  node.creationTime = creation;
  node.accessTime = access;
  node.writeTime = write;
  return true;
}

void MemoryFiles::Lock(const std::string& path, bool locked) {
  NodeId id = Find(path);
  if (id != kNone) nodes_[id].locked = locked;
}

}  // namespace tw
