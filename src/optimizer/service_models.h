// The 22 managed services behind the second page's boxes, the seven service models that preset those boxes
// and the tweak boxes, and how one service is switched on or off.
#pragma once
#include <array>
#include <string>

#include "optimizer/tweak_catalogue.h"
#include "platform/platform.h"

namespace tw {

constexpr int kServiceBoxCount = 22;
constexpr int kModelCount = 7;
constexpr int kDefaultModel = 1;        // "Office Model", selected when the window opens
constexpr int kWindowsDefaultModel = 0;
constexpr int kCustomModel = 6;

// "Start" values of a service key.
constexpr uint32_t kStartAutomatic = 2;
constexpr uint32_t kStartDisabled = 4;

struct ServiceBox {
  const char* box;  // "chk1" to "chk22"
  const char* caption;
  const char* service;
  const char* description;  // shown while the mouse is over the box
};

struct ServiceModel {
  const char* name;
  const char* description;
};

using ServiceBoxes = std::array<bool, kServiceBoxCount>;
using TweakBoxes = std::array<bool, kTweakCount>;

const std::array<ServiceBox, kServiceBoxCount>& ServiceBoxTable();
const std::array<ServiceModel, kModelCount>& ServiceModels();

// Sets the service boxes to the model's pattern; the "Customization" model leaves them.
void PresetServiceBoxes(int model, ServiceBoxes& boxes);
// Sets the tweak boxes to the model's pattern; "Windows XP Default" leaves them, "Customization" clears them.
void PresetTweakBoxes(int model, TweakBoxes& boxes);

// HKEY_LOCAL_MACHINE key of a service.
std::string ServiceKeyPath(const std::string& service);

// Writes "Start" (when the service key exists) and asks the service control manager to start (`enable`) or
// stop it; the request's result is not looked at. False when the existing key's "Start" could not be written.
bool SwitchService(Platform& platform, const std::string& service, bool enable);

}  // namespace tw
