#include "platform/memory/memory_registry.h"

#include <algorithm>
#include <iterator>

namespace tw {
namespace {

constexpr uint32_t kFreeSlot = UINT32_MAX;
constexpr int kMaxLinkDepth = 32;
constexpr uint32_t kRootCount = 5;

std::string_view StripLeadingBackslash(std::string_view path) {
  if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  return path;
}

// Names are kept with each character below U+0100 as its Latin-1 byte and any other as a NUL followed by its
// four hexadecimal digits as the bytes 1 to 16: no ANSI name holds a NUL, so an ANSI lookup never meets such a
// name, and case folding leaves those bytes alone.
std::string StoredName(const std::u16string& name) {
  std::string out;
  for (char16_t unit : name) {
    if (unit < 0x100) {
      out += static_cast<char>(unit);
      continue;
    }
    out += '\0';
    for (int shift = 12; shift >= 0; shift -= 4) out += static_cast<char>(((unit >> shift) & 0xF) + 1);
  }
  return out;
}

std::u16string ExactName(std::string_view stored) {
  std::u16string out;
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] != '\0' || i + 4 >= stored.size()) {
      out += static_cast<char16_t>(static_cast<uint8_t>(stored[i]));
      continue;
    }
    char16_t unit = 0;
    for (int k = 1; k <= 4; ++k) unit = static_cast<char16_t>((unit << 4) | (static_cast<uint8_t>(stored[i + k]) - 1));
    out += unit;
    i += 4;
  }
  return out;
}

bool HasAnsiForm(std::string_view stored) { return stored.find('\0') == std::string_view::npos; }

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// ANSI string data as the registry keeps it: one UTF-16 unit per Latin-1 byte.
Bytes WideData(const Bytes& ansi) {
  Bytes wide;
  wide.reserve(ansi.size() * 2);
  for (uint8_t byte : ansi) {
    wide.push_back(byte);
    wide.push_back(0);
  }
  return wide;
}

// The ANSI form of stored string data; false when a unit (or an odd last byte) has none.
bool AnsiData(const Bytes& wide, Bytes* ansi) {
  if (wide.size() % 2 != 0) return false;
  Bytes out;
  out.reserve(wide.size() / 2);
  for (size_t i = 0; i < wide.size(); i += 2) {
    if (wide[i + 1] != 0) return false;
    out.push_back(wide[i]);
  }
  *ansi = std::move(out);
  return true;
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
  for (uint32_t i = 0; i < kRootCount; ++i) {
    nodes_.emplace_back();
    nodes_.back().parent = i;
  }
  liveKeys_ = kRootCount;
}

bool MemoryRegistry::RootIndex(HKey key, NodeId* node) {
  switch (key) {
    case kClassesRoot: *node = 0; return true;
    case kCurrentUser: *node = 1; return true;
    case kLocalMachine: *node = 2; return true;
    case kUsers: *node = 3; return true;
    case kCurrentConfig: *node = 4; return true;
    default: return false;
  }
}

long MemoryRegistry::NodeOf(HKey key, NodeId* node) const {
  if (!RootIndex(key, node)) {
    if (key == 0 || key % 4 != 0) return kErrInvalidHandle;
    size_t slot = key / 4 - 1;
    if (slot >= handleNodes_.size() || handleNodes_[slot] == kFreeSlot) return kErrInvalidHandle;
    *node = handleNodes_[slot];
  }
  return nodes_[*node].deleted ? kErrKeyDeleted : kOk;
}

MemoryRegistry::NodeId MemoryRegistry::AddChild(NodeId parent, std::string_view name) {
  NodeId id = static_cast<NodeId>(nodes_.size());
  nodes_.emplace_back();
  Node& child = nodes_.back();
  child.name = std::string(name);
  child.parent = parent;
  Node& p = nodes_[parent];
  p.children.emplace(child.name, id);
  p.cursorIndex = UINT32_MAX;
  p.maxSubKeyLen = std::max<uint32_t>(p.maxSubKeyLen, static_cast<uint32_t>(name.size()));
  ++liveKeys_;
  return id;
}

void MemoryRegistry::RemoveChild(NodeId parent, const std::string& name) {
  Node& p = nodes_[parent];
  p.children.erase(name);
  p.cursorIndex = UINT32_MAX;
  if (name.size() >= p.maxSubKeyLen) p.maxSubKeyLenStale = true;
}

