// The adapter access library and the simulated driver behind it, request by request, on built
// machines: enumeration and opening, every OID's layout, association, keys, radio and faults.

#include "platform/w32n50.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "sim/device_store.h"
#include "sim/driver.h"
#include "sim/driver_keys.h"
#include "sim/driver_oids.h"
#include "sim/radio.h"
#include "sim/registry_store.h"
#include "testsupport/scratch_machine.h"
#include "vessra/common/bytes.h"

namespace {

namespace drv = sim::driver;
using vessra::Bytes;

constexpr std::size_t kGuard = 64;  // bytes past the length passed, which nothing may touch

struct Reply {
    int result = -1;
    std::uint32_t transferred = 0;
    std::uint32_t needed = 0;
    Bytes data;  // the first `length` bytes of the buffer after the call
};

struct Record {
    std::string description;
    std::string name;
};

std::vector<Record> allRecords() {
    std::vector<Record> records;
    unsigned char info[W32N_REGISTRY_INFO_SIZE] = {};
    for (int rc = W32N_GetFirstAdapterRegistryInfo(info); rc == 0;
         rc = W32N_GetNextAdapterRegistryInfo(info)) {
        records.push_back(
            {reinterpret_cast<char*>(info), reinterpret_cast<char*>(info + W32N_INFO_NAME_OFFSET)});
    }
    return records;
}

Reply request(intptr_t handle, std::uint32_t type, std::uint32_t oid, Bytes payload, std::size_t length) {
    payload.resize(length + kGuard, 0xEE);
    for (std::size_t i = length; i < payload.size(); ++i) payload[i] = 0xEE;
    unsigned char record[W32N_REQUEST_SIZE] = {};
    vessra::writeLe32(std::span(record), W32N_REQUEST_TYPE_OFFSET, type);
    vessra::writeLe32(std::span(record), W32N_REQUEST_OID_OFFSET, oid);
    vessra::writeLe32(std::span(record), W32N_REQUEST_BUFFER_OFFSET, W32N_BufferAddressField(payload.data()));
    vessra::writeLe32(std::span(record), W32N_REQUEST_LENGTH_OFFSET, static_cast<std::uint32_t>(length));
    unsigned char overlapped[W32N_OVERLAPPED_SIZE] = {};
    Reply reply;
    reply.result = W32N_MakeNdisRequest(handle, record, overlapped, 1, payload.data());
    reply.transferred = vessra::readLe32(std::span(record), W32N_REQUEST_TRANSFERRED_OFFSET);
    reply.needed = vessra::readLe32(std::span(record), W32N_REQUEST_NEEDED_OFFSET);
    for (std::size_t i = length; i < payload.size(); ++i)
        EXPECT_EQ(payload[i], 0xEE) << "written past the buffer";
    reply.data.assign(payload.begin(), payload.begin() + static_cast<long>(length));
    return reply;
}

Reply query(intptr_t handle, std::uint32_t oid, std::size_t length = drv::kLargeQueryLength) {
    return request(handle, W32N_REQUEST_QUERY, oid, {}, length);
}
Reply set(intptr_t handle, std::uint32_t oid, const Bytes& payload) {
    return request(handle, W32N_REQUEST_SET, oid, payload, payload.size());
}

Bytes ssidPayload(std::string_view ssid) {
    Bytes payload(drv::kSsidRecordSize, 0);
    vessra::writeLe32(payload, 0, static_cast<std::uint32_t>(ssid.size()));
    std::copy(ssid.begin(), ssid.end(), payload.begin() + drv::kSsidTextOffset);
    return payload;
}

std::string bssidOf(intptr_t handle) {
    const Reply reply = query(handle, drv::OID_802_11_BSSID);
    EXPECT_EQ(reply.result, 0);
    return sim::radio::bssidText(Bytes(reply.data.begin(), reply.data.begin() + 6));
}

std::int32_t rssiOf(intptr_t handle) {
    return vessra::readLeI32(query(handle, drv::OID_VENDOR_RSSI).data, 0);
}

// A built machine with the adapter opened the way the utility opens it.
class AdapterTest : public ::testing::Test {
  protected:
    explicit AdapterTest(sim::SystemKind kind = sim::SystemKind::WindowsXP)
        : m_machine(sim::MachineSpec{kind}) {
        m_store = m_machine.open();
        const auto records = allRecords();
        for (std::size_t i = 0; i < records.size() && m_handle == W32N_INVALID_ADAPTER; ++i) {
            if (records[i].description.find("Vessra") == std::string::npos)
                continue;
            m_handle = W32N_OpenAdapterA(("\\Device\\" + records[i].name).c_str());
            m_card = drv::cardForDeviceName(*m_store, "\\Device\\" + records[i].name);
        }
    }
    ~AdapterTest() override {
        if (m_handle != W32N_INVALID_ADAPTER)
            W32N_CloseAdapter(m_handle);
    }

