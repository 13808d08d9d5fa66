#pragma once

// A Jet 3 or Jet 4 database (Access 97 to 2003) read with libmdb, from bytes in memory. No Qt.
// libmdb is not safe on files from strangers, so the program never runs this itself: the reader
// process peltavo-jetread does, confined (see jetreader.h), and so does the fuzzer.
//
// libmdb reports trouble (an unreadable page, a broken chain) only as text on stderr and goes on
// with what it has; while a JetFile works, the C library's stderr is a stream of its own, and
// anything written there makes the work fail as damage. So only one JetFile may work at a time in
// a process.
#include "jetprotocol.h"
#include "jetvalues.h"
#include "tablebuffer.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace peltavo::jet {

// Why the file cannot be read; `detail` says what is wrong in words for the learner (UTF-8).
class Fault : public std::runtime_error {
public:
    Fault(FaultKind kind, const std::string& detail) : std::runtime_error(detail), kind_(kind) {}
    FaultKind kind() const { return kind_; }

private:
    FaultKind kind_;
};

struct TableShape {
    std::string name; // as the file spells it
    std::vector<ColumnShape> columns;
    std::uint64_t rows = 0;
};

class JetFile {
public:
    // Opens the database whose bytes are `file`; they must stay while this lives. Throws Fault:
    // NotJet for a file that is not a Jet 3 or Jet 4 database, Damaged for one whose length is
    // not a whole number of pages or whose catalog is damaged. When the bytes are a mapping of the
    // file, `letGo` may release its pages from memory (they come back from the file when read
    // again); it is called every few thousand rows, so that a large table does not keep the whole
    // file resident beside its text.
    explicit JetFile(Bytes file, std::function<void()> letGo = {});
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    // The user tables, in catalog order (system tables left out).
    std::vector<std::string> tableNames();

    // Reads the whole table `name` (matched case-insensitively, as Jet does) into `arena` and
    // `cells` (the compact form; see tablebuffer.h), every field as text. Throws Fault: NoTable,
    // Damaged (nothing is half-read: a table is whole or the read fails); std::bad_alloc when
    // the memory runs out.
    TableShape readTable(std::string_view name, GrowingBuffer& arena, GrowingBuffer& cells);

    // Loads what libmdb's text conversions need from disk (the C library's table of conversions,
    // and for Jet 3 files, whose text is in a code page of their own, the code pages of Windows),
    // for a process that may not open files any more once it reads the database.
    static void prepareConversions(bool jet3);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace peltavo::jet
