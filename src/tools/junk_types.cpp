#include "tools/junk_types.h"

#include <algorithm>
#include <stdexcept>

namespace tw {

namespace {

constexpr const char* kDefaults[] = {
    "*.swp, Temporary Junk Files",
    "*.$$$, Temporary Junk Files",
    "*.~*, Temporary Junk Files",
    "*.___, Temporary Junk Files",
    "*.^, Temporary Junk Files",
    "*.tmp, Temporary Junk Files",
    "*.temp, Temporary Junk Files",
    "*.---, Temporary Junk Files",
    "~*.*, Temporary Junk Files",
    "*.??~, Temporary Junk Files",
    "*.db$, Temporary Files (Database)",
    "*.nch, Temporary Files created by Outlook Express",
    "*.pch, Visual Studio Temporary Files",
    "*.ncb, Visual Studio Temporary Files",
    "*.ilk, Visual Studio Temporary Files",
    "*.exp, Visual Studio Temporary Files",
    "*.ilc, C++ Builder Temporary Files",
    "*.ild, C++ Builder Temporary Files",
    "*.ils, C++ Builder Temporary Files",
    "*.ilf, C++ Builder Temporary Files",
    "*.tds, C++ Builder Temporary Files",
    "iebak.dat, Internet Explorer Junk File",
    "ffastun.*, Microsoft Find Fast Indexer File",
    "chklist.*, Microsoft Junk File",
    "*.sik, junk files...",
    "*.gid, Windows Help Index Files",
    "*.fts, Word List File of *.HLP",
    "*.ftg, Word List File of *.HLP",
    "*.err, Error Files",
    "*.dmp, Memory Dump - Junk Files",
    "*.chk, CHKDSK Log Files",
    "chklist.*, CHKDSK Log Files",
    "file????._dd, CHKDSK Log Files",
    "*.diz, Description Files",
    "*.log, Log File",
    "*.prv, Backup Files",
    "*.old, Backup Files",
    "*.bak, Backup Files",
    "*.nu3, Symantec Norton Utilities Backup File",
    "system.1st, Windows diagnostic Registry file",
    "suhdlog.dat, Windows diagnostic file",
    "modemdet.txt, Windows diagnostic file",
    "twain???.mtx, TWAIN Temporary file",
    "thumbs.db, ThumbNails created by Windows",
    "mscreate.dir, Microsoft Temporary Installation Files",
    "*.wri, Readme Files",
    "readme.txt, Readme Files",
};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A length byte and 100 bytes of text, zero-filled past the length.
void AppendShortString(std::string& out, const std::string& text) {
  const size_t n = std::min(text.size(), kJunkTextMax);
  out += static_cast<char>(n);
  out += text.substr(0, n);
  out.append(kJunkTextMax - n, '\0');
}

std::string ShortStringAt(const std::string& bytes, size_t offset) {
  const size_t n = std::min<size_t>(static_cast<uint8_t>(bytes[offset]), kJunkTextMax);
  return bytes.substr(offset + 1, n);
}

}  // namespace

TJunkType SplitJunkDefault(const std::string& text) {
  const size_t comma = text.find(',');
  TJunkType type;
  type.Pattern = text.substr(0, comma);
  if (comma == std::string::npos) return type;
  std::string rest = text.substr(comma + 1);
  const std::string cut = type.Pattern + ",";
  for (size_t at; (at = rest.find(cut)) != std::string::npos;) rest.erase(at, cut.size());
  type.Description = Trimmed(rest);
  return type;
}

std::vector<TJunkType> DefaultJunkTypes() {
  std::vector<TJunkType> types;
  for (const char* text : kDefaults) types.push_back(SplitJunkDefault(text));
  return types;
}

void TRecordStream::Append(const TJunkType& type) {
  bytes_.resize(RecordCount() * kJunkRecordSize);
  bytes_ += static_cast<char>(type.Ticked ? 1 : 0);
  AppendShortString(bytes_, type.Pattern);
  AppendShortString(bytes_, type.Description);
}

TJunkType TRecordStream::Read() const {
  if (position_ + kJunkRecordSize > bytes_.size()) throw std::out_of_range("Cannot read beyond end of file");
  TJunkType type;
  type.Ticked = bytes_[position_] == 1;
  type.Pattern = ShortStringAt(bytes_, position_ + 1);
  type.Description = ShortStringAt(bytes_, position_ + 1 + 1 + kJunkTextMax);
  return type;
}

void TRecordStream::Next() {
  if (RecordNo() >= RecordCount()) throw std::out_of_range("Cannot read beyond end of file");
  position_ += kJunkRecordSize;
}

std::vector<TJunkType> LoadJunkTypes(IFiles& files, const std::string& path) {
  if (!files.FileExists(path)) {
    std::vector<TJunkType> defaults = DefaultJunkTypes();
    SaveJunkTypes(files, path, defaults);
    return defaults;
  }
  std::string bytes;
  if (!files.ReadWholeFile(path, &bytes)) return DefaultJunkTypes();
  TRecordStream stream(std::move(bytes));
  std::vector<TJunkType> types;
  for (size_t i = 0; i < stream.RecordCount(); ++i) {
    types.push_back(stream.Read());
    if (i + 1 < stream.RecordCount()) stream.Next();
  }
  return types;
}

bool SaveJunkTypes(IFiles& files, const std::string& path, const std::vector<TJunkType>& types) {
  TRecordStream stream;
  for (const TJunkType& type : types) stream.Append(type);
  return files.WriteFileAtomically(path, stream.Bytes());
}

JunkPattern::JunkPattern(std::string pattern) : pattern_(std::move(pattern)) {
  const bool hasWild = pattern_.find_first_of("*?") != std::string::npos;
  if (!hasWild) {
    kind_ = Kind::Plain;
  } else if (pattern_.rfind("*.", 0) == 0 && pattern_.find_first_of("*?", 1) == std::string::npos) {
    kind_ = Kind::Extension;
    pattern_.erase(0, 1);
  } else {
    kind_ = Kind::Wildcard;
  }
}

bool JunkPattern::Matches(const std::string& name) const {
  switch (kind_) {
    case Kind::Plain: return name == pattern_;
    case Kind::Extension: {
      const size_t dot = name.rfind('.');
      return dot != std::string::npos && name.compare(dot, std::string::npos, pattern_) == 0;
    }
    case Kind::Wildcard: return WildcardMatches(pattern_, name);
  }
  return false;
}

bool WildcardMatches(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0;
  size_t starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace tw
