#include "jetreader.h"

#include "error.h"
#include "jetprotocol.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace peltavo {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::atomic<quint64> tablesReadSoFar{0};

std::mutex settingsMutex;
JetReader::Settings currentSettings;

constexpr quint64 kMiB = 1024 * 1024;
// How often the reader's memory is looked at while it works.
constexpr milliseconds kWatchEvery{20};

QString damaged(const QString& path, const QString& detail) {
    return QStringLiteral("The database '%1' cannot be read whole: %2").arg(path, detail);
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file descriptor of ours, closed when it goes.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

// A descriptor numbered above those the reader is given (0 to 4), so that placing them there
// never overwrites one not yet placed.
Fd above(Fd fd) {
    if (fd.get() > 9)
        return fd;
    return Fd(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 10));
}

// The database, opened read-only, with the messages the program has always given.
Fd openDatabase(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("Cannot open '%1': no such file").arg(path));
    if (info.isDir())
        throw Error(QStringLiteral("Cannot open '%1': it is a folder").arg(path));
    Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd) {
        QFile probe(path);
        probe.open(QIODevice::ReadOnly);
        throw Error(QStringLiteral("Cannot open '%1': %2").arg(path, probe.errorString()));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw Error(QStringLiteral("Cannot open '%1': it is not a file").arg(path));
    return fd;
}

QString readerProgram() {
    {
        const std::lock_guard lock(settingsMutex);
        if (!currentSettings.program.isEmpty())
            return currentSettings.program;
    }
    static const QString beside = [] {
        char exe[4096];
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        const QString self = n > 0 ? QFile::decodeName(QByteArray(exe, n)) : QString();
        return QFileInfo(self).absolutePath() + QStringLiteral("/peltavo-jetread");
    }();
    return beside;
}

// A memory file the reader fills and the program then maps.
struct TableMemory {
    Fd text;
    Fd cells;
};

Fd memoryFile(const char* name) {
    Fd fd(static_cast<int>(::syscall(SYS_memfd_create, name, MFD_CLOEXEC | MFD_ALLOW_SEALING)));
    if (!fd)
        throw Error(QStringLiteral("Cannot make room for a table: %1").arg(errnoText(errno)));
    return fd;
}

// The text and cells of a table, sealed and mapped read-only; unmapped when the last table using
// them goes.
class Mapped {
public:
    Mapped(const Mapped&) = delete;
    Mapped& operator=(const Mapped&) = delete;
    ~Mapped() {
        if (text_)
            ::munmap(text_, textBytes_);
        if (cells_)
            ::munmap(cells_, cellBytes_);
    }
    // Nullptr when the memory is not what the report says.
    static std::shared_ptr<Mapped> map(const TableMemory& memory, quint64 textBytes,
                                       quint64 cellBytes) {
        auto mapped = std::shared_ptr<Mapped>(new Mapped);
        if (!mapped->mapOne(memory.text, textBytes, &mapped->text_, &mapped->textBytes_) ||
            !mapped->mapOne(memory.cells, cellBytes, &mapped->cells_, &mapped->cellBytes_))
            return nullptr;
        return mapped;
    }
    const char16_t* text() const { return static_cast<const char16_t*>(text_); }
    const std::uint64_t* cells() const { return static_cast<const std::uint64_t*>(cells_); }

private:
    Mapped() = default;
    // The reader is gone, so nothing can write the file any more: it is sealed so that nothing
    // ever does, its size checked, and mapped.
    static bool mapOne(const Fd& fd, quint64 bytes, void** at, std::size_t* size) {
        constexpr int seals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL;
        struct stat st {};
        if (::fcntl(fd.get(), F_ADD_SEALS, seals) != 0 || ::fstat(fd.get(), &st) != 0 ||
            static_cast<quint64>(st.st_size) != bytes)
            return false;
        if (bytes == 0)
            return true;
        void* p = ::mmap(nullptr, bytes, PROT_READ, MAP_SHARED | MAP_POPULATE, fd.get(), 0);
        if (p == MAP_FAILED)
            return false;
        *at = p;
        *size = bytes;
        return true;
    }

    void* text_ = nullptr;
    std::size_t textBytes_ = 0;
    void* cells_ = nullptr;
    std::size_t cellBytes_ = 0;
};

