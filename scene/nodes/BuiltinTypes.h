// The built-in node classes, in registration order; implemented beside the
// node classes so that the model does not depend on them.
#pragma once

class CVNode;

namespace lumo {

// Registers every built-in class that exists, in the fixed order.
void RegisterBuiltinNodeTypes();
// A new node of the built-in class with exactly this element name, or null.
CVNode* NewBuiltinNode(const wchar_t* name);

} // namespace lumo
