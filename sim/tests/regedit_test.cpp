#include "sim/regedit.h"

#include <gtest/gtest.h>

#include "sim/registry_store.h"
#include "testsupport/scratch_machine.h"

namespace sim::regedit {
namespace {

// Every value type, an empty key, escapes, continuation lines, a long binary that wraps, and names
// written in another case than their key was created with.
constexpr const char* kEveryType = R"(REGEDIT4

; a comment
[HKEY_LOCAL_MACHINE\SOFTWARE\Vessra]
@="default text"
"Text"="quote \" and backslash \\ and 日本語"
"Count"=dword:0000002a
"Binary"=hex:00,01,fe,ff
"Strings"=hex(7):61,62,00,63,00,00
"Expand"=hex(2):25,50,25,00
"Odd"=hex(b):01,02,03,04,05,06,07,08
"NoNul"=hex(1):41,42
"Empty"=hex:
"Line\nBreak"="a name with a line break"
"Long"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\
  18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f

[HKEY_LOCAL_MACHINE\SOFTWARE\Vessra\Empty Key]

[hklm\software\VESSRA\Cfg0]
"ConfigurationName"="Home"

[HKEY_DYN_DATA\Config Manager\Enum\C29A4C10]
"Problem"=hex:00,00,00,00
)";

class RegeditTest : public ::testing::Test {
  protected:
    testsupport::ScratchMachine machine;
    std::unique_ptr<Store> store = machine.open();

    std::optional<reg::Value> value(std::string_view path, std::string_view name) {
        auto key = reg::findKey(*store, *reg::hiveRoot(*store, reg::Hive::LocalMachine), path);
        return key ? reg::readValue(*store, *key, name) : std::nullopt;
    }
};

TEST_F(RegeditTest, EveryValueTypeImportsExportsAndReimportsIdentically) {
    importText(*store, kEveryType);
    EXPECT_EQ(value("SOFTWARE\\Vessra", "text")->data,
              reg::stringData("quote \" and backslash \\ and 日本語"));
    EXPECT_EQ(value("SOFTWARE\\Vessra", "Count")->data, (std::vector<std::uint8_t>{0x2a, 0, 0, 0}));
    EXPECT_EQ(value("SOFTWARE\\Vessra", "Strings")->type, reg::kTypeMultiString);
    EXPECT_EQ(value("SOFTWARE\\Vessra", "Odd")->type, 0xbu);
    EXPECT_EQ(value("SOFTWARE\\Vessra", "Long")->data.size(), 48u);
    EXPECT_EQ(value("SOFTWARE\\Vessra", "")->data, reg::stringData("default text"));
    EXPECT_TRUE(value("Software\\Vessra\\cfg0", "ConfigurationName"));
    EXPECT_TRUE(value("SOFTWARE\\Vessra", "Line\nBreak"));

    const std::string exported = exportText(*store);
    EXPECT_NE(exported.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vessra\\Cfg0]"), std::string::npos);
    EXPECT_NE(exported.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vessra\\Empty Key]"), std::string::npos);
    EXPECT_NE(exported.find("\"NoNul\"=hex(1):41,42"), std::string::npos);
    EXPECT_NE(exported.find("\"Count\"=dword:0000002a"), std::string::npos);

    testsupport::ScratchMachine other;
    auto otherStore = other.open();
    importText(*otherStore, exported);
    EXPECT_EQ(exportText(*otherStore), exported);
}

TEST_F(RegeditTest, DeletionLinesRemoveKeysAndValues) {
    importText(*store, kEveryType);
    importText(*store,
               "REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Vessra\\Cfg0]\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vessra]\r\n\"Count\"=-\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Missing]\r\n");
    EXPECT_FALSE(value("SOFTWARE\\Vessra", "Count"));
    EXPECT_TRUE(value("SOFTWARE\\Vessra", "Binary"));
    EXPECT_FALSE(
        reg::findKey(*store, *reg::hiveRoot(*store, reg::Hive::LocalMachine), "SOFTWARE\\Vessra\\Cfg0"));
}

TEST_F(RegeditTest, AMalformedFileNamesItsLineAndWritesNothing) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"[HKEY_LOCAL_MACHINE\\A]\n", 1},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=dword:123456789\n", 4},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=hex:0g\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=hex(zz):00\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n", 2},
        {"REGEDIT4\n\"v\"=\"outside\"\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v=\"x\"\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=\"bad \\q\"\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"ok\"=\"1\"\n\"v\"=hex:01,\\\n  02,,03\n", 4},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nv=1\n", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            importText(*store, c.text);
            ADD_FAILURE() << "no error";
        } catch (const ParseError& error) {
            EXPECT_EQ(error.line(), c.line) << error.what();
        }
        EXPECT_FALSE(reg::findKey(*store, *reg::hiveRoot(*store, reg::Hive::LocalMachine), "A"));
    }
}

TEST_F(RegeditTest, ExportOfOneKeyUsesStoredCaseAndFailsForAMissingKey) {
    importText(*store, kEveryType);
    const std::string text = exportText(*store, "hklm\\software\\vessra\\cfg0");
    EXPECT_EQ(text,
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vessra\\Cfg0]\n\"ConfigurationName\"=\"Home\"\n\n");
    EXPECT_THROW(exportText(*store, "HKEY_LOCAL_MACHINE\\Nope"), StoreError);
}

}  // namespace
}  // namespace sim::regedit
