#include "tools/startup_records.h"

#include <cstdio>

#include "backup/export_writer.h"
#include "platform/ansi_case.h"
#include "platform/reg_access.h"

namespace tw {

namespace {

// How many exports of one record line ("_2", "_3", ...) are looked at.
constexpr int kMaxExportsPerLine = 100;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text starting at `pos` (on the opening quote); `pos` ends after the closing quote.
bool ReadQuoted(const std::string& line, size_t& pos, std::string* text) {
  if (pos >= line.size() || line[pos] != '"') return false;
  text->clear();
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\' && pos + 1 < line.size()) {
      char next = line[++pos];
      *text += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
      continue;
    }
    *text += c;
  }
  return false;
}

bool ReadHexBytes(const std::string& text, Bytes* data) {
  data->clear();
  size_t pos = 0;
  while (pos < text.size()) {
    if (pos + 2 > text.size()) return false;
    int high = HexDigit(text[pos]), low = HexDigit(text[pos + 1]);
    if (high < 0 || low < 0) return false;
    data->push_back(static_cast<uint8_t>(high * 16 + low));
    pos += 2;
    if (pos < text.size() && text[pos++] != ',') return false;
  }
  return true;
}

uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 1469598103934665603ull;
  for (char c : text) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

bool ParseRegistryRecord(const std::string& line, RegistryRecord* out) {
  const size_t hash = line.find('#');
  const size_t bar = line.find('|');
  if (hash == std::string::npos || bar == std::string::npos || bar < hash) return false;
  RegistryRecord record;
  record.location = line.substr(0, hash);
  record.name = line.substr(hash + 1, bar - hash - 1);
  record.data = line.substr(bar + 1);
  const size_t slash = record.location.find('\\');
  if (slash == std::string::npos) return false;
  record.root = RootKeyFromName(record.location.substr(0, slash));
  record.keyPath = record.location.substr(slash + 1);
  *out = std::move(record);
  return true;
}

std::string RegistryRecordLine(const std::string& location, const std::string& name, const std::string& data) {
  return location + "#" + name + "|" + data;
}

bool ParseFileRecord(const std::string& line, FileRecord* out) {
  const size_t hash = line.find('#');
  if (hash == std::string::npos) return false;
  FileRecord record;
  record.source = line.substr(0, hash);
  record.copy = line.substr(hash + 1);
  const std::string trimmed = TrimBlanks(record.copy);
  if (trimmed.size() >= 2 && trimmed.compare(trimmed.size() - 2, 2, "|E") == 0) {
    record.marked = true;
    record.copy = trimmed.substr(0, trimmed.size() - 2);
  }
  if (TrimBlanks(record.source).empty() || TrimBlanks(record.copy).empty()) return false;
  *out = std::move(record);
  return true;
}

std::string FileRecordLine(const std::string& source, const std::string& copy, bool marked) {
  return source + "#" + copy + (marked ? "|E" : "");
}

std::string ValueText(uint32_t type, const Bytes& data) {
  if (type == kRegSz || type == kRegExpandSz) {
    std::string text(data.begin(), data.end());
    const size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
  }
  if (type == kRegDword && data.size() >= 4) {
    const uint32_t value = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
    return std::to_string(static_cast<int32_t>(value));
  }
  return {};
}

std::string TrimBlanks(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = end + 1;
  }
  return lines;
}

void RecordFile::Load() {
  std::string text;
  lines_ = files_.ReadWholeFile(path_, &text) ? SplitLines(text) : std::vector<std::string>{};
}

bool RecordFile::Save() {
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  return files_.WriteFileAtomically(path_, text);
}

bool RecordFile::RemoveLine(const std::string& line) {
  const std::string wanted = TrimBlanks(line);
  for (auto it = lines_.begin(); it != lines_.end(); ++it) {
    if (TrimBlanks(*it) != wanted) continue;
    lines_.erase(it);
    return true;
  }
  return false;
}

