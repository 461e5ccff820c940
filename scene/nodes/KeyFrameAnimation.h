// A transform played along one of its key frames: choosing a key frame
// (whichKeyFrame) plays it once from its first key to its last, moving the
// transform's rotation, scale and translation, and then sets whichKeyFrame
// back to -1.
#pragma once

#include "scene/core/NodeFields.h"
#include "scene/nodes/AnimationTimer.h"
#include "scene/nodes/KeyFrame.h"
#include "scene/nodes/Transform.h"

class CVKeyFrameAnimation : public CVTransform {
    LUMO_DECLARE_NODE(CVKeyFrameAnimation)

public:
    CVKeyFrameAnimation();

    // The key frame to play; -1 (or any index outside the list): none.
    CVSFInt32 whichKeyFrame;
    CVMFNode<CVKeyFrame> keyFrames{this};

    // Advances the played key frame by the frame time (not in selection
    // mode, and only with a render area), then applies the transform. A key
    // frame with no keys, or whose last key is not after its first, ends at
    // once (on its last key's values); with speed 0 or negative it holds its
    // first key's values while chosen.
    void Render(CVState* state, CVGLRenderArea* area) override;

    // Sets each given field to the key frame's value at keyIndex, when its
    // list has one there.
    static void InitializeTransform(CVKeyFrame* frame, int keyIndex, CVSFRotation* rotation, CVSFVec3f* scale,
                                    CVSFVec3f* translation);
    // With two keys or more: the first i with keys[i] <= t <= keys[i + 1],
    // j = i + 1, and 1. Otherwise (or when t lies between no such pair, as
    // with keys that do not increase): 0, i = the number of keys.
    static int GetNearestKeys(const CVMFFloat& keys, double t, int& i, int& j);
    // Each given field whose list has values at i and j becomes
    // value[i] + (value[j] - value[i]) x f, f = (t - key[i]) / (key[j] - key[i]),
    // component by component; nothing when the two keys are equal.
    static void SetInterpolatedValues(CVKeyFrame* frame, double t, int i, int j, CVSFRotation* rotation,
                                      CVSFVec3f* scale, CVSFVec3f* translation);

private:
    void Advance(CVGLRenderArea* area);
    void Finish(CVKeyFrame* frame);

    CVAnimationTimer mTimer;
    int mPlaying = -1; // the key frame being played
};
