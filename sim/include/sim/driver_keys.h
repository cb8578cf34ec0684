#pragma once
// Sealed keys: Blowfish in the little-endian block layout, ECB, keyed with the characters of the
// card identifier (CardCfgId; an empty identifier keys with the single byte 0). A key of n bytes is
// padded with zeros to whole 8-byte blocks before sealing, so 5 bytes seal to 8, 13 or 16 to 16.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sim::driver {

// Work buffers are 256 bytes: longer sealed texts are rejected, longer identifiers cut to 255.
inline constexpr std::size_t kSealWorkBuffer = 256;

// Sealed hex text (either case; a non-hex character adds nothing but still counts as a position; an
// odd last digit is a byte of its own value) to the first keyBytes plain bytes; empty when the text is
// empty or longer than 2 * kSealWorkBuffer digits.
std::vector<std::uint8_t> unsealKeyText(std::string_view sealedText, std::string_view cardId,
                                        std::size_t keyBytes);
// Sealed bytes (as a configuration record carries them) to the first keyBytes plain bytes.
std::vector<std::uint8_t> unsealKeyBytes(std::span<const std::uint8_t> sealed, std::string_view cardId,
                                         std::size_t keyBytes);
// The sealed text of plain key bytes: two lowercase hex digits per enciphered byte.
std::string sealKey(std::span<const std::uint8_t> plain, std::string_view cardId);

}  // namespace sim::driver
