// verinova-gen [--sample] [--seed N] [--problems SHARE] WORKERS OUT
// Writes an invented return file: for the bundled sample, the benchmarks and
// trying the program on big files.
#include "tools/returnfilegenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    ReturnFileGenerator::Options options;
    bool sample = false;
    const char* positional[2] = {nullptr, nullptr};
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sample") == 0)
            sample = true;
        else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--problems") == 0 && i + 1 < argc)
            options.problemShare = std::strtod(argv[++i], nullptr);
        else if (count < 2)
            positional[count++] = argv[i];
        else
            count = 3;
    }
    if (count != 2) {
        std::fputs("usage: verinova-gen [--sample] [--seed N] [--problems SHARE] WORKERS OUT\n",
                   stderr);
        return 2;
    }
    const int workers = std::atoi(positional[0]);
    ReturnFileGenerator generator(options);
    const std::string text = sample ? generator.sample(workers) : generator.file(workers);
    std::FILE* out = std::fopen(positional[1], "wb");
    if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out)) {
        std::perror(positional[1]);
        return 1;
    }
    return 0;
}
