// First frame of 1,000 textured boxes that use 10 distinct image files
// (each its own ImageTexture node), against the same scene without textures;
// and later frames of both.
// Every iteration draws into a new render area, so its texture cache starts
// empty; the "decodes" counter is the image files read per first frame.
// Run by hand: build/bench/texture_bench [--benchmark_repetitions=5]
#include "platform/text/Utf8.h"
#include "scene/actions/RenderToDIBAction.h"
#include "scene/cache/TextureImage.h"
#include "scene/io/image/Image.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/ImageTexture.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kShapes = 1000, kFiles = 10, kColumns = 40;

// Ten 256 x 256 PNG files of different patterns, in a private folder.
class Images {
public:
    Images()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumo_texture_bench_XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        mDir = pattern;
        for (int f = 0; f < kFiles; ++f) {
            CVImage image;
            image.width = image.height = 256;
            image.bgra.resize(256 * 256 * 4);
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    std::uint8_t* p = image.Row(y) + x * 4;
                    p[0] = std::uint8_t(x * (f + 1));
                    p[1] = std::uint8_t(y * (f + 2));
                    p[2] = std::uint8_t((x ^ y) * (f + 3));
                    p[3] = 255;
                }
            std::string path = mDir + "/tex" + std::to_string(f) + ".png";
            if (!lumo::image::WritePng(path, image))
                throw std::runtime_error("cannot write " + path);
            mPaths.push_back(lumo::FromUtf8(path));
        }
    }
    ~Images()
    {
        std::error_code ec;
        std::filesystem::remove_all(mDir, ec);
    }
    const std::wstring& Path(int i) const { return mPaths[size_t(i)]; }

private:
    std::string mDir;
    std::vector<std::wstring> mPaths;
};

// A grid of boxes under a camera and a light; textured or not.
CVCamera* Grid(const Images* images)
{
    auto* camera = new CVPerspectiveCamera;
    camera->position.SetValue(kColumns * 0.75f, 9.0f, 60.0f);
    camera->nearPlane.SetValue(1.0f);
    camera->farPlane.SetValue(200.0f);
    camera->children.Add(new CVLightModel);
    for (int i = 0; i < kShapes; ++i) {
        auto* shape = new CVShape;
        auto* appearance = new CVAppearance;
        appearance->material.SetValue(new CVMaterial);
        if (images) {
            auto* texture = new CVImageTexture;
            texture->url.Add(images->Path(i % kFiles));
            appearance->texture.SetValue(texture);
        }
        shape->appearance.SetValue(appearance);
        shape->geometry.SetValue(new CVBox);
        auto* t = new CVTransform;
        t->translation.SetValue(float(i % kColumns) * 1.5f, float(i / kColumns) * 1.5f, 0.0f);
        t->rotation.SetValue(1.0f, 1.0f, 0.0f, 0.5f);
        t->children.Add(shape);
        camera->children.Add(t);
    }
    return camera;
}

void FirstFrame(benchmark::State& state, bool textured)
{
    static Images images;
    CVCamera* scene = Grid(textured ? &images : nullptr);
    scene->Ref();
    long decodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto render = std::make_unique<CVRenderToDIBAction>(nullptr);
        render->SetViewportSize(0, 0, 800, 600);
        render->SetHeadlightOn(1);
        long before = lumo::texture::DecodeCount();
        state.ResumeTiming();
        render->Apply(scene);
        state.PauseTiming();
        decodes = lumo::texture::DecodeCount() - before;
        render.reset(); // the area and its textures go: the next frame is a first one again
        state.ResumeTiming();
    }
    state.counters["decodes"] = double(decodes);
    scene->Unref();
}

// Frames after the first: the textures are found in the cache.
void LaterFrame(benchmark::State& state, bool textured)
{
    static Images images;
    CVCamera* scene = Grid(textured ? &images : nullptr);
    scene->Ref();
    CVRenderToDIBAction render(nullptr);
    render.SetViewportSize(0, 0, 800, 600);
    render.SetHeadlightOn(1);
    render.Apply(scene);
    for (auto _ : state)
        render.Apply(scene);
    scene->Unref();
}

void BM_FirstFrameTextured(benchmark::State& state) { FirstFrame(state, true); }
void BM_FirstFrameUntextured(benchmark::State& state) { FirstFrame(state, false); }
void BM_LaterFrameTextured(benchmark::State& state) { LaterFrame(state, true); }
void BM_LaterFrameUntextured(benchmark::State& state) { LaterFrame(state, false); }

BENCHMARK(BM_FirstFrameTextured)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstFrameUntextured)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LaterFrameTextured)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LaterFrameUntextured)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
