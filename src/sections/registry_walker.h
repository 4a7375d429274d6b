// A whole-root registry walk that ends on any registry: iterative (an explicit stack, no recursion),
// bounded by the registry's 512-level depth limit, passing over keys it cannot open or enumerate without
// losing their later siblings, and never entering a symbolic link (keys are opened as links, not followed).
#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace tw {

// Windows refuses to create keys more than 512 levels deep; the walk descends no further.
constexpr int kMaxRegistryDepth = 512;

// What the walker does with a subkey it is about to enter: open, visit and walk below it; open and visit it
// but leave its subkeys out; pass it and its subtree over; end the walk.
enum class WalkStep { Enter, VisitOnly, Skip, Stop };

// One subkey of the walk, open while the visitor looks at it.
struct WalkedKey {
  HKey handle;              // the open key
  const std::string& path;  // below the walk's root, without a leading backslash
  const std::string& name;  // its own name
  int depth;                // 1 for the subkeys of the start key
};

// The per-key work of a whole-root section. Implemented by the sections' walkers and the benchmark.
class IWalkVisitor {
 public:
  virtual ~IWalkVisitor() = default;
  // Before each subkey is enumerated; true stops the whole walk (the user aborted).
  virtual bool ShouldStop() { return false; }
  // A subkey has been enumerated but not opened yet; the answer says what happens to it (WalkStep).
  virtual WalkStep Approach(const std::string& path, const std::string& name, int depth) = 0;
  // The subkey is open; its own subkeys are walked after this returns.
  virtual void Visit(const WalkedKey& key) = 0;
  // After the subkey and everything below it, also when it could not be opened.
  virtual void Leave(const std::string& path) = 0;
};

// Counts of one walk, for the benchmark and the tests.
struct WalkStats {
  uint64_t keysOpened = 0;
  uint64_t openFailures = 0;      // access denied, deleted meanwhile, ...
  uint64_t enumFailures = 0;      // subkey counts or names that could not be read (too long for the buffer, ...)
  uint64_t depthLimitHits = 0;    // keys whose subkeys lay beyond kMaxRegistryDepth
  int deepestLevel = 0;
};

// Walks every key below `startPath` of `root` (the start key itself is not reported), depth first, subkeys
// in enumeration order, calling the visitor as described above.
WalkStats WalkRegistry(IRegistry& reg, HKey root, const std::string& startPath, IWalkVisitor& visitor);

}  // namespace tw
