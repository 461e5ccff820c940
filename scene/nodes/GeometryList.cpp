#include "scene/nodes/GeometryList.h"

#include "scene/cache/CacheManager.h"

#include <GL/gl.h>

#include <deque>
#include <utility>

namespace {

// Lists released while another context was current, by space.
std::deque<std::pair<std::uint64_t, unsigned>>& Pending()
{
    static std::deque<std::pair<std::uint64_t, unsigned>> pending;
    return pending;
}

void DeletePendingIn(std::uint64_t space)
{
    auto& pending = Pending();
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->first == space) {
            glDeleteLists(it->second, 1);
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

CVGeometryList::~CVGeometryList() { Release(); }

void CVGeometryList::Release()
{
    if (!mList)
        return;
    if (mSpace == lumo::CurrentListSpace()) {
        glDeleteLists(mList, 1);
    } else {
        auto& pending = Pending();
        if (int(pending.size()) >= kMaxPendingDeletes)
            pending.pop_front();
        pending.emplace_back(mSpace, mList);
    }
    mList = 0;
    mSpace = 0;
}

bool CVGeometryList::IsReady() const
{
    return mList && mSpace != 0 && mSpace == lumo::CurrentListSpace() && glIsList(mList);
}

void CVGeometryList::Call() const { glCallList(mList); }

bool CVGeometryList::Begin(bool execute)
{
    Release();
    std::uint64_t space = lumo::CurrentListSpace();
    if (space == 0)
        return false;
    DeletePendingIn(space);
    mList = glGenLists(1);
    if (!mList)
        return false;
    mSpace = space;
    glNewList(mList, execute ? GL_COMPILE_AND_EXECUTE : GL_COMPILE);
    return true;
}

void CVGeometryList::End() { glEndList(); }
