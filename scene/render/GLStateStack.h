// The state pushes of a scene walk, as deep as the scene: the driver's own
// attribute and matrix stacks are shallow (Mesa keeps 16 attribute and 32
// model-view entries), so past a reserve kept for the nodes' own brackets the
// state is saved here instead and loaded back on the pop.
#pragma once

#include <array>
#include <vector>

class CVGLStateStack {
public:
    CVGLStateStack();
    ~CVGLStateStack();
    CVGLStateStack(const CVGLStateStack&) = delete;
    CVGLStateStack& operator=(const CVGLStateStack&) = delete;

    // Driver entries left free for the brackets nodes open while drawing.
    static constexpr int kReserve = 6;

    // Saves or restores what glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT |
    // GL_POLYGON_BIT) saves: enables, lights, materials, the light model,
    // shading and the polygon modes.
    void PushAttributes();
    void PopAttributes();
    // Saves or restores the matrix of a matrix mode (GL_MODELVIEW or
    // GL_PROJECTION); the mode is current afterwards.
    void PushMatrix(unsigned mode);
    void PopMatrix(unsigned mode);

    // Forgets every saved entry (a walk that was cut short).
    void Clear();
    // How many pushes are open, and how many of them were kept here.
    int Depth() const { return int(mAttributes.size()); }
    int SavedHere() const;

private:
    struct Snapshot;
    struct AttributeEntry {
        bool inDriver = true;
        std::vector<Snapshot>::size_type snapshot = 0;
    };
    struct MatrixEntry {
        bool inDriver = true;
        std::array<float, 16> matrix{};
    };

    std::vector<AttributeEntry> mAttributes;
    std::vector<Snapshot> mSnapshots;
    std::vector<MatrixEntry> mModelView;
    std::vector<MatrixEntry> mProjection;
};
