#include "processing/returnfileparser.h"

#include "processing/del.h"
#include "processing/returncodes.h"
#include "processing/textdecoding.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "text/bytescan.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

ReturnFileParser::ReturnFileParser(Checks checks) : checks_(checks), columns_(ReturnFields::kCount)
{
    ok_ = CellStore::checkText(store_.intern(ReturnCodes::kOk));
    for (int col = ReturnFields::kFirstCheckColumn; col <= ReturnFields::kLastCheckColumn; ++col) {
        checkMessages_[static_cast<std::size_t>(col - ReturnFields::kFirstCheckColumn)] =
            CellStore::checkText(store_.intern(ReturnCodes::checkMessage(col)));
    }
    for (const std::string_view message : ReturnCodes::orientationMessages())
        store_.intern(message);
    // Every one of these codes is known, and its text interned above.
    for (int code = 0; code < kOrientationCodes; ++code) {
        const char digit = static_cast<char>('0' + code);
        orientationCodes_[static_cast<std::size_t>(code)] =
            store_.findInterned(*ReturnCodes::orientationText({&digit, 1}));
    }
}

namespace {
using ByteScan::kOnes;

// addSingleCharacterChecks reads a code and its ";" as the low and the high
// byte of a 16-bit lane.
static_assert(std::endian::native == std::endian::little);

std::size_t findSemicolon(std::string_view text)
{
    return ByteScan::find(text, ';');
}
} // namespace

bool ReturnFileParser::isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

