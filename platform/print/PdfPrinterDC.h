// The printer on Linux: a device context whose pages become a PDF document,
// drawn with cairo. The document is handed to a named CUPS printer (600
// dots per inch, a 12-point unprintable margin on each side) or written to
// the file the caller names (300 dots per inch, no unprintable margin).
// Grey devices draw every colour as its grey.
#pragma once

#include "platform/print/PrinterDC.h"

#include <memory>
#include <string>

struct PrinterSetup {
    // Paper size in points (1/72 inch); A4 portrait by default. Sizes
    // outside 1 to 14,400 points (200 inches) make StartDoc fail.
    double paperWidth = 595.276;
    double paperHeight = 841.89;
    bool color = true;
    // A CUPS printer name; when empty the document goes to 'file'.
    std::string printer;
    // The PDF file to write: replaced in one step through a new file of an
    // unpredictable name beside it, never written through a link.
    std::string file;
    // The command that hands a file to the spooler.
    std::string printCommand = "lp";
};

class CPdfPrinterDC : public CPrinterDC {
public:
    static constexpr int kPrinterDpi = 600;
    static constexpr int kFileDpi = 300;
    static constexpr double kPrinterMarginPoints = 12.0;

    explicit CPdfPrinterDC(const PrinterSetup& setup);
    ~CPdfPrinterDC() override;
    CPdfPrinterDC(const CPdfPrinterDC&) = delete;
    CPdfPrinterDC& operator=(const CPdfPrinterDC&) = delete;

    int GetDeviceCaps(int index) const override;
    bool StartDoc(const std::wstring& title) override;
    bool StartPage() override;
    bool EndPage() override;
    // Finishes the PDF and writes it or hands it to the printer; false (with
    // GetError) when that fails or no page was drawn.
    bool EndDoc() override;
    void SelectFont(const LOGFONTW& font) override;
    bool GetTextMetrics(TEXTMETRICW& metrics) override;
    SIZE GetTextExtent(const std::wstring& text) override;
    void SetTextColor(COLORREF color) override;
    void SetTextAlign(UINT align) override;
    void TextOut(int x, int y, const std::wstring& text) override;
    void FillRect(const RECT& rect, COLORREF color) override;
    // Sources of more than 2^28 pixels or 65,536 a side are not drawn.
    void StretchImage(int x, int y, int width, int height, const BYTE* pixels, int srcWidth, int srcHeight,
                      std::ptrdiff_t stride) override;

    int GetPageCount() const;
    const std::string& GetError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};
