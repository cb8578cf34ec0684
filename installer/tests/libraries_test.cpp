// pellick and harbek, loaded the way an outside caller loads them, against scratch machines.

#include <dlfcn.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "installer_machines.h"
#include "sim/device_store.h"
#include "sim/machine.h"
#include "testsupport/child_process.h"
#include "testsupport/scratch_machine.h"

namespace {

using installer_test::kAdapterId;

class LoadedLibrary {
  public:
    explicit LoadedLibrary(const char* path) : m_handle(::dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
        if (!m_handle)
            ADD_FAILURE() << ::dlerror();
    }
    ~LoadedLibrary() {
        if (m_handle)
            ::dlclose(m_handle);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    template <typename Function>
    Function* symbol(const char* name) const {
        return m_handle ? reinterpret_cast<Function*>(::dlsym(m_handle, name)) : nullptr;
    }

  private:
    void* m_handle;
};

// The libraries find their machine the way they would in a caller's process: SIMHOST_MACHINE.
class MachineEnvironment {
  public:
    explicit MachineEnvironment(const std::filesystem::path& file) {
        ::setenv("SIMHOST_MACHINE", file.c_str(), 1);
    }
    ~MachineEnvironment() { ::unsetenv("SIMHOST_MACHINE"); }
};

using FindExistingDevice = int();
using LocateDevNode = int(std::uint32_t*, const char*, std::uint32_t);
using ReenumerateDevNode = int(std::uint32_t, std::uint32_t);

TEST(Pellick, FindsTheAdapterByTheFirstStringOfItsIdentifierList) {
    const LoadedLibrary pellick(PELLICK_PATH);
    auto* findExistingDevice = pellick.symbol<FindExistingDevice>("FindExistingDevice");
    ASSERT_NE(findExistingDevice, nullptr);

    struct Case {
        const char* what;
        sim::MachineSpec spec;
        std::function<void(sim::Store&)> change;
        int expected;
    };
    const auto replaceAdapterIds = [](std::vector<std::string> ids) {
        return [ids](sim::Store& store) {
            for (const auto& adapter : installer_test::presentAdapters(store)) {
                installer_test::setHardwareIds(store, adapter, ids);
            }
        };
    };
    const std::vector<Case> cases = {
        {"adapter present", {}, {}, 1},
        {"adapter disabled is still present", {.adapter = sim::AdapterSetup::Disabled}, {}, 1},
        {"Windows 98 SE", {.system = sim::SystemKind::Windows98SE}, {}, 1},
        {"no adapter at all", {.adapter = sim::AdapterSetup::Absent}, {}, 0},
        {"identifier only as the second string",
         {},
         replaceAdapterIds({"PCI\\VEN_168C&DEV_0013", kAdapterId}),
         0},
        {"identifier with a longer revision", {}, replaceAdapterIds({std::string(kAdapterId) + "1"}), 1},
        {"removed adapter",
         {},
         [](sim::Store& store) {
             for (const auto& adapter : installer_test::presentAdapters(store))
                 sim::dev::setPresent(store, adapter, false);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::ScratchMachine machine(c.spec);
        if (c.change)
            c.change(*machine.open());
        const MachineEnvironment environment(machine.file());
        EXPECT_EQ(findExistingDevice(), c.expected);
    }

    // A machine that cannot be opened: the enumeration never completes, so the answer is "present".
    const MachineEnvironment unreachable("/proc/no-such-folder/machine.db");
    EXPECT_EQ(findExistingDevice(), 1);
}

TEST(Harbek, WrapsLocateAndReenumerateAsAPlainFlag) {
    const LoadedLibrary harbek(HARBEK_PATH);
    auto* locate = harbek.symbol<LocateDevNode>("My_CM_Locate_DevNode");
    auto* reenumerate = harbek.symbol<ReenumerateDevNode>("My_CM_Reenumerate_DevNode");
    ASSERT_NE(locate, nullptr);
    ASSERT_NE(reenumerate, nullptr);

    testsupport::ScratchMachine machine;
    const std::string adapter = installer_test::presentAdapters(*machine.open()).at(0);
    const MachineEnvironment environment(machine.file());

    std::uint32_t devInst = 0;
    EXPECT_EQ(locate(&devInst, adapter.c_str(), 0), 1);
    EXPECT_NE(devInst, 0u);
    EXPECT_EQ(reenumerate(devInst, 0), 1);

    std::uint32_t untouched = 0;
    EXPECT_EQ(locate(&untouched, "PCI\\VEN_1234&DEV_5678\\0", 0), 0);
    EXPECT_EQ(locate(nullptr, adapter.c_str(), 0), 0);
    EXPECT_EQ(locate(&untouched, adapter.c_str(), 0x80), 0);  // unknown flag bits

    sim::dev::setPresent(*machine.open(), adapter, false);
    EXPECT_EQ(locate(&untouched, adapter.c_str(), 0), 0);
    EXPECT_EQ(reenumerate(devInst, 0), 0);

    const MachineEnvironment unreachable("/proc/no-such-folder/machine.db");
    EXPECT_EQ(locate(&untouched, adapter.c_str(), 0), 0);
    EXPECT_EQ(reenumerate(devInst, 0), 0);
}

std::set<std::string> exportedSymbols(const char* library) {
    const auto result =
        testsupport::runProgram("/usr/bin/nm", {"-D", "--defined-only", "--format=just-symbols", library});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::set<std::string> symbols;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty())
            symbols.insert(line);
    }
    return symbols;
}

TEST(ExportLists, EachLibraryExportsExactlyItsFunctions) {
    EXPECT_EQ(exportedSymbols(PELLICK_PATH), (std::set<std::string>{"FindExistingDevice"}));
    EXPECT_EQ(exportedSymbols(HARBEK_PATH),
              (std::set<std::string>{"My_CM_Locate_DevNode", "My_CM_Reenumerate_DevNode"}));
}

}  // namespace
