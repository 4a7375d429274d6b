#include "synthetic_registry.h"

#include <cinttypes>

#include "platform/reg_access.h"

namespace tw::bench {
namespace {

constexpr uint64_t kFilesPerFolder = 100;

Bytes StringBytes(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

// Deterministic and cheap: the same seed gives the same registry on every machine.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 to n-1.
  uint64_t Below(uint64_t n) { return n ? Next() % n : 0; }
  bool PerMille(int share) { return static_cast<int>(Below(1000)) < share; }

 private:
  uint64_t state_;
};

std::string Guid(const char* prefix, uint64_t n, uint64_t salt) {
  char text[64];
  std::snprintf(text, sizeof text, "{%s%04X-%04X-%04X-%04X-%012" PRIX64 "}", prefix,
                static_cast<unsigned>(n & 0xFFFF), static_cast<unsigned>((n >> 16) & 0xFFFF),
                static_cast<unsigned>(salt & 0xFFFF), static_cast<unsigned>((salt >> 16) & 0xFFFF),
                static_cast<uint64_t>((salt >> 32) & 0xFFFFFFFFFFFFull));
  return text;
}

constexpr const char* kClassPrefix = "BE1C";
constexpr const char* kLibPrefix = "BE1D";
constexpr const char* kAppIdPrefix = "BE1E";
constexpr const char* kVendorPrefix = "BenchVendor";
constexpr const char* kEmptyKeysName = "BenchEmpty";
constexpr const char* kExtensionPrefix = ".bx";
constexpr const char* kProgIdPrefix = "BenchFile.";
// Entries in the fixed keys of the list sections carry this prefix in their own name, so they can be removed.
constexpr const char* kListPrefix = "Bench";
constexpr const char* kUserSid = "S-1-5-21-4000000001-4000000002-4000000003-1001";
constexpr const char* kSharedDllsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kFontsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kHelpKey = "SOFTWARE\\Microsoft\\Windows\\Help";
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* kCdRomClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E965-E325-11CE-BFC1-08002BE10318}";
constexpr const char* kFileExtsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

class Generator {
 public:
  Generator(IRegistrySink& sink, const GeneratorOptions& options)
      : sink_(sink), options_(options), random_(options.seed), filePool_(FilePoolSize(options)) {}

  static uint64_t FilePoolSize(const GeneratorOptions& options) {
    const uint64_t files = options.keys / 50;
    return files < 100 ? 100 : files;
  }

  GeneratedCounts Run() {
    FixedKeys();
    while (counts_.keys < options_.keys) {
      const uint64_t pick = random_.Below(100);
      if (pick < 40) {
        Class();
      } else if (pick < 50) {
        TypeLibrary();
      } else if (pick < 58) {
        AppId();
      } else if (pick < 70) {
        Extension();
      } else if (pick < 90) {
        Software();
      } else if (pick < 95) {
        ListEntry();
      } else {
        EmptyKeys();
      }
    }
    return counts_;
  }

 private:
  void Key(HKey root, const std::string& path) {
    sink_.Key(root, path);
    ++counts_.keys;
  }
  void String(const std::string& name, const std::string& value) {
    sink_.String(name, value);
    ++counts_.values;
  }
  void Dword(const std::string& name, uint32_t value) {
    sink_.Dword(name, value);
    ++counts_.values;
  }

  std::string ExistingFile() {
    ++counts_.existingFileRefs;
    const uint64_t i = random_.Below(filePool_);
    return FilePath(options_, i);
  }
  std::string MissingFile() {
    ++counts_.missingFileRefs;
    const uint64_t i = random_.Below(filePool_);
    char name[96];
    if (random_.Below(4) == 0) {
      std::snprintf(name, sizeof name, "C:\\Program Files\\BenchGone%" PRIu64 "\\tool.exe", i);
      return name;
    }
    std::snprintf(name, sizeof name, "\\d%" PRIu64 "\\gone%" PRIu64 ".dll", i / kFilesPerFolder, i);
    return options_.fileRoot + name;
  }
  std::string FileReference() { return random_.Below(4) == 0 ? MissingFile() : ExistingFile(); }

