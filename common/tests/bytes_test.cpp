#include "vessra/common/bytes.h"

#include <gtest/gtest.h>

namespace vessra {
namespace {

TEST(Bytes, LittleEndianRoundTripAtOffsets) {
    Bytes buffer(12, 0xee);
    writeLe32(buffer, 3, 0x11223344);
    writeLe16(buffer, 8, 0xa1b2);
    EXPECT_EQ(buffer[3], 0x44);
    EXPECT_EQ(buffer[6], 0x11);
    EXPECT_EQ(buffer[2], 0xee);
    EXPECT_EQ(buffer[7], 0xee);
    EXPECT_EQ(readLe32(buffer, 3), 0x11223344u);
    EXPECT_EQ(readLe16(buffer, 8), 0xa1b2);
    writeLe32(buffer, 0, 0xffffffa1);
    EXPECT_EQ(readLeI32(buffer, 0), -95);
}

TEST(Bytes, CStringsStopAtNulOrBufferEnd) {
    Bytes buffer(8, 0);
    writeCString(buffer, 2, 4, "abcdef");
    EXPECT_EQ(readCString(buffer, 2), "abc");
    Bytes unterminated{'x', 'y'};
    EXPECT_EQ(readCString(unterminated, 0), "xy");
}

TEST(Bytes, HexParsingAcceptsSeparatorsAndRejectsJunk) {
    Bytes out;
    ASSERT_TRUE(parseHex("00,Ab:ff 10", out));
    EXPECT_EQ(out, (Bytes{0x00, 0xab, 0xff, 0x10}));
    EXPECT_EQ(toHex(out), "00abff10");
    const Bytes before = out;
    EXPECT_FALSE(parseHex("abc", out));
    EXPECT_FALSE(parseHex("zz", out));
    EXPECT_FALSE(parseHex("a,b", out));
    EXPECT_EQ(out, before);
}

}  // namespace
}  // namespace vessra
