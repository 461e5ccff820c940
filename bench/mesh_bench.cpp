// A generated mesh of N triangles (default 1,000,000) in one IndexedFaceSet:
// read + first frame at 800x600 against a bare XML parse of the same bytes
// plus the first frame of the same triangles from a plain display list in
// the same context; then the tenth frame; and, with --memory, what the
// scene holds (heap in use and resident size) over the empty scene.
//
// usage: mesh_bench [--triangles N] [--runs R]     timings, medians of R runs
//        mesh_bench [--triangles N] --memory       memory, one fresh process
//        mesh_bench [--triangles N] --memory-plain the plain list's memory
//        mesh_bench [--triangles N] --write FILE   the generated document
// Run by hand; bench/mesh_bench.sh runs the timings and each memory check
// three times.
#include "bench/BenchSupport.h"
#include "scene/actions/RenderToDIBAction.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/IndexedFaceSet.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/render/GLRenderArea.h"
#include "scene/x3d/Parser.h"

#include <GL/gl.h>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace bench;

// A wavy square grid: side x side quads, two triangles each.
struct Mesh {
    int side = 0;
    std::vector<float> points; // x y z per point
    std::vector<int> triangles; // three point numbers per triangle
};

Mesh MakeMesh(long triangles)
{
    Mesh m;
    m.side = int(std::ceil(std::sqrt(double(triangles) / 2.0)));
    const int n = m.side + 1;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            float x = float(i) / float(m.side) * 10.0f - 5.0f, y = float(j) / float(m.side) * 10.0f - 5.0f;
            m.points.insert(m.points.end(), {x, y, 0.3f * std::sin(x * 1.7f) * std::cos(y * 1.3f)});
        }
    for (int j = 0; j < m.side && long(m.triangles.size()) < triangles * 3; ++j)
        for (int i = 0; i < m.side && long(m.triangles.size()) < triangles * 3; ++i) {
            int a = j * n + i, b = a + 1, c = a + n + 1, d = a + n;
            m.triangles.insert(m.triangles.end(), {a, b, c});
            if (long(m.triangles.size()) < triangles * 3)
                m.triangles.insert(m.triangles.end(), {a, c, d});
        }
    return m;
}

std::string MakeDocument(const Mesh& m)
{
    std::string d = "<?xml version='1.0' encoding='UTF-8'?>\n<X3D profile='Interchange' version='3.3'><Scene>\n"
                    "<Shape><Appearance><Material diffuseColor='0.7 0.7 0.75'/></Appearance>\n"
                    "<IndexedFaceSet coordIndex='";
    char buf[64];
    for (size_t t = 0; t < m.triangles.size(); t += 3) {
        int len =
            std::snprintf(buf, sizeof buf, "%d %d %d -1 ", m.triangles[t], m.triangles[t + 1], m.triangles[t + 2]);
        d.append(buf, size_t(len));
    }
    d += "'>\n<Coordinate point='";
    for (size_t p = 0; p < m.points.size(); p += 3) {
        int len = std::snprintf(buf, sizeof buf, "%.5g %.5g %.5g, ", m.points[p], m.points[p + 1], m.points[p + 2]);
        d.append(buf, size_t(len));
    }
    d += "'/>\n</IndexedFaceSet></Shape>\n</Scene></X3D>\n";
    return d;
}

// The same triangles from one display list of its own: the yardstick. It
// is a geometry in a shape with the same material, so that both frames
// light their vertices alike; only what is in the list differs.
class PlainMesh : public CVGeometry {
public:
    explicit PlainMesh(const Mesh& m) : mMesh(m) {}
    ~PlainMesh() override
    {
        if (mList)
            glDeleteLists(mList, 1);
    }
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override
    {
        PreRenderGL(state, area, appearance);
        if (mList) {
            glCallList(mList);
            PostRenderGL(state, area, appearance);
            return;
        }
        mList = glGenLists(1);
        glNewList(mList, GL_COMPILE_AND_EXECUTE);
        glBegin(GL_TRIANGLES);
        const float* p = mMesh.points.data();
        for (size_t t = 0; t < mMesh.triangles.size(); t += 3) {
            const float* a = p + 3 * mMesh.triangles[t];
            const float* b = p + 3 * mMesh.triangles[t + 1];
            const float* c = p + 3 * mMesh.triangles[t + 2];
            float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
            float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (len > 0)
                n[0] /= len, n[1] /= len, n[2] /= len;
            glNormal3fv(n);
            glVertex3fv(a);
            glVertex3fv(b);
            glVertex3fv(c);
        }
        glEnd();
        glEndList();
        PostRenderGL(state, area, appearance);
    }

private:
    const Mesh& mMesh;
    unsigned mList = 0;
};

// A shape of the geometry with the document's material.
CVShape* Shaped(CVGeometry* geometry)
{
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(0.7f, 0.7f, 0.75f);
    auto* appearance = new CVAppearance;
    appearance->material.SetValue(material);
    auto* shape = new CVShape;
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(geometry);
    return shape;
}

CVPerspectiveCamera* Camera()
{
    auto* camera = new CVPerspectiveCamera;
    camera->position.SetValue(0.0f, -9.0f, 12.0f);
    camera->orientation.SetValue(1.0f, 0.0f, 0.0f, 0.6f);
    camera->nearPlane.SetValue(1.0f);
    camera->farPlane.SetValue(40.0f);
    return camera;
}

