#include "tests/support/SceneCompare.h"

#include "platform/text/Utf8.h"
#include "scene/core/Node.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/x3d/FieldText.h"
#include "scene/x3d/XmlText.h"

#include <unordered_map>
#include <vector>

namespace lumo::test {

namespace {

const CVNodeType* TypeOf(const CVNode* node)
{
    std::string name = node->GetRuntimeClass()->m_lpszClassName;
    if (name.size() <= 2)
        return nullptr;
    std::wstring element(name.begin() + 2, name.end());
    return CVNodeType::Find(element.c_str());
}

std::wstring AsXmlCarriesIt(std::wstring text)
{
    for (wchar_t& c : text)
        if (!lumo::xml::IsXmlChar(char32_t(c)))
            c = wchar_t(0xFFFD);
    return text;
}

struct Pair {
    const CVNode* a;
    const CVNode* b;
    std::string path;
};

} // namespace

std::string CompareScenes(const CVNode* a, const CVNode* b)
{
    std::unordered_map<const CVNode*, const CVNode*> aToB, bToA;
    std::vector<Pair> pending{{a, b, "root"}};
    while (!pending.empty()) {
        Pair p = pending.back();
        pending.pop_back();
        if (!p.a || !p.b) {
            if (p.a != p.b)
                return p.path + ": a node on one side only";
            continue;
        }
        auto seenA = aToB.find(p.a);
        auto seenB = bToA.find(p.b);
        if (seenA != aToB.end() || seenB != bToA.end()) {
            if (seenA == aToB.end() || seenA->second != p.b || seenB == bToA.end() || seenB->second != p.a)
                return p.path + ": shared differently";
            continue;
        }
        aToB[p.a] = p.b;
        bToA[p.b] = p.a;
        std::string ca = p.a->GetRuntimeClass()->m_lpszClassName, cb = p.b->GetRuntimeClass()->m_lpszClassName;
        if (ca != cb)
            return p.path + ": " + ca + " against " + cb;
        const CVNodeType* type = TypeOf(p.a);
        if (!type) {
            // Unregistered classes: only the nodes they hold.
            std::vector<CVNode*> ha, hb;
            p.a->ForEachHeldNode([&](CVNode* n) { ha.push_back(n); });
            p.b->ForEachHeldNode([&](CVNode* n) { hb.push_back(n); });
            if (ha.size() != hb.size())
                return p.path + ": holds " + std::to_string(ha.size()) + " nodes against " + std::to_string(hb.size());
            for (size_t i = 0; i < ha.size(); ++i)
                pending.push_back({ha[i], hb[i], p.path + "/" + ca + "[" + std::to_string(i) + "]"});
            continue;
        }
        for (const CVFieldType& record : type->GetFields()) {
            CVField* fa = CVNodeType::FieldOf(p.a, record);
            CVField* fb = CVNodeType::FieldOf(p.b, record);
            std::string path = p.path + "/" + ca + "." + lumo::ToUtf8(record.name);
            if (!fa || !fb)
                continue;
            if (record.type == SFNODE) {
                pending.push_back({static_cast<CVSFNodeBase*>(fa)->GetNode(),
                                   static_cast<CVSFNodeBase*>(fb)->GetNode(), path});
            } else if (record.type == MFNODE) {
                auto* la = static_cast<CVMFNodeBase*>(fa);
                auto* lb = static_cast<CVMFNodeBase*>(fb);
                if (la->GetNum() != lb->GetNum())
                    return path + ": " + std::to_string(la->GetNum()) + " nodes against " +
                           std::to_string(lb->GetNum());
                for (int i = 0; i < la->GetNum(); ++i)
                    pending.push_back({la->GetNodeAt(i), lb->GetNodeAt(i), path + "[" + std::to_string(i) + "]"});
            } else {
                std::wstring ta, tb;
                bool ha = lumo::x3d::FieldText(*fa, ta), hb = lumo::x3d::FieldText(*fb, tb);
                if (ha != hb)
                    return path + ": readable on one side only";
                if (ha && AsXmlCarriesIt(ta) != AsXmlCarriesIt(tb))
                    return path + ": \"" + lumo::ToUtf8(ta) + "\" against \"" + lumo::ToUtf8(tb) + "\"";
            }
        }
    }
    return {};
}

} // namespace lumo::test
