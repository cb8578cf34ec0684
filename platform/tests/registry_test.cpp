#include "platform/registry.h"

#include <thread>

#include <gtest/gtest.h>

#include "testsupport/scratch_machine.h"

namespace platform::registry {
namespace {

class RegistryTest : public ::testing::Test {
  protected:
    testsupport::ScratchMachine machine;

    Key create(std::string_view path) {
        Key key;
        EXPECT_EQ(Key::create(Hive::LocalMachine, path, key), Error::Success);
        return key;
    }
};

TEST_F(RegistryTest, StringsCountTheirNulAndReadsRespectTheCallersLimit) {
    const Key key = create("SOFTWARE\\Vessra");
    ASSERT_EQ(key.setString("Name", "abcd"), Error::Success);
    Value value;
    ASSERT_EQ(key.queryValue("name", 5, value), Error::Success);
    EXPECT_EQ(value.type, ValueType::String);
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{'a', 'b', 'c', 'd', 0}));

    Value untouched{"keep", ValueType::Binary, {1}};
    EXPECT_EQ(key.queryValue("Name", 4, untouched), Error::MoreData);
    EXPECT_EQ(untouched.name, "keep");
    std::string text = "old";
    EXPECT_EQ(key.readString("Name", 4, text), Error::MoreData);
    EXPECT_EQ(text, "old");
    EXPECT_EQ(key.readString("Name", 5, text), Error::Success);
    EXPECT_EQ(text, "abcd");

    ASSERT_EQ(key.setDword("Count", 0x01020304), Error::Success);
    ASSERT_EQ(key.queryValue("Count", 4, value), Error::Success);
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{4, 3, 2, 1}));
    std::uint32_t number = 0;
    EXPECT_EQ(key.readDword("Count", number), Error::Success);
    EXPECT_EQ(number, 0x01020304u);
    ASSERT_EQ(key.setString("Short", "abc"), Error::Success);
    EXPECT_EQ(key.readDword("Short", number), Error::InvalidData);  // four bytes, but not a DWORD
    EXPECT_EQ(key.readDword("Name", number), Error::MoreData);
    EXPECT_EQ(key.readString("Count", 100, text), Error::InvalidData);
    EXPECT_EQ(key.readDword("Missing", number), Error::FileNotFound);

    ASSERT_EQ(key.setMultiString("List", {"PCI\\A", "PCI\\B"}), Error::Success);
    ASSERT_EQ(key.queryValue("List", 100, value), Error::Success);
    EXPECT_EQ(multiStringsOf(value.data), (std::vector<std::string>{"PCI\\A", "PCI\\B"}));
}

TEST_F(RegistryTest, AccessRightsAreEnforced) {
    create("SYSTEM\\Tcpip").setDword("v", 1);
    Key reader;
    ASSERT_EQ(Key::open(Hive::LocalMachine, "system\\TCPIP", Access::Read, reader), Error::Success);
    EXPECT_EQ(reader.setDword("v", 2), Error::AccessDenied);
    EXPECT_EQ(reader.deleteValue("v"), Error::AccessDenied);
    Key sub;
    EXPECT_EQ(reader.createSub("New", sub), Error::AccessDenied);

    Key writer;
    ASSERT_EQ(Key::open(Hive::LocalMachine, "SYSTEM\\Tcpip", Access::Write, writer), Error::Success);
    Value value;
    EXPECT_EQ(writer.queryValue("v", 4, value), Error::AccessDenied);
    EXPECT_EQ(writer.setDword("v", 2), Error::Success);
    std::uint32_t number = 0;
    EXPECT_EQ(reader.readDword("v", number), Error::Success);
    EXPECT_EQ(number, 2u);
}

TEST_F(RegistryTest, MissingKeysHivesAndClosedHandlesFailCleanly) {
    Key key;
    EXPECT_EQ(Key::open(Hive::LocalMachine, "No\\Such\\Key", Access::Read, key), Error::FileNotFound);
    EXPECT_FALSE(key.isOpen());
    // An XP machine has no dynamic-data hive.
    EXPECT_EQ(Key::open(Hive::DynData, "Config Manager\\Enum", Access::Read, key), Error::FileNotFound);
    EXPECT_EQ(Key::create(Hive::DynData, "Config Manager", key), Error::FileNotFound);

    Key closed;
    std::string name;
    EXPECT_EQ(closed.subkeyAt(0, name), Error::InvalidHandle);
    EXPECT_EQ(closed.setDword("v", 1), Error::InvalidHandle);
}

