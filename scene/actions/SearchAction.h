// Finds nodes by identity, DEF name or class and records the path to each
// match (the open groups followed by the node).
#pragma once

#include "scene/core/Action.h"
#include "scene/core/Node.h"

#include <memory>
#include <string>
#include <vector>

class CVSearchAction : public CVAction {
public:
    enum Interest { FIRST = 0, LAST = 1, ALL = 2 };
    enum Criteria { NODE = 1, TYPE = 2, NAME = 4 };

    ~CVSearchAction() override { DeletePaths(); }

    // 1 after a walk, 0 for a null root. The walk is in pick mode, so groups
    // that are not selectable are passed over with their subtrees.
    int Apply(CVNode* root) override;
    void PreActOn(CVNode* node) override;

    void SetNode(CVNode* node);
    void SetType(const CVRuntimeClass* type);
    void SetName(const std::wstring& name);
    void SetInterest(Interest interest) { m_interest = interest; }
    CVNode* GetNode() const { return m_node; }
    const CVRuntimeClass* GetType() const { return m_type; }
    const std::wstring& GetName() const { return m_name; }
    Interest GetInterest() const { return m_interest; }
    const std::vector<std::unique_ptr<CVNodePath>>* GetPathList() const { return &m_paths; }
    int GetNumPaths() const { return int(m_paths.size()); }

protected:
    bool MatchesSearchCriteria(CVNode* node);
    void DeletePaths() { m_paths.clear(); }
    void Reset() override;

private:
    std::vector<std::unique_ptr<CVNodePath>> m_paths;
    Interest m_interest = ALL;
    int m_criteria = 0;
    CVNode* m_node = nullptr;
    std::wstring m_name;
    const CVRuntimeClass* m_type = nullptr;
};
