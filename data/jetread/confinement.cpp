#include "confinement.h"

#include <seccomp.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define PELTAVO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELTAVO_UNDER_ASAN 1
#endif
#endif

namespace peltavo::jet {

namespace {

struct FilterFree {
    void operator()(void* ctx) const { seccomp_release(ctx); }
};

std::string failed(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error < 0 ? -error : error);
}

// A test of argument `index` of a system call (libseccomp's SCMP_A0 and kin are C compound
// literals).
scmp_arg_cmp argument(unsigned index, scmp_compare op, scmp_datum_t a, scmp_datum_t b = 0) {
    scmp_arg_cmp test{};
    test.arg = index;
    test.op = op;
    test.datum_a = a;
    test.datum_b = b;
    return test;
}

bool setLimit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    return ::setrlimit(resource, &limit) == 0;
}

} // namespace

std::string confineReader(const ReaderLimits& limits) {
    // Nothing inherited beyond what the reader was given.
    if (::syscall(SYS_close_range, kCellsFd + 1, ~0U, 0) != 0) {
        for (int fd = kCellsFd + 1; fd < 1024; ++fd)
            ::close(fd);
    }
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        return failed("PR_SET_PDEATHSIG", errno);
    // (No limit on file sizes: the memory files the table goes into are files too.)
    if (!setLimit(RLIMIT_CORE, 0) || !setLimit(RLIMIT_NOFILE, kCellsFd + 1))
        return failed("setrlimit", errno);
#ifndef PELTAVO_UNDER_ASAN
    if (limits.memoryBytes > 0 && !setLimit(RLIMIT_AS, limits.memoryBytes))
        return failed("RLIMIT_AS", errno);
#endif
    if (limits.cpuSeconds > 0) {
        const rlimit cpu{limits.cpuSeconds, limits.cpuSeconds + 1};
        if (::setrlimit(RLIMIT_CPU, &cpu) != 0)
            return failed("RLIMIT_CPU", errno);
    }
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return failed("PR_SET_NO_NEW_PRIVS", errno);

#ifdef PELTAVO_UNDER_ASAN
    const std::uint32_t otherwise = SCMP_ACT_ERRNO(EPERM);
#else
    const std::uint32_t otherwise = SCMP_ACT_KILL_PROCESS;
#endif
    std::unique_ptr<void, FilterFree> filter(seccomp_init(otherwise));
    if (!filter)
        return "seccomp_init failed";
    void* f = filter.get();
    int rc = 0;
    auto allow = [&](int call) {
        if (rc == 0)
            rc = seccomp_rule_add(f, SCMP_ACT_ALLOW, call, 0);
    };
    auto allowIf = [&](int call, scmp_arg_cmp test) {
        if (rc == 0)
            rc = seccomp_rule_add(f, SCMP_ACT_ALLOW, call, 1, test);
    };

    // Computing and memory: never executable memory.
    allow(SCMP_SYS(brk));
    allowIf(SCMP_SYS(mmap), argument(2, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
    allowIf(SCMP_SYS(mprotect), argument(2, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
    allow(SCMP_SYS(munmap));
    allow(SCMP_SYS(mremap));
    allow(SCMP_SYS(madvise));
    allow(SCMP_SYS(futex));
    allow(SCMP_SYS(clock_gettime));
    allow(SCMP_SYS(gettimeofday));
    allow(SCMP_SYS(getpid));
    allow(SCMP_SYS(gettid));
    allowIf(SCMP_SYS(prlimit64), argument(2, SCMP_CMP_EQ, 0)); // reading limits only
    allow(SCMP_SYS(getrlimit));
    // What it holds open: read, never written but the report and standard error.
    allow(SCMP_SYS(read));
    allow(SCMP_SYS(pread64));
    allow(SCMP_SYS(lseek));
    allow(SCMP_SYS(fstat));
    allow(SCMP_SYS(newfstatat));
    allow(SCMP_SYS(close));
    allowIf(SCMP_SYS(write), argument(0, SCMP_CMP_EQ, kReportFd));
    allowIf(SCMP_SYS(write), argument(0, SCMP_CMP_EQ, STDERR_FILENO));
    allowIf(SCMP_SYS(ftruncate), argument(0, SCMP_CMP_EQ, kTextFd));
    allowIf(SCMP_SYS(ftruncate), argument(0, SCMP_CMP_EQ, kCellsFd));
    // Ending, abort() included (it signals only this process).
    allow(SCMP_SYS(exit));
    allow(SCMP_SYS(exit_group));
    allow(SCMP_SYS(rt_sigreturn));
    allow(SCMP_SYS(rt_sigprocmask));
    allow(SCMP_SYS(rt_sigaction));
    allow(SCMP_SYS(sigaltstack)); // AddressSanitizer asks for it whenever an exception is thrown
    allowIf(SCMP_SYS(tgkill), argument(0, SCMP_CMP_EQ, static_cast<scmp_datum_t>(::getpid())));
    // Opening anything fails softly: the C library asks for files of its own now and then.
    if (rc == 0)
        rc = seccomp_rule_add(f, SCMP_ACT_ERRNO(EACCES), SCMP_SYS(open), 0);
    if (rc == 0)
        rc = seccomp_rule_add(f, SCMP_ACT_ERRNO(EACCES), SCMP_SYS(openat), 0);
    if (rc != 0)
        return failed("seccomp_rule_add", rc);
    rc = seccomp_load(f);
    if (rc != 0)
        return failed("seccomp_load", rc);
    return {};
}

} // namespace peltavo::jet
