// The registry helpers: the contract cases on the test platform (the memory model natively, the real
// registry under Wine), the rest on the memory model.
#include "platform/reg_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "support/test_platform.h"

namespace tw {
namespace {

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

constexpr const char* kScratchBase = "Software\\TarnwickScratch";

// Seeds and inspects keys below a scratch key through the raw registry calls.
struct Scratch {
  IRegistry& reg;
  HKey root = kCurrentUser;
  std::string base = kScratchBase;

  std::string Path(const std::string& sub) const { return sub.empty() ? base : base + "\\" + sub; }
  std::string Full(const std::string& sub) const { return RootKeyName(root) + "\\" + Path(sub); }

  void Put(const std::string& sub, const std::string& name, uint32_t type = kRegSz, const Bytes& data = Sz("x")) {
    HKey key = 0;
    ASSERT_EQ(reg.OpenKey(root, Path(sub), true, &key), kOk);
    ASSERT_EQ(reg.SetValue(key, name, type, data), kOk);
    reg.CloseKey(key);
  }
  void MakeKey(const std::string& sub) {
    HKey key = 0;
    ASSERT_EQ(reg.OpenKey(root, Path(sub), true, &key), kOk);
    reg.CloseKey(key);
  }
  bool HasKey(const std::string& sub) {
    HKey key = 0;
    if (reg.OpenKey(root, Path(sub), false, &key) != kOk) return false;
    reg.CloseKey(key);
    return true;
  }
  bool HasValue(const std::string& sub, const std::string& name) {
    HKey key = 0;
    if (reg.OpenKey(root, Path(sub), false, &key) != kOk) return false;
    uint32_t type = 0;
    Bytes data;
    long rc = reg.QueryValue(key, name, &type, &data);
    reg.CloseKey(key);
    return rc == kOk;
  }
};

TEST(RootKeyNameTest, NamesAndBack) {
  struct Case {
    HKey root;
    const char* name;
  };
  const Case roots[] = {
      {kClassesRoot, "HKEY_CLASSES_ROOT"}, {kCurrentUser, "HKEY_CURRENT_USER"}, {kLocalMachine, "HKEY_LOCAL_MACHINE"},
      {kUsers, "HKEY_USERS"},              {kCurrentConfig, "HKEY_CURRENT_CONFIG"},
  };
  for (const Case& c : roots) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RootKeyName(c.root), c.name);
    EXPECT_EQ(RootKeyFromName(c.name), c.root);
  }
  for (HKey other : {HKey{0}, HKey{0x80000004u}, HKey{0x80000006u}, HKey{0x12345678u}}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(RootKeyName(other), "");
  }
  for (const char* other : {"", "hkey_current_user", "HKEY_CURRENT_USER ", "HKCU", "HKEY_CURRENT_USER\\Software"}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(RootKeyFromName(other), HKey{0});
  }
}

TEST(DeleteValueAtTest, DeletesOnlyTheNamedValueAndNeverCreatesKeys) {
  struct Case {
    const char* desc;
    std::string sub;        // the key below the scratch key
    std::string valueName;  // as a problem record names it
    std::string stored;     // the registry's name of that value
  };
  const Case cases[] = {
      {"named value", "Key", "Named", "Named"},
      {"value name case differs", "Key", "NAMED", "Named"},
      {"default is the unnamed value", "Key", "default", ""},
      {"absent value counts as deleted", "Key", "Missing", "Missing"},
      {"absent key counts as deleted", "Gone\\Deeper", "Named", "Named"},
      {"root name again inside the path", "HKEY_CURRENT_USER\\Inner", "Named", "Named"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desc);
    auto tp = MakeTestPlatform();
    Scratch s{tp->Registry(), kCurrentUser, tp->ScratchKey()};
    for (const char* name : {"Named", "", "default", "Other"}) s.Put("Key", name);
    s.Put("HKEY_CURRENT_USER\\Inner", "Named");
    s.Put("Inner", "Named");

    EXPECT_TRUE(DeleteValueAt(s.reg, s.Full(c.sub), c.valueName));
    EXPECT_FALSE(s.HasValue(c.sub, c.stored));
    EXPECT_FALSE(s.HasKey("Gone")) << "an absent key is never created";
    EXPECT_TRUE(s.HasValue("Key", "Other"));
    EXPECT_TRUE(s.HasValue("Key", "default")) << "the value named \"default\" is not the one meant";
    EXPECT_TRUE(s.HasValue("Inner", "Named")) << "only the leading root name is taken off the path";
    if (c.sub != "Key") {
      EXPECT_TRUE(s.HasValue("Key", "Named"));
      EXPECT_TRUE(s.HasValue("Key", ""));
    }
  }
}

