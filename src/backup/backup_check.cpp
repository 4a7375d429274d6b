#include "backup/backup_check.h"

#include "platform/reg_access.h"

namespace tw {

namespace {

// The deepest key the registry allows; a deeper tree is not proven.
constexpr int kMaxKeyDepth = 512;

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return text;
}

bool IsAbsent(long rc) { return rc == kErrNotFound || rc == kErrKeyDeleted; }

// The root handle a path's first part names, and the key names below it.
bool SplitImagePath(const std::u16string& path, HKey* root, std::vector<std::u16string>* names) {
  const size_t slash = path.find(u'\\');
  const std::u16string rootName = path.substr(0, slash);
  *root = RootKeyFromName(std::string(rootName.begin(), rootName.end()));
  for (char16_t c : rootName)
    if (c > 0x7F) *root = 0;
  names->clear();
  for (size_t start = slash; start != std::u16string::npos && start < path.size();) {
    const size_t end = path.find(u'\\', start + 1);
    std::u16string name = path.substr(start + 1, end == std::u16string::npos ? std::u16string::npos : end - start - 1);
    if (!name.empty()) names->push_back(std::move(name));
    start = end;
  }
  return *root != 0;
}

// Opens the key one name at a time through handles relative to the parent, links as themselves.
long OpenExact(IRegistry& reg, const std::u16string& path, RegKeyHandle* out) {
  HKey root = 0;
  std::vector<std::u16string> names;
  if (!SplitImagePath(path, &root, &names)) return kErrNotFound;
  RegKeyHandle current;
  HKey parent = root;
  for (const std::u16string& name : names) {
    HKey next = 0;
    const long rc = reg.OpenSubKeyExact(parent, name, &next);
    if (rc != kOk) return rc;
    current = RegKeyHandle(reg, next);
    parent = next;
  }
  if (!current.IsOpen()) return kErrInvalidParameter;  // a whole root is never restored nor deleted
  *out = std::move(current);
  return kOk;
}

bool Same(const RegFileImage::Value* held, uint32_t type, const Bytes& data) {
  return held && held->type == type && held->data == data;
}

const RegFileImage::Value* FindValue(const RegFileImage::Values* values, const std::u16string& name) {
  if (!values) return nullptr;
  const auto found = values->find(Upper(name));
  return found == values->end() ? nullptr : &found->second;
}

// Every key and value of the tree at `key` is in the image; links are opened as themselves, so the walk
// never leaves the tree.
bool TreeHeld(IRegistry& reg, const RegFileImage& image, HKey top, const std::u16string& topPath) {
  struct Pending {
    RegKeyHandle key;
    std::u16string path;
    int depth;
  };
  std::vector<Pending> pending;
  pending.push_back({RegKeyHandle(), topPath, 1});
  HKey current = top;
  while (true) {
    const std::u16string path = pending.back().path;
    const int depth = pending.back().depth;
    RegKeyHandle owned = std::move(pending.back().key);
    pending.pop_back();
    if (owned.IsOpen()) current = owned.Get();
    const RegFileImage::Values* held = image.Find(path);
    if (!held) return false;
    std::u16string name;
    uint32_t type = 0;
    Bytes data;
    uint32_t i = 0;
    long rc = kOk;
    for (; (rc = reg.EnumValueExact(current, i, &name, &type, &data)) == kOk; ++i)
      if (!Same(FindValue(held, name), type, data)) return false;
    if (rc != kErrNoMoreItems) return false;
    std::vector<std::u16string> children;
    for (i = 0; (rc = reg.EnumKeyExact(current, i, &name)) == kOk; ++i) children.push_back(name);
    if (rc != kErrNoMoreItems) return false;
    if (!children.empty() && depth >= kMaxKeyDepth) return false;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      HKey child = 0;
      rc = reg.OpenSubKeyExact(current, *it, &child);
      if (IsAbsent(rc)) continue;  // gone meanwhile: nothing of it is deleted
      if (rc != kOk) return false;
      pending.push_back({RegKeyHandle(reg, child), path + u"\\" + *it, depth + 1});
    }
    if (pending.empty()) return true;
  }
}

}  // namespace

RegFileImage::RegFileImage(const RegFile& file) {
  for (const RegFileKey& key : file.keys) Apply(key);
}

void RegFileImage::Apply(const RegFileKey& key) {
  const std::u16string path = Upper(key.path);
  if (key.deleted) {
    keys_.erase(path);
    const std::u16string below = path + u"\\";
    auto it = keys_.lower_bound(below);
    while (it != keys_.end() && it->first.compare(0, below.size(), below) == 0) it = keys_.erase(it);
    return;
  }
  Values& values = keys_[path];
  for (const RegFileValue& value : key.values) {
    if (value.deleted) {
      values.erase(Upper(value.name));
    } else {
      values[Upper(value.name)] = Value{value.type, value.data};
    }
  }
}

const RegFileImage::Values* RegFileImage::Find(const std::u16string& path) const {
  const auto found = keys_.find(Upper(path));
  return found == keys_.end() ? nullptr : &found->second;
}