long MemoryRegistry::FollowLink(NodeId link, int linkDepth, NodeId* out) {
  if (linkDepth >= kMaxLinkDepth) return kErrNotFound;
  const Node& l = nodes_[link];
  NodeId root = 0;
  if (!RootIndex(l.linkRoot, &root)) return kErrNotFound;
  std::string target = l.linkPath;  // Walk may grow the node table
  return Walk(root, target, false, linkDepth + 1, out);
}

long MemoryRegistry::Walk(NodeId start, std::string_view path, bool create, int linkDepth, NodeId* out,
                          bool followLast) {
  NodeId cur = start;
  size_t pos = 0;
  while (pos < path.size()) {
    size_t end = path.find('\\', pos);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty()) continue;
    Node& node = nodes_[cur];
    const bool atCursor = node.cursorIndex != UINT32_MAX && node.cursor->first == part;
    auto it = atCursor ? node.cursor : ChildMap::const_iterator(node.children.find(part));
    NodeId next;
    if (it != node.children.end()) {
      next = it->second;
    } else {
      if (!create) return kErrNotFound;
      next = AddChild(cur, part);
    }
    if (nodes_[next].isLink && (followLast || path.find_first_not_of('\\', pos) != std::string_view::npos)) {
      long rc = FollowLink(next, linkDepth, &next);
      if (rc != kOk) return rc;
    }
    cur = next;
  }
  *out = cur;
  return kOk;
}

HKey MemoryRegistry::NewHandle(NodeId node) {
  uint32_t slot;
  if (!freeHandles_.empty()) {
    slot = freeHandles_.back();
    freeHandles_.pop_back();
    handleNodes_[slot] = node;
  } else {
    slot = static_cast<uint32_t>(handleNodes_.size());
    handleNodes_.push_back(node);
  }
  return (static_cast<HKey>(slot) + 1) * 4;
}

long MemoryRegistry::OpenKey(HKey parent, const std::string& path, bool create, HKey* out) {
  return Open(parent, path, create, true, out);
}

long MemoryRegistry::OpenKeyNoFollow(HKey parent, const std::string& path, HKey* out) {
  return Open(parent, path, false, false, out);
}

long MemoryRegistry::Open(HKey parent, const std::string& path, bool create, bool followLast, HKey* out) {
  NodeId start;
  long rc = NodeOf(parent, &start);
  if (rc != kOk) return rc;
  NodeId target;
  rc = Walk(start, StripLeadingBackslash(path), create, 0, &target, followLast);
  if (rc != kOk) return rc;
  if (nodes_[target].denied) return kErrAccessDenied;
  *out = NewHandle(target);
  return kOk;
}

long MemoryRegistry::CloseKey(HKey key) {
  NodeId node;
  if (RootIndex(key, &node)) return kOk;
  if (key == 0 || key % 4 != 0) return kErrInvalidHandle;
  size_t slot = key / 4 - 1;
  if (slot >= handleNodes_.size() || handleNodes_[slot] == kFreeSlot) return kErrInvalidHandle;
  handleNodes_[slot] = kFreeSlot;
  freeHandles_.push_back(static_cast<uint32_t>(slot));
  return kOk;
}

long MemoryRegistry::QueryInfo(HKey key, KeyInfo* info) {
  NodeId id;
  long rc = NodeOf(key, &id);
  if (rc != kOk) return rc;
  Node& node = nodes_[id];
  if (node.maxSubKeyLenStale) {
    node.maxSubKeyLen = 0;
    for (const auto& child : node.children)
      node.maxSubKeyLen = std::max<uint32_t>(node.maxSubKeyLen, static_cast<uint32_t>(child.first.size()));
    node.maxSubKeyLenStale = false;
  }
  KeyInfo result;
  result.subKeys = static_cast<uint32_t>(node.children.size());
  result.values = static_cast<uint32_t>(node.values.size());
  result.maxSubKeyLen = node.maxSubKeyLen;
  for (const Value& v : node.values) {
    result.maxValueNameLen = std::max<uint32_t>(result.maxValueNameLen, static_cast<uint32_t>(v.name.size()));
    result.maxValueLen = std::max<uint32_t>(result.maxValueLen, static_cast<uint32_t>(v.data.size()));
  }
  *info = result;
  return kOk;
}

