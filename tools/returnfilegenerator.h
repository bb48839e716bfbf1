#pragma once

#include <cstdint>
#include <random>
#include <string>

// Writes invented but realistic return files: valid CPF and NIS check digits,
// accented names, dates of birth, a share of workers with problems, CRLF line
// ends, and the header of the real files.
class ReturnFileGenerator
{
public:
    struct Options
    {
        std::uint64_t seed = 20261207;
        double problemShare = 0.10;
        const char* lineEnd = "\r\n";
    };

    explicit ReturnFileGenerator(Options options);
    ReturnFileGenerator() : ReturnFileGenerator(Options{}) {}

    static std::string header(const char* lineEnd = "\r\n");
    // One worker line with its line end. `problems` chooses the codes: when
    // false every code is "0".
    std::string worker(bool problems);
    // A whole file of `workers` lines after the header, with problemShare of
    // them having problems.
    std::string file(int workers);
    // A small file in which every check column and every orientation code
    // shows up at least once, beside workers with no problem at all.
    std::string sample(int workers);

    static std::string cpf(std::uint64_t nineDigits);
    static std::string nis(std::uint64_t tenDigits);

private:
    std::string person();
    std::string codes(int failingColumn, int orientation);
    std::string randomProblemCodes();

    Options options_;
    std::mt19937_64 random_;
};