  void Class() {
    const std::string id = Guid(kClassPrefix, classes_++, random_.Next());
    const std::string base = "CLSID\\" + id;
    Key(kClassesRoot, base);
    String("", "Bench Class " + std::to_string(classes_));
    if (random_.Below(10) < 9) {
      Key(kClassesRoot, base + "\\InprocServer32");
      if (random_.PerMille(options_.emptyServerPerMille)) {
        String("", "");
        ++counts_.emptyServerKeys;
      } else {
        String("", FileReference());
      }
      String("ThreadingModel", "Apartment");
    }
    if (random_.Below(20) == 0) {
      Key(kClassesRoot, base + "\\LocalServer32");
      String("", FileReference());
    }
    if (random_.Below(2) == 0) {
      Key(kClassesRoot, base + "\\ProgID");
      String("", "Bench.Class." + std::to_string(classes_));
    }
    if (random_.Below(5) < 2) {
      Key(kClassesRoot, base + "\\TypeLib");
      const uint64_t roll = random_.Below(100);
      if (roll < 5) {
        String("", "");
      } else if (roll < 25 || libs_.empty()) {
        String("", Guid(kLibPrefix, 0xFFFF0000u + random_.Below(0xFFFF), random_.Next()));
        ++counts_.danglingTypeLibs;
      } else {
        String("", libs_[random_.Below(libs_.size())]);
      }
    }
    if (random_.Below(5) == 0) {
      Key(kClassesRoot, base + "\\Implemented Categories");
      Key(kClassesRoot, base + "\\Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}");
    }
  }

  void TypeLibrary() {
    const std::string id = Guid(kLibPrefix, libs_.size(), random_.Next());
    libs_.push_back(id);
    const std::string base = "TypeLib\\" + id + "\\1.0";
    Key(kClassesRoot, "TypeLib\\" + id);
    Key(kClassesRoot, base);
    String("", "Bench Type Library " + std::to_string(libs_.size()));
    Key(kClassesRoot, base + "\\0");
    Key(kClassesRoot, base + "\\0\\win32");
    String("", FileReference());
    Key(kClassesRoot, base + "\\FLAGS");
    String("", "0");
    Key(kClassesRoot, base + "\\HELPDIR");
    if (random_.Below(20) == 0) {
      String("", "");
      ++counts_.emptyHelpDirs;
    } else {
      String("", options_.fileRoot);
    }
  }

  void AppId() {
    const std::string id = Guid(kAppIdPrefix, appIds_++, random_.Next());
    Key(kClassesRoot, "AppID\\" + id);
    String("", "Bench Service " + std::to_string(appIds_));
    String("DllSurrogate", "");
    // Below AppID the walk never looks: an empty server key here is no finding.
    Key(kClassesRoot, "AppID\\" + id + "\\InprocServer32");
    String("", "");
  }

  void Extension() {
    const uint64_t n = extensions_++;
    const std::string extension = kExtensionPrefix + std::to_string(n);
    const std::string progId = kProgIdPrefix + std::to_string(n);
    const uint64_t roll = random_.Below(100);
    Key(kClassesRoot, extension);
    if (roll < 3) {  // an empty registration, and one still in use through its subkey
      String("", "");
      if (roll == 0) {
        Key(kClassesRoot, extension + "\\OpenWithProgids");
        String(progId, "");
      } else {
        ++counts_.emptyExtensions;
      }
      return;
    }
    String("", progId);
    String("Content Type", "application/x-bench");
    if (roll < 8) {  // the file type was uninstalled
      ++counts_.unknownFileTypes;
      return;
    }
    if (roll < 10) {  // the user opened such a file once: the shell remembers the extension
      Key(kCurrentUser, std::string(kFileExtsKey) + "\\" + extension + "\\OpenWithProgids");
      String(progId, "");
    }
    Key(kClassesRoot, progId);
    String("", "Bench Document " + std::to_string(n));
    Key(kClassesRoot, progId + "\\DefaultIcon");
    String("", FileReference() + ",0");
    Key(kClassesRoot, progId + "\\shell");
    Key(kClassesRoot, progId + "\\shell\\open");
    Key(kClassesRoot, progId + "\\shell\\open\\command");
    String("", "\"" + FileReference() + "\" \"%1\"");
  }

