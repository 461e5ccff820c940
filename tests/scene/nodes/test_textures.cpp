#include "platform/text/Utf8.h"
#include "scene/cache/TextureCacheElement.h"
#include "scene/cache/TextureImage.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Cylinder.h"
#include "scene/nodes/ImageTexture.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/TextureTransform.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/SceneRender.h"
#include "tests/support/TempImages.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using lumo::test::Bgra;
using lumo::test::MakeImage;
using lumo::test::Near;
using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;
using lumo::test::TempImages;

namespace {

const Pixel kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};
const Bgra kRedPx{0, 0, 255, 255}, kGreenPx{0, 255, 0, 255}, kBluePx{255, 0, 0, 255}, kWhitePx{255, 255, 255, 255};

// A camera holding its children, released at scope end.
struct Scene {
    CVCamera* camera;
    Scene() : camera(OrthoCamera(4.0f)) { camera->Ref(); }
    ~Scene() { camera->Unref(); }
    Scene& Add(CVChild* child)
    {
        camera->children.Add(child);
        return *this;
    }
};

CVImageTexture* Texture(const std::wstring& url)
{
    auto* t = new CVImageTexture;
    t->url.Add(url);
    return t;
}

// A square of side 'size' at z = 0 facing the camera (it fills the view at
// size 4), textured, over a material of the given colour.
CVShape* Plane(CVImageTexture* texture, RGBColorStruct colour = {1, 1, 1}, CVTextureTransform* transform = nullptr,
               float size = 4.0f)
{
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(colour);
    appearance->material.SetValue(material);
    appearance->texture.SetValue(texture);
    appearance->textureTransform.SetValue(transform);
    auto* box = new CVBox;
    box->size.SetValue(size, size, 0.0f);
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(box);
    return shape;
}

CVTransform* Moved(CVChild* child, float x, float y, float z)
{
    auto* t = new CVTransform;
    t->translation.SetValue(x, y, z);
    t->children.Add(child);
    return t;
}

// A red box behind the plane, filling the view.
CVChild* RedWallBehind()
{
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(1, 0, 0);
    appearance->material.SetValue(material);
    auto* box = new CVBox;
    box->size.SetValue(4, 4, 1);
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(box);
    return Moved(shape, 0, 0, -2);
}

// 8 x 8: red top-left, green top-right, blue bottom-left, white bottom-right.
CVImage Quadrants()
{
    return MakeImage(8, 8, [](int x, int y) { return y < 4 ? (x < 4 ? kRedPx : kGreenPx) : (x < 4 ? kBluePx : kWhitePx); });
}

// 8 x 8: red left half, green right half.
CVImage Halves()
{
    return MakeImage(8, 8, [](int x, int) { return x < 4 ? kRedPx : kGreenPx; });
}

std::vector<CVTextureCacheElement*> TextureElements(CVGLRenderArea* area)
{
    std::vector<CVTextureCacheElement*> list;
    CVCache* cache = area->GetTextureCache();
    for (int i = 0; i < cache->GetCount(); ++i)
        list.push_back(dynamic_cast<CVTextureCacheElement*>(cache->GetAt(i)));
    return list;
}