namespace {
// Calls field(k, text) for the 1-based fields of a line that has exactly the
// return file's fields, while it returns true; false for any other line.
template <typename Field> bool eachOfTheFields(std::string_view line, Field field)
{
    if (line.starts_with("\xEF\xBB\xBF"))
        line.remove_prefix(3);
    for (int k = 1;; ++k) {
        const std::size_t semicolon = findSemicolon(line);
        const bool last = semicolon == std::string_view::npos;
        if (last != (k == ReturnFields::kCount) || !field(k, line.substr(0, semicolon)))
            return false;
        if (last)
            return true;
        line.remove_prefix(semicolon + 1);
    }
}

bool isDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool sameLetters(std::string_view text, std::string_view name)
{
    return text.size() == name.size() &&
           std::equal(text.begin(), text.end(), name.begin(), [](char a, char b) {
               return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
           });
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
} // namespace

bool ReturnFileParser::isHeading(std::string_view line)
{
    // Worker lines start with a CPF's digits: most are told at the first byte.
    const std::string_view start =
        trimmed(line.starts_with("\xEF\xBB\xBF") ? line.substr(3) : line);
    if (start.empty() || (start[0] != 'C' && start[0] != 'c'))
        return false;
    return eachOfTheFields(line, [](int k, std::string_view field) {
        return sameLetters(trimmed(field), ReturnFields::kNames[static_cast<std::size_t>(k - 1)]);
    });
}

bool ReturnFileParser::isCutHeading(std::string_view line)
{
    if (line.starts_with("\xEF\xBB\xBF"))
        line.remove_prefix(3);
    if (isBlank(line))
        return false;
    for (const std::string_view name : ReturnFields::kNames) {
        const std::size_t semicolon = findSemicolon(line);
        if (semicolon == std::string_view::npos) {
            // Begun: spaces before it, and as many letters as were copied.
            const std::size_t first = line.find_first_not_of(" \t");
            const std::string_view begun =
                first == std::string_view::npos ? std::string_view() : line.substr(first);
            return begun.size() <= name.size() && sameLetters(begun, name.substr(0, begun.size()));
        }
        if (!sameLetters(trimmed(line.substr(0, semicolon)), name))
            return false;
        line.remove_prefix(semicolon + 1);
    }
    return false;
}

bool ReturnFileParser::looksLikeWorker(std::string_view line)
{
    return line.find('\0') == std::string_view::npos &&
           eachOfTheFields(line, [](int k, std::string_view field) {
               return k < ReturnFields::kFirstCodeColumn || isDigits(field);
           });
}

CellStore::Handle ReturnFileParser::rawText(std::string_view field)
{
    if (!windows1252_ || ByteScan::isAscii(field))
        return store_.addText(field);
    scratch_.clear();
    TextDecoding::appendWindows1252AsUtf8(field, scratch_);
    return store_.addText(scratch_);
}

CellStore::Handle ReturnFileParser::orientation(std::string_view field)
{
    // The known codes are single digits: no search among the interned texts.
    if (field.size() == 1 && field[0] >= '0' && field[0] < '0' + kOrientationCodes)
        return orientationCodes_[static_cast<std::size_t>(field[0] - '0')];
    if (const std::optional<std::string_view> shown = ReturnCodes::orientationText(field))
        return store_.findInterned(*shown);
    return rawText(field);
}

// Nearly every check field is a one-character code: when all of them are,
// their ";" sit at every second byte, and the cells are set without a branch
// per field, which the generic loop mispredicts. Cuts them off the line.
bool ReturnFileParser::addSingleCharacterChecks(std::string_view& line,
                                                CellStore::RowWriter& cells) const
{
    static_assert(ReturnCodes::kPassCode.size() == 1);
    constexpr std::size_t kBytes = 2 * ReturnFields::kCheckColumnCount;
    // The last check's ";" also starts the orientation field.
    if (line.size() < kBytes)
        return false;
    // Pairs of a code and its ";", eight bytes at a time.
    constexpr std::uint64_t kOdd = 0xFF00FF00FF00FF00ull;
    constexpr std::uint64_t kEvenOnes = 0x0001000100010001ull;
    std::uint64_t words[kBytes / 8];
    std::memcpy(words, line.data(), kBytes);
    bool single = true;
    for (const std::uint64_t word : words) {
        const std::uint64_t codes = (word ^ (kOnes * ';')) & ~kOdd; // 0 where a code is ";"
        single &= (word & kOdd) == (kOdd & (kOnes * ';'));
        single &= ((codes - kEvenOnes) & (kEvenOnes << 15)) == 0;
    }
    if (!single)
        return false;
    CellStore::CheckTexts checks;
    for (std::size_t k = 0; k < checks.size(); ++k)
        checks[k] = line[2 * k] == ReturnCodes::kPassCode[0] ? ok_ : checkMessages_[k];
    cells.setChecks(checks);
    line.remove_prefix(kBytes);
    return true;
}

ReturnFileParser::LineResult ReturnFileParser::addLine(std::string_view line)
{
    if (line.starts_with("\xEF\xBB\xBF"))
        line.remove_prefix(3);
    if (isBlank(line))
        return LineResult::Blank;
    lastLineHadNul_ = std::memchr(line.data(), 0, line.size()) != nullptr;
    windows1252_ = !TextDecoding::isValidUtf8(line);

    CellStore::RowWriter cells = store_.appendRow();
    int j = 0;
    for (;;) {
        ++j;
        if (j == ReturnFields::kFirstCheckColumn && checks_ == Checks::Shortcut &&
            addSingleCharacterChecks(line, cells)) {
            j = ReturnFields::kLastCheckColumn;
            continue;
        }
        const std::size_t semicolon = findSemicolon(line);
        const std::string_view field = line.substr(0, semicolon);

        if (j >= ReturnFields::kFirstCheckColumn && j <= ReturnFields::kLastCheckColumn) {
            const int check = j - ReturnFields::kFirstCheckColumn;
            cells.setCheck(check, field == ReturnCodes::kPassCode
                                      ? ok_
                                      : checkMessages_[static_cast<std::size_t>(check)]);
        } else {
            cells.set(j - 1,
                      j == ReturnFields::kOrientationColumn ? orientation(field) : rawText(field));
        }

        if (semicolon == std::string_view::npos || j == ResultSheet::kMaxColumns)
            break;
        // The field and its ";" are cut off the front of the line.
        Del(line, qsizetype{1}, static_cast<qsizetype>(semicolon + 1));
    }
    columns_ = std::max(columns_, j);
    lastLineFields_ = j;
    return LineResult::Added;
}