std::u16string ImagePathOf(ISystem& system, const std::string& fullKeyPath) {
  const size_t slash = fullKeyPath.find('\\');
  std::string keyPath = slash == std::string::npos ? std::string() : fullKeyPath.substr(slash + 1);
  const size_t first = keyPath.find_first_not_of('\\');
  keyPath = first == std::string::npos ? std::string() : keyPath.substr(first, keyPath.find_last_not_of('\\') - first + 1);
  return system.AnsiToUtf16(fullKeyPath.substr(0, slash)) + u"\\" + system.AnsiToUtf16(keyPath);
}

bool BackupHolds(Platform& platform, const RegFileImage& image, const std::string& fullKeyPath,
                 const std::string& valueName, RepairRemoves removes) {
  if (removes == RepairRemoves::File) return true;
  IRegistry& reg = platform.registry;
  HKey root = 0;
  std::string keyPath;
  {
    const size_t slash = fullKeyPath.find('\\');
    root = RootKeyFromName(fullKeyPath.substr(0, slash));
    if (slash != std::string::npos) keyPath = fullKeyPath.substr(slash + 1);
  }
  if (root == 0) return true;  // the repair deletes nothing under an unknown root
  const std::u16string path = ImagePathOf(platform.system, fullKeyPath);
  RegKeyHandle key;
  if (removes == RepairRemoves::KeyTree) {
    // The key itself as the tree delete takes it: a link as itself.
    HKey handle = 0;
    const long rc = reg.OpenKeyNoFollow(root, keyPath, &handle);
    if (IsAbsent(rc)) return true;
    if (rc != kOk) return false;
    key = RegKeyHandle(reg, handle);
    return TreeHeld(reg, image, key.Get(), path);
  }
  const long rc = key.Open(reg, root, keyPath, false);
  if (IsAbsent(rc)) return true;
  if (rc != kOk) return false;
  const std::u16string name = valueName == "default" ? std::u16string() : platform.system.AnsiToUtf16(valueName);
  uint32_t type = 0;
  Bytes data;
  const long query = reg.QueryValueExact(key.Get(), name, &type, &data);
  if (IsAbsent(query)) return true;
  return query == kOk && Same(FindValue(image.Find(path), name), type, data);
}

std::vector<int> UnprovenRecords(Platform& platform, const std::string& path, const TRegistryContents& review,
                                 const RemovesOfRecord& removesOf) {
  std::string bytes;
  RegFileImage image;
  if (platform.files.ReadWholeFile(path, &bytes)) {
    ISystem& system = platform.system;
    const RegFile file = ReadRegFile(bytes, [&system](const std::string& text) { return system.AnsiToUtf16(text); });
    if (file.header != RegHeader::None) image = RegFileImage(file);
  }
  std::vector<int> unproven;
  for (int i = 0; i < review.Count(); ++i) {
    const TContent& record = review.Items(i).Content;
    if (record.Selected && !BackupHolds(platform, image, record.FullKeyPath, record.ValueName, removesOf(i)))
      unproven.push_back(i);
  }
  return unproven;
}

RestoreCheck CheckRestored(Platform& platform, const std::string& path, const std::function<void()>& between) {
  RestoreCheck check;
  std::string bytes;
  if (!platform.files.ReadWholeFile(path, &bytes)) return check;
  IRegistry& reg = platform.registry;
  ISystem& system = platform.system;
  const auto decode = [&system](const std::string& text) { return system.AnsiToUtf16(text); };
  // A key that a later line of the file deletes again is not expected back: the deletions, by key line.
  std::vector<std::pair<size_t, std::u16string>> deletions;
  size_t line = 0;
  ReadRegFile(bytes, decode, [&](RegFileKey&& fileKey) {
    if (fileKey.deleted) deletions.emplace_back(line, Upper(fileKey.path) + u"\\");
    ++line;
  });
  const auto deletedLater = [&deletions](size_t at, const std::u16string& keyPath) {
    const std::u16string path = Upper(keyPath) + u"\\";
    for (const auto& [where, deleted] : deletions)
      if (where > at && path.compare(0, deleted.size(), deleted) == 0) return true;
    return false;
  };
  line = 0;
  const RegFileSummary summary = ReadRegFile(bytes, decode, [&](RegFileKey&& fileKey) {
    const size_t at = line++;
    if (between) between();
    if (!fileKey.deleted && deletedLater(at, fileKey.path)) return;
    RegKeyHandle key;
    const long rc = OpenExact(reg, fileKey.path, &key);
    if (fileKey.deleted) {
      if (rc == kOk) ++check.keysMissing;
    } else if (rc != kOk) {
      ++check.keysMissing;
      for (const RegFileValue& value : fileKey.values) check.valuesMissing += value.deleted ? 0 : 1;
    } else {
      for (const RegFileValue& value : fileKey.values) {
        uint32_t type = 0;
        Bytes data;
        const long query = reg.QueryValueExact(key.Get(), value.name, &type, &data);
        const bool right = value.deleted ? IsAbsent(query) : query == kOk && type == value.type && data == value.data;
        if (!right) ++check.valuesMissing;
      }
    }
  });
  check.readable = summary.header != RegHeader::None;
  return check;
}

}  // namespace tw
