// A 1000 x 1000 elevation grid (default) with 8 colour levels drawn as
// filled bands and the contour line of every level: the build (grid and
// contour line sets) and the first frame at 800x600, the tenth frame, and
// the triangles the first frame sends (counted by the driver) against the
// same number of triangles from one plain display list in the same
// context, as the face-set benchmark (mesh_bench) measures its yardstick.
// With --memory: what the scene holds over the empty scene.
//
// usage: grid_bench [--side N] [--runs R]   timings, medians of R runs
//        grid_bench [--side N] --memory     memory, one fresh process
// Run by hand; bench/grid_bench.sh runs the timings and the memory check
// three times.
#define GL_GLEXT_PROTOTYPES 1
#include "bench/BenchSupport.h"
#include "scene/actions/RenderToDIBAction.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/ElevationGrid.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace bench;


CVShape* Shaped(CVGeometry* geometry, RGBColorStruct colour)
{
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(colour);
    auto* appearance = new CVAppearance;
    appearance->material.SetValue(material);
    auto* shape = new CVShape;
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(geometry);
    return shape;
}

// The chart: a wavy surface over 10 x 10 units, 8 levels across its range,
// bands on, and one line set per level.
CVTransform* BuildChart(int side, long& contourPoints)
{
    auto* grid = new CVElevationGrid;
    grid->xDimension.SetValue(side);
    grid->zDimension.SetValue(side);
    grid->xSpacing.SetValue(10.0f / float(side - 1));
    grid->zSpacing.SetValue(10.0f / float(side - 1));
    grid->height.SetCapacity(side * side);
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) {
            const float x = float(i) / float(side - 1) * 10.0f, z = float(j) / float(side - 1) * 10.0f;
            grid->height.Add(std::sin(x * 1.7f) * std::cos(z * 1.3f) + 0.1f * x);
        }
    auto* levels = new CVColorInterpolator;
    for (int k = 0; k < 8; ++k) {
        levels->key.Add(-0.8f + 0.25f * float(k));
        levels->keyValue.Add(RGBAColorStruct{float(k) / 7.0f, 0.4f, 1.0f - float(k) / 7.0f, 1.0f});
    }
    grid->SetColorLevels(levels);
    grid->contourBands.SetValue(1);
    auto* chart = new CVTransform;
    chart->translation.SetValue(-5.0f, 0.0f, -5.0f);
    chart->children.Add(Shaped(grid, {1, 1, 1}));
    contourPoints = 0;
    for (CVIndexedLineSet* lines : grid->CreateContourLineNodes()) {
        contourPoints += lines->coord.GetValue() ? lines->coord->point.GetNum() : 0;
        chart->children.Add(Shaped(lines, {0, 0, 0}));
    }
    return chart;
}

// 'triangles' triangles of the same wavy surface from one display list.
class PlainTriangles : public CVGeometry {
public:
    PlainTriangles(int side, long triangles) : mSide(side), mTriangles(triangles) {}
    ~PlainTriangles() override
    {
        if (mList)
            glDeleteLists(mList, 1);
    }
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override
    {
        PreRenderGL(state, area, appearance);
        if (!mList) {
            mList = glGenLists(1);
            glNewList(mList, GL_COMPILE_AND_EXECUTE);
            glBegin(GL_TRIANGLES);
            const float step = 10.0f / float(mSide - 1);
            auto vertex = [&](int i, int j) {
                const float x = float(i) * step, z = float(j) * step;
                glNormal3f(0.0f, 1.0f, 0.0f);
                glVertex3f(x - 5.0f, std::sin(x * 1.7f) * std::cos(z * 1.3f), z - 5.0f);
            };
            long sent = 0;
            for (int j = 0; j + 1 < mSide && sent < mTriangles; ++j)
                for (int i = 0; i + 1 < mSide && sent < mTriangles; ++i) {
                    vertex(i, j), vertex(i, j + 1), vertex(i + 1, j + 1);
                    if (++sent < mTriangles)
                        vertex(i, j), vertex(i + 1, j + 1), vertex(i + 1, j), ++sent;
                }
            glEnd();
            glEndList();
        } else {
            glCallList(mList);
        }
        PostRenderGL(state, area, appearance);
    }

private:
    int mSide;
    long mTriangles;
    unsigned mList = 0;
};

CVPerspectiveCamera* Camera()
{
    auto* camera = new CVPerspectiveCamera;
    camera->position.SetValue(0.0f, 9.0f, 12.0f);
    camera->orientation.SetValue(1.0f, 0.0f, 0.0f, -0.6f);
    camera->nearPlane.SetValue(1.0f);
    camera->farPlane.SetValue(40.0f);
    return camera;
}

