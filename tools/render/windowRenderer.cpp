#include "windowRenderer.h"

#include "platform/CString.h"
#include "platform/controls.h"
#include "platform/screen.h"
#include "platform/textCodec.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace {

const char* const kFamily = "Liberation Sans";
// The faces Liberation Sans stands for (lower case); "" is the default face.
const wchar_t* const kFacesServed[] = {L"", L"arial", L"liberation sans", L"helvetica"};
constexpr LONG kBoldFrom = 600;

// Colours of the controls.
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kFace = RGB(224, 224, 224);
constexpr COLORREF kFacePushed = RGB(168, 168, 168);
constexpr COLORREF kGreyText = RGB(128, 128, 128);
constexpr COLORREF kFrameGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void setColour(cairo_t* cr, COLORREF c)
{
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void setPixel(cairo_t* cr, std::uint32_t argb)
{
    cairo_set_source_rgb(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                         (argb & 0xFF) / 255.0);
}

void fillRect(cairo_t* cr, const CRect& r, COLORREF c)
{
    setColour(cr, c);
    cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
    cairo_fill(cr);
}

// A frame `thickness` pixels wide just inside the rectangle.
void frameRect(cairo_t* cr, const CRect& r, COLORREF c, int thickness = 1)
{
    setColour(cr, c);
    for (int i = 0; i < thickness; ++i) {
        const CRect f(r.left + i, r.top + i, r.right - i, r.bottom - i);
        if (f.IsRectEmpty())
            break;
        cairo_rectangle(cr, f.left + 0.5, f.top + 0.5, f.Width() - 1, f.Height() - 1);
    }
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

std::wstring lower(const wchar_t* text)
{
    std::wstring s(text);
    for (wchar_t& c : s)
        c = CharToLower(c);
    return s;
}

std::wstring windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

std::wstring classOf(HWND window)
{
    wchar_t name[64];
    return GetClassNameW(window, name, 64) > 0 ? lower(name) : std::wstring();
}

} // namespace

// ---- Fonts ----

struct CWindowRenderer::Fonts {
    std::string file[2];
    cairo_font_face_t* face[2] = {nullptr, nullptr};
    double cellRatio[2] = {1, 1};   // (ascent + descent) / em size
    cairo_font_options_t* options = nullptr;
    std::map<std::pair<int, long>, cairo_scaled_font_t*> scaled;
    std::wstring unknownFace;       // the first face asked for that Liberation Sans does not serve

    ~Fonts()
    {
        for (auto& entry : scaled)
            cairo_scaled_font_destroy(entry.second);
        for (cairo_font_face_t* f : face)
            if (f)
                cairo_font_face_destroy(f);
        if (options)
            cairo_font_options_destroy(options);
    }

    // The scaled font for an em size; made once and kept.
    cairo_scaled_font_t* at(bool bold, double em)
    {
        const std::pair<int, long> key(bold ? 1 : 0, std::lround(em * 64));
        auto it = scaled.find(key);
        if (it != scaled.end())
            return it->second;
        cairo_matrix_t size, identity;
        cairo_matrix_init_scale(&size, em, em);
        cairo_matrix_init_identity(&identity);
        cairo_scaled_font_t* font = cairo_scaled_font_create(face[bold ? 1 : 0], &size, &identity, options);
        scaled[key] = font;
        return font;
    }

    cairo_scaled_font_t* of(const LOGFONTW& font)
    {
        const std::wstring name = lower(font.lfFaceName);
        if (std::none_of(std::begin(kFacesServed), std::end(kFacesServed),
                         [&](const wchar_t* f) { return name == f; }) &&
            unknownFace.empty())
            unknownFace = font.lfFaceName;
        const bool bold = font.lfWeight >= kBoldFrom;
        LOGFONTW stock;
        getFontDescription(nullptr, stock);
        const LONG height = font.lfHeight != 0 ? font.lfHeight : stock.lfHeight;
        const double em = height > 0 ? height / cellRatio[bold ? 1 : 0] : -static_cast<double>(height);
        return at(bold, em);
    }
};

namespace {

double advance(cairo_scaled_font_t* font, const std::wstring& text)
{
    if (text.empty())
        return 0;
    cairo_text_extents_t extents;
    cairo_scaled_font_text_extents(font, WideToUtf8(text).c_str(), &extents);
    return extents.x_advance;
}

int widthOf(cairo_scaled_font_t* font, const std::wstring& text)
{
    return static_cast<int>(std::ceil(advance(font, text) - 1e-9));
}

// Finds the family through fontconfig and makes a cairo face of exactly the file it names;
// false when fontconfig offers another family (the font is not installed).
bool loadFace(bool bold, cairo_font_face_t*& face, std::string& file, double& cellRatio,
              cairo_font_options_t* options, std::string& error)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFamily));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* family = nullptr;
    FcChar8* path = nullptr;
    int weight = 0;
    if (!match || FcPatternGetString(match, FC_FAMILY, 0, &family) != FcResultMatch ||
        std::strcmp(reinterpret_cast<const char*>(family), kFamily) != 0 ||
        FcPatternGetString(match, FC_FILE, 0, &path) != FcResultMatch ||
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) != FcResultMatch ||
        (weight >= FC_WEIGHT_BOLD) != bold) {
        error = std::string(kFamily) + (bold ? " Bold" : "") + " is not installed (fontconfig offers " +
                (family ? reinterpret_cast<const char*>(family) : "nothing") +
                "); install Debian's fonts-liberation2";
        if (match)
            FcPatternDestroy(match);
        return false;
    }
    file = reinterpret_cast<const char*>(path);
    face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);

    // The face cairo actually uses, checked, and its cell height per em.
    cairo_matrix_t size, identity;
    cairo_matrix_init_scale(&size, 100, 100);
    cairo_matrix_init_identity(&identity);
    cairo_scaled_font_t* probe = cairo_scaled_font_create(face, &size, &identity, options);
    bool ok = cairo_scaled_font_status(probe) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        FT_Face ft = cairo_ft_scaled_font_lock_face(probe);
        ok = ft && ft->family_name && std::strcmp(ft->family_name, kFamily) == 0 &&
             ((ft->style_flags & FT_STYLE_FLAG_BOLD) != 0) == bold;
        cairo_ft_scaled_font_unlock_face(probe);
        cairo_font_extents_t extents;
        cairo_scaled_font_extents(probe, &extents);
        cellRatio = (extents.ascent + extents.descent) / 100.0;
    }
    cairo_scaled_font_destroy(probe);
    if (!ok)
        error = "the font file " + file + " is not " + kFamily + (bold ? " Bold" : "");
    return ok;
}