// Resident memory of process `pid` in bytes, or 0 when it cannot be told.
quint64 residentBytes(pid_t pid) {
    char name[64];
    std::snprintf(name, sizeof name, "/proc/%d/statm", static_cast<int>(pid));
    Fd fd(::open(name, O_RDONLY | O_CLOEXEC));
    if (!fd)
        return 0;
    char text[128] = {};
    if (::read(fd.get(), text, sizeof text - 1) <= 0)
        return 0;
    unsigned long long size = 0;
    unsigned long long resident = 0;
    if (std::sscanf(text, "%llu %llu", &size, &resident) != 2)
        return 0;
    return resident * static_cast<quint64>(::sysconf(_SC_PAGESIZE));
}

// One run of the reader over one file. Throws peltavo::Error with the learner's message for
// anything but a report.
class ReaderRun {
public:
    ReaderRun(const QString& path, QString subject) : path_(path), subject_(std::move(subject)) {}

    jet::Report run(const Fd& database, const QStringList& arguments, const TableMemory* memory) {
        struct stat st {};
        ::fstat(database.get(), &st);
        const JetReader::Limits limits = JetReader::limitsFor(static_cast<quint64>(st.st_size));
        {
            const std::lock_guard lock(settingsMutex);
            time_ = currentSettings.timeLimit.value_or(limits.time);
            memory_ = currentSettings.memoryLimit.value_or(limits.memory);
        }
        const QString program = readerProgram();
        // The address space the reader may take: its memory twice over (a growing table is
        // mapped with room to spare), the file it maps, and its libraries.
        const quint64 addressSpace = 2 * memory_ + static_cast<quint64>(st.st_size) + 256 * kMiB;
        const auto cpuSeconds = static_cast<quint64>(time_.count() / 1000 + 1);
        std::vector<QByteArray> args{QFile::encodeName(program)};
        for (const QString& a : arguments)
            args.push_back(a.toUtf8());
        args.push_back("--memory");
        args.push_back(QByteArray::number(addressSpace));
        args.push_back("--cpu");
        args.push_back(QByteArray::number(cpuSeconds));
        unsigned char version = 0xff;
        if (::pread(database.get(), &version, 1, 0x14) == 1 && version == 0)
            args.push_back("--jet3");

        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0)
            throw Error(notStarted(program, errno));
        Fd reportRead(pipeFds[0]);
        Fd reportWrite = above(Fd(pipeFds[1]));
        Fd db = above(Fd(::fcntl(database.get(), F_DUPFD_CLOEXEC, 10)));
        Fd text;
        Fd cells;
        if (memory) {
            text = above(Fd(::fcntl(memory->text.get(), F_DUPFD_CLOEXEC, 10)));
            cells = above(Fd(::fcntl(memory->cells.get(), F_DUPFD_CLOEXEC, 10)));
        }
        const pid_t pid = spawn(program, args, db, reportWrite, text, cells);
        reportWrite.reset();
        db.reset();
        text.reset();
        cells.reset();
        const int status = watch(pid, reportRead);
        return judge(status);
    }

    // The messages of a reader that went wrong, naming the file and what it was reading.
    QString tookTooLong() const {
        const auto seconds = (time_.count() + 999) / 1000;
        return damaged(
            path_, subject_ + (seconds == 1
                                   ? QStringLiteral(" took longer than 1 second")
                                   : QStringLiteral(" took longer than %1 seconds").arg(seconds)));
    }
    QString neededTooMuch() const {
        return damaged(path_, subject_ + QStringLiteral(" needed more than %1 MiB of memory")
                                             .arg((memory_ + kMiB - 1) / kMiB));
    }
    QString garbled() const {
        return damaged(path_, subject_ + QStringLiteral(" gave an answer that makes no sense"));
    }

