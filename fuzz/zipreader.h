#pragma once

#include <QByteArray>

#include <optional>

// Reads one part of a zip whole into memory, as the fuzz target needs to
// look into the workbooks it writes: stored or deflated parts, found through
// the central directory. Nothing when the zip is not well formed or the part
// is not there, or its contents do not match the size and CRC recorded.
class ZipReader
{
public:
    static std::optional<QByteArray> part(const QByteArray& zip, const QByteArray& name);
};
