// Renders X3D documents off-screen to image files: each document is put
// under a perspective camera and a headlight fitted to its bounding box.
// Many documents are rendered in one run with one render area (or one per
// job thread), which spares the OpenGL driver's start-up per image.
//
// usage: x3d-render [options] INPUT OUTPUT [INPUT OUTPUT ...]
//        x3d-render [options] --list FILE
#include "examples/render/DocumentRenderer.h"
#include "examples/render/Jobs.h"
#include "platform/text/Utf8.h"
#include "scene/model/Color.h"
#include "scene/render/GLRenderArea.h"

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* kUsage =
    "usage: x3d-render [options] INPUT.x3d OUTPUT [INPUT.x3d OUTPUT ...]\n"
    "       x3d-render [options] --list FILE\n"
    "  Renders each document to an image file; the output's extension picks the\n"
    "  format (.png, .jpg, .gif, .tiff, .bmp; .pdf prints the image on an A4\n"
    "  page with a header and a footer). Documents that fail are reported\n"
    "  and the rest are still rendered; the exit status is 1 when any failed.\n"
    "options:\n"
    "  --size WxH        image size (default 800x600)\n"
    "  --background COLOR  any colour text the library reads (white, #336699,\n"
    "                    light gray); the default is the view control's\n"
    "                    background, #898D9D\n"
    "  --shadows         every shape casts a drop shadow\n"
    "  --antialias       scene antialiasing\n"
    "  --pdf             print every output as an A4 PDF page with frame lines,\n"
    "                    a header naming the document and a page-number footer\n"
    "  --list FILE       read the documents from FILE ('-': standard input), one\n"
    "                    \"INPUT OUTPUT [WIDTHxHEIGHT]\" per line; '#' starts a comment\n"
    "  --jobs N          render on N threads, each with its own OpenGL context\n"
    "                    (1 to 64, default 1)\n"
    "  --png-level N     PNG compression, 0 to 9 (default 3: fast; 9: smallest)\n"
    "  --time SECONDS    play the documents' animations from their start (0 to\n"
    "                    600 seconds, 25 frames a second) and write the frame at\n"
    "                    that time; without it animations stand still\n"
    "  --help            this text\n"
    "Elements the library does not read are named on standard error; a document\n"
    "with no node to draw fails. Texture images are looked for beside the\n"
    "document, then along the default image search path; those that cannot be\n"
    "drawn are named on standard error.\n";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "x3d-render: %s\n", message.c_str());
    return 1;
}

// Renders the jobs with 'threads' renderers; what each job says is printed
// in one piece. True when every job succeeded.
bool RenderAll(const std::vector<x3drender::Job>& jobs, const x3drender::Settings& settings, int threads)
{
    std::atomic<size_t> next{0};
    std::atomic<bool> allOk{true};
    std::mutex output;
    auto work = [&] {
        x3drender::DocumentRenderer renderer(settings);
        for (size_t i = next++; i < jobs.size(); i = next++) {
            const x3drender::Job& job = jobs[i];
            std::vector<std::string> notes;
            std::string error;
            int w = 0, h = 0;
            bool ok = renderer.Ready() && renderer.Render(job, notes, error, w, h);
            if (!renderer.Ready() && error.empty())
                error = "no OpenGL context could be created (is Mesa's EGL driver installed?)";
            std::lock_guard<std::mutex> lock(output);
            for (const std::string& note : notes)
                std::fprintf(stderr, "x3d-render: %s: %s\n", job.input.c_str(), note.c_str());
            if (ok) {
                std::printf("wrote %s (%dx%d)\n", job.output.c_str(), w, h);
            } else {
                std::fprintf(stderr, "x3d-render: %s: %s\n", job.input.c_str(), error.c_str());
                allOk = false;
            }
            std::fflush(stdout);
        }
    };
    if (threads <= 1) {
        work();
    } else {
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(work);
        for (std::thread& t : pool)
            t.join();
    }
    return allOk;
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "");
    x3drender::Settings settings;
    std::vector<x3drender::Job> jobs;
    std::vector<std::string> positional;
    const char* list = nullptr;
    int threads = 1;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--size" && hasValue) {
            if (!x3drender::ParseSize(argv[++i], settings.width, settings.height))
                return Fail("bad --size '" + std::string(argv[i]) + "' (expected WxH, e.g. 800x600)");
        } else if (a == "--background" && hasValue) {
            settings.background = ConvertStringToColor(lumo::FromUtf8(argv[++i]));
        } else if (a == "--shadows") {
            settings.shadows = true;
        } else if (a == "--antialias") {
            settings.antialias = true;
        } else if (a == "--pdf") {
            settings.pdf = true;
        } else if (a == "--list" && hasValue) {
            list = argv[++i];
        } else if (a == "--jobs" && hasValue) {
            char* end = nullptr;
            long n = std::strtol(argv[++i], &end, 10);
            if (!end || *end || n < 1 || n > 64)
                return Fail("bad --jobs '" + std::string(argv[i]) + "' (1 to 64)");
            threads = int(n);
        } else if (a == "--time" && hasValue) {
            char* end = nullptr;
            double t = std::strtod(argv[++i], &end);
            if (!end || *end || !(t >= 0.0 && t <= 600.0))
                return Fail("bad --time '" + std::string(argv[i]) + "' (expected seconds from 0 to 600)");
            settings.seconds = t;
        } else if (a == "--png-level" && hasValue) {
            char* end = nullptr;
            long n = std::strtol(argv[++i], &end, 10);
            if (!end || *end || n < 0 || n > 9)
                return Fail("bad --png-level '" + std::string(argv[i]) + "' (0 to 9)");
            settings.image.pngCompression = int(n);
        } else if (a.size() > 1 && a[0] == '-') {
            std::fputs(kUsage, stderr);
            return Fail("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (list) {
        std::string error;
        bool ok;
        if (std::strcmp(list, "-") == 0) {
            ok = x3drender::ReadJobList(std::cin, jobs, error);
        } else {
            std::ifstream in(list);
            if (!in)
                return Fail(std::string("cannot read the list ") + list);
            ok = x3drender::ReadJobList(in, jobs, error);
        }
        if (!ok)
            return Fail(std::string(list) + ": " + error);
    }
    if (positional.size() % 2 != 0) {
        std::fputs(kUsage, stderr);
        return Fail("an INPUT without its OUTPUT: " + positional.back());
    }
    for (size_t i = 0; i < positional.size(); i += 2)
        jobs.push_back({positional[i], positional[i + 1], 0, 0, 0});
    if (jobs.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    CVGLRenderArea::SetInflateWorld(0);
    if (settings.seconds >= 0.0)
        x3drender::InstallAnimationClock();
    threads = int(std::min<size_t>(size_t(threads), jobs.size()));
    return RenderAll(jobs, settings, threads) ? 0 : 1;
}
