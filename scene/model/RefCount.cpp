#include "scene/model/RefCount.h"

#include <vector>

LUMO_IMPLEMENT_CLASS(CVRefCount, CVBase)

void CVRefCount::Destroy(CVRefCount* object)
{
    // The queue of the deletion in progress on this thread, if any.
    thread_local std::vector<CVRefCount*>* pending = nullptr;
    if (pending) {
        pending->push_back(object);
        return;
    }
    std::vector<CVRefCount*> queue;
    pending = &queue;
    delete object;
    while (!queue.empty()) {
        CVRefCount* next = queue.back();
        queue.pop_back();
        delete next;
    }
    pending = nullptr;
}
