#include "backup/export_writer.h"

#include <cstdio>
#include <utility>

#include "platform/reg_access.h"

namespace tw {

namespace {

constexpr const char* kBackupFolderName = "RepairBackup";
// The deepest key the registry allows; a walk never goes further, whatever links or damage it meets.
constexpr int kMaxKeyDepth = 512;
// How many names "_2", "_3", ... are tried before the export gives up.
constexpr int kMaxNameTries = 1000;

void AppendHex(std::string& out, uint8_t byte, bool upper) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  out += digits[byte >> 4];
  out += digits[byte & 0xF];
}

void AppendUnit(std::string& out, char16_t unit, bool upper) {
  if (!out.empty() && out.back() != ':') out += ',';
  AppendHex(out, static_cast<uint8_t>(unit & 0xFF), upper);
  out += ',';
  AppendHex(out, static_cast<uint8_t>(unit >> 8), upper);
}

// Every byte as two upper-case digits, joined by commas.
void AppendBytes(std::string& out, const Bytes& data) {
  for (size_t i = 0; i < data.size(); ++i) {
    if (i) out += ',';
    AppendHex(out, data[i], true);
  }
}

// String data as the registry of a version 5 system stores it: one 16-bit unit per character, converted through
// the code page, low byte first. A double-byte character's unit is written in lower-case digits.
void AppendStringUnits(std::string& out, ISystem& system, const Bytes& data) {
  for (size_t i = 0; i < data.size();) {
    uint8_t byte = data[i];
    if (byte < 0x80) {
      AppendUnit(out, byte, true);
      ++i;
      continue;
    }
    size_t length = system.IsLeadByte(byte) && i + 1 < data.size() ? 2 : 1;
    std::u16string units = system.AnsiToUtf16(std::string(data.begin() + i, data.begin() + i + length));
    if (units.empty()) units.push_back(byte);
    for (char16_t unit : units) AppendUnit(out, unit, length == 1);
    i += length;
  }
}

// Backslash and double quote escaped; carriage return and line feed as the registry editor's \r and \n.
std::string EscapeQuoted(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

// A string the quoted form gives back unchanged: one NUL, at the end, and no line breaks.
bool IsPlainText(const Bytes& data) {
  if (data.empty() || data.back() != 0) return false;
  for (size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return false;
  }
  return true;
}

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

std::string KeyLine(const std::string& rootName, const std::string& keyPath) {
  return "[" + rootName + "\\" + keyPath + "]";
}

// The key path without the separators a full key path may carry at either end.
std::string TrimmedKeyPath(const std::string& path) {
  size_t first = path.find_first_not_of('\\');
  if (first == std::string::npos) return {};
  size_t last = path.find_last_not_of('\\');
  return path.substr(first, last - first + 1);
}

void AppendValueLines(const RegExportContext& ctx, HKey key, std::vector<std::string>& lines) {
  std::string name;
  uint32_t type = 0;
  Bytes data;
  for (uint32_t i = 0; ctx.registry.EnumValue(key, i, &name, &type, &data) == kOk; ++i) {
    lines.push_back(RegValueLine(ctx, name, type, data));
  }
}

// The key and everything below it, depth first, each key before its subkeys and these in the order the registry
// enumerates them. Subkeys are opened without following links, so a link cannot lead the walk in a circle.
void AppendKeyTree(const RegExportContext& ctx, HKey root, const std::string& rootName, const std::string& keyPath,
                   HKey top, std::vector<std::string>& lines) {
  struct Pending {
    std::string path;
    int depth;
  };
  std::vector<Pending> pending;
  auto visit = [&](HKey key, const std::string& path, int depth) {
    lines.push_back(KeyLine(rootName, path));
    AppendValueLines(ctx, key, lines);
    if (depth >= kMaxKeyDepth) return;
    std::vector<std::string> children;
    std::string child;
    for (uint32_t i = 0; ctx.registry.EnumKey(key, i, &child) == kOk; ++i) children.push_back(child);
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back({path + "\\" + *it, depth + 1});
  };
  visit(top, keyPath, 1);
  while (!pending.empty()) {
    Pending next = std::move(pending.back());
    pending.pop_back();
    HKey handle = 0;
    if (ctx.registry.OpenKeyNoFollow(root, next.path, &handle) != kOk) continue;
    RegKeyHandle key(ctx.registry, handle);
    visit(key.Get(), next.path, next.depth);
  }
}

std::string TimeStamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", t.year % 10000, t.month % 100, t.day % 100,
                t.hour % 100, t.minute % 100, t.second % 100);
  return text;
}

std::string ProgramFolder(IFiles& files) {
  std::string exe = files.ExecutablePath();
  size_t slash = exe.find_last_of('\\');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

// The first of "name.reg", "name_2.reg", "name_3.reg" ... that nothing occupies; empty when all are taken.
std::string FreeFileName(IFiles& files, const std::string& stem) {
  std::string path = stem + ".reg";
  for (int n = 2; files.Attributes(path) != kInvalidAttributes; ++n) {
    if (n > kMaxNameTries) return {};
    path = stem + "_" + std::to_string(n) + ".reg";
  }
  return path;
}

}  // namespace

