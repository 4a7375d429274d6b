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

void AppendHex(std::u16string& out, uint8_t byte) {
  const char* digits = "0123456789ABCDEF";
  out += static_cast<char16_t>(digits[byte >> 4]);
  out += static_cast<char16_t>(digits[byte & 0xF]);
}

// Every byte as two upper-case digits, joined by commas.
void AppendBytes(std::u16string& out, const Bytes& data) {
  for (size_t i = 0; i < data.size(); ++i) {
    if (i) out += u',';
    AppendHex(out, data[i]);
  }
}

std::u16string Ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

// Backslash and double quote escaped; carriage return and line feed as the registry editor's \r and \n.
std::u16string EscapeQuoted(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    switch (c) {
      case u'\\': out += u"\\\\"; break;
      case u'"': out += u"\\\""; break;
      case u'\r': out += u"\\r"; break;
      case u'\n': out += u"\\n"; break;
      default: out += c;
    }
  }
  return out;
}

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Stored string data as UTF-16 units; false for an odd number of bytes.
bool UnitsOf(const Bytes& data, std::u16string* units) {
  if (data.size() % 2 != 0) return false;
  units->clear();
  for (size_t i = 0; i < data.size(); i += 2) units->push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  return true;
}

// A string the quoted form gives back unchanged: one NUL, at the end, no line breaks and no lone halves of a
// surrogate pair.
bool IsPlainText(const std::u16string& units) {
  if (units.empty() || units.back() != 0) return false;
  for (size_t i = 0; i + 1 < units.size(); ++i) {
    const char16_t c = units[i];
    if (c == 0 || c == u'\r' || c == u'\n') return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 2 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

std::u16string KeyLine(const std::u16string& rootName, const std::u16string& keyPath) {
  return u"[" + rootName + u"\\" + keyPath + u"]";
}

// The key path without the separators a full key path may carry at either end.
std::string TrimmedKeyPath(const std::string& path) {
  size_t first = path.find_first_not_of('\\');
  if (first == std::string::npos) return {};
  size_t last = path.find_last_not_of('\\');
  return path.substr(first, last - first + 1);
}

// In an ANSI file every line must have an exact form in the code page.
bool FitsFile(const RegExportContext& ctx, const std::u16string& line) {
  std::string ansi;
  return ctx.kind == RegFileKind::Version5 || ctx.system.Utf16ToAnsi(line, &ansi);
}

bool AppendValueLines(const RegExportContext& ctx, HKey key, RegLines& lines) {
  std::u16string name, line;
  uint32_t type = 0;
  Bytes data;
  for (uint32_t i = 0;; ++i) {
    const long rc = ctx.registry.EnumValueExact(key, i, &name, &type, &data);
    if (rc == kErrNoMoreItems) return true;
    if (rc != kOk || !RegValueLine(ctx, name, type, data, &line)) return false;
    lines.push_back(line);
  }
}

// The key and everything below it, depth first, each key before its subkeys and these in the order the registry
// enumerates them. Each subkey is opened through its parent's handle by its exact name, so neither the length of
// the path nor the code page limits the walk; a link opens as itself, so the walk cannot be led in a circle.
bool AppendKeyTree(const RegExportContext& ctx, const std::u16string& rootName, const std::u16string& keyPath,
                   HKey top, RegLines& lines) {
  struct Frame {
    RegKeyHandle key;
    std::u16string path;
    uint32_t next = 0;
  };
  if (!FitsFile(ctx, KeyLine(rootName, keyPath))) return false;
  lines.push_back(KeyLine(rootName, keyPath));
  if (!AppendValueLines(ctx, top, lines)) return false;
  std::vector<Frame> stack;
  stack.push_back({RegKeyHandle(), keyPath, 0});
  auto handleOf = [&](const Frame& f) { return f.key.IsOpen() ? f.key.Get() : top; };
  std::u16string child;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const long rc = ctx.registry.EnumKeyExact(handleOf(frame), frame.next++, &child);
    if (rc == kErrNoMoreItems) {
      stack.pop_back();
      continue;
    }
    if (rc != kOk) return false;
    // Windows keeps no key deeper than this; a tree that claims to cannot be written whole.
    if (stack.size() >= static_cast<size_t>(kMaxKeyDepth)) return false;
    HKey handle = 0;
    if (ctx.registry.OpenSubKeyExact(handleOf(frame), child, &handle) != kOk) return false;
    Frame next{RegKeyHandle(ctx.registry, handle), frame.path + u"\\" + child, 0};
    const std::u16string line = KeyLine(rootName, next.path);
    if (!FitsFile(ctx, line)) return false;
    lines.push_back(line);
    if (!AppendValueLines(ctx, handle, lines)) return false;
    stack.push_back(std::move(next));
  }
  return true;
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

// Writes the first of "name.reg", "name_2.reg", "name_3.reg" ... that nothing occupies, creating it new; the path
// written, or empty when none could be.
std::string WriteFreshFile(IFiles& files, const std::string& stem, const std::string& contents) {
  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string path = n == 1 ? stem + ".reg" : stem + "_" + std::to_string(n) + ".reg";
    switch (files.WriteNewFile(path, contents)) {
      case NewFileResult::Written: return path;
      case NewFileResult::NameTaken: continue;
      case NewFileResult::Failed: return {};
    }
  }
  return {};
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

bool RegValueLine(const RegExportContext& ctx, const std::u16string& name, uint32_t type, const Bytes& data,
                  std::u16string* line) {
  std::u16string out = name.empty() ? u"@=" : u"\"" + EscapeQuoted(name) + u"\"=";
  std::u16string units;
  const bool isText = IsStringType(type) && UnitsOf(data, &units);
  if (type == kRegSz && isText && IsPlainText(units)) {
    out += u"\"" + EscapeQuoted(units.substr(0, units.size() - 1)) + u"\"";
  } else if (type == kRegDword && data.size() == 4) {
    out += u"dword:";
    for (int i = 3; i >= 0; --i) AppendHex(out, data[static_cast<size_t>(i)]);
  } else if (type == kRegBinary) {
    out += u"hex:";
    AppendBytes(out, data);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    out += Ascii(prefix);
    if (ctx.kind == RegFileKind::Version5 || !IsStringType(type)) {
      // The version 5 file holds string data in the units the registry stores.
      AppendBytes(out, data);
    } else {
      // An ANSI file holds string data in the code page's bytes.
      std::string ansi;
      if (!isText || !ctx.system.Utf16ToAnsi(units, &ansi)) return false;
      AppendBytes(out, Bytes(ansi.begin(), ansi.end()));
    }
  }
  if (!FitsFile(ctx, out)) return false;
  *line = std::move(out);
  return true;
}

bool AppendRegEntry(const RegExportContext& ctx, const std::string& fullKeyPath, const std::string& valueName,
                    RepairRemoves removes, RegLines& lines) {
  if (removes == RepairRemoves::File) return true;
  size_t slash = fullKeyPath.find('\\');
  std::string rootName = fullKeyPath.substr(0, slash);
  std::string keyPath = slash == std::string::npos ? std::string() : fullKeyPath.substr(slash + 1);
  HKey root = RootKeyFromName(rootName);
  if (root == 0) return true;  // names no key: the repair removes nothing
  const std::string linePath = TrimmedKeyPath(keyPath);
  // The repair never deletes a whole root, so nothing of one is exported either.
  if (removes == RepairRemoves::KeyTree && linePath.empty()) return true;
  const std::u16string rootText = ctx.system.AnsiToUtf16(rootName);
  const std::u16string pathText = ctx.system.AnsiToUtf16(linePath);
  const size_t before = lines.size();
  auto refuse = [&] {
    lines.resize(before);
    return false;
  };

  RegKeyHandle key;
  if (removes == RepairRemoves::KeyTree) {
    // The delete removes a key that is a link as itself, and so the export reads it.
    HKey handle = 0;
    const long rc = ctx.registry.OpenKeyNoFollow(root, keyPath, &handle);
    if (rc == kErrNotFound) return true;
    if (rc != kOk) return false;
    key = RegKeyHandle(ctx.registry, handle);
    return AppendKeyTree(ctx, rootText, pathText, key.Get(), lines) || refuse();
  }
  const long rc = key.Open(ctx.registry, root, keyPath, false);
  if (rc == kErrNotFound) return true;
  if (rc != kOk) return false;
  const bool unnamed = valueName == "default";
  const std::u16string name = unnamed ? std::u16string() : ctx.system.AnsiToUtf16(valueName);
  uint32_t type = 0;
  Bytes data;
  const long found = ctx.registry.QueryValueExact(key.Get(), name, &type, &data);
  if (found != kOk && found != kErrNotFound) return false;
  if (found == kErrNotFound && !unnamed) return true;
  const std::u16string keyLine = KeyLine(rootText, pathText);
  if (!FitsFile(ctx, keyLine)) return false;
  lines.push_back(keyLine);
  if (found == kOk) {
    std::u16string line;
    if (!RegValueLine(ctx, name, type, data, &line)) return refuse();
    lines.push_back(line);
  }
  return true;
}

// The version 5 file is UTF-16, the form the registry editor writes itself: every editor reads the 16-bit units
// of hex(1), hex(2) and hex(7) data from it as stored units, while from an ANSI file some take each byte for a
// character and import every string doubled with NULs.
std::string RegFileBytes(const RegExportContext& ctx, const RegLines& lines) {
  std::string bytes;
  if (ctx.kind != RegFileKind::Version5) {
    for (const std::u16string& line : lines) {
      std::string ansi;
      ctx.system.Utf16ToAnsi(line, &ansi);  // every line was checked as it was added
      bytes += ansi + "\r\n";
    }
    return bytes;
  }
  bytes = "\xFF\xFE";
  for (const std::u16string& line : lines) {
    for (char16_t unit : line + u"\r\n") {
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
  RegLines lines{Ascii(RegFileHeader(ctx.kind).c_str())};
  RepairBackupResult result{stem + ".reg", BackupOutcome::NothingToExport, {}};
  for (int i = 0; i < review.Count(); ++i) {
    const TContent& record = review.Items(i).Content;
    if (record.Selected && !AppendRegEntry(ctx, record.FullKeyPath, record.ValueName, removesOf(i), lines))
      result.notBackedUp.push_back(i);
  }

  if (lines.size() <= 1) return result;
  result.outcome = BackupOutcome::Failed;
  if (!folderReady) return result;
  const std::string path = WriteFreshFile(files, stem, RegFileBytes(ctx, lines));
  if (path.empty()) return result;
  result.path = path;
  result.outcome = BackupOutcome::Written;
  return result;
}

}  // namespace tw
