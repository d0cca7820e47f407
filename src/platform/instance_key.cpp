#include "platform/instance_key.h"

#include <cstdint>

namespace sky {

std::string DataFolderKey(const std::string& dataFolder) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : dataFolder) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string key;
  for (int shift = 60; shift >= 0; shift -= 4) key += kDigits[(hash >> shift) & 15];
  return key;
}

}  // namespace sky
