#include "sim/driver_keys.h"

#include <gtest/gtest.h>

#include "vessra/common/blowfish.h"
#include "vessra/common/bytes.h"

namespace {

using vessra::Bytes;
namespace drv = sim::driver;

const std::string kCardId = "9B2E4D18-3A6C-4f57-8E0D-62C9B1A7F403";

Bytes cardKey() {
    return Bytes(kCardId.begin(), kCardId.end());
}

Bytes hex(std::string_view text) {
    Bytes bytes;
    EXPECT_TRUE(vessra::parseHex(text, bytes));
    return bytes;
}

TEST(DriverKeys, FiveByteKeySealsAsOneLittleEndianBlock) {
    const Bytes key = hex("a1b2c3d4e5");
    std::uint32_t left = 0xD4C3B2A1;  // the first four key bytes, the first least significant
    std::uint32_t right = 0x000000E5;
    vessra::Blowfish(cardKey()).encryptBlock(left, right);
    Bytes expected(8);
    vessra::writeLe32(expected, 0, left);
    vessra::writeLe32(expected, 4, right);
    EXPECT_EQ(drv::sealKey(key, kCardId), vessra::toHex(expected));
    EXPECT_EQ(drv::sealKey(key, kCardId).size(), 16u);
}

TEST(DriverKeys, UnsealingGivesBackTheKeyFromTextOrBytesInEitherCase) {
    const Bytes key = hex("00112233445566778899aabbcc");
    const std::string sealed = drv::sealKey(key, kCardId);
    ASSERT_EQ(sealed.size(), 32u);
    EXPECT_EQ(drv::unsealKeyText(sealed, kCardId, 13), key);
    std::string upper = sealed;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(drv::unsealKeyText(upper, kCardId, 13), key);
    EXPECT_EQ(drv::unsealKeyBytes(hex(sealed), kCardId, 13), key);
    EXPECT_NE(drv::unsealKeyText(sealed, "another card", 13), key);
    EXPECT_NE(drv::sealKey(key, "another card"), sealed);
}

TEST(DriverKeys, OddAndForeignCharactersAndOverlongTexts) {
    EXPECT_TRUE(drv::unsealKeyText("", kCardId, 5).empty());
    EXPECT_TRUE(drv::unsealKeyText(std::string(513, 'a'), kCardId, 5).empty());
    // "a-bc": the dash adds nothing but takes position 1, so the bytes are 0a bc; "abc": ab 0c.
    for (const auto& [text, bytes] :
         {std::pair<std::string, Bytes>{"a-bc", {0x0A, 0xBC}}, {"abc", {0xAB, 0x0C}}}) {
        Bytes block(8, 0);
        std::copy(bytes.begin(), bytes.end(), block.begin());
        vessra::Blowfish(cardKey()).decryptLe(block);
        block.resize(5);
        EXPECT_EQ(drv::unsealKeyText(text, kCardId, 5), block) << text;
    }
}

TEST(DriverKeys, EmptyIdentifierKeysWithTheZeroByte) {
    const Bytes key = hex("a1b2c3d4e5");
    Bytes block = hex("a1b2c3d4e5000000");
    vessra::Blowfish(Bytes{0}).encryptLe(block);
    EXPECT_EQ(drv::sealKey(key, ""), vessra::toHex(block));
}

}  // namespace
