// Shows one of its choices, selected by index; -1 shows none.
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/model/SFields.h"

class CVSwitch : public CVChild {
    LUMO_DECLARE_NODE(CVSwitch)

public:
    CVSwitch();

    CVMFNode<CVChild> choice{this};
    CVSFInt32 whichChoice;

    void Traverse(CVAction* action, const CVNodePath* path, int index) override;

protected:
    // Whether the switch is walked even with no choice made (blinkers are).
    virtual bool WalkedWithoutChoice() const { return false; }
};
