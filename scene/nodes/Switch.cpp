#include "scene/nodes/Switch.h"

#include "scene/core/Action.h"

LUMO_IMPLEMENT_NODE(CVSwitch, CVChild)

CVSwitch::CVSwitch() { whichChoice.SetValue(-1); }

void CVSwitch::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVSwitch>(L"Switch")
        .Field(L"choice", &CVSwitch::choice)
        .Field(L"whichChoice", &CVSwitch::whichChoice);
}

void CVSwitch::Traverse(CVAction* action, const CVNodePath* path, int index)
{
    // A walk that needs every choice (the document writer) sees a switch
    // that shows none too: it must not be lost from a saved document.
    bool everyChoice = action->TraversesAllChoices() && !path;
    if (whichChoice.GetValue() < 0 && !WalkedWithoutChoice() && !everyChoice)
        return;
    action->PushState();
    action->PreActOn(this);
    // Read after the node's own step: a blinker shows the choice it has
    // just moved to in this very frame.
    int which = whichChoice.GetValue();
    if ((which >= 0 || everyChoice) && !action->SkipsChildrenOf(this)) {
        CVState* state = action->GetState();
        if (state->m_bPickMode)
            state->SetPathEntry(this);
        if (path) {
            if (which < choice.GetNum())
                if (CVChild* c = choice[which])
                    c->Traverse(action, path, index + 1);
        } else if (everyChoice) {
            for (int i = 0; i < choice.GetNum() && action->DoTraversal(); ++i)
                if (CVChild* c = choice[i])
                    c->Traverse(action, nullptr, 0);
        } else if (which < choice.GetNum()) {
            if (CVChild* c = choice[which])
                c->Traverse(action, nullptr, 0);
        }
    }
    action->PostActOn(this);
    action->PopState();
}