TEST(TextureSizes, PowersOfTwoAndTheTextureSideRule)
{
    EXPECT_EQ(CVTexture::GetClosestPowerOfTwo(0), 0);
    EXPECT_EQ(CVTexture::GetClosestPowerOfTwo(1), 1);
    EXPECT_EQ(CVTexture::GetClosestPowerOfTwo(1000), 512);
    EXPECT_EQ(CVTexture::GetClosestPowerOfTwo(4095), 2048);
    EXPECT_EQ(CVTexture::GetClosestPowerOfTwo(4096), 4096);
    EXPECT_EQ(CVTexture::GetClosestPowerOfTwo(5000), 4096);
    EXPECT_TRUE(CVTexture::IsPowerOfTwo(4096));
    EXPECT_FALSE(CVTexture::IsPowerOfTwo(8192)); // beyond the table
    EXPECT_FALSE(CVTexture::IsPowerOfTwo(0));
    EXPECT_FALSE(CVTexture::IsPowerOfTwo(3));
    // Rounded to the nearest power of two, at most 1024.
    EXPECT_EQ(lumo::texture::TextureSide(300), 256); // 450 -> 256
    EXPECT_EQ(lumo::texture::TextureSide(100), 128); // 150 -> 128
    EXPECT_EQ(lumo::texture::TextureSide(2000), 1024);
    EXPECT_EQ(lumo::texture::TextureSide(682), 512);  // 1023 -> 512
    EXPECT_EQ(lumo::texture::TextureSide(683), 1024); // 1024 -> 1024
    EXPECT_EQ(lumo::texture::TextureSide(65536), 1024);
    EXPECT_EQ(lumo::texture::TextureSide(2), 2);
    EXPECT_EQ(lumo::texture::TextureSide(3), 4);
    EXPECT_EQ(lumo::texture::TextureSide(0), 0);
}

TEST(ImageTextures, AnImageOf300By100BecomesA256By128Texture)
{
    TempImages files;
    std::wstring png = files.Png("wide.png", MakeImage(300, 100, [](int, int) { return kGreenPx; }));
    SceneRender r;
    Scene scene;
    scene.Add(Plane(Texture(png)));
    ASSERT_EQ(r.Render(scene.camera), 1);
    auto elements = TextureElements(r.Area());
    ASSERT_EQ(elements.size(), 1u);
    ASSERT_TRUE(elements[0] && elements[0]->IsLoaded());
    EXPECT_EQ(elements[0]->GetWidth(), 256);
    EXPECT_EQ(elements[0]->GetHeight(), 128);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    glBindTexture(GL_TEXTURE_2D, elements[0]->GetTexture());
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(w, 256);
    EXPECT_EQ(h, 128);
    EXPECT_EQ(r.At(50, 50), kGreen);
}

TEST(ImageTextures, TheImageLiesOnTheFaceTheRightWayUp)
{
    TempImages files;
    SceneRender r;
    Scene scene;
    scene.Add(Plane(Texture(files.Png("quadrants.png", Quadrants()))));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(25, 25), kRed);
    EXPECT_EQ(r.At(75, 25), kGreen);
    EXPECT_EQ(r.At(25, 75), kBlue);
    EXPECT_EQ(r.At(75, 75), kWhite);
}

TEST(ImageTextures, APngWithAlphaDrawsSeeThrough)
{
    TempImages files;
    // Left half fully transparent (its colour must not show), right half opaque blue.
    std::wstring png = files.Png("label.png", MakeImage(8, 8, [](int x, int) {
                                     return x < 4 ? Bgra{255, 255, 255, 0} : kBluePx;
                                 }));
    SceneRender r;
    Scene scene;
    auto* label = Plane(Texture(png));
    // The label comes first: what lies behind it must still show through.
    scene.Add(label).Add(RedWallBehind());
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(25, 50), kRed);
    EXPECT_EQ(r.At(75, 50), kBlue);
    auto* texture = label->appearance->texture.GetValue();
    EXPECT_TRUE(texture->IsTextureTransparent());
    EXPECT_TRUE(label->geometry->IsTransparent()); // drawn in the sorted pass
    // With the area's transparency off the transparent texels are still cut out.
    r.Area()->SetTransparencyEnabled(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(25, 50), kRed);
    EXPECT_EQ(r.At(75, 50), kBlue);
}

TEST(ImageTextures, AnOpaquePngIsNotTransparent)
{
    TempImages files;
    SceneRender r;
    Scene scene;
    auto* plane = Plane(Texture(files.Png("opaque.png", Halves())));
    scene.Add(plane);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_FALSE(plane->appearance->texture->IsTextureTransparent());
    EXPECT_FALSE(plane->geometry->IsTransparent());
}

