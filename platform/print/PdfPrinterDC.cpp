#include "platform/print/PdfPrinterDC.h"

#include "platform/com/TempFile.h"
#include "platform/print/PageFont.h"
#include "platform/print/PrintSpooler.h"
#include "platform/text/Utf8.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cerrno>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// The colour as drawn: grey devices see the luminance.
void SetColor(cairo_t* cr, COLORREF c, bool color)
{
    double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
    if (!color)
        r = g = b = 0.299 * r + 0.587 * g + 0.114 * b;
    cairo_set_source_rgb(cr, r, g, b);
}

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

} // namespace

struct CPdfPrinterDC::Impl {
    PrinterSetup setup;
    int dpi = CPdfPrinterDC::kFileDpi;
    int offset = 0; // unprintable margin in pixels
    int paperW = 0, paperH = 0;
    std::string title;
    std::string bytes;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    bool inPage = false;
    bool pageDrawn = false; // the open page holds nothing yet
    int pages = 0;
    std::string error;

    LOGFONTW font{};
    COLORREF textColor = 0;
    UINT align = 0;
    std::map<std::tuple<std::wstring, bool, bool>, cairo_font_face_t*> faces;

    ~Impl()
    {
        Close();
        for (auto& f : faces)
            if (f.second)
                cairo_font_face_destroy(f.second);
    }
    void Close()
    {
        if (cr)
            cairo_destroy(cr);
        if (surface)
            cairo_surface_destroy(surface);
        cr = nullptr;
        surface = nullptr;
    }
    bool Drawing() const { return cr && inPage; }

    // Selects the font into the context at its pixel size; false without one.
    bool ApplyFont()
    {
        if (!cr)
            return false;
        bool bold = font.lfWeight >= 600;
        bool italic = font.lfItalic != 0;
        auto key = std::make_tuple(FaceNameOf(font), bold, italic);
        auto it = faces.find(key);
        if (it == faces.end())
            it = faces.emplace(key, lumo::print::FindPageFont(std::get<0>(key), font.lfWeight, italic)).first;
        if (!it->second)
            return false;
        cairo_set_font_face(cr, it->second);
        // A negative height is the character (em) height; a positive one the
        // cell height, which the font's ascent and descent fill.
        double size = std::abs(double(font.lfHeight));
        if (size == 0)
            size = 12.0 * dpi / 72.0;
        cairo_set_font_size(cr, size);
        if (font.lfHeight > 0) {
            cairo_font_extents_t e;
            cairo_font_extents(cr, &e);
            if (e.ascent + e.descent > 0)
                cairo_set_font_size(cr, size * size / (e.ascent + e.descent));
        }
        return true;
    }
};

CPdfPrinterDC::CPdfPrinterDC(const PrinterSetup& setup) : m(new Impl)
{
    m->setup = setup;
    m->dpi = setup.printer.empty() ? kFileDpi : kPrinterDpi;
    m->offset = setup.printer.empty() ? 0 : int(std::lround(kPrinterMarginPoints * m->dpi / 72.0));
    if (setup.paperWidth >= 1.0 && setup.paperWidth <= 14400.0 && setup.paperHeight >= 1.0 &&
        setup.paperHeight <= 14400.0) {
        m->paperW = int(std::lround(setup.paperWidth * m->dpi / 72.0));
        m->paperH = int(std::lround(setup.paperHeight * m->dpi / 72.0));
    }
}

CPdfPrinterDC::~CPdfPrinterDC() = default;

int CPdfPrinterDC::GetDeviceCaps(int index) const
{
    int w = std::max(0, m->paperW - 2 * m->offset), h = std::max(0, m->paperH - 2 * m->offset);
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return m->dpi;
    case HORZRES: return w;
    case VERTRES: return h;
    case HORZSIZE: return int(std::lround(w * 25.4 / m->dpi));
    case VERTSIZE: return int(std::lround(h * 25.4 / m->dpi));
    case PHYSICALWIDTH: return m->paperW;
    case PHYSICALHEIGHT: return m->paperH;
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY: return m->offset;
    case BITSPIXEL: return m->setup.color ? 24 : 8;
    case NUMCOLORS: return m->setup.color ? -1 : 256;
    case PLANES: return 1;
    default: return 0;
    }
}

