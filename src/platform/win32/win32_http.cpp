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

HttpOutcome FailureOf(DWORD error, HttpOutcome otherwise) {
  return error == ERROR_INTERNET_TIMEOUT ? HttpOutcome::TimedOut : otherwise;
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
  // InternetOpenUrl also speaks FTP and opens local files; only web addresses are fetched.
  if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) return response;

  InternetHandle session(InternetOpenA("Tarnwick", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return response;
  DWORD timeout = timeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
    InternetSetOptionA(session, option, &timeout, sizeof timeout);
  DWORD retries = 1;
  InternetSetOptionA(session, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);

  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                      INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
  InternetHandle request(InternetOpenUrlA(session, url.c_str(), nullptr, 0, flags, 0));
  if (!request) {
    response.outcome = FailureOf(GetLastError(), HttpOutcome::CouldNotConnect);
    return response;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  DWORD index = 0;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, &index))
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
    if (!InternetReadFile(request, buffer, static_cast<DWORD>(room < sizeof buffer ? room : sizeof buffer), &read)) {
      response.outcome = FailureOf(GetLastError(), HttpOutcome::Interrupted);
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
