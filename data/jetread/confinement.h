#pragma once

// The confinement of the Jet reader process: what it may still do once it starts reading a file
// that may come from anyone. No Qt.
#include <cstdint>
#include <string>

namespace peltavo::jet {

struct ReaderLimits {
    std::uint64_t memoryBytes = 0; // address space; 0 leaves it as it is
    unsigned cpuSeconds = 0;       // 0 leaves it as it is
};

// File descriptors the reader keeps: the database (read-only), its report, and the two memory
// files it writes the table into.
inline constexpr int kDatabaseFd = 0;
inline constexpr int kReportFd = 1;
inline constexpr int kTextFd = 3;
inline constexpr int kCellsFd = 4;

// Confines the calling process for good: it closes every file descriptor above kCellsFd, sets
// `limits` (and no core files, no new descriptors), ends with its parent, and
// installs a seccomp filter under which it may only compute, manage its memory, read what it has
// open, write its report and standard error, grow its two memory files and end. Opening a file
// fails with EACCES; any other system call (network, new processes, programs, writing files)
// ends the process with SIGSYS. Returns an empty text, or what could not be set up.
//
// Under AddressSanitizer the address space is left unlimited (the sanitizer reserves terabytes
// of it) and a system call outside the list fails with EPERM instead of ending the process, as
// the sanitizer's runtime makes calls of its own; the program's watch on the reader's memory still
// holds.
std::string confineReader(const ReaderLimits& limits);

} // namespace peltavo::jet
