#include "platform/pe_version.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace sky {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Has(size_t at, size_t size) const {
    return at <= bytes_.size() && size <= bytes_.size() - at;
  }
  uint32_t U32(size_t at) const {
    if (!Has(at, 4)) return 0;
    return static_cast<uint8_t>(bytes_[at]) | static_cast<uint8_t>(bytes_[at + 1]) << 8 |
           static_cast<uint8_t>(bytes_[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes_[at + 3])) << 24;
  }
  uint16_t U16(size_t at) const {
    if (!Has(at, 2)) return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes_[at]) |
                                 static_cast<uint8_t>(bytes_[at + 1]) << 8);
  }

 private:
  std::string_view bytes_;
};

constexpr uint32_t kVersionResource = 16;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;

}  // namespace

std::optional<FileVersion> ParsePeFileVersion(std::string_view image) {
  const Reader r(image);
  if (image.size() < 64 || image[0] != 'M' || image[1] != 'Z') return std::nullopt;
  const size_t pe = r.U32(0x3C);
  if (!r.Has(pe, 24) || image.substr(pe, 4) != std::string_view("PE\0\0", 4)) return std::nullopt;
  const size_t sections = r.U16(pe + 6);
  const size_t optional = pe + 24;
  const size_t optionalSize = r.U16(pe + 20);
  const uint16_t magic = r.U16(optional);
  const size_t directories = optional + (magic == 0x20b ? 112 : 96);
  const size_t directoryCount = r.U32(directories - 4);
  if (directoryCount < 3) return std::nullopt;
  const uint32_t resourceRva = r.U32(directories + 2 * 8);
  if (!resourceRva) return std::nullopt;

  auto fileOffset = [&](uint32_t rva) -> std::optional<size_t> {
    const size_t table = optional + optionalSize;
    for (size_t i = 0; i < sections; ++i) {
      const size_t header = table + i * 40;
      if (!r.Has(header, 40)) return std::nullopt;
      const uint32_t start = r.U32(header + 12);
      const uint32_t size = std::max(r.U32(header + 8), r.U32(header + 16));
      if (rva >= start && rva - start < size) return r.U32(header + 20) + (rva - start);
    }
    return std::nullopt;
  };
  const auto root = fileOffset(resourceRva);
  if (!root) return std::nullopt;

  // Resource tree: type, then name, then language; the first entry of the version type.
  auto entryFor = [&](size_t directory, std::optional<uint32_t> id) -> std::optional<uint32_t> {
    if (!r.Has(directory, 16)) return std::nullopt;
    const size_t count = r.U16(directory + 12) + r.U16(directory + 14);
    for (size_t i = 0; i < count && i < 4096; ++i) {
      const size_t entry = directory + 16 + i * 8;
      if (!r.Has(entry, 8)) return std::nullopt;
      if (!id || r.U32(entry) == *id) return r.U32(entry + 4);
    }
    return std::nullopt;
  };
  size_t directory = *root;
  std::optional<uint32_t> wanted = kVersionResource;
  for (int level = 0; level < 2; ++level) {
    const auto next = entryFor(directory, wanted);
    if (!next || !(*next & 0x80000000u)) return std::nullopt;
    directory = *root + (*next & 0x7FFFFFFFu);
    wanted.reset();
  }
  const auto leaf = entryFor(directory, std::nullopt);
  if (!leaf || (*leaf & 0x80000000u)) return std::nullopt;
  const size_t dataEntry = *root + *leaf;
  const auto data = fileOffset(r.U32(dataEntry));
  const uint32_t dataSize = r.U32(dataEntry + 4);
  if (!data || !r.Has(*data, dataSize)) return std::nullopt;

  for (size_t at = *data; at + 16 <= *data + dataSize; at += 4) {
    if (r.U32(at) != kFixedInfoSignature) continue;
    const uint32_t high = r.U32(at + 8);
    const uint32_t low = r.U32(at + 12);
    return FileVersion{static_cast<uint16_t>(high >> 16), static_cast<uint16_t>(high),
                       static_cast<uint16_t>(low >> 16), static_cast<uint16_t>(low)};
  }
  return std::nullopt;
}

std::optional<FileVersion> ReadPeFileVersion(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ParsePeFileVersion(image);
}

}  // namespace sky