bool CPdfPrinterDC::StartDoc(const std::wstring& title)
{
    if (m->surface) {
        m->error = "a document is already open";
        return false;
    }
    if (m->paperW <= 0 || m->paperH <= 0) {
        m->error = "the paper size is outside 1 to 14,400 points";
        return false;
    }
    if (m->setup.printer.empty() ? m->setup.file.empty() : !lumo::print::IsValidPrinterName(m->setup.printer)) {
        m->error = m->setup.printer.empty() ? "no printer and no file named" : "not a printer name CUPS accepts";
        return false;
    }
    m->title = lumo::ToUtf8(title);
    m->bytes.clear();
    m->pages = 0;
    m->error.clear();
    m->surface = cairo_pdf_surface_create_for_stream(AppendBytes, &m->bytes, m->setup.paperWidth,
                                                     m->setup.paperHeight);
    if (cairo_surface_status(m->surface) != CAIRO_STATUS_SUCCESS) {
        m->error = "cannot create a PDF surface";
        m->Close();
        return false;
    }
    if (!m->title.empty())
        cairo_pdf_surface_set_metadata(m->surface, CAIRO_PDF_METADATA_TITLE, m->title.c_str());
    m->cr = cairo_create(m->surface);
    // Drawing is in printer pixels from the printable area's corner.
    cairo_scale(m->cr, 72.0 / m->dpi, 72.0 / m->dpi);
    cairo_translate(m->cr, m->offset, m->offset);
    return cairo_status(m->cr) == CAIRO_STATUS_SUCCESS;
}

bool CPdfPrinterDC::StartPage()
{
    if (!m->cr || m->inPage)
        return false;
    m->inPage = true;
    return true;
}

bool CPdfPrinterDC::EndPage()
{
    if (!m->Drawing())
        return false;
    cairo_show_page(m->cr);
    m->inPage = false;
    ++m->pages;
    return cairo_status(m->cr) == CAIRO_STATUS_SUCCESS;
}

bool CPdfPrinterDC::EndDoc()
{
    if (!m->surface)
        return false;
    if (m->inPage)
        EndPage();
    cairo_surface_finish(m->surface);
    bool ok = cairo_surface_status(m->surface) == CAIRO_STATUS_SUCCESS;
    m->Close();
    if (!ok) {
        m->error = "cairo could not finish the PDF";
        return false;
    }
    if (m->pages == 0) {
        m->error = "no page was printed";
        return false;
    }
    namespace fs = std::filesystem;
    if (m->setup.printer.empty()) {
        fs::path target(m->setup.file);
        std::string folder = target.parent_path().empty() ? std::string(".") : target.parent_path().string();
        mode_t mask = umask(0);
        umask(mask);
        std::unique_ptr<CTempFile> file;
        if (CTempFile::Create(folder, target.filename().string(), 0666 & ~mask, &file) != S_OK ||
            file->WriteAll(m->bytes) != S_OK || file->Publish() != S_OK) {
            m->error = "cannot write " + m->setup.file;
            return false;
        }
        return true;
    }
    // The spooler copies the file before lp returns; ours is removed then.
    std::error_code ec;
    fs::path tmp = fs::temp_directory_path(ec);
    if (ec)
        tmp = "/tmp";
    std::string name = (tmp / "lumo-print-XXXXXX.pdf").string();
    int fd = mkstemps(name.data(), 4);
    if (fd < 0) {
        m->error = "cannot create a spool file";
        return false;
    }
    bool written = WriteAll(fd, m->bytes);
    written = close(fd) == 0 && written;
    ok = written && lumo::print::SubmitPrintFile(m->setup.printCommand, m->setup.printer, m->title, name, m->error);
    if (!written)
        m->error = "cannot write the spool file";
    unlink(name.c_str());
    return ok;
}

void CPdfPrinterDC::SelectFont(const LOGFONTW& font) { m->font = font; }

bool CPdfPrinterDC::GetTextMetrics(TEXTMETRICW& tm)
{
    if (!m->ApplyFont())
        return false;
    cairo_font_extents_t e;
    cairo_font_extents(m->cr, &e);
    cairo_matrix_t mat;
    cairo_get_font_matrix(m->cr, &mat);
    double em = mat.yy;
    tm.tmAscent = LONG(std::lround(e.ascent));
    tm.tmDescent = LONG(std::lround(e.descent));
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - LONG(std::lround(em)));
    tm.tmExternalLeading = std::max<LONG>(0, LONG(std::lround(e.height - e.ascent - e.descent)));
    cairo_text_extents_t x;
    cairo_text_extents(m->cr, "x", &x);
    tm.tmAveCharWidth = LONG(std::lround(x.x_advance));
    return true;
}

