// simhost reg, run as a real child process against scratch machines.

#include <signal.h>

#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "sim/registry_store.h"
#include "testsupport/child_process.h"
#include "testsupport/scratch_machine.h"

namespace {

using testsupport::runProgram;

class SimhostRegistryTest : public ::testing::Test {
  protected:
    testsupport::ScratchMachine machine;

    testsupport::ProgramResult simhost(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--machine", machine.file().string()});
        return runProgram(SIMHOST_PATH, args, {}, input);
    }

    std::filesystem::path writeFile(const std::string& name, const std::string& text) {
        const auto path = machine.folder() / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::size_t valueCount(std::string_view path) {
        auto store = machine.open();
        auto key = sim::reg::findKey(*store, *sim::reg::hiveRoot(*store, sim::reg::Hive::LocalMachine), path);
        std::size_t count = 0;
        if (!key)
            return 0;
        count += sim::reg::values(*store, *key).size();
        for (const auto& [child, name] : sim::reg::subkeys(*store, *key)) {
            count += sim::reg::values(*store, child).size();
        }
        return count;
    }
};

// A .reg file of `keys` keys with `values` DWORDs each, below HKLM\<top>.
std::string largeRegFile(const std::string& top, int keys, int values) {
    std::string text = "REGEDIT4\n\n";
    for (int k = 0; k < keys; ++k) {
        text += "[HKEY_LOCAL_MACHINE\\" + top + "\\Cfg" + std::to_string(k) + "]\n";
        for (int v = 0; v < values; ++v) text += "\"Value" + std::to_string(v) + "\"=dword:0000002a\n";
    }
    return text;
}

TEST_F(SimhostRegistryTest, SetGetDeleteAndExportWorkFromTheCommandLine) {
    EXPECT_EQ(simhost({"reg", "set", "HKLM\\SOFTWARE\\Vessra", "Count", "dword", "0x2a"}).exitCode, 0);
    EXPECT_EQ(simhost({"reg", "set", "HKLM\\SOFTWARE\\Vessra", "@", "sz", "default"}).exitCode, 0);
    EXPECT_EQ(
        simhost({"reg", "set", "HKLM\\SOFTWARE\\Vessra", "Ids", "multi_sz", "PCI\\A", "PCI\\B"}).exitCode, 0);
    EXPECT_EQ(simhost({"reg", "set", "HKLM\\SOFTWARE\\Vessra", "Raw", "binary", "00ff"}).exitCode, 0);

    auto got = simhost({"reg", "get", "hklm\\software\\vessra", "count"});
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, "\"Count\"=dword:0000002a\n");
    got = simhost({"reg", "get", "HKLM\\SOFTWARE\\Vessra"});
    EXPECT_EQ(got.out,
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vessra]\n\"Count\"=dword:0000002a\n@=\"default\"\n"
              "\"Ids\"=hex(7):50,43,49,5c,41,00,50,43,49,5c,42,00,00\n\"Raw\"=hex:00,ff\n");

    EXPECT_EQ(simhost({"reg", "delete", "HKLM\\SOFTWARE\\Vessra", "Raw"}).exitCode, 0);
    const auto exported = simhost({"reg", "export", "HKLM\\SOFTWARE"});
    EXPECT_EQ(exported.exitCode, 0);
    EXPECT_EQ(exported.out.find("Raw"), std::string::npos);
    EXPECT_NE(exported.out.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vessra]"), std::string::npos);

    EXPECT_EQ(simhost({"reg", "delete", "HKLM\\SOFTWARE"}).exitCode, 0);
    EXPECT_EQ(simhost({"reg", "get", "HKLM\\SOFTWARE\\Vessra"}).exitCode, 1);
}

