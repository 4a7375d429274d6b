// The registry held in memory: the test double and the native benchmark's back end.
// Behaves like the Windows registry where the logic can tell: names compared without case but kept
// with it, subkeys enumerated in case-insensitive order, values in creation order, typed raw data, string data
// kept in UTF-16. Its ANSI code page is Latin-1: a name or string holding a character above U+00FF has no ANSI
// form, so the ANSI reads refuse it as Windows' do with a character outside the system's code page.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/registry.h"

namespace tw {

class MemoryRegistry : public IRegistry {
 public:
  MemoryRegistry();

  long OpenKey(HKey parent, const std::string& path, bool create, HKey* out) override;
  long OpenKeyNoFollow(HKey parent, const std::string& path, HKey* out) override;
  long CloseKey(HKey key) override;
  long QueryInfo(HKey key, KeyInfo* info) override;
  long EnumKey(HKey key, uint32_t index, std::string* name) override;
  long EnumValue(HKey key, uint32_t index, std::string* name, uint32_t* type, Bytes* data) override;
  long QueryValue(HKey key, const std::string& name, uint32_t* type, Bytes* data) override;
  long SetValue(HKey key, const std::string& name, uint32_t type, const Bytes& data) override;
  long DeleteValue(HKey key, const std::string& name) override;
  long DeleteTree(HKey parent, const std::string& subKey) override;
  long OpenSubKeyExact(HKey parent, const std::u16string& name, HKey* out) override;
  long EnumKeyExact(HKey key, uint32_t index, std::u16string* name) override;
  long EnumValueExact(HKey key, uint32_t index, std::u16string* name, uint32_t* type, Bytes* data) override;
  long QueryValueExact(HKey key, const std::u16string& name, uint32_t* type, Bytes* data) override;

  // Test hooks.
  // Creates (or opens) the subkey `name` of `parent` whatever characters its name holds.
  long CreateSubKeyExact(HKey parent, const std::u16string& name, HKey* out);
  // Sets a value whatever characters its name holds; string data is given as UTF-16 bytes.
  long SetValueExact(HKey key, const std::u16string& name, uint32_t type, const Bytes& data);
  // Creates the key when missing and makes opening it fail with kErrAccessDenied (or allows it again).
  void DenyAccess(HKey root, const std::string& path, bool denied = true);
  // Creates `path` as a symbolic link: opening it (or anything below it) opens `targetPath` below
  // `targetRoot` instead. The link's parent is created when missing.
  void MakeLink(HKey root, const std::string& path, HKey targetRoot, const std::string& targetPath);
  // Open key handles (not counting the roots), for leak checks.
  size_t OpenHandleCount() const { return handleNodes_.size() - freeHandles_.size(); }
  // Keys in existence, the roots included.
  size_t KeyCount() const { return liveKeys_; }

 private:
  using NodeId = uint32_t;
  using ChildMap = std::map<std::string, NodeId, NoCaseLess>;

  struct Value {
    std::string name;
    uint32_t type = 0;
    Bytes data;
  };
  struct Node {
    std::string name;
    NodeId parent = 0;
    bool deleted = false;
    bool denied = false;
    bool isLink = false;
    HKey linkRoot = 0;
    std::string linkPath;
    ChildMap children;
    std::vector<Value> values;
    uint32_t maxSubKeyLen = 0;
    bool maxSubKeyLenStale = false;
    // Where the last EnumKey stopped, so that walking by index stays cheap.
    uint32_t cursorIndex = UINT32_MAX;
    ChildMap::const_iterator cursor;
  };

  long NodeOf(HKey key, NodeId* node) const;
  // The name of subkey `index`, kept where the enumeration stopped.
  long SubKeyAt(HKey key, uint32_t index, const std::string** name);
  long SetStored(HKey key, const std::string& name, uint32_t type, Bytes data);
  static bool RootIndex(HKey key, NodeId* node);
  // Follows the path from `start`; links along it are followed, the last one only with `followLast`.
  long Walk(NodeId start, std::string_view path, bool create, int linkDepth, NodeId* out, bool followLast = true);
  long FollowLink(NodeId link, int linkDepth, NodeId* out);
  long Open(HKey parent, const std::string& path, bool create, bool followLast, HKey* out);
  NodeId AddChild(NodeId parent, std::string_view name);
  void RemoveChild(NodeId parent, const std::string& name);
  void DeleteSubtree(NodeId top, bool* allDeleted);
  HKey NewHandle(NodeId node);
  Value* FindValue(Node& node, std::string_view name);

  std::deque<Node> nodes_;
  std::vector<NodeId> handleNodes_;  // handle slot -> node; kFreeSlot when unused
  std::vector<uint32_t> freeHandles_;
  size_t liveKeys_ = 0;
};

}  // namespace tw
