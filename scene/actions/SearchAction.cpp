#include "scene/actions/SearchAction.h"

void CVSearchAction::SetNode(CVNode* node)
{
    m_node = node;
    m_criteria |= NODE;
}

void CVSearchAction::SetType(const CVRuntimeClass* type)
{
    m_type = type;
    m_criteria |= TYPE;
}

void CVSearchAction::SetName(const std::wstring& name)
{
    m_name = name;
    m_criteria |= NAME;
}

void CVSearchAction::Reset()
{
    CVAction::Reset();
    DeletePaths();
}

int CVSearchAction::Apply(CVNode* root)
{
    Reset();
    if (!root)
        return 0;
    m_pState->m_bPickMode = 1;
    root->Traverse(this, nullptr, 0);
    m_pState->m_bPickMode = 0;
    return 1;
}

bool CVSearchAction::MatchesSearchCriteria(CVNode* node)
{
    bool match = ((m_criteria & NODE) && node == m_node) ||
                 ((m_criteria & NAME) && node->GetName() && *node->GetName() == m_name) ||
                 ((m_criteria & TYPE) && m_type && node->IsKindOf(m_type));
    if (match && m_interest == FIRST)
        m_bDoTraversal = 0;
    return match;
}

void CVSearchAction::PreActOn(CVNode* node)
{
    if (!MatchesSearchCriteria(node))
        return;
    auto path = std::make_unique<CVNodePath>();
    const CVState& state = *m_pState;
    for (int i = 0; i <= state.m_nDepth && size_t(i) < state.m_path.size(); ++i)
        path->push_back(state.m_path[size_t(i)]);
    if (path->empty() || path->back() != node)
        path->push_back(node);
    m_paths.push_back(std::move(path));
}
