#include "app/settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/memory/memory_platform.h"

namespace tw {
namespace {

constexpr const char* kKey = "Software\\Tarnwick";

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

void Put(IRegistry& reg, const std::string& name, uint32_t type, const Bytes& data) {
  HKey key = 0;
  ASSERT_EQ(reg.OpenKey(kCurrentUser, kKey, true, &key), kOk);
  ASSERT_EQ(reg.SetValue(key, name, type, data), kOk);
  reg.CloseKey(key);
}

struct Stored {
  uint32_t type = 0;
  Bytes data;
};

std::optional<Stored> Get(IRegistry& reg, const std::string& name) {
  HKey key = 0;
  if (reg.OpenKey(kCurrentUser, kKey, false, &key) != kOk) return std::nullopt;
  Stored s;
  long rc = reg.QueryValue(key, name, &s.type, &s.data);
  reg.CloseKey(key);
  if (rc != kOk) return std::nullopt;
  return s;
}

void ExpectString(IRegistry& reg, const std::string& name, const std::string& text) {
  SCOPED_TRACE(name);
  auto s = Get(reg, name);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->type, kRegSz);
  EXPECT_EQ(s->data, Sz(text));
}

TEST(SettingsTest, FirstStartRunsWithInitialFlagsAndWritesDefaults) {
  MemoryPlatform mp;
  Settings s = LoadSettings(mp.registry);
  EXPECT_EQ(s.HomePage, kBuiltInHomePage);
  EXPECT_EQ(s.HelpURL, kBuiltInHelpUrl);
  EXPECT_FALSE(s.NotAutoBackup);
  EXPECT_TRUE(s.OneTimePending);
  EXPECT_FALSE(s.SelectAll) << "defaults written at the first start count from the second";
  EXPECT_FALSE(s.CheckUpdate);

  ExpectString(mp.registry, "NotAutoBackup", "0");
  ExpectString(mp.registry, "OneTime", "0");
  ExpectString(mp.registry, "SelectAll", "1");
  ExpectString(mp.registry, "CheckUpdate", "1");
  ExpectString(mp.registry, "Version", "3.0");
  EXPECT_FALSE(Get(mp.registry, "HomePage").has_value());
  EXPECT_FALSE(Get(mp.registry, "HelpURL").has_value());
}

TEST(SettingsTest, SecondStartTakesTheWrittenDefaults) {
  MemoryPlatform mp;
  LoadSettings(mp.registry);
  Settings s = LoadSettings(mp.registry);
  EXPECT_FALSE(s.NotAutoBackup);
  EXPECT_TRUE(s.OneTimePending);
  EXPECT_TRUE(s.SelectAll);
  EXPECT_TRUE(s.CheckUpdate);
  EXPECT_EQ(s.HomePage, kBuiltInHomePage);
}

TEST(SettingsTest, StoredTextsLoadByTheirRules) {
  enum Flag { NotAutoBackup, OneTime, SelectAll, CheckUpdate };
  struct Case {
    const char* desc;
    const char* name;
    uint32_t type;
    Bytes data;
    Flag flag;
    bool on;
    const char* rewritten;  // the string written over the value, nullptr when it is left as it is
  };
  const Bytes dword1 = {1, 0, 0, 0};
  const Case cases[] = {
      {"NotAutoBackup 1", "NotAutoBackup", kRegSz, Sz("1"), NotAutoBackup, true, nullptr},
      {"NotAutoBackup 0", "NotAutoBackup", kRegSz, Sz("0"), NotAutoBackup, false, nullptr},
      {"NotAutoBackup empty", "NotAutoBackup", kRegSz, Sz(""), NotAutoBackup, false, "0"},
      {"OneTime 1: offer made", "OneTime", kRegSz, Sz("1"), OneTime, false, nullptr},
      {"OneTime 0: pending", "OneTime", kRegSz, Sz("0"), OneTime, true, nullptr},
      {"OneTime empty: pending", "OneTime", kRegSz, Sz(""), OneTime, true, "0"},
      {"OneTime blank 0: made", "OneTime", kRegSz, Sz(" 0"), OneTime, false, nullptr},
      {"OneTime 00: made", "OneTime", kRegSz, Sz("00"), OneTime, false, nullptr},
      {"SelectAll yes is off", "SelectAll", kRegSz, Sz("yes"), SelectAll, false, nullptr},
      {"SelectAll blank 1 is off", "SelectAll", kRegSz, Sz(" 1"), SelectAll, false, nullptr},
      {"SelectAll 0", "SelectAll", kRegSz, Sz("0"), SelectAll, false, nullptr},
      {"SelectAll empty", "SelectAll", kRegSz, Sz(""), SelectAll, false, "1"},
      {"SelectAll without NUL", "SelectAll", kRegSz, Bytes{'1'}, SelectAll, true, nullptr},
      {"SelectAll text after NUL", "SelectAll", kRegSz, Bytes{'1', 0, 'x', 0}, SelectAll, true, nullptr},
      {"SelectAll expandable 1", "SelectAll", kRegExpandSz, Sz("1"), SelectAll, true, nullptr},
      {"SelectAll dword 1 reads empty", "SelectAll", kRegDword, dword1, SelectAll, false, "1"},
      {"CheckUpdate binary reads empty", "CheckUpdate", kRegBinary, Bytes{'1', 0}, CheckUpdate, false, "1"},
      {"CheckUpdate no data", "CheckUpdate", kRegNone, Bytes{}, CheckUpdate, false, "1"},
      {"CheckUpdate 1", "CheckUpdate", kRegSz, Sz("1"), CheckUpdate, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desc);
    MemoryPlatform mp;
    Put(mp.registry, c.name, c.type, c.data);
    Settings s = LoadSettings(mp.registry);
    const bool flags[] = {s.NotAutoBackup, s.OneTimePending, s.SelectAll, s.CheckUpdate};
    EXPECT_EQ(flags[c.flag], c.on);
    if (c.rewritten) {
      ExpectString(mp.registry, c.name, c.rewritten);
    } else {
      auto after = Get(mp.registry, c.name);
      ASSERT_TRUE(after.has_value());
      EXPECT_EQ(after->type, c.type);
      EXPECT_EQ(after->data, c.data);
    }
  }
}

TEST(SettingsTest, AddressesFallBackWhenEmptyOrNotText) {
  struct Case {
    const char* desc;
    uint32_t type;
    Bytes data;
    const char* home;
  };
  const Case cases[] = {
      {"stored", kRegSz, Sz("http://example.org/"), "http://example.org/"},
      {"empty", kRegSz, Sz(""), kBuiltInHomePage},
      {"dword", kRegDword, Bytes{1, 0, 0, 0}, kBuiltInHomePage},
      {"blank kept", kRegSz, Sz(" "), " "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desc);
    MemoryPlatform mp;
    Put(mp.registry, "HomePage", c.type, c.data);
    Put(mp.registry, "HelpURL", c.type, c.data);
    Settings s = LoadSettings(mp.registry);
    EXPECT_EQ(s.HomePage, c.home);
    EXPECT_EQ(s.HelpURL, std::string(c.home) == kBuiltInHomePage ? std::string(kBuiltInHelpUrl) : c.home);
    auto stored = Get(mp.registry, "HomePage");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->data, c.data) << "the addresses are never written";
  }
}