double BareParse(const std::string& doc)
{
    auto t0 = Clock::now();
    {
        xercesc::XercesDOMParser parser;
        parser.setValidationScheme(xercesc::XercesDOMParser::Val_Never);
        parser.setLoadExternalDTD(false);
        xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(doc.data()), doc.size(), "bench", false);
        parser.parse(source);
    }
    return Ms(t0, Clock::now());
}



} // namespace

int main(int argc, char** argv)
{
    long triangles = 1000000;
    int runs = 5;
    bool memory = false, memoryPlain = false;
    const char* write = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--triangles") && i + 1 < argc)
            triangles = std::atol(argv[++i]);
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--memory"))
            memory = true;
        else if (!std::strcmp(argv[i], "--memory-plain"))
            memoryPlain = true;
        else if (!std::strcmp(argv[i], "--write") && i + 1 < argc)
            write = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: mesh_bench [--triangles N] [--runs R | --memory | --memory-plain | --write FILE]\n");
            return 2;
        }
    }
    const Mesh mesh = MakeMesh(triangles);
    const std::string doc = MakeDocument(mesh);
    if (write) {
        FILE* f = std::fopen(write, "wb");
        if (!f || std::fwrite(doc.data(), 1, doc.size(), f) != doc.size())
            return 1;
        std::fclose(f);
        return 0;
    }
    const double arraysMiB = double(mesh.points.size() * sizeof(float) + mesh.triangles.size() / 3 * 4 * sizeof(int)) /
                             1048576.0;
    std::printf("%ld triangles, %zu points, document %.1f MiB, coordinate + index arrays %.1f MiB\n",
                long(mesh.triangles.size() / 3), mesh.points.size() / 3, double(doc.size()) / 1048576.0, arraysMiB);

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

    if (memoryPlain) {
        Memory base = Measure();
        camera->children.Add(Shaped(new PlainMesh(mesh)));
        render.Apply(camera);
        Memory frame = Measure();
        std::printf("memory over the empty scene: the plain display list's first frame heap %.1f MiB, "
                    "resident %.1f MiB\n",
                    frame.heapMiB - base.heapMiB, frame.rssMiB - base.rssMiB);
        camera->Unref();
        return 0;
    }
    if (memory) {
        Memory base = Measure();
        CVGroup* scene = CVParser().ParseXMLBits(doc.data(), unsigned(doc.size()));
        scene->Ref();
        Memory read = Measure();
        camera->children.Add(scene);
        render.Apply(camera);
        Memory frame = Measure();
        std::printf("memory over the empty scene: after reading heap %.1f MiB, resident %.1f MiB; "
                    "after the first frame heap %.1f MiB, resident %.1f MiB (arrays %.1f MiB)\n",
                    read.heapMiB - base.heapMiB, read.rssMiB - base.rssMiB, frame.heapMiB - base.heapMiB,
                    frame.rssMiB - base.rssMiB, arraysMiB);
        camera->children.RemoveAll();
        scene->Unref();
        camera->Unref();
        return 0;
    }

    xercesc::XMLPlatformUtils::Initialize();
    std::vector<double> bare, plain, plainTenth, read, first, frameOnly, tenth;
    for (int r = 0; r < runs; ++r) {
        bare.push_back(BareParse(doc));

        auto yardstick = [&] {
            camera->children.Add(Shaped(new PlainMesh(mesh)));
            auto t0 = Clock::now();
            render.Apply(camera);
            plain.push_back(Ms(t0, Clock::now()));
            for (int f = 2; f <= 10; ++f) {
                t0 = Clock::now();
                render.Apply(camera);
                if (f == 10)
                    plainTenth.push_back(Ms(t0, Clock::now()));
            }
            camera->children.RemoveAll();
        };
        auto faceSet = [&] {
            auto t0 = Clock::now();
            CVGroup* scene = CVParser().ParseXMLBits(doc.data(), unsigned(doc.size()));
            scene->Ref();
            auto t1 = Clock::now();
            camera->children.Add(scene);
            render.Apply(camera);
            auto t2 = Clock::now();
            read.push_back(Ms(t0, t1));
            first.push_back(Ms(t0, t2));
            frameOnly.push_back(Ms(t1, t2));
            for (int f = 2; f <= 10; ++f) {
                t0 = Clock::now();
                render.Apply(camera);
                if (f == 10)
                    tenth.push_back(Ms(t0, Clock::now()));
            }
            camera->children.RemoveAll();
            scene->Unref();
        };
        // Whichever runs second in a process runs a little slower (the
        // first one's memory is still being given back): alternate.
        if (r % 2) {
            faceSet();
            yardstick();
        } else {
            yardstick();
            faceSet();
        }
    }
    xercesc::XMLPlatformUtils::Terminate();
    const double yard = Median(bare) + Median(plain);
    std::printf("medians of %d runs (ms), the two scenes in alternating order:\n", runs);
    std::printf("  bare XML parse                    %8.1f\n", Median(bare));
    std::printf("  plain display list, first frame   %8.1f  (tenth frame %.1f)\n", Median(plain), Median(plainTenth));
    std::printf("  yardstick: parse + plain frame    %8.1f\n", yard);
    std::printf("  read (parse + scene)              %8.1f\n", Median(read));
    std::printf("  read + first frame                %8.1f  = %.2f x yardstick\n", Median(first), Median(first) / yard);
    std::printf("  first frame alone                 %8.1f\n", Median(frameOnly));
    std::printf("  tenth frame                       %8.1f\n", Median(tenth));
    camera->Unref();
    return 0;
}
