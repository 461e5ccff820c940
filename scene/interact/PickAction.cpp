#include "scene/interact/PickAction.h"

#include "scene/core/NodeFields.h"
#include "scene/interact/HitRecords.h"
#include "scene/interact/PickElection.h"
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/DepthBuffer.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Text.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <string>

static_assert(sizeof(GLuint) == sizeof(std::uint32_t), "selection names are 32 bits");

namespace {

// What unwritten entries of the buffer hold: read as a name count, no record
// fits it, so reading stops there.
const std::uint32_t kUnwritten = 0xFFFFFFFFu;

std::uint8_t RulesOf(CVNode* node)
{
    if (!node->IsKindOf<CVDepthBuffer>())
        return CVPickElection::RULE_NONE;
    switch (static_cast<CVDepthBuffer*>(node)->GetWhen()) {
    case DEPTH_BUFFER_DEFERRED:
        return CVPickElection::RULE_EXCLUDED;
    case DEPTH_BUFFER_ON_TOP:
        return CVPickElection::RULE_OVERRIDE;
    default:
        return CVPickElection::RULE_NONE;
    }
}

} // namespace

CVPickAction::CVPickAction(CVGLRenderArea* area) : CVGLAction(area) { SetPickBufferSize(kDefaultPickBufferSize); }

CVPickAction::~CVPickAction() = default;

void CVPickAction::SetPickBufferSize(unsigned size)
{
    size = std::min(size, mBufferLimit);
    try {
        // One entry at least, so that OpenGL is always handed memory.
        std::vector<std::uint32_t>(std::max(size, 1u)).swap(mBuffer);
        mBufferSize = size;
    } catch (const std::bad_alloc&) {
        // The old buffer stays.
    }
}

void CVPickAction::SetPickBufferLimit(unsigned limit)
{
    mBufferLimit = std::min(limit, kMaxPickBufferSize);
    if (mBufferSize > mBufferLimit)
        SetPickBufferSize(mBufferLimit);
}

bool CVPickAction::GrowBuffer()
{
    if (mBufferSize >= mBufferLimit)
        return false;
    unsigned size = mBufferSize < mBufferLimit / 4 ? std::max(mBufferSize * 4, 1024u) : mBufferLimit;
    size = std::min(size, mBufferLimit);
    unsigned before = mBufferSize;
    SetPickBufferSize(size);
    return mBufferSize != before;
}

void CVPickAction::SetAperture(double x, double y, double width, double height)
{
    CVPickAperture a;
    a.x = x;
    a.y = y;
    a.width = width;
    a.height = height;
    SetAperture(&a);
}

void CVPickAction::SetAperture(const CVPickAperture* aperture)
{
    CVPickAperture a = aperture ? *aperture : CVPickAperture();
    if (m_pRenderArea) {
        float stretch = m_pRenderArea->GetGlobalStretchFactor();
        if (stretch > 1.0f) {
            a.x /= stretch;
            a.y /= stretch;
        }
        float scale = m_pRenderArea->GetGlobalScaleFactor();
        if (scale > 0.0f && scale < 1.0f) {
            a.x /= scale;
            a.y /= scale;
            a.width /= scale;
            a.height /= scale;
        }
        int vx, vy, vw, vh;
        m_pRenderArea->GetViewport(vx, vy, vw, vh);
        a.y = double(vh) - a.y + double(vy);
    }
    mAperture = a;
}

void CVPickAction::SetMinimizeNameStackDepth(const CVRuntimeClass* cls)
{
    mMinimize = 1;
    mMinimizeClass = cls;
}

void CVPickAction::UnSetMinimizeNameStackDepth()
{
    mMinimize = 0;
    mMinimizeClass = nullptr;
}

void CVPickAction::Reset()
{
    CVGLAction::Reset();
    mClosest = -1;
    mPicked.clear();
    mHitCount = 0;
    mPartial = false;
}

CVPickedShape* CVPickAction::GetPickedShape(int index) const
{
    if (index < 0 || index >= GetNumPickedShapes())
        throw std::out_of_range("picked shape " + std::to_string(index) + " of " +
                                std::to_string(GetNumPickedShapes()));
    return mPicked[std::size_t(index)].get();
}

CVPickedShape* CVPickAction::GetClosestPickedShape() const
{
    return mClosest >= 0 && mClosest < GetNumPickedShapes() ? mPicked[std::size_t(mClosest)].get() : nullptr;
}

int CVPickAction::Apply(CVNode* root, CVNode* overlay)
{
    Reset();
    if (!root || !PrepareContext())
        return 0;
    for (;;) {
        int hits = 0;
        if (!SelectionPass(root, overlay, hits))
            break;
        // An overflow is picked again with a larger buffer while one may be had.
        if (hits >= 0 || !GrowBuffer()) {
            TakeHits(hits);
            break;
        }
    }
    mNames.Clear();
    mWalk.clear();
    return 1;
}

int CVPickAction::Apply(CVNode* root, CVCamera* camera)
{
    if (!camera)
        return Apply(root);
    Reset();
    if (!root || !root->IsKindOf<CVChild>())
        return 0;
    CVMFNode<CVChild> saved;
    saved.Clone(camera->children);
    camera->children.RemoveAll();
    // The pick's own reference: the root's count is as the caller left it
    // afterwards (a root nobody holds is not freed by the pick).
    root->Ref();
    int result = 0;
    if (camera->children.Add(static_cast<CVChild*>(root)))
        result = Apply(camera);
    camera->children.RemoveAll();
    camera->children.Clone(saved);
    root->UnrefNoDelete();
    return result;
}

