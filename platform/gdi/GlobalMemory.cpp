#include "platform/gdi/GlobalMemory.h"

#include <new>
#include <vector>

struct HGLOBAL__ {
    std::vector<unsigned char> bytes;
};

HGLOBAL GlobalAlloc(unsigned, std::size_t size)
{
    auto* block = new (std::nothrow) HGLOBAL__;
    if (!block)
        return nullptr;
    try {
        block->bytes.assign(size, 0);
    } catch (const std::bad_alloc&) {
        delete block;
        return nullptr;
    }
    return block;
}

HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t size, unsigned)
{
    if (!block)
        return nullptr;
    try {
        block->bytes.resize(size, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return block;
}

void* GlobalLock(HGLOBAL block) { return block && !block->bytes.empty() ? block->bytes.data() : nullptr; }

int GlobalUnlock(HGLOBAL) { return 0; }

std::size_t GlobalSize(HGLOBAL block) { return block ? block->bytes.size() : 0; }

HGLOBAL GlobalFree(HGLOBAL block)
{
    delete block;
    return nullptr;
}
