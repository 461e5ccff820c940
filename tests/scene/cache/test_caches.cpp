#include "platform/text/Utf8.h"
#include "platform/wgl/Wgl.h"
#include "scene/cache/CacheManager.h"
#include "scene/cache/FontCacheElement.h"
#include "scene/cache/TextureCacheElement.h"
#include "scene/cache/TextureImage.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/ImageTexture.h"
#include "scene/nodes/Shape.h"
#include "scene/render/ErrorReport.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/Offscreen.h"
#include "tests/support/SceneRender.h"
#include "tests/support/TempImages.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using lumo::test::Bgra;
using lumo::test::MakeImage;
using lumo::test::Offscreen;
using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;
using lumo::test::TempImages;

namespace {

// An element with an integer key that records how it ends.
struct Record {
    int freed = 0;          // FreeGLObjects calls
    int destroyed = 0;      // destructor calls
    HGLRC freedIn = nullptr; // the context current while freeing
};

class TestElement : public CVCacheElement {
public:
    TestElement(int key, Record* record = nullptr) : mKey(key), mRecord(record) {}
    ~TestElement() override
    {
        if (mRecord)
            ++mRecord->destroyed;
    }
    bool IsEqual(const CVCacheElement& key) const override
    {
        auto* k = dynamic_cast<const TestElement*>(&key);
        return k && k->mKey == mKey;
    }

protected:
    void FreeGLObjects() override
    {
        if (mRecord) {
            ++mRecord->freed;
            mRecord->freedIn = wglGetCurrentContext();
        }
    }

private:
    int mKey;
    Record* mRecord;
};

TEST(Caches, RegistrationKeepsOneEntryEachAndPutsTheElementInFront)
{
    Offscreen owner;
    ASSERT_TRUE(owner.area()->MakeCurrent());
    CVCache cache(owner.area());
    Record r1, r2;
    CVCacheUser u1, u2;
    auto* e1 = cache.Register(u1, std::make_unique<TestElement>(1, &r1));
    auto* e2 = cache.Register(u1, std::make_unique<TestElement>(2, &r2));
    ASSERT_EQ(cache.GetCount(), 2);
    EXPECT_EQ(cache.GetAt(0), e2); // newest first
    cache.Register(u1, e1);
    EXPECT_EQ(cache.GetAt(0), e1); // registered again: to the front
    EXPECT_EQ(cache.GetCount(), 2);
    EXPECT_EQ(u1.GetCaches().size(), 1u);
    EXPECT_EQ(u1.GetElements().size(), 2u);
    EXPECT_EQ(e1->GetUsers().size(), 1u);
    EXPECT_EQ(e1->GetCache(), &cache);
    EXPECT_EQ(cache.Find(TestElement(2)), e2);
    EXPECT_EQ(cache.Find(TestElement(3)), nullptr);

    cache.Register(u2, e1);
    u1.Release(); // e2 loses its only user, e1 keeps u2
    EXPECT_EQ(r2.destroyed, 1);
    EXPECT_EQ(r2.freed, 1);
    EXPECT_EQ(r1.destroyed, 0);
    EXPECT_EQ(cache.GetCount(), 1);
    u2.Release();
    EXPECT_EQ(r1.destroyed, 1);
    EXPECT_EQ(cache.GetCount(), 0);
}

TEST(Caches, ElementsAreFoundOnlyFromTheirShareGroup)
{
    Offscreen x, y;
    ASSERT_TRUE(x.area()->MakeCurrent());
    CVCache cache(x.area());
    CVCacheUser user;
    auto* e = cache.Register(user, std::make_unique<TestElement>(7));
    EXPECT_EQ(cache.Find(TestElement(7)), e);
    ASSERT_TRUE(y.area()->MakeCurrent());
    EXPECT_EQ(cache.Find(TestElement(7)), nullptr);
}

TEST(Caches, ElementsAreFreedInTheirOwnersContextWhateverIsCurrent)
{
    Offscreen owner, other;
    ASSERT_TRUE(owner.area()->MakeCurrent());
    Record record;
    auto user = std::make_unique<CVCacheUser>();
    owner.area()->GetTextureCache()->Register(*user, std::make_unique<TestElement>(1, &record));
    ASSERT_TRUE(other.area()->MakeCurrent());
    user.reset();
    EXPECT_EQ(record.freed, 1);
    EXPECT_EQ(record.freedIn, owner.area()->GetHGLRC());
    EXPECT_EQ(wglGetCurrentContext(), other.area()->GetHGLRC()); // given back
}

TEST(Caches, ADestroyedAreaLetsItsUsersGo)
{
    Record record;
    CVCacheUser user;
    {
        Offscreen owner;
        ASSERT_TRUE(owner.area()->MakeCurrent());
        owner.area()->GetFontCache()->Register(user, std::make_unique<TestElement>(1, &record));
        ASSERT_EQ(user.GetCaches().size(), 1u);
    }
    EXPECT_EQ(record.destroyed, 1);
    EXPECT_EQ(record.freed, 1);
    EXPECT_TRUE(user.GetCaches().empty());
    EXPECT_TRUE(user.GetElements().empty());
    user.Release(); // nothing left to touch
}

TEST(RenderCaches, AreasForgetADestroyedRenderCacheAndStaleShares)
{
    auto a = std::make_unique<Offscreen>();
    Offscreen b, c, d;
    EXPECT_EQ(b.area()->SetRenderCache(nullptr), 0);
    ASSERT_EQ(b.area()->SetRenderCache(a->area()), 1);
    EXPECT_EQ(b.area()->GetRenderCache(), a->area());
    EXPECT_EQ(CVGLRenderArea::MakeCacheCurrent(b.area()), a->area());
    ASSERT_EQ(c.area()->SetRenderCache(b.area()), 1);
    a.reset();
    EXPECT_EQ(b.area()->GetRenderCache(), nullptr);
    EXPECT_EQ(c.area()->GetRenderCache(), b.area()); // still shares with b
    // b shares anew with d: c shares b's old objects, not its new ones.
    ASSERT_EQ(b.area()->SetRenderCache(d.area()), 1);
    EXPECT_EQ(c.area()->GetRenderCache(), nullptr);
    EXPECT_EQ(b.area()->SetRenderCache(b.area()), 0);
    EXPECT_EQ(b.area()->GetRenderCache(), nullptr);
}

TEST(RenderCaches, SharingAnewEmptiesTheAreasOwnCaches)
{
    Offscreen a, b;
    ASSERT_TRUE(b.area()->MakeCurrent());
    Record record;
    CVCacheUser user;
    b.area()->GetTextureCache()->Register(user, std::make_unique<TestElement>(1, &record));
    ASSERT_EQ(b.area()->SetRenderCache(a.area()), 1);
    EXPECT_EQ(b.area()->GetTextureCache()->GetCount(), 0);
    EXPECT_EQ(record.freed, 1); // freed while the old context still existed
    EXPECT_TRUE(user.GetElements().empty());
}

// A textured plane filling the view of an orthographic camera.
struct TexturedScene {
    CVCamera* camera;
    CVImageTexture* texture;
    explicit TexturedScene(const std::wstring& url) : camera(OrthoCamera(4.0f)), texture(new CVImageTexture)
    {
        camera->Ref();
        texture->url.Add(url);
        auto* shape = new CVShape;
        auto* appearance = new CVAppearance;
        appearance->texture.SetValue(texture);
        auto* box = new CVBox;
        box->size.SetValue(4, 4, 0);
        shape->appearance.SetValue(appearance);
        shape->geometry.SetValue(box);
        camera->children.Add(shape);
    }
    ~TexturedScene() { camera->Unref(); }
};

std::wstring GreenPng(const TempImages& files)
{
    return files.Png("green.png", MakeImage(4, 4, [](int, int) { return Bgra{0, 255, 0, 255}; }));
}

TEST(RenderCaches, TwoAreasSharingARenderCacheLoadAnImageOnce)
{
    TempImages files;
    TexturedScene scene(GreenPng(files));
    SceneRender a, b;
    ASSERT_EQ(b.Area()->SetRenderCache(a.Area()), 1);
    long before = lumo::texture::DecodeCount();
    ASSERT_EQ(b.Render(scene.camera), 1);
    ASSERT_EQ(a.Render(scene.camera), 1);
    ASSERT_EQ(b.Render(scene.camera), 1);
    EXPECT_EQ(lumo::texture::DecodeCount() - before, 1);
    EXPECT_EQ(a.At(50, 50), (Pixel{0, 255, 0}));
    EXPECT_EQ(b.At(50, 50), (Pixel{0, 255, 0}));
    EXPECT_EQ(a.Area()->GetTextureCache()->GetCount(), 1);
    EXPECT_EQ(b.Area()->GetTextureCache()->GetCount(), 0);
    // An area that does not share loads its own.
    SceneRender c;
    ASSERT_EQ(c.Render(scene.camera), 1);
    EXPECT_EQ(lumo::texture::DecodeCount() - before, 2);
}

TEST(RenderCaches, AreasSharingACacheFindImagesAlongTheirOwnSearchPaths)
{
    TempImages greens, blues;
    greens.Png("g.png", MakeImage(4, 4, [](int, int) { return Bgra{0, 255, 0, 255}; }));
    blues.Png("g.png", MakeImage(4, 4, [](int, int) { return Bgra{255, 0, 0, 255}; }));
    TexturedScene scene(L"g.png");
    SceneRender a, b;
    ASSERT_EQ(b.Area()->SetRenderCache(a.Area()), 1);
    a.Area()->SetTextureImageSearchPath(lumo::FromUtf8(greens.Dir()));
    b.Area()->SetTextureImageSearchPath(lumo::FromUtf8(blues.Dir()));
    ASSERT_EQ(a.Render(scene.camera), 1);
    ASSERT_EQ(b.Render(scene.camera), 1);
    EXPECT_EQ(a.At(50, 50), (Pixel{0, 255, 0}));
    EXPECT_EQ(b.At(50, 50), (Pixel{0, 0, 255}));
    EXPECT_EQ(a.Area()->GetTextureCache()->GetCount(), 2);
}

TEST(RenderCaches, AfterItsRenderCacheIsDestroyedAnAreaDrawsWithItsOwnTextures)
{
    TempImages files;
    TexturedScene scene(GreenPng(files));
    auto a = std::make_unique<SceneRender>();
    SceneRender b;
    ASSERT_EQ(b.Area()->SetRenderCache(a->Area()), 1);
    ASSERT_EQ(b.Render(scene.camera), 1);
    EXPECT_EQ(scene.texture->GetCacheUser().GetCaches().size(), 1u);
    a.reset();
    EXPECT_EQ(b.Area()->GetRenderCache(), nullptr);
    EXPECT_TRUE(scene.texture->GetCacheUser().GetCaches().empty());
    ASSERT_EQ(b.Render(scene.camera), 1);
    EXPECT_EQ(b.At(50, 50), (Pixel{0, 255, 0}));
    EXPECT_EQ(b.Area()->GetTextureCache()->GetCount(), 1);
}

TEST(RenderCaches, NodesWithTheSameImageShareOneTextureUntilTheLastGoes)
{
    TempImages files;
    std::wstring png = GreenPng(files);
    SceneRender r;
    auto* one = new TexturedScene(png);
    auto* two = new TexturedScene(png);
    ASSERT_EQ(r.Render(one->camera), 1);
    ASSERT_EQ(r.Render(two->camera), 1);
    CVCache* cache = r.Area()->GetTextureCache();
    ASSERT_EQ(cache->GetCount(), 1);
    unsigned name = static_cast<CVTextureCacheElement*>(cache->GetAt(0))->GetTexture();
    EXPECT_EQ(cache->GetAt(0)->GetUsers().size(), 2u);
    delete one;
    ASSERT_TRUE(r.Area()->MakeCurrent());
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(cache->GetCount(), 1);
    delete two;
    ASSERT_TRUE(r.Area()->MakeCurrent());
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(cache->GetCount(), 0);
}

TEST(RenderCaches, ATextureIsNeverDeletedInAnotherContext)
{
    TempImages files;
    SceneRender x;
    auto* scene = new TexturedScene(GreenPng(files));
    ASSERT_EQ(x.Render(scene->camera), 1);
    unsigned name = static_cast<CVTextureCacheElement*>(x.Area()->GetTextureCache()->GetAt(0))->GetTexture();
    ASSERT_NE(name, 0u);
    // Another context with a texture of the same number.
    Offscreen y;
    ASSERT_TRUE(y.area()->MakeCurrent());
    GLuint mine = 0;
    for (int i = 0; i < 64 && mine != name; ++i)
        glGenTextures(1, &mine);
    ASSERT_EQ(mine, name);
    glBindTexture(GL_TEXTURE_2D, mine);
    glBindTexture(GL_TEXTURE_2D, 0);
    delete scene; // released while y is current
    EXPECT_EQ(wglGetCurrentContext(), y.area()->GetHGLRC());
    EXPECT_TRUE(glIsTexture(mine));
    ASSERT_TRUE(x.Area()->MakeCurrent());
    EXPECT_FALSE(glIsTexture(name));
}

TEST(FontCaches, GlyphSetsAreKeyedByTheWholeFontAndFreedWithTheirLastUser)
{
    Offscreen area;
    ASSERT_TRUE(area.area()->MakeCurrent());
    LOGFONTW font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = -12;
    font.lfWeight = 700;
    font.lfFaceName[0] = u'A';
    CVCacheUser user, other;
    bool created = false;
    auto* set = lumo::UseOutlineFont(area.area(), user, font, CVOutlineFontCacheElement::POLYGONS, 60, 0, &created);
    ASSERT_NE(set, nullptr);
    EXPECT_TRUE(created);
    EXPECT_EQ(lumo::UseOutlineFont(area.area(), other, font, CVOutlineFontCacheElement::POLYGONS, 60, 0, &created),
              set);
    EXPECT_FALSE(created);
    // Any difference in the record, or in how outlines are made, is another set.
    EXPECT_NE(lumo::UseOutlineFont(area.area(), other, font, CVOutlineFontCacheElement::POLYGONS, 60, 0.5f), set);
    EXPECT_NE(lumo::UseOutlineFont(area.area(), other, font, CVOutlineFontCacheElement::LINES, 60, 0), set);
    LOGFONTW italic = font;
    italic.lfItalic = 1;
    EXPECT_NE(lumo::UseOutlineFont(area.area(), other, italic, CVOutlineFontCacheElement::POLYGONS, 60, 0), set);
    auto* raster = lumo::UseBitmapFont(area.area(), other, font);
    EXPECT_NE(static_cast<CVCacheElement*>(raster), static_cast<CVCacheElement*>(set));
    EXPECT_EQ(area.area()->GetFontCache()->GetCount(), 5);

    // Glyphs are made as text asks for them, each with its own list or
    // place in a texture page, and go with the set.
    EXPECT_EQ(set->GetGlyphCount(), 0u);
    unsigned list = set->GetGlyph(U'A', true).list;
    ASSERT_NE(list, 0u);
    EXPECT_TRUE(glIsList(list));
    EXPECT_EQ(set->GetGlyph(U'A', true).list, list); // made once
    EXPECT_EQ(set->GetGlyphCount(), 1u);
    const CVAtlasGlyph& b = raster->GetGlyph(U'B');
    ASSERT_GE(b.page, 0);
    GLuint texture = raster->GetPageTexture(b.page);
    EXPECT_TRUE(glIsTexture(texture));

    user.Release();
    EXPECT_TRUE(glIsList(list)); // 'other' still uses it
    other.Release();
    EXPECT_FALSE(glIsList(list));
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_EQ(area.area()->GetFontCache()->GetCount(), 0);
}

TEST(FontCaches, GlyphSetsGoToTheRenderCachesFontCache)
{
    Offscreen a, b;
    ASSERT_EQ(b.area()->SetRenderCache(a.area()), 1);
    ASSERT_TRUE(b.area()->MakeCurrent());
    LOGFONTW font;
    std::memset(&font, 0, sizeof font);
    CVCacheUser user;
    ASSERT_NE(lumo::UseBitmapFont(b.area(), user, font), nullptr);
    EXPECT_EQ(a.area()->GetFontCache()->GetCount(), 1);
    EXPECT_EQ(b.area()->GetFontCache()->GetCount(), 0);
    EXPECT_EQ(lumo::UseBitmapFont(nullptr, user, font), nullptr);
}

TEST(ErrorReports, KeepTheNewestMessagesShortened)
{
    CVErrorReport report;
    for (size_t i = 0; i < CVErrorReport::kMaxMessages; ++i)
        report.Add(L"m" + std::to_wstring(i));
    EXPECT_EQ(report.GetCount(), int(CVErrorReport::kMaxMessages));
    EXPECT_EQ(report.GetDroppedCount(), 0);
    report.Add(std::wstring(CVErrorReport::kMaxLength + 1, L'x'));
    EXPECT_EQ(report.GetCount(), int(CVErrorReport::kMaxMessages));
    EXPECT_EQ(report.GetDroppedCount(), 1);
    auto messages = report.GetMessages();
    EXPECT_EQ(messages.front(), L"m1");
    EXPECT_EQ(messages.back().size(), CVErrorReport::kMaxLength);
    report.Add(std::wstring(CVErrorReport::kMaxLength, L'y'));
    EXPECT_EQ(report.GetMessages().back(), std::wstring(CVErrorReport::kMaxLength, L'y')); // at the limit: whole
    report.Clear();
    EXPECT_EQ(report.GetCount(), 0);
    EXPECT_EQ(report.GetDroppedCount(), 0);
}

TEST(CacheManager, TheSharedOffscreenAreaIsMadeOnceAndLeavesItsUsersWhenReleased)
{
    CVCacheManager* manager = CVGetCacheManagerPtr();
    ASSERT_NE(manager, nullptr);
    CVGLRenderArea* shared = manager->CreateGLRenderAreaCache(nullptr);
    ASSERT_NE(shared, nullptr);
    EXPECT_TRUE(shared->IsSuccess());
    EXPECT_EQ(manager->CreateGLRenderAreaCache(nullptr), shared);
    EXPECT_EQ(manager->GetGLRenderAreaCache(), shared);
    Offscreen window;
    ASSERT_EQ(window.area()->SetRenderCache(shared), 1);
    manager->ReleaseGLRenderAreaCache();
    EXPECT_EQ(manager->GetGLRenderAreaCache(), nullptr);
    EXPECT_EQ(window.area()->GetRenderCache(), nullptr);
}

TEST(CacheManager, ImageMapClassesOutsideTheColourTableAreSkipped)
{
    CVImageMapClass g;
    float rgb[3];
    g.overlay = 31;
    EXPECT_TRUE(CVCacheManager::ImageMapColor(16, 5, g, rgb));
    EXPECT_FLOAT_EQ(rgb[0], 0.0f); // T2[31]
    g.overlay = 32; // would have wrapped to class 0
    EXPECT_FALSE(CVCacheManager::ImageMapColor(16, 5, g, rgb));
    g.overlay = 15;
    EXPECT_TRUE(CVCacheManager::ImageMapColor(24, 5, g, rgb));
    g.overlay = 16;
    EXPECT_FALSE(CVCacheManager::ImageMapColor(24, 5, g, rgb));
}

} // namespace
