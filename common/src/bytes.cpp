#include "vessra/common/bytes.h"

#include <cstring>

namespace vessra {

std::uint16_t readLe16(std::span<const std::uint8_t> buffer, std::size_t offset) {
    return static_cast<std::uint16_t>(buffer[offset] | (buffer[offset + 1] << 8));
}

std::uint32_t readLe32(std::span<const std::uint8_t> buffer, std::size_t offset) {
    return static_cast<std::uint32_t>(buffer[offset]) |
           (static_cast<std::uint32_t>(buffer[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(buffer[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(buffer[offset + 3]) << 24);
}

std::int32_t readLeI32(std::span<const std::uint8_t> buffer, std::size_t offset) {
    return static_cast<std::int32_t>(readLe32(buffer, offset));
}

void writeLe16(std::span<std::uint8_t> buffer, std::size_t offset, std::uint16_t value) {
    buffer[offset] = static_cast<std::uint8_t>(value);
    buffer[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void writeLe32(std::span<std::uint8_t> buffer, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::string readCString(std::span<const std::uint8_t> buffer, std::size_t offset) {
    std::string text;
    for (std::size_t i = offset; i < buffer.size() && buffer[i] != 0; ++i) {
        text.push_back(static_cast<char>(buffer[i]));
    }
    return text;
}

void writeCString(std::span<std::uint8_t> buffer, std::size_t offset, std::size_t width,
                  std::string_view text) {
    if (width == 0) {
        return;
    }
    const std::size_t length = std::min(text.size(), width - 1);
    std::memcpy(buffer.data() + offset, text.data(), length);
    buffer[offset + length] = 0;
}

Bytes dwordBytes(std::uint32_t value) {
    Bytes bytes(4);
    writeLe32(bytes, 0, value);
    return bytes;
}

std::string toHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0f]);
    }
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool parseHex(std::string_view text, Bytes& out) {
    Bytes bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == ':') {
            if (high >= 0)
                return false;  // a separator may not split a byte
            continue;
        }
        const int digit = hexDigit(c);
        if (digit < 0)
            return false;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0)
        return false;
    out = std::move(bytes);
    return true;
}

}  // namespace vessra
