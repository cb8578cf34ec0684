#pragma once
// One running copy per name: the first process that holds a name keeps it until the holder object
// is destroyed or the process ends in any way (also when it is killed); meanwhile every other
// process learns that it exists already. Names count per user and per machine file.
//
// Backed by an exclusive lock (flock) on a file named after the user, the machine file and the
// name, under $XDG_RUNTIME_DIR (or the temporary folder); the kernel drops the lock with the
// process. The descriptor is not inherited by programs the holder starts.

#include <string_view>

#include "platform/error.h"

namespace platform {

class SingleInstance {
  public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(SingleInstance&& other) noexcept;
    SingleInstance& operator=(SingleInstance&& other) noexcept;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Success: `out` now holds the name. Error::AlreadyExists: another process holds it.
    // Error::InvalidParameter for an empty name; Error::AccessDenied when no lock file can be made.
    static Error acquire(std::string_view name, SingleInstance& out);

    bool holds() const { return m_fd >= 0; }

  private:
    int m_fd = -1;
};

}  // namespace platform