// ---- Text ----

struct Line {
    size_t start;
    size_t length;
};

// Breaks the text into lines: at line feeds, and with `wordBreak` wherever the next word
// would pass `width` (a word wider than the line is broken between characters).
std::vector<Line> wrap(cairo_scaled_font_t* font, const std::wstring& text, int width, bool wordBreak)
{
    std::vector<Line> lines;
    size_t start = 0;
    size_t lastSpace = std::wstring::npos;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == L'\n') {
            lines.push_back(Line{start, i - start});
            start = i + 1;
            lastSpace = std::wstring::npos;
            continue;
        }
        if (!wordBreak || widthOf(font, text.substr(start, i + 1 - start)) <= width) {
            if (text[i] == L' ')
                lastSpace = i;
            continue;
        }
        if (text[i] == L' ') {                       // the space itself overflows: break here
            lines.push_back(Line{start, i - start});
            start = i + 1;
        } else if (lastSpace != std::wstring::npos && lastSpace >= start) {
            lines.push_back(Line{start, lastSpace - start});
            start = lastSpace + 1;
        } else if (i > start) {
            lines.push_back(Line{start, i - start});
            start = i;
        }
        lastSpace = std::wstring::npos;
    }
    return lines;
}

struct TextJob {
    CRect rect;
    std::wstring text;
    LOGFONTW font;
    UINT format = 0;
    COLORREF colour = kBlack;
};

} // namespace