  // A program's settings: paths to its files and folders in every form programs write them (plain, quoted
  // commands with switches, %ProgramFiles% and %SystemRoot% forms, resource references), some of them gone,
  // between many values that are no paths at all; now and then a driver entry, which ends the key's checking.
  void Software() {
    const HKey root = random_.Below(2) ? kCurrentUser : kLocalMachine;
    const uint64_t vendor = random_.Below(40);
    const uint64_t app = software_++;
    std::string path = std::string(root == kCurrentUser ? "Software\\" : "SOFTWARE\\") + kVendorPrefix +
                       std::to_string(vendor) + "\\App" + std::to_string(app);
    Key(root, path);
    String("InstallDir", random_.Below(8) == 0 ? MissingFolder() : options_.fileRoot);
    String("Version", std::to_string(1 + random_.Below(9)) + "." + std::to_string(random_.Below(20)) + ".0");
    const uint64_t depth = 1 + random_.Below(3);
    for (uint64_t level = 0; level < depth; ++level) {
      path += level == 0 ? "\\Settings" : "\\Level" + std::to_string(level);
      Key(root, path);
      String("Executable", FileReference());
      String("Command", "\"" + FileReference() + "\" /s /n");
      String("LastDocument", FileReference());
      String("Caption", "Bench settings page");
      String("WindowPos", "0,0,640,480");
      String("Language", "en-US");
      Dword("Flags", static_cast<uint32_t>(random_.Below(1u << 16)));
      const uint64_t form = random_.Below(10);
      if (form == 0) {
        String("Helper", "%ProgramFiles%\\BenchVendor" + std::to_string(vendor) + "\\helper" +
                             std::to_string(random_.Below(filePool_)) + ".exe -q");
        ++counts_.missingFileRefs;
      } else if (form == 1) {
        String("Library", "%SystemRoot%\\system32\\bench" + std::to_string(random_.Below(filePool_)) + ".dll");
        ++counts_.missingFileRefs;
      } else if (form == 2) {
        String("Icon", "@" + FileReference() + ",-101");
      } else if (form == 3) {
        String("Driver", "C:\\Windows\\System32\\drivers\\bench" + std::to_string(app) + ".sys");
        String("AfterDriver", MissingFile());
      } else if (form == 4) {
        String("Runner", "rundll32.exe " + FileReference() + ",Entry");
      }
    }
  }

  std::string MissingFolder() {
    ++counts_.missingFileRefs;
    return "C:\\Program Files\\BenchGone" + std::to_string(random_.Below(filePool_)) + "\\Data";
  }

  void EmptyKeys() {
    const uint64_t n = empties_++;
    Key(kUsers, std::string(".DEFAULT\\Software\\") + kEmptyKeysName + "\\k" + std::to_string(n));
    Key(kCurrentUser, std::string("Software\\") + kEmptyKeysName + "\\k" + std::to_string(n));
    // A profile's own keys, which the empty-key walk of every profile meets (the default profile it passes over).
    Key(kUsers, std::string(kUserSid) + "\\Software\\" + kEmptyKeysName + "\\k" + std::to_string(n));
  }

  // Positions the sink at a key that already exists, to add values to it.
  void At(HKey root, const std::string& path) { sink_.Key(root, path); }

  // The keys each list section reads once: the programs folder the start-menu order is compared with, the sound
  // scheme and the CD-ROM class filters.
  void FixedKeys() {
    At(kCurrentUser, std::string(kExplorerKey) + "\\Shell Folders");
    String("Programs", options_.fileRoot);
    At(kLocalMachine, "Control Panel\\Sounds");
    String("", "BenchGone.wav");
    At(kLocalMachine, kCdRomClassKey);
    String("UpperFilters", "BenchFilter");
  }

  std::string ListName(const char* kind, uint64_t n) { return kListPrefix + std::string(kind) + std::to_string(n); }

