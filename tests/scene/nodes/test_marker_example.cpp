// The sample animation document with a row of every marker, made by program
// code (documents cannot hold markers), and a star put into the document's
// rotor: rendered on a stepped clock at chosen times.
#include "platform/time/Clock.h"
#include "scene/io/image/Image.h"
#include "scene/nodes/Animation.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Markers.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "scene/x3d/Parser.h"
#include "tests/support/SceneRender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using lumo::test::Pixel;
using lumo::test::SceneRender;

namespace {

// 600 x 360 pixels show 11.67 x 7 units: 51.4 pixels a unit, origin at the centre.
const int kWidth = 600, kHeight = 360;
const float kViewHeight = 7.0f;
const float kPixelsPerUnit = kHeight / kViewHeight;
const Pixel kBackground{0, 0, 0};
const Pixel kYellow{255, 255, 0};

int PixelX(float x) { return int(kWidth / 2.0f + x * kPixelsPerUnit); }
int PixelY(float y) { return int(kHeight / 2.0f - y * kPixelsPerUnit); }

CVShape* Coloured(CVGeometry* g, float r, float gr, float b)
{
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(r, gr, b);
    appearance->material.SetValue(material);
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(g);
    return shape;
}

const float kRowX0 = -5.0f, kRowStep = 1.0f, kMarkerSize = 0.7f;

// Every marker kind, facing the viewer, in a row along y = 0.
std::vector<std::function<CVGeometry*()>> MarkerKinds()
{
    auto marker = [](auto* m) -> CVGeometry* {
        m->size.SetValue(kMarkerSize, kMarkerSize, kMarkerSize);
        m->SetMarkerFlag(1);
        return m;
    };
    return {[&] { return marker(new CVHeart); },   [&] { return marker(new CVSpade); },
            [&] { return marker(new CVClub); },    [&] { return marker(new CVStar); },
            [&] { return marker(new CVHexagon); }, [&] { return marker(new CVPrism); },
            [&] { return marker(new CVFlag); },    [&] { return marker(new CVCross); },
            [&] { return marker(new CVDisc); },    [&] { return marker(new CVXShape); },
            [&] { return marker(new CVDiamond); }};
}

class MarkerExample : public ::testing::Test {
protected:
    void SetUp() override
    {
        mRoot = CVParser().Parse(LUMO_PROJECT_DIR L"/examples/data/animation.x3d");
        ASSERT_NE(mRoot, nullptr);
        mRoot->Ref();
        auto kinds = MarkerKinds();
        for (size_t i = 0; i < kinds.size(); ++i) {
            auto* slot = new CVTransform;
            slot->translation.SetValue(kRowX0 + kRowStep * float(i), 0, 0);
            slot->children.Add(Coloured(kinds[i](), 0.3f + 0.06f * float(i), 0.8f, 1.0f - 0.07f * float(i)));
            mRoot->children.Add(slot);
        }
        // The spinning one: a star in the document's rotor.
        for (int i = 0; i < mRoot->children.GetNum(); ++i) {
            CVChild* c = mRoot->children[i];
            if (c->IsKindOf<CVAnimation>() && c->GetName() && *c->GetName() == L"Spinner")
                mSpinner = static_cast<CVAnimation*>(c);
        }
        ASSERT_NE(mSpinner, nullptr);
        auto* star = new CVStar;
        star->size.SetValue(0.9f, 0.3f, 0.9f); // standing up: 0.3 deep
        star->SetMarkerFlag(1);
        mSpinner->children.Add(Coloured(star, 1, 1, 0));
        mCamera = lumo::test::OrthoCamera(kViewHeight);
        mCamera->Ref();
        mCamera->children.Add(mRoot);
        lumo::SetClock([this] { return std::chrono::system_clock::from_time_t(978307200) + std::chrono::milliseconds(mNow); });
        mRender.Area()->SetAnimationEnabled(1);
    }
    void TearDown() override
    {
        lumo::SetClock({});
        if (mCamera)
            mCamera->Unref();
        if (mRoot)
            mRoot->Unref();
    }
    // Plays the scene from its start, a frame every 40 ms, up to the time.
    void PlayTo(long long ms)
    {
        for (; mNow < ms; mNow += 40) {
            mRender.Area()->SetCurrentAnimationTime();
            ASSERT_EQ(mRender.Render(mCamera), 1);
        }
        mNow = ms;
        mRender.Area()->SetCurrentAnimationTime();
        ASSERT_EQ(mRender.Render(mCamera), 1);
    }
    int Drawn(float x0, float y0, float x1, float y1) const
    {
        int n = 0;
        for (int y = PixelY(y1); y <= PixelY(y0); ++y)
            for (int x = PixelX(x0); x <= PixelX(x1); ++x)
                n += mRender.At(x, y) != kBackground;
        return n;
    }
    void Save(const std::string& name) const
    {
        CVImage image;
        image.width = kWidth;
        image.height = kHeight;
        image.bgra.resize(size_t(kWidth) * kHeight * 4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                Pixel p = mRender.At(x, y);
                std::uint8_t* q = image.Row(y) + x * 4;
                q[0] = std::uint8_t(p[2]), q[1] = std::uint8_t(p[1]), q[2] = std::uint8_t(p[0]), q[3] = 255;
            }
        lumo::image::WritePng(std::string(LUMO_TEST_OUTPUT_DIR) + "/" + name, image);
    }

