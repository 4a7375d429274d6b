// HTTP answers from a table the tests fill, keyed by the exact URL; every request is recorded. A URL without an
// answer cannot be reached. A canned body longer than the request's limit comes back TooLarge, as from a server.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/http.h"

namespace tw {

class MemoryHttp : public IHttp {
 public:
  struct Request {
    std::string url;
    uint32_t timeoutMs = 0;
    size_t maxBytes = 0;
  };

  HttpResponse Get(const std::string& url, uint32_t timeoutMs, size_t maxBytes,
                   const std::function<void(uint64_t received)>& progress = nullptr) override {
    requests.push_back({url, timeoutMs, maxBytes});
    const auto found = answers_.find(url);
    if (found == answers_.end()) return {};
    HttpResponse response = found->second;
    if (response.outcome != HttpOutcome::Completed) {
      response.body.clear();
      return response;
    }
    if (response.body.size() > maxBytes) return {HttpOutcome::TooLarge, response.status, {}};
    if (progress) progress(response.body.size());
    return response;
  }

  // The server at `url` answers with this status and body.
  void Answer(const std::string& url, int status, const std::string& body) {
    answers_[url] = {HttpOutcome::Completed, status, body};
  }
  // A request of `url` ends this way (TimedOut, Interrupted, CouldNotConnect).
  void Fail(const std::string& url, HttpOutcome outcome) { answers_[url] = {outcome, 0, {}}; }

  std::vector<Request> requests;

 private:
  std::map<std::string, HttpResponse> answers_;
};

}  // namespace tw
