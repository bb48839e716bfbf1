#include "fuzz/zipreader.h"

#include <cstdint>
#include <zlib.h>

namespace {
class Bytes
{
public:
    explicit Bytes(const QByteArray& data) : data_(data) {}
    bool has(qsizetype at, qsizetype n) const
    {
        return at >= 0 && n >= 0 && at + n <= data_.size();
    }
    std::uint32_t u16(qsizetype at) const
    {
        return std::uint32_t(std::uint8_t(data_[at])) | std::uint32_t(std::uint8_t(data_[at + 1]))
                                                            << 8;
    }
    std::uint32_t u32(qsizetype at) const { return u16(at) | u16(at + 2) << 16; }

private:
    const QByteArray& data_;
};

std::optional<QByteArray> inflated(const char* data, std::uint32_t size, std::uint32_t expected)
{
    QByteArray out(qsizetype(expected), Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream.avail_in = size;
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = expected;
    const int status = inflate(&stream, Z_FINISH);
    const bool whole = status == Z_STREAM_END && stream.total_out == expected;
    inflateEnd(&stream);
    return whole ? std::optional<QByteArray>(out) : std::nullopt;
}
} // namespace

std::optional<QByteArray> ZipReader::part(const QByteArray& zip, const QByteArray& name)
{
    const Bytes bytes(zip);
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || !bytes.has(end, 22))
        return std::nullopt;
    qsizetype at = bytes.u32(end + 16);
    for (std::uint32_t i = 0; i < bytes.u16(end + 10); ++i) {
        if (!bytes.has(at, 46) || bytes.u32(at) != 0x02014b50)
            return std::nullopt;
        const std::uint32_t nameSize = bytes.u16(at + 28);
        if (!bytes.has(at + 46, nameSize))
            return std::nullopt;
        if (zip.mid(at + 46, nameSize) == name) {
            const std::uint32_t method = bytes.u16(at + 10);
            const std::uint32_t crc = bytes.u32(at + 16);
            const std::uint32_t packed = bytes.u32(at + 20);
            const std::uint32_t size = bytes.u32(at + 24);
            const qsizetype local = bytes.u32(at + 42);
            if (!bytes.has(local, 30) || bytes.u32(local) != 0x04034b50)
                return std::nullopt;
            const qsizetype data = local + 30 + bytes.u16(local + 26) + bytes.u16(local + 28);
            if (!bytes.has(data, packed))
                return std::nullopt;
            std::optional<QByteArray> out;
            if (method == 0 && packed == size)
                out = zip.mid(data, packed);
            else if (method == 8)
                out = inflated(zip.constData() + data, packed, size);
            if (!out || crc32(0, reinterpret_cast<const Bytef*>(out->constData()),
                              uInt(out->size())) != crc)
                return std::nullopt;
            return out;
        }
        at += 46 + nameSize + bytes.u16(at + 30) + bytes.u16(at + 32);
    }
    return std::nullopt;
}
