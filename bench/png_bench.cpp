// PNG encoding time and size of a rendered chart at each compression level,
// to check that writing images is not what limits batch rendering.
//
//   build/bench/png_bench IMAGE.png   (an 800x600 rendering, e.g. from
//   build/examples/x3d-render examples/data/chart.x3d chart.png)
#include "scene/io/image/Image.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

CVImage gImage;

void EncodePng(benchmark::State& state)
{
    const int level = int(state.range(0));
    const std::string out = std::filesystem::temp_directory_path() / "lumo_png_bench.png";
    for (auto _ : state)
        if (!lumo::image::WritePng(out, gImage, level))
            state.SkipWithError("write failed");
    state.counters["bytes"] = double(std::filesystem::file_size(out));
    state.counters["pixels"] = double(gImage.width) * gImage.height;
    std::remove(out.c_str());
}
BENCHMARK(EncodePng)->Arg(0)->Arg(1)->Arg(3)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc < 2 || !lumo::image::ReadImageFile(argv[1], gImage)) {
        std::fprintf(stderr, "usage: png_bench IMAGE.png [benchmark options]\n");
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