TEST_F(SimhostRegistryTest, BadInputGetsAMessageAndANonZeroExit) {
    const auto malformed =
        writeFile("bad.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"ok\"=\"1\"\n\"v\"=dword:xyz\n");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"reg", "get", "HKLM\\No\\Such"}, 1, "cannot find"},
        {{"reg", "get", "HKLM\\SOFTWARE", "Missing"}, 1, "cannot find"},
        {{"reg", "set", "HKLM\\A", "v", "qword", "1"}, 2, "unknown type qword"},
        {{"reg", "set", "HKLM\\A", "v", "dword", "12x"}, 2, "not a 32-bit number"},
        {{"reg", "set", "HKLM\\A", "v", "binary", "abc"}, 2, "not a list of hex bytes"},
        {{"reg", "set", "HKCU\\A", "v", "sz", "x"}, 2, "does not start with"},
        {{"reg", "delete", "HKLM\\No\\Such"}, 1, "cannot find"},
        {{"reg", "delete", "HKLM"}, 1, "hive itself"},
        {{"reg", "import", (machine.folder() / "missing.reg").string()}, 1, "cannot read"},
        {{"reg", "import", malformed.string()}, 1, "line 4"},
        {{"reg", "export", "HKLM\\No\\Such"}, 1, "no such key"},
        {{"reg", "frobnicate"}, 2, "expected get|set|delete|export|import"},
        {{"nonsense"}, 2, "unknown command"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const auto result = simhost(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_EQ(valueCount("A"), 0u);  // the malformed import wrote nothing, not even its good first line
}

TEST_F(SimhostRegistryTest, TwoProcessesImportingAtOnceBothLand) {
    const auto first = writeFile("first.reg", largeRegFile("First", 40, 45));
    const auto second = writeFile("second.reg", largeRegFile("Second", 40, 45));
    const std::vector<std::string> prefix = {"--machine", machine.file().string(), "reg", "import"};
    auto args = [&](const std::filesystem::path& file) {
        auto all = prefix;
        all.push_back(file.string());
        return all;
    };
    const pid_t a = testsupport::startProgram(SIMHOST_PATH, args(first));
    const pid_t b = testsupport::startProgram(SIMHOST_PATH, args(second));
    EXPECT_EQ(testsupport::waitProgram(a), 0);
    EXPECT_EQ(testsupport::waitProgram(b), 0);
    EXPECT_EQ(valueCount("First"), 40u * 45u);
    EXPECT_EQ(valueCount("Second"), 40u * 45u);
}

TEST_F(SimhostRegistryTest, AnImportKilledMidwayLeavesAllOrNothing) {
    constexpr int kKeys = 300;
    constexpr int kValues = 100;
    const auto file = writeFile("large.reg", largeRegFile("Large", kKeys, kValues));
    const std::vector<std::string> args = {"--machine", machine.file().string(), "reg", "import",
                                           file.string()};

    // Time one full import to know where "midway" is.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(testsupport::waitProgram(testsupport::startProgram(SIMHOST_PATH, args)), 0);
    const auto full = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(valueCount("Large"), static_cast<std::size_t>(kKeys * kValues));

    int killedMidway = 0;
    for (int tenth = 2; tenth <= 8; tenth += 2) {
        testsupport::ScratchMachine fresh;
        auto freshArgs = args;
        freshArgs[1] = fresh.file().string();
        const pid_t child = testsupport::startProgram(SIMHOST_PATH, freshArgs);
        std::this_thread::sleep_for(full * tenth / 10);
        ::kill(child, SIGKILL);
        const int status = testsupport::waitProgram(child);
        if (status == -SIGKILL)
            ++killedMidway;

        auto store = fresh.open();  // the store must open after the crash
        const auto root = *sim::reg::hiveRoot(*store, sim::reg::Hive::LocalMachine);
        std::size_t count = 0;
        if (auto top = sim::reg::findKey(*store, root, "Large")) {
            for (const auto& [child_key, name] : sim::reg::subkeys(*store, *top)) {
                count += sim::reg::values(*store, child_key).size();
            }
        }
        EXPECT_TRUE(count == 0 || count == static_cast<std::size_t>(kKeys * kValues))
            << "partial import after kill at " << tenth << "/10: " << count << " values";
    }
    EXPECT_GT(killedMidway, 0) << "every import finished before it could be killed";
}

}  // namespace