TEST(DeleteKeyAtTest, DeletesTheSubtreeAndTakesAbsentKeysAsDeleted) {
  struct Case {
    const char* desc;
    std::string sub;  // below the scratch key
    bool leadingBackslash;
    std::vector<std::string> gone;
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {"key with subtree", "A", false, {"A", "A\\B", "A\\B\\C"}, {"", "AB", "D"}},
      {"leading backslash", "A\\B", true, {"A\\B", "A\\B\\C"}, {"A", "D"}},
      {"name case differs", "a\\b", false, {"A\\B"}, {"A"}},
      {"absent key", "Missing\\Deeper", false, {"Missing"}, {"A", "D"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desc);
    auto tp = MakeTestPlatform();
    Scratch s{tp->Registry(), kCurrentUser, tp->ScratchKey()};
    s.Put("A\\B\\C", "v");
    s.Put("A", "v");
    s.MakeKey("AB");
    s.MakeKey("D");
    EXPECT_TRUE(DeleteKeyAt(s.reg, s.root, (c.leadingBackslash ? "\\" : "") + s.Path(c.sub)));
    for (const auto& sub : c.gone) EXPECT_FALSE(s.HasKey(sub)) << sub;
    for (const auto& sub : c.kept) EXPECT_TRUE(s.HasKey(sub)) << sub;
  }
}

TEST(TRegistryTest, TypedValuesReadByTheirType) {
  struct Case {
    const char* desc;
    uint32_t type;
    Bytes data;
    RegDataType dataType;
    std::string text;  // what ReadString gives
    bool isInteger;
    int32_t integer;
  };
  const Case cases[] = {
      {"string", kRegSz, Sz("C:\\a b"), RegDataType::String, "C:\\a b", false, 0},
      {"string without NUL", kRegSz, Bytes{'a', 'b'}, RegDataType::String, "ab", false, 0},
      {"string with text after NUL", kRegSz, Bytes{'a', 0, 'b', 0}, RegDataType::String, "a", false, 0},
      {"empty string, no bytes", kRegSz, Bytes{}, RegDataType::String, "", false, 0},
      {"expandable", kRegExpandSz, Sz("%windir%"), RegDataType::ExpandString, "%windir%", false, 0},
      {"dword", kRegDword, Bytes{0x2A, 0, 0, 0}, RegDataType::Integer, "", true, 42},
      {"negative dword", kRegDword, Bytes{0xFF, 0xFF, 0xFF, 0xFF}, RegDataType::Integer, "", true, -1},
      {"short dword", kRegDword, Bytes{1, 0}, RegDataType::Integer, "", false, 0},
      {"binary", kRegBinary, Bytes{'1', 0}, RegDataType::Binary, "", false, 0},
      {"multi string", kRegMultiSz, Bytes{'a', 0, 'b', 0, 0}, RegDataType::Unknown, "", false, 0},
      {"qword", kRegQword, Bytes(8, 1), RegDataType::Unknown, "", false, 0},
      {"none", kRegNone, Bytes{}, RegDataType::Unknown, "", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desc);
    auto tp = MakeTestPlatform();
    Scratch s{tp->Registry(), kCurrentUser, tp->ScratchKey()};
    s.Put("", "v", c.type, c.data);
    TRegistry r(s.reg, s.root);
    ASSERT_TRUE(r.OpenKeyReadOnly(s.base));
    EXPECT_TRUE(r.ValueExists("v"));
    EXPECT_EQ(r.GetDataType("v"), c.dataType);
    EXPECT_EQ(r.GetRawType("v"), c.type);
    EXPECT_EQ(r.GetDataSize("v"), static_cast<int>(c.data.size()));
    EXPECT_EQ(r.ReadString("v"), c.text);
    int32_t n = 7;
    EXPECT_EQ(r.ReadInteger("v", &n), c.isInteger);
    EXPECT_EQ(n, c.isInteger ? c.integer : 7) << "a failed read leaves the out-value alone";
    Bytes raw;
    EXPECT_TRUE(r.ReadBinary("v", &raw));
    EXPECT_EQ(raw, c.data);
  }
}

TEST(TRegistryTest, WritesStoreTheRegistryForms) {
  auto tp = MakeTestPlatform();
  Scratch s{tp->Registry(), kCurrentUser, tp->ScratchKey()};
  TRegistry r(s.reg, s.root);
  ASSERT_TRUE(r.OpenKey("\\" + s.base + "\\New", true)) << "leading backslash, created";
  EXPECT_TRUE(r.WriteString("s", "text"));
  EXPECT_TRUE(r.WriteExpandString("e", "%x%"));
  EXPECT_TRUE(r.WriteInteger("i", -2));
  EXPECT_TRUE(r.WriteBinary("b", Bytes{9, 8}));
  EXPECT_TRUE(r.WriteString("", "unnamed"));

  struct Expect {
    const char* name;
    uint32_t type;
    Bytes data;
  };
  const Expect expected[] = {
      {"s", kRegSz, Sz("text")}, {"e", kRegExpandSz, Sz("%x%")}, {"i", kRegDword, Bytes{0xFE, 0xFF, 0xFF, 0xFF}},
      {"b", kRegBinary, Bytes{9, 8}}, {"", kRegSz, Sz("unnamed")},
  };
  HKey key = 0;
  ASSERT_EQ(s.reg.OpenKey(s.root, s.Path("New"), false, &key), kOk);
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.name);
    uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(s.reg.QueryValue(key, e.name, &type, &data), kOk);
    EXPECT_EQ(type, e.type);
    EXPECT_EQ(data, e.data);
  }
  s.reg.CloseKey(key);
  // Windows lists values in creation order, Wine by name: only the set is the same.
  std::vector<std::string> names = r.GetValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"", "b", "e", "i", "s"}));
}

