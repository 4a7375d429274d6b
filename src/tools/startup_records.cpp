#include "tools/startup_records.h"

#include <cstdio>

#include "backup/export_reader.h"
#include "backup/export_writer.h"
#include "platform/ansi_case.h"
#include "platform/reg_access.h"

namespace tw {

namespace {

// How many exports of one record line ("_2", "_3", ...) are looked at.
constexpr int kMaxExportsPerLine = 100;

uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 1469598103934665603ull;
  for (char c : text) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

// Registry data as the ANSI calls take it: string data (stored in UTF-16 units, low byte first) in the code
// page's bytes, anything else as it is. False for string data the code page cannot hold.
bool AnsiData(ISystem& system, uint32_t type, const Bytes& stored, Bytes* out) {
  if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) {
    *out = stored;
    return true;
  }
  if (stored.size() % 2) return false;
  std::u16string units;
  for (size_t i = 0; i < stored.size(); i += 2) units.push_back(static_cast<char16_t>(stored[i] | stored[i + 1] << 8));
  std::string text;
  if (!system.Utf16ToAnsi(units, &text)) return false;
  out->assign(text.begin(), text.end());
  return true;
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

std::string ValueExports::Candidate(const std::string& line, int n) const {
  char stem[32];
  std::snprintf(stem, sizeof stem, "Startup_%016llx", static_cast<unsigned long long>(Fnv1a(TrimBlanks(line))));
  return folder_ + "\\" + stem + (n > 1 ? "_" + std::to_string(n) : std::string()) + ".reg";
}

bool ValueExports::Save(const RegistryRecord& record, const std::string& line) {
  IFiles& files = platform_.files;
  ISystem& system = platform_.system;
  if (!files.DirectoryExists(folder_) && !files.MakeDirectory(folder_)) return false;
  RegKeyHandle key;
  if (key.Open(platform_.registry, record.root, record.keyPath, false) != kOk) return false;
  const std::u16string name = system.AnsiToUtf16(record.name);
  uint32_t type = 0;
  Bytes data;
  if (platform_.registry.QueryValueExact(key.Get(), name, &type, &data) != kOk) return false;
  const RegExportContext ctx{platform_.registry, system, RegFileKindFor(system.Version().platformId)};
  std::u16string valueLine;
  if (!RegValueLine(ctx, name, type, data, &valueLine)) return false;
  const RegLines lines{system.AnsiToUtf16(RegFileHeader(ctx.kind)), u"",
                       system.AnsiToUtf16("[" + record.location + "]"), valueLine, u""};
  const std::string bytes = RegFileBytes(ctx, lines);
  for (int n = 1; n <= kMaxExportsPerLine; ++n) {
    const NewFileResult written = files.WriteNewFile(Candidate(line, n), bytes);
    if (written != NewFileResult::NameTaken) return written == NewFileResult::Written;
  }
  return false;
}

bool ValueExports::Find(const RegistryRecord& record, const std::string& line, uint32_t* type, Bytes* data,
                        std::string* path) {
  ISystem& system = platform_.system;
  for (int n = 1; n <= kMaxExportsPerLine; ++n) {
    const std::string candidate = Candidate(line, n);
    std::string bytes;
    if (!platform_.files.ReadWholeFile(candidate, &bytes)) continue;
    const RegFile file = ReadRegFile(bytes, [&system](const std::string& text) { return system.AnsiToUtf16(text); });
    for (const RegFileKey& key : file.keys) {
      std::string keyPath;
      if (key.deleted || !system.Utf16ToAnsi(key.path, &keyPath) || !EqualNoCase(keyPath, record.location)) continue;
      for (const RegFileValue& value : key.values) {
        std::string name;
        if (value.deleted || !system.Utf16ToAnsi(value.name, &name) || !EqualNoCase(name, record.name)) continue;
        Bytes ansi;
        if (!AnsiData(system, value.type, value.data, &ansi) || ValueText(value.type, ansi) != record.data) continue;
        *type = value.type;
        *data = std::move(ansi);
        if (path) *path = candidate;
        return true;
      }
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