bool ParseRegValueLine(const std::string& line, std::string* name, uint32_t* type, Bytes* data) {
  size_t pos = 0;
  std::string valueName;
  if (line.compare(0, 2, "@=") == 0) {
    pos = 1;
  } else if (!ReadQuoted(line, pos, &valueName)) {
    return false;
  }
  if (pos >= line.size() || line[pos] != '=') return false;
  const std::string rest = line.substr(pos + 1);
  if (!rest.empty() && rest[0] == '"') {
    size_t at = 0;
    std::string text;
    if (!ReadQuoted(rest, at, &text) || at != rest.size()) return false;
    *type = kRegSz;
    data->assign(text.begin(), text.end());
    data->push_back(0);
  } else if (rest.compare(0, 6, "dword:") == 0 && rest.size() == 14) {
    Bytes be;
    std::string digits;
    for (size_t i = 6; i < 14; i += 2) digits += rest.substr(i, 2) + (i + 2 < 14 ? "," : "");
    if (!ReadHexBytes(digits, &be) || be.size() != 4) return false;
    *type = kRegDword;
    *data = Bytes(be.rbegin(), be.rend());
  } else if (rest.compare(0, 4, "hex:") == 0) {
    *type = kRegBinary;
    if (!ReadHexBytes(rest.substr(4), data)) return false;
  } else if (rest.compare(0, 4, "hex(") == 0) {
    const size_t close = rest.find("):");
    if (close == std::string::npos || close == 4) return false;
    uint32_t number = 0;
    for (size_t i = 4; i < close; ++i) {
      int digit = HexDigit(rest[i]);
      if (digit < 0 || number > 0xFFFFFFF) return false;
      number = number * 16 + static_cast<uint32_t>(digit);
    }
    *type = number;
    if (!ReadHexBytes(rest.substr(close + 2), data)) return false;
  } else {
    return false;
  }
  *name = valueName;
  return true;
}

std::string ValueExports::Candidate(const std::string& line, int n) const {
  char stem[32];
  std::snprintf(stem, sizeof stem, "%016llx", static_cast<unsigned long long>(Fnv1a(TrimBlanks(line))));
  return folder_ + "\\" + stem + (n > 1 ? "_" + std::to_string(n) : std::string()) + ".reg";
}

bool ValueExports::Save(const RegistryRecord& record, const std::string& line, uint32_t type, const Bytes& data) {
  IFiles& files = platform_.files;
  if (!files.DirectoryExists(folder_) && !files.MakeDirectory(folder_)) return false;
  std::string path;
  for (int n = 1; n <= kMaxExportsPerLine && path.empty(); ++n)
    if (files.Attributes(Candidate(line, n)) == kInvalidAttributes) path = Candidate(line, n);
  if (path.empty()) return false;
  RegExportContext ctx{platform_.registry, platform_.system, RegFileKind::Regedit4};
  ISystem& system = platform_.system;
  // The writer takes string data in the registry's 16-bit units.
  Bytes stored = data;
  if (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz) {
    stored.clear();
    for (char16_t unit : system.AnsiToUtf16(std::string(data.begin(), data.end()))) {
      stored.push_back(static_cast<uint8_t>(unit & 0xFF));
      stored.push_back(static_cast<uint8_t>(unit >> 8));
    }
  }
  std::u16string valueLine;
  if (!RegValueLine(ctx, system.AnsiToUtf16(record.name), type, stored, &valueLine)) return false;
  const RegLines lines{system.AnsiToUtf16(RegFileHeader(ctx.kind)), u"", system.AnsiToUtf16("[" + record.location + "]"),
                       valueLine, u""};
  return files.WriteFileAtomically(path, RegFileBytes(ctx, lines));
}

bool ValueExports::Find(const RegistryRecord& record, const std::string& line, uint32_t* type, Bytes* data,
                        std::string* path) {
  for (int n = 1; n <= kMaxExportsPerLine; ++n) {
    const std::string candidate = Candidate(line, n);
    std::string text;
    if (!platform_.files.ReadWholeFile(candidate, &text)) continue;
    const std::vector<std::string> lines = SplitLines(text);
    bool keyMatches = false;
    for (const std::string& each : lines) {
      if (!each.empty() && each[0] == '[') {
        keyMatches = EqualNoCase(each, "[" + record.location + "]");
        continue;
      }
      std::string name;
      uint32_t foundType = 0;
      Bytes foundData;
      if (!keyMatches || !ParseRegValueLine(each, &name, &foundType, &foundData)) continue;
      if (!EqualNoCase(name, record.name) || ValueText(foundType, foundData) != record.data) continue;
      *type = foundType;
      *data = std::move(foundData);
      if (path) *path = candidate;
      return true;
    }
  }
  return false;
}

void ValueExports::Remove(const RegistryRecord& record, const std::string& line) {
  uint32_t type = 0;
  Bytes data;
  std::string path;
  if (Find(record, line, &type, &data, &path)) platform_.files.RemoveFile(path);
}

}  // namespace tw
