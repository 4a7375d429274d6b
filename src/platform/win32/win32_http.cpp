#include <windows.h>
#include <wininet.h>

#include "platform/win32/win32_http.h"

#include <cstdlib>

namespace tw {
namespace {

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  operator HINTERNET() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const size_t length = lstrlenA(prefix);
  return text.size() >= length && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(),
                                                 static_cast<int>(length), prefix,
                                                 static_cast<int>(length)) == CSTR_EQUAL;
}

// A failed call that waited the whole time-out timed out, whatever the error says: Wine reports its receive
// time-out as an aborted connection.
HttpOutcome FailureOf(DWORD error, DWORD startTick, uint32_t timeoutMs, HttpOutcome otherwise) {
  const DWORD waited = GetTickCount() - startTick;
  return error == ERROR_INTERNET_TIMEOUT || waited + 100 >= timeoutMs ? HttpOutcome::TimedOut : otherwise;
}

// The announced body length; false when the answer has none (chunked or closed by the server).
bool ContentLength(HINTERNET request, uint64_t* length) {
  char text[32];
  DWORD size = sizeof text;
  DWORD index = 0;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, &index) || size == 0) return false;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (end == text || *end) return false;
  *length = value;
  return true;
}

}  // namespace

HttpResponse Win32Http::Get(const std::string& url, uint32_t timeoutMs, size_t maxBytes,
                            const std::function<void(uint64_t received)>& progress) {
  HttpResponse response;
  // Only web addresses are fetched.
  if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) return response;

  char host[INTERNET_MAX_HOST_NAME_LENGTH] = {};
  char path[INTERNET_MAX_PATH_LENGTH + INTERNET_MAX_PATH_LENGTH] = {};
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = sizeof path;
  parts.dwExtraInfoLength = 1;  // the query comes back as a pointer into the address
  if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) || !host[0]) return response;
  std::string target(1, '/');
  if (parts.dwUrlPathLength > 0) target.assign(path, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) target.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);

  InternetHandle session(InternetOpenA("Tarnwick", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return response;
  // The time-outs are set on every handle: Windows passes those of the session down, Wine takes them only from
  // the connection handle.
  DWORD timeout = timeoutMs;
  auto bound = [&](HINTERNET handle) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
      InternetSetOptionA(handle, option, &timeout, sizeof timeout);
  };
  bound(session);
  DWORD retries = 1;
  InternetSetOptionA(session, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);
  InternetHandle connection(
      InternetConnectA(session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return response;
  bound(connection);

  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                      INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH |
                      (secure ? INTERNET_FLAG_SECURE : 0);
  InternetHandle request(HttpOpenRequestA(connection, "GET", target.c_str(), nullptr, nullptr, nullptr, flags, 0));
  if (!request) return response;
  bound(request);
  const DWORD sent = GetTickCount();
  if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
    response.outcome = FailureOf(GetLastError(), sent, timeoutMs, HttpOutcome::CouldNotConnect);
    return response;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  DWORD index = 0;
  // Without a status line the server gave no HTTP answer.
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, &index) ||
      status < 100)
    return response;
  response.status = static_cast<int>(status);

  uint64_t announced = 0;
  const bool lengthKnown = ContentLength(request, &announced);
  if (lengthKnown && announced > maxBytes) {
    response.outcome = HttpOutcome::TooLarge;
    return response;
  }
  std::string body;
  char buffer[16384];
  for (;;) {
    // One byte past the limit is enough to tell a body that is too long.
    const size_t room = maxBytes + 1 - body.size();
    DWORD read = 0;
    const DWORD asked = GetTickCount();
    if (!InternetReadFile(request, buffer, static_cast<DWORD>(room < sizeof buffer ? room : sizeof buffer), &read)) {
      response.outcome = FailureOf(GetLastError(), asked, timeoutMs, HttpOutcome::Interrupted);
      return response;
    }
    if (read == 0) break;
    body.append(buffer, read);
    if (body.size() > maxBytes) {
      response.outcome = HttpOutcome::TooLarge;
      return response;
    }
    if (progress) progress(body.size());
  }
  if (lengthKnown && body.size() != announced) {
    response.outcome = HttpOutcome::Interrupted;
    return response;
  }
  response.outcome = HttpOutcome::Completed;
  response.body = std::move(body);
  return response;
}

}  // namespace tw
