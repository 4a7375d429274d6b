#include "sections/section_table.h"

#include <stdexcept>

#include "sections/class_filter_empty_key_sections.h"
#include "sections/com_section.h"
#include "sections/file_association_sections.h"
#include "sections/fixed_key_sections.h"
#include "sections/history_shortcut_sections.h"
#include "sections/software_settings_sections.h"
#include "sections/uninstall_startmenu_sections.h"

namespace tw {

namespace {

constexpr const char* kSharedDllsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kFontsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kServicesKey = "SYSTEM\\CurrentControlSet\\Services";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kMenuOrderKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder";
constexpr const char* kSoundsKey = "Control Panel\\Sounds";
constexpr const char* kStartMenuKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
constexpr const char* kOpenSaveMruKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";

using R = RepairRemoves;

const SectionDef kSections[kSectionCount] = {
    {1, "ActiveX, OLE, COM", "ActiveX, OLE, COM", true, kClassesRoot, 0, "", ScanComSection, RepairComSection, R::KeyTree},
    {2, "User Software Settings", "User Software Settings", true, kCurrentUser, 0, "", ScanUserSoftwareSettings,
     RepairSoftwareSettings, R::Value},
    {3, "System Software Settings", "System Software Settings", true, kLocalMachine, kUsers, "",
     ScanSystemSoftwareSettings, RepairSoftwareSettings, R::Value},
    {4, "Shared DLL's Sections", "Shared DLL's Sections", true, kLocalMachine, 0, kSharedDllsKey, ScanSharedDlls,
     RepairSharedDlls, R::Value},
    {5, "Fonts Sections", "Fonts Sections", true, kLocalMachine, 0, kFontsKey, ScanFonts, RepairFonts, R::Value},
    {6, "Invalid File Associations", "Invalid File Associations", true, kClassesRoot, 0, "", ScanFileAssociations,
     RepairFileAssociations, R::Value},
    {7, "System Services", "System Services", false, kLocalMachine, 0, kServicesKey, ScanClassFilters,
     RepairClassFilters, R::Value},
    {8, "Uninstall Sections", "Uninstall Sections", true, kLocalMachine, 0, kUninstallKey, ScanUninstallEntries,
     RepairUninstallEntries, R::Value},
    {9, "Help Sections", "Help Sections", true, kLocalMachine, 0, nullptr, ScanHelpFiles, RepairHelpFiles, R::Value},
    {10, "Application Paths", "Application Paths", true, kLocalMachine, 0, kAppPathsKey, ScanAppPaths, RepairAppPaths,
     R::KeyTree},
    {11, "Invalid ShortCuts", "Invalid ShortCuts", true, 0, 0, nullptr, ScanShortcuts, RepairShortcuts, R::File},
    {12, "Empty Registry Keys", "Empty Registry Keys", true, kUsers, 0, "", ScanEmptyKeys, RepairEmptyKeys,
     R::KeyTree},
    {13, "FileExtensions", "File Extensions", true, kClassesRoot, 0, "", ScanFileExtensions, RepairFileExtensions,
     R::KeyTree},
    {14, "Startup Programs", "Startup Programs", true, kCurrentUser, 0, kMenuOrderKey, ScanProgramFolders,
     RepairProgramFolders, R::KeyTree},
    {15, "Sounds Section", "Sounds Section", false, kLocalMachine, 0, kSoundsKey, ScanSounds, RepairSounds, R::Value},
    {16, "Start Menu Item", "Start Menu Item", true, kCurrentUser, 0, kStartMenuKey, ScanStartMenuItems,
     RepairStartMenuItems, R::KeyTree},
    {17, "Most Recently Used Files", "Most Recently Used Files", true, kCurrentUser, 0, kOpenSaveMruKey,
     ScanRecentFiles, RepairRecentFiles, R::Value},
};

}  // namespace

const SectionDef* SectionTable() { return kSections; }

const SectionDef& SectionByNumber(int number) {
  if (number < 1 || number > kSectionCount) throw std::out_of_range("section number");
  return kSections[number - 1];
}

}  // namespace tw
