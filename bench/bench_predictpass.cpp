#include "engine/predictpass.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

// The shared history, one "draw,n1,...,n6,bonus" record per line.
void fillHistory(omvex::CellGrid &history)
{
    std::ifstream in(OMVEX_TEST_DATA_DIR "/history-2058.txt");
    if (!in)
        throw std::runtime_error("cannot open the benchmark history");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string field;
        std::getline(fields, field, ',');
        const int draw = std::stoi(field);
        history.setRowCount(draw);
        for (int column = 1; column <= omvex::kHistoryColumns && std::getline(fields, field, ','); ++column)
            history.setNumber(column, draw, std::stoi(field));
    }
}

void BM_PredictPass(benchmark::State &state)
{
    omvex::PredictionTables tables;
    omvex::resetTablesForStartUp(tables);
    if (state.range(2) > 0)
        fillHistory(tables.vaSpread4);
    omvex::Settings settings;
    settings.Level = std::to_string(state.range(0));
    settings.Pattern = std::to_string(state.range(1));
    settings.Kako = "1";

    const auto first = omvex::predictPass(tables, 0, settings, 1);
    if (std::set<int>(first.begin(), first.end()).size() != 6) {
        state.SkipWithError("the run did not propose six distinct numbers");
        return;
    }
    std::uint64_t seed = 1;
    for (auto _ : state) {
        auto numbers = omvex::predictPass(tables, 0, settings, ++seed);
        benchmark::DoNotOptimize(numbers);
    }
}

} // namespace

BENCHMARK(BM_PredictPass)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0, 2058}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
