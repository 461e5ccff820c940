#include "scene/core/Child.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

// A bare node to hold in node fields; counts its destructions.
class Leaf : public CVChild {
public:
    explicit Leaf(int* deaths = nullptr) : mDeaths(deaths) {}
    ~Leaf() override
    {
        if (mDeaths)
            ++*mDeaths;
    }

private:
    int* mDeaths;
};

TEST(SingleFields, DefaultsAndTypeCodes)
{
    EXPECT_EQ(CVSFBool().GetType(), 271);
    EXPECT_EQ(CVSFNode<>().GetType(), 276);
    EXPECT_EQ(CVMFNode<>().GetType(), 289);
    EXPECT_EQ(CVField::GetSFNodeTokenType(), 276);
    EXPECT_EQ(CVField::GetMFNodeTokenType(), 289);
    CVSFColor color;
    EXPECT_FLOAT_EQ(color.GetValue().green, 0.8f);
    CVSFRotation rotation;
    EXPECT_EQ(rotation.GetValue(), CVRotation(0, 1, 0, 0));
    EXPECT_EQ(CVSFBool().Set("anything"), 1);
}

TEST(SingleFields, BoolTextIsTrueOnlyForTrueInAnyCase)
{
    CVSFBool b;
    b.SetValue(L"True");
    EXPECT_EQ(b.GetValue(), 1);
    b.SetValue(L"yes");
    EXPECT_EQ(b.GetValue(), 0);
    b.SetValue(L"TRUE");
    b.SetValue(L"1");
    EXPECT_EQ(b.GetValue(), 0);
    b.SetValue(L"truex");
    EXPECT_EQ(b.GetValue(), 0);
}

TEST(SingleFields, ScanStopsAtTheFirstUnreadableComponent)
{
    CVSFVec3f v;
    v.SetValue(9.0f, 9.0f, 9.0f);
    v.SetValue(L"1,2,3"); // commas end the scan after x
    EXPECT_FLOAT_EQ(v.GetValue().x, 1.0f);
    EXPECT_FLOAT_EQ(v.GetValue().y, 9.0f);
    EXPECT_FLOAT_EQ(v.GetValue().z, 9.0f);
    v.SetValue(L"4 5\n6");
    EXPECT_FLOAT_EQ(v.GetValue().z, 6.0f);

    CVSFFloat f;
    f.SetValue(2.5f);
    EXPECT_EQ(f.SetValue(L"abc"), 1);
    EXPECT_FLOAT_EQ(f.GetValue(), 2.5f);

    CVSFInt32 i;
    i.SetValue(L"  -42 rest");
    EXPECT_EQ(i.GetValue(), -42);

    CVSFRotation r;
    r.SetValue(L"1 0 0 3.5");
    EXPECT_EQ(r.GetValue(), CVRotation(1, 0, 0, 3.5f));
    r.SetValue(L"0 0 1"); // no angle: the old one stays
    EXPECT_EQ(r.GetValue(), CVRotation(0, 0, 1, 3.5f));

    CVSFColor c;
    c.SetValue(L"2 -1 0.5"); // stored unvalidated
    EXPECT_FLOAT_EQ(c.GetValue().red, 2.0f);
    EXPECT_FLOAT_EQ(c.GetValue().green, -1.0f);

    CVSFTime t;
    t.SetValue("12.25");
    t.SetValue("x");
    EXPECT_DOUBLE_EQ(t.GetValue(), 12.25);

    CVSFString s;
    s.SetValue(L"a \\\"b\\\"");
    EXPECT_EQ(s.GetValue(), L"a \\\"b\\\""); // escapes are the reader's business
}

TEST(MultiFields, ElementTextAcceptsBlanksAndCommas)
{
    CVMFVec3f v;
    v.Add(L"1,2,3");
    v.Add(L"4 ,\t5\r\n6");
    v.Add(L"7 8"); // incomplete: nothing
    ASSERT_EQ(v.GetNum(), 2);
    EXPECT_FLOAT_EQ(v[0].z, 3.0f);
    EXPECT_FLOAT_EQ(v[1].y, 5.0f);

    CVMFColor c;
    c.Add(L"1 0 0");
    ASSERT_EQ(c.GetNum(), 1);
    EXPECT_FLOAT_EQ(c[0].red, 1.0f);
    EXPECT_FLOAT_EQ(c[0].alpha, 1.0f);

    CVMFFloat f;
    f.Add(L"1.5");
    f.Add(L"oops");
    f.Add(L"-2");
    ASSERT_EQ(f.GetNum(), 2);
    EXPECT_FLOAT_EQ(f[1], -2.0f);

    CVMFInt32 n;
    n.Add(L"7");
    n.Add(L"x");
    EXPECT_EQ(n.GetNum(), 1);

    CVMFRotation r;
    r.Add(L"0,1,0,1.57");
    EXPECT_FLOAT_EQ(r[0].angle, 1.57f);
    CVMFVec2f p;
    p.Add(L"3,4");
    EXPECT_FLOAT_EQ(p[0].y, 4.0f);
    CVMFString s;
    s.Add(L"as is, \"quoted\"");
    EXPECT_EQ(s[0], L"as is, \"quoted\"");
}

