#include "app/ignore_list.h"

#include "platform/ansi_case.h"

namespace tw {

namespace {

// Splits at the first "|": the text before it and the text after it. Without a "|" the text before is
// empty and the text after is the whole text.
void SplitAtBar(const std::string& text, std::string* before, std::string* after) {
  size_t bar = text.find('|');
  if (bar == std::string::npos) {
    before->clear();
    *after = text;
  } else {
    *before = text.substr(0, bar);
    *after = text.substr(bar + 1);
  }
}

}  // namespace

bool AppendIgnoreEntry(IFiles& files, const std::string& filePath, const std::string& category,
                       const std::string& fullKeyPath, const std::string& valueName) {
  return files.AppendToFile(filePath, category + "|" + fullKeyPath + "|" + valueName + "\r\n");
}

bool LoadIgnoreList(IFiles& files, const std::string& filePath, TIgnoreContents& list) {
  list.Clear();
  std::string contents;
  if (!files.ReadWholeFile(filePath, &contents)) return !files.FileExists(filePath);

  // A line ends at LF; a CR right before it belongs to the line end. The last line needs no end.
  size_t start = 0;
  while (start < contents.size()) {
    size_t lf = contents.find('\n', start);
    size_t end = lf == std::string::npos ? contents.size() : lf;
    std::string line = contents.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (line.empty()) continue;

    TIgnoreContentItem& item = list.Items(list.Add());
    std::string rest;
    SplitAtBar(line, &item.Category, &rest);
    SplitAtBar(rest, &item.FullKeyPath, &item.ValueName);
  }
  return true;
}

bool RemoveIgnoreEntries(IFiles& files, const std::string& filePath, const std::string& category,
                         const std::string& fullKeyPath, const std::string& valueName) {
  std::string contents;
  if (!files.ReadWholeFile(filePath, &contents)) return false;
  std::string kept;
  size_t start = 0;
  while (start < contents.size()) {
    const size_t lf = contents.find('\n', start);
    const size_t end = lf == std::string::npos ? contents.size() : lf + 1;
    const std::string raw = contents.substr(start, end - start);
    start = end;
    std::string line = raw;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    TIgnoreContents one;
    TIgnoreContentItem& item = one.Items(one.Add());
    std::string rest;
    SplitAtBar(line, &item.Category, &rest);
    SplitAtBar(rest, &item.FullKeyPath, &item.ValueName);
    if (line.empty() || !IsIgnored(one, category, fullKeyPath, valueName)) kept += raw;
  }
  return files.WriteFileAtomically(filePath, kept);
}

int IsIgnored(const TIgnoreContents& list, const std::string& category, const std::string& fullKeyPath,
              const std::string& valueName) {
  for (const TIgnoreContentItem& item : list)
    if (item.ValueName == valueName && EqualNoCase(item.Category, category) &&
        EqualNoCase(item.FullKeyPath, fullKeyPath))
      return 1;
  return 0;
}

}  // namespace tw