TEST(ImageTextures, AMissingOrBrokenImageLeavesTheMaterialColourAndAMessage)
{
    TempImages files;
    std::wstring broken = files.Bytes("broken.png", std::string("\x89PNG\r\n\x1a\n garbage", 17));
    std::wstring tiny = files.Png("tiny.png", MakeImage(1, 5, [](int, int) { return kGreenPx; }));
    std::wstring missing = files.WPath("missing.png");
    for (const std::wstring& url : {missing, broken, tiny}) {
        SceneRender r;
        Scene scene;
        auto* plane = Plane(Texture(url), {1, 0, 0});
        scene.Add(plane);
        ASSERT_EQ(r.Render(scene.camera), 1);
        EXPECT_EQ(r.At(50, 50), kRed);
        EXPECT_FALSE(plane->appearance->texture->GetTextureRendered());
        auto messages = r.Area()->GetErrorReport().GetMessages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(url), std::wstring::npos);
        // Reported once: the failed texture is kept, not tried every frame.
        ASSERT_EQ(r.Render(scene.camera), 1);
        EXPECT_EQ(r.Area()->GetErrorReport().GetCount(), 1);
    }
}

TEST(ImageTextures, WithoutAMaterialAFailedTextureDrawsItsFallBackColour)
{
    SceneRender r;
    Scene scene;
    auto* plane = Plane(Texture(L"/nonexistent/none.png"));
    plane->appearance->material.SetValue(nullptr);
    plane->appearance->texture->SetFallBackColor({0, 0, 1});
    scene.Add(plane);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(50, 50), kBlue);
}

TEST(ImageTextures, TheLastLocationThatLoadedIsDrawn)
{
    TempImages files;
    std::wstring green = files.Png("green.png", MakeImage(4, 4, [](int, int) { return kGreenPx; }));
    std::wstring blue = files.Png("blue.png", MakeImage(4, 4, [](int, int) { return kBluePx; }));
    SceneRender r;
    Scene scene;
    auto* texture = Texture(green);
    texture->url.Add(files.WPath("missing.png")); // last, but never loads
    scene.Add(Plane(texture, {1, 0, 0}));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(50, 50), kGreen);
    EXPECT_TRUE(texture->GetTextureRendered());
    texture->url.SetAt(0, blue);
    texture->url.SetAt(1, green);
    texture->url.Add(files.WPath("missing.png"));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(50, 50), kGreen); // blue, green, missing: green is the last that loaded
}

TEST(ImageTextures, OnlyTheFirstSixteenLocationsAreUsed)
{
    TempImages files;
    std::wstring green = files.Png("green.png", MakeImage(4, 4, [](int, int) { return kGreenPx; }));
    std::wstring blue = files.Png("blue.png", MakeImage(4, 4, [](int, int) { return kBluePx; }));
    SceneRender r;
    Scene scene;
    auto* texture = new CVImageTexture;
    for (int i = 0; i < 16; ++i)
        texture->url.Add(green);
    texture->url.Add(blue); // the seventeenth
    scene.Add(Plane(texture));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(50, 50), kGreen);
    texture->url.SetAt(15, blue); // the sixteenth
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(50, 50), kBlue);
}

TEST(ImageTextures, RepeatOffClampsToTheEdge)
{
    TempImages files;
    std::wstring png = files.Png("halves.png", Halves());
    SceneRender r;
    Scene scene;
    auto* texture = Texture(png);
    auto* twice = new CVTextureTransform;
    twice->scale.SetValue(2, 1); // s runs from 0 to 2 across the face
    scene.Add(Plane(texture, {1, 1, 1}, twice));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(12, 50), kRed);   // s = 0.25
    EXPECT_EQ(r.At(62, 50), kRed);   // s = 1.25: the pattern again
    EXPECT_EQ(r.At(87, 50), kGreen); // s = 1.75
    texture->repeatS.SetValue(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(12, 50), kRed);
    EXPECT_EQ(r.At(62, 50), kGreen); // clamped to the right edge
    EXPECT_EQ(r.At(99, 50), kGreen); // no dark seam from a border colour
}

