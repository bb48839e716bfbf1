// "Filtrar…" on a column of a million distinct texts (every worker's NOME):
// the dialog built and painted, and one keystroke in its search box to the
// list painted again; and the search's own part of that keystroke.
#include "app/filterdialog.h"
#include "app/filtervaluesmodel.h"

#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QTest>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr std::size_t kNames = 100;

// First name, middle name and surname: 100 × 100 × 100 distinct names,
// accented as Brazilian names are.
const std::array<const char*, 10> kFirst = {"MARIA",     "JOÃO", "ANA",       "JOSÉ",  "ANTÔNIO",
                                            "FRANCISCA", "LUÍS", "CONCEIÇÃO", "PAULO", "SÔNIA"};
const std::array<const char*, 10> kSecond = {"DA SILVA", "DOS SANTOS", "DE OLIVEIRA", "DE SOUZA",
                                             "PEREIRA",  "LIMA",       "GONÇALVES",   "ARAÚJO",
                                             "RIBEIRO",  "CARVALHO"};

std::string part(const std::array<const char*, 10>& words, std::size_t i)
{
    // Two words make a hundred.
    return std::string(words[i % 10]) + ' ' + words[i / 10 % 10];
}

// The texts live in one block, as a sheet's bytes do.
struct Column
{
    std::string bytes;
    std::vector<ColumnValues::Value> values;

    Column()
    {
        std::vector<std::size_t> ends;
        for (std::size_t a = 0; a < kNames; ++a)
            for (std::size_t b = 0; b < kNames; ++b)
                for (std::size_t c = 0; c < kNames; ++c) {
                    bytes += part(kFirst, a) + ' ' + part(kSecond, b) + ' ' + part(kSecond, c);
                    ends.push_back(bytes.size());
                }
        std::size_t begin = 0;
        for (const std::size_t end : ends) {
            values.push_back({std::string_view(bytes).substr(begin, end - begin), 1});
            begin = end;
        }
    }
};

const Column& column()
{
    static const Column names;
    return names;
}

void paint(FilterDialog& dialog)
{
    QCoreApplication::processEvents();
    const QPixmap pixels = dialog.grab();
    benchmark::DoNotOptimize(pixels.cacheKey());
}

void BM_ConstructAndShow(benchmark::State& state)
{
    const Column& names = column();
    for (auto _ : state) {
        auto dialog = std::make_unique<FilterDialog>(QStringLiteral("NOME"), names.values,
                                                     std::vector<bool>(names.values.size(), true));
        dialog->show();
        paint(*dialog);
        state.PauseTiming();
        dialog.reset();
        state.ResumeTiming();
    }
    state.counters["values"] = static_cast<double>(names.values.size());
}
BENCHMARK(BM_ConstructAndShow)->Unit(benchmark::kMillisecond);

// From the list under `before`, one more letter, to the list painted; the
// pause the box leaves for the next letter is not counted.
void BM_SearchKeystroke(benchmark::State& state, const char* before, char typed)
{
    const Column& names = column();
    FilterDialog dialog(QStringLiteral("NOME"), names.values,
                        std::vector<bool>(names.values.size(), true));
    dialog.show();
    paint(dialog);
    auto* search = dialog.findChild<QLineEdit*>(QStringLiteral("pesquisa"));
    auto* list = dialog.findChild<QListView*>(QStringLiteral("valores"));
    auto* model = static_cast<FilterValuesModel*>(list->model());
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(QString::fromUtf8(before));
        model->listMatching(search->text());
        paint(dialog);
        state.ResumeTiming();
        QTest::keyClick(search, typed);
        model->listMatching(search->text());
        paint(dialog);
    }
    state.counters["listed"] = list->model()->rowCount();
}
// The list alone, without the view: what of a keystroke is the search's.
void BM_ModelListing(benchmark::State& state)
{
    const Column& names = column();
    FilterValuesModel model(names.values, std::vector<bool>(names.values.size(), true));
    for (auto _ : state) {
        model.listMatching(QStringLiteral("a"));
        state.PauseTiming();
        if (model.rowCount() == 0)
            state.SkipWithError("nothing listed");
        model.listMatching(QString());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ModelListing)->Unit(benchmark::kMillisecond);

// The first letter looks through every value; a later one only through
// those still listed.
BENCHMARK_CAPTURE(BM_SearchKeystroke, firstLetter, "", 'a')->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchKeystroke, firstLetterFew, "", 'z')->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchKeystroke, nextLetter, "gon", 'c')->Unit(benchmark::kMillisecond);
} // namespace
