// System information with settable answers; the tick count moves only when Sleep or the test says so.
#pragma once
#include <memory>
#include <set>
#include <string>

#include "platform/system.h"

namespace tw {

class MemorySystem : public ISystem {
 public:
  OsVersion Version() override { return version_; }
  std::string UserName() override { return userName_; }
  uint32_t TickCount() override { return tickCount_; }
  LocalTime Now() override { return now_; }
  int ScreenWidth() override { return screenWidth_; }
  int ScreenHeight() override { return screenHeight_; }
  void Sleep(uint32_t milliseconds) override { tickCount_ += milliseconds; }
  // The locks are this object's: one MemorySystem stands for one session.
  std::unique_ptr<ISessionLock> TryLock(const std::string& name) override {
    if (!held_->insert(name).second) return nullptr;
    return std::make_unique<HeldLock>(held_, name);
  }

  void SetVersion(const OsVersion& version) { version_ = version; }
  void SetUserName(const std::string& name) { userName_ = name; }
  void SetTickCount(uint32_t ticks) { tickCount_ = ticks; }
  void AdvanceTicks(uint32_t milliseconds) { tickCount_ += milliseconds; }
  void SetNow(const LocalTime& now) { now_ = now; }
  void SetScreenSize(int width, int height) {
    screenWidth_ = width;
    screenHeight_ = height;
  }

 private:
  class HeldLock : public ISessionLock {
   public:
    HeldLock(std::shared_ptr<std::set<std::string>> held, std::string name) : held_(std::move(held)), name_(std::move(name)) {}
    ~HeldLock() override { held_->erase(name_); }

   private:
    std::shared_ptr<std::set<std::string>> held_;
    std::string name_;
  };

  std::shared_ptr<std::set<std::string>> held_ = std::make_shared<std::set<std::string>>();
  OsVersion version_{5, 1, 2600, 2};  // Windows XP
  std::string userName_ = "User";
  uint32_t tickCount_ = 1000000;
  LocalTime now_{2008, 3, 14, 15, 9, 26, 535, 5};
  int screenWidth_ = 1024;
  int screenHeight_ = 768;
};

}  // namespace tw
