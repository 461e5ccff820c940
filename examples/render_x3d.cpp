// Renders an X3D document off-screen to an image file: the document is put
// under a perspective camera and a headlight fitted to its bounding box.
//
// usage: x3d-render [--size WxH] [--background COLOR] [--shadows] [--antialias] [--time SECONDS] INPUT.x3d OUTPUT.png
#include "platform/text/Utf8.h"
#include "platform/time/Clock.h"
#include "scene/actions/GetBoundingBoxAction.h"
#include "scene/actions/RenderToDIBAction.h"
#include "scene/actions/SearchAction.h"
#include "scene/model/Color.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Shape.h"
#include "scene/render/GLRenderArea.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/XmlText.h"

#include <xercesc/sax/SAXParseException.hpp>

#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: x3d-render [--size WxH] [--background COLOR] [--shadows] [--antialias] [--time SECONDS] INPUT.x3d OUTPUT\n"
    "  Renders the document to an image file; the output's extension picks the\n"
    "  format (.png, .jpg, .gif, .tiff, .bmp). COLOR is any colour text the\n"
    "  library reads (white, #336699, light gray); the default is the view\n"
    "  control's background, #898D9D. --shadows gives every shape a drop shadow;\n"
    "  --antialias turns on scene antialiasing. --time plays the document's\n"
    "  animations (0 to 600 seconds, 25 frames a second) and writes the frame\n"
    "  at that time; without it animations stand still. Elements the library\n"
    "  does not read are named on standard error; a document with no node to\n"
    "  draw fails.\n";

// Animations are played at this frame interval up to the chosen time.
const int kFrameMs = 40;
const double kMaxSeconds = 600.0;

std::wstring Widen(const char* s)
{
    std::wstring w(std::strlen(s) + 1, L'\0');
    size_t n = std::mbstowcs(&w[0], s, w.size());
    if (n == size_t(-1))
        return std::wstring(s, s + std::strlen(s));
    w.resize(n);
    return w;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "x3d-render: %s\n", message.c_str());
    return 1;
}

