#pragma once
// Little-endian reading and writing at explicit offsets. Every byte layout of the suite (driver
// records, request buffers, registry DWORDs) goes through these, never through a struct cast.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vessra {

using Bytes = std::vector<std::uint8_t>;

// Readers assume the caller checked that offset + width fits the buffer.
std::uint16_t readLe16(std::span<const std::uint8_t> buffer, std::size_t offset);
std::uint32_t readLe32(std::span<const std::uint8_t> buffer, std::size_t offset);
std::int32_t readLeI32(std::span<const std::uint8_t> buffer, std::size_t offset);
void writeLe16(std::span<std::uint8_t> buffer, std::size_t offset, std::uint16_t value);
void writeLe32(std::span<std::uint8_t> buffer, std::size_t offset, std::uint32_t value);

// The zero-terminated text starting at offset, cut at the end of the buffer if no NUL follows.
std::string readCString(std::span<const std::uint8_t> buffer, std::size_t offset);
// Writes text and its NUL at offset, truncating so that both fit within `width` bytes.
void writeCString(std::span<std::uint8_t> buffer, std::size_t offset, std::size_t width,
                  std::string_view text);

Bytes dwordBytes(std::uint32_t value);

// The value of one hex digit in either case, or -1 for any other character.
int hexDigit(char c);

// Two lowercase hex digits per byte, no separators.
std::string toHex(std::span<const std::uint8_t> bytes);
// Accepts hex digits in either case, optionally separated by spaces, commas or colons; false on
// anything else or an odd digit count.
bool parseHex(std::string_view text, Bytes& out);

}  // namespace vessra
