#include "platform/single_instance.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/machine.h"
#include "testsupport/scratch_machine.h"

namespace platform {
namespace {

constexpr std::string_view kName = "Generic_sennet_vizuZIZ_WLAN_Utility";

// A child process that takes the name, says so through a pipe and then waits to be killed.
pid_t startHolder(std::string_view name) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        SingleInstance holder;
        const char answer = SingleInstance::acquire(name, holder) == Error::Success ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        while (true) ::pause();
    }
    ::close(ready[1]);
    char answer = 0;
    const bool told = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
    if (!told) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

TEST(SingleInstance, ASecondCopyIsRefusedWhileTheFirstRunsAndAllowedAfterItWasKilled) {
    testsupport::ScratchMachine machine;
    const pid_t first = startHolder(kName);
    ASSERT_GT(first, 0);

    SingleInstance second;
    EXPECT_EQ(SingleInstance::acquire(kName, second), Error::AlreadyExists);
    EXPECT_FALSE(second.holds());
    SingleInstance otherName;
    EXPECT_EQ(SingleInstance::acquire("Morvik_sennet_Setup", otherName), Error::Success);

    {  // The same name on another machine file is another name.
        testsupport::ScratchMachine otherMachine;
        SingleInstance elsewhere;
        EXPECT_EQ(SingleInstance::acquire(kName, elsewhere), Error::Success);
    }
    useMachineFile(machine.file());

    ASSERT_EQ(::kill(first, SIGKILL), 0);
    ASSERT_EQ(::waitpid(first, nullptr, 0), first);
    EXPECT_EQ(SingleInstance::acquire(kName, second), Error::Success);
    EXPECT_TRUE(second.holds());

    // Within one process the name is held by one holder at a time too, until it is destroyed.
    SingleInstance third;
    EXPECT_EQ(SingleInstance::acquire(kName, third), Error::AlreadyExists);
    second = SingleInstance();
    EXPECT_EQ(SingleInstance::acquire(kName, third), Error::Success);
    EXPECT_EQ(SingleInstance::acquire("", third), Error::InvalidParameter);
}

}  // namespace
}  // namespace platform
