// The update check over WinINet against a small HTTP server on 127.0.0.1 that this test runs on a thread: the
// answers the check must act on (newer, same, garbage) and those it must pass over silently (404, a server that
// accepts and says nothing, a body far over the limit, nobody listening), with the real profile functions
// reading each fresh "Update.ini" and the real shell failing to start a missing updater.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "options/update_check.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_shell.h"
#include "platform/reg_access.h"
#include "platform/win32/win32_platform.h"
#include "support/recording_prompts.h"
#include "support/test_platform.h"

namespace tw {
namespace {

// One HTTP server on an ephemeral port of 127.0.0.1. Each connection reads the request head and then answers as
// `reply` says at that moment: raw bytes to send, or nothing at all until the server stops.
class LocalServer {
 public:
  LocalServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalServer() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
    WSACleanup();
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  void Reply(std::string bytes, bool silent = false) {
    std::lock_guard<std::mutex> lock(mutex_);
    reply_ = std::move(bytes);
    silent_ = silent;
  }
  int Requests() const { return requests_; }

 private:
  void Serve() {
    while (!stop_) {
      if (!Readable(listener_, 50)) continue;
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      std::string head;
      char buffer[4096];
      while (head.find("\r\n\r\n") == std::string::npos && !stop_) {
        if (!Readable(client, 50)) continue;
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        head.append(buffer, got);
      }
      ++requests_;
      std::string reply;
      bool silent;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        reply = reply_;
        silent = silent_;
      }
      // A silent server holds the connection open without a word until the client gives up (or, should the
      // client never give up, for 20 seconds, so that the test fails instead of hanging).
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (silent && !stop_ && std::chrono::steady_clock::now() < giveUp) {
        if (Readable(client, 50) && recv(client, buffer, sizeof buffer, 0) <= 0) break;
      }
      for (size_t sent = 0; !silent && sent < reply.size();) {
        const int piece = static_cast<int>(std::min<size_t>(reply.size() - sent, 65536));
        const int n = send(client, reply.data() + sent, piece, 0);
        if (n <= 0) break;  // the client closed early
        sent += static_cast<size_t>(n);
      }
      shutdown(client, SD_BOTH);
      closesocket(client);
    }
  }
  static bool Readable(SOCKET s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{0, ms * 1000};
    return select(0, &set, nullptr, nullptr, &wait) > 0;
  }

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::string reply_;
  bool silent_ = false;
};

std::string Answer(const std::string& statusLine, const std::string& body, bool withLength = true) {
  std::string head = "HTTP/1.1 " + statusLine + "\r\nContent-Type: text/plain\r\nConnection: close\r\n";
  if (withLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return head + "\r\n" + body;
}

TEST(UpdateCheckE2E, WinINetAnswersDecideTheOfferAndFailuresEndSilently) {
  Win32Platform real;
  // The settings key and the shell are stand-ins so that the test neither changes the prefix's settings nor
  // starts anything; the download, the file and the profile functions are the real ones.
  MemoryRegistry registry;
  MemoryShell shell;
  Platform platform{registry, real.files, real.profile, real.system, shell, real.services, real.scheduler, real.http};
  std::unique_ptr<TestPlatform> scratch = MakeTestPlatform();
  const std::string folder = scratch->ScratchFolder() + "\\";
  const std::string localCopy = folder + "Update.ini";
  LocalServer server;
  {
    TRegistry key(registry, kCurrentUser);
    ASSERT_TRUE(key.OpenKey(kSettingsKey, true));
    key.WriteString("Version", "9.0");
    key.WriteString(kUpdateUrlValue, server.Url("/update/Update.ini"));
  }
  ASSERT_TRUE(real.files.WriteWholeFile(localCopy, "[Version]\r\nVer=1.0\r\n"));

  enum Reply { Bytes, Silent, Nobody };
  struct Case {
    const char* name;
    Reply reply;
    std::string bytes;
    HttpOutcome outcome;
    int status;
    UpdateCheckResult expected;
  };
  const std::string tenMegabytes(10 * 1024 * 1024, 'x');
  const std::string garbage("\x89PNG\r\n\x1a\n\0\0\0\rVer=99\xff[Version\x01", 25);
  const std::vector<Case> cases = {
      {"newer", Bytes, Answer("200 OK", "[Version]\r\nVer=10.0\r\n"), HttpOutcome::Completed, 200,
       UpdateCheckResult::UpdateAvailable},
      {"same, right after", Bytes, Answer("200 OK", "[Version]\r\nVer=9.0\r\n"), HttpOutcome::Completed, 200,
       UpdateCheckResult::UpToDate},
      {"garbage", Bytes, Answer("200 OK", garbage), HttpOutcome::Completed, 200, UpdateCheckResult::UpToDate},
      {"404", Bytes, Answer("404 Not Found", "[Version]\r\nVer=99.0\r\n"), HttpOutcome::Completed, 404,
       UpdateCheckResult::Failed},
      {"silent", Silent, "", HttpOutcome::TimedOut, 0, UpdateCheckResult::Failed},
      {"10 MB announced", Bytes, Answer("200 OK", tenMegabytes), HttpOutcome::TooLarge, 200,
       UpdateCheckResult::Failed},
      {"10 MB to the close", Bytes, Answer("200 OK", tenMegabytes, false), HttpOutcome::TooLarge, 200,
       UpdateCheckResult::Failed},
      {"cut short", Bytes, Answer("200 OK", "[Version]\r\nVer=99.0\r\n").substr(0, 90), HttpOutcome::Interrupted,
       200, UpdateCheckResult::Failed},
  };
  test::RecordingPrompts prompts;
  TUpdateCheck check(platform, prompts, folder);
  std::string expectedCopy = "[Version]\r\nVer=1.0\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server.Reply(c.bytes, c.reply == Silent);
    const auto start = std::chrono::steady_clock::now();
    const HttpResponse direct = real.http.Get(server.Url("/update/Update.ini"), kUpdateReadTimeoutMs, kUpdateFileLimit);
    EXPECT_EQ(direct.outcome, c.outcome);
    if (direct.outcome == HttpOutcome::Completed) {
      EXPECT_EQ(direct.status, c.status);
    }
    EXPECT_EQ(check.Run(), c.expected);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Two requests; a silent server costs each one the 5-second read time-out, no more.
    EXPECT_LT(seconds, c.reply == Silent ? 13.0 : 8.0);
    if (c.reply == Silent) {
      EXPECT_GT(seconds, 9.0);
    }
    if (c.expected != UpdateCheckResult::Failed) expectedCopy = c.bytes.substr(c.bytes.find("\r\n\r\n") + 4);
    std::string copy;
    ASSERT_TRUE(real.files.ReadWholeFile(localCopy, &copy));
    EXPECT_EQ(copy, expectedCopy);
  }
  EXPECT_TRUE(prompts.calls.empty());

  // Nobody listening at the address: the check ends at once and silently.
  {
    TRegistry key(registry, kCurrentUser);
    ASSERT_TRUE(key.OpenKey(kSettingsKey, true));
    key.WriteString(kUpdateUrlValue, "http://127.0.0.1:1/update/Update.ini");
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(real.http.Get("http://127.0.0.1:1/update/Update.ini", 5000, 100).outcome, HttpOutcome::CouldNotConnect);
  EXPECT_FALSE(check.ManualCheck());
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 11.0);
  EXPECT_TRUE(prompts.calls.empty());
}

TEST(UpdateCheckE2E, AMissingUpdaterIsToldAndTheProgramKeepsRunning) {
  Win32Platform real;
  MemoryRegistry registry;
  Platform platform{registry,      real.files,     real.profile,   real.system,
                    real.shell,    real.services,  real.scheduler, real.http};
  std::unique_ptr<TestPlatform> scratch = MakeTestPlatform();
  const std::string folder = scratch->ScratchFolder() + "\\";
  LocalServer server;
  server.Reply(Answer("200 OK", "[Version]\r\nVer=3.1\r\n"));
  {
    TRegistry key(registry, kCurrentUser);
    ASSERT_TRUE(key.OpenKey(kSettingsKey, true));
    key.WriteString("Version", "3.0");
    key.WriteString(kUpdateUrlValue, server.Url("/update/Update.ini"));
  }
  test::RecordingPrompts prompts;
  prompts.Answer(PromptAnswer::Yes);
  EXPECT_FALSE(TUpdateCheck(platform, prompts, folder).ManualCheck());
  ASSERT_EQ(prompts.calls.size(), 2u);
  EXPECT_TRUE(prompts.calls[0].question);
  EXPECT_EQ(prompts.calls[1].title, "Tarnwick");
  EXPECT_NE(prompts.calls[1].text.find("could not be started"), std::string::npos);
  EXPECT_EQ(server.Requests(), 1);
}

}  // namespace
}  // namespace tw
