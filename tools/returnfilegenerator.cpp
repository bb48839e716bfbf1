#include "tools/returnfilegenerator.h"

#include "processing/returncodes.h"
#include "sheet/returnfields.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

constexpr std::array<std::string_view, 24> kFirstNames = {
    "JOÃO",     "MARIA",   "JOSÉ",     "ANA",    "ANTÔNIO", "FRANCISCA", "CARLOS", "ADRIANA",
    "PAULO",    "JULIANA", "LUÍS",     "MÁRCIA", "FÁBIO",   "PATRÍCIA",  "SÉRGIO", "ALINE",
    "RAIMUNDO", "SÔNIA",   "VINÍCIUS", "CÉLIA",  "ANDRÉ",   "LÚCIA",     "CAIO",   "ÂNGELA",
};
constexpr std::array<std::string_view, 20> kSurnames = {
    "DA SILVA",  "DOS SANTOS", "OLIVEIRA", "SOUZA",     "RODRIGUES", "FERREIRA",  "ALVES",
    "PEREIRA",   "LIMA",       "GOMES",    "CONCEIÇÃO", "RIBEIRO",   "CARVALHO",  "ARAÚJO",
    "GONÇALVES", "MELO",       "BRAGANÇA", "FALCÃO",    "ASSUNÇÃO",  "MAGALHÃES",
};

constexpr int kFirstCheck = ReturnFields::kFirstCheckColumn;
constexpr int kLastCheck = ReturnFields::kLastCheckColumn;
} // namespace

ReturnFileGenerator::ReturnFileGenerator(Options options) : options_(options), random_(options.seed)
{
}

std::string ReturnFileGenerator::header(const char* lineEnd)
{
    std::string line;
    for (const std::string_view name : ReturnFields::kNames) {
        if (!line.empty())
            line += ';';
        line += name;
    }
    return line + lineEnd;
}

std::string ReturnFileGenerator::cpf(std::uint64_t nineDigits)
{
    std::string digits = std::to_string(nineDigits % 1'000'000'000);
    digits.insert(0, 9 - digits.size(), '0');
    for (int round = 0; round < 2; ++round) {
        int sum = 0;
        const int weight = 10 + round;
        for (std::size_t i = 0; i < digits.size(); ++i)
            sum += (digits[i] - '0') * (weight - static_cast<int>(i));
        const int rest = sum % 11;
        digits += static_cast<char>('0' + (rest < 2 ? 0 : 11 - rest));
    }
    return digits;
}

std::string ReturnFileGenerator::nis(std::uint64_t tenDigits)
{
    static constexpr std::array<int, 10> kWeights = {3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    std::string digits = std::to_string(tenDigits % 10'000'000'000ull);
    digits.insert(0, 10 - digits.size(), '0');
    int sum = 0;
    for (std::size_t i = 0; i < kWeights.size(); ++i)
        sum += (digits[i] - '0') * kWeights[i];
    const int rest = 11 - sum % 11;
    digits += static_cast<char>('0' + (rest >= 10 ? 0 : rest));
    return digits;
}

std::string ReturnFileGenerator::person()
{
    auto pick = [this](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random_)];
    };
    std::string line = cpf(random_());
    line += ';';
    line += nis(1'000'000'000ull + random_() % 9'000'000'000ull);
    line += ';';
    line += pick(kFirstNames);
    line += ' ';
    const std::string_view surname = pick(kSurnames);
    line += surname;
    if (const std::string_view second = pick(kSurnames); second != surname && random_() % 2) {
        line += ' ';
        line += second;
    }
    line += ';';
    const int day = 1 + static_cast<int>(random_() % 28);
    const int month = 1 + static_cast<int>(random_() % 12);
    const int year = 1950 + static_cast<int>(random_() % 55);
    char date[16];
    std::snprintf(date, sizeof date, "%02d%02d%04d", day, month, year);
    line += date;
    return line;
}

// The code columns: failingColumn (a check column, or 0 for none) gets "1".
std::string ReturnFileGenerator::codes(int failingColumn, int orientation)
{
    std::string line;
    for (int col = kFirstCheck; col <= kLastCheck; ++col) {
        line += ';';
        line += col == failingColumn ? '1' : '0';
    }
    line += ';';
    line += std::to_string(orientation);
    return line;
}

std::string ReturnFileGenerator::randomProblemCodes()
{
    std::string line;
    const int failures = 1 + static_cast<int>(random_() % 3);
    std::array<bool, kLastCheck + 1> failing{};
    for (int i = 0; i < failures; ++i)
        failing[static_cast<std::size_t>(kFirstCheck +
                                         random_() % (kLastCheck - kFirstCheck + 1))] = true;
    for (int col = kFirstCheck; col <= kLastCheck; ++col) {
        line += ';';
        line += failing[static_cast<std::size_t>(col)] ? '1' : '0';
    }
    line += ';';
    line += static_cast<char>('0' + random_() % 4);
    return line;
}

std::string ReturnFileGenerator::worker(bool problems)
{
    std::string line = person();
    line += problems ? randomProblemCodes() : codes(0, 0);
    return line + options_.lineEnd;
}

std::string ReturnFileGenerator::file(int workers)
{
    std::string text = header(options_.lineEnd);
    text.reserve(static_cast<std::size_t>(workers) * 100 + text.size());
    std::bernoulli_distribution problem(options_.problemShare);
    for (int i = 0; i < workers; ++i)
        text += worker(problem(random_));
    return text;
}

std::string ReturnFileGenerator::sample(int workers)
{
    // A worker for every message, one column each, one for every orientation
    // code, and the rest with no problem at all, shuffled together.
    std::vector<std::string> lines;
    for (int col = kFirstCheck; col <= kLastCheck; ++col)
        lines.push_back(person() + codes(col, col % 4) + options_.lineEnd);
    for (int orientation = 1; orientation <= 3; ++orientation)
        lines.push_back(person() + codes(0, orientation) + options_.lineEnd);
    while (static_cast<int>(lines.size()) < workers)
        lines.push_back(person() + codes(0, 0) + options_.lineEnd);
    std::shuffle(lines.begin(), lines.end(), random_);
    std::string text = header(options_.lineEnd);
    for (const std::string& line : lines)
        text += line;
    return text;
}