    sim::reg::KeyId driverKey() { return *m_card->driverKey; }
    void restartAdapter() { ASSERT_TRUE(sim::dev::restart(*m_store, m_card->deviceInstanceId)); }

    testsupport::ScratchMachine m_machine;
    std::unique_ptr<sim::Store> m_store;
    intptr_t m_handle = W32N_INVALID_ADAPTER;
    std::optional<drv::NetCard> m_card;
};

TEST_F(AdapterTest, EnumeratesTheWiredCardBeforeTheAdapterAndOpensByDeviceName) {
    const auto records = allRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].description.find("Vessra"), std::string::npos);
    EXPECT_NE(records[1].description.find("Vessra"), std::string::npos);
    EXPECT_EQ(records[1].name.front(), '{');  // the card's NetCfgInstanceId
    EXPECT_STREQ(W32N_GetNetCardRegistryPath("0001"),
                 "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}");
    ASSERT_NE(m_handle, W32N_INVALID_ADAPTER);
    EXPECT_NE(m_handle, 0);
    EXPECT_EQ(W32N_OpenAdapterA("\\Device\\{00000000-0000-0000-0000-000000000000}"), W32N_INVALID_ADAPTER);
    EXPECT_EQ(W32N_OpenAdapterA(records[1].name.c_str()), W32N_INVALID_ADAPTER);  // without "\Device\"
}

TEST_F(AdapterTest, RequestsFailOnHandleZeroClosedHandlesAndDisabledOrRemovedDevices) {
    EXPECT_NE(query(0, drv::OID_VENDOR_RADIO, 4).result, 0);
    EXPECT_EQ(W32N_GetLastError(), W32N_ERROR_INVALID_HANDLE);
    EXPECT_NE(query(W32N_INVALID_ADAPTER, drv::OID_VENDOR_RADIO, 4).result, 0);
    EXPECT_EQ(W32N_CloseAdapter(0), 0);

    const std::string device = "\\Device\\" + m_card->name;
    const intptr_t second = W32N_OpenAdapterA(device.c_str());
    ASSERT_NE(second, W32N_INVALID_ADAPTER);
    EXPECT_NE(W32N_CloseAdapter(second), 0);
    EXPECT_NE(query(second, drv::OID_VENDOR_RADIO, 4).result, 0);
    EXPECT_EQ(W32N_CloseAdapter(second), 0);

    ASSERT_TRUE(sim::dev::setEnabled(*m_store, m_card->deviceInstanceId, false));
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RADIO, 4).result, W32N_ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(W32N_OpenAdapterA(device.c_str()), W32N_INVALID_ADAPTER);
    ASSERT_TRUE(sim::dev::setEnabled(*m_store, m_card->deviceInstanceId, true));
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RADIO, 4).result, 0);
    ASSERT_TRUE(sim::dev::setPresent(*m_store, m_card->deviceInstanceId, false));
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RADIO, 4).result, W32N_ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(W32N_OpenAdapterA(device.c_str()), W32N_INVALID_ADAPTER);
}

TEST_F(AdapterTest, RecordWhoseBufferFieldDoesNotMatchTheBufferIsRefused) {
    Bytes buffer(8);
    unsigned char record[W32N_REQUEST_SIZE] = {};
    vessra::writeLe32(std::span(record), W32N_REQUEST_OID_OFFSET, drv::OID_VENDOR_RSSI);
    vessra::writeLe32(std::span(record), W32N_REQUEST_BUFFER_OFFSET,
                      W32N_BufferAddressField(buffer.data()) + 8);
    vessra::writeLe32(std::span(record), W32N_REQUEST_LENGTH_OFFSET, 8);
    EXPECT_EQ(W32N_MakeNdisRequest(m_handle, record, nullptr, 1, buffer.data()),
              W32N_ERROR_INVALID_PARAMETER);
}