TEST(TextureTransforms, TranslationAndRotationMoveThePattern)
{
    TempImages files;
    std::wstring png = files.Png("halves.png", Halves());
    SceneRender r;
    Scene scene;
    auto* transform = new CVTextureTransform;
    scene.Add(Plane(Texture(png), {1, 1, 1}, transform));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(12, 50), kRed);
    transform->translation.SetValue(0.5f, 0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(12, 50), kGreen); // s 0.25 -> 0.75
    EXPECT_EQ(r.At(62, 50), kRed);   // s 0.625 -> 1.125, repeated
    transform->translation.SetValue(0, 0);
    transform->center.SetValue(0.5f, 0.5f);
    transform->rotation.SetValue(float(M_PI)); // half a turn about the middle swaps the halves
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(12, 50), kGreen);
    EXPECT_EQ(r.At(87, 50), kRed);
}

TEST(TextureTransforms, AShapesTransformDoesNotReachTheNextShape)
{
    TempImages files;
    std::wstring png = files.Png("halves.png", Halves());
    SceneRender r;
    Scene scene;
    auto* shifted = new CVTextureTransform;
    shifted->translation.SetValue(0.5f, 0);
    // Two half-width planes: left one shifted, right one plain.
    scene.Add(Moved(Plane(Texture(png), {1, 1, 1}, shifted, 2.0f), -1, 0, 0));
    scene.Add(Moved(Plane(Texture(png), {1, 1, 1}, nullptr, 2.0f), 1, 0, 0));
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(r.Render(scene.camera), 1);
        EXPECT_EQ(r.At(62, 50), kRed) << frame;   // right plane, s = 0.25
        EXPECT_EQ(r.At(87, 50), kGreen) << frame; // right plane, s = 0.75
        EXPECT_EQ(r.At(12, 50), kGreen) << frame; // left plane, shifted
    }
}

TEST(ImageTextures, ClearColoursMakeTheirPixelsTransparentPerNode)
{
    TempImages files;
    // White with a black middle.
    std::wstring png = files.Png("card.png", MakeImage(8, 8, [](int x, int y) {
                                     return x >= 2 && x < 6 && y >= 2 && y < 6 ? Bgra{0, 0, 0, 255} : kWhitePx;
                                 }));
    SceneRender r;
    Scene scene;
    auto* cleared = Texture(png);
    const unsigned whiteRange[9] = {200, 255, 1, 200, 255, 1, 200, 255, 1};
    cleared->SetClearColors(whiteRange);
    auto* plain = Texture(png);
    scene.Add(Moved(Plane(cleared, {1, 1, 1}, nullptr, 2.0f), -1, 0, 0));
    scene.Add(Moved(Plane(plain, {1, 1, 1}, nullptr, 2.0f), 1, 0, 0));
    scene.Add(RedWallBehind());
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(5, 50), kRed);    // white cleared: the wall shows
    EXPECT_EQ(r.At(25, 50), (Pixel{0, 0, 0}));
    EXPECT_EQ(r.At(55, 50), kWhite); // the same file without clear colours
    EXPECT_TRUE(cleared->IsTextureTransparent());
    EXPECT_FALSE(plain->IsTextureTransparent());
    // Same file, different clear colours: two textures, not one.
    EXPECT_EQ(TextureElements(r.Area()).size(), 2u);
    cleared->UnSetClearColors();
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(5, 50), kWhite);
    EXPECT_EQ(TextureElements(r.Area()).size(), 1u); // the old key was released
}