private:
    QString notStarted(const QString& program, int error) const {
        return QStringLiteral("The database '%1' cannot be read: its reader %2 cannot be started "
                              "(%3)")
            .arg(path_, program, errnoText(error));
    }

    pid_t spawn(const QString& program, const std::vector<QByteArray>& args, const Fd& db,
                const Fd& report, const Fd& text, const Fd& cells) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, db.get(), 0);
        posix_spawn_file_actions_adddup2(&actions, report.get(), 1);
        if (text)
            posix_spawn_file_actions_adddup2(&actions, text.get(), 3);
        if (cells)
            posix_spawn_file_actions_adddup2(&actions, cells.get(), 4);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        std::vector<char*> argv;
        for (const QByteArray& a : args)
            argv.push_back(const_cast<char*>(a.constData()));
        argv.push_back(nullptr);
        pid_t pid = -1;
        const int error = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0)
            throw Error(notStarted(program, error));
        return pid;
    }

    // Waits for the reader to end, reading its report meanwhile and stopping it when it goes past
    // its time or memory. Gives its wait status.
    int watch(pid_t pid, const Fd& reportRead) {
        const Clock::time_point start = Clock::now();
        Fd pidFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
        bool reportDone = false;
        int status = 0;
        for (;;) {
            pollfd fds[2];
            nfds_t count = 0;
            if (!reportDone)
                fds[count++] = pollfd{reportRead.get(), POLLIN, 0};
            if (pidFd)
                fds[count++] = pollfd{pidFd.get(), POLLIN, 0};
            ::poll(fds, count, static_cast<int>(kWatchEvery.count()));
            if (!reportDone)
                reportDone = readReport(reportRead);
            const pid_t ended = ::waitpid(pid, &status, WNOHANG);
            if (ended == pid || (ended < 0 && errno == ECHILD))
                break;
            if (stopped_ != Stop::None)
                continue;
            if (report_.size() > jet::kMaxReportBytes)
                stopped_ = Stop::Garbled;
            else if (Clock::now() - start > time_)
                stopped_ = Stop::Time;
            else if (residentBytes(pid) > memory_)
                stopped_ = Stop::Memory;
            if (stopped_ != Stop::None)
                ::kill(pid, SIGKILL);
        }
        // The reader is gone: all it wrote is in the pipe (something it left behind may hold the
        // pipe open, so nothing more is waited for).
        if (!reportDone && stopped_ == Stop::None)
            readReport(reportRead);
        return status;
    }

    // Reads what is there of the report without waiting; true at its end.
    bool readReport(const Fd& fd) {
        char chunk[65536];
        for (;;) {
            pollfd p{fd.get(), POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0)
                return false;
            const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return true;
            if (report_.size() <= jet::kMaxReportBytes)
                report_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    jet::Report judge(int status) const {
        switch (stopped_) {
        case Stop::Time:
            throw Error(tookTooLong());
        case Stop::Memory:
            throw Error(neededTooMuch());
        case Stop::Garbled:
            throw Error(garbled());
        case Stop::None:
            break;
        }
        if (WIFSIGNALED(status)) {
            const int signal = WTERMSIG(status);
            if (signal == SIGXCPU)
                throw Error(tookTooLong());
            if (signal == SIGSYS) {
                throw Error(damaged(path_, subject_ + QStringLiteral(" was stopped: the reader "
                                                                     "tried to do what it may "
                                                                     "not do")));
            }
            throw Error(
                damaged(path_, subject_ + QStringLiteral(" stopped with a fault (%1)")
                                              .arg(QString::fromLocal8Bit(::strsignal(signal)))));
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            throw Error(damaged(path_, subject_ + QStringLiteral(" ended without an answer (exit "
                                                                 "code %1)")
                                                      .arg(WEXITSTATUS(status))));
        }
        std::optional<jet::Report> report = jet::decodeReport(report_);
        if (!report)
            throw Error(garbled());
        return std::move(*report);
    }

    enum class Stop { None, Time, Memory, Garbled };

    QString path_;
    QString subject_;
    milliseconds time_{0};
    quint64 memory_ = 0;
    std::string report_;
    Stop stopped_ = Stop::None;
};

// The message for a fault the reader reported.
[[noreturn]] void throwFault(const jet::Report& report, const QString& path, const QString& table,
                             const ReaderRun& run) {
    const QString detail = QString::fromUtf8(report.detail);
    switch (report.fault) {
    case jet::FaultKind::NotJet:
        throw Error(QStringLiteral("'%1' is not an Access (Jet) database").arg(path));
    case jet::FaultKind::NoTable:
        throw Error(QStringLiteral("The database '%1' has no table '%2'").arg(path, table));
    case jet::FaultKind::OutOfMemory:
        throw Error(run.neededTooMuch());
    case jet::FaultKind::Damaged:
        break;
    }
    throw Error(damaged(path, detail));
}

// One state of a file: a file with the same stamp was not changed meanwhile.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    struct timespec modified {};
    struct timespec changed {};
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
    static std::optional<FileStamp> of(const QString& path) {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return std::nullopt;
        return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    }
};

// Reads begun by readSoon(), not yet taken.
struct SoonRead {
    QString path;
    QString table;
    std::optional<FileStamp> stamp;
    std::future<CompactTable> rows;
};
std::mutex soonMutex;
std::vector<SoonRead> soonReads;

CompactTable readNow(const QString& path, const QString& table);

} // namespace

