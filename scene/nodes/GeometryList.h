// A display list that one geometry node compiles for itself. OpenGL names
// come from glGenLists in the current context's list space (its share
// group), and the list is only ever called in that space: a context that
// does not share it, or one recreated since, gets a list of its own.
#pragma once

#include <cstdint>

class CVGeometryList {
public:
    // Lists of other spaces waiting to be deleted stay queued up to this
    // many; past it the oldest are forgotten (their context is most likely
    // gone, taking its lists with it).
    static constexpr int kMaxPendingDeletes = 4096;

    CVGeometryList() = default;
    // Deletes the list when its space is current, else queues it for
    // deletion the next time a list is compiled in that space.
    ~CVGeometryList();
    CVGeometryList(const CVGeometryList&) = delete;
    CVGeometryList& operator=(const CVGeometryList&) = delete;

    // Whether the list exists in the current context's space.
    bool IsReady() const;
    void Call() const;
    // Starts compiling a new list (the old one is released); false when
    // there is no context or no list name to be had: then draw directly.
    bool Begin(bool execute);
    void End();
    void Release();
    // The list's OpenGL name; 0 while there is none.
    unsigned GetName() const { return mList; }

private:
    unsigned mList = 0;
    std::uint64_t mSpace = 0;
};
