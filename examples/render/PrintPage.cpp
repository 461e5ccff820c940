#include "examples/render/PrintPage.h"

#include "platform/print/PdfPrinterDC.h"
#include "platform/text/Utf8.h"
#include "scene/print/Print.h"
#include "scene/render/SimpleDIB.h"

#include <filesystem>

namespace x3drender {

namespace {

// Text placed into markup must not be read as markup itself.
std::wstring EscapeMarkup(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += L"&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

bool PrintToPdf(const CSimpleDIB& image, const std::string& documentName, const std::string& output,
                std::string& error)
{
    const int width = int(image.GetWidth()), height = int(image.GetHeight());
    if (!image.GetBits() || width <= 0 || height <= 0) {
        error = "nothing was rendered to print";
        return false;
    }
    const std::wstring name = lumo::FromUtf8(std::filesystem::path(documentName).filename().string());
    PrinterSetup setup; // A4, to a file
    setup.file = output;
    CPdfPrinterDC dc(setup);
    CVPrint print;
    print.SetDrawBorders(1);
    print.SetHeaderFooter(1, L"<B>" + EscapeMarkup(name) + L"</B> <FONT COLOR=\"#4682B4\">printed by x3d-render</FONT>",
                          1, 14, 0, 0, L"Arial", L"Center");
    print.SetHeaderFooter(0, L"Page @pagenum of @pagecount", 0, 9, 0, 1, L"Arial", L"Right");

    if (!dc.StartDoc(name) || !dc.StartPage()) {
        error = dc.GetError().empty() ? "cannot start the PDF page" : dc.GetError();
        return false;
    }
    int left = 0, top = 0, w = dc.GetDeviceCaps(HORZRES), h = dc.GetDeviceCaps(VERTRES);
    if (!print.PrintHeaderAndFooter(&dc, nullptr, 1, 1, left, top, w, h) ||
        !print.DoFillPage(double(width) / double(height), left, top, w, h)) {
        error = "the page has no room for the image";
        return false;
    }
    // The bitmap's rows are stored bottom-up.
    const auto* bits = static_cast<const BYTE*>(image.GetBits());
    const std::ptrdiff_t stride = std::ptrdiff_t(width) * 4;
    dc.StretchImage(left, top, w, h, bits + stride * (height - 1), width, height, -stride);
    print.DrawBorder(&dc);
    if (!dc.EndPage() || !dc.EndDoc()) {
        error = dc.GetError().empty() ? "cannot write " + output : dc.GetError();
        return false;
    }
    return true;
}

} // namespace x3drender
