// A store aisle as a shelf-plan document: 20 gondola bays (fixtures) of 10
// shelves each (200 subfixtures) holding 25 products a shelf (5,000
// products, each with a label and its own material), written as X3D text
// and read back. Measures reading the document, the first frame at
// 800x600 with the whole aisle in view, a frame while the controller
// rotates it (the mouse dragged in rotate mode, one move per frame), and a
// close-up frame where the labels are drawn. With --memory: what the scene
// holds over the empty process, after reading and after the first frame.
//
// usage: shelf_bench [--no-labels] [--runs R]  timings, medians of R runs
//        shelf_bench [--no-labels] --memory    memory, one fresh process
// (--no-labels switches the area's product and fixture labels off, for
// comparison).
// Run by hand; bench/shelf_bench.sh runs the timings and the memory check
// three times.
#include "bench/BenchSupport.h"
#include "platform/win/InputCodes.h"
#include "scene/actions/RenderToDIBAction.h"
#include "scene/interact/Controller.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "scene/x3d/Parser.h"


#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace bench;


constexpr int kBays = 20, kShelves = 10, kProducts = 25;

// The aisle: bays side by side along x, centred on the origin, inside one
// top-level transform that the controller turns.
std::string Document()
{
    std::string d = "<X3D><Scene><Transform DEF='Aisle'>\n";
    char buf[512];
    for (int b = 0; b < kBays; ++b) {
        const double x = (b - (kBays - 1) / 2.0) * 1.2;
        std::snprintf(buf, sizeof buf,
                      "<Transform translation='%g 1 -0.26'><Shape><SPFixture id='F%d' type='Pegboard' "
                      "size='1.2 2 0.02' notches='TRUE' notchInterval='0.0508' label='\"Bay %d\"'/></Shape>"
                      "</Transform>\n",
                      x, b, b + 1);
        d += buf;
        for (int s = 0; s < kShelves; ++s) {
            const double y = 0.15 + s * 0.185;
            std::snprintf(buf, sizeof buf,
                          "<Transform translation='%g %g 0'><Shape><SPSubfixture id='S%d_%d' type='Shelf' "
                          "size='1.2 0.02 0.5'/></Shape><Group>\n",
                          x, y, b, s);
            d += buf;
            for (int p = 0; p < kProducts; ++p) {
                const double px = -0.576 + p * 0.048;
                std::snprintf(buf, sizeof buf,
                              "<Transform translation='%g 0.08 0'><Shape><Appearance><Material "
                              "diffuseColor='%g %g %g'/></Appearance><SPProduct id='P%d_%d_%d' size='0.044 0.14 "
                              "0.1' facings='1 1 4' label='\"Item %d\"'/></Shape></Transform>\n",
                              px, 0.2 + 0.03 * (p % 20), 0.3 + 0.05 * (s % 10), 0.9 - 0.03 * (b % 20), b, s, p,
                              (b * kShelves + s) * kProducts + p);
                d += buf;
            }
            d += "</Group></Transform>\n";
        }
    }
    d += "</Transform></Scene></X3D>\n";
    return d;
}

CVPerspectiveCamera* Camera(float z)
{
    auto* camera = new CVPerspectiveCamera;
    camera->position.SetValue(0.0f, 1.0f, z);
    camera->nearPlane.SetValue(0.5f);
    camera->farPlane.SetValue(100.0f);
    return camera;
}


