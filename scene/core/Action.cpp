#include "scene/core/Action.h"

CVAction::CVAction() : m_pState(new CVState) {}

CVAction::~CVAction() { delete m_pState; }
