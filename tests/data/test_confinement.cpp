// What the Jet reader may still do once confined: each case runs in a child process that confines
// itself as the reader does and then tries one thing. Reading what it holds, managing its memory,
// writing its report and growing its memory files work; opening files, the network, new
// processes and programs, writing elsewhere and executable memory do not.
#include "confinement.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace peltavo::jet;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAsan = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAsan = true;
#else
constexpr bool kUnderAsan = false;
#endif
#else
constexpr bool kUnderAsan = false;
#endif

enum class Outcome { Allowed, Refused };

// Runs `attempt` in a confined child: it gives true when the call did what was asked. A child
// ended by SIGSYS was refused by the filter; one whose call failed was refused softly.
Outcome confinedChild(const std::function<bool()>& attempt, std::string* note) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The reader's descriptors: the report (1) and two memory files (3, 4).
        const int memory = static_cast<int>(::syscall(SYS_memfd_create, "t", 0));
        ::dup2(memory, kTextFd);
        ::dup2(memory, kCellsFd);
        ::dup2(memory, 7); // one the reader was not meant to get

        // The address space this process has, and 64 MiB more.
        unsigned long long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%llu", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const auto limit =
            pages * static_cast<unsigned long long>(::sysconf(_SC_PAGESIZE)) + (64ull << 20);
        const std::string failed = confineReader(ReaderLimits{limit, 10});
        if (!failed.empty())
            ::_exit(3);
        ::_exit(attempt() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) {
        *note = std::string("signal ") + ::strsignal(WTERMSIG(status));
        return WTERMSIG(status) == SIGSYS ? Outcome::Refused : Outcome::Allowed;
    }
    *note = "exit " + std::to_string(WEXITSTATUS(status));
    EXPECT_NE(WEXITSTATUS(status), 3) << "the child could not confine itself";
    return WEXITSTATUS(status) == 0 ? Outcome::Allowed : Outcome::Refused;
}

struct Attempt {
    const char* name;
    std::function<bool()> attempt;
    Outcome expected;
};

class Confinement : public ::testing::TestWithParam<Attempt> {};

TEST_P(Confinement, AllowsOnlyWhatReadingNeeds) {
    std::string note;
    EXPECT_EQ(confinedChild(GetParam().attempt, &note), GetParam().expected) << note;
}

char* const kNoArguments[] = {const_cast<char*>("true"), nullptr};

INSTANTIATE_TEST_SUITE_P(
    Calls, Confinement,
    ::testing::Values(
        Attempt{"writeStandardError", [] { return ::write(2, "", 0) == 0; }, Outcome::Allowed},
        Attempt{"anonymousMemory",
                [] {
                    void* p = ::mmap(nullptr, 1 << 20, PROT_READ | PROT_WRITE,
                                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                    return p != MAP_FAILED && ::munmap(p, 1 << 20) == 0;
                },
                Outcome::Allowed},
        Attempt{"growMemoryFile", [] { return ::ftruncate(kTextFd, 1 << 20) == 0; },
                Outcome::Allowed},
        Attempt{"readExistingFile",
                [] { return ::open("/etc/hostname", O_RDONLY) >= 0 || errno != EACCES; },
                Outcome::Refused},
        Attempt{
            "createFile",
            [] { return ::open("/tmp/peltavo-confinement-test", O_WRONLY | O_CREAT, 0600) >= 0; },
            Outcome::Refused},
        Attempt{"network", [] { return ::socket(AF_INET, SOCK_STREAM, 0) >= 0; }, Outcome::Refused},
        Attempt{"newProcess", [] { return ::fork() >= 0; }, Outcome::Refused},
        Attempt{"runProgram",
                [] {
                    ::execv("/bin/true", kNoArguments);
                    return false;
                },
                Outcome::Refused},
        Attempt{"writeAMemoryFile", [] { return ::write(kTextFd, "x", 1) == 1; }, Outcome::Refused},
        Attempt{"executableMemory",
                [] {
                    return ::mmap(nullptr, 4096, PROT_READ | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS,
                                  -1, 0) != MAP_FAILED;
                },
                Outcome::Refused},
        Attempt{"inheritedDescriptor",
                [] {
                    char c;
                    return ::read(7, &c, 0) == 0;
                },
                Outcome::Refused}),
    [](const auto& info) { return std::string(info.param.name); });

// The memory limit holds (not under AddressSanitizer, whose shadow memory needs the address space;
// there the program's watch on the reader's memory stands alone).
TEST(Confinement, MemoryBeyondTheLimitIsRefused) {
    if (kUnderAsan)
        GTEST_SKIP() << "the address space is not limited under AddressSanitizer";
    std::string note;
    EXPECT_EQ(confinedChild(
                  [] {
                      void* p = ::mmap(nullptr, 128ull << 20, PROT_READ | PROT_WRITE,
                                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                      return p != MAP_FAILED;
                  },
                  &note),
              Outcome::Refused)
        << note;
}

} // namespace