    CVGroup* mRoot = nullptr;
    CVCamera* mCamera = nullptr;
    CVAnimation* mSpinner = nullptr;
    SceneRender mRender{kWidth, kHeight};
    long long mNow = 0;
};

TEST_F(MarkerExample, EveryMarkerStandsInItsSlotAndTheStarSpins)
{
    PlayTo(0);
    Save("marker-example-0.png");
    auto kinds = MarkerKinds();
    for (size_t i = 0; i < kinds.size(); ++i) {
        float x = kRowX0 + kRowStep * float(i), h = kMarkerSize / 2;
        // Filled, at most the slot's square (a diamond's corners reach a bit further).
        int drawn = Drawn(x - h * 1.5f, -h * 1.5f, x + h * 1.5f, h * 1.5f);
        EXPECT_GT(drawn, 0.15 * kMarkerSize * kMarkerSize * kPixelsPerUnit * kPixelsPerUnit) << i;
        EXPECT_EQ(Drawn(x - 0.5f, h * 1.6f, x + 0.5f, 0.9f), 0) << i; // nothing above the slot
    }
    // The star's right arm, beside the spinner's bar (at 0, 1.5).
    const float ax = 0.34f, ay = 1.5f + 0.11f;
    EXPECT_EQ(mRender.At(PixelX(ax), PixelY(ay)), kYellow);
    EXPECT_TRUE(mRender.At(PixelX(3), PixelY(1.5f)) != kBackground); // the blinker shows its sphere

    // Half a second on, the star has turned a quarter (speed 0.5): where its
    // arm was, one of its notches is now; the blinker is dark.
    PlayTo(500);
    Save("marker-example-500.png");
    EXPECT_NEAR(mSpinner->rotation.GetValue().angle, 3.14159265f / 2, 1e-3);
    EXPECT_EQ(mRender.At(PixelX(ax), PixelY(ay)), kBackground);
    EXPECT_EQ(mRender.At(PixelX(3), PixelY(1.5f)), kBackground);
    // A full second: a half turn, which puts an arm back at neither place;
    // the blinker shows again.
    PlayTo(1000);
    EXPECT_NEAR(mSpinner->rotation.GetValue().angle, 3.14159265f, 1e-3);
    EXPECT_TRUE(mRender.At(PixelX(3), PixelY(1.5f)) != kBackground);
}

} // namespace
