// What changed between two returns of 200,000 workers: both imports and the
// matching, as the window and the command line ask for them. The second file
// is the first a month later: some problems fixed, some new, some workers
// gone and some hired, in the file's order. Besides the time, the two
// sheets' bytes and the resident peak the whole comparison adds. Then the
// worst of the matching: two companies' files compared by mistake, every
// worker with the same placeholder NIS, so that no one pairs and everyone
// shares a key with everyone in the other file.
#include "bench/residentmemory.h"
#include "processing/returncomparison.h"
#include "sheet/resultsheet.h"
#include "tools/returnfilegenerator.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <malloc.h>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {
constexpr int kWorkers = 200'000;
using Situation = ReturnComparison::Situation;

struct Pair
{
    QString earlier;
    QString current;
    // What the comparison must find, counted as the second file was made.
    std::array<int, ReturnComparison::kSituationCount> expected{};
};

// The codes of a line: what follows its fourth ";", without the line end.
std::string_view codesOf(std::string_view line)
{
    std::size_t at = 0;
    for (int field = 0; field < 4; ++field)
        at = line.find(';', at) + 1;
    return line.substr(at, line.size() - at - 2);
}

bool hasProblem(std::string_view line)
{
    const std::string_view codes = codesOf(line);
    for (std::size_t at = 0; at < codes.size(); at += 2) {
        if (codes[at] != '0' || (at + 1 < codes.size() && codes[at + 1] != ';'))
            return true;
    }
    return false;
}

std::string withCodes(std::string_view line, std::string_view codes)
{
    const std::string_view kept = line.substr(0, line.size() - codesOf(line).size() - 2);
    return std::string(kept) + std::string(codes) + "\r\n";
}

// Every worker's NIS made `nis`.
std::string withNis(const std::string& file, std::string_view nis)
{
    std::string result;
    std::size_t at = 0;
    while (at < file.size()) {
        const std::size_t end = file.find('\n', at) + 1;
        const std::size_t first = file.find(';', at) + 1;
        const std::size_t second = file.find(';', first);
        result.append(file, at, first - at).append(nis).append(file, second, end - second);
        at = end;
    }
    return result;
}

void write(const QString& path, const std::string& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()))
        throw std::runtime_error("cannot write benchmark data");
}

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

const Pair& pair()
{
    static const Pair made = [] {
        Pair p{folder().filePath(QStringLiteral("anterior.txt")),
               folder().filePath(QStringLiteral("atual.txt"))};
        ReturnFileGenerator generator;
        const std::string earlier = generator.file(kWorkers);
        std::mt19937_64 random(20261209);
        std::uniform_real_distribution<double> chance(0.0, 1.0);
        const auto count = [&p](Situation s) { ++p.expected[static_cast<std::size_t>(s)]; };
        const std::string clean = std::string(codesOf(generator.worker(false)));

        std::string current = ReturnFileGenerator::header();
        std::size_t at = earlier.find('\n') + 1;
        while (at < earlier.size()) {
            const std::size_t end = earlier.find('\n', at) + 1;
            const std::string_view line(earlier.data() + at, end - at);
            at = end;
            if (chance(random) < 0.03) {
                // A hire, written where the file happens to be.
                const std::string hired = generator.worker(chance(random) < 0.10);
                count(hasProblem(hired) ? Situation::NewProblem : Situation::NoProblem);
                current += hired;
            }
            if (chance(random) < 0.03) {
                count(Situation::EarlierOnly);
                continue;
            }
            const bool before = hasProblem(line);
            std::string now(line);
            if (before && chance(random) < 0.60)
                now = withCodes(line, clean);
            else if (!before && chance(random) < 0.02)
                now = withCodes(line, codesOf(generator.worker(true)));
            const bool after = hasProblem(now);
            count(before ? (after ? Situation::Pending : Situation::Resolved)
                         : (after ? Situation::NewProblem : Situation::NoProblem));
            current += now;
        }
        write(p.earlier, earlier);
        write(p.current, current);
        return p;
    }();
    return made;
}

const Pair& unrelatedPair()
{
    static const Pair made = [] {
        Pair p{folder().filePath(QStringLiteral("empresa-a.txt")),
               folder().filePath(QStringLiteral("empresa-b.txt"))};
        ReturnFileGenerator::Options other;
        other.seed = 20261210;
        const std::string placeholder = "00000000000";
        const std::string a = withNis(ReturnFileGenerator().file(kWorkers), placeholder);
        const std::string b = withNis(ReturnFileGenerator(other).file(kWorkers), placeholder);
        // The header keeps its field name: only workers' lines are changed.
        write(p.earlier, ReturnFileGenerator::header() + a.substr(a.find('\n') + 1));
        write(p.current, ReturnFileGenerator::header() + b.substr(b.find('\n') + 1));
        return p;
    }();
    return made;
}

void compareReturns(benchmark::State& state)
{
    const Pair& files = pair();
    double sheetsMegabytes = 0;
    double peakMegabytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        ResidentMemory::resetPeak();
        const double before = ResidentMemory::megabytes("VmRSS");
        state.ResumeTiming();

        ReturnComparison comparison = ReturnComparison::compare(files.earlier, files.current);

        state.PauseTiming();
        peakMegabytes = ResidentMemory::megabytes("VmHWM") - before;
        sheetsMegabytes =
            static_cast<double>(
                comparison.sheet(ReturnComparison::Side::Earlier).Cells().memoryBytes() +
                comparison.sheet(ReturnComparison::Side::Current).Cells().memoryBytes()) /
            1e6;
        if (!comparison.succeeded()) {
            state.SkipWithError("the comparison failed");
            break;
        }
        for (int s = 0; s < ReturnComparison::kSituationCount; ++s) {
            if (comparison.count(static_cast<Situation>(s)) !=
                files.expected[static_cast<std::size_t>(s)]) {
                state.SkipWithError("the comparison's counts are not the variation's");
                break;
            }
        }
        {
            const ReturnComparison released = std::move(comparison);
        }
        state.ResumeTiming();
    }
    for (int s = 0; s < ReturnComparison::kSituationCount; ++s) {
        const auto situation = static_cast<Situation>(s);
        state.counters[ReturnComparison::situationText(situation).toStdString()] =
            files.expected[static_cast<std::size_t>(s)];
    }
    state.counters["sheets_MB"] = sheetsMegabytes;
    state.counters["peak_MB"] = peakMegabytes;
    state.SetItemsProcessed(state.iterations() * kWorkers * 2);
}
BENCHMARK(compareReturns)->Unit(benchmark::kMillisecond)->UseRealTime();

void compareUnrelatedReturns(benchmark::State& state)
{
    const Pair& files = unrelatedPair();
    for (auto _ : state) {
        ReturnComparison comparison = ReturnComparison::compare(files.earlier, files.current);
        if (comparison.count(Situation::EarlierOnly) + comparison.count(Situation::Ambiguous) <
            kWorkers / 2)
            state.SkipWithError("unrelated workers were paired");
        state.counters["ambiguous"] = comparison.count(Situation::Ambiguous);
        state.PauseTiming();
        {
            const ReturnComparison released = std::move(comparison);
        }
        state.ResumeTiming();
    }
}
BENCHMARK(compareUnrelatedReturns)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

BENCHMARK_MAIN();