// The default machine's adapter starts with the fresh parameters: no name, no security, both bands,
// so it joins the strongest open network it may use: Lobby-B.
TEST_F(AdapterTest, QueriesReportTheJoinedNetworkWithTheCatalogueLayouts) {
    const Reply bssid = query(m_handle, drv::OID_802_11_BSSID);
    EXPECT_EQ(bssid.result, 0);
    EXPECT_EQ(bssid.transferred, 6u);
    EXPECT_EQ(bssidOf(m_handle), "02:56:53:00:00:01");

    const Reply ssid = query(m_handle, drv::OID_802_11_SSID);
    EXPECT_EQ(ssid.transferred, 36u);
    EXPECT_EQ(vessra::readLe32(ssid.data, 0), 7u);
    EXPECT_EQ(std::string(ssid.data.begin() + 4, ssid.data.begin() + 11), "Lobby-B");

    const Reply channel = query(m_handle, drv::OID_VENDOR_CURRENT_CHANNEL);
    EXPECT_EQ(channel.transferred, 36u);
    EXPECT_EQ(vessra::readLe32(channel.data, 12), 2412000u);

    const Reply rssi = query(m_handle, drv::OID_VENDOR_RSSI);
    EXPECT_EQ(rssi.transferred, 4u);
    EXPECT_GE(vessra::readLeI32(rssi.data, 0), -48 - sim::radio::kSignalSwingDb);
    EXPECT_LE(vessra::readLeI32(rssi.data, 0), -48 + sim::radio::kSignalSwingDb);

    const Reply cipherRate = query(m_handle, drv::OID_VENDOR_LINK_CIPHER_RATE, 8);
    EXPECT_EQ(cipherRate.transferred, 8u);
    EXPECT_EQ(vessra::readLe32(cipherRate.data, 0), drv::kCipherNone);
    EXPECT_EQ(vessra::readLe32(cipherRate.data, 4), 11u);

    EXPECT_EQ(vessra::readLe32(query(m_handle, drv::OID_802_11_INFRASTRUCTURE_MODE, 4).data, 0), 1u);
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RADIO, 4096).data[0], 1);
    const Reply mac = query(m_handle, drv::OID_802_3_CURRENT_ADDRESS, 6);
    EXPECT_EQ(mac.transferred, 6u);
    // The same burned-in address the system's adapter list reports for the card.
    EXPECT_EQ(mac.data, (Bytes{0x00, 0x0B, 0x6B, 0x4D, 0x2A, 0x17}));

    const Reply sentBefore = query(m_handle, drv::OID_GEN_XMIT_OK, 4);
    const Reply receivedBefore = query(m_handle, drv::OID_GEN_RCV_OK, 4);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_GT(vessra::readLe32(query(m_handle, drv::OID_GEN_XMIT_OK, 4).data, 0),
              vessra::readLe32(sentBefore.data, 0));
    EXPECT_GT(vessra::readLe32(query(m_handle, drv::OID_GEN_RCV_OK, 4).data, 0),
              vessra::readLe32(receivedBefore.data, 0));
}

