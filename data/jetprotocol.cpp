#include "jetprotocol.h"

#include <cstring>

namespace peltavo::jet {

namespace {

constexpr std::string_view kMagic = "PJR1";

void put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i));
}

void putText(std::string& out, std::string_view text) {
    put(out, text.size(), 4);
    out += text;
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ == bytes_.size(); }

    std::uint64_t number(int bytes) {
        if (!ok_ || bytes_.size() - pos_ < static_cast<std::size_t>(bytes)) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes_[pos_ + i]);
        pos_ += static_cast<std::size_t>(bytes);
        return value;
    }
    std::string text() {
        const std::uint64_t size = number(4);
        if (!ok_ || size > bytes_.size() - pos_) {
            ok_ = false;
            return {};
        }
        std::string out(bytes_.substr(pos_, size));
        pos_ += size;
        return out;
    }
    // A count of things each at least `each` bytes long, checked against what is left.
    std::uint64_t count(std::size_t each) {
        const std::uint64_t n = number(4);
        if (ok_ && n > (bytes_.size() - pos_) / each)
            ok_ = false;
        return ok_ ? n : 0;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

} // namespace

std::string encodeReport(const Report& r) {
    std::string out(kMagic);
    put(out, static_cast<std::uint8_t>(r.kind), 1);
    switch (r.kind) {
    case Report::Kind::Fault:
        put(out, static_cast<std::uint8_t>(r.fault), 1);
        putText(out, r.detail);
        break;
    case Report::Kind::Table:
        putText(out, r.table);
        put(out, r.columns.size(), 4);
        for (const ColumnShape& c : r.columns) {
            putText(out, c.name);
            put(out, static_cast<std::uint8_t>(c.type), 1);
            put(out, static_cast<std::uint32_t>(c.maxLength), 4);
        }
        put(out, r.rows, 8);
        put(out, r.units, 8);
        break;
    case Report::Kind::Names:
        put(out, r.names.size(), 4);
        for (const std::string& name : r.names)
            putText(out, name);
        break;
    }
    return out;
}

std::optional<Report> decodeReport(std::string_view bytes) {
    if (bytes.size() > kMaxReportBytes || bytes.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    Reader in(bytes.substr(kMagic.size()));
    Report r;
    r.kind = static_cast<Report::Kind>(in.number(1));
    switch (r.kind) {
    case Report::Kind::Fault: {
        const auto fault = in.number(1);
        if (fault < 1 || fault > 4)
            return std::nullopt;
        r.fault = static_cast<FaultKind>(fault);
        r.detail = in.text();
        break;
    }
    case Report::Kind::Table: {
        r.table = in.text();
        const std::uint64_t columns = in.count(9);
        for (std::uint64_t i = 0; i < columns && in.ok(); ++i) {
            ColumnShape c;
            c.name = in.text();
            const auto type = in.number(1);
            if (type > static_cast<std::uint64_t>(ColumnType::Binary))
                return std::nullopt;
            c.type = static_cast<ColumnType>(type);
            c.maxLength = static_cast<int>(in.number(4));
            r.columns.push_back(std::move(c));
        }
        r.rows = in.number(8);
        r.units = in.number(8);
        break;
    }
    case Report::Kind::Names: {
        const std::uint64_t names = in.count(4);
        for (std::uint64_t i = 0; i < names && in.ok(); ++i)
            r.names.push_back(in.text());
        break;
    }
    default:
        return std::nullopt;
    }
    if (!in.ok() || !in.atEnd())
        return std::nullopt;
    return r;
}

} // namespace peltavo::jet
