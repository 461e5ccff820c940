// One pick in a 10,000-shape scene against one frame of the same scene, on
// the same 800 x 600 render area: a 100 x 100 grid of lit boxes, each in its
// own transform, seen by a perspective camera. The picks look through a
// 3 x 3 aperture at the middle of the window (a box there) and at an empty
// corner; a pick through the whole window hits every box (10,000 records,
// one retry with a larger buffer) as the worst case.
// Run by hand: build/bench/pick_bench [--benchmark_repetitions=5]
#include "scene/actions/RenderToDIBAction.h"
#include "scene/interact/PickAction.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kColumns = 100, kRows = 100;
constexpr int kWidth = 800, kHeight = 600;

CVCamera* Grid()
{
    auto* camera = new CVPerspectiveCamera;
    camera->position.SetValue(0.0f, 0.0f, 310.0f);
    camera->nearPlane.SetValue(1.0f);
    camera->farPlane.SetValue(600.0f);
    for (int i = 0; i < kColumns * kRows; ++i) {
        auto* shape = new CVShape;
        auto* appearance = new CVAppearance;
        auto* material = new CVMaterial;
        material->diffuseColor.SetValue(float(i % 7) / 7.0f, 0.5f, 0.8f);
        appearance->material.SetValue(material);
        shape->appearance.SetValue(appearance);
        shape->geometry.SetValue(new CVBox);
        auto* t = new CVTransform;
        t->translation.SetValue(float(i % kColumns - kColumns / 2) * 2.5f + 1.25f,
                                float(i / kColumns - kRows / 2) * 2.5f + 1.25f, 0.0f);
        t->rotation.SetValue(1.0f, 1.0f, 0.0f, 0.5f);
        t->children.Add(shape);
        camera->children.Add(t);
    }
    return camera;
}

struct Fixture {
    CVCamera* scene = Grid();
    std::unique_ptr<CVRenderToDIBAction> render = std::make_unique<CVRenderToDIBAction>(nullptr);
    std::unique_ptr<CVPickAction> pick;
    Fixture()
    {
        scene->Ref();
        render->SetViewportSize(0, 0, kWidth, kHeight);
        render->SetHeadlightOn(1);
        render->Apply(scene); // lists compiled, viewport set
        pick = std::make_unique<CVPickAction>(render->GetRenderArea());
    }
    ~Fixture()
    {
        pick.reset();
        render.reset();
        scene->Unref();
    }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

void BM_Frame(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state)
        f.render->Apply(f.scene);
}

// With 'fresh', every pick starts from the default buffer, so that an
// overflow and its retry are part of each pick.
void Pick(benchmark::State& state, double x, double y, double w, double h, bool fresh = false)
{
    Fixture& f = Shared();
    f.pick->SetPickBufferSize(CVPickAction::kDefaultPickBufferSize);
    int hits = 0;
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            f.pick->SetPickBufferSize(CVPickAction::kDefaultPickBufferSize);
            state.ResumeTiming();
        }
        f.pick->SetAperture(x, y, w, h);
        f.pick->Apply(f.scene);
        hits = f.pick->GetNumPickedShapes();
    }
    state.counters["hits"] = double(hits);
}

// The box next to the middle lies about 3 pixels right of it and 3 up.
void BM_PickMiddle(benchmark::State& state) { Pick(state, kWidth / 2.0 + 3, kHeight / 2.0 - 3, 3, 3); }
void BM_PickEmptyCorner(benchmark::State& state) { Pick(state, 1, 1, 3, 3); }
void BM_PickWholeWindow(benchmark::State& state) { Pick(state, kWidth / 2.0, kHeight / 2.0, kWidth, kHeight, true); }

} // namespace

BENCHMARK(BM_Frame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PickMiddle)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PickEmptyCorner)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PickWholeWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