TEST_F(AdapterTest, ScanListOfTheDefaultMachineInAFull4104ByteReply) {
    const Reply reply = query(m_handle, drv::OID_VENDOR_SCAN_LIST);
    ASSERT_EQ(reply.result, 0);
    const auto networks = sim::radio::allNetworks(*m_store);
    ASSERT_EQ(networks.size(), 8u);
    ASSERT_EQ(vessra::readLe32(reply.data, 0), 8u);
    EXPECT_EQ(reply.transferred, 4u + 8 * 108);
    EXPECT_EQ(reply.needed, 4u + 8 * 108);
    for (std::size_t i = 0; i < networks.size(); ++i) {
        const auto entry = std::span<const std::uint8_t>(reply.data).subspan(4 + 108 * i, 108);
        const auto& network = networks[i];
        EXPECT_EQ(vessra::readLe32(entry, 0), 108u);
        EXPECT_EQ(Bytes(entry.begin() + 4, entry.begin() + 10), network.bssid);
        EXPECT_EQ(vessra::readLe32(entry, 12), network.ssid.size());
        EXPECT_EQ(std::string(entry.begin() + 16, entry.begin() + 16 + network.ssid.size()), network.ssid);
        EXPECT_EQ(vessra::readLe32(entry, 48), network.security == sim::radio::Security::Open ? 0u : 1u);
        EXPECT_NEAR(vessra::readLeI32(entry, 52), network.baseRssi, sim::radio::kSignalSwingDb);
        EXPECT_EQ(vessra::readLe32(entry, 72), network.frequencyKhz);
        EXPECT_EQ(vessra::readLe32(entry, 92), network.flags);
        EXPECT_EQ(vessra::readLe32(entry, 96), network.infrastructure ? 1u : 0u);
    }
    // Every band label: B (2412), G (0x400), A (5180), T (0x100), JE (4920 and 5040).
    EXPECT_EQ(networks[1].flags, drv::kFlag11g);
    EXPECT_EQ(networks[3].flags, drv::kFlagTurbo);
    EXPECT_EQ(networks[4].frequencyKhz, 4920000u);
    EXPECT_EQ(networks[5].frequencyKhz, 5040000u);
}

TEST_F(AdapterTest, ScanListWritesOnlyTheEntriesThatFit) {
    const Reply two = query(m_handle, drv::OID_VENDOR_SCAN_LIST, 4 + 2 * 108 + 50);
    EXPECT_EQ(two.result, 0);
    EXPECT_EQ(vessra::readLe32(two.data, 0), 2u);
    EXPECT_EQ(two.transferred, 4u + 2 * 108);
    EXPECT_EQ(two.needed, 4u + 8 * 108);
    const Reply none = query(m_handle, drv::OID_VENDOR_SCAN_LIST, 4);
    EXPECT_EQ(vessra::readLe32(none.data, 0), 0u);
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_SCAN_LIST, 3).result, W32N_ERROR_INSUFFICIENT_BUFFER);
}

TEST_F(AdapterTest, ShortBuffersFailWithTheBytesNeededAndAreNotOverrun) {
    struct Case {
        std::uint32_t type;
        std::uint32_t oid;
        std::uint32_t needed;
    };
    const Case cases[] = {
        {W32N_REQUEST_QUERY, drv::OID_VENDOR_CURRENT_CHANNEL, 36},
        {W32N_REQUEST_QUERY, drv::OID_VENDOR_RSSI, 4},
        {W32N_REQUEST_QUERY, drv::OID_VENDOR_LINK_CIPHER_RATE, 8},
        {W32N_REQUEST_QUERY, drv::OID_VENDOR_RADIO, 4},
        {W32N_REQUEST_QUERY, drv::OID_802_11_BSSID, 6},
        {W32N_REQUEST_QUERY, drv::OID_802_11_SSID, 36},
        {W32N_REQUEST_QUERY, drv::OID_802_11_INFRASTRUCTURE_MODE, 4},
        {W32N_REQUEST_QUERY, drv::OID_802_3_CURRENT_ADDRESS, 6},
        {W32N_REQUEST_QUERY, drv::OID_GEN_XMIT_OK, 4},
        {W32N_REQUEST_QUERY, drv::OID_GEN_RCV_OK, 4},
        {W32N_REQUEST_SET, drv::OID_VENDOR_RADIO, 4},
        {W32N_REQUEST_SET, drv::OID_VENDOR_CONFIGURATION, 360},
        {W32N_REQUEST_SET, drv::OID_802_11_SSID, 36},
        {W32N_REQUEST_SET, drv::OID_802_11_INFRASTRUCTURE_MODE, 4},
        {W32N_REQUEST_SET, drv::OID_VENDOR_COUNTRY_CODE, 3},
        {W32N_REQUEST_SET, drv::OID_VENDOR_PRE_JOIN, 4},
        {W32N_REQUEST_SET, drv::OID_VENDOR_IDLE_NOTICE, 4},
    };
    for (const Case& c : cases) {
        const Reply reply = request(m_handle, c.type, c.oid, {}, c.needed - 1);
        EXPECT_EQ(reply.result, W32N_ERROR_INSUFFICIENT_BUFFER) << std::hex << c.oid;
        EXPECT_EQ(reply.needed, c.needed) << std::hex << c.oid;
        EXPECT_EQ(reply.transferred, 0u) << std::hex << c.oid;
    }
    // Directions the catalogue does not list are not supported.
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_CONFIGURATION, 360).result, W32N_ERROR_NOT_SUPPORTED);
    EXPECT_EQ(set(m_handle, drv::OID_VENDOR_RSSI, Bytes(4)).result, W32N_ERROR_NOT_SUPPORTED);
}

