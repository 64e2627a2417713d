// Datagrams as a hostile peer may send them: any bytes. Decoding either
// refuses them with one of its reasons or gives a message whose encoding is
// exactly the bytes it came from, so nothing is read that is not checked and
// encode accepts everything decode does.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "online/protocol/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static const std::string reasons[] = {"size",    "truncated", "magic",
                                        "version", "kind",      "range",
                                        "count",   "text",      "trailing"};
  std::string error;
  const auto message = online::decode({data, size}, error);
  if (!message) {
    if (std::find(std::begin(reasons), std::end(reasons), error) ==
        std::end(reasons)) {
      std::abort();
    }
    return 0;
  }
  const std::vector<std::uint8_t> bytes = online::encode(*message);
  if (!std::equal(bytes.begin(), bytes.end(), data, data + size)) std::abort();
  const auto again = online::decode(bytes, error);
  if (!again || *again != *message) std::abort();
  return 0;
}
