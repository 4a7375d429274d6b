#include <string>
#include <vector>

#include "support/test_platform.h"

namespace tw {

void RemoveFolderTree(IFiles& files, const std::string& folder) {
  // Folders are emptied before they are removed, deepest last in the list first.
  std::vector<std::string> folders{folder};
  for (size_t i = 0; i < folders.size(); ++i) {
    FindData d;
    FindHandle h = files.FindFirst(folders[i] + "\\*", &d);
    if (!h) continue;
    do {
      if (d.name == "." || d.name == "..") continue;
      std::string path = folders[i] + "\\" + d.name;
      if (d.attributes & kAttrDirectory) {
        folders.push_back(path);
      } else {
        if (d.attributes & kAttrReadOnly) files.SetAttributes(path, kAttrNormal);
        files.RemoveFile(path);
      }
    } while (files.FindNext(h, &d));
    files.FindClose(h);
  }
  for (size_t i = folders.size(); i-- > 0;) {
    files.SetAttributes(folders[i], kAttrNormal);
    files.RemoveFolder(folders[i]);
  }
}

}  // namespace tw
