// One HTTP GET of a whole resource, bounded in time and size.
// Implemented by MemoryHttp (platform/memory) and Win32Http (platform/win32).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tw {

enum class HttpOutcome {
  Completed,       // the server answered and the whole body was read; `status` says what it answered
  CouldNotConnect, // no connection (bad address, unknown host, refused), or no HTTP answer at all
  TimedOut,        // connected, but a read waited longer than the time-out
  TooLarge,        // the body is longer than the limit; nothing of it is kept
  Interrupted,     // the connection broke before the whole body came
};

struct HttpResponse {
  HttpOutcome outcome = HttpOutcome::CouldNotConnect;
  int status = 0;    // the HTTP status code when the server answered (200, 404, ...)
  std::string body;  // the whole body when Completed, otherwise empty
};

class IHttp {
 public:
  virtual ~IHttp() = default;
  // GETs `url` (http:// or https://) past every cache. `timeoutMs` bounds connecting and each wait for data;
  // at most `maxBytes` of body are accepted. `progress`, when given, is told the bytes received so far after
  // each piece.
  virtual HttpResponse Get(const std::string& url, uint32_t timeoutMs, size_t maxBytes,
                           const std::function<void(uint64_t received)>& progress = nullptr) = 0;
};

}  // namespace tw