TEST(ImageTextures, LocationsAbsoluteAsFileUrlsAndAlongTheSearchPath)
{
    TempImages files;
    std::wstring path = files.Png("g.png", MakeImage(4, 4, [](int, int) { return kGreenPx; }));
    EXPECT_TRUE(lumo::texture::IsAbsoluteLocation(L"/abs/path.png"));
    EXPECT_TRUE(lumo::texture::IsAbsoluteLocation(L"file:///abs/path.png"));
    EXPECT_TRUE(lumo::texture::IsAbsoluteLocation(L"//host/share/a.png"));
    EXPECT_TRUE(lumo::texture::IsAbsoluteLocation(L"\\\\s"));
    EXPECT_FALSE(lumo::texture::IsAbsoluteLocation(L"\\\\"));
    EXPECT_TRUE(lumo::texture::IsAbsoluteLocation(L"C:\\images\\a.png"));
    EXPECT_FALSE(lumo::texture::IsAbsoluteLocation(L"a.png"));
    EXPECT_FALSE(lumo::texture::IsAbsoluteLocation(L"images/a.png"));
    std::wstring locations[] = {path, L"file://" + path, L"g.png"};
    for (const std::wstring& location : locations) {
        SceneRender r;
        r.Area()->SetTextureImageSearchPath(L"/nonexistent;" + lumo::FromUtf8(files.Dir()));
        Scene scene;
        scene.Add(Plane(Texture(location), {1, 0, 0}));
        ASSERT_EQ(r.Render(scene.camera), 1);
        EXPECT_EQ(r.At(50, 50), kGreen) << lumo::ToUtf8(location);
        EXPECT_EQ(r.Area()->GetErrorReport().GetCount(), 0);
    }
    // A bare name is not looked for outside the search path.
    SceneRender r;
    r.Area()->SetTextureImageSearchPath(L"/nonexistent");
    Scene scene;
    scene.Add(Plane(Texture(L"g.png"), {1, 0, 0}));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(50, 50), kRed);
}

TEST(ImageTextures, TiledTexturesKeepTheirAspectOnBoxSides)
{
    TempImages files;
    // Top half red, bottom half green.
    std::wstring png = files.Png("bands.png", MakeImage(8, 8, [](int, int y) { return y < 4 ? kRedPx : kGreenPx; }));
    SceneRender r;
    Scene scene;
    auto* texture = Texture(png);
    auto* plane = Plane(texture);
    auto* box = static_cast<CVBox*>(plane->geometry.GetValue());
    box->size.SetValue(4, 2, 1);
    box->SetVRMLCompliantFlag(0);
    scene.Add(plane);
    ASSERT_EQ(r.Render(scene.camera), 1);
    // Pixel row 37 is at t = 0.75 on the face.
    EXPECT_EQ(r.At(50, 37), kRed); // stretched: the whole image on the face
    texture->SetTiled(1);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(50, 37), kGreen); // t runs to 0.5 only: t = 0.375 in the bottom band
}

TEST(ImageTextures, MipmappedTexturesAreLoadedApart)
{
    TempImages files;
    std::wstring png = files.Png("halves.png", Halves());
    SceneRender r;
    Scene scene;
    auto* texture = Texture(png);
    scene.Add(Plane(texture));
    ASSERT_EQ(r.Render(scene.camera), 1);
    r.Area()->SetMipmappingEnabled(1);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_TRUE(texture->GetMipmapped());
    EXPECT_EQ(r.At(12, 50), kRed);
    auto elements = TextureElements(r.Area());
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_TRUE(elements[0]->GetKey().mipmap);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    glBindTexture(GL_TEXTURE_2D, elements[0]->GetTexture());
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);
}

TEST(ImageTextures, TexturingOffDrawsTheMaterial)
{
    TempImages files;
    SceneRender r;
    Scene scene;
    scene.Add(Plane(Texture(files.Png("halves.png", Halves())), {0, 0, 1}));
    r.Area()->SetTexturingEnabled(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(12, 50), kBlue);
    EXPECT_EQ(r.Area()->GetTextureCache()->GetCount(), 0);
}

TEST(ImageTextures, PickingATexturedShapeDrawsWithoutTheTexture)
{
    TempImages files;
    SceneRender r;
    Scene scene;
    scene.Add(Plane(Texture(files.Png("halves.png", Halves()))));
    ASSERT_EQ(r.Render(scene.camera), 1);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    GLuint buffer[64];
    glSelectBuffer(64, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    CVState state;
    state.m_bPickMode = 1;
    scene.camera->children[0]->Render(&state, r.Area());
    EXPECT_EQ(glRenderMode(GL_RENDER), 1);
}

} // namespace
