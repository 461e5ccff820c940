// The built-in node classes, in registration order; the node-type registry
// knows them only through what library start-up installs from here.
#pragma once

class CVNode;

namespace lumo {

// Opens the registry's built-in space, installs NewBuiltinNode as its maker
// of built-in nodes and registers every built-in class, in the fixed order.
void InitBuiltinNodeTypes();
// Registers every built-in class that exists, in the fixed order.
void RegisterBuiltinNodeTypes();
// A new node of the built-in class with exactly this element name, or null.
CVNode* NewBuiltinNode(const wchar_t* name);

} // namespace lumo
