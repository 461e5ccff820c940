// Test support: compares two scenes node by node, for round trips. Same
// classes, same value-field texts, same nodes in the same node fields and the
// same sharing (a node held twice on one side is held twice on the other).
// Names are not compared; text is compared as XML can carry it (characters
// a document cannot hold count as U+FFFD, which is what the writer writes).
#pragma once

#include <string>

class CVNode;

namespace lumo::test {

// Empty when the scenes are the same, else the first difference found, with
// the field path that leads to it.
std::string CompareScenes(const CVNode* a, const CVNode* b);

} // namespace lumo::test
