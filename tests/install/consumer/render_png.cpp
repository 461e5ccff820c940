// A host program built against an installed lumoscene: reads a document,
// renders it off-screen and writes a PNG file. Fails when nothing of the
// scene reached the picture.
//
//   render_png INPUT.x3d OUTPUT.png
#include <lumoscene/scene/actions/GetBoundingBoxAction.h>
#include <lumoscene/scene/actions/RenderToDIBAction.h>
#include <lumoscene/scene/nodes/Camera.h>
#include <lumoscene/scene/nodes/Group.h>
#include <lumoscene/scene/nodes/Lights.h>
#include <lumoscene/scene/render/GLRenderArea.h>
#include <lumoscene/scene/x3d/Parser.h>

#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/XMLString.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: render_png INPUT.x3d OUTPUT.png\n");
        return 2;
    }
    std::string input = argv[1], output = argv[2];
    CVGroup* scene = nullptr;
    try {
        scene = CVParser().Parse(std::wstring(input.begin(), input.end()));
    } catch (const xercesc::SAXParseException& e) {
        char* message = xercesc::XMLString::transcode(e.getMessage());
        std::fprintf(stderr, "render_png: %s: %s\n", input.c_str(), message);
        xercesc::XMLString::release(&message);
        return 1;
    }
    if (!scene) {
        std::fprintf(stderr, "render_png: %s: no document\n", input.c_str());
        return 1;
    }

    const int width = 160, height = 120;
    CVRenderToDIBAction render(nullptr);
    if (!render.SetViewportSize(0, 0, width, height) || !render.GetRenderArea()->IsSuccess()) {
        std::fprintf(stderr, "render_png: no OpenGL context\n");
        return 1;
    }
    auto* camera = new CVPerspectiveCamera;
    camera->Ref();
    camera->children.Add(new CVLightModel);
    camera->children.Add(scene);

    // Looks at the scene's box from in front, far enough to see all of it.
    CVGetBoundingBoxAction box(render.GetRenderArea());
    box.Apply(scene);
    CVBox3f bounds = box.GetBoundingBox();
    if (bounds.IsEmpty()) {
        camera->Unref();
        std::fprintf(stderr, "render_png: %s: nothing to draw\n", input.c_str());
        return 1;
    }
    CVVector center = bounds.GetCenter();
    float radius = bounds.GetSize().Length() / 2.0f;
    float distance = radius / std::sin(camera->viewAngle.GetValue() / 2.0f) * 1.4f;
    camera->position.SetValue(center.x, center.y, center.z + distance);
    camera->nearPlane.SetValue(distance - radius * 1.5f > 0.01f ? distance - radius * 1.5f : 0.01f);
    camera->farPlane.SetValue(distance + radius * 1.5f);
    render.SetHeadlightOn(1);
    render.SetClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    int ok = render.Apply(camera);
    camera->Unref();
    if (!ok) {
        std::fprintf(stderr, "render_png: rendering failed\n");
        return 1;
    }

    // 32-bit pixels; anything not the black background is the scene.
    const CSimpleDIB& dib = render.GetSimpleDIB();
    const auto* pixels = static_cast<const std::uint8_t*>(dib.GetBits());
    long drawn = 0;
    for (unsigned i = 0; i < dib.GetWidth() * dib.GetHeight(); ++i)
        drawn += (pixels[4 * i] | pixels[4 * i + 1] | pixels[4 * i + 2]) != 0;
    if (drawn == 0) {
        std::fprintf(stderr, "render_png: the picture is empty\n");
        return 1;
    }
    if (!render.SaveToDIBFile(std::wstring(output.begin(), output.end()))) {
        std::fprintf(stderr, "render_png: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("render_png: wrote %s (%dx%d, %ld pixels of the scene)\n", output.c_str(), width, height, drawn);
    return 0;
}