long MemoryRegistry::SubKeyAt(HKey key, uint32_t index, const std::string** name) {
  NodeId id;
  long rc = NodeOf(key, &id);
  if (rc != kOk) return rc;
  Node& node = nodes_[id];
  if (index >= node.children.size()) return kErrNoMoreItems;
  if (node.cursorIndex != UINT32_MAX && index == node.cursorIndex + 1) {
    ++node.cursor;
  } else if (node.cursorIndex != index) {
    if (index <= node.children.size() / 2) {
      node.cursor = std::next(node.children.cbegin(), index);
    } else {
      node.cursor = std::prev(node.children.cend(), static_cast<long>(node.children.size() - index));
    }
  }
  node.cursorIndex = index;
  *name = &node.cursor->first;
  return kOk;
}

long MemoryRegistry::EnumKey(HKey key, uint32_t index, std::string* name) {
  const std::string* stored = nullptr;
  long rc = SubKeyAt(key, index, &stored);
  if (rc != kOk) return rc;
  if (!HasAnsiForm(*stored)) return kErrNoUnicodeTranslation;
  *name = *stored;
  return kOk;
}

long MemoryRegistry::EnumKeyExact(HKey key, uint32_t index, std::u16string* name) {
  const std::string* stored = nullptr;
  long rc = SubKeyAt(key, index, &stored);
  if (rc != kOk) return rc;
  *name = ExactName(*stored);
  return kOk;
}

long MemoryRegistry::EnumValue(HKey key, uint32_t index, std::string* name, uint32_t* type, Bytes* data) {
  NodeId id;
  long rc = NodeOf(key, &id);
  if (rc != kOk) return rc;
  const Node& node = nodes_[id];
  if (index >= node.values.size()) return kErrNoMoreItems;
  const Value& v = node.values[index];
  Bytes ansi = v.data;
  if (!HasAnsiForm(v.name) || (IsStringType(v.type) && !AnsiData(v.data, &ansi))) return kErrNoUnicodeTranslation;
  if (name) *name = v.name;
  if (type) *type = v.type;
  if (data) *data = std::move(ansi);
  return kOk;
}

long MemoryRegistry::EnumValueExact(HKey key, uint32_t index, std::u16string* name, uint32_t* type, Bytes* data) {
  NodeId id;
  long rc = NodeOf(key, &id);
  if (rc != kOk) return rc;
  const Node& node = nodes_[id];
  if (index >= node.values.size()) return kErrNoMoreItems;
  const Value& v = node.values[index];
  if (name) *name = ExactName(v.name);
  if (type) *type = v.type;
  if (data) *data = v.data;
  return kOk;
}

MemoryRegistry::Value* MemoryRegistry::FindValue(Node& node, std::string_view name) {
  for (Value& v : node.values)
    if (EqualNoCase(v.name, name)) return &v;
  return nullptr;
}

long MemoryRegistry::QueryValue(HKey key, const std::string& name, uint32_t* type, Bytes* data) {
  NodeId id;
  long rc = NodeOf(key, &id);
  if (rc != kOk) return rc;
  const Value* v = FindValue(nodes_[id], name);
  if (!v) return kErrNotFound;
  Bytes ansi = v->data;
  if (IsStringType(v->type) && !AnsiData(v->data, &ansi)) return kErrNoUnicodeTranslation;
  if (type) *type = v->type;
  if (data) *data = std::move(ansi);
  return kOk;
}

long MemoryRegistry::QueryValueExact(HKey key, const std::u16string& name, uint32_t* type, Bytes* data) {
  NodeId id;
  long rc = NodeOf(key, &id);
  if (rc != kOk) return rc;
  const Value* v = FindValue(nodes_[id], StoredName(name));
  if (!v) return kErrNotFound;
  if (type) *type = v->type;
  if (data) *data = v->data;
  return kOk;
}

long MemoryRegistry::SetStored(HKey key, const std::string& name, uint32_t type, Bytes data) {
  NodeId id;
  long rc = NodeOf(key, &id);
  if (rc != kOk) return rc;
  Node& node = nodes_[id];
  if (Value* v = FindValue(node, name)) {
    v->type = type;
    v->data = std::move(data);
  } else {
    node.values.push_back(Value{name, type, std::move(data)});
  }
  return kOk;
}