void JetReader::setSettings(const Settings& settings) {
    const std::lock_guard lock(settingsMutex);
    currentSettings = settings;
}

JetReader::Settings JetReader::settings() {
    const std::lock_guard lock(settingsMutex);
    return currentSettings;
}

JetReader::Limits JetReader::limitsFor(quint64 fileBytes) {
    // A second for every 4 MiB of file beyond half a minute, and 2 GiB beyond 16 times the
    // file (a table of many short values takes far more room as text than in the file).
    return Limits{milliseconds(30'000 + fileBytes / (4 * kMiB) * 1000),
                  2048 * kMiB + 16 * fileBytes};
}

QStringList JetReader::tableNames(const QString& path) {
    const Fd database = openDatabase(path);
    ReaderRun run(path, QStringLiteral("reading its list of tables"));
    const jet::Report report = run.run(database, {QStringLiteral("tables")}, nullptr);
    if (report.kind == jet::Report::Kind::Fault)
        throwFault(report, path, QString(), run);
    if (report.kind != jet::Report::Kind::Names)
        throw Error(run.garbled());
    QStringList names;
    for (const std::string& name : report.names)
        names << QString::fromUtf8(name);
    return names;
}

TableData JetReader::readTable(const QString& path, const QString& table) {
    return readCompactTable(path, table).toTableData();
}

quint64 JetReader::tablesRead() {
    return tablesReadSoFar.load();
}

void JetReader::readSoon(const QString& path, const QString& table) {
    const std::lock_guard lock(soonMutex);
    for (const SoonRead& r : soonReads) {
        if (r.path == path && r.table == table)
            return;
    }
    // A thread of its own, left to itself: a read nobody takes (the program did not get that far)
    // holds nothing up, not even the program's end.
    std::promise<CompactTable> promise;
    soonReads.push_back(SoonRead{path, table, FileStamp::of(path), promise.get_future()});
    std::thread([promise = std::move(promise), path, table]() mutable {
        try {
            promise.set_value(readNow(path, table));
        } catch (...) {
            promise.set_exception(std::current_exception());
        }
    }).detach();
}

CompactTable JetReader::readCompactTable(const QString& path, const QString& table) {
    std::optional<SoonRead> soon;
    {
        const std::lock_guard lock(soonMutex);
        const auto it = std::find_if(soonReads.begin(), soonReads.end(), [&](const SoonRead& r) {
            return r.path == path && r.table == table;
        });
        if (it != soonReads.end()) {
            soon = std::move(*it);
            soonReads.erase(it);
        }
    }
    if (soon) {
        const std::optional<FileStamp> now = FileStamp::of(path);
        if (soon->stamp && now && *soon->stamp == *now)
            return soon->rows.get();
        soon->rows.wait(); // another file by now: forgotten, errors and all
    }
    return readNow(path, table);
}

namespace {

CompactTable readNow(const QString& path, const QString& table) {
    ++tablesReadSoFar;
    const Fd database = openDatabase(path);
    TableMemory memory{memoryFile("peltavo-table-text"), memoryFile("peltavo-table-cells")};
    ReaderRun run(path, QStringLiteral("reading table '%1'").arg(table));
    const jet::Report report = run.run(database, {QStringLiteral("table"), table}, &memory);
    if (report.kind == jet::Report::Kind::Fault)
        throwFault(report, path, table, run);
    if (report.kind != jet::Report::Kind::Table)
        throw Error(run.garbled());

    // The memory must be exactly what the report says, and the cells sound, before anything
    // reads a cell.
    const quint64 columns = report.columns.size();
    if (report.units > (quint64(1) << 62) || report.rows > (quint64(1) << 40) ||
        (columns > 0 && report.rows > (quint64(1) << 58) / columns) ||
        (columns == 0 && report.rows > 0))
        throw Error(run.garbled());
    const quint64 cellCount = report.rows * columns;
    const std::shared_ptr<Mapped> mapped =
        Mapped::map(memory, report.units * sizeof(char16_t), cellCount * sizeof(std::uint64_t));
    if (!mapped || !CompactTable::cellsAreSound(mapped->cells(), cellCount, report.units))
        throw Error(run.garbled());

    std::vector<Column> shape;
    for (const jet::ColumnShape& c : report.columns)
        shape.push_back(Column{QString::fromUtf8(c.name), c.type, c.maxLength});
    return CompactTable(QString::fromUtf8(report.table), std::move(shape), mapped, mapped->text(),
                        report.units, mapped->cells(), report.rows);
}

} // namespace

} // namespace peltavo