bool CVPickAction::VisibleAperture(const int gl[4], double& x, double& y, double& w, double& h) const
{
    const CVPickAperture& a = mAperture;
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !(a.width > 0.0) || !(a.height > 0.0) ||
        !std::isfinite(a.width) || !std::isfinite(a.height))
        return false;
    // What is on screen: the area's viewport, and of it what OpenGL draws.
    int vx, vy, vw, vh;
    m_pRenderArea->GetViewport(vx, vy, vw, vh);
    double left = std::max({a.x - a.width / 2, double(vx), double(gl[0])});
    double right = std::min({a.x + a.width / 2, double(vx) + vw, double(gl[0]) + gl[2]});
    double bottom = std::max({a.y - a.height / 2, double(vy), double(gl[1])});
    double top = std::min({a.y + a.height / 2, double(vy) + vh, double(gl[1]) + gl[3]});
    if (!(right > left) || !(top > bottom))
        return false;
    x = (left + right) / 2;
    y = (bottom + top) / 2;
    w = right - left;
    h = top - bottom;
    return true;
}

bool CVPickAction::SelectionPass(CVNode* root, CVNode* overlay, int& hits)
{
    mNames.Clear();
    mWalk.clear();
    CVGLRenderArea* area = m_pRenderArea;
    // The frame's viewport, whatever drew in the context since.
    area->SetViewport(area->GetViewport());
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    double x = 0, y = 0, w = 0, h = 0;
    if (!VisibleAperture(viewport, x, y, w, h))
        return false;

    std::fill(mBuffer.begin(), mBuffer.end(), kUnwritten);
    m_pState->m_bPickMode = 1;
    mGLStack.PushAttributes();
    glDisable(GL_LIGHTING);
    glSelectBuffer(GLsizei(mBufferSize), mBuffer.data());
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPickMatrix(x, y, w, h, viewport);
    glInitNames();
    // The one slot of OpenGL's name stack the walk loads its names into.
    glPushName(CVPickNames::kNoName);
    PushModelView();
    root->Traverse(this, nullptr, 0);
    if (overlay)
        overlay->Traverse(this, nullptr, 0);
    PopModelView();
    glPopName();
    glFlush();
    hits = glRenderMode(GL_RENDER);
    // No pick matrix is left for whoever draws next.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    mGLStack.PopAttributes();
    m_pState->m_bPickMode = 0;
    return true;
}

bool CVPickAction::GetsName(CVNode* node) const
{
    return !mMinimize || node->IsKindOf<CVShape>() || (mMinimizeClass && node->IsKindOf(mMinimizeClass));
}

void CVPickAction::PreActOn(CVNode* node)
{
    Frame frame = mWalk.empty() ? Frame{CVPickNames::kNoName, 0} : mWalk.back();
    frame.rules |= RulesOf(node);
    if (GetsName(node)) {
        std::uint32_t name = mNames.Add(node, frame.name, frame.rules);
        if (name != CVPickNames::kNoName) {
            frame.name = name;
            glLoadName(name);
        }
    }
    mWalk.push_back(frame);
    node->Render(m_pState, m_pRenderArea);
}

void CVPickAction::PostActOn(CVNode*)
{
    if (mWalk.empty())
        return;
    std::uint32_t name = mWalk.back().name;
    mWalk.pop_back();
    std::uint32_t outer = mWalk.empty() ? CVPickNames::kNoName : mWalk.back().name;
    if (outer != name)
        glLoadName(outer);
}

void CVPickAction::TakeHits(int hits)
{
    mHitCount = hits;
    mPartial = hits < 0;
    CVPickElection election;
    for (const CVHitRecord& r : lumo::pick::ReadHitRecords(mBuffer.data(), mBufferSize, hits)) {
        // The first name is the innermost named node; the next, when there
        // is one, the part its shape loaded (or the shape's placeholder).
        if (r.nameCount == 0 || !mNames.IsName(r.names[0]))
            continue;
        std::vector<CVNode*> path = mNames.PathTo(r.names[0]);
        // A node that drew by itself, not through a shape: its own name takes
        // the part's place and is not a path entry.
        if (r.nameCount == 1)
            path.pop_back();
        if (path.empty())
            continue;
        unsigned part = r.nameCount >= 2 ? r.names[1] : CVPickNames::kNoName;
        CVText* text = nullptr;
        CVBitmapFontStyle* style = nullptr;
        // A bitmap text is hit anywhere in its box: one part, the placeholder.
        if (IsBitmapText(path.back(), text, style))
            part = CVPickNames::kNoName;
        auto picked = std::make_shared<CVPickedShape>();
        for (std::size_t k = 0; k < path.size(); ++k)
            picked->AddNode(path[k], k + 1 == path.size() ? part : CVPickNames::kNoName);
        picked->SetDepths(r.minDepth, r.maxDepth);
        election.Offer(int(mPicked.size()), r.minDepth, r.maxDepth, mNames.RulesOf(r.names[0]));
        mPicked.push_back(std::move(picked));
    }
    mClosest = election.Closest();
}

bool CVPickAction::IsBitmapText(CVNode* node, CVText*& text, CVBitmapFontStyle*& style)
{
    text = nullptr;
    style = nullptr;
    if (!node || !node->IsKindOf<CVShape>())
        return false;
    CVGeometry* g = static_cast<CVShape*>(node)->geometry.GetValue();
    if (!g || !g->IsKindOf<CVText>())
        return false;
    CVBaseFontStyle* fontStyle = static_cast<CVText*>(g)->fontStyle.GetValue();
    if (!fontStyle || !fontStyle->IsKindOf<CVBitmapFontStyle>())
        return false;
    text = static_cast<CVText*>(g);
    style = static_cast<CVBitmapFontStyle*>(fontStyle);
    return true;
}
