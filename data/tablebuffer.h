#pragma once

// Writing a table in its compact form (the form CompactTable holds): the text of all its cells in
// one UTF-16 arena, and for each cell, row by row, the end of its text in the arena with the top
// bit set when the cell is null. No Qt: the confined reader writes it straight into memory files
// that the program then maps.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace peltavo::jet {

// A block of memory that grows at its end: on the heap, or in a memory file (memfd) that another
// process maps once the writer is done. Growing keeps what was written; its address may change.
class GrowingBuffer {
public:
    // On the heap.
    GrowingBuffer() = default;
    // In the empty memory file `fd`, which the buffer does not own.
    explicit GrowingBuffer(int fd) : fd_(fd) {}
    ~GrowingBuffer();
    GrowingBuffer(const GrowingBuffer&) = delete;
    GrowingBuffer& operator=(const GrowingBuffer&) = delete;

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    // Makes room for `more` bytes past size(); throws std::bad_alloc when there is no memory.
    void reserveMore(std::size_t more) {
        if (more > capacity_ - size_)
            growFor(more);
    }
    // Counts `bytes` more as written (within the room made).
    void grew(std::size_t bytes) { size_ += bytes; }
    // Ends the writing: a memory file is cut to size() and unmapped. The heap's bytes stay.
    void finish();

private:
    void growFor(std::size_t more);

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    int fd_ = -1;
};

// Appends rows of `columns` cells to an arena and a cell list.
class CompactTableWriter {
public:
    static constexpr std::uint64_t kNull = std::uint64_t(1) << 63;

    CompactTableWriter(GrowingBuffer& arena, GrowingBuffer& cells, std::size_t columns)
        : arena_(arena), cells_(cells), columns_(columns) {}

    // Room for `units` more UTF-16 units of the cell being written; wrote() then counts those
    // written. The pointer is good until the next call.
    char16_t* room(std::size_t units) {
        arena_.reserveMore(units * sizeof(char16_t));
        return reinterpret_cast<char16_t*>(arena_.data() + arena_.size());
    }
    void wrote(std::size_t units) { arena_.grew(units * sizeof(char16_t)); }
    void append(std::u16string_view text);
    void appendAscii(std::string_view text);
    // Ends the cell being written; a null cell has no text.
    void endCell(bool null);
    // Ends a row: exactly one cell for each column must have been written since the last.
    void endRow();

    std::size_t columns() const { return columns_; }
    std::size_t rows() const { return rows_; }
    std::size_t units() const { return arena_.size() / sizeof(char16_t); }

private:
    GrowingBuffer& arena_;
    GrowingBuffer& cells_;
    std::size_t columns_;
    std::size_t cellsInRow_ = 0;
    std::size_t rows_ = 0;
};

} // namespace peltavo::jet
