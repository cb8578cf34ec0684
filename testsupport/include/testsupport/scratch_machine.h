#pragma once
// A machine file in a fresh temporary folder, removed with the folder at the end of the test; the
// process's platform layer is pointed at it for the test's lifetime.

#include <filesystem>

#include "sim/machine.h"

namespace testsupport {

class ScratchMachine {
  public:
    // Builds a machine of the given spec; with build = false the file is left for the test to make.
    explicit ScratchMachine(const sim::MachineSpec& spec = {}, bool build = true);
    ~ScratchMachine();
    ScratchMachine(const ScratchMachine&) = delete;
    ScratchMachine& operator=(const ScratchMachine&) = delete;

    const std::filesystem::path& file() const { return m_file; }
    const std::filesystem::path& folder() const { return m_folder; }
    // A store connection of its own, for looking behind the platform layer.
    std::unique_ptr<sim::Store> open() const;

  private:
    std::filesystem::path m_folder;
    std::filesystem::path m_file;
};

}  // namespace testsupport