TEST_F(AdapterTest, SetsReportTheBytesRead) {
    EXPECT_EQ(set(m_handle, drv::OID_VENDOR_PRE_JOIN, Bytes(4)).transferred, 4u);
    EXPECT_EQ(set(m_handle, drv::OID_VENDOR_IDLE_NOTICE, Bytes(4)).transferred, 4u);
    EXPECT_EQ(set(m_handle, drv::OID_VENDOR_COUNTRY_CODE, Bytes{'P', 'J', 0}).transferred, 3u);
    EXPECT_EQ(set(m_handle, drv::OID_802_11_SSID, ssidPayload("Osaka-JE")).transferred, 36u);
    Bytes tooLong = ssidPayload(std::string(32, 'x'));
    vessra::writeLe32(tooLong, 0, 33);
    EXPECT_EQ(set(m_handle, drv::OID_802_11_SSID, tooLong).result, W32N_ERROR_INVALID_PARAMETER);
}

TEST_F(AdapterTest, SsidAndModeSetsStartANewAssociation) {
    ASSERT_EQ(set(m_handle, drv::OID_802_11_SSID, ssidPayload("Osaka-JE")).result, 0);
    EXPECT_EQ(bssidOf(m_handle), "02:56:53:00:00:06");
    EXPECT_EQ(vessra::readLe32(query(m_handle, drv::OID_VENDOR_CURRENT_CHANNEL).data, 12), 5040000u);
    EXPECT_EQ(vessra::readLe32(query(m_handle, drv::OID_VENDOR_LINK_CIPHER_RATE, 8).data, 4), 54u);

    // A keyed network without the key, a turbo network without the turbo bit: not joined.
    for (const char* refused : {"Cafe-G", "Lab-Turbo", "Nowhere"}) {
        ASSERT_EQ(set(m_handle, drv::OID_802_11_SSID, ssidPayload(refused)).result, 0);
        EXPECT_EQ(bssidOf(m_handle), "00:00:00:00:00:00") << refused;
        EXPECT_EQ(rssiOf(m_handle), drv::kNoSignalDbm) << refused;
        EXPECT_EQ(query(m_handle, drv::OID_VENDOR_CURRENT_CHANNEL).transferred, 0u) << refused;
    }
    ASSERT_EQ(set(m_handle, drv::OID_802_11_SSID, ssidPayload("ANY")).result, 0);
    EXPECT_EQ(bssidOf(m_handle), "02:56:53:00:00:01");

    ASSERT_EQ(set(m_handle, drv::OID_802_11_INFRASTRUCTURE_MODE, vessra::dwordBytes(0)).result, 0);
    EXPECT_EQ(bssidOf(m_handle), "02:56:53:00:00:07");  // the only ad hoc network
    EXPECT_EQ(query(m_handle, drv::OID_802_11_INFRASTRUCTURE_MODE, 4).data[0], 0);
}

TEST_F(AdapterTest, RadioOffBySoftwareOrHardwareKey) {
    ASSERT_EQ(set(m_handle, drv::OID_VENDOR_RADIO, vessra::dwordBytes(0)).result, 0);
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RADIO, 4096).data[0], 0);
    EXPECT_EQ(bssidOf(m_handle), "00:00:00:00:00:00");
    EXPECT_EQ(vessra::readLe32(query(m_handle, drv::OID_VENDOR_SCAN_LIST).data, 0), 0u);
    ASSERT_EQ(set(m_handle, drv::OID_VENDOR_RADIO, vessra::dwordBytes(1)).result, 0);
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RADIO, 4096).data[0], 1);
    EXPECT_EQ(bssidOf(m_handle), "02:56:53:00:00:01");

    m_store->setSetting("radio_key", "off");
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RADIO, 4096).data[0], 0);
    EXPECT_EQ(rssiOf(m_handle), drv::kNoSignalDbm);
    m_store->setSetting("radio_key", "on");
    EXPECT_EQ(bssidOf(m_handle), "02:56:53:00:00:01");
}

