#include "sim/registry_store.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "sim/machine.h"
#include "testsupport/scratch_machine.h"

namespace sim::reg {
namespace {

class RegistryStoreTest : public ::testing::Test {
  protected:
    testsupport::ScratchMachine machine;
    std::unique_ptr<Store> store = machine.open();
    KeyId root = *hiveRoot(*store, Hive::LocalMachine);
};

TEST_F(RegistryStoreTest, NamesMatchIgnoringAsciiCaseAndKeepTheirFirstCase) {
    const KeyId key = createKey(*store, root, "SOFTWARE\\Vessra");
    EXPECT_EQ(createKey(*store, root, "software\\VESSRA"), key);
    EXPECT_EQ(findKey(*store, root, "\\Software\\vessra\\"), key);
    EXPECT_EQ(keyPath(*store, key), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vessra");

    setString(*store, key, "CardCfgId", "first");
    setString(*store, key, "CARDCFGID", "second");
    const auto value = readValue(*store, key, "cardcfgid");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->name, "CardCfgId");
    EXPECT_EQ(value->data, stringData("second"));
    EXPECT_EQ(values(*store, key).size(), 1u);
}

TEST_F(RegistryStoreTest, SubkeysAndValuesEnumerateInCreationOrder) {
    const KeyId configurations = createKey(*store, root, "CustomParams\\Configurations");
    for (int i = 0; i < 12; ++i) createKey(*store, configurations, "Cfg" + std::to_string(i));
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_EQ(subkeyAt(*store, configurations, i), "Cfg" + std::to_string(i));
    EXPECT_FALSE(subkeyAt(*store, configurations, 12));

    setDword(*store, configurations, "Zeta", 1);
    setDword(*store, configurations, "Alpha", 2);
    setDword(*store, configurations, "Zeta", 3);  // an overwrite keeps its place
    EXPECT_EQ(valueAt(*store, configurations, 0)->name, "Zeta");
    EXPECT_EQ(valueAt(*store, configurations, 1)->name, "Alpha");
    EXPECT_FALSE(valueAt(*store, configurations, 2));
}

TEST_F(RegistryStoreTest, DeletingAKeyTakesItsWholeSubtreeButNotAHive) {
    const KeyId top = createKey(*store, root, "A");
    const KeyId deep = createKey(*store, top, "B\\C\\D");
    setDword(*store, deep, "x", 1);
    const KeyId sibling = createKey(*store, root, "A2");
    EXPECT_TRUE(deleteKey(*store, top));
    EXPECT_FALSE(keyExists(*store, deep));
    EXPECT_FALSE(findKey(*store, root, "A\\B"));
    EXPECT_TRUE(keyExists(*store, sibling));
    EXPECT_FALSE(deleteKey(*store, root));
    EXPECT_TRUE(keyExists(*store, root));
}

TEST_F(RegistryStoreTest, ATransactionLeftWithoutCommitKeepsNothing) {
    {
        Store::Transaction outer(*store);
        const KeyId key = createKey(*store, root, "Temp");
        {
            Store::Transaction inner(*store);
            setDword(*store, key, "v", 7);
            inner.commit();
        }
    }
    EXPECT_FALSE(findKey(*store, root, "Temp"));

    EXPECT_THROW(
        {
            Store::Transaction outer(*store);
            createKey(*store, root, "Doomed");
            { Store::Transaction inner(*store); }  // left without commit: dooms the outer one
            outer.commit();
        },
        StoreError);
    EXPECT_FALSE(findKey(*store, root, "Doomed"));
}

TEST_F(RegistryStoreTest, InjectedFaultsFailTheNthStatementOrEveryOneAfter) {
    store->setFaultPlan({.failAt = 2, .persistent = false});
    EXPECT_NO_THROW(hiveRoot(*store, Hive::LocalMachine));
    EXPECT_THROW(hiveRoot(*store, Hive::LocalMachine), StoreError);
    EXPECT_NO_THROW(hiveRoot(*store, Hive::LocalMachine));

    store->setFaultPlan({.failAt = 1, .persistent = true});
    EXPECT_THROW(createKey(*store, root, "X"), StoreError);
    EXPECT_THROW(hiveRoot(*store, Hive::LocalMachine), StoreError);
    store->setFaultPlan({});
    EXPECT_FALSE(findKey(*store, root, "X"));
}

TEST(MachineStore, FileIsPrivateAndHivesFollowTheSystemKind) {
    testsupport::ScratchMachine nt({.system = SystemKind::Windows2000});
    struct stat info {};
    ASSERT_EQ(::stat(nt.file().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    auto ntStore = nt.open();
    EXPECT_TRUE(hiveRoot(*ntStore, Hive::LocalMachine));
    EXPECT_FALSE(hiveRoot(*ntStore, Hive::DynData));

    testsupport::ScratchMachine me({.system = SystemKind::WindowsMe});
    EXPECT_TRUE(hiveRoot(*me.open(), Hive::DynData));
}

TEST(MachineStore, OpeningAnEmptyFileBuildsTheDefaultMachineOnce) {
    testsupport::ScratchMachine scratch({}, false);
    auto first = openMachine(scratch.file());
    EXPECT_EQ(machineSystem(*first), SystemKind::WindowsXP);
    auto second = openMachine(scratch.file());
    EXPECT_EQ(machineSystem(*second), SystemKind::WindowsXP);
    EXPECT_THROW(buildMachine(*second, {}), StoreError);
}

TEST(MultiString, SplitsAtNulsAndStopsAtTheEmptyString) {
    EXPECT_EQ(multiStringData({"ab", "c"}), (std::vector<std::uint8_t>{'a', 'b', 0, 'c', 0, 0}));
    EXPECT_EQ(splitMultiString(multiStringData({"ab", "c"})), (std::vector<std::string>{"ab", "c"}));
    EXPECT_EQ(splitMultiString(std::vector<std::uint8_t>{'a', 0, 0, 'b', 0}), std::vector<std::string>{"a"});
    EXPECT_EQ(splitMultiString(std::vector<std::uint8_t>{'a', 'b'}), std::vector<std::string>{"ab"});
}

}  // namespace
}  // namespace sim::reg