TEST_F(RegistryTest, DeletingATreeInvalidatesHandlesBelowIt) {
    const Key top = create("SOFTWARE\\Vessra\\CustomParams");
    const Key configurations = create("SOFTWARE\\Vessra\\CustomParams\\Configurations\\Cfg0");
    ASSERT_EQ(configurations.setString("ConfigurationName", "Home"), Error::Success);
    Key parent;
    ASSERT_EQ(Key::open(Hive::LocalMachine, "SOFTWARE\\Vessra", Access::All, parent), Error::Success);
    EXPECT_EQ(parent.deleteTree("customparams"), Error::Success);
    EXPECT_EQ(configurations.setString("x", "y"), Error::KeyDeleted);
    EXPECT_EQ(top.createSub("Again", parent), Error::KeyDeleted);
    EXPECT_EQ(deleteTree(Hive::LocalMachine, "SOFTWARE\\Vessra\\CustomParams"), Error::FileNotFound);
    Key root;
    ASSERT_EQ(Key::open(Hive::LocalMachine, "", Access::All, root), Error::Success);
    EXPECT_EQ(root.deleteTree(""), Error::AccessDenied);
}

TEST_F(RegistryTest, EnumerationFollowsCreationOrderAndEndsWithNoMoreItems) {
    const Key configurations = create("CustomParams\\Configurations");
    for (int i = 0; i < 12; ++i) {
        Key cfg;
        ASSERT_EQ(configurations.createSub("Cfg" + std::to_string(i), cfg), Error::Success);
    }
    std::string name;
    for (std::size_t i = 0; i < 12; ++i) {
        ASSERT_EQ(configurations.subkeyAt(i, name), Error::Success);
        EXPECT_EQ(name, "Cfg" + std::to_string(i));
    }
    EXPECT_EQ(configurations.subkeyAt(12, name), Error::NoMoreItems);
    Value value;
    EXPECT_EQ(configurations.valueAt(0, value), Error::NoMoreItems);
}

TEST_F(RegistryTest, ATransactionKeepsAllOrNothing) {
    const Key key = create("CustomParams");
    {
        Transaction transaction;
        key.setDword("a", 1);
        key.setDword("b", 2);
        // Left without commit: as if the process had stopped here.
    }
    Value value;
    EXPECT_EQ(key.queryValue("a", 4, value), Error::FileNotFound);
    {
        Transaction transaction;
        Key configurations;
        ASSERT_EQ(key.createSub("Configurations", configurations), Error::Success);
        configurations.setDword("MajorVersion", 0);
        EXPECT_TRUE(transaction.commit());
    }
    Key configurations;
    ASSERT_EQ(Key::open(Hive::LocalMachine, "CustomParams\\Configurations", Access::Read, configurations),
              Error::Success);
    std::uint32_t major = 7;
    EXPECT_EQ(configurations.readDword("MajorVersion", major), Error::Success);
    EXPECT_EQ(major, 0u);
}

TEST_F(RegistryTest, ThreadsWriteTheSameMachineAtOnce) {
    constexpr int kThreads = 4;
    constexpr int kValues = 50;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            Key key;
            ASSERT_EQ(Key::create(Hive::LocalMachine, "Shared\\T" + std::to_string(t), key), Error::Success);
            for (int i = 0; i < kValues; ++i) {
                Transaction transaction;
                ASSERT_EQ(key.setDword("v" + std::to_string(i), static_cast<std::uint32_t>(i)),
                          Error::Success);
                ASSERT_TRUE(transaction.commit());
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        Key key;
        ASSERT_EQ(Key::open(Hive::LocalMachine, "Shared\\T" + std::to_string(t), Access::Read, key),
                  Error::Success);
        Value value;
        std::size_t count = 0;
        while (key.valueAt(count, value) == Error::Success) ++count;
        EXPECT_EQ(count, static_cast<std::size_t>(kValues));
    }
}

}  // namespace
}  // namespace platform::registry