CWindowRenderer::CWindowRenderer() = default;

CWindowRenderer::~CWindowRenderer()
{
    if (m_fonts)
        SetTextMeasurer(nullptr);
}

bool CWindowRenderer::Init(std::string& error)
{
    if (m_fonts)
        return true;
    auto fonts = std::make_unique<Fonts>();
    fonts->options = cairo_font_options_create();
    cairo_font_options_set_antialias(fonts->options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fonts->options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(fonts->options, CAIRO_HINT_METRICS_OFF);
    for (int bold = 0; bold < 2; ++bold)
        if (!loadFace(bold != 0, fonts->face[bold], fonts->file[bold], fonts->cellRatio[bold],
                      fonts->options, error))
            return false;
    m_fonts = std::move(fonts);
    SetTextMeasurer([this](const LOGFONTW& font, const wchar_t* text, int length) {
        return MeasureText(font, text, length);
    });
    return true;
}

const std::string& CWindowRenderer::FontFile(bool bold) const
{
    static const std::string none;
    return m_fonts ? m_fonts->file[bold ? 1 : 0] : none;
}

int CWindowRenderer::MeasureText(const LOGFONTW& font, const wchar_t* text, int length)
{
    if (!m_fonts || !text || length <= 0)
        return 0;
    return widthOf(m_fonts->of(font), std::wstring(text, static_cast<size_t>(length)));
}

// ---- Drawing ----

namespace {

class Painter {
public:
    Painter(cairo_t* cr, CWindowRenderer::Fonts& fonts, const TRenderOptions& options)
        : m_cr(cr), m_fonts(fonts), m_options(options) {}

    void text(const TextJob& job);
    void bitmap(const std::wstring& name, const CRect& dest, CPoint source);
    void icon(const std::wstring& name, const CRect& dest);
    void operation(const TDrawOp& op, CPoint origin);
    void children(HWND parent);

private:
    void control(HWND child, const CRect& r);
    void button(HWND child, const CRect& r, const TControlState& state);
    void glyph(const wchar_t* text, double centreX, double centreY, double em, COLORREF colour);
    void keyboard(const CRect& box, COLORREF body, COLORREF keys);

    cairo_t* m_cr;
    CWindowRenderer::Fonts& m_fonts;
    const TRenderOptions& m_options;
};

void Painter::text(const TextJob& job)
{
    cairo_scaled_font_t* font = m_fonts.of(job.font);
    const UINT f = job.format;
    const bool single = (f & DT_SINGLELINE) != 0;
    int mnemonic = -1;
    std::wstring shown = (f & DT_NOPREFIX) ? job.text : StripMnemonics(job.text.c_str(), &mnemonic);
    if (single)
        std::replace_if(shown.begin(), shown.end(), [](wchar_t c) { return c == L'\n' || c == L'\r'; }, L' ');
    const int width = job.rect.Width();
    if ((f & DT_END_ELLIPSIS) && single && widthOf(font, shown) > width) {
        size_t n = shown.size();
        while (n > 0 && widthOf(font, shown.substr(0, n) + L"...") > width)
            --n;
        shown = shown.substr(0, n) + L"...";
        if (mnemonic >= static_cast<int>(n))
            mnemonic = -1;
    }
    const std::vector<Line> lines = single ? std::vector<Line>{Line{0, shown.size()}}
                                           : wrap(font, shown, width, (f & DT_WORDBREAK) != 0);
    cairo_font_extents_t extents;
    cairo_scaled_font_extents(font, &extents);
    const int lineHeight = static_cast<int>(std::ceil(extents.ascent + extents.descent));
    int y = job.rect.top;
    if (single && (f & DT_VCENTER))
        y = job.rect.top + (job.rect.Height() - lineHeight) / 2;
    else if (single && (f & DT_BOTTOM))
        y = job.rect.bottom - lineHeight;

    cairo_save(m_cr);
    if (m_options.clipText && !(f & DT_NOCLIP)) {
        cairo_rectangle(m_cr, job.rect.left, job.rect.top, job.rect.Width(), job.rect.Height());
        cairo_clip(m_cr);
    }
    cairo_set_scaled_font(m_cr, font);
    setColour(m_cr, job.colour);
    for (const Line& line : lines) {
        const std::wstring part = shown.substr(line.start, line.length);
        const int w = widthOf(font, part);
        int x = job.rect.left;
        if (f & DT_CENTER)
            x = job.rect.left + (width - w) / 2;
        else if (f & DT_RIGHT)
            x = job.rect.right - w;
        const double baseline = y + std::round(extents.ascent);
        cairo_move_to(m_cr, x, baseline);
        cairo_show_text(m_cr, WideToUtf8(part).c_str());
        const int m = mnemonic - static_cast<int>(line.start);
        if (mnemonic >= 0 && m >= 0 && m < static_cast<int>(line.length)) {
            const double x0 = x + advance(font, part.substr(0, static_cast<size_t>(m)));
            const double x1 = x + advance(font, part.substr(0, static_cast<size_t>(m) + 1));
            cairo_rectangle(m_cr, std::floor(x0), baseline + 1, std::ceil(x1) - std::floor(x0), 1);
            cairo_fill(m_cr);
        }
        y += lineHeight;
    }
    cairo_restore(m_cr);
}

// A character centred on a point, in Liberation Sans Bold at the em size.
void Painter::glyph(const wchar_t* text, double centreX, double centreY, double em, COLORREF colour)
{
    cairo_scaled_font_t* font = m_fonts.at(true, em);
    const std::string utf8 = WideToUtf8(std::wstring(text));
    cairo_text_extents_t e;
    cairo_scaled_font_text_extents(font, utf8.c_str(), &e);
    cairo_set_scaled_font(m_cr, font);
    setColour(m_cr, colour);
    cairo_move_to(m_cr, centreX - e.x_bearing - e.width / 2, centreY - e.y_bearing - e.height / 2);
    cairo_show_text(m_cr, utf8.c_str());
}

void Painter::keyboard(const CRect& box, COLORREF body, COLORREF keys)
{
    const double h = box.Height() * 0.5;
    const double top = box.top + (box.Height() - h) / 2;
    setColour(m_cr, body);
    cairo_rectangle(m_cr, box.left + 1, top, box.Width() - 2, h);
    cairo_fill(m_cr);
    setColour(m_cr, keys);
    const int columns = std::max(2, (box.Width() - 4) / 4);
    const double keyW = (box.Width() - 4.0) / columns;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < columns; ++col)
            cairo_rectangle(m_cr, box.left + 2 + col * keyW + 0.5, top + 1 + row * (h - 2) / 3 + 0.5,
                            keyW - 1, (h - 2) / 3 - 1);
    cairo_fill(m_cr);
}

// The look of a named bitmap drawn over its whole size, from the bitmap's point `source` at
// the destination's top-left, cut to the destination.
void Painter::bitmap(const std::wstring& name, const CRect& dest, CPoint source)
{
    int w = dest.Width(), h = dest.Height();
    bitmapResourceSize(name.c_str(), w, h);
    const CRect box(dest.left - source.x, dest.top - source.y, dest.left - source.x + w,
                    dest.top - source.y + h);
    cairo_save(m_cr);
    cairo_rectangle(m_cr, dest.left, dest.top, dest.Width(), dest.Height());
    cairo_clip(m_cr);
    const std::wstring key = lower(name.c_str());
    if (key == L"idb_titlebar2") {
        fillRect(m_cr, CRect(box.left + 1, box.top + 1, box.right - 1, box.bottom - 1), RGB(40, 90, 170));
        for (int i = 0; i < 3; ++i) {
            const int y = box.top + box.Height() * (3 + 2 * i) / 10;
            fillRect(m_cr, CRect(box.left + box.Width() / 5, y, box.right - box.Width() / 5, y + 2), kWhite);
        }
    } else if (key == L"idb_alphakey") {
        keyboard(box, RGB(50, 50, 50), RGB(235, 235, 235));
    } else if (key == L"idb_titlebar_empty") {
        keyboard(box, RGB(200, 200, 200), RGB(240, 240, 240));
    } else {
        // A name without a look: a crossed box.
        setColour(m_cr, RGB(200, 0, 0));
        cairo_set_line_width(m_cr, 1);
        cairo_rectangle(m_cr, box.left + 0.5, box.top + 0.5, box.Width() - 1, box.Height() - 1);
        cairo_move_to(m_cr, box.left, box.top);
        cairo_line_to(m_cr, box.right, box.bottom);
        cairo_move_to(m_cr, box.right, box.top);
        cairo_line_to(m_cr, box.left, box.bottom);
        cairo_stroke(m_cr);
    }
    cairo_restore(m_cr);
}

void Painter::icon(const std::wstring& name, const CRect& dest)
{
    const double cx = dest.left + dest.Width() / 2.0, cy = dest.top + dest.Height() / 2.0;
    const double r = std::min(dest.Width(), dest.Height()) / 2.0 - 1;
    cairo_save(m_cr);
    cairo_rectangle(m_cr, dest.left, dest.top, dest.Width(), dest.Height());
    cairo_clip(m_cr);
    if (name == L"IDI_EXCLAMATION") {
        cairo_move_to(m_cr, cx, dest.top + 1);
        cairo_line_to(m_cr, dest.right - 1, dest.bottom - 2);
        cairo_line_to(m_cr, dest.left + 1, dest.bottom - 2);
        cairo_close_path(m_cr);
        setColour(m_cr, RGB(250, 200, 0));
        cairo_fill_preserve(m_cr);
        setColour(m_cr, RGB(90, 70, 0));
        cairo_set_line_width(m_cr, 1);
        cairo_stroke(m_cr);
        glyph(L"!", cx, cy + r * 0.2, r * 1.2, kBlack);
    } else if (name == L"IDI_HAND" || name == L"IDI_QUESTION" || name == L"IDI_ASTERISK") {
        const bool stop = name == L"IDI_HAND";
        cairo_arc(m_cr, cx, cy, r, 0, 2 * M_PI);
        setColour(m_cr, stop ? RGB(210, 30, 30) : RGB(30, 90, 200));
        cairo_fill(m_cr);
        if (stop) {
            setColour(m_cr, kWhite);
            cairo_set_line_width(m_cr, 3);
            cairo_move_to(m_cr, cx - r * 0.45, cy - r * 0.45);
            cairo_line_to(m_cr, cx + r * 0.45, cy + r * 0.45);
            cairo_move_to(m_cr, cx + r * 0.45, cy - r * 0.45);
            cairo_line_to(m_cr, cx - r * 0.45, cy + r * 0.45);
            cairo_stroke(m_cr);
        } else {
            glyph(name == L"IDI_QUESTION" ? L"?" : L"i", cx, cy, r * 1.4, kWhite);
        }
    } else {
        cairo_restore(m_cr);
        bitmap(name, dest, CPoint());
        return;
    }
    cairo_restore(m_cr);
}

void Painter::operation(const TDrawOp& op, CPoint origin)
{
    CRect r = op.rect;
    r.OffsetRect(origin.x, origin.y);
    switch (op.kind) {
    case TDrawKind::Text:
        text(TextJob{r, op.text, op.font, op.format, op.color});
        break;
    case TDrawKind::Bitmap:
        bitmap(op.image, r, op.source);
        break;
    case TDrawKind::Icon:
        icon(op.image, r);
        break;
    case TDrawKind::Fill:
        fillRect(m_cr, r, op.color);
        break;
    case TDrawKind::Frame:
        if (r.IsRectEmpty())
            break;
        fillRect(m_cr, CRect(r.left, r.top, r.right, r.top + 1), op.color);
        fillRect(m_cr, CRect(r.left, r.top, r.left + 1, r.bottom), op.color);
        fillRect(m_cr, CRect(r.left, r.bottom - 1, r.right, r.bottom), op.color2);
        fillRect(m_cr, CRect(r.right - 1, r.top, r.right, r.bottom), op.color2);
        break;
    }
}

void Painter::button(HWND child, const CRect& r, const TControlState& state)
{
    const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    LOGFONTW font;
    getFontDescription(GetWindowFont(child), font);
    const COLORREF ink = IsWindowEnabled(child) ? kBlack : kGreyText;
    if (state.kind == TControlKind::CheckBox || state.kind == TControlKind::RadioButton) {
        const int box = 13;
        const CRect mark(r.left, r.top + (r.Height() - box) / 2, r.left + box, r.top + (r.Height() + box) / 2);
        fillRect(m_cr, mark, kWhite);
        frameRect(m_cr, mark, ink);
        if (state.check != BST_UNCHECKED)
            fillRect(m_cr, CRect(mark.left + 3, mark.top + 3, mark.right - 3, mark.bottom - 3), ink);
        text(TextJob{CRect(mark.right + 4, r.top, r.right, r.bottom), windowText(child), font,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE, ink});
        return;
    }
    fillRect(m_cr, r, state.pushed ? kFacePushed : kFace);
    if ((style & BS_BITMAP) && state.image && state.imageType == IMAGE_BITMAP) {
        const std::wstring name = bitmapResourceName(static_cast<HBITMAP>(state.image));
        int w = r.Width(), h = r.Height();
        bitmapResourceSize(name.c_str(), w, h);
        const int x = r.left + (r.Width() - w) / 2, y = r.top + (r.Height() - h) / 2;
        bitmap(name, CRect(x, y, x + w, y + h), CPoint());
    } else if ((style & BS_ICON) && state.image && state.imageType == IMAGE_ICON) {
        icon(iconResourceName(static_cast<HICON>(state.image)), CRect(r.left, r.top, r.left + 32, r.top + 32));
    } else {
        text(TextJob{r, windowText(child), font, DT_CENTER | DT_VCENTER | DT_SINGLELINE, ink});
    }
    frameRect(m_cr, r, kBlack, state.kind == TControlKind::DefaultPushButton ? 2 : 1);
}

void Painter::control(HWND child, const CRect& r)
{
    TControlState state;
    const std::wstring kind = classOf(child);
    if (getControlState(child, state)) {
        const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        LOGFONTW font;
        getFontDescription(GetWindowFont(child), font);
        switch (state.kind) {
        case TControlKind::StaticText: {
            const DWORD type = style & SS_TYPEMASK;
            UINT format = type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT;
            format |= type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
            if (style & SS_NOPREFIX)
                format |= DT_NOPREFIX;
            text(TextJob{r, windowText(child), font, format,
                         IsWindowEnabled(child) ? kBlack : kGreyText});
            break;
        }
        case TControlKind::StaticBitmap: {
            const std::wstring name = state.imageType == IMAGE_BITMAP
                                          ? bitmapResourceName(static_cast<HBITMAP>(state.image))
                                          : std::wstring();
            int w = r.Width(), h = r.Height();
            if (!name.empty() && bitmapResourceSize(name.c_str(), w, h)) {
                const bool centre = (style & SS_CENTERIMAGE) != 0;
                const int x = centre ? r.left + (r.Width() - w) / 2 : r.left;
                const int y = centre ? r.top + (r.Height() - h) / 2 : r.top;
                bitmap(name, CRect(x, y, x + w, y + h), CPoint());
            }
            break;
        }
        case TControlKind::StaticIcon: {
            const std::wstring name = state.imageType == IMAGE_ICON
                                          ? iconResourceName(static_cast<HICON>(state.image))
                                          : std::wstring();
            if (!name.empty())
                icon(name, CRect(r.left, r.top, r.left + 32, r.top + 32));
            break;
        }
        default:
            button(child, r, state);
        }
        return;
    }
    if (kind == L"edit") {
        fillRect(m_cr, r, kWhite);
        frameRect(m_cr, r, kFrameGrey);
        LOGFONTW font;
        getFontDescription(GetWindowFont(child), font);
        text(TextJob{CRect(r.left + 3, r.top, r.right - 3, r.bottom), windowText(child), font,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, kBlack});
        return;
    }
    frameRect(m_cr, r, kFrameGrey);
}

// Every visible child, in creation order, each cut to its own rectangle (unless texts are
// not cut), then its children.
void Painter::children(HWND parent)
{
    for (HWND child : childWindows(parent)) {
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        CRect r;
        GetWindowRect(child, &r);
        cairo_save(m_cr);
        if (m_options.clipText) {
            cairo_rectangle(m_cr, r.left, r.top, r.Width(), r.Height());
            cairo_clip(m_cr);
        }
        control(child, r);
        children(child);
        cairo_restore(m_cr);
    }
}

} // namespace