SIZE CPdfPrinterDC::GetTextExtent(const std::wstring& text)
{
    if (!m->ApplyFont())
        return SIZE{0, 0};
    std::string utf8 = lumo::ToUtf8(text);
    cairo_text_extents_t x;
    cairo_text_extents(m->cr, utf8.c_str(), &x);
    cairo_font_extents_t e;
    cairo_font_extents(m->cr, &e);
    return SIZE{LONG(std::lround(x.x_advance)), LONG(std::lround(e.ascent) + std::lround(e.descent))};
}

void CPdfPrinterDC::SetTextColor(COLORREF color) { m->textColor = color; }
void CPdfPrinterDC::SetTextAlign(UINT align) { m->align = align; }

void CPdfPrinterDC::TextOut(int x, int y, const std::wstring& text)
{
    if (!m->Drawing() || text.empty() || !m->ApplyFont())
        return;
    std::string utf8 = lumo::ToUtf8(text);
    cairo_text_extents_t ext;
    cairo_text_extents(m->cr, utf8.c_str(), &ext);
    cairo_font_extents_t fe;
    cairo_font_extents(m->cr, &fe);
    double px = x, py = y;
    if ((m->align & TA_CENTER) == TA_CENTER)
        px -= ext.x_advance / 2.0;
    else if (m->align & TA_RIGHT)
        px -= ext.x_advance;
    if ((m->align & TA_BASELINE) != TA_BASELINE)
        py += fe.ascent;
    cairo_save(m->cr);
    SetColor(m->cr, m->textColor, m->setup.color);
    cairo_move_to(m->cr, px, py);
    cairo_show_text(m->cr, utf8.c_str());
    if (m->font.lfUnderline) {
        cairo_matrix_t mat;
        cairo_get_font_matrix(m->cr, &mat);
        double thickness = std::max(1.0, mat.yy / 14.0);
        cairo_rectangle(m->cr, px, py + mat.yy / 10.0, ext.x_advance, thickness);
        cairo_fill(m->cr);
    }
    cairo_restore(m->cr);
}

void CPdfPrinterDC::FillRect(const RECT& r, COLORREF color)
{
    if (!m->Drawing() || r.right <= r.left || r.bottom <= r.top)
        return;
    cairo_save(m->cr);
    cairo_set_antialias(m->cr, CAIRO_ANTIALIAS_NONE);
    SetColor(m->cr, color, m->setup.color);
    cairo_rectangle(m->cr, r.left, r.top, double(r.right) - r.left, double(r.bottom) - r.top);
    cairo_fill(m->cr);
    cairo_restore(m->cr);
}

void CPdfPrinterDC::StretchImage(int x, int y, int width, int height, const BYTE* pixels, int srcWidth,
                                 int srcHeight, std::ptrdiff_t stride)
{
    if (!m->Drawing() || !pixels || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0 ||
        srcWidth > 65536 || srcHeight > 65536 || std::uint64_t(srcWidth) * std::uint64_t(srcHeight) > (1ull << 28))
        return;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, srcWidth, srcHeight);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return;
    }
    cairo_surface_flush(image);
    unsigned char* dst = cairo_image_surface_get_data(image);
    int dstStride = cairo_image_surface_get_stride(image);
    // BGRA bytes are cairo's native 32-bit xRGB on a little-endian machine;
    // the unused byte is ignored.
    for (int row = 0; row < srcHeight; ++row) {
        const BYTE* src = pixels + std::ptrdiff_t(row) * stride;
        unsigned char* out = dst + std::ptrdiff_t(row) * dstStride;
        for (int col = 0; col < srcWidth; ++col) {
            const BYTE* p = src + col * 4;
            std::uint32_t v = (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
            if (!m->setup.color) {
                auto g = std::uint32_t(std::lround(0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0]));
                v = (g << 16) | (g << 8) | g;
            }
            std::memcpy(out + col * 4, &v, 4);
        }
    }
    cairo_surface_mark_dirty(image);
    cairo_save(m->cr);
    cairo_rectangle(m->cr, x, y, width, height);
    cairo_clip(m->cr);
    cairo_translate(m->cr, x, y);
    cairo_scale(m->cr, double(width) / srcWidth, double(height) / srcHeight);
    cairo_set_source_surface(m->cr, image, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(m->cr);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BEST);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_paint(m->cr);
    cairo_restore(m->cr);
    cairo_surface_destroy(image);
}

int CPdfPrinterDC::GetPageCount() const { return m->pages; }
const std::string& CPdfPrinterDC::GetError() const { return m->error; }
