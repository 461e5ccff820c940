// The selection names of one pick. OpenGL's names are 32 bits, too small for
// a node's address, so the pick walk gives each node it names the next small
// number; the table maps the number back to the node, to the number of the
// node's nearest named ancestor (so that only one name need be on OpenGL's
// name stack, however deep the scene) and to the election rules the node
// inherits. Valid for one pick: the nodes are not referenced (a pick walk
// does not change the scene).
#pragma once

#include "scene/core/Node.h"

#include <cstdint>
#include <vector>

class CVPickNames {
public:
    // The name of no node: the placeholder a shape pushes, and the parent of
    // the outermost named node.
    static constexpr std::uint32_t kNoName = 0xFFFFFFFFu;
    // At most this many names per pick (every number below kNoName).
    static constexpr std::uint32_t kMaxNames = kNoName;

    // Names the node; kNoName when the table is full.
    std::uint32_t Add(CVNode* node, std::uint32_t parent, std::uint8_t rules);
    bool IsName(std::uint32_t name) const { return name < mEntries.size(); }
    // For a name that IsName.
    CVNode* NodeOf(std::uint32_t name) const { return mEntries[name].node; }
    std::uint8_t RulesOf(std::uint32_t name) const { return mEntries[name].rules; }
    // The named nodes from the outermost down to the node of 'name' (nothing
    // for a name that is not one).
    std::vector<CVNode*> PathTo(std::uint32_t name) const;
    std::size_t Size() const { return mEntries.size(); }
    void Clear() { mEntries.clear(); }

private:
    struct Entry {
        CVNode* node;
        std::uint32_t parent;
        std::uint8_t rules;
    };
    std::vector<Entry> mEntries;
};
