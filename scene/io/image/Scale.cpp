#include "scene/io/image/Image.h"

#include <cairo.h>

#include <algorithm>
#include <memory>

namespace lumo::image {

namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// cairo's ARGB32 is premultiplied and, in memory on a little-endian machine,
// in BGRA byte order: the channels only need (un)premultiplying.
Surface Premultiplied(const CVImage& image)
{
    Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    cairo_surface_flush(s.get());
    unsigned char* data = cairo_image_surface_get_data(s.get());
    int stride = cairo_image_surface_get_stride(s.get());
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* src = image.Row(y);
        unsigned char* dst = data + size_t(y) * size_t(stride);
        for (int x = 0; x < image.width; ++x, src += 4, dst += 4) {
            unsigned a = src[3];
            for (int c = 0; c < 3; ++c)
                dst[c] = static_cast<unsigned char>((src[c] * a + 127) / 255);
            dst[3] = static_cast<unsigned char>(a);
        }
    }
    cairo_surface_mark_dirty(s.get());
    return s;
}

void Straight(cairo_surface_t* s, CVImage& out)
{
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < out.height; ++y) {
        const unsigned char* src = data + size_t(y) * size_t(stride);
        std::uint8_t* dst = out.Row(y);
        for (int x = 0; x < out.width; ++x, src += 4, dst += 4) {
            unsigned a = src[3];
            for (int c = 0; c < 3; ++c)
                dst[c] = a ? static_cast<std::uint8_t>(std::min(255u, (src[c] * 255 + a / 2) / a)) : 0;
            dst[3] = static_cast<std::uint8_t>(a);
        }
    }
}

} // namespace

bool Scale(const CVImage& source, int width, int height, CVImage& out)
{
    if (!source.Valid() || width <= 0 || height <= 0)
        return false;
    Surface from = Premultiplied(source);
    if (!from)
        return false;
    Surface to(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(to.get()) != CAIRO_STATUS_SUCCESS)
        return false;
    Context cr(cairo_create(to.get()));
    cairo_scale(cr.get(), double(width) / source.width, double(height) / source.height);
    cairo_set_source_surface(cr.get(), from.get(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr.get());
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    // Edge pixels are repeated outwards, so that the border does not fade
    // into the transparent surroundings.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        return false;
    CVImage result;
    result.width = width;
    result.height = height;
    result.hasAlpha = source.hasAlpha;
    result.bgra.resize(size_t(width) * size_t(height) * 4);
    Straight(to.get(), result);
    out = std::move(result);
    return true;
}

} // namespace lumo::image
