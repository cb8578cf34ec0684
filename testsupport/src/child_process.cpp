#include "testsupport/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <stdexcept>

namespace testsupport {

namespace {

std::vector<char*> argumentVector(const std::filesystem::path& program, const std::vector<std::string>& args,
                                  std::vector<std::string>& storage) {
    storage.clear();
    storage.push_back(program.string());
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : storage) argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

// Runs in the child after fork: only async-signal-safe calls beyond this point besides setenv.
[[noreturn]] void execChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                            const std::map<std::string, std::string>& environment) {
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    std::vector<std::string> storage;
    std::vector<char*> argv = argumentVector(program, args, storage);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

}  // namespace

ProgramResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment, const std::string& input) {
    std::array<int, 2> inPipe{}, outPipe{}, errPipe{};
    if (::pipe2(inPipe.data(), O_CLOEXEC) || ::pipe2(outPipe.data(), O_CLOEXEC) ||
        ::pipe2(errPipe.data(), O_CLOEXEC)) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(inPipe[0], 0);
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        execChild(program, args, environment);
    }
    ::close(inPipe[0]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    // The input is small (a .reg file at most); a child that does not read it gets EPIPE, not us.
    std::size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = ::write(inPipe[1], input.data() + written, input.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    ::close(inPipe[1]);

    ProgramResult result;
    std::array<pollfd, 2> fds{{{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}}};
    int open = 2;
    while (open > 0) {
        ::poll(fds.data(), fds.size(), -1);
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            std::array<char, 4096> buffer{};
            const ssize_t n = ::read(fds[i].fd, buffer.data(), buffer.size());
            if (n <= 0) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
                continue;
            }
            (i == 0 ? result.out : result.err).append(buffer.data(), static_cast<std::size_t>(n));
        }
    }
    const int status = waitProgram(pid);
    result.exitCode = status < 0 ? -1 : status;
    return result;
}

pid_t startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& environment) {
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        execChild(program, args, environment);
    }
    return pid;
}

int waitProgram(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return -WTERMSIG(status);
}

}  // namespace testsupport
