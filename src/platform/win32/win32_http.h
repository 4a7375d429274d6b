// HTTP GET through WinINet, past the cache, with the connect and receive time-outs set on each handle.
#pragma once
#include "platform/http.h"

namespace tw {

class Win32Http : public IHttp {
 public:
  HttpResponse Get(const std::string& url, uint32_t timeoutMs, size_t maxBytes,
                   const std::function<void(uint64_t received)>& progress = nullptr) override;
};

}  // namespace tw
