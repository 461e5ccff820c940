#include "scene/io/image/Image.h"

#include <cstdio>
// jpeglib.h needs the standard types declared first.
#include <csetjmp>
#include <jpeglib.h>

namespace lumo::image {

namespace {

// libjpeg reports errors through a callback that must not return: jump back.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr, int) {}

} // namespace

bool ReadJpeg(const std::string& path, CVImage& image, std::uint64_t maxPixels)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.emit_message = Quiet;
    CVImage* out = new CVImage; // heap: nothing with a destructor may live across longjmp
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        delete out;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    if (!SizeAllowed(info.output_width, info.output_height, maxPixels))
        OnError(reinterpret_cast<j_common_ptr>(&info));
    out->width = int(info.output_width);
    out->height = int(info.output_height);
    out->bgra.resize(size_t(out->width) * size_t(out->height) * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->Row(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    image = std::move(*out);
    delete out;
    return true;
}

bool WriteJpeg(const std::string& path, const CVImage& image, int quality)
{
    if (!image.Valid())
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.emit_message = Quiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::fclose(file);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(image.width);
    info.image_height = JDIMENSION(image.height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour: charts have sharp colour edges that chroma
    // subsampling would smear.
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.Row(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    bool ok = !std::ferror(file);
    return std::fclose(file) == 0 && ok;
}

} // namespace lumo::image
