#include "scene/nodes/Group.h"

#include "scene/core/Action.h"

LUMO_IMPLEMENT_NODE(CVGroup, CVChild)

CVGroup::CVGroup()
{
    bboxSize.SetValue(-1.0f, -1.0f, -1.0f);
    selectable.SetValue(1);
}

void CVGroup::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVGroup>(L"Group")
        .Field(L"children", &CVGroup::children)
        .Field(L"bboxCenter", &CVGroup::bboxCenter)
        .Field(L"bboxSize", &CVGroup::bboxSize)
        .Field(L"selectable", &CVGroup::selectable);
}

bool CVGroup::AddChild(CVChild* child) { return children.Add(child); }

bool CVGroup::InsertChild(CVChild* child, int index)
{
    return child && index >= 0 && index <= children.GetNum() && children.InsertAt(index, child);
}

bool CVGroup::ReplaceChild(int index, CVChild* child)
{
    return child && index >= 0 && index < children.GetNum() && children.SetAt(index, child);
}

bool CVGroup::RemoveChild(int index)
{
    if (index < 0 || index >= children.GetNum())
        return false;
    children.RemoveAt(index);
    return true;
}

bool CVGroup::SkippedInPickMode(CVAction* action) const
{
    return action->GetState()->m_bPickMode && !selectable.GetValue();
}

void CVGroup::Traverse(CVAction* action, const CVNodePath* path, int index)
{
    if (SkippedInPickMode(action))
        return;
    PushState(action);
    action->PreActOn(this);
    DoTraverse(action, path, index);
    action->PostActOn(this);
    PopState(action);
}

void CVGroup::WalkWithModelView(CVAction* action, const CVNodePath* path, int index)
{
    PushState(action);
    action->PushModelView();
    action->PreActOn(this);
    DoTraverse(action, path, index);
    action->PostActOn(this);
    action->PopModelView();
    PopState(action);
}

void CVGroup::PushState(CVAction* action)
{
    action->PushState();
    CVState* state = action->GetState();
    if (state->m_bPickMode)
        state->SetPathEntry(this);
}

void CVGroup::PopState(CVAction* action) { action->PopState(); }

void CVGroup::DoTraverse(CVAction* action, const CVNodePath* path, int index)
{
    if (action->SkipsChildrenOf(this))
        return;
    if (path) {
        size_t next = size_t(index) + 1;
        if (next < path->size() && (*path)[next])
            (*path)[next]->Traverse(action, path, int(next));
        return;
    }
    // The count is re-read after every child: a child may change the list.
    for (int i = 0; i < children.GetNum(); ++i) {
        if (!action->DoTraversal())
            break;
        if (CVChild* child = children[i])
            child->Traverse(action, nullptr, 0);
    }
}
