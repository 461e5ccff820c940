// Tells whether what a node draws from has changed since it last looked,
// by comparing the values themselves: fields change in place without telling
// their node, so a node that caches what it made from them (a display list,
// a bounding box) keeps a copy of their bytes and compares it on each use.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

class CVValueWatch {
public:
    // Starts a pass: the values are then added in the same order each time.
    void Begin()
    {
        mPos = 0;
        mChanged = false;
    }
    void Add(const void* data, std::size_t bytes);
    template <class T>
    void Add(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>, "values are compared by their bytes");
        Add(&value, sizeof value);
    }
    // Ends the pass: true when anything differed from the last pass (always
    // on the first). The copy then holds this pass's values.
    bool End();
    // Makes the next pass report a change whatever it finds.
    void Forget()
    {
        mBytes.clear();
        mSeen = false;
    }

private:
    std::vector<unsigned char> mBytes;
    std::size_t mPos = 0;
    bool mChanged = false;
    bool mSeen = false;
};