TEST(MultiFields, InsertSetResizeAndClone)
{
    CVMFFloat f;
    f.Add(1.0f);
    f.Add(3.0f);
    f.InsertAt(1, 2.0f);
    f.InsertAt(5, 9.0f); // past the end: zero-filled gap
    ASSERT_EQ(f.GetNum(), 6);
    EXPECT_FLOAT_EQ(f[1], 2.0f);
    EXPECT_FLOAT_EQ(f[3], 0.0f);
    EXPECT_FLOAT_EQ(f[5], 9.0f);
    f.SetAt(0, -1.0f);
    EXPECT_FLOAT_EQ(f[0], -1.0f);
    f.SetSize(2, 16);
    EXPECT_EQ(f.GetNum(), 2);
    f.SetSize(4);
    EXPECT_FLOAT_EQ(f[3], 0.0f);
    CVMFFloat copy;
    copy.Clone(f);
    EXPECT_EQ(copy.GetNum(), 4);
    EXPECT_FLOAT_EQ(copy[1], 2.0f);
    f.RemoveAll();
    EXPECT_EQ(f.GetNum(), 0);
    EXPECT_EQ(f.GetValues(), nullptr);
    CVMFVec3f v;
    v.SetSize(2);
    v.SetAt(1, 1.0f, 2.0f, 3.0f);
    EXPECT_FLOAT_EQ(v.GetValues()[1].z, 3.0f);
}

TEST(MultiFields, BadIndicesThrowOutOfRange)
{
    CVMFInt32 n;
    n.Add(1);
    EXPECT_THROW(n[1], std::out_of_range);
    EXPECT_THROW(n[-1], std::out_of_range);
    EXPECT_THROW(n.SetAt(3, 0), std::out_of_range);
    EXPECT_THROW(n.InsertAt(-2, 0), std::out_of_range);
    EXPECT_THROW(n.SetSize(-1), std::out_of_range);
    CVMFNode<> nodes;
    EXPECT_THROW(nodes[0], std::out_of_range);
    EXPECT_THROW(nodes.RemoveAt(0), std::out_of_range);
    EXPECT_THROW(nodes.SetAt(-1, nullptr), std::out_of_range);
}

TEST(NodeFields, SingleNodeFieldCountsReferences)
{
    int deaths = 0;
    Leaf* a = new Leaf(&deaths);
    Leaf* b = new Leaf(&deaths);
    {
        CVSFNode<Leaf> field;
        field.SetValue(a);
        EXPECT_EQ(a->GetRef(), 1);
        field.SetValue(a); // storing the held node again is safe
        EXPECT_EQ(a->GetRef(), 1);
        b->Ref();
        field.SetValue(b);
        EXPECT_EQ(deaths, 1); // a had no other holder
        EXPECT_EQ(b->GetRef(), 2);
        CVSFNode<Leaf> other;
        other.Clone(field);
        EXPECT_EQ(b->GetRef(), 3);
    }
    EXPECT_EQ(b->GetRef(), 1);
    b->Unref();
    EXPECT_EQ(deaths, 2);
}

TEST(NodeFields, NodeListCountsReferences)
{
    int deaths = 0;
    Leaf* a = new Leaf(&deaths);
    Leaf* b = new Leaf(&deaths);
    Leaf* c = new Leaf(&deaths);
    auto list = std::make_unique<CVMFNode<Leaf>>();
    list->Add(a);
    list->Add(nullptr); // ignored
    list->Add(b);
    EXPECT_EQ(list->GetNum(), 2);
    EXPECT_EQ(list->Find(b), 1);
    EXPECT_EQ(list->Find(c), -1);
    list->SetAt(3, c); // grows with a null gap
    EXPECT_EQ(list->GetNum(), 4);
    EXPECT_EQ((*list)[2], nullptr);
    list->SetAt(1, a); // overwrites b, its last holder
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(a->GetRef(), 2);
    list->InsertAt(0, c);
    EXPECT_EQ(c->GetRef(), 2);
    {
        CVMFNode<Leaf> copy;
        copy.Clone(*list);
        EXPECT_EQ(a->GetRef(), 4);
    }
    EXPECT_EQ(a->GetRef(), 2);
    list->RemoveAt(0);
    EXPECT_EQ(c->GetRef(), 1);
    list->SetSize(1); // drops a (once) and c
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(a->GetRef(), 1);
    list.reset();
    EXPECT_EQ(deaths, 3);
}

TEST(FieldFactory, CreatesEveryRegisteredTypeAndNothingElse)
{
    for (int code = 271; code <= 289; ++code) {
        std::unique_ptr<CVField> f(CVNodeType::CreateFieldFromType(code));
        if (code == SFIMAGE || code == SFTIME) {
            EXPECT_EQ(f, nullptr) << code;
            continue;
        }
        ASSERT_NE(f, nullptr) << code;
        EXPECT_EQ(f->GetType(), code);
        EXPECT_TRUE(f->IsKindOf<CVField>());
        EXPECT_EQ(f->IsKindOf<CVMField>(), code >= MFCOLOR);
    }
    EXPECT_EQ(CVNodeType::CreateFieldFromType(270), nullptr);
    EXPECT_EQ(CVNodeType::CreateFieldFromType(290), nullptr);
}

TEST(FieldFactory, RunTimeClassRecordsNameTheirClass)
{
    CVMFColor c;
    EXPECT_STREQ(c.GetRuntimeClass()->m_lpszClassName, "CVMFColor");
    EXPECT_TRUE(c.IsKindOf(LUMO_RUNTIME_CLASS(CVMField)));
    EXPECT_FALSE(c.IsKindOf(LUMO_RUNTIME_CLASS(CVSField)));
    CVSFNode<Leaf> n;
    EXPECT_TRUE(n.IsKindOf<CVSField>());
}

} // namespace
