#include "platform/paintDC.h"

#include <cwchar>
#include <utility>

BOOL CDC::CreateCompatibleDC(CDC*)
{
    if (!m_operations.empty())
        return FALSE;
    m_memory = true;
    return TRUE;
}

HFONT CDC::SelectObject(CFont* font)
{
    return SelectObject(font ? font->GetSafeHandle() : nullptr);
}

HFONT CDC::SelectObject(HFONT font)
{
    return std::exchange(m_font, font);
}

HBITMAP CDC::SelectObject(CBitmap* bitmap)
{
    return SelectObject(bitmap ? bitmap->GetSafeHandle() : nullptr);
}

HBITMAP CDC::SelectObject(HBITMAP bitmap)
{
    return std::exchange(m_bitmap, bitmap);
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    return std::exchange(m_textColor, color);
}

int CDC::SetBkMode(int mode)
{
    return std::exchange(m_bkMode, mode);
}

COLORREF CDC::SetBkColor(COLORREF color)
{
    return std::exchange(m_bkColor, color);
}

LOGFONTW CDC::selectedFont() const
{
    LOGFONTW font;
    if (!getFontDescription(m_font, font))
        getFontDescription(nullptr, font);   // a font deleted while selected: the stock font
    return font;
}

int CDC::lineHeight(const LOGFONTW& font)
{
    if (font.lfHeight != 0)
        return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    LOGFONTW stock;
    getFontDescription(nullptr, stock);
    return stock.lfHeight;
}

int CDC::DrawText(const wchar_t* text, int count, CRect* rect, UINT format)
{
    if (!text || !rect)
        return 0;
    const int length = static_cast<int>(std::wcslen(text));
    const std::wstring chars(text, count < 0 || count > length ? length : count);
    const LOGFONTW font = selectedFont();
    if (format & DT_CALCRECT) {
        const std::wstring drawn = (format & DT_NOPREFIX) ? chars : StripMnemonics(chars.c_str());
        const CSize size = GetTextExtent(drawn.c_str(), static_cast<int>(drawn.size()));
        rect->right = rect->left + size.cx;
        rect->bottom = rect->top + size.cy;
        return size.cy;
    }
    if (m_memory)
        return lineHeight(font);
    TDrawOp op;
    op.kind = TDrawKind::Text;
    op.rect = *rect;
    op.text = chars;
    op.font = font;
    op.format = format;
    op.color = m_textColor;
    m_operations.push_back(op);
    return lineHeight(font);
}

int CDC::DrawText(const CString& text, CRect* rect, UINT format)
{
    return DrawText(static_cast<const wchar_t*>(text), text.GetLength(), rect, format);
}

BOOL CDC::TextOut(int x, int y, const wchar_t* text, int count)
{
    if (!text)
        return FALSE;
    const CSize size = GetTextExtent(text, count);
    CRect rect(x, y, x + size.cx, y + size.cy);
    DrawText(text, count, &rect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    return TRUE;
}

CSize CDC::GetTextExtent(const wchar_t* text, int count) const
{
    const LOGFONTW font = selectedFont();
    if (!text)
        return CSize(0, lineHeight(font));
    const int length = static_cast<int>(std::wcslen(text));
    const int n = count < 0 || count > length ? length : count;
    return CSize(measureText(font, text, n), lineHeight(font));
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color)
{
    if (m_memory)
        return;
    TDrawOp op;
    op.kind = TDrawKind::Fill;
    op.rect = rect;
    op.color = color;
    m_operations.push_back(op);
}

void CDC::Draw3dRect(const CRect& rect, COLORREF topLeft, COLORREF bottomRight)
{
    if (m_memory)
        return;
    TDrawOp op;
    op.kind = TDrawKind::Frame;
    op.rect = rect;
    op.color = topLeft;
    op.color2 = bottomRight;
    m_operations.push_back(op);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop)
{
    if (!source || rop != SRCCOPY)
        return FALSE;
    const std::wstring name = bitmapResourceName(source->m_bitmap);
    if (name.empty())
        return FALSE;
    if (m_memory)
        return TRUE;
    TDrawOp op;
    op.kind = TDrawKind::Bitmap;
    op.rect.SetRect(x, y, x + width, y + height);
    op.image = name;
    op.source = CPoint(sx, sy);
    m_operations.push_back(op);
    return TRUE;
}

BOOL CDC::DrawIcon(int x, int y, HICON icon)
{
    int width, height;
    if (!iconSize(icon, width, height))
        return FALSE;
    if (m_memory)
        return TRUE;
    TDrawOp op;
    op.kind = TDrawKind::Icon;
    op.rect.SetRect(x, y, x + width, y + height);
    op.image = iconResourceName(icon);
    m_operations.push_back(op);
    return TRUE;
}
