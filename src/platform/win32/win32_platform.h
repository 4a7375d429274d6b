// The whole real platform in one object.
#pragma once
#include "platform/platform.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_http.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_scheduler.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"

namespace tw {

struct Win32Platform {
  Win32Registry registry;
  Win32Files files;
  Win32Profile profile;
  Win32System system;
  Win32Shell shell;
  Win32Services services;
  Win32Scheduler scheduler;
  Win32Http http;
  Platform platform{registry, files, profile, system, shell, services, scheduler, http};
};

}  // namespace tw
