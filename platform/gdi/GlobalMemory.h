// Movable global memory blocks, as packed DIBs travel in them.
#pragma once

#include <cstddef>

struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;

constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A zero-filled block of 'size' bytes; null when it cannot be allocated.
HGLOBAL GlobalAlloc(unsigned flags, std::size_t size);
// Grows or shrinks the block (new bytes are zero); null on failure, when the
// old block stays valid.
HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t size, unsigned flags);
void* GlobalLock(HGLOBAL block);
int GlobalUnlock(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);
// Frees the block; returns null.
HGLOBAL GlobalFree(HGLOBAL block);
