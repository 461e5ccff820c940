// Builds a surface chart the way a host program would: an elevation grid of
// measured heights, coloured in bands between height levels, with the
// contour line of every level drawn on it, and writes it as a document.
// examples/data/surface.x3d is its output.
//
// usage: surface-chart [OUT.x3d]   (standard output without a file name)
#include "scene/nodes/Appearance.h"
#include "scene/nodes/ElevationGrid.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Interpolators.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/x3d/WriteXMLAction.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

CVShape* ShapeWith(CVGeometry* geometry, RGBColorStruct diffuse, RGBColorStruct emissive)
{
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(diffuse);
    material->emissiveColor.SetValue(emissive);
    auto* appearance = new CVAppearance;
    appearance->material.SetValue(material);
    auto* shape = new CVShape;
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(geometry);
    return shape;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: surface-chart [OUT.x3d]\n");
        return 2;
    }
    // 13 x 13 samples over 4 x 4 units: a hill, a hollow and a saddle
    // between them.
    const int n = 13;
    const float spacing = 4.0f / float(n - 1);
    auto* grid = new CVElevationGrid;
    grid->xDimension.SetValue(n);
    grid->zDimension.SetValue(n);
    grid->xSpacing.SetValue(spacing);
    grid->zSpacing.SetValue(spacing);
    grid->solid.SetValue(0);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const double x = i * spacing, z = j * spacing;
            const double h = 1.2 * std::sin(1.3 * x) * std::cos(1.1 * z) + 0.3 * x;
            // Rounded to hundredths, as measured data would be.
            grid->height.Add(float(std::round(h * 100.0) / 100.0));
        }
    // Levels: the heights where the colour changes, each with the colour of
    // the band just below it; the last colours everything above.
    auto* levels = new CVColorInterpolator;
    const float keys[] = {-0.6f, 0.0f, 0.6f, 1.2f, 1.8f, 3.0f};
    const RGBAColorStruct colours[] = {{0.15f, 0.25f, 0.8f, 1}, {0.1f, 0.65f, 0.85f, 1}, {0.2f, 0.7f, 0.3f, 1},
                                       {0.9f, 0.85f, 0.2f, 1},  {0.95f, 0.55f, 0.1f, 1}, {0.85f, 0.15f, 0.1f, 1}};
    for (float k : keys)
        levels->key.Add(k);
    for (const RGBAColorStruct& c : colours)
        levels->keyValue.Add(c);
    grid->SetColorLevels(levels);
    grid->contourBands.SetValue(1);

    auto* chart = new CVTransform;
    chart->translation.SetValue(-2.0f, 0.0f, -2.0f); // centred on the origin
    chart->children.Add(ShapeWith(grid, {1, 1, 1}, {0, 0, 0}));
    // One line set per level, each the level's contour over the whole grid.
    for (CVIndexedLineSet* lines : grid->CreateContourLineNodes()) {
        if (lines->coordIndex.GetNum() == 0) {
            lines->Ref();
            lines->Unref();
            continue;
        }
        lines->lineWidth.SetValue(2.0f);
        chart->children.Add(ShapeWith(lines, {0.1f, 0.1f, 0.1f}, {0, 0, 0}));
    }
    auto* root = new CVGroup;
    root->Ref();
    root->children.Add(chart);
    bool ok;
    if (argc == 2) {
        const std::string path = argv[1];
        ok = CVWriteXMLAction().WriteFile(root, std::wstring(path.begin(), path.end()));
    } else {
        const std::string text = CVWriteXMLAction().WriteString(root);
        ok = !text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    }
    root->Unref();
    if (!ok) {
        std::fprintf(stderr, "surface-chart: the document could not be written\n");
        return 1;
    }
    return 0;
}