TEST(SettingsTest, VersionIsRewrittenAtEveryLoad) {
  MemoryPlatform mp;
  Put(mp.registry, "Version", kRegSz, Sz("2.0"));
  LoadSettings(mp.registry);
  ExpectString(mp.registry, "Version", "3.0");
}

TEST(SettingsTest, UnopenableKeyLeavesInitialValuesAndWritesNothing) {
  MemoryPlatform mp;
  mp.registry.DenyAccess(kCurrentUser, kKey);
  Settings s = LoadSettings(mp.registry);
  EXPECT_EQ(s.HomePage, "");
  EXPECT_EQ(s.HelpURL, "");
  EXPECT_FALSE(s.NotAutoBackup);
  EXPECT_FALSE(s.OneTimePending);
  EXPECT_FALSE(s.SelectAll);
  EXPECT_FALSE(s.CheckUpdate);
  EXPECT_FALSE(StoreSetting(mp.registry, "OneTime", "1"));

  mp.registry.DenyAccess(kCurrentUser, kKey, false);
  for (const char* name : {"NotAutoBackup", "OneTime", "SelectAll", "CheckUpdate", "Version"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Get(mp.registry, name).has_value());
  }
}

TEST(SettingsTest, StoreSettingWritesAStringCreatingTheKey) {
  MemoryPlatform mp;
  EXPECT_TRUE(StoreSetting(mp.registry, "OneTime", "1"));
  ExpectString(mp.registry, "OneTime", "1");
  EXPECT_FALSE(LoadSettings(mp.registry).OneTimePending);
}

}  // namespace
}  // namespace tw
