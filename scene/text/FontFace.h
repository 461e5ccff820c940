// A font face as the text code uses it: the font file that fontconfig picks
// for a family, weight and slant (bold and italic synthesised when the file
// lacks them), with FreeType's metrics and outlines and cairo's glyph images.
// Faces are shared, immutable and safe to use from several threads.
#pragma once

#include <memory>
#include <string>
#include <vector>

// Vertical metrics of a face, in ems (1.0 = the font size); descent and the
// underline position are distances below the baseline.
struct CVFontMetrics {
    float ascent = 0.8f;
    float descent = 0.2f;
    float averageWidth = 0.5f;
    float underlinePosition = 0.1f;
    float underlineThickness = 0.05f;
    int unitsPerEm = 2048;
};

// The outline of one glyph in ems, curves flattened to line segments; the
// contours keep the font's direction ('clockwise' says which way outer
// contours run) and 'evenOdd' its fill rule.
struct CVGlyphOutline {
    std::vector<std::vector<float>> contours; // x, y pairs
    bool clockwise = true;
    bool evenOdd = false;
    float advance = 0.0f;
};

// A glyph as an 8-bit coverage image: 'left' pixels right of the pen,
// 'top' rows above the baseline.
struct CVGlyphImage {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    float advance = 0.0f; // pixels
    std::vector<unsigned char> alpha;
};

class CVFontFace : public std::enable_shared_from_this<CVFontFace> {
public:
    // Glyph images larger than this (em in pixels) are not made.
    static constexpr float kMaxPixelSize = 512.0f;

    // The face for a family name (the default faces' names map to their
    // metric-compatible free fonts), weight (400 normal, 700 bold) and
    // slant. A family that no installed font carries gives the default
    // face. Null only when no font can be opened at all.
    static std::shared_ptr<const CVFontFace> Find(const std::wstring& family, int weight, bool italic);
    // The family of the default face (what an empty family gets).
    static const wchar_t* DefaultFamily() { return L"Cambria"; }

    ~CVFontFace();
    CVFontFace(const CVFontFace&) = delete;
    CVFontFace& operator=(const CVFontFace&) = delete;

    // This face when it has a glyph for the code point, else an installed
    // face of like weight and slant that has one, else null.
    std::shared_ptr<const CVFontFace> ForCodePoint(char32_t c) const;
    bool HasGlyph(char32_t c) const;

    const std::string& GetFamily() const { return mFamily; }
    const std::string& GetFile() const { return mFile; }
    bool IsSyntheticBold() const { return mSyntheticBold; }
    bool IsSyntheticItalic() const { return mSyntheticItalic; }
    const CVFontMetrics& GetMetrics() const { return mMetrics; }

    // The advance of a code point in ems (0 when the face has no glyph).
    float GetAdvance(char32_t c) const;
    // The advance of a run in ems, each code point from this face or the
    // fall-back that has it (as text draws them).
    float MeasureRun(const std::u32string& text) const;
    // Each code point's advance in ems, as MeasureRun adds them up.
    void GetAdvances(const std::u32string& text, std::vector<float>& out) const;
    // The outline, curves flattened to within 'tolerance' ems; false when
    // the face has no such glyph.
    bool GetOutline(char32_t c, float tolerance, CVGlyphOutline& out) const;
    // The glyph drawn by cairo at 'pixels' per em (at most kMaxPixelSize),
    // antialiased or as a one-bit image; false when there is no glyph.
    bool Rasterize(char32_t c, float pixels, bool antialias, CVGlyphImage& out) const;

private:
    struct Impl;
    // The same, with the font lock held.
    float AdvanceLocked(char32_t c) const;
    std::shared_ptr<const CVFontFace> ForCodePointLocked(char32_t c) const;

    CVFontFace(std::unique_ptr<Impl> impl, std::string family, std::string file, bool bold, bool italic);
    friend struct CVFontFaceAccess;

    std::unique_ptr<Impl> mImpl;
    std::string mFamily;
    std::string mFile;
    bool mSyntheticBold;
    bool mSyntheticItalic;
    CVFontMetrics mMetrics;
};
