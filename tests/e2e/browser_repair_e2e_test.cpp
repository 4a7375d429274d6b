// The browser repair on the real registry: hijacked settings are put back, and importing the backup the repair
// wrote with the system registry editor brings every value it changed or deleted back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e/registry_snapshot.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "support/recording_prompts.h"
#include "support/recording_ui.h"
#include "tools/browser_repair.h"

namespace tw {
namespace {

Bytes Sz(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return b;
}

void Put(IRegistry& reg, HKey root, const std::string& path, const std::string& name, uint32_t type,
         const Bytes& data) {
  RegKeyHandle key;
  ASSERT_EQ(key.Open(reg, root, path, true), kOk) << path;
  ASSERT_EQ(reg.SetValue(key.Get(), name, type, data), kOk) << name;
}

std::string ReadString(IRegistry& reg, HKey root, const std::string& path, const std::string& name) {
  TRegistry r(reg, root);
  return r.OpenKey(path, false) ? r.ReadString(name) : "<no key>";
}

bool HasValue(IRegistry& reg, HKey root, const std::string& path, const std::string& name) {
  TRegistry r(reg, root);
  return r.OpenKey(path, false) && r.ValueExists(name);
}

HKEY Native(HKey root) { return reinterpret_cast<HKEY>(static_cast<uintptr_t>(root)); }

TEST(BrowserRepairE2E, RepairsTheRealRegistryAndItsBackupRestoresIt) {
  Win32Platform real;
  IRegistry& reg = real.registry;
  const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string main = "Software\\Microsoft\\Internet Explorer\\Main";
  const std::string ext = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
  const std::string pol = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";
  Put(reg, kLocalMachine, main, "start page", kRegSz, Sz("http://hijack.example/"));
  Put(reg, kCurrentUser, main, "start page", kRegSz, Sz("http://hijack.example/user"));
  Put(reg, kLocalMachine, run, "Hijacker", kRegSz, Sz("hijack.exe http://hijack.example/"));
  Put(reg, kLocalMachine, run, "Importer", kRegSz, Sz("ReGeDiT /s C:\\x.reg"));
  Put(reg, kLocalMachine, run, "TarnwickKeep", kRegSz, Sz("C:\\keep.exe"));
  Put(reg, kLocalMachine, ext + "\\{TarnwickE2E}", "ButtonText", kRegSz, Sz("Ads"));
  Put(reg, kCurrentUser, pol + "Explorer", "NoDesktop", kRegDword, {1, 0, 0, 0});
  Put(reg, kCurrentUser, pol + "System", "DisableRegistryTools", kRegDword, {1, 0, 0, 0});
  Put(reg, kCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls", "url1", kRegSz, Sz("http://a/"));
  const std::string program = "C:\\Program Files\\registry.exe";
  ASSERT_TRUE(real.files.WriteWholeFile(program, "MZ"));

  test::RegistrySnapshot before;
  for (int i = 0; i < kBrowserRepairItemCount; ++i)
    for (const std::string& key : BrowserRepairKeys(i)) {
      const size_t slash = key.find('\\');
      test::AddToSnapshot(Native(RootKeyFromName(key.substr(0, slash))), key.substr(slash + 1), before);
    }

  test::RecordingPrompts prompts;
  prompts.Answer(PromptAnswer::Yes);
  test::RecordingPump pump;
  TBrowserRepairForm form(real.platform, prompts, pump);
  form.FormCreate();
  form.DeleteItemBtnClick();
  ASSERT_EQ(prompts.calls.size(), 1u) << prompts.calls.back().text;
  for (const BrowserRepairRow& row : form.Rows()) EXPECT_EQ(row.Status, "Completed") << row.Name;

  EXPECT_EQ(ReadString(reg, kLocalMachine, main, "start page"), "about:blank");
  EXPECT_EQ(ReadString(reg, kCurrentUser, main, "Window Title"), "Microsoft Internet Explorer");
  EXPECT_FALSE(HasValue(reg, kLocalMachine, run, "Hijacker"));
  EXPECT_FALSE(HasValue(reg, kLocalMachine, run, "Importer"));
  EXPECT_TRUE(HasValue(reg, kLocalMachine, run, "TarnwickKeep"));
  EXPECT_FALSE(HasValue(reg, kLocalMachine, ext + "\\{TarnwickE2E}", "ButtonText"));
  EXPECT_FALSE(HasValue(reg, kCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls", "url1"));
  int32_t zero = -1;
  TRegistry policies(reg, kCurrentUser);
  ASSERT_TRUE(policies.OpenKey(pol + "Explorer", false));
  EXPECT_TRUE(policies.ReadInteger("NoDesktop", &zero));
  EXPECT_EQ(zero, 0);
  EXPECT_FALSE(real.files.FileExists(program));

  // Every key and value seen before is back, byte for byte, after importing the backup.
  ASSERT_FALSE(form.LastBackup().empty());
  ASSERT_TRUE(test::ImportWithRegistryEditor(real.files, form.LastBackup()));
  test::RegistrySnapshot after;
  for (int i = 0; i < kBrowserRepairItemCount; ++i)
    for (const std::string& key : BrowserRepairKeys(i)) {
      const size_t slash = key.find('\\');
      test::AddToSnapshot(Native(RootKeyFromName(key.substr(0, slash))), key.substr(slash + 1), after);
    }
  for (const auto& [entry, value] : before) {
    const auto found = after.find(entry);
    EXPECT_TRUE(found != after.end() && found->second == value) << test::SnapshotEntryName(entry);
  }

  real.files.RemoveFile(form.LastBackup());
  for (const char* name : {"TarnwickKeep", "Hijacker", "Importer"}) DeleteValueAt(reg, "HKEY_LOCAL_MACHINE\\" + run, name);
  DeleteValueAt(reg, "HKEY_CURRENT_USER\\" + pol + "Explorer", "NoDesktop");
  DeleteValueAt(reg, "HKEY_CURRENT_USER\\" + pol + "System", "DisableRegistryTools");
  DeleteKeyAt(reg, kLocalMachine, ext + "\\{TarnwickE2E}");
}

}  // namespace
}  // namespace tw