CVTransform* Aisle(CVGroup* doc)
{
    return doc && doc->children.GetNum() > 0 && doc->children[0]->IsKindOf<CVTransform>()
               ? static_cast<CVTransform*>(doc->children[0])
               : nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    bool memory = false, labels = true;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--no-labels"))
            labels = false;
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--memory"))
            memory = true;
        else {
            std::fprintf(stderr, "usage: shelf_bench [--no-labels] [--runs R | --memory]\n");
            return 2;
        }
    }
    if (runs < 1) {
        std::fprintf(stderr, "shelf_bench: --runs at least 1\n");
        return 2;
    }
    CVGLRenderArea::SetInflateWorld(0);
    CVRenderToDIBAction render(nullptr);
    if (!render.SetViewportSize(0, 0, 800, 600) || !render.GetRenderArea()->IsSuccess()) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    render.SetHeadlightOn(1);
    render.GetRenderArea()->SetProductLabelsEnabled(labels);
    render.GetRenderArea()->SetFixtureLabelsEnabled(labels);
    CVPerspectiveCamera* overview = Camera(20.0f);
    CVPerspectiveCamera* close = Camera(2.2f);
    overview->Ref();
    close->Ref();
    render.Apply(overview); // the empty scene: context and driver warmed up
    const std::string text = Document();

    if (memory) {
        const Memory base = Measure();
        CVGroup* doc = CVParser().ParseXMLBits(text.data(), unsigned(text.size()));
        if (!doc) {
            std::fprintf(stderr, "the document did not read\n");
            return 1;
        }
        overview->children.Add(doc);
        const Memory read = Measure();
        render.Apply(overview);
        const Memory frame = Measure();
        std::printf("%d fixtures, %d subfixtures, %d products with labels (%.1f MB of X3D); memory over the empty "
                    "scene: read heap %.1f MiB, resident %.1f MiB; after the first frame heap %.1f MiB, resident "
                    "%.1f MiB\n",
                    kBays, kBays * kShelves, kBays * kShelves * kProducts, double(text.size()) / 1e6,
                    read.heapMiB - base.heapMiB, read.rssMiB - base.rssMiB, frame.heapMiB - base.heapMiB,
                    frame.rssMiB - base.rssMiB);
        overview->Unref();
        close->Unref();
        return 0;
    }

    std::vector<double> reading, first, rotating, labelled;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = Clock::now();
        CVGroup* doc = CVParser().ParseXMLBits(text.data(), unsigned(text.size()));
        reading.push_back(Ms(t0, Clock::now()));
        CVTransform* aisle = Aisle(doc);
        if (doc)
            doc->Ref(); // held while it moves from one camera to the other
        if (!aisle) {
            std::fprintf(stderr, "the document did not read\n");
            return 1;
        }
        overview->children.Add(doc);
        auto t1 = Clock::now();
        render.Apply(overview);
        first.push_back(Ms(t1, Clock::now()));

        // Rotate-drag frames: the controller turns the aisle a little for
        // each mouse move and the view is drawn again.
        CVController controller;
        controller.SetViewportSize(800, 600);
        controller.SetTopLevelTransformNode(aisle);
        controller.SetMouseMode(LumoMouseRotate);
        controller.OnLButtonDown(MK_LBUTTON, {400, 300});
        std::vector<double> frames;
        for (int f = 1; f <= 10; ++f) {
            controller.OnMouseMove(MK_LBUTTON, {400 + 4 * f, 300 + f});
            t1 = Clock::now();
            render.Apply(overview);
            frames.push_back(Ms(t1, Clock::now()));
        }
        controller.OnLButtonUp(0, {440, 310});
        rotating.push_back(Median(frames));
        controller.SetTopLevelTransformNode(nullptr);

        // Close up, square on: the labels of the bays in view are drawn.
        aisle->rotation.SetValue(0.0f, 1.0f, 0.0f, 0.0f);
        overview->children.RemoveAll();
        close->children.Add(doc);
        render.Apply(close);
        t1 = Clock::now();
        render.Apply(close);
        labelled.push_back(Ms(t1, Clock::now()));
        close->children.RemoveAll();
        doc->Unref();
    }
    std::printf("%d fixtures, %d subfixtures, %d products with labels, %.1f MB of X3D, 800x600, medians of %d runs:\n"
                "  read %.1f ms; first frame %.1f ms; rotate-drag frame %.1f ms; close-up frame with labels %.1f ms\n",
                kBays, kBays * kShelves, kBays * kShelves * kProducts, double(text.size()) / 1e6, runs,
                Median(reading), Median(first), Median(rotating), Median(labelled));
    overview->Unref();
    close->Unref();
    return 0;
}