// Parameters as the utility writes them: sealed key texts keyed with CardCfgId.
TEST_F(AdapterTest, SealedKeyInTheDriverKeyJoinsOnlyWithTheNetworksKey) {
    const std::string cardId = "6F1C2A34-9B0D-4e8f-A2C1-7D5E3B9F0A12";
    struct Case {
        const char* keyHex;
        const char* sealWith;
        bool joins;
    };
    const Case cases[] = {
        {"a1b2c3d4e5", cardId.c_str(), true},
        {"a1b2c3d4e6", cardId.c_str(), false},                          // wrong key
        {"a1b2c3d4e5", "00000000-0000-0000-0000-000000000000", false},  // sealed for another card
    };
    for (const Case& c : cases) {
        Bytes key;
        ASSERT_TRUE(vessra::parseHex(c.keyHex, key));
        const sim::reg::KeyId driver = driverKey();
        sim::reg::setString(*m_store, driver, "CardCfgId", cardId);
        sim::reg::setString(*m_store, driver, "ssid", "Cafe-G");
        sim::reg::setString(*m_store, driver, "privacyInvoked", "1");
        sim::reg::setString(*m_store, driver, "defaultKey", "0");
        sim::reg::setString(*m_store, driver, "key0", drv::sealKey(key, c.sealWith));
        sim::reg::setString(*m_store, driver, "keyLength0", "5");
        restartAdapter();
        EXPECT_EQ(bssidOf(m_handle), c.joins ? "02:56:53:00:00:02" : "00:00:00:00:00:00") << c.keyHex;
        if (c.joins) {
            EXPECT_EQ(query(m_handle, drv::OID_VENDOR_LINK_CIPHER_RATE, 8).data[0], drv::kCipherWep);
        }
    }
}

Bytes configurationRecord(std::string_view cardId, std::string_view ssid, std::uint32_t defaultKey,
                          std::uint32_t slot, const std::string& sealedHex, std::uint32_t keyLength) {
    using namespace drv::config;
    Bytes record(kSize, 0);
    vessra::writeLe32(record, kVersion, 2);
    vessra::writeCString(record, kCardId, kCardIdWidth, cardId);
    vessra::writeCString(record, kSsid, kSsidWidth, ssid);
    vessra::writeLe32(record, kSsidLength, static_cast<std::uint32_t>(ssid.size()));
    vessra::writeLe32(record, kBssType, 1);
    record[kSecurity] = 1;
    vessra::writeLe32(record, kDefaultKey, defaultKey);
    Bytes sealed;
    EXPECT_TRUE(vessra::parseHex(sealedHex, sealed));
    std::copy(sealed.begin(), sealed.end(), record.begin() + static_cast<long>(kKeys + kKeyWidth * slot));
    vessra::writeLe32(record, kKeyLengths + 4 * slot, keyLength);
    vessra::writeLe32(record, kWirelessModes, 7);
    return record;
}

TEST_F(AdapterTest, ConfigurationPushWithSealedKeysJoinsOnlyWithTheRightKeyInTheDefaultSlot) {
    const std::string cardId = "9B2E4D18-3A6C-4f57-8E0D-62C9B1A7F403";
    Bytes aesKey;
    ASSERT_TRUE(vessra::parseHex("3f1c9a7be4d25608c1e7a9b3f0d4628e", aesKey));
    const std::string sealed = drv::sealKey(aesKey, cardId);
    ASSERT_EQ(sealed.size(), 32u);

    Reply pushed = set(m_handle, drv::OID_VENDOR_CONFIGURATION,
                       configurationRecord(cardId, "Office-A", 4, 4, sealed, 16));
    ASSERT_EQ(pushed.result, 0);
    EXPECT_EQ(pushed.transferred, 360u);
    EXPECT_EQ(bssidOf(m_handle), "02:56:53:00:00:03");
    const Reply cipherRate = query(m_handle, drv::OID_VENDOR_LINK_CIPHER_RATE, 8);
    EXPECT_EQ(cipherRate.data[0], drv::kCipherAes);
    EXPECT_EQ(cipherRate.data[4], 54);

    // The right key in another slot than the default one, or a record from another card: refused.
    set(m_handle, drv::OID_VENDOR_CONFIGURATION, configurationRecord(cardId, "Office-A", 0, 4, sealed, 16));
    EXPECT_EQ(bssidOf(m_handle), "00:00:00:00:00:00");
    set(m_handle, drv::OID_VENDOR_CONFIGURATION,
        configurationRecord("another-card", "Office-A", 4, 4, sealed, 16));
    EXPECT_EQ(bssidOf(m_handle), "00:00:00:00:00:00");
}

