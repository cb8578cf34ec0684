#pragma once
// Runs one of the suite's programs as a child process and collects what it printed.

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct ProgramResult {
    int exitCode = -1;  // -1 when the child was killed by a signal
    std::string out;
    std::string err;
};

// Runs program with args, feeding `input` on its standard input; `environment` entries are added
// to (or replace) the test's own environment.
ProgramResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment = {},
                         const std::string& input = {});

// Starts a child without waiting; its output goes to /dev/null.
pid_t startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& environment = {});

// Waits for a started child; returns its exit code, or -signal when a signal ended it.
int waitProgram(pid_t pid);

}  // namespace testsupport
