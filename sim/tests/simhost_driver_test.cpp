// simhost alone: switching the radio by OID, joining a network by SSID and reading the link, the
// network table commands, faults and the journal, each command in its own process.

#include <gtest/gtest.h>

#include "testsupport/child_process.h"
#include "testsupport/scratch_machine.h"

namespace {

class SimhostDriver : public ::testing::Test {
  protected:
    testsupport::ProgramResult simhost(std::vector<std::string> args) {
        return testsupport::runProgram(SIMHOST_PATH, args, {{"SIMHOST_MACHINE", m_machine.file().string()}});
    }
    std::string reply(std::vector<std::string> args) {
        const auto result = simhost(std::move(args));
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    testsupport::ScratchMachine m_machine;
};

TEST_F(SimhostDriver, RadioOffAndOnThenJoinBySsidAndReadTheLink) {
    EXPECT_NE(reply({"set", "OID_VENDOR_RADIO", "00000000"}).find("result 0"), std::string::npos);
    EXPECT_NE(reply({"query", "OID_VENDOR_RADIO", "4"}).find("0000: 00000000"), std::string::npos);
    reply({"set", "0xFF300000", "01000000"});
    EXPECT_NE(reply({"query", "OID_VENDOR_RADIO", "4"}).find("0000: 01000000"), std::string::npos);

    // Length word 8, "Osaka-JE", zero-padded to 36 bytes.
    reply({"set", "OID_802_11_SSID", "080000004f73616b612d4a45" + std::string(48, '0')});
    EXPECT_NE(reply({"query", "OID_802_11_BSSID", "6"}).find("0000: 025653000006"), std::string::npos);
    // 5040000 kHz = 0x004ce780 at offset 12 of the channel record.
    EXPECT_NE(
        reply({"query", "OID_VENDOR_CURRENT_CHANNEL", "36"}).find("0000: 00000000000000000000000080e74c00"),
        std::string::npos);
    EXPECT_NE(reply({"query", "OID_VENDOR_LINK_CIPHER_RATE", "8"}).find("0000: 0000000036000000"),
              std::string::npos);
    EXPECT_NE(reply({"query", "OID_VENDOR_RSSI", "4"}).find("written 4"), std::string::npos);
}

TEST_F(SimhostDriver, NetworkTableFaultsAndJournal) {
    reply({"net", "add", "Garage", "02:00:00:00:00:99", "2437", "--wep", "0102030405", "--rssi", "-40"});
    EXPECT_NE(reply({"net", "list"}).find("Garage"), std::string::npos);
    EXPECT_EQ(simhost({"net", "add", "Again", "02:00:00:00:00:99", "2437"}).exitCode, 1);
    EXPECT_EQ(simhost({"net", "add", "Bad", "02:00:00:00:00:98", "2437", "--aes", "0102"}).exitCode, 2);
    reply({"net", "move", "Garage", "-99"});
    EXPECT_NE(reply({"query", "OID_VENDOR_SCAN_LIST"}).find("written 868"),
              std::string::npos);  // out of range
    reply({"net", "remove", "Lobby-B"});
    EXPECT_NE(reply({"query", "OID_VENDOR_SCAN_LIST"}).find("written 760"), std::string::npos);
    EXPECT_EQ(simhost({"net", "remove", "Lobby-B"}).exitCode, 1);

    reply({"journal", "--clear"});
    reply({"fault", "next", "1"});
    const auto failed = simhost({"query", "OID_VENDOR_RSSI", "4"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.out.find("result 31"), std::string::npos);
    reply({"query", "OID_VENDOR_RSSI", "4"});
    const std::string journal = reply({"journal"});
    EXPECT_NE(journal.find("failure (injected)"), std::string::npos);
    EXPECT_NE(journal.find("written 4 needed 4: success"), std::string::npos);
    EXPECT_EQ(simhost({"query", "NO_SUCH_OID"}).exitCode, 2);
}

}  // namespace
