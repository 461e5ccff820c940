#include "scene/interact/HitRecords.h"

std::vector<CVHitRecord> lumo::pick::ReadHitRecords(const std::uint32_t* buffer, std::size_t size, int hits)
{
    std::vector<CVHitRecord> records;
    if (!buffer)
        return records;
    std::size_t at = 0;
    for (int i = 0; hits < 0 || i < hits; ++i) {
        // A record is its name count, two depths and the names.
        if (size - at < 3)
            break;
        std::size_t names = buffer[at];
        if (names > size - at - 3)
            break;
        CVHitRecord r;
        r.nameCount = std::uint32_t(names);
        r.minDepth = buffer[at + 1];
        r.maxDepth = buffer[at + 2];
        r.names = buffer + at + 3;
        records.push_back(r);
        at += 3 + names;
    }
    return records;
}
