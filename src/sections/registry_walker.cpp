#include "sections/registry_walker.h"

#include <vector>

namespace tw {
namespace {

// One open key on the walk's stack: the next subkey index to enumerate and where its path ends.
struct Frame {
  HKey key = 0;
  bool owned = false;  // false for a root handle the walk did not open
  uint32_t next = 0;
  uint32_t count = 0;
  size_t parentPathLen = 0;
};

// Closes whatever is still open when the walk ends, also when it stops early.
class FrameStack {
 public:
  explicit FrameStack(IRegistry& reg) : reg_(reg) { frames_.reserve(64); }
  ~FrameStack() {
    while (!frames_.empty()) Pop();
  }
  FrameStack(const FrameStack&) = delete;
  FrameStack& operator=(const FrameStack&) = delete;

  void Push(const Frame& frame) { frames_.push_back(frame); }
  void Pop() {
    if (frames_.back().owned) reg_.CloseKey(frames_.back().key);
    frames_.pop_back();
  }
  Frame& Top() { return frames_.back(); }
  bool Empty() const { return frames_.empty(); }
  int Depth() const { return static_cast<int>(frames_.size()) - 1; }

 private:
  IRegistry& reg_;
  std::vector<Frame> frames_;
};

// The number of subkeys to enumerate; 0 when the key cannot be asked (it is then passed over).
uint32_t SubKeyCount(IRegistry& reg, HKey key, WalkStats& stats) {
  KeyInfo info;
  if (reg.QueryInfo(key, &info) != kOk) {
    ++stats.enumFailures;
    return 0;
  }
  return info.subKeys;
}

}  // namespace

WalkStats WalkRegistry(IRegistry& reg, HKey root, const std::string& startPath, IWalkVisitor& visitor) {
  WalkStats stats;
  FrameStack stack(reg);
  std::string path = startPath;
  while (!path.empty() && path.front() == '\\') path.erase(path.begin());
  while (!path.empty() && path.back() == '\\') path.pop_back();

  Frame start;
  if (path.empty()) {
    start.key = root;
  } else {
    if (reg.OpenKeyNoFollow(root, path, &start.key) != kOk) {
      ++stats.openFailures;
      return stats;
    }
    start.owned = true;
  }
  stack.Push(start);
  stack.Top().count = SubKeyCount(reg, start.key, stats);

  std::string name;
  while (!stack.Empty()) {
    Frame& top = stack.Top();
    if (top.next >= top.count) {
      const size_t parentLen = top.parentPathLen;
      const bool isStart = stack.Depth() == 0;
      stack.Pop();
      if (!isStart) {
        visitor.Leave(path);
        path.resize(parentLen);
      }
      continue;
    }
    if (visitor.ShouldStop()) break;

    const uint32_t index = top.next++;
    name.clear();
    const long rc = reg.EnumKey(top.key, index, &name);
    if (rc == kErrNoMoreItems) {  // subkeys removed since the count was read
      top.count = index;
      continue;
    }
    // A name that cannot be read (too long for the buffer, ...) is passed over; the next index goes on.
    // An empty name would reopen the parent itself.
    if (rc != kOk || name.empty()) {
      ++stats.enumFailures;
      continue;
    }

    const HKey parent = top.key;
    const size_t parentLen = path.size();
    if (!path.empty()) path += '\\';
    path += name;
    const int depth = stack.Depth() + 1;

    const WalkStep step = visitor.Approach(path, name, depth);
    if (step == WalkStep::Stop) break;
    if (step == WalkStep::Skip) {
      path.resize(parentLen);
      continue;
    }

    Frame child;
    child.parentPathLen = parentLen;
    if (reg.OpenKeyNoFollow(parent, name, &child.key) != kOk) {
      ++stats.openFailures;
      visitor.Leave(path);
      path.resize(parentLen);
      continue;
    }
    child.owned = true;
    ++stats.keysOpened;
    if (depth > stats.deepestLevel) stats.deepestLevel = depth;
    visitor.Visit(WalkedKey{child.key, path, name, depth});
    child.count = step == WalkStep::VisitOnly ? 0 : SubKeyCount(reg, child.key, stats);
    if (depth >= kMaxRegistryDepth && child.count > 0) {
      ++stats.depthLimitHits;
      child.count = 0;
    }
    stack.Push(child);
  }
  return stats;
}

}  // namespace tw
