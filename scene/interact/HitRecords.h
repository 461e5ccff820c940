// The hit records that OpenGL's selection mode leaves in a selection buffer,
// read so that nothing past what the buffer holds is ever looked at: a
// record is taken only when the whole of it lies inside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct CVHitRecord {
    std::uint32_t minDepth = 0; // window depths, 0 nearest .. 0xFFFFFFFF farthest
    std::uint32_t maxDepth = 0;
    const std::uint32_t* names = nullptr; // into the buffer
    std::uint32_t nameCount = 0;
};

namespace lumo::pick {

// The records of a selection pass: 'hits' of them, as leaving selection mode
// counted them, or, for a negative count (the buffer overflowed), every
// complete record from the start. Reading ends early at a record that would
// run past the buffer's 'size' entries.
std::vector<CVHitRecord> ReadHitRecords(const std::uint32_t* buffer, std::size_t size, int hits);

} // namespace lumo::pick
