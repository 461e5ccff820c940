// Labels: the first frame (a new render area, so empty glyph caches) and a
// later frame (every glyph cached) of 10,000 raster labels of eight
// characters, each a Text with its own BitmapFontStyle, and of 1,000
// outline labels (FontStyle, extruded); against the same shapes without
// text. The "glyph_bytes" counter is the memory the render area's glyph
// sets hold after the frame; "glyphs" the glyphs they hold.
// Run by hand: build/bench/text_bench [--benchmark_repetitions=5]
#include "scene/actions/RenderToDIBAction.h"
#include "scene/cache/FontCacheElement.h"
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/FontStyle.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Text.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kColumns = 100;

// An eight-character label of a row: letters and digits as chart values use.
std::wstring Label(int i)
{
    std::wstring s = L"Q" + std::to_wstring(1000000 + i % 9000000);
    return s.substr(0, 8);
}

CVCamera* Labels(int count, bool outline)
{
    auto* camera = new CVOrthographicCamera;
    camera->position.SetValue(kColumns * 0.5f, float(count / kColumns) * 0.5f, 10.0f);
    camera->viewHeight.SetValue(float(count / kColumns) + 2.0f);
    camera->nearPlane.SetValue(1.0f);
    camera->farPlane.SetValue(20.0f);
    camera->children.Add(new CVLightModel);
    for (int i = 0; i < count; ++i) {
        auto* text = new CVText;
        text->string.Add(Label(i));
        if (outline) {
            auto* style = new CVFontStyle;
            style->size.SetValue(0.4f);
            style->extrusionDepth.SetValue(0.1f);
            text->fontStyle.SetValue(style);
        } else {
            auto* style = new CVBitmapFontStyle;
            style->size.SetValue(9.0f);
            style->opaque.SetValue(0);
            text->fontStyle.SetValue(style);
        }
        auto* shape = new CVShape;
        shape->geometry.SetValue(text);
        auto* t = new CVTransform;
        t->translation.SetValue(float(i % kColumns), float(i / kColumns), 0.0f);
        t->children.Add(shape);
        camera->children.Add(t);
    }
    return camera;
}

void Count(benchmark::State& state, CVGLRenderArea* area)
{
    std::size_t bytes = 0, glyphs = 0;
    CVCache* cache = area->GetFontCache();
    for (int i = 0; i < cache->GetCount(); ++i)
        if (auto* set = dynamic_cast<CVFontCacheElement*>(cache->GetAt(i))) {
            bytes += set->GetMemoryBytes();
            glyphs += set->GetGlyphCount();
        }
    state.counters["glyph_bytes"] = double(bytes);
    state.counters["glyphs"] = double(glyphs);
}

void FirstFrame(benchmark::State& state, int count, bool outline)
{
    CVCamera* scene = Labels(count, outline);
    scene->Ref();
    for (auto _ : state) {
        state.PauseTiming();
        auto render = std::make_unique<CVRenderToDIBAction>(nullptr);
        render->SetViewportSize(0, 0, 1600, 1200);
        state.ResumeTiming();
        render->Apply(scene);
        state.PauseTiming();
        Count(state, render->GetRenderArea());
        render.reset(); // the area and its glyphs go: the next frame is a first one again
        state.ResumeTiming();
    }
    scene->Unref();
}

// The tenth frame and after: every glyph is in the caches.
void LaterFrame(benchmark::State& state, int count, bool outline)
{
    CVCamera* scene = Labels(count, outline);
    scene->Ref();
    CVRenderToDIBAction render(nullptr);
    render.SetViewportSize(0, 0, 1600, 1200);
    for (int i = 0; i < 9; ++i)
        render.Apply(scene);
    for (auto _ : state)
        render.Apply(scene);
    Count(state, render.GetRenderArea());
    scene->Unref();
}

void BM_FirstFrameBitmapLabels(benchmark::State& s) { FirstFrame(s, 10000, false); }
void BM_TenthFrameBitmapLabels(benchmark::State& s) { LaterFrame(s, 10000, false); }
void BM_FirstFrameOutlineLabels(benchmark::State& s) { FirstFrame(s, 1000, true); }
void BM_TenthFrameOutlineLabels(benchmark::State& s) { LaterFrame(s, 1000, true); }

BENCHMARK(BM_FirstFrameBitmapLabels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TenthFrameBitmapLabels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstFrameOutlineLabels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TenthFrameOutlineLabels)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
