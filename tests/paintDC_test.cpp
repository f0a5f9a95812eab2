// The recording device context: what is drawn is kept in order with its font, format and
// colour; memory contexts only lend their bitmap to BitBlt.
#include "platform/paintDC.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingDC, TextsWithTheirFontAndColour)
{
    CDC dc;
    CFont bold;
    ASSERT_TRUE(bold.CreateFont(15, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
    EXPECT_EQ(dc.SelectObject(&bold), nullptr) << "the stock font was selected";
    dc.SetTextColor(RGB(1, 2, 3));
    CRect rect(0, 0, 100, 20);
    EXPECT_EQ(dc.DrawText(L"Stake out", -1, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE), 15);
    EXPECT_EQ(dc.SelectObject(static_cast<HFONT>(nullptr)), bold.GetSafeHandle());
    dc.DrawText(CString(L"abcdef"), &rect, DT_CENTER);
    dc.DrawText(L"abcdef", 3, &rect, DT_CENTER);
    ASSERT_EQ(dc.operations().size(), 3u);
    const TDrawOp& first = dc.operations()[0];
    EXPECT_EQ(first.kind, TDrawKind::Text);
    EXPECT_EQ(first.text, L"Stake out");
    EXPECT_EQ(first.rect, rect);
    EXPECT_EQ(first.format, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(first.color, RGB(1, 2, 3));
    EXPECT_EQ(first.font.lfWeight, FW_BOLD);
    EXPECT_EQ(dc.operations()[1].font.lfHeight, 14) << "the stock font";
    EXPECT_EQ(dc.operations()[2].text, L"abc") << "the count given";

    bold.DeleteObject();
    EXPECT_EQ(dc.operations()[0].font.lfWeight, FW_BOLD) << "the record keeps the description";
}

TEST(RecordingDC, CalcRectMeasuresWithoutRecording)
{
    CDC dc;
    CRect rect(10, 5, 10, 5);
    EXPECT_EQ(dc.DrawText(L"&Cancel", -1, &rect, DT_CALCRECT | DT_SINGLELINE), 14);
    EXPECT_EQ(rect, CRect(10, 5, 10 + 6 * kStubCharWidth, 19)) << "the '&' is not drawn";
    rect.SetRect(0, 0, 0, 0);
    dc.DrawText(L"&Cancel", -1, &rect, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(rect.Width(), 7 * kStubCharWidth);
    EXPECT_TRUE(dc.operations().empty());
    EXPECT_EQ(dc.GetTextExtent(L"abc", -1), CSize(24, 14));
    EXPECT_EQ(dc.DrawText(nullptr, -1, &rect, 0), 0);
}

TEST(RecordingDC, FillsFramesBitmapsAndIcons)
{
    CDC dc;
    dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(255, 0, 0));
    dc.Draw3dRect(CRect(1, 1, 9, 9), RGB(0, 0, 0), RGB(9, 9, 9));
    ASSERT_TRUE(dc.TextOut(3, 4, L"ab", -1));

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(L"IDB_ALPHAKEY"));
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&dc));
    EXPECT_FALSE(dc.BitBlt(0, 0, 18, 23, &memory, 0, 0, SRCCOPY)) << "no bitmap selected yet";
    memory.SelectObject(&bitmap);
    memory.FillSolidRect(CRect(0, 0, 1, 1), 0);
    EXPECT_TRUE(memory.operations().empty()) << "a memory context records nothing";
    EXPECT_FALSE(dc.BitBlt(0, 0, 18, 23, &memory, 0, 0, 0x1234)) << "only copying";
    ASSERT_TRUE(dc.BitBlt(20, 2, 18, 23, &memory, 1, 0, SRCCOPY));
    ASSERT_TRUE(dc.DrawIcon(5, 6, LoadIconW(nullptr, IDI_QUESTION)));
    EXPECT_FALSE(dc.DrawIcon(5, 6, nullptr));

    const auto& ops = dc.operations();
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[0].kind, TDrawKind::Fill);
    EXPECT_EQ(ops[0].color, RGB(255, 0, 0));
    EXPECT_EQ(ops[1].kind, TDrawKind::Frame);
    EXPECT_EQ(ops[1].color2, RGB(9, 9, 9));
    EXPECT_EQ(ops[2].rect, CRect(3, 4, 19, 18));
    EXPECT_EQ(ops[2].format & DT_NOPREFIX, DT_NOPREFIX);
    EXPECT_EQ(ops[3].kind, TDrawKind::Bitmap);
    EXPECT_EQ(ops[3].image, L"IDB_ALPHAKEY");
    EXPECT_EQ(ops[3].rect, CRect(20, 2, 38, 25));
    EXPECT_EQ(ops[3].source, CPoint(1, 0));
    EXPECT_EQ(ops[4].kind, TDrawKind::Icon);
    EXPECT_EQ(ops[4].image, L"IDI_QUESTION");
    EXPECT_EQ(ops[4].rect, CRect(5, 6, 37, 38));
    EXPECT_FALSE(dc.CreateCompatibleDC(nullptr)) << "it has recorded already";
}

} // namespace
