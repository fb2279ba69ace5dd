#include "tessel/render/CRect.h"
#include "tessel/render/CString.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using Tessel::CPoint;
using Tessel::CRect;
using Tessel::CString;

TEST(CString, NullPointerCountsAsEmpty)
{
    CString fromNull(static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());
    EXPECT_STREQ(L"", fromNull.GetString());
    EXPECT_TRUE(fromNull == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(fromNull == L"");

    CString s(L"abc");
    s += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(3, s.GetLength());
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_NE(nullptr, CString().GetString());
    EXPECT_EQ(0, CString().Compare(nullptr));
}

TEST(CString, CopiesShareUntilOneChanges)
{
    CString a(L"shared text");
    CString b(a);
    EXPECT_TRUE(a.SharesBuffer(b));
    EXPECT_EQ(a.GetString(), b.GetString());

    b += L"!";
    EXPECT_FALSE(a.SharesBuffer(b));
    EXPECT_STREQ(L"shared text", a.GetString());
    EXPECT_STREQ(L"shared text!", b.GetString());

    CString c = a;
    c.SetAt(0, L'S');
    EXPECT_STREQ(L"shared text", a.GetString());
    EXPECT_STREQ(L"Shared text", c.GetString());

    CString d = a;
    d.MakeUpper();
    EXPECT_STREQ(L"shared text", a.GetString());
    EXPECT_STREQ(L"SHARED TEXT", d.GetString());
}

TEST(CString, AppendingItselfAndPartsOfItself)
{
    CString s(L"ab");
    s += s;
    EXPECT_STREQ(L"abab", s.GetString());
    s.Append(s.GetString() + 1, 2);
    EXPECT_STREQ(L"ababba", s.GetString());
    s = s.GetString() + 2; // assignment from a pointer into itself
    EXPECT_STREQ(L"abba", s.GetString());
}

TEST(CString, SearchAndSlices)
{
    CString s(L"skins\\theme1\\img_close.png");
    EXPECT_EQ(5, s.Find(L'\\'));
    EXPECT_EQ(12, s.ReverseFind(L'\\'));
    EXPECT_EQ(13, s.Find(L"img"));
    EXPECT_EQ(-1, s.Find(L"img", 14));
    EXPECT_EQ(-1, s.Find(L'x', 100));
    EXPECT_STREQ(L"skins", s.Left(5).GetString());
    EXPECT_STREQ(L"png", s.Right(3).GetString());
    EXPECT_STREQ(L"theme1", s.Mid(6, 6).GetString());
    EXPECT_STREQ(L"", s.Mid(100).GetString());
    EXPECT_STREQ(s.GetString(), s.Left(1000).GetString());
    EXPECT_EQ(0, s.GetAt(1000));
}

TEST(CString, ReplaceTrimCaseCompare)
{
    CString s(L"  a-b-c  ");
    s.Trim();
    EXPECT_STREQ(L"a-b-c", s.GetString());
    EXPECT_EQ(2, s.Replace(L"-", L"--"));
    EXPECT_STREQ(L"a--b--c", s.GetString());
    EXPECT_EQ(0, s.Replace(L"", L"x"));
    EXPECT_EQ(4, s.Replace(L'-', L'+'));
    EXPECT_EQ(0, CString(L"MText").CompareNoCase(L"mtext"));
    EXPECT_NE(0, CString(L"MText").Compare(L"mtext"));
    EXPECT_TRUE(CString(L"a") < CString(L"b"));
}

TEST(CString, FormatTakesWideStringsAndGrows)
{
    CString s;
    s.Format(L"%s-%d-%04X", L"Software", 19, 0x1a2c);
    EXPECT_STREQ(L"Software-19-1A2C", s.GetString());
    s.Format(L"%hs", "narrow");
    EXPECT_STREQ(L"narrow", s.GetString());

    std::wstring longText(3000, L'x');
    s.Format(L"[%s]", longText.c_str());
    EXPECT_EQ(3002, s.GetLength());
    s.AppendFormat(L"%d", 7);
    EXPECT_EQ(L'7', s[3002]);
}

TEST(CString, BufferRoundTrip)
{
    CString s(L"keep");
    CString shared(s);
    wchar_t* p = s.GetBuffer(32);
    wcscpy(p, L"written by a call");
    s.ReleaseBuffer();
    EXPECT_STREQ(L"written by a call", s.GetString());
    EXPECT_STREQ(L"keep", shared.GetString());
    p = s.GetBuffer(4);
    s.ReleaseBuffer(2);
    EXPECT_STREQ(L"wr", s.GetString());
}

TEST(CString, CopiesAcrossThreadsKeepTheirText)
{
    const CString original(L"timer name");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&original]
            {
                for (int i = 0; i < 20000; ++i)
                {
                    CString copy(original);
                    CString other = copy;
                    if (other != L"timer name")
                        ADD_FAILURE();
                }
            });
    for (auto& th : threads)
        th.join();
    EXPECT_STREQ(L"timer name", original.GetString());
}

TEST(CRect, IntersectionUnionAndPoints)
{
    CRect a(0, 0, 10, 10);
    CRect b(5, 5, 20, 20);
    EXPECT_TRUE(a.Intersects(b));
    EXPECT_EQ(CRect(5, 5, 10, 10), a & b);
    EXPECT_EQ(CRect(0, 0, 20, 20), a | b);
    EXPECT_FALSE(a.Intersects(CRect(10, 0, 20, 10))); // touching edges share no pixel
    EXPECT_EQ(b, CRect() | b);                        // an empty operand adds nothing
    EXPECT_TRUE(a.PtInRect(CPoint(9, 9)));
    EXPECT_FALSE(a.PtInRect(CPoint(10, 5)));
    EXPECT_TRUE(CRect(3, 3, 3, 9).IsRectEmpty());
    EXPECT_EQ(CPoint(-1, 2), CPoint::FromLParam(MAKELPARAM(-1, 2)));
}
