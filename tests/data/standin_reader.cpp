// A stand-in for peltavo-jetread that misbehaves as a reader might on a hostile file. It is started
// exactly as the real reader is (the database on fd 0, the report on fd 1, the memory files on
// fds 3 and 4) and does what the name it is started under says:
//   crash       dies of a segmentation fault
//   hang        sleeps for ever
//   spin        computes for ever
//   eat         takes memory without end
//   silent      ends with exit code 3 and no report
//   garbled     ends with a report that is not one
//   overclaim   reports a table with more text than it wrote
//   backwards   writes a table whose cells go back into the text
//   remap       keeps writing into the table's text after its report
// Built without sanitizers: it stands for the reader's behaviour, not for code under test.
#include "jetprotocol.h"

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

using namespace peltavo::jet;

namespace {

void writeReport(const Report& r) {
    const std::string bytes = encodeReport(r);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(1, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            std::exit(5);
        done += static_cast<std::size_t>(n);
    }
}

// A one-column table of `rows` cells over `units` units of text, as given.
Report table(std::uint64_t rows, std::uint64_t units) {
    Report r;
    r.kind = Report::Kind::Table;
    r.table = "konus";
    r.columns = {ColumnShape{"ikonus", peltavo::ColumnType::Memo, 255}};
    r.rows = rows;
    r.units = units;
    return r;
}

void writeFile(int fd, const void* bytes, std::size_t size) {
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0 ||
        ::pwrite(fd, bytes, size, 0) != static_cast<ssize_t>(size))
        std::exit(6);
}

} // namespace

int main(int, char** argv) {
    std::string_view name = argv[0];
    name = name.substr(name.rfind('/') + 1);
    if (name == "crash") {
        std::raise(SIGSEGV);
    } else if (name == "hang") {
        for (;;)
            ::pause();
    } else if (name == "spin") {
        volatile unsigned long n = 0;
        for (;;)
            n = n + 1;
    } else if (name == "eat") {
        for (;;) {
            const std::size_t chunk = 8 << 20;
            void* p =
                ::mmap(nullptr, chunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED)
                ::pause();
            std::memset(p, 1, chunk);
        }
    } else if (name == "silent") {
        return 3;
    } else if (name == "garbled") {
        writeReport(table(1, 1));
        (void)::write(1, "x", 1);
        return 0;
    } else if (name == "overclaim") {
        const char16_t text[] = u"abc";
        const std::uint64_t cells[] = {3};
        writeFile(3, text, 6);
        writeFile(4, cells, 8);
        writeReport(table(1, 4));
        return 0;
    } else if (name == "backwards") {
        const char16_t text[] = u"abcd";
        const std::uint64_t cells[] = {3, 1};
        writeFile(3, text, 8);
        writeFile(4, cells, 16);
        writeReport(table(2, 4));
        return 0;
    } else if (name == "remap") {
        // The text stays mapped for writing after the report, in a process that lives on: the
        // program must not take memory that can still change under it.
        const char16_t text[] = u"abcd";
        const std::uint64_t cells[] = {4};
        writeFile(3, text, 8);
        writeFile(4, cells, 8);
        void* p = ::mmap(nullptr, 8, PROT_READ | PROT_WRITE, MAP_SHARED, 3, 0);
        if (p == MAP_FAILED)
            return 7;
        if (::fork() == 0) { // a child that outlives the reader a while, holding the mapping
            ::close(1);
            ::alarm(10);
            for (;;)
                ::pause();
        }
        writeReport(table(1, 4));
        return 0;
    }
    return 2;
}
