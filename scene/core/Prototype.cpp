#include "scene/core/Prototype.h"

CVPrototype::CVPrototype(const wchar_t* name) : CVNodeType(name), mNodeType(new CVNodeType(name)) {}

CVPrototype::~CVPrototype() { delete mNodeType; }