  // One entry of one of the list sections, in turn: application paths, uninstall entries, the start-menu order of
  // both kinds, the open/save and run histories, shared DLLs, fonts and help files.
  void ListEntry() {
    const uint64_t n = lists_++;
    const std::string explorer = kExplorerKey;
    switch (n % 9) {
      case 0:
        Key(kLocalMachine, std::string(kAppPathsKey) + "\\" + ListName("App", n) + ".exe");
        String("", FileReference());
        String("Path", options_.fileRoot);
        break;
      case 1:
        Key(kLocalMachine, std::string(kUninstallKey) + "\\" + ListName("App", n));
        String("DisplayName", "Bench App " + std::to_string(n));
        String("UninstallString", "\"" + FileReference() + "\" /S");
        break;
      case 2: {
        // Programs folders named after the generated file folders exist; the others are gone.
        const uint64_t folders = filePool_ / kFilesPerFolder;
        const std::string folder =
            random_.Below(4) == 0 ? ListName("Gone", n) : "d" + std::to_string(random_.Below(folders));
        Key(kCurrentUser, explorer + "\\MenuOrder\\Start Menu\\Programs\\" + folder);
        String("Order", "bench");
        break;
      }
      case 3:
        Key(kCurrentUser, explorer + "\\MenuOrder\\Start Menu2\\Programs\\" + ListName("Menu", n));
        String("Order", "bench");
        break;
      case 4:
        Key(kCurrentUser, explorer + "\\ComDlg32\\OpenSaveMRU\\" + ListName("x", n % 20));
        String(ListName("", n), FileReference());
        break;
      case 5:
        At(kCurrentUser, explorer + "\\RunMRU");
        String(ListName("", n), FileReference() + "\\1");
        break;
      case 6:
        At(kLocalMachine, kSharedDllsKey);
        Dword(FileReference(), static_cast<uint32_t>(random_.Below(3)));
        break;
      case 7:
        At(kLocalMachine, kFontsKey);
        String(ListName("Font", n) + " (TrueType)", FileReference());
        break;
      default: {
        At(kLocalMachine, kHelpKey);
        const uint64_t i = random_.Below(filePool_);
        const bool gone = random_.Below(4) == 0;
        const std::string name = gone ? ListName("Gone", n) + ".hlp" : "f" + std::to_string(i) + ".dll";
        String(name, options_.fileRoot + "\\d" + std::to_string(i / kFilesPerFolder));
        break;
      }
    }
  }

  IRegistrySink& sink_;
  const GeneratorOptions& options_;
  Random random_;
  const uint64_t filePool_;
  GeneratedCounts counts_;
  std::vector<std::string> libs_;
  uint64_t classes_ = 0, appIds_ = 0, extensions_ = 0, software_ = 0, empties_ = 0, lists_ = 0;
};

std::string EscapeRegText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

bool StartsWith(const std::string& text, const char* prefix) {
  const std::string p = prefix;
  return text.size() >= p.size() && text.compare(0, p.size(), p) == 0;
}

// Deletes the subkeys of root\parent whose names begin with one of the prefixes.
uint64_t RemoveChildren(IRegistry& reg, HKey root, const std::string& parent, std::initializer_list<const char*> prefixes) {
  RegKeyHandle key;
  if (key.Open(reg, root, parent, false) != kOk) return 0;
  std::vector<std::string> doomed;
  std::string name;
  for (uint32_t i = 0; reg.EnumKey(key.Get(), i, &name) == kOk; ++i) {
    for (const char* prefix : prefixes) {
      if (StartsWith(name, prefix)) {
        doomed.push_back(name);
        break;
      }
    }
  }
  for (const std::string& child : doomed) reg.DeleteTree(key.Get(), child);
  return doomed.size();
}

// Deletes the values of root\\path whose name passes the test.
uint64_t RemoveValues(IRegistry& reg, HKey root, const std::string& path, bool (*doomedName)(const std::string&)) {
  RegKeyHandle key;
  if (key.Open(reg, root, path, true) != kOk) return 0;
  std::vector<std::string> doomed;
  std::string name;
  uint32_t type = 0;
  Bytes data;
  for (uint32_t i = 0; reg.EnumValue(key.Get(), i, &name, &type, &data) == kOk; ++i)
    if (doomedName(name)) doomed.push_back(name);
  for (const std::string& value : doomed) reg.DeleteValue(key.Get(), value);
  return doomed.size();
}

bool IsListName(const std::string& name) { return StartsWith(name, kListPrefix); }

// Help entries name generated files ("f123.dll") or carry the list prefix.
bool IsHelpName(const std::string& name) {
  return IsListName(name) || (StartsWith(name, "f") && name.size() > 5 && name.compare(name.size() - 4, 4, ".dll") == 0);
}

// Shared DLL entries are the generated paths themselves.
bool IsSharedDllName(const std::string& name) {
  return StartsWith(name, "C:\\BenchFiles") || StartsWith(name, "C:\\Program Files\\BenchGone");
}

}  // namespace

std::string FilePath(const GeneratorOptions& options, uint64_t index) {
  char name[64];
  std::snprintf(name, sizeof name, "\\d%" PRIu64 "\\f%" PRIu64 ".dll", index / kFilesPerFolder, index);
  return options.fileRoot + name;
}

