// The whole in-memory platform in one object, for tests and the native benchmarks.
#pragma once
#include "platform/memory/ini_profile.h"
#include "platform/memory/memory_files.h"
#include "platform/memory/memory_http.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_scheduler.h"
#include "platform/memory/memory_services.h"
#include "platform/memory/memory_shell.h"
#include "platform/memory/memory_system.h"
#include "platform/platform.h"

namespace tw {

struct MemoryPlatform {
  MemoryRegistry registry;
  MemoryFiles files;
  IniProfile profile{files};
  MemorySystem system;
  MemoryShell shell{&files};
  MemoryServices services;
  MemoryScheduler scheduler;
  MemoryHttp http;
  Platform platform{registry, files, profile, system, shell, services, scheduler, http};
};

}  // namespace tw
