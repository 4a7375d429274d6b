// libFuzzer entry point for the registry export reader: any bytes, read through both forms of the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "backup/export_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // A code page in which 0x81 to 0x9F lead a pair, to drive the ANSI path through uneven decoding.
  const tw::CodePageDecoder pairs = [](const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
      const uint8_t b = static_cast<uint8_t>(text[i]);
      if (b >= 0x81 && b <= 0x9F && i + 1 < text.size()) {
        out.push_back(static_cast<char16_t>(0x4E00 + (b << 8) + static_cast<uint8_t>(text[++i])));
      } else {
        out.push_back(b);
      }
    }
    return out;
  };
  const tw::RegFile file = tw::ReadRegFile(bytes, pairs);
  size_t streamed = 0;
  const tw::RegFileSummary summary = tw::ReadRegFile(bytes, pairs, [&streamed](tw::RegFileKey&&) { ++streamed; });
  // Both forms see the same lines.
  if (streamed != file.keys.size() || summary.skippedLines != file.skippedLines) std::abort();
  return 0;
}
