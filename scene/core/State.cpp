#include "scene/core/State.h"

#include <cstddef>

LUMO_IMPLEMENT_CLASS(CVState, CVBase)

void CVState::SetPathEntry(CVNode* group)
{
    if (m_nDepth < 0)
        return;
    if (m_path.size() <= std::size_t(m_nDepth))
        m_path.resize(std::size_t(m_nDepth) + 1, nullptr);
    m_path[std::size_t(m_nDepth)] = group;
}
