#include "tablebuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include <sys/mman.h>
#include <unistd.h>

namespace peltavo::jet {

GrowingBuffer::~GrowingBuffer() {
    if (fd_ < 0)
        std::free(data_);
    else if (data_)
        ::munmap(data_, capacity_);
}

void GrowingBuffer::growFor(std::size_t more) {
    if (more > SIZE_MAX / 2 - size_)
        throw std::bad_alloc();
    std::size_t capacity = capacity_ < 65536 ? 65536 : capacity_;
    while (capacity - size_ < more)
        capacity *= 2;
    if (fd_ < 0) {
        void* grown = std::realloc(data_, capacity);
        if (!grown)
            throw std::bad_alloc();
        data_ = static_cast<std::uint8_t*>(grown);
        capacity_ = capacity;
        return;
    }
    // The file grows first; the mapping then follows it, moved by the kernel without a copy.
    if (::ftruncate(fd_, static_cast<off_t>(capacity)) != 0)
        throw std::bad_alloc();
    void* mapped = data_ ? ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE)
                         : ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    data_ = static_cast<std::uint8_t*>(mapped);
    capacity_ = capacity;
}

void GrowingBuffer::finish() {
    if (fd_ < 0)
        return;
    if (data_)
        ::munmap(data_, capacity_);
    data_ = nullptr;
    capacity_ = 0;
    if (::ftruncate(fd_, static_cast<off_t>(size_)) != 0)
        throw std::runtime_error("the table's memory cannot be cut to size");
}

void CompactTableWriter::append(std::u16string_view text) {
    char16_t* to = room(text.size());
    for (const char16_t c : text)
        *to++ = c;
    wrote(text.size());
}

void CompactTableWriter::appendAscii(std::string_view text) {
    char16_t* to = room(text.size());
    for (const char c : text)
        *to++ = static_cast<unsigned char>(c);
    wrote(text.size());
}

void CompactTableWriter::endCell(bool null) {
    cells_.reserveMore(sizeof(std::uint64_t));
    const std::uint64_t end = units() | (null ? kNull : 0);
    std::memcpy(cells_.data() + cells_.size(), &end, sizeof end);
    cells_.grew(sizeof(std::uint64_t));
    ++cellsInRow_;
}

void CompactTableWriter::endRow() {
    if (cellsInRow_ != columns_)
        throw std::logic_error("a row must have one cell for each column");
    cellsInRow_ = 0;
    ++rows_;
}

} // namespace peltavo::jet