long MemoryRegistry::SetValue(HKey key, const std::string& name, uint32_t type, const Bytes& data) {
  return SetStored(key, name, type, IsStringType(type) ? WideData(data) : data);
}

long MemoryRegistry::SetValueExact(HKey key, const std::u16string& name, uint32_t type, const Bytes& data) {
  return SetStored(key, StoredName(name), type, data);
}

long MemoryRegistry::OpenSubKeyExact(HKey parent, const std::u16string& name, HKey* out) {
  if (name.empty() || name.find(u'\\') != std::u16string::npos) return kErrInvalidParameter;
  return Open(parent, StoredName(name), false, false, out);
}

long MemoryRegistry::CreateSubKeyExact(HKey parent, const std::u16string& name, HKey* out) {
  if (name.empty() || name.find(u'\\') != std::u16string::npos) return kErrInvalidParameter;
  return Open(parent, StoredName(name), true, true, out);
}

long MemoryRegistry::DeleteValue(HKey key, const std::string& name) {
  NodeId id;
  long rc = NodeOf(key, &id);
  if (rc != kOk) return rc;
  auto& values = nodes_[id].values;
  auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return EqualNoCase(v.name, name); });
  if (it == values.end()) return kErrNotFound;
  values.erase(it);
  return kOk;
}

void MemoryRegistry::DeleteSubtree(NodeId top, bool* allDeleted) {
  // Post-order without recursion: a key goes once its children are gone; a refused key keeps its
  // ancestors, as a key with subkeys cannot be deleted.
  struct Frame {
    NodeId id;
    bool expanded;
  };
  std::vector<Frame> stack{{top, false}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    Node& node = nodes_[f.id];
    if (!f.expanded) {
      f.expanded = true;
      if (!node.isLink) {
        for (const auto& child : node.children) stack.push_back({child.second, false});
      }
      continue;
    }
    stack.pop_back();
    if (node.denied || !node.children.empty()) {
      *allDeleted = false;
      continue;
    }
    NodeId parent = node.parent;
    std::string name = std::move(node.name);
    node.deleted = true;
    node.values = {};
    node.children = {};
    node.linkPath = {};
    --liveKeys_;
    RemoveChild(parent, name);
  }
}

long MemoryRegistry::DeleteTree(HKey parent, const std::string& subKey) {
  NodeId start;
  long rc = NodeOf(parent, &start);
  if (rc != kOk) return rc;
  std::string_view path = StripLeadingBackslash(subKey);
  if (path.find_first_not_of('\\') == std::string_view::npos) return kErrInvalidParameter;
  NodeId target;
  rc = Walk(start, path, false, 0, &target, false);
  if (rc != kOk) return rc;
  if (target < kRootCount || nodes_[target].denied) return kErrAccessDenied;
  bool allDeleted = true;
  DeleteSubtree(target, &allDeleted);
  return allDeleted ? kOk : kErrAccessDenied;
}

void MemoryRegistry::DenyAccess(HKey root, const std::string& path, bool denied) {
  NodeId start, target;
  if (!RootIndex(root, &start)) return;
  if (Walk(start, StripLeadingBackslash(path), true, 0, &target) == kOk && target >= kRootCount)
    nodes_[target].denied = denied;
}

void MemoryRegistry::MakeLink(HKey root, const std::string& path, HKey targetRoot, const std::string& targetPath) {
  NodeId start;
  if (!RootIndex(root, &start)) return;
  std::string_view p = StripLeadingBackslash(path);
  while (!p.empty() && p.back() == '\\') p.remove_suffix(1);
  size_t cut = p.rfind('\\');
  std::string_view parentPath = cut == std::string_view::npos ? std::string_view() : p.substr(0, cut);
  std::string_view name = cut == std::string_view::npos ? p : p.substr(cut + 1);
  if (name.empty()) return;
  NodeId parentNode;
  if (Walk(start, parentPath, true, 0, &parentNode) != kOk) return;
  auto it = nodes_[parentNode].children.find(name);
  if (it != nodes_[parentNode].children.end()) {
    bool allDeleted = true;
    DeleteSubtree(it->second, &allDeleted);
    if (!allDeleted) return;
  }
  NodeId link = AddChild(parentNode, name);
  Node& node = nodes_[link];
  node.isLink = true;
  node.linkRoot = targetRoot;
  node.linkPath = targetPath;
}

}  // namespace tw
