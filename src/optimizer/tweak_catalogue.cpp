#include "optimizer/tweak_catalogue.h"

namespace tw {
namespace {

constexpr TweakType D = TweakType::Dword;
constexpr TweakType S = TweakType::Sz;
constexpr TweakKey C = TweakKey::Create;
constexpr TweakKey E = TweakKey::Existing;
constexpr HKey HKLM = kLocalMachine;
constexpr HKey HKCU = kCurrentUser;

constexpr const char* kPrefetch =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters";
constexpr const char* kMemory = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
constexpr const char* kDnsCache = "SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters";
constexpr const char* kDesktop = "Control Panel\\Desktop";
constexpr const char* kUserPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kBios = "System\\CurrentControlSet\\Services\\VxD\\BIOS";
constexpr const char* kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

// Index = section number - 1.
const std::vector<RestoreSection>& Sections() {
  static const std::vector<RestoreSection> kSections = {
      {1, "Machine speed is opened in the optimization",
       {{HKLM, kPrefetch, "EnablePrefetcher", D, C, "1", "1"},
        {HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer", "AlwaysUnloadDLL", S, C, "1", nullptr}},
       nullptr, true, false},
      {2, "Optimization shutdown speed",
       {{HKLM, "SYSTEM\\CurrentControlSet\\Control", "WaitToKillServiceTimeout", S, C, "500", nullptr}},
       nullptr, true, false},
      {3, "Optimize network speed",
       {{HKLM, kDnsCache, "CacheHashTableBucketSize", D, C, "1", "1"},
        {HKLM, kDnsCache, "CacheHashTableSize", D, C, "384", "384"},
        {HKLM, kDnsCache, "MaxCacheEntryTtlLimit", D, C, "64000", "64000"},
        {HKLM, kDnsCache, "MaxSOACacheEntryTtlLimit", D, C, "301", "301"}},
       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\"
       "{D6277990-4C6A-11CF-8D87-00AA0060F5BF}",
       true, false},
      {4, "The IE optimizes speed",
       {{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", "MaxConnectionsPerServer", D, C,
         nullptr, nullptr},
        {HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", "MaxConnectionsPer1_0Server", D, C,
         nullptr, nullptr}},
       nullptr, true, false},
      {5, "Quicken menu display speed", {{HKCU, kDesktop, "MenuShowDelay", S, C, "400", nullptr}}, nullptr, true,
       false},
      {6, "Optimize the system to the wrong handle",
       {{HKCU, kDesktop, "AutoEndTasks", S, C, "1", nullptr},
        {HKCU, kDesktop, "HungAppTimeout", S, C, "200", nullptr},
        {HKCU, kDesktop, "WaitToKillAppTimeout", S, C, "1000", nullptr}},
       nullptr, true, false},
      {7, "Optimize Hard Disk When Idle",
       {{HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OptimalLayout", "EnableAutoLayout", D, C, "1",
         nullptr}},
       nullptr, true, false},
      {8, "Automatic Boot Disk Optimization",
       {{HKLM, "SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction", "Enable", S, C, "N", nullptr}}, nullptr, true,
       false},
      {9, "Optimize the Windows Prefetcher Service", {{HKLM, kPrefetch, "EnablePrefetcher", D, C, "1", nullptr}},
       nullptr, true, false},
      {10, "Force Windows to Unload DLLs from Memory",
       {{HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL", "", S, C, "1", nullptr}},
       nullptr, true, false},
      {11, "Fix Problem with Athlon Hanging AGP Programs",
       {{HKLM, kMemory, "LargePageMinimum", D, C, "4294967295", nullptr}}, nullptr, true, false},
      {12, "Optimize the Windows Server Service", {}, nullptr, false, false},
      // F2 (the user's value) is kept beside the machine's F1; a file without it restores F1 to both.
      {13, "Disable Tracking of Broken Shortcut Links",
       {{HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", "NoResolveTrack", D, C, "1",
         nullptr},
        {HKCU, kUserPolicies, "NoResolveTrack", D, C, "1", nullptr, 1}},
       nullptr, true, false},
      {14, "Optimize the DefaultTTL Settings",
       {{HKLM, kMstcp, "DefaultRcvWindow", S, C, "4288", nullptr}, {HKLM, kMstcp, "DefaultTTL", S, C, "128", nullptr}},
       nullptr, false, false},
      {15, "Optimize the System Cache Size", {}, nullptr, false, false},
      {16, "System Board and Memory Optimizations",
       {{HKLM, kBios, "PCIConcur", D, E, "1", nullptr},
        {HKLM, kBios, "FastDRAM", D, E, "1", nullptr},
        {HKLM, kBios, "AGPConcur", D, E, "1", nullptr}},
       nullptr, true, false},
      {17, "Optimize AVI Media Files",
       {{kClassesRoot, "CLSID\\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}", "LargeSystemCache", D, C, "1", nullptr}},
       nullptr, true, true},
      {18, "Best Vision Effect",
       {{HKCU, "Control Panel\\Desktop\\WindowMetrics", "MinAniMate", S, C, "0", nullptr}}, nullptr, false, false},
      {19, "Disable Recent File", {{HKCU, kUserPolicies, "ClearRecentDocsOnExit", D, C, "1", nullptr}}, nullptr,
       false, false},
      {20, "Close Customized Menu", {{HKCU, kUserPolicies, "NoCommonGroups", D, C, "1", nullptr}}, nullptr, false,
       false},
      {21, "Multi-page in START",
       {{HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced", "StartMenuScrollPrograms", S, C,
         "false", nullptr}},
       nullptr, false, false},
      {22, "Enable Hardware Optimization",
       {{HKLM, "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96A-E325-11CE-BFC1-08002BE10318}\\0000",
         "EnableUDMA66", D, E, "1", nullptr}},
       nullptr, false, false},
      {23, "Optimize NTFS Volume",
       {{HKLM, "SYSTEM\\CurrentControlSet\\Control\\FileSystem", "NtfsDisableLastAccessUpdate", D, E, "1", nullptr}},
       nullptr, false, false},
      {24, "IE Multi-thread Download",
       {{HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", "MaxConnectionsPerServer", D, E, "5",
         nullptr}},
       nullptr, false, false},
      {25, "Disable Net Access To Floppy",
       {{HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "AllocateFloppies", S, E, "1", nullptr}},
       nullptr, false, false},
      {26, "Enhance Modem Performance",
       {{HKLM, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", "EnablePMTUDiscovery", D, E, "1", nullptr}},
       nullptr, false, false},
      {27, "Quit Without Auto Saving", {{HKCU, kUserPolicies, "NoSaveSettings", D, E, "1", nullptr}}, nullptr, false,
       false},
      {28, "Hide Shared Documents",
       {{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network", "NoFileSharingControl", D, E, "1",
         nullptr}},
       nullptr, false, false},
      {29, "Close Mini-map Memory", {{HKCU, kUserPolicies, "NoThumbnailCache", D, E, "1", nullptr}}, nullptr, false,
       false},
  };
  return kSections;
}

}  // namespace

const std::array<Tweak, kTweakCount>& Tweaks() {
  static const std::array<Tweak, kTweakCount> kTweaks = {{
      {"Ochk1", "Best Vision Effect", 18,
       "In default settings, Windows XP opens all visual effect options to enhance visual effect. These visual effects would be fatal to reduce system performance, especially in low configuration computers. The temporary deadlock phenomenon when open programs is always caused by this issue. You could change these visual effect options from Visual Effect Bar. "},
      {"Ochk2", "Optimize Menu Display", 5,
       "Optimization of Start Menu is able to accelerate all menus\x92 speed. "},
      {"Ochk3", "Disable Recent File", 19,
       "Disable the recently opened files to be list in application menu"},
      {"Ochk4", "Close Customized Menu", 20,
       "Windows XP will automatically move the recently used menus to the top of Start Menu, and hide recently unused menus, in order to realize customized menu for user. If you would like to ban this trig of Windows XP, you could close it from settings. "},
      {"Ochk5", "Remove Shortcut Arrow", 13,
       "Remove the arrow from desktop shortcut icon. When you installed some software, corresponding desktop shortcut icons are always created on desktop to make start software more convenient, but the black arrow makes the whole desktop look ugly.  "},
      {"Ochk6", "Multi-page in START", 21,
       "When program contains too many menus, one page is not enough to display them. This function is able to display menus on multi-pages."},
      {"Ochk7", "Enable Hardware Optimization", 22,
       "Enable CPU secondary cache, and accelerate core system processes speed"},
      {"Ochk8", "Auto Release .DLL", 10,
       "Too many applications would reduce system resource. Even after you close some applications, some junk .dll files are still existed in memory, causing system run slowly. "},
      {"Ochk9", "Manage the Windows Prefetcher Service", 9,
       "Adjust the allocation of memory usage, boosting system running"},
      {"Ochk10", "Optimize NTFS Volume", 23,
       "Optimize NTFS file system's performance, boosting visit speed of disk and file"},
      {"Ochk11", "Auto Optimize Disk", 7,
       "Automatically optimize hard disk when system is idle."},
      {"Ochk12", "Automatic Boot Disk Optimization", 8,
       "Disable disk defragmentation when Windows starts up, boosting Windows start up speed"},
      {"Ochk13", "Disable Default Share", 16,
       "To prevent virus invade network, we must strictly manage the input device of computer, so it is necessary to forbid visiting floppy disk from network"},
      {"Ochk14", "Disable Net Access To Floppy", 25,
       ""},
      {"Ochk15", "Optimize Net Cache Speed", 3,
       "Accelerate browsing and download speed through network virtual memory. "},
      {"Ochk16", "IE Multi-thread Download", 24,
       "The best thread number of IE maximal synchronous downloads is between 5 and 8. This function is mainly used to fix IE multi-thread download issue."},
      {"Ochk17", "Optimize ADSL/Cable parameter", 14,
       "In default settings, NT send data to remote host by Maximum Transmission Unit (size about 576B). If the router that data pass by is unable to process such size of data package, it is common to divide the data package into several fragments to continue transfer, and this method always causes some data transfer problems, such as reducing TCP transfer performance and network jam. To deal with this issue, it is acceptable to modify registry, forcing NT search all connections for each connection\x92s maximal size of MTU. By confining TCP data package size under the MTU size of one connection, the number of fragments of data package in this connection would be reduced obviously. "},
      {"Ochk18", "Enhance Modem Performance", 26,
       "Accelerate browsing and download speed through network virtual memory."},
      {"Ochk19", "Close Mini-map Memory", 29,
       "Windows XP/2003 has the function of viewing pictures by thumbnails model, making user sketchily view the all pictures in one glance. In default settings, system stores these displayed thumbnail pictures in memory and disk, in order to enhance the display speed of next time view. But this setting will take up some memory spaces, and slow system in some aspects. Users could disable this setting if they don\x92t need it."},
      {"Ochk20", "Unresponsive Program", 6,
       ""},
      {"Ochk21", "Quit Without Auto Saving", 27,
       "Configure settings that make system exit without saving opened windows\x92 location and size, but still remain the position order of desktop icon and Start Menu. "},
      {"Ochk22", "Hide Shared Documents", 28,
       "Hide the shared documents in Windows XP computer. "},
      {"Ochk23", "Accelerate Start Speed", 1,
       "Windows XP pre-read memory setting could speed up system running and Windows start up. "},
      {"Ochk24", "Accelerate Turn Off Speed", 2,
       "Reduce the time of PC close process."},
      {"Ochk25", "Optimize AVI Media Files", 17,
       "Optimize AVI media file, smoothing the media playing process."},
      {"Ochk26", "Fix Problem with Athlon Hanging AGP Programs", 11,
       "Correct the incompatible issue between AGP Video card and Operation System"},
      {"Ochk27", "System Board and Memory Optimizations", 16,
       "Enlarg file system memory, boosting applications' running speed"},
  }};
  return kTweaks;
}

const RestoreSection& RestoreSectionOf(int number) { return Sections().at(static_cast<size_t>(number - 1)); }

const std::array<TweakGroup, kTweakGroupCount>& TweakGroups() {
  static const std::array<TweakGroup, kTweakGroupCount> kGroups = {{
      {"System Vision Optimization Options", 0},
      {"System Performance Optimization Options", 6},
      {"System Network Optimization Options", 12},
      {"Other System Optimization Options", 18},
  }};
  return kGroups;
}

}  // namespace tw
