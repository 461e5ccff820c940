#include "scene/actions/GetBoundingBoxAction.h"

#include "scene/nodes/Camera.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

CVGetBoundingBoxAction::~CVGetBoundingBoxAction() { ClearStack(); }

void CVGetBoundingBoxAction::ClearStack()
{
    for (CVBox3f* box : m_stack)
        if (box != &m_box)
            delete box;
    m_stack.clear();
}

void CVGetBoundingBoxAction::Reset()
{
    CVGLAction::Reset();
    ClearStack();
    m_box.MakeEmpty();
    m_box.DeleteClipList();
}

int CVGetBoundingBoxAction::Apply(CVNode* node)
{
    if (!node || !PrepareContext())
        return 0;
    return ApplyCurrent(node);
}

int CVGetBoundingBoxAction::ApplyCurrent(CVNode* node)
{
    if (!node->IsKindOf<CVGroup>()) {
        node->ComputeBoundingBox(m_pState, m_pRenderArea, &m_box);
        return 1;
    }
    Reset();
    m_stack.push_back(&m_box);
    node->Traverse(this, nullptr, 0);
    ClearStack();
    return 1;
}

int CVGetBoundingBoxAction::FastApply(CVNode* node)
{
    if (!node || !PrepareContext())
        return 0;
    auto* group = node->IsKindOf<CVGroup>() ? static_cast<CVGroup*>(node) : nullptr;
    if (group && m_bSetNodeBoundingBoxes && group->bboxSize.GetValue().x != -1.0f) {
        Reset();
        m_box.SetCenter(CVVector(group->bboxCenter.GetValue()));
        m_box.SetSize(CVVector(group->bboxSize.GetValue()));
        if (group->IsKindOf<CVTransform>() && !m_box.IsEmpty())
            m_box.Transform(static_cast<CVTransform*>(group)->GetRowMatrix());
        return 1;
    }
    return ApplyCurrent(node);
}

int CVGetBoundingBoxAction::Apply(CVNode* node, const double* matrix)
{
    if (!matrix)
        return Apply(node);
    if (!node || !PrepareContext())
        return 0;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixd(matrix);
    int result = ApplyCurrent(node);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    return result;
}

int CVGetBoundingBoxAction::Apply(const CVNodePath& path)
{
    if (!PrepareContext())
        return 0;
    int saved = m_bSetNodeBoundingBoxes;
    m_bSetNodeBoundingBoxes = 0;
    Reset();
    m_stack.push_back(&m_box);
    if (!path.empty() && path[0])
        path[0]->Traverse(this, &path, 0);
    ClearStack();
    m_bSetNodeBoundingBoxes = saved;
    return 1;
}

int CVGetBoundingBoxAction::Apply(CVNode* node, CVCamera* camera)
{
    if (!camera)
        return Apply(node);
    CVMFNode<CVChild> saved;
    saved.Clone(camera->children);
    camera->children.RemoveAll();
    if (node && node->IsKindOf<CVChild>())
        camera->children.Add(static_cast<CVChild*>(node));
    int result = Apply(camera);
    camera->children.RemoveAll();
    camera->children.Clone(saved);
    return result;
}

void CVGetBoundingBoxAction::PreActOn(CVNode* node)
{
    auto* box = new CVBox3f;
    // A group's own state (a transform's matrix) is in force while its
    // children compute their boxes.
    if (node->IsKindOf<CVGroup>())
        node->Render(m_pState, m_pRenderArea);
    node->ComputeBoundingBox(m_pState, m_pRenderArea, box);
    m_stack.push_back(box);
}

void CVGetBoundingBoxAction::PostActOn(CVNode* node)
{
    if (m_stack.size() < 2)
        return;
    CVBox3f* box = m_stack.back();
    m_stack.pop_back();
    CVBox3f* parent = m_stack.back();
    bool isGroup = node->IsKindOf<CVGroup>();
    if (m_bSetNodeBoundingBoxes && isGroup) {
        auto* group = static_cast<CVGroup*>(node);
        group->bboxCenter.SetValue(box->GetCenter().ToPoint());
        group->bboxSize.SetValue(box->GetSize().ToPoint());
    }
    if (node->IsKindOf<CVTransform>() && !box->IsEmpty())
        box->Transform(static_cast<CVTransform*>(node)->GetRowMatrix());
    parent->Union(*box);
    if (isGroup && parent->HaveClipList())
        parent->DeleteClipList();
    delete box;
}