// Marks every geometry under the root as casting a drop shadow.
void AddShadows(CVNode* root)
{
    CVSearchAction search;
    search.SetType(LUMO_RUNTIME_CLASS(CVShape));
    search.Apply(root);
    for (const auto& path : *search.GetPathList())
        if (auto* shape = static_cast<CVShape*>(path->back()); shape->geometry.GetValue())
            shape->geometry->SetDropShadowFlag(1);
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "");
    int width = 800, height = 600;
    bool shadows = false, antialias = false;
    double seconds = -1.0; // no --time: animations stand still
    // The view control's default background, so that default white
    // materials stand out.
    COLORREF background = RGB(137, 141, 157);
    const char* input = nullptr;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--size" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0 ||
                width > 16384 || height > 16384)
                return Fail("bad --size '" + std::string(argv[i]) + "' (expected WxH, e.g. 800x600)");
        } else if (a == "--background" && i + 1 < argc) {
            background = ConvertStringToColor(Widen(argv[++i]));
        } else if (a == "--shadows") {
            shadows = true;
        } else if (a == "--antialias") {
            antialias = true;
        } else if (a == "--time" && i + 1 < argc) {
            char* end = nullptr;
            seconds = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end || !(seconds >= 0.0 && seconds <= kMaxSeconds))
                return Fail("bad --time '" + std::string(argv[i]) + "' (expected seconds from 0 to 600)");
        } else if (!a.empty() && a[0] == '-') {
            std::fputs(kUsage, stderr);
            return Fail("unknown option " + a);
        } else if (!input) {
            input = argv[i];
        } else if (!output) {
            output = argv[i];
        } else {
            return Fail("too many arguments (see --help)");
        }
    }
    if (!input || !output) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    CVGroup* scene = nullptr;
    std::vector<std::wstring> messages;
    try {
        scene = CVParser().Parse(Widen(input), &messages);
    } catch (const xercesc::SAXParseException& e) {
        return Fail(std::string(input) + ": " + lumo::ToUtf8(lumo::xml::ToWide(e.getMessage())));
    }
    if (!scene)
        return Fail(std::string(input) + ": not an X3D document (the classic .wrl encoding is not read)");
    scene->Ref();
    // What the reader skipped: each kind once, with its count.
    for (const std::wstring& m : messages)
        std::fprintf(stderr, "x3d-render: %s: %s\n", input, lumo::ToUtf8(m).c_str());
    if (scene->children.GetNum() == 0) {
        scene->Unref();
        return Fail(std::string(input) + ": the document holds no node this library draws; nothing rendered");
    }

    CVGLRenderArea::SetInflateWorld(0);
    CVRenderToDIBAction render(nullptr);
    if (!render.SetViewportSize(0, 0, width, height) || !render.GetRenderArea()->IsSuccess()) {
        scene->Unref();
        return Fail("no OpenGL context could be created (is Mesa's EGL driver installed?)");
    }
    CVGLRenderArea* area = render.GetRenderArea();

    auto* camera = new CVPerspectiveCamera;
    camera->Ref();
    auto* lighting = new CVLightModel;
    camera->children.Add(lighting);
    camera->children.Add(scene);

    // Fit the camera to the scene's box.
    CVGetBoundingBoxAction box(area);
    box.Apply(scene);
    CVBox3f bounds = box.GetBoundingBox();
    CVVector center(0, 0, 0);
    float radius = 1.0f;
    if (!bounds.IsEmpty()) {
        center = bounds.GetCenter();
        radius = std::max(bounds.GetSize().Length() / 2.0f, 1e-3f);
    }
    float angle = camera->viewAngle.GetValue();
    float aspect = float(width) / float(height);
    float fit = radius / std::sin(angle / 2.0f) * (aspect < 1.0f ? 1.0f / aspect : 1.0f);
    // Seen from slightly above, so that the tops of bars show.
    const float elevation = 0.3f;
    camera->position.SetValue(center.x, center.y + fit * std::sin(elevation), center.z + fit * std::cos(elevation));
    camera->orientation.SetValue(1.0f, 0.0f, 0.0f, -elevation);
    camera->nearPlane.SetValue(std::max(fit - radius * 1.5f, fit * 0.01f));
    camera->farPlane.SetValue(fit + radius * 1.5f);

    if (shadows) {
        AddShadows(scene);
        area->SetDropShadowsEnabled(1);
        // Shadows fall on the plane just behind the scene.
        area->SetShadowProjectionZ(bounds.IsEmpty() ? 0.0 : 2.0 * (center.z - bounds.GetSize().z / 2.0f - 0.01f));
    }
    area->SetSceneAntialiasingEnabled(antialias ? 1 : 0);
    render.SetHeadlightOn(1);
    RGBColorStruct bg = ColorrefToRGB(background);
    render.SetClearColor(bg.red, bg.green, bg.blue, 1.0f);

    int ok = 1;
    if (seconds >= 0.0) {
        // Play the animations from their start on a clock of our own: a frame
        // every kFrameMs, then the frame at the chosen time, which is kept.
        using namespace std::chrono;
        const system_clock::time_point start = system_clock::from_time_t(978307200); // 2001-01-01
        long long elapsed = 0;
        lumo::SetClock([&start, &elapsed] { return start + milliseconds(elapsed); });
        area->SetAnimationEnabled(1);
        const long long last = std::llround(seconds * 1000.0);
        for (; ok && elapsed < last; elapsed += kFrameMs) {
            area->SetCurrentAnimationTime();
            ok = render.Apply(camera);
        }
        elapsed = last;
        area->SetCurrentAnimationTime();
        if (ok)
            ok = render.Apply(camera);
        lumo::SetClock({});
    } else {
        ok = render.Apply(camera);
    }
    camera->Unref();
    scene->Unref();
    if (!ok)
        return Fail("rendering failed");
    if (!render.SaveToDIBFile(Widen(output)))
        return Fail(std::string("cannot write ") + output);
    std::printf("wrote %s (%dx%d)\n", output, width, height);
    return 0;
}
