// Face lookup, sizing and cell geometry of the window host's font.
#include "console/x11/x11_font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/cp866.h"

namespace zarvo {

namespace {

const FcChar8* AsFc(const char* text) {
    return reinterpret_cast<const FcChar8*>(text);
}

// The character set a face needs to draw every cell.
FcCharSet* Cp866CharSet() {
    FcCharSet* set = FcCharSetCreate();
    for (int code = 0; code < 256; ++code)
        FcCharSetAddChar(set, Cp866ToGlyph(std::uint8_t(code)));
    return set;
}

struct tMatch {
    std::string Family;
    bool Scalable = true;
    bool Covers = false;
};

// What fontconfig offers for a family name; `needGlyphs` steers a generic name such as
// "monospace" toward a face that has the CP866 glyphs.
tMatch MatchFace(const std::string& family, int weight, bool needGlyphs) {
    tMatch result;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, AsFc(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcCharSet* wanted = nullptr;
    if (needGlyphs) {
        wanted = Cp866CharSet();
        FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult status = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &status);
    if (match) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
            result.Family = reinterpret_cast<const char*>(name);
        FcBool scalable = FcTrue;
        if (FcPatternGetBool(match, FC_SCALABLE, 0, &scalable) == FcResultMatch)
            result.Scalable = scalable;
        FcCharSet* charset = nullptr;
        if (FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch)
            result.Covers = CoversCp866(charset);
        FcPatternDestroy(match);
    }
    if (wanted)
        FcCharSetDestroy(wanted);
    FcPatternDestroy(pattern);
    return result;
}

bool SameName(const std::string& a, std::string_view b) {
    return FcStrCmpIgnoreCase(AsFc(a.c_str()), AsFc(std::string(b).c_str())) == 0;
}

} // namespace

bool CoversCp866(FcCharSet* charset) {
    for (int code = 0; code < 256; ++code)
        if (!FcCharSetHasChar(charset, Cp866ToGlyph(std::uint8_t(code))))
            return false;
    return true;
}

tX11Font::tX11Font(Display* display) : m_Display(display) {
    FcInit();
}

tX11Font::~tX11Font() {
    Close();
}

void tX11Font::Close() {
    if (m_Font)
        XftFontClose(m_Display, m_Font);
    m_Font = nullptr;
}

void tX11Font::ChooseFace(std::string_view faceName, int weight) {
    m_Weight = std::clamp(weight, 1, 1000);
    m_BitmapSizes.clear();
    std::string name(faceName);
    // fontconfig always answers with some face; only an answer of the same name counts
    // as the named face being installed.
    tMatch named = MatchFace(name, m_Weight, false);
    tMatch chosen;
    if (!name.empty() && SameName(named.Family, name) && named.Covers) {
        chosen = named;
    } else {
        chosen = MatchFace(std::string(kFallbackFace), m_Weight, true);
        if (!SameName(chosen.Family, kFallbackFace) || !chosen.Covers) {
            tMatch generic = MatchFace("monospace", m_Weight, true);
            if (generic.Covers || chosen.Family.empty())
                chosen = generic;
        }
    }
    m_Family = chosen.Family.empty() ? std::string(kFallbackFace) : chosen.Family;
    m_Scalable = chosen.Scalable;
}

XftFont* tX11Font::OpenAt(double pixels, double widthScale) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, AsFc(m_Family.c_str()));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixels);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(m_Weight));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    if (widthScale != 1.0) {
        FcMatrix matrix;
        FcMatrixInit(&matrix);
        matrix.xx = widthScale;
        FcPatternAddMatrix(pattern, FC_MATRIX, &matrix);
    }
    FcResult status = FcResultNoMatch;
    FcPattern* match = XftFontMatch(m_Display, DefaultScreen(m_Display), pattern, &status);
    FcPatternDestroy(pattern);
    if (!match)
        return nullptr;
    XftFont* font = XftFontOpenPattern(m_Display, match);
    // A font Xft already had open comes back with its own pattern; ours is then unused.
    if (!font || font->pattern != match)
        FcPatternDestroy(match);
    return font;
}

