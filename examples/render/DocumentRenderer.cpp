#include "examples/render/DocumentRenderer.h"

#include "examples/render/PrintPage.h"

#include "platform/text/Utf8.h"
#include "platform/time/Clock.h"
#include "scene/actions/GetBoundingBoxAction.h"
#include "scene/actions/RenderToDIBAction.h"
#include "scene/actions/SearchAction.h"
#include "scene/model/Color.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Shape.h"
#include "scene/render/GLRenderArea.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/XmlText.h"

#include <xercesc/sax/SAXParseException.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <filesystem>

namespace x3drender {

namespace {

// The time of the animation the current thread plays.
thread_local long long tAnimationMs = 0;
const std::chrono::system_clock::time_point kAnimationStart =
    std::chrono::system_clock::from_time_t(978307200); // 2001-01-01

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

// Releases a node when it goes out of scope.
struct Held {
    CVNode* node;
    explicit Held(CVNode* n) : node(n) { node->Ref(); }
    ~Held() { node->Unref(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
};

} // namespace

bool IsPdfName(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".pdf";
}

void InstallAnimationClock()
{
    lumo::SetClock([] { return kAnimationStart + std::chrono::milliseconds(tAnimationMs); });
}

DocumentRenderer::DocumentRenderer(const Settings& settings)
    : mSettings(settings), mAction(std::make_unique<CVRenderToDIBAction>(nullptr))
{
    mAction->SetViewportSize(0, 0, settings.width, settings.height);
}

DocumentRenderer::~DocumentRenderer() = default;

bool DocumentRenderer::Ready() const { return mAction->GetRenderArea() && mAction->GetRenderArea()->IsSuccess(); }

bool DocumentRenderer::Render(const Job& job, std::vector<std::string>& notes, std::string& error, int& width,
                              int& height)
{
    width = job.width ? job.width : mSettings.width;
    height = job.height ? job.height : mSettings.height;
    if (!mAction->SetViewportSize(0, 0, width, height) || !Ready()) {
        error = "no OpenGL context could be made for " + std::to_string(width) + "x" + std::to_string(height) +
                " (is Mesa's EGL driver installed?)";
        return false;
    }

    CVParser parser;
    CVGroup* read = nullptr;
    try {
        read = parser.Parse(lumo::FromUtf8(job.input));
    } catch (const xercesc::SAXParseException& e) {
        error = lumo::ToUtf8(lumo::xml::ToWide(e.getMessage()));
        return false;
    }
    if (!read) {
        error = "not an X3D document (the classic .wrl encoding is not read)";
        return false;
    }
    Held scene(read);
    for (const std::wstring& m : parser.GetMessages())
        notes.push_back(lumo::ToUtf8(m));
    if (read->children.GetNum() == 0) {
        error = "the document holds no node this library draws; nothing rendered";
        return false;
    }

    CVGLRenderArea* area = mAction->GetRenderArea();
    // What the last document left in the area does not reach this one.
    area->SetLightNode(nullptr);
    area->GetErrorReport().Clear();
    // Images named by the document are found beside it first, then along
    // the default image search path.
    if (mDefaultImagePath.empty())
        mDefaultImagePath = area->GetTextureImageSearchPath();
    std::wstring imagePath = mDefaultImagePath;
    if (job.input.find("://") == std::string::npos) {
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::absolute(job.input, ec).parent_path();
        if (!ec)
            imagePath = lumo::FromUtf8(folder.string()) + L";" + imagePath;
    }
    area->SetTextureImageSearchPath(imagePath);
    auto* cameraNode = new CVPerspectiveCamera;
    Held held(cameraNode);
    cameraNode->children.Add(new CVLightModel);
    cameraNode->children.Add(read);

    // Fit the camera to the scene's box.
    CVGetBoundingBoxAction box(area);
    box.Apply(read);
    CVBox3f bounds = box.GetBoundingBox();
    CVVector center(0, 0, 0);
    float radius = 1.0f;
    if (!bounds.IsEmpty()) {
        center = bounds.GetCenter();
        radius = std::max(bounds.GetSize().Length() / 2.0f, 1e-3f);
    }
    float angle = cameraNode->viewAngle.GetValue();
    float aspect = float(width) / float(height);
    float fit = radius / std::sin(angle / 2.0f) * (aspect < 1.0f ? 1.0f / aspect : 1.0f);
    // Seen from slightly above, so that the tops of bars show.
    const float elevation = 0.3f;
    cameraNode->position.SetValue(center.x, center.y + fit * std::sin(elevation),
                                  center.z + fit * std::cos(elevation));
    cameraNode->orientation.SetValue(1.0f, 0.0f, 0.0f, -elevation);
    cameraNode->nearPlane.SetValue(std::max(fit - radius * 1.5f, fit * 0.01f));
    cameraNode->farPlane.SetValue(fit + radius * 1.5f);

    area->SetDropShadowsEnabled(mSettings.shadows ? 1 : 0);
    if (mSettings.shadows) {
        AddShadows(read);
        // Shadows fall on the plane just behind the scene.
        area->SetShadowProjectionZ(bounds.IsEmpty() ? 0.0 : 2.0 * (center.z - bounds.GetSize().z / 2.0f - 0.01f));
    }
    area->SetSceneAntialiasingEnabled(mSettings.antialias ? 1 : 0);
    mAction->SetHeadlightOn(1);
    RGBColorStruct bg = ColorrefToRGB(mSettings.background);
    mAction->SetClearColor(bg.red, bg.green, bg.blue, 1.0f);

    int drawn = 1;
    if (mSettings.seconds >= 0.0) {
        // A frame every kFrameMs from the start, then the frame at the chosen
        // time, which is kept.
        area->SetAnimationEnabled(1);
        const long long last = std::llround(mSettings.seconds * 1000.0);
        for (tAnimationMs = 0; drawn && tAnimationMs < last; tAnimationMs += kFrameMs) {
            area->SetCurrentAnimationTime();
            drawn = mAction->Apply(cameraNode);
        }
        tAnimationMs = last;
        area->SetCurrentAnimationTime();
    } else {
        area->SetAnimationEnabled(0);
    }
    if (drawn)
        drawn = mAction->Apply(cameraNode);
    // Textures that could not be drawn, and the like.
    for (const std::wstring& m : area->GetErrorReport().GetMessages())
        notes.push_back(lumo::ToUtf8(m));
    if (!drawn) {
        error = "rendering failed";
        return false;
    }
    if (mSettings.pdf || IsPdfName(job.output))
        return PrintToPdf(mAction->GetSimpleDIB(), job.input, job.output, error);
    if (!mAction->SaveToDIBFile(lumo::FromUtf8(job.output), mSettings.image)) {
        error = "cannot write " + job.output;
        return false;
    }
    return true;
}

} // namespace x3drender
