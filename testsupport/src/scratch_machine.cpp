#include "testsupport/scratch_machine.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/machine.h"

namespace testsupport {

ScratchMachine::ScratchMachine(const sim::MachineSpec& spec, bool build) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vessra-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_folder = pattern;
    m_file = m_folder / "machine.db";
    if (build) {
        sim::Store store(m_file);
        sim::buildMachine(store, spec);
    }
    platform::useMachineFile(m_file);
}

ScratchMachine::~ScratchMachine() {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::unique_ptr<sim::Store> ScratchMachine::open() const {
    return std::make_unique<sim::Store>(m_file);
}

}  // namespace testsupport
