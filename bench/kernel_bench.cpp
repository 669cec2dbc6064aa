// Kernel benchmark: ConvertPixels on one frame (the kernel this CPU runs),
// and the plain reference loop, against libyuv's
// I444ToRGB24 (fixed-point, not exact; a negative height writes the rows
// bottom-up, as the bitmap needs) and a memcpy of the same 76032 bytes.
// Prints Google Benchmark's table, then the ratios.

#include <benchmark/benchmark.h>
#include <libyuv/convert_argb.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "convert/convert_pixels_avx2.h"
#include "convert/frame_format.h"

namespace {

using namespace frame2bmp;

std::vector<std::uint8_t> LoadPlanes() {
    std::ifstream in(FRAME2BMP_SAMPLE, std::ios::binary);
    std::vector<std::uint8_t> frame(INPUT_HEADER_SIZE + FRAME_DATA_SIZE);
    in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", FRAME2BMP_SAMPLE);
        std::exit(1);
    }
    return {frame.begin() + INPUT_HEADER_SIZE, frame.end()};
}

const std::vector<std::uint8_t> planes = LoadPlanes();

void ConvertPixelsFrame(benchmark::State& state) {
    PixelBuffer pixels;
    for (auto _ : state) {
        ConvertPixels(std::span<const std::uint8_t, FRAME_DATA_SIZE>(planes.data(), FRAME_DATA_SIZE),
                      pixels);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void ConvertPixelsReferenceFrame(benchmark::State& state) {
    PixelBuffer pixels;
    for (auto _ : state) {
        ConvertPixelsReference(
            std::span<const std::uint8_t, FRAME_DATA_SIZE>(planes.data(), FRAME_DATA_SIZE), pixels);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void LibyuvI444ToRGB24(benchmark::State& state) {
    PixelBuffer pixels;
    const std::uint8_t* y = planes.data();
    for (auto _ : state) {
        libyuv::I444ToRGB24(y, FRAME_WIDTH, y + PLANE_SIZE, FRAME_WIDTH, y + 2 * PLANE_SIZE,
                            FRAME_WIDTH, pixels.data(), ROW_BYTES, FRAME_WIDTH,
                            -static_cast<int>(FRAME_HEIGHT));
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void Memcpy(benchmark::State& state) {
    PixelBuffer pixels;
    for (auto _ : state) {
        std::memcpy(pixels.data(), planes.data(), FRAME_DATA_SIZE);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            nanoseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> nanoseconds;
};

}  // namespace

BENCHMARK(ConvertPixelsFrame);
BENCHMARK(ConvertPixelsReferenceFrame);
BENCHMARK(LibyuvI444ToRGB24);
BENCHMARK(Memcpy);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = reporter.nanoseconds["ConvertPixelsFrame"];
    const double libyuv = reporter.nanoseconds["LibyuvI444ToRGB24"];
    const double reference = reporter.nanoseconds["ConvertPixelsReferenceFrame"];
    const double copy = reporter.nanoseconds["Memcpy"];
    if (ours > 0 && libyuv > 0 && copy > 0 && reference > 0) {
        std::printf("\nConvertPixels (%s): %.1f us per frame, %.2f times libyuv I444ToRGB24 "
                    "(%.1f us), %.1f times memcpy (%.1f us)\n",
                    CanConvertPixelsAvx2() ? "AVX2" : "reference", ours / 1000, ours / libyuv,
                    libyuv / 1000, ours / copy, copy / 1000);
        std::printf("ConvertPixelsReference: %.1f us per frame, %.2f times libyuv\n",
                    reference / 1000, reference / libyuv);
    }
    benchmark::Shutdown();
    return 0;
}
