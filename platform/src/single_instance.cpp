#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/machine.h"

namespace platform {

namespace {

std::filesystem::path lockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path base =
        runtime && *runtime ? runtime : std::filesystem::temp_directory_path().string();
    return base / ("vessra-instances-" + std::to_string(::getuid()));
}

// FNV-1a: stable across builds, so every program of the suite finds the same file.
std::uint64_t stableHash(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ULL;
    return hash;
}

// Names may hold any character: the file name carries a readable part and a hash of the whole.
std::string lockFileName(std::string_view name) {
    std::filesystem::path machine = machineFile();
    std::error_code ignored;
    const auto canonical = std::filesystem::weakly_canonical(machine, ignored);
    if (!canonical.empty())
        machine = canonical;
    std::string readable;
    for (char c : name.substr(0, 40)) readable += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    const std::uint64_t hash = stableHash(machine.string() + '\n' + std::string(name));
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "-%016llx.lock", static_cast<unsigned long long>(hash));
    return readable + suffix;
}

}  // namespace

SingleInstance::~SingleInstance() {
    if (m_fd >= 0)
        ::close(m_fd);
}

SingleInstance::SingleInstance(SingleInstance&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

SingleInstance& SingleInstance::operator=(SingleInstance&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

Error SingleInstance::acquire(std::string_view name, SingleInstance& out) {
    if (name.empty())
        return Error::InvalidParameter;
    const std::filesystem::path folder = lockFolder();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Error::AccessDenied;
    // In a shared temporary folder someone else could have made the folder first: use only our own.
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        return Error::AccessDenied;
    }
    const std::filesystem::path file = folder / lockFileName(name);
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Error::AccessDenied;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        ::close(fd);
        return reason == EWOULDBLOCK ? Error::AlreadyExists : Error::AccessDenied;
    }
    SingleInstance holder;
    holder.m_fd = fd;
    out = std::move(holder);
    return Error::Success;
}

}  // namespace platform
