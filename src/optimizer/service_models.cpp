#include "optimizer/service_models.h"

#include "platform/reg_access.h"

namespace tw {
namespace {

// Per box: the service preset of models 0 to 5 ("1" checked), then the tweak preset of models 1 to 6.
constexpr const char* kServicePresets[kServiceBoxCount] = {
    "111101", "111111", "100111", "111100", "111110", "111111", "111101", "111000", "111100", "100000", "100000",
    "100000", "100000", "100000", "100000", "111100", "100010", "100010", "100000", "100101", "111000", "110000",
};
constexpr const char* kTweakPresets[kTweakCount] = {
    "111110", "001110", "000000", "000000", "111110", "111110", "010000", "111110", "000000",
    "000000", "111110", "000000", "111110", "111110", "001110", "001110", "001110", "001110",
    "111110", "111110", "000110", "000000", "111110", "111110", "011110", "010000", "000000",
};

}  // namespace

const std::array<ServiceBox, kServiceBoxCount>& ServiceBoxTable() {
  static const std::array<ServiceBox, kServiceBoxCount> kBoxes = {{
      {"chk1", "Enalbe Event Viewer", "Eventlog",
       "Enables event log messages issued by Windows-based programs and components to be viewed inEvent Viewer. This service cannot be stopped."},
      {"chk2", "Enable infrared device support", "WZCSVC",
       "Support the infrared device on this computer and examine the infrared port."},
      {"chk3", "Enable remote registry operation service", "Irmon",
       "Enables remote users to modify registry settings on this computer. If this service isstopped, the registry can be modified only by users on this computer. If this service isdisabled, any services that explicitly depend on it will fail to start."},
      {"chk4", "Enable printer support", "Spooler",
       "Loads files to memory for later printing."},
      {"chk5", "Open wireless network support function", "WZCSVC",
       "Provides automatic configuration for the 802.11 adapters"},
      {"chk6", "Enable My Network Place browsing service", "Browser",
       "Maintains an updated list of computers on the network and supplies this list to computers designated as browsers. If this service is stopped, this list will not be updated or maintained. If this service is disabled, any services that explicitly depend on it will fail to start."},
      {"chk7", "Enable Windows XP integrated firewall", "ALG",
       "Provides support for 3rd party protocol plug-ins for Internet Connection Sharing and the Windows Firewall."},
      {"chk8", "Enable Windows XP writable function", "ImapiService",
       "Manages CD recording using Image Mastering Applications Programming Interface (IMAPI). Ifthis service is stopped, this computer will be unable to record CDs. If this service is disabled, any services that explicitly depend on it will fail to start."},
      {"chk9", "Enable automatic update function", "wuauserv",
       "Enables the download and installation of Windows updates. If this service is disabled, this computer will not be able to use the Automatic Updates feature or the Windows Update Web site."},
      {"chk10", "Enable system restoration function", "srservice",
       "Performs system restore functions. To stop service, turn off System Restore from the System Restore tab in My Computer->Properties"},
      {"chk11", "Enable notification for AutoPlay hardware events", "ShellHWDetection",
       "Provides notifications for AutoPlay hardware events."},
      {"chk12", "Enable remote assistance and terminal", "mnmsrvc",
       "Enables Windows-based programs to create, access, and modify Internet-based files. If this service is stopped, these functions will not be available. If this service is disabled, any services that explicitly depend on it will fail to start."},
      {"chk13", "Enable UPS management service", "UPS",
       "Manages an uninterruptible power supply (UPS) connected to the computer."},
      {"chk14", "Enable help and support service", "helpsvc",
       "Enables Help and Support Center to run on this computer. If this service is stopped, Help and Support Center will be unavailable. If this service is disabled, any services that explicitly depend on it will fail to start."},
      {"chk15", "Enable secure center management function", "wscsvc",
       "Monitors system security settings and configurations."},
      {"chk16", "Enable UPNP device detection", "SSDPSRV",
       "Enables discovery of UPnP devices on your home network."},
      {"chk17", "Enable Time Synchronizing service", "W32Time",
       "Maintains date and time synchronization on all clients and servers in the network. If thisservice is stopped, date and time synchronization will be unavailable. If this service isdisabled, any services that explicitly depend on it will fail to start."},
      {"chk18", "Enable multi-users connect and operate one computer", "TermService",
       "Allows multiple users to be connected interactively to a machine as well as the display of desktops and applications to remote computers. The underpinning of Remote Desktop (including RD for Administrators), Fast User Switching, Remote Assistance, and Terminal Server."},
      {"chk19", "Enable registering for remote computer and refresh IP address function", "WinDHCPsvc",
       "Register for remote computer and refresh IP address."},
      {"chk20", "Enable Desktop management experience", "Themes",
       "Provides user experience theme management."},
      {"chk21", "Enable tracing system event", "SENS",
       "Tracks system events such as Windows logon, network, and power events.  Notifies COM+ Event System subscribers of these events."},
      {"chk22", "Enable messenger service", "Messenger",
       "Transmits net send and Alerter service messages between clients and servers. This service is not related to Windows Messenger. If this service is stopped, Alerter messages will not be transmitted. If this service is disabled, any services that explicitly depend on it will fail to start."},
  }};
  return kBoxes;
}

const std::array<ServiceModel, kModelCount>& ServiceModels() {
  static const std::array<ServiceModel, kModelCount> kModels = {{
      {"Windows XP Default",
       "Reset to Windows XP default services"},
      {"Office Model",
       "Close a few services based on Windows XP default services, including terminal service, infrared device support, and wireless network support, but still remain Microsoft 'Networks File and Printer Sharing Service', Windows XP integrated firewall, and some compatible services. Besides supporting all functions of home-usage, it also makes system work fine during office and developing circumstance. "},
      {"Notebook Model",
       "Close a few services based on Windows XP default services. Because most of the notebooks are used in office, it additionally opens wireless network and infrared device support based on Office PC Optimization Model. This is the most recommended model for most of notebook users. The system processes take up about 70M after the first installation of this model. "},
      {"Home Model",
       "Close a few services that were infrequently used based on Windows XP default services, including printing service, computer browsing service, network file sharing, terminal service and infrared device support."},
      {"Internet Caf\xE9 Model",
       "According to the requirement of Internet Caf\xE9, close lots of infrequently used services, including printing service, terminal service, infrared device support, wireless network support, windows online update, Windows XP integrated According to the requirement of Internet Caf\xE9, close lots of infrequently used services, including printing service, terminal service, infrared device support, wireless network support, windows online update, Windows XP integrated "},
      {"Campus Model",
       "According to the circumstance of campus network, close some useless services, including printing service, terminal service, infrared device support, and wireless network support, but still remain Windows XP integrated firewall, and Network File sharing. This model is suitable for campus users to do some common actions such as browsing website, playing game, playing video file, sharing documents, and processing documents."},
      {"Customization",
       "Manually modify part of services settings."},
  }};
  return kModels;
}

void PresetServiceBoxes(int model, ServiceBoxes& boxes) {
  if (model < 0 || model >= kCustomModel) return;
  for (int i = 0; i < kServiceBoxCount; ++i) boxes[i] = kServicePresets[i][model] == '1';
}

void PresetTweakBoxes(int model, TweakBoxes& boxes) {
  if (model <= kWindowsDefaultModel || model >= kModelCount) return;
  for (int i = 0; i < kTweakCount; ++i) boxes[i] = kTweakPresets[i][model - 1] == '1';
}

std::string ServiceKeyPath(const std::string& service) {
  return "SYSTEM\\CurrentControlSet\\Services\\" + service;
}

bool SwitchService(Platform& platform, const std::string& service, bool enable) {
  bool written = true;
  RegKeyHandle key;
  if (key.Open(platform.registry, kLocalMachine, ServiceKeyPath(service), false) == kOk) {
    const uint32_t start = enable ? kStartAutomatic : kStartDisabled;
    const Bytes data{static_cast<uint8_t>(start), 0, 0, 0};
    written = platform.registry.SetValue(key.Get(), "Start", kRegDword, data) == kOk;
  }
  if (enable)
    platform.services.Start(service);
  else
    platform.services.Stop(service);
  return written;
}

}  // namespace tw
