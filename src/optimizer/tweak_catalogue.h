// The 27 registry tweaks of the optimizer and the 29 restore-point sections their previous values are kept
// under: one table read by the window (captions, descriptions), the recorder, the applier and the restorer.
#pragma once
#include <array>
#include <vector>

#include "platform/registry.h"

namespace tw {

enum class TweakType { Dword, Sz };
// Create: the key is created when missing. Existing: the write (and the restore) happens only when the key
// exists.
enum class TweakKey { Create, Existing };

// One value a restore-point section records under "F1" to "F4", in order.
struct TweakValue {
  HKey root;
  const char* key;
  const char* name;           // "" for the key's unnamed value
  TweakType type;
  TweakKey mode;              // how the tweak and the restore open the key
  const char* applied;        // what the tweak writes, numbers in decimal; nullptr when no box changes it
  const char* systemDefault;  // written before recording when the value is absent; nullptr for none
  int fallback = 0;           // a file without this value's key restores it from F<fallback> (0: none)
};

struct RestoreSection {
  int number;        // 1 to 29
  const char* name;  // the section name in the restore-point file
  std::vector<TweakValue> values;
  const char* createdKey;  // a key below HKEY_LOCAL_MACHINE the tweak creates without values; nullptr for none
  bool leavesFile;         // a restore deletes the section's keys from the file
  bool emptyMeansAdded;    // in a file without absence records, an empty F1 names a value the tweak added
};

struct Tweak {
  const char* box;          // "Ochk1" to "Ochk27"
  const char* caption;
  int section;              // restore-point section number
  const char* description;  // shown while the mouse is over the box; "" clears the description box
};

constexpr int kTweakCount = 27;
constexpr int kRestoreSectionCount = 29;
constexpr int kTweakGroupCount = 4;

// In the order the optimizer applies the checked boxes.
const std::array<Tweak, kTweakCount>& Tweaks();
// Section `number` (1 to 29).
const RestoreSection& RestoreSectionOf(int number);
// The headings of the third page and the first box (index into Tweaks()) under each.
struct TweakGroup {
  const char* heading;
  int firstTweak;
};
const std::array<TweakGroup, kTweakGroupCount>& TweakGroups();

}  // namespace tw
