#include "scene/nodes/ValueWatch.h"

void CVValueWatch::Add(const void* data, std::size_t bytes)
{
    if (bytes == 0)
        return;
    const bool fits = mPos + bytes <= mBytes.size();
    if (fits && std::memcmp(mBytes.data() + mPos, data, bytes) == 0) {
        mPos += bytes;
        return;
    }
    mChanged = true;
    if (!fits)
        mBytes.resize(mPos + bytes);
    std::memcpy(mBytes.data() + mPos, data, bytes);
    mPos += bytes;
}

bool CVValueWatch::End()
{
    if (mPos != mBytes.size() || !mSeen) {
        mChanged = true;
        mBytes.resize(mPos);
    }
    mSeen = true;
    return mChanged;
}