bool CWindowRenderer::Render(HWND window, const std::vector<TDrawOp>& painting, TImage& image,
                             std::string& error, const TRenderOptions& options)
{
    if (!m_fonts) {
        error = "the renderer has no fonts (Init)";
        return false;
    }
    CRect place;
    if (!GetWindowRect(window, &place)) {
        error = "no such window";
        return false;
    }
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    setPixel(cr, kDesktopPixel);
    cairo_paint(cr);
    cairo_rectangle(cr, place.left, place.top, place.Width(), place.Height());
    cairo_clip(cr);
    setPixel(cr, kWindowPixel);
    cairo_paint(cr);
    m_fonts->unknownFace.clear();
    Painter painter(cr, *m_fonts, options);
    for (const TDrawOp& op : painting)
        painter.operation(op, place.TopLeft());
    painter.children(window);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    TImage picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y)
        std::memcpy(&picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(width)],
                    data + static_cast<size_t>(y) * static_cast<size_t>(stride),
                    static_cast<size_t>(width) * 4);
    cairo_surface_destroy(surface);
    if (!m_fonts->unknownFace.empty()) {
        error = "no font for the face '" + WideToUtf8(m_fonts->unknownFace) +
                "' (only Arial, Helvetica and Liberation Sans are drawn)";
        return false;
    }
    image = std::move(picture);
    return true;
}

bool CWindowRenderer::WritePng(const TImage& image, const std::string& path, std::string& error)
{
    if (image.width <= 0 || image.height <= 0) {
        error = "an empty picture";
        return false;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(data + static_cast<size_t>(y) * static_cast<size_t>(stride),
                    &image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width)],
                    static_cast<size_t>(image.width) * 4);
    cairo_surface_mark_dirty(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool CWindowRenderer::ReadPng(const std::string& path, TImage& image, std::string& error)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    const cairo_status_t status = cairo_surface_status(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot read " + path + ": " + cairo_status_to_string(status);
        cairo_surface_destroy(surface);
        return false;
    }
    TImage picture;
    picture.width = cairo_image_surface_get_width(surface);
    picture.height = cairo_image_surface_get_height(surface);
    const bool opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    picture.pixels.resize(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            std::uint32_t p;
            std::memcpy(&p, data + static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x) * 4, 4);
            picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)] =
                opaque ? (p | 0xFF000000u) : p;
        }
    cairo_surface_destroy(surface);
    image = std::move(picture);
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps part of the configuration it parses on first use in memory that nothing
// points to and nothing frees (a leak of the library, the same at every run); the leak checker
// of the sanitizer builds is told to leave it, and only it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
#endif