void ApiSink::Key(HKey root, const std::string& path) { key_.Open(reg_, root, path, true); }

void ApiSink::String(const std::string& name, const std::string& value) {
  if (key_.IsOpen()) reg_.SetValue(key_.Get(), name, kRegSz, StringBytes(value));
}

void ApiSink::Dword(const std::string& name, uint32_t value) {
  const Bytes data = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                      static_cast<uint8_t>(value >> 24)};
  if (key_.IsOpen()) reg_.SetValue(key_.Get(), name, kRegDword, data);
}

RegFileSink::RegFileSink(std::FILE* out) : out_(out) { std::fputs("REGEDIT4\r\n", out_); }

void RegFileSink::Key(HKey root, const std::string& path) {
  std::fprintf(out_, "\r\n[%s\\%s]\r\n", RootKeyName(root).c_str(), path.c_str());
}

void RegFileSink::String(const std::string& name, const std::string& value) {
  if (name.empty()) {
    std::fprintf(out_, "@=\"%s\"\r\n", EscapeRegText(value).c_str());
  } else {
    std::fprintf(out_, "\"%s\"=\"%s\"\r\n", EscapeRegText(name).c_str(), EscapeRegText(value).c_str());
  }
}

void RegFileSink::Dword(const std::string& name, uint32_t value) {
  std::fprintf(out_, "\"%s\"=dword:%08x\r\n", EscapeRegText(name).c_str(), value);
}

uint64_t CreateReferencedFiles(IFiles& files, const GeneratorOptions& options) {
  const uint64_t count = Generator::FilePoolSize(options);
  files.MakeDirectory(options.fileRoot);
  for (uint64_t i = 0; i < count; ++i) {
    if (i % kFilesPerFolder == 0) files.MakeDirectory(options.fileRoot + "\\d" + std::to_string(i / kFilesPerFolder));
    files.WriteWholeFile(FilePath(options, i), "MZ");
  }
  return count;
}

GeneratedCounts GenerateRegistry(IRegistrySink& sink, const GeneratorOptions& options) {
  GeneratedCounts counts = Generator(sink, options).Run();
  counts.files = Generator::FilePoolSize(options);
  return counts;
}

uint64_t RemoveGeneratedKeys(IRegistry& reg) {
  uint64_t removed = 0;
  removed += RemoveChildren(reg, kClassesRoot, "CLSID", {"{BE1C"});
  removed += RemoveChildren(reg, kClassesRoot, "TypeLib", {"{BE1D"});
  removed += RemoveChildren(reg, kClassesRoot, "AppID", {"{BE1E"});
  removed += RemoveChildren(reg, kClassesRoot, "", {kExtensionPrefix, kProgIdPrefix});
  removed += RemoveChildren(reg, kCurrentUser, "Software", {kVendorPrefix, kEmptyKeysName});
  removed += RemoveChildren(reg, kCurrentUser, kFileExtsKey, {kExtensionPrefix});
  removed += RemoveChildren(reg, kLocalMachine, "SOFTWARE", {kVendorPrefix});
  removed += RemoveChildren(reg, kUsers, ".DEFAULT\\Software", {kEmptyKeysName});
  removed += RemoveChildren(reg, kUsers, "", {kUserSid});
  removed += RemoveChildren(reg, kLocalMachine, kAppPathsKey, {kListPrefix});
  removed += RemoveChildren(reg, kLocalMachine, kUninstallKey, {kListPrefix});
  const std::string explorer = kExplorerKey;
  removed += RemoveChildren(reg, kCurrentUser, explorer + "\\MenuOrder\\Start Menu\\Programs", {kListPrefix, "d"});
  removed += RemoveChildren(reg, kCurrentUser, explorer + "\\MenuOrder\\Start Menu2\\Programs", {kListPrefix});
  removed += RemoveChildren(reg, kCurrentUser, explorer + "\\ComDlg32\\OpenSaveMRU", {kListPrefix});
  removed += RemoveValues(reg, kCurrentUser, explorer + "\\RunMRU", IsListName);
  removed += RemoveValues(reg, kLocalMachine, kSharedDllsKey, IsSharedDllName);
  removed += RemoveValues(reg, kLocalMachine, kFontsKey, IsListName);
  removed += RemoveValues(reg, kLocalMachine, kHelpKey, IsHelpName);
  return removed;
}

}  // namespace tw::bench
