#include "fuzz/fuzzimport.h"

#include "processing/importcommand.h"

#include <QBuffer>
#include <QByteArray>

CommandOutcome FuzzImport::into(ResultSheet& sheet, const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    ImportCommand::Options options;
    options.maxRows = kMaxRows;
    return ImportCommand::load(device, sheet, options);
}