RegFileKind RegFileKindFor(uint32_t platformId) {
  switch (platformId) {
    case 2: return RegFileKind::Version5;
    case 1: return RegFileKind::Regedit4;
    default: return RegFileKind::Headerless;
  }
}

std::string RegFileHeader(RegFileKind kind) {
  switch (kind) {
    case RegFileKind::Version5: return "Windows Registry Editor Version 5.00";
    case RegFileKind::Regedit4: return "REGEDIT4";
    case RegFileKind::Headerless: break;
  }
  return {};
}

std::string RegValueLine(const RegExportContext& ctx, const std::string& name, uint32_t type, const Bytes& data) {
  std::string line = name.empty() ? "@=" : "\"" + EscapeQuoted(name) + "\"=";
  if (type == kRegSz && IsPlainText(data)) {
    line += "\"" + EscapeQuoted(std::string(data.begin(), data.end() - 1)) + "\"";
  } else if (type == kRegDword && data.size() == 4) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%02X%02X%02X%02X", data[3], data[2], data[1], data[0]);
    line += digits;
  } else if (type == kRegBinary) {
    line += "hex:";
    AppendBytes(line, data);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    line += prefix;
    if (IsStringType(type) && ctx.kind == RegFileKind::Version5) {
      AppendStringUnits(line, ctx.system, data);
    } else {
      AppendBytes(line, data);
    }
  }
  return line;
}

void AppendRegEntry(const RegExportContext& ctx, const std::string& fullKeyPath, const std::string& valueName,
                    RepairRemoves removes, std::vector<std::string>& lines) {
  if (removes == RepairRemoves::File) return;
  size_t slash = fullKeyPath.find('\\');
  std::string rootName = fullKeyPath.substr(0, slash);
  std::string keyPath = slash == std::string::npos ? std::string() : fullKeyPath.substr(slash + 1);
  HKey root = RootKeyFromName(rootName);
  if (root == 0) return;
  RegKeyHandle key;
  if (key.Open(ctx.registry, root, keyPath, false) != kOk) return;
  std::string linePath = TrimmedKeyPath(keyPath);

  if (removes == RepairRemoves::KeyTree) {
    // The repair never deletes a whole root, so nothing of one is exported either.
    if (linePath.empty()) return;
    AppendKeyTree(ctx, root, rootName, linePath, key.Get(), lines);
    return;
  }
  bool unnamed = valueName == "default";
  uint32_t type = 0;
  Bytes data;
  bool found = ctx.registry.QueryValue(key.Get(), unnamed ? std::string() : valueName, &type, &data) == kOk;
  if (!found && !unnamed) return;
  lines.push_back(KeyLine(rootName, linePath));
  if (found) lines.push_back(RegValueLine(ctx, unnamed ? std::string() : valueName, type, data));
}

// The version 5 file is UTF-16, the form the registry editor writes itself: every editor reads the 16-bit units
// of hex(1), hex(2) and hex(7) data from it as stored units, while from an ANSI file some take each byte for a
// character and import every string doubled with NULs.
std::string RegFileBytes(const RegExportContext& ctx, const std::vector<std::string>& lines) {
  std::string bytes;
  if (ctx.kind != RegFileKind::Version5) {
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
  }
  bytes = "\xFF\xFE";
  for (const std::string& line : lines) {
    for (char16_t unit : ctx.system.AnsiToUtf16(line + "\r\n")) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
  }
  return bytes;
}

RepairBackupResult SaveRepairBackup(Platform& platform, const TRegistryContents& review,
                                    const RemovesOfRecord& removesOf) {
  IFiles& files = platform.files;
  std::string stem = ProgramFolder(files) + kBackupFolderName;
  bool folderReady = files.DirectoryExists(stem) || files.MakeDirectory(stem);
  stem += "\\_" + TimeStamp(platform.system.Now());

  RegExportContext ctx{platform.registry, platform.system, RegFileKindFor(platform.system.Version().platformId)};
  std::vector<std::string> lines{RegFileHeader(ctx.kind)};
  for (int i = 0; i < review.Count(); ++i) {
    const TContent& record = review.Items(i).Content;
    if (record.Selected) AppendRegEntry(ctx, record.FullKeyPath, record.ValueName, removesOf(i), lines);
  }

  RepairBackupResult result{stem + ".reg", BackupOutcome::NothingToExport};
  if (lines.size() <= 1) return result;
  result.outcome = BackupOutcome::Failed;
  if (!folderReady) return result;
  std::string path = FreeFileName(files, stem);
  if (path.empty()) return result;
  result.path = path;
  if (files.WriteWholeFile(path, RegFileBytes(ctx, lines))) {
    result.outcome = BackupOutcome::Written;
  } else {
    // A cut-off export must not pass for a backup.
    files.RemoveFile(path);
  }
  return result;
}

}  // namespace tw
