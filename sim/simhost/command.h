#pragma once
// One simhost command group: its words after the group name, and where it writes.

#include <iosfwd>
#include <string>
#include <vector>

namespace simhost {

// Exit codes of every command.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;  // the machine refused or lacks what was named
inline constexpr int kUsage = 2;   // the command line itself is wrong

struct Invocation {
    std::vector<std::string> args;  // the words after the group name
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

int runNew(const Invocation& call);
int runRegistry(const Invocation& call);
int runShow(const Invocation& call);
int runDevice(const Invocation& call);
int runService(const Invocation& call);
int runRadioKey(const Invocation& call);
int runWmi(const Invocation& call);
int runNetwork(const Invocation& call);
int runQuery(const Invocation& call);
int runSet(const Invocation& call);
int runJournal(const Invocation& call);
int runFault(const Invocation& call);

}  // namespace simhost
