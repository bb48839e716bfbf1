#pragma once

#include "processing/commandoutcome.h"

#include <cstddef>
#include <cstdint>

class ResultSheet;

// A fuzz input as a return file, imported the way Processar imports one.
class FuzzImport
{
public:
    // Rows enough for every shape a 64 KiB input can take, few enough that
    // the checks over them stay quick.
    static constexpr int kMaxRows = 4096;

    static CommandOutcome into(ResultSheet& sheet, const std::uint8_t* data, std::size_t size);
};
