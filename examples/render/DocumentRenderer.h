// Renders documents one after another into image files with one render
// area (one OpenGL context and its caches): the document is put under a
// perspective camera and a headlight fitted to its bounding box; images it
// names are found beside it first. Each document's scene is released before
// the next; nothing of one document carries over to the next one's pixels.
#pragma once

#include "examples/render/Jobs.h"
#include "platform/win/WinTypes.h"
#include "scene/io/image/Image.h"

#include <memory>
#include <string>
#include <vector>

class CVRenderToDIBAction;

namespace x3drender {

struct Settings {
    int width = 800;
    int height = 600;
    // The view control's default background, so that default white
    // materials stand out.
    COLORREF background = RGB(137, 141, 157);
    bool shadows = false;
    bool antialias = false;
    // Plays the document's animations from their start to this time (0 to
    // 600 seconds, kFrameMs apart) and keeps that frame; below 0 they stand still.
    double seconds = -1.0;
    lumo::image::WriteOptions image;
    // Print every output as an A4 PDF page (as a ".pdf" name does anyway).
    bool pdf = false;
};

// Whether an output name ends in ".pdf" (any case): such outputs are printed.
bool IsPdfName(const std::string& name);

// Animations are played at this frame interval up to the chosen time.
constexpr long long kFrameMs = 40;

// Installs the process's clock for played animations: each render thread
// reads its own document's time. Call before the threads start, when any
// document is played to a time.
void InstallAnimationClock();

class DocumentRenderer {
public:
    explicit DocumentRenderer(const Settings& settings);
    ~DocumentRenderer();
    DocumentRenderer(const DocumentRenderer&) = delete;
    DocumentRenderer& operator=(const DocumentRenderer&) = delete;

    // False when no OpenGL context could be made.
    bool Ready() const;
    // Reads, renders and writes one document; 'notes' gets what the reader
    // skipped, 'error' why it failed. The image's size on success.
    bool Render(const Job& job, std::vector<std::string>& notes, std::string& error, int& width, int& height);

private:
    Settings mSettings;
    std::unique_ptr<CVRenderToDIBAction> mAction;
    std::wstring mDefaultImagePath;
};

} // namespace x3drender
