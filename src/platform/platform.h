// The set of platform services handed to the logic.
#pragma once
#include "platform/files.h"
#include "platform/http.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/scheduler.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace tw {

struct Platform {
  IRegistry& registry;
  IFiles& files;
  IProfile& profile;
  ISystem& system;
  IShell& shell;
  IServices& services;
  IScheduler& scheduler;
  IHttp& http;
};

}  // namespace tw
