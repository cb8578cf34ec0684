#pragma once
// The Blowfish block cipher (64-bit blocks, 16 rounds, the standard key schedule), used to seal
// wireless keys: the configuration utility seals them and the adapter's driver unseals them.
//
// Sealed data uses a little-endian block layout: bytes 0-3 of a block are the left half and bytes
// 4-7 the right half, each read as a little-endian word (published test vectors are big-endian, so
// they match with the bytes of each half swapped). Blocks are enciphered one by one (ECB).

#include <array>
#include <cstdint>
#include <span>

namespace vessra {

class Blowfish {
  public:
    // Keys of 1 to 255 bytes; bytes past the 72 the schedule consumes do not change the cipher. An
    // empty key is keyed with the single byte 0, as the sealing rules ask.
    explicit Blowfish(std::span<const std::uint8_t> key);

    void encryptBlock(std::uint32_t& left, std::uint32_t& right) const;
    void decryptBlock(std::uint32_t& left, std::uint32_t& right) const;

    // In place, whole 8-byte blocks in the little-endian layout; a trailing partial block is left as is.
    void encryptLe(std::span<std::uint8_t> data) const;
    void decryptLe(std::span<std::uint8_t> data) const;

  private:
    std::uint32_t feistel(std::uint32_t half) const;

    std::array<std::uint32_t, 18> m_p{};
    std::array<std::array<std::uint32_t, 256>, 4> m_s{};
};

}  // namespace vessra