// One frame, with the triangles the driver was sent during it.
double Frame(CVRenderToDIBAction& render, CVCamera* camera, GLuint query, long* triangles)
{
    render.GetRenderArea()->MakeCurrent();
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    const auto t0 = Clock::now();
    render.Apply(camera);
    const double ms = Ms(t0, Clock::now());
    render.GetRenderArea()->MakeCurrent();
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint64 count = 0;
    glGetQueryObjectui64v(query, GL_QUERY_RESULT, &count);
    if (triangles)
        *triangles = long(count);
    return ms;
}


} // namespace

int main(int argc, char** argv)
{
    int side = 1000, runs = 5;
    bool memory = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--side") && i + 1 < argc)
            side = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--memory"))
            memory = true;
        else {
            std::fprintf(stderr, "usage: grid_bench [--side N] [--runs R | --memory]\n");
            return 2;
        }
    }
    if (side < 2 || side > 2048 || runs < 1) {
        std::fprintf(stderr, "grid_bench: --side 2 .. 2048, --runs at least 1\n");
        return 2;
    }
    CVGLRenderArea::SetInflateWorld(0);
    CVRenderToDIBAction render(nullptr);
    if (!render.SetViewportSize(0, 0, 800, 600) || !render.GetRenderArea()->IsSuccess()) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    render.SetHeadlightOn(1);
    CVPerspectiveCamera* camera = Camera();
    camera->Ref();
    render.Apply(camera); // the empty scene: context and driver warmed up
    render.GetRenderArea()->MakeCurrent();
    GLuint query = 0;
    glGenQueries(1, &query);

    long contourPoints = 0;
    if (memory) {
        const Memory base = Measure();
        CVTransform* chart = BuildChart(side, contourPoints);
        camera->children.Add(chart);
        const Memory built = Measure();
        render.Apply(camera);
        const Memory frame = Measure();
        std::printf("%d x %d grid, 8 levels, %ld contour points; memory over the empty scene: built heap %.1f MiB, "
                    "resident %.1f MiB; after the first frame heap %.1f MiB, resident %.1f MiB (heights %.1f MiB)\n",
                    side, side, contourPoints, built.heapMiB - base.heapMiB, built.rssMiB - base.rssMiB,
                    frame.heapMiB - base.heapMiB, frame.rssMiB - base.rssMiB,
                    double(side) * side * sizeof(float) / 1048576.0);
        camera->Unref();
        return 0;
    }

    std::vector<double> build, first, tenth, plain, plainTenth;
    long gridTriangles = 0, plainTriangles = 0;
    for (int r = 0; r < runs; ++r) {
        auto chartRun = [&] {
            const auto t0 = Clock::now();
            CVTransform* chart = BuildChart(side, contourPoints);
            build.push_back(Ms(t0, Clock::now()));
            camera->children.Add(chart);
            first.push_back(Frame(render, camera, query, &gridTriangles));
            for (int f = 2; f <= 10; ++f) {
                const double ms = Frame(render, camera, query, nullptr);
                if (f == 10)
                    tenth.push_back(ms);
            }
            camera->children.RemoveAll();
        };
        auto yardstick = [&] {
            camera->children.Add(Shaped(new PlainTriangles(side, gridTriangles), {1, 1, 1}));
            plain.push_back(Frame(render, camera, query, &plainTriangles));
            for (int f = 2; f <= 10; ++f) {
                const double ms = Frame(render, camera, query, nullptr);
                if (f == 10)
                    plainTenth.push_back(ms);
            }
            camera->children.RemoveAll();
        };
        chartRun(); // first: the yardstick needs the grid's triangle count
        yardstick();
    }
    camera->Unref();
    const double f = Median(first), p = Median(plain);
    std::printf("%d x %d grid, 8 levels in bands, %ld contour points; medians of %d runs (ms):\n", side, side,
                contourPoints, runs);
    std::printf("  build (heights, levels, contour line sets)  %8.1f\n", Median(build));
    std::printf("  first frame (compiles the surface's list)   %8.1f  %ld triangles, %.1f M triangles/s\n", f,
                gridTriangles, f > 0 ? double(gridTriangles) / f / 1000.0 : 0.0);
    std::printf("  build + first frame                          %8.1f\n", Median(build) + f);
    std::printf("  tenth frame                                  %8.1f\n", Median(tenth));
    std::printf("  plain display list, first frame              %8.1f  %ld triangles, %.1f M triangles/s\n", p,
                plainTriangles, p > 0 ? double(plainTriangles) / p / 1000.0 : 0.0);
    std::printf("  plain display list, tenth frame              %8.1f\n", Median(plainTenth));
    return 0;
}
