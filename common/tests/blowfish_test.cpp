#include "vessra/common/blowfish.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "vessra/common/bytes.h"

namespace {

vessra::Bytes hex(std::string_view text) {
    vessra::Bytes bytes;
    EXPECT_TRUE(vessra::parseHex(text, bytes));
    return bytes;
}

// The published vectors are big-endian; the sealing layout reads each half little-endian, so each
// 4-byte half is reversed on the way in and out.
vessra::Bytes swapHalves(vessra::Bytes block) {
    std::reverse(block.begin(), block.begin() + 4);
    std::reverse(block.begin() + 4, block.end());
    return block;
}

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// From the published Blowfish test vectors (Eric Young's set).
constexpr Vector kVectors[] = {
    {"0000000000000000", "0000000000000000", "4ef997456198dd78"},
    {"ffffffffffffffff", "ffffffffffffffff", "51866fd5b85ecb8a"},
    {"3000000000000000", "1000000000000001", "7d856f9a613063f2"},
    {"0123456789abcdef", "1111111111111111", "61f9c3802281b096"},
    {"fedcba9876543210", "0123456789abcdef", "0aceab0fc6a0a28d"},
    {"7ca110454a1a6e57", "01a1d6d039776742", "59c68245eb05282b"},
    {"0131d9619dc1376e", "5cd54ca83def57da", "b1b8cc0b250f09a0"},
};

TEST(Blowfish, MatchesPublishedVectorsWithHalvesSwapped) {
    for (const Vector& vector : kVectors) {
        const vessra::Blowfish cipher(hex(vector.key));
        vessra::Bytes block = swapHalves(hex(vector.plain));
        cipher.encryptLe(block);
        EXPECT_EQ(vessra::toHex(swapHalves(block)), vector.cipher) << vector.key;
        cipher.decryptLe(block);
        EXPECT_EQ(vessra::toHex(swapHalves(block)), vector.plain) << vector.key;
    }
}

TEST(Blowfish, BlockHalvesAreLittleEndianWords) {
    const vessra::Blowfish cipher(hex("0123456789abcdef"));
    std::uint32_t left = 0x11111111;
    std::uint32_t right = 0x11111111;
    cipher.encryptBlock(left, right);
    vessra::Bytes block = hex("1111111111111111");
    cipher.encryptLe(block);
    EXPECT_EQ(vessra::readLe32(block, 0), left);
    EXPECT_EQ(vessra::readLe32(block, 4), right);
    EXPECT_EQ(left, 0x61F9C380u);
}

TEST(Blowfish, KeysOfAnyLengthFromOneTo255Bytes) {
    const std::string guid = "9B2E4D18-3A6C-4f57-8E0D-62C9B1A7F403";
    const vessra::Bytes guidKey(guid.begin(), guid.end());
    for (std::size_t length : {1u, 5u, 36u, 56u, 72u, 255u}) {
        vessra::Bytes key(length);
        for (std::size_t i = 0; i < length; ++i) key[i] = guidKey[i % guidKey.size()];
        const vessra::Blowfish cipher(key);
        vessra::Bytes data = hex("a1b2c3d4e5000000 00112233445566778899aabbccddeeff");
        const vessra::Bytes original = data;
        cipher.encryptLe(data);
        EXPECT_NE(data, original) << length;
        cipher.decryptLe(data);
        EXPECT_EQ(data, original) << length;
    }
    // Bytes past the 72 the key schedule consumes change nothing.
    vessra::Bytes longKey(200, 0x5A);
    vessra::Bytes otherTail = longKey;
    otherTail[150] = 0x01;
    vessra::Bytes a = hex("0011223344556677");
    vessra::Bytes b = a;
    vessra::Blowfish(longKey).encryptLe(a);
    vessra::Blowfish(otherTail).encryptLe(b);
    EXPECT_EQ(a, b);
}

TEST(Blowfish, EmptyKeyActsAsTheSingleByteZero) {
    vessra::Bytes a = hex("0011223344556677");
    vessra::Bytes b = a;
    vessra::Blowfish(vessra::Bytes{}).encryptLe(a);
    vessra::Blowfish(vessra::Bytes{0}).encryptLe(b);
    EXPECT_EQ(a, b);
}

}  // namespace