TEST_F(AdapterTest, InjectedFaultsAndTheJournal) {
    drv::clearJournal(*m_store);
    drv::failNextRequests(*m_store, 2);
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RSSI, 4).result, W32N_ERROR_GEN_FAILURE);
    EXPECT_EQ(set(m_handle, drv::OID_VENDOR_RADIO, vessra::dwordBytes(0)).result, W32N_ERROR_GEN_FAILURE);
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RADIO, 4).data[0], 1);  // the failed set changed nothing
    drv::failOid(*m_store, drv::OID_VENDOR_RSSI);
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RSSI, 4).result, W32N_ERROR_GEN_FAILURE);
    EXPECT_EQ(query(m_handle, drv::OID_802_11_BSSID, 6).result, 0);
    drv::clearFaults(*m_store);
    EXPECT_EQ(query(m_handle, drv::OID_VENDOR_RSSI, 4).result, 0);

    const auto entries = drv::journal(*m_store);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].result, drv::Status::GeneralFailure);
    EXPECT_TRUE(entries[1].set);
    EXPECT_EQ(entries[1].bytesIn, vessra::dwordBytes(0));
    EXPECT_EQ(entries[2].bytesOut, vessra::dwordBytes(1));
    EXPECT_EQ(entries[4].oid, drv::OID_802_11_BSSID);
    EXPECT_EQ(entries[4].transferred, 6u);
    EXPECT_EQ(entries[5].result, drv::Status::Success);
}

// The other system kinds name and open the adapter by their own rules.
struct KindCase {
    sim::SystemKind kind;
    const char* registryPath;  // nullptr: not checked
};

class OtherSystems : public ::testing::TestWithParam<KindCase> {};

TEST_P(OtherSystems, AdapterOpensByTheSystemsNamingRule) {
    testsupport::ScratchMachine machine(sim::MachineSpec{GetParam().kind});
    const auto records = allRecords();
    ASSERT_GE(records.size(), 2u);
    const bool nt = sim::isNtFamily(GetParam().kind);
    std::size_t adapterPosition = 0;
    for (; adapterPosition < records.size(); ++adapterPosition) {
        if (records[adapterPosition].description.find("Vessra") != std::string::npos)
            break;
    }
    ASSERT_EQ(adapterPosition, 1u);
    char instance[8];
    std::snprintf(instance, sizeof instance, "%04zu", adapterPosition);
    const std::string deviceName = nt ? "\\Device\\" + records[adapterPosition].name : std::string(instance);
    const intptr_t handle = W32N_OpenAdapterA(deviceName.c_str());
    ASSERT_NE(handle, W32N_INVALID_ADAPTER) << deviceName;
    EXPECT_EQ(query(handle, drv::OID_VENDOR_RADIO, 4).result, 0);
    EXPECT_NE(W32N_CloseAdapter(handle), 0);
    if (GetParam().registryPath) {
        EXPECT_STREQ(W32N_GetNetCardRegistryPath(instance), GetParam().registryPath);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OtherSystems,
    ::testing::Values(
        KindCase{sim::SystemKind::Windows2000,
                 "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}"},
        KindCase{sim::SystemKind::Windows98SE, "System\\CurrentControlSet\\Services\\Class\\Net"},
        KindCase{sim::SystemKind::WindowsMe, "System\\CurrentControlSet\\Services\\Class\\Net"},
        KindCase{sim::SystemKind::WindowsNT4, nullptr}));

}  // namespace
