// The whole alignment: name rules, start values and editing on both sides, copies, and the
// two iterators over the profile.
#include "vrkmath/mathAlnt.h"
#include "vrkmath/mathAlntIter.h"
#include "vrkmath/mathAlntVeArc.h"

#include "alntCacheTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using cachetest::segment;

namespace {

// An element of a kind the engine does not know.
struct AlienVe : CVerticalElement {
    AlienVe() : CVerticalElement(0.0, 0.0, 10.0, 1.0) {}
    TAlntVeType getType() const override { return static_cast<TAlntVeType>(7); }
    CAlntVe* clone() const override { return new AlienVe(*this); }
};

std::string narrow(const CString& s) { return std::string(s.str().begin(), s.str().end()); }

// Every long-section point the iterator lists, from its start.
std::vector<CLsInfo> lsPoints(const CAlnt& a)
{
    std::vector<CLsInfo> out;
    CAlntLsItr it(a);
    for (bool more = it.getCurElement() != nullptr; more; more = it.nextLs())
        out.push_back(it.getCurLs());
    return out;
}

} // namespace

TEST(Alnt, NameRulesAndNormalising)
{
    struct Case { const wchar_t* name; bool ok; const char* reason; };
    const Case cases[] = {
        {L"Ramp A1", true, "inner space"}, {L"", false, "empty"},
        {L"ABCDEFGHIJKLMNOPQRST", true, "20 characters"}, {L"ABCDEFGHIJKLMNOPQRSTU", false, "21 characters"},
        {L"A+B", false, "plus sign"}, {L"North/South", false, "slash"},
        {L" lead", true, "spaces are not trimmed by the check"}, {L"Main-Road_2.b", true, "dash, underscore, dot"},
        {L"\x00e5s", true, "letters outside ASCII"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CAlnt::checkAlntName(CString(c.name)), c.ok) << c.reason;
    for (const wchar_t* p = L"!,?%*@#$^&\\/|~;[]{}()<>+='\"`\t\r\n"; *p; ++p) {
        const wchar_t name[] = {L'X', *p, L'Y', 0};
        EXPECT_FALSE(CAlnt::checkAlntName(CString(name))) << "character " << int(*p);
    }
    CAlnt a;
    EXPECT_TRUE(!a.checkName(nullptr) && a.checkName(L"Ramp A1"));

    struct Normal { const wchar_t* in; const char* out; bool ok; };
    const Normal normals[] = {
        {L"  Main \t Road  ", "Main Road", true}, {L"\tA\t\tB\t", "A B", true}, {L" \t ", "", false},
        {L"  ABCDEFGHIJ   KLMNOPQRS  ", "ABCDEFGHIJ KLMNOPQRS", true}, {L"a = b", "a = b", false},
    };
    for (const Normal& c : normals) {
        CString out;
        EXPECT_EQ(CAlnt::checkAndNormalizeAlntName(out, CString(c.in)), c.ok) << c.out;
        EXPECT_EQ(narrow(out), c.out);
    }
    EXPECT_TRUE(a.setName(CString(L"  Ramp   B ")) && narrow(a.getName()) == "Ramp B");
    EXPECT_FALSE(a.setName(CString(L"Ramp/C")));
    EXPECT_EQ(narrow(a.getName()), "Ramp B") << "a refused name leaves the stored one";
}

TEST(Alnt, BothSidesStartEditAndCopy)
{
    CAlnt a;
    a.setName(CString(L"Main Road"));
    a.setStartChainageInM(500.0);
    a.setStartPos(10.0, 20.0, 30.0);
    EXPECT_TRUE(a.getAlntVes().getStartChainageInM() == 500.0 && a.getStartPosH() == 30.0);
    // The bulk-update bracket holds back the horizontal side only.
    a.onBulkUpdateStarted();
    a.appendElement(segment(100.0));
    a.appendElement(CVerticalElement(0.0, 0.0, 100.0, 2.0));
    double chain, h, n, e;
    EXPECT_FALSE(a.getHe(0)->getStartChainageInM(chain));
    EXPECT_TRUE(a.getPosHAtChain(550.0, h) && std::fabs(h - 31.0) < 1e-12);
    a.onBulkUpdateFinished();
    EXPECT_TRUE(a.insertElement(0, CVerticalElement(0.0, 0.0, 50.0, -2.0)));
    EXPECT_TRUE(a.getPosHAtChainExtr(700.0, h) && std::fabs(h - 32.0) < 1e-12) << "29 at 550, then 2 % beyond the end at 650";

    CAlnt assigned;
    assigned.setName(CString(L"Old"));
    assigned.appendElement(segment(5.0));
    assigned.appendElement(CVerticalElement(0.0, 0.0, 5.0, 1.0));
    assigned = a;
    CAlnt copied(a);
    for (const CAlnt* c : {&copied, &assigned}) {
        EXPECT_TRUE(narrow(c->getName()) == "Main Road" && c->getNumOfVes() == 2);
        EXPECT_TRUE(c->getPosNeAtChain(550.0, n, e) && n == 60.0 && e == 20.0);
        EXPECT_TRUE(c->getPosHAtChain(600.0, h) && std::fabs(h - 30.0) < 1e-12);
    }
    a.removeAll();
    EXPECT_EQ(a.getNumOfVes() + a.getNumOfHes(), 0);
}

// Profiles from height 100 at chainage 0, as (chainage, height, curve length) of every
// long-section point the iterator lists; the pieces are one per simple element.
TEST(AlntIter, LongSectionPoints)
{
    struct Case { const char* reason; std::vector<CVerticalElement> elements; std::vector<CLsInfo> expected; };
    const Case cases[] = {
        {"grade 2, parabola 2 -> -1, grade -1: joints without a grade break are skipped",
         {CVerticalElement(0, 0, 100, 2.0), CVerticalElement(0, 0, 100, 2.0, -1.0), CVerticalElement(0, 0, 100, -1.0)},
         {CLsInfo(0, 100, 0), CLsInfo(150, 103, 100), CLsInfo(300, 101.5, 0)}},
        {"grades 2 and -1: the grade break is listed",
         {CVerticalElement(0, 0, 100, 2.0), CVerticalElement(0, 0, 100, -1.0)},
         {CLsInfo(0, 100, 0), CLsInfo(100, 102, 0), CLsInfo(200, 101, 0)}},
        {"one grade line", {CVerticalElement(0, 0, 100, 2.0)}, {CLsInfo(0, 100, 0), CLsInfo(100, 102, 0)}},
        {"a parabola first", {CVerticalElement(0, 0, 100, 2.0, -2.0)},
         {CLsInfo(0, 100, 0), CLsInfo(50, 101, 100), CLsInfo(100, 100, 0)}},
    };
    for (const Case& c : cases) {
        CAlnt a;
        a.setStartPos(0.0, 0.0, 100.0);
        for (const CVerticalElement& ve : c.elements)
            a.appendElement(ve);
        const std::vector<CLsInfo> got = lsPoints(a);
        ASSERT_EQ(got.size(), c.expected.size()) << c.reason;
        for (std::size_t i = 0; i < got.size(); ++i) {
            const CLsInfo &g = got[i], &x = c.expected[i];
            EXPECT_TRUE(std::fabs(g.chainage - x.chainage) < 1e-9 && std::fabs(g.height - x.height) < 1e-9 &&
                        std::fabs(g.curveLen - x.curveLen) < 1e-9) << c.reason << " point " << i;
        }
        CAlntVeItr it(a);
        for (std::size_t i = 0; i < c.elements.size(); ++i) {
            EXPECT_EQ(it.getElement(), a.getVe(int(i))) << c.reason;
            EXPECT_EQ(it.nextAlnVe(), i + 1 < c.elements.size()) << c.reason;
        }
        EXPECT_FALSE(it.nextAlnVe()) << c.reason;
    }
}

// An empty profile and one of an unknown kind of element have no pieces.
TEST(AlntIter, PiecesOfLongSectionElements)
{
    CAlnt empty, alien;
    alien.appendElement(AlienVe());
    for (const CAlnt* e : {&empty, &alien}) {
        CAlntVeItr ve(*e);
        EXPECT_TRUE(ve.getCurVe() == nullptr && !ve.nextAlnVe()) << (e == &empty ? "empty" : "unknown kind");
    }
    CAlntLsItr none(empty);
    EXPECT_TRUE(none.getCurElement() == nullptr && !none.nextLs() && none.getAlnt() == &empty);

    // VIPs with a parabola (100 m) and with an arc (R 5000) between two plain ones.
    CAlnt a;
    a.appendElement(CVerticalLSElement(CLsInfo(0, 100, 0)));
    a.appendElement(CVerticalLSElement(CLsInfo(200, 104, 100)));
    a.appendElement(CAlntVeLsWithArc(400, 100, 5000));
    a.appendElement(CVerticalLSElement(CLsInfo(600, 104, 0)));
    const auto* first = static_cast<const CVerticalLSElement*>(a.getVe(0));
    const auto* ls = static_cast<const CVerticalLSElement*>(a.getVe(1));
    const auto* last = static_cast<const CVerticalLSElement*>(a.getVe(3));
    const auto* arc = static_cast<const CAlntVeLsWithArc*>(a.getVe(2));
    ASSERT_NE(ls->getParabole(), nullptr);
    CAlntVeItr it(a);
    std::vector<const CAlntVe*> got = {it.getElement()};
    while (it.nextAlnVe())
        got.push_back(it.getElement());
    EXPECT_EQ(got, (std::vector<const CAlntVe*>{&first->getStartSegment(), &ls->getStartSegment(), ls->getParabole(),
                                                &arc->getStartSegment(), &arc->getArc(), &last->getStartSegment()}));
    EXPECT_EQ(it.getCurVe(), last) << "the end leaves the last element current";
    const CAlntVeItr copy(it);
    EXPECT_EQ(copy.getElement(), it.getElement());
    EXPECT_TRUE(it.setAtAlnVe(1));
    EXPECT_EQ(it.getElement(), &ls->getStartSegment());
    EXPECT_FALSE(it.setAtAlnVe(9));
    EXPECT_TRUE(it.getCurAlntVeIndex() == 9 && it.getCurVe() == a.getVe(1));

    // The long-section points: the start, each VIP with its curve, the end.
    const std::vector<CLsInfo> points = lsPoints(a);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_TRUE(std::fabs(points[1].chainage - 200.0) < 1e-9 && std::fabs(points[1].curveLen - 100.0) < 1e-9);
    EXPECT_TRUE(std::fabs(points[2].chainage - 400.0) < 1e-9 && std::fabs(points[2].radius - 5000.0) < 1e-9);
    EXPECT_NEAR(points[3].chainage, 600.0, 1e-9);
}
