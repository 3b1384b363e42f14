#pragma once
// SHA-256 (FIPS 180-4) over bytes handed on piece by piece: the report names
// each file it vouches for by its checksum, so that a printed report binds to
// exactly the bytes it proves.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace trelvo::engine::audit {

class Sha256 {
 public:
  Sha256();
  void Add(std::string_view bytes);
  // The checksum in lower-case hexadecimal; the object is spent after it.
  std::string Hex();

 private:
  void Block(const unsigned char* block);

  std::array<uint32_t, 8> state_;
  std::array<unsigned char, 64> buffer_{};
  size_t buffered_ = 0;
  uint64_t length_ = 0;  // bytes
};

}  // namespace trelvo::engine::audit