// A scalable face is sized so that its whole line (ascent and descent) fits the character
// height: the accents of capitals such as "Ё" lie above the em square and would otherwise be
// cut off at the cell's top. Its advance is then stretched to exactly the character width,
// which keeps box-drawing lines joined.
XftFont* tX11Font::OpenScalable(tFontSize size) {
    double pixels = size.Height;
    XftFont* font = OpenAt(pixels, 1.0);
    for (int attempt = 0; font && attempt < 4 && font->ascent + font->descent > size.Height;
         ++attempt) {
        pixels *= double(size.Height) / double(font->ascent + font->descent);
        if (attempt > 0)
            pixels -= 0.5;
        XftFontClose(m_Display, font);
        font = OpenAt(pixels, 1.0);
    }
    if (font && font->max_advance_width > 0 && font->max_advance_width != size.Width) {
        double scale = double(size.Width) / double(font->max_advance_width);
        if (XftFont* scaled = OpenAt(pixels, scale)) {
            XftFontClose(m_Display, font);
            font = scaled;
        }
    }
    return font;
}

bool tX11Font::Open(tFontSize size) {
    size.Width = std::clamp(size.Width, kMinFontPixels, kMaxFontPixels);
    size.Height = std::clamp(size.Height, kMinFontPixels, kMaxFontPixels);
    XftFont* font = m_Scalable ? OpenScalable(size) : OpenAt(size.Height, 1.0);
    if (!font)
        return false;
    Close();
    m_Font = font;
    int ascent = font->ascent;
    int descent = font->descent;
    int internalLeading = std::max(0, ascent + descent - size.Height);
    m_CellWidth = size.Width;
    m_CellHeight = ascent + descent - internalLeading;
    if (m_Scalable)
        m_CellHeight = size.Height;
    // Glyphs are drawn from the cell top minus the internal leading.
    m_Baseline = ascent - internalLeading;
    for (int code = 0; code < 256; ++code)
        m_Glyphs[code] = XftCharIndex(m_Display, font, Cp866ToGlyph(std::uint8_t(code)));
    return true;
}

std::vector<tFontSize> tX11Font::BitmapSizes() {
    if (!m_BitmapSizes.empty())
        return m_BitmapSizes;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, AsFc(m_Family.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_PIXEL_SIZE, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    std::vector<int> heights;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        double pixels = 0;
        if (FcPatternGetDouble(fonts->fonts[i], FC_PIXEL_SIZE, 0, &pixels) == FcResultMatch)
            heights.push_back(int(std::lround(pixels)));
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    std::sort(heights.begin(), heights.end());
    heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
    for (int height : heights) {
        if (XftFont* font = OpenAt(height, 1.0)) {
            m_BitmapSizes.push_back({font->max_advance_width, height});
            XftFontClose(m_Display, font);
        }
    }
    return m_BitmapSizes;
}

tFontSize tX11Font::NearestSize(tFontSize wanted) {
    wanted.Width = std::clamp(wanted.Width, kMinFontPixels, kMaxFontPixels);
    wanted.Height = std::clamp(wanted.Height, kMinFontPixels, kMaxFontPixels);
    if (m_Scalable)
        return wanted;
    std::vector<tFontSize> sizes = BitmapSizes();
    if (sizes.empty())
        return wanted;
    tFontSize best = sizes.front();
    int bestScore = -1;
    for (const tFontSize& offered : sizes) {
        int score =
            std::abs(wanted.Width - offered.Width) + std::abs(wanted.Height - offered.Height);
        if (bestScore < 0 || score < bestScore) {
            best = offered;
            bestScore = score;
        }
    }
    return best;
}

} // namespace zarvo
