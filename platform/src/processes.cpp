#include "platform/processes.h"

#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

std::string readFirstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The kernel's short name (comm) is the file name that was started, cut to 15 characters. A script
// runs under its interpreter, so the executable link names the interpreter; then the argument
// whose file name begins with comm is the script. Otherwise the executable's file name is the answer.
std::string exeNameOf(const std::filesystem::path& folder) {
    const std::string comm = readFirstLine(folder / "comm");
    std::error_code error;
    const std::string exe = baseName(std::filesystem::read_symlink(folder / "exe", error).string());
    if (!error && !exe.empty() && exe.starts_with(comm))
        return exe;
    std::ifstream in(folder / "cmdline", std::ios::binary);
    std::string argument;
    while (std::getline(in, argument, '\0')) {
        const std::string name = baseName(argument);
        if (!comm.empty() && name.starts_with(comm))
            return name;
    }
    return comm;
}

int parentOf(const std::filesystem::path& folder) {
    // stat: "pid (comm) state ppid ..."; comm may hold spaces and parentheses, so start after the last ')'.
    const std::string stat = readFirstLine(folder / "stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(stat.substr(close + 1));
    std::string state;
    int parent = 0;
    rest >> state >> parent;
    return parent;
}

}  // namespace

Error listProcesses(std::vector<ProcessEntry>& out) {
    std::error_code error;
    std::filesystem::directory_iterator entries("/proc", error);
    if (error)
        return Error::AccessDenied;
    std::vector<ProcessEntry> list;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        int pid = 0;
        const auto [end, parsed] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (parsed != std::errc() || end != name.data() + name.size())
            continue;
        ProcessEntry process{pid, parentOf(entry.path()), exeNameOf(entry.path())};
        if (process.exeName.empty())
            continue;  // it ended meanwhile
        list.push_back(std::move(process));
    }
    out = std::move(list);
    return Error::Success;
}

}  // namespace platform
