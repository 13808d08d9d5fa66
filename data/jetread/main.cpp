// peltavo-jetread: reads one table, or the names of the tables, of a Jet database for the
// program, in a process of its own that may do little else (see confinement.h). The program
// starts it (jetreader.cpp) with:
//   fd 0     the database, opened read-only
//   fd 1     where the report goes (jetprotocol.h)
//   fd 3, 4  for `table`: empty memory files for the table's text and cells
// and the arguments
//   peltavo-jetread tables|table NAME --memory BYTES --cpu SECONDS [--jet3]
// --jet3 says that the file looked like an Access 97 file when the program opened it.
// It exits 0 once its report is written (a table, the names, or why the file cannot be read);
// anything else is a failure of the reader itself.
#include "confinement.h"
#include "jetfile.h"
#include "jetprotocol.h"
#include "tablebuffer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace peltavo::jet;

#if defined(__SANITIZE_ADDRESS__)
#define PELTAVO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELTAVO_UNDER_ASAN 1
#endif
#endif

#ifdef PELTAVO_UNDER_ASAN
// LeakSanitizer looks for leaks at exit from a new thread that stops this one with ptrace, which
// the confinement forbids; the reading's leaks are the fuzzer's to find, in a process of its own.
extern "C" int __lsan_is_turned_off() {
    return 1;
}
#endif

namespace {

int usage() {
    std::fputs("usage: peltavo-jetread tables|table NAME --memory BYTES --cpu SECONDS [--jet3]\n"
               "(started by Peltavo with the database on fd 0)\n",
               stderr);
    return 64;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

Report fault(FaultKind kind, std::string detail) {
    Report r;
    r.kind = Report::Kind::Fault;
    r.fault = kind;
    r.detail = std::move(detail);
    return r;
}

// The file's bytes, mapped read-only; empty for an empty file.
struct Mapping {
    void* data = MAP_FAILED;
    std::size_t size = 0;
    ~Mapping() {
        if (data != MAP_FAILED)
            ::munmap(data, size);
    }
};

} // namespace

int main(int argc, char** argv) {
    bool names = false;
    std::string table;
    ReaderLimits limits;
    bool jet3 = false;
    int i = 1;
    if (i < argc && std::string_view(argv[i]) == "tables") {
        names = true;
        ++i;
    } else if (i + 1 < argc && std::string_view(argv[i]) == "table") {
        table = argv[i + 1];
        i += 2;
    } else {
        return usage();
    }
    for (; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--jet3") {
            jet3 = true;
        } else if ((a == "--memory" || a == "--cpu") && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long long value = std::strtoull(argv[++i], &end, 10);
            if (!end || *end != '\0')
                return usage();
            if (a == "--memory")
                limits.memoryBytes = value;
            else
                limits.cpuSeconds = static_cast<unsigned>(value);
        } else {
            return usage();
        }
    }

    // Everything that needs files of the system is done before the confinement; the database's
    // bytes are only mapped, not read.
    JetFile::prepareConversions(jet3);
    struct stat st {};
    if (::fstat(kDatabaseFd, &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fputs("peltavo-jetread: fd 0 is not the database file\n", stderr);
        return 66;
    }
    Mapping file;
    file.size = static_cast<std::size_t>(st.st_size);
    if (file.size > 0) {
        file.data = ::mmap(nullptr, file.size, PROT_READ, MAP_PRIVATE, kDatabaseFd, 0);
        if (file.data == MAP_FAILED) {
            std::perror("peltavo-jetread: mmap");
            return 71;
        }
    }
    const std::string confined = confineReader(limits);
    if (!confined.empty()) {
        std::fprintf(stderr, "peltavo-jetread: cannot confine itself: %s\n", confined.c_str());
        return 71;
    }

    Report report;
    try {
        if (file.size == 0)
            throw Fault(FaultKind::NotJet, "an empty file");
        // The pages of the file read so far leave this process's memory now and then; the
        // kernel keeps them cached.
        JetFile db(Bytes(static_cast<const std::uint8_t*>(file.data), file.size),
                   [&] { ::madvise(file.data, file.size, MADV_DONTNEED); });
        if (names) {
            report.kind = Report::Kind::Names;
            report.names = db.tableNames();
        } else {
            GrowingBuffer text(kTextFd);
            GrowingBuffer cells(kCellsFd);
            TableShape shape = db.readTable(table, text, cells);
            report.kind = Report::Kind::Table;
            report.table = std::move(shape.name);
            report.columns = std::move(shape.columns);
            report.units = text.size() / sizeof(char16_t);
            report.rows = shape.rows;
        }
    } catch (const Fault& f) {
        report = fault(f.kind(), f.what());
    } catch (const std::bad_alloc&) {
        report = fault(FaultKind::OutOfMemory, std::string());
    }
    return writeAll(kReportFd, encodeReport(report)) ? 0 : 74;
}
