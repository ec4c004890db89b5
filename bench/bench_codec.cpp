// Decode + encode + build command for one settings block, next to a plain
// 260-byte copy for scale. Run: build/native/bench_codec
#include <benchmark/benchmark.h>

#include <cstring>

#include "codec.h"

namespace {

void FactoryBlock(uint8_t block[kSettingsBlockSize]) {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom = {};
    EncodeSettings(record, custom, block);
    block[0] = 1;
    block[1] = 4;
}

void BM_DecodeEncodeBuild(benchmark::State& state) {
    uint8_t block[kSettingsBlockSize];
    FactoryBlock(block);
    SettingsRecord record;
    CustomFeedTable custom;
    uint8_t work[kSettingsBlockSize];
    uint8_t area[kCommandAreaSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(block);
        DecodeSettingsBlock(block, &record, &custom);
        EncodeSettings(record, custom, work);
        BuildUpdateCommand(work, area);
        benchmark::DoNotOptimize(area);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DecodeEncodeBuild);

void BM_PlainCopy260(benchmark::State& state) {
    uint8_t block[kSettingsBlockSize];
    FactoryBlock(block);
    uint8_t copy[kSettingsBlockSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(block);
        std::memcpy(copy, block, sizeof copy);
        benchmark::DoNotOptimize(copy);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainCopy260);

}  // namespace

BENCHMARK_MAIN();