TEST(TRegistryTest, OpenListDeleteAndClosedKey) {
  auto tp = MakeTestPlatform();
  Scratch s{tp->Registry(), kCurrentUser, tp->ScratchKey()};
  for (const char* sub : {"beta", "Alpha", "gamma\\deep"}) s.MakeKey(sub);
  s.Put("", "one");
  s.Put("", "two");

  TRegistry r(s.reg, s.root);
  EXPECT_FALSE(r.OpenKeyReadOnly(s.Path("Missing")));
  EXPECT_FALSE(s.HasKey("Missing")) << "a read-only open creates nothing";
  EXPECT_FALSE(r.HasOpenKey());
  EXPECT_TRUE(r.KeyExists(s.Path("gamma\\deep")));
  EXPECT_TRUE(r.KeyExists("\\" + s.Path("Alpha")));
  EXPECT_FALSE(r.KeyExists(s.Path("Missing")));

  EXPECT_EQ(r.GetKeyNames(), std::vector<std::string>{}) << "no open key";
  EXPECT_EQ(r.ReadString("one"), "");
  EXPECT_FALSE(r.ValueExists("one"));
  EXPECT_EQ(r.GetDataSize("one"), -1);
  EXPECT_FALSE(r.WriteString("x", "y"));
  EXPECT_FALSE(r.DeleteValue("one"));

  ASSERT_TRUE(r.OpenKeyReadOnly(s.base));
  EXPECT_EQ(r.GetKeyNames(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(r.GetValueNames(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(r.GetDataSize("missing"), -1);
  EXPECT_EQ(r.GetDataType("missing"), RegDataType::Unknown);
  EXPECT_TRUE(r.DeleteValue("one"));
  EXPECT_FALSE(r.DeleteValue("one")) << "the object reports the raw result";
  EXPECT_EQ(r.GetValueNames(), std::vector<std::string>{"two"});

  EXPECT_TRUE(r.DeleteKey(s.Path("gamma")));
  EXPECT_FALSE(s.HasKey("gamma\\deep"));

  r.SetRootKey(kLocalMachine);
  EXPECT_FALSE(r.HasOpenKey());
  EXPECT_FALSE(r.KeyExists(s.base)) << "paths are taken below the new root";
}

// The cases below need the memory model's hooks (denied keys, handle counts) or its fixed machine keys
// and shell, so they run against it in both suites.

TEST(DeleteKeyAtTest, EmptyPathNeverWipesTheRoot) {
  for (const char* path : {"", "\\"}) {
    SCOPED_TRACE(path);
    MemoryPlatform mp;
    Scratch s{mp.registry};
    s.MakeKey("A");
    EXPECT_FALSE(DeleteKeyAt(s.reg, s.root, path));
    TRegistry r(mp.registry, s.root);
    EXPECT_FALSE(r.DeleteKey(path));
    EXPECT_TRUE(s.HasKey("A"));
  }
}

TEST(DeleteValueAtTest, FailsForUnknownRootsAndUnopenableKeys) {
  MemoryPlatform mp;
  Scratch s{mp.registry};
  s.Put("Key", "Named");
  const std::string tail = "\\" + s.Path("Key");
  for (const std::string& path : {"hkey_current_user" + tail, "HKCU" + tail, tail, std::string()}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(DeleteValueAt(s.reg, path, "Named"));
  }
  EXPECT_TRUE(s.HasValue("Key", "Named"));

  mp.registry.DenyAccess(s.root, s.Path("Key"));
  EXPECT_FALSE(DeleteValueAt(s.reg, s.Full("Key"), "Named")) << "a key that cannot be opened is no success";
  mp.registry.DenyAccess(s.root, s.Path("Key"), false);
  EXPECT_TRUE(s.HasValue("Key", "Named"));
}

TEST(DeleteKeyAtTest, UnopenableKeyIsNoSuccess) {
  MemoryPlatform mp;
  Scratch s{mp.registry};
  s.MakeKey("Locked");
  mp.registry.DenyAccess(s.root, s.Path("Locked"));
  EXPECT_FALSE(DeleteKeyAt(s.reg, s.root, s.Path("Locked")));
  mp.registry.DenyAccess(s.root, s.Path("Locked"), false);
  EXPECT_TRUE(s.HasKey("Locked"));
}

TEST(TRegistryTest, ClosesEveryHandleItOpens) {
  MemoryPlatform mp;
  Scratch s{mp.registry};
  s.Put("K", "v");
  size_t before = mp.registry.OpenHandleCount();
  {
    TRegistry r(mp.registry, s.root);
    r.OpenKeyReadOnly(s.Path("K"));
    r.OpenKeyReadOnly(s.Path("K"));
    r.KeyExists(s.Path("K"));
    EXPECT_EQ(mp.registry.OpenHandleCount(), before + 1);
  }
  DeleteValueAt(mp.registry, s.Full("K"), "v");
  DeleteKeyAt(mp.registry, s.root, s.Path("K"));
  ProgramFolder(mp.registry, 0);
  StartupFolders(mp.registry);
  EXPECT_EQ(mp.registry.OpenHandleCount(), before);
}

TEST(ProgramFolderTest, ReadsTheMachineFolders) {
  MemoryPlatform mp;
  Scratch machine{mp.registry, kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"};
  EXPECT_EQ(ProgramFolder(mp.registry, 0), "") << "nothing stored";
  EXPECT_FALSE(machine.HasKey("")) << "and nothing created";
  machine.Put("", "ProgramFilesDir", kRegSz, Sz("C:\\Program Files"));
  machine.Put("", "CommonFilesDir", kRegSz, Sz("C:\\Program Files\\Common Files"));
  EXPECT_EQ(ProgramFolder(mp.registry, 0), "C:\\Program Files");
  EXPECT_EQ(ProgramFolder(mp.registry, 1), "C:\\Program Files\\Common Files");
  EXPECT_EQ(ProgramFolder(mp.registry, 2), "");
  EXPECT_EQ(ProgramFolder(mp.registry, -1), "");
}

TEST(StartupFoldersTest, MachineFolderFirstThenUserFolder) {
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  struct Case {
    const char* desc;
    bool seedMachine, seedUser;
    std::string machineData, userData;
  };
  const Case cases[] = {
      {"both stored", true, true, "C:\\All Users\\Start Menu\\Programs\\Startup", "C:\\User\\Startup"},
      {"user only", false, true, "", "C:\\User\\Startup"},
      {"none", false, false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desc);
    MemoryPlatform mp;
    Scratch machine{mp.registry, kLocalMachine, key};
    Scratch user{mp.registry, kCurrentUser, key};
    if (c.seedMachine) machine.Put("", "Common Startup", kRegSz, Sz(c.machineData));
    if (c.seedUser) user.Put("", "Startup", kRegSz, Sz(c.userData));
    user.Put("", "Common Startup", kRegSz, Sz("C:\\wrong root"));

    std::vector<TFolderData> folders = StartupFolders(mp.registry);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0].RootKey, kLocalMachine);
    EXPECT_EQ(folders[0].KeyPath, key);
    EXPECT_EQ(folders[0].Name, "Common Startup");
    EXPECT_EQ(folders[0].Data, c.machineData);
    EXPECT_EQ(folders[1].RootKey, kCurrentUser);
    EXPECT_EQ(folders[1].KeyPath, key);
    EXPECT_EQ(folders[1].Name, "Startup");
    EXPECT_EQ(folders[1].Data, c.userData);
    for (const auto& f : folders) EXPECT_EQ(f.Location, "");
    EXPECT_EQ(machine.HasKey(""), c.seedMachine) << "reading creates no key";
  }
}

TEST(OpenInBrowserWindowTest, BrowserObjectSizedToScreenElseShellOpen) {
  for (bool browser : {true, false}) {
    SCOPED_TRACE(browser ? "browser object" : "no browser object");
    MemoryPlatform mp;
    mp.system.SetScreenSize(1280, 1024);
    mp.shell.SetBrowserAvailable(browser);
    OpenInBrowserWindow(mp.platform, "http://www.tarnwick.com/help/");
    if (browser) {
      ASSERT_EQ(mp.shell.browserCalls.size(), 1u);
      const auto& b = mp.shell.browserCalls[0];
      EXPECT_EQ(b.address, "http://www.tarnwick.com/help/");
      EXPECT_EQ(b.left, 0);
      EXPECT_EQ(b.top, 0);
      EXPECT_EQ(b.width, 1280);
      EXPECT_EQ(b.height, 994);
      EXPECT_TRUE(mp.shell.executeCalls.empty());
    } else {
      ASSERT_EQ(mp.shell.executeCalls.size(), 1u);
      const auto& e = mp.shell.executeCalls[0];
      EXPECT_EQ(e.verb, "open");
      EXPECT_EQ(e.file, "http://www.tarnwick.com/help/");
      EXPECT_EQ(e.parameters, "");
      EXPECT_EQ(e.directory, "");
      EXPECT_EQ(e.showCommand, 1);
    }
  }
}

}  // namespace
}  // namespace tw
