#pragma once
// A machine file in a fresh temporary folder for one benchmark; the platform layer is pointed at it,
// and the folder goes with the object.

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/machine.h"

class ScratchMachineFile {
  public:
    ScratchMachineFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vessra-bench-XXXXXX").string();
        m_folder = ::mkdtemp(pattern.data());
        platform::useMachineFile(m_folder / "machine.db");
    }
    ~ScratchMachineFile() { std::filesystem::remove_all(m_folder); }
    ScratchMachineFile(const ScratchMachineFile&) = delete;
    ScratchMachineFile& operator=(const ScratchMachineFile&) = delete;

  private:
    std::filesystem::path m_folder;
};
