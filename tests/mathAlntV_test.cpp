// The vertical alignment: element chaining, lookup by chainage, heights inside and beyond the
// profile, bulk updates, copies, getVIp; properties over random profiles.
#include "vrkmath/mathAlntV.h"
#include "vrkmath/mathAlntVeArc.h"

#include "testUtil.h"

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// A grade line that counts its neighbour updates (the counter is shared by its clones).
struct SpyVe : CVerticalElement {
    SpyVe(int* calls, double len) : CVerticalElement(0.0, 0.0, len, 1.0), m_calls(calls) {}
    bool onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next) override
    { return ++*m_calls, CVerticalElement::onNeighbourUpdate(prev, next); }
    CAlntVe* clone() const override { return new SpyVe(*this); }
    int* m_calls;
};

// An element of a kind the engine does not know.
struct AlienVe : CVerticalElement {
    AlienVe() : CVerticalElement(0.0, 0.0, 10.0, 1.0) {}
    TAlntVeType getType() const override { return static_cast<TAlntVeType>(7); }
    CAlntVe* clone() const override { return new AlienVe(*this); }
};

// The lookup exactly as the profile defines it: a walk from the last element backwards to the
// first whose start chainage is not after the chainage.
const CAlntVe* scanElementAt(const CAlntV& v, double chainage, double* len)
{
    double start = 0;
    int i = v.getNumOfVes() - 1;
    for (; i >= 0; --i) {
        if (!v.getVe(i)->getStartChainageInM(start))
            return nullptr;
        if (start <= chainage || i == 0)
            break;
    }
    if (i < 0 || !v.getVe(i)->isok() || !(v.getVe(i)->getLen() + 0.001 >= chainage - start))
        return nullptr;
    *len = chainage - start;
    return v.getVe(i);
}

// A random profile: VIPs 60 to 300 m apart on grades within +-8 %, each inner VIP with a
// parabola or a circular arc (or none) that keeps within 45 % of the distance to either
// neighbour, so that no two curves overlap. A VIP is a CAlntVeLsWithArc when `arc`, else a
// CVerticalLSElement; `curve` is the parabola length or arc radius, 0 for none.
struct Vip { double ch, ht; bool arc; double curve; };

std::vector<Vip> randomVips(std::mt19937& rng, int n, bool withArcs)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<Vip> vips;
    double ch = 5000.0 * u(rng), ht = -50.0 + 550.0 * u(rng);
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            const double spacing = 60.0 + 240.0 * u(rng);
            ht += (-8.0 + 16.0 * u(rng)) / 100.0 * spacing;
            ch += spacing;
        }
        vips.push_back({ch, ht, withArcs && u(rng) < 0.5, 0.0});
    }
    for (std::size_t i = 1; i + 1 < vips.size(); ++i) {
        if (u(rng) < 0.15)
            continue;   // a VIP without curve
        Vip& v = vips[i];
        const Vip &a = vips[i - 1], &b = vips[i + 1];
        const double reach = 0.45 * std::min(v.ch - a.ch, b.ch - v.ch) * (0.2 + 0.8 * u(rng));
        const double turn = std::fabs(std::atan((b.ht - v.ht) / (b.ch - v.ch)) - std::atan((v.ht - a.ht) / (v.ch - a.ch)));
        // A parabola twice the reach long, or an arc whose tangent length is the reach.
        v.curve = !v.arc ? 2.0 * reach : turn < 1e-6 ? 0.0 : reach / std::tan(turn / 2);
    }
    return vips;
}

void buildProfile(CAlntV& profile, const std::vector<Vip>& vips)
{
    profile.setStartChainageInM(vips.front().ch);
    profile.setStartHeight(vips.front().ht);
    profile.onBulkUpdateStarted();
    for (const Vip& v : vips)
        v.arc ? profile.appendElement(CAlntVeLsWithArc(v.ch, v.ht, v.curve))
              : profile.appendElement(CVerticalLSElement(CLsInfo(v.ch, v.ht, v.curve)));
    profile.onBulkUpdateFinished();
}

// Chainages worth asking: every joint and its near neighbourhood, a random spread, NaN and
// extremes.
std::vector<double> probeChainages(const CAlntV& v, std::mt19937& rng)
{
    std::vector<double> out;
    for (const CAlntVe* e : v.getVes()) {
        double s;
        if (!e->getStartChainageInM(s))
            continue;
        for (double d : {0.0, 1e-13, -1e-13, 0.0005, -0.0005, 0.002, -0.002, 1.0})
            out.push_back(s + d);
        out.push_back(e->getFinalChain() + 0.0009);
    }
    double len;
    v.getHLengthInM(len);
    std::uniform_real_distribution<double> u(v.getStartChainageInM() - 50.0, v.getStartChainageInM() + len + 50.0);
    for (int i = 0; i < 300; ++i)
        out.push_back(u(rng));
    out.insert(out.end(), {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL, -1e300, 1e300});
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Small profiles

TEST(CAlntV, EmptyProfileAndRemovingTheOnlyElement)
{
    CAlntV v;
    double x = 7.0;
    EXPECT_TRUE(v.getFirstVe() == nullptr && v.getLastVe() == nullptr && v.getAlntVeAtChain(0.0) == nullptr);
    EXPECT_TRUE(v.getHLengthInM(x) && x == 0.0);
    x = 7.0;
    EXPECT_FALSE(v.getFinalHeight(x) || v.getHeightAtChain(0.0, x) || v.getHeightAtChainExtr(0.0, x));
    EXPECT_EQ(x, 7.0);
    v.appendElement(CVerticalElement(0.0, 0.0, 50.0, 2.0));
    EXPECT_TRUE(v.getHLengthInM(x) && x == 50.0);
    EXPECT_TRUE(v.removeVe(0));
    EXPECT_TRUE(v.getHLengthInM(x) && x == 0.0 && v.getNumOfVes() == 0);
}

// One grade line from height 100 at chainage 1000, grade 2 %, 50 m long.
TEST(CAlntV, OneGradeLineInsideAndBeyond)
{
    CAlntV v;
    v.setStartChainageInM(1000.0);
    v.setStartHeight(100.0);
    ASSERT_TRUE(v.appendElement(CVerticalElement(0.0, 0.0, 50.0, 2.0)));
    // height: expected from both queries when inside, from the extended one else; exact: within
    // 2 ulp, else 1e-11
    struct Case { double chainage; bool inside; double height; bool exact; const char* reason; };
    const Case cases[] = {
        {1025.0, true, 100.5, false, "middle"}, {1000.0, true, 100.0, false, "start"},
        {1050.0005, true, 101.0, false, "0.0005 beyond the end still finds the element, at its end"},
        {1050.002, false, 101.00004, false, "0.002 beyond: extended along the end grade"},
        {1060.0, false, 101.2, true, "10 m beyond"}, {990.0, false, 99.8, true, "10 m before"},
        {999.9995, false, 99.99999, false, "0.0005 before: the element answers 'before start'"},
    };
    for (const Case& c : cases) {
        double h = -1.0, hx = -1.0;
        EXPECT_EQ(v.getHeightAtChain(c.chainage, h), c.inside) << c.reason;
        ASSERT_TRUE(v.getHeightAtChainExtr(c.chainage, hx)) << c.reason;
        EXPECT_TRUE(c.exact ? nearUlps(hx, c.height) : std::fabs(hx - c.height) < 1e-11) << c.reason << ": " << hx;
        EXPECT_EQ(h, c.inside ? hx : -1.0) << c.reason << " (not written on failure)";
    }
    double h, len = 0;
    EXPECT_TRUE(v.getFinalHeight(h) && nearUlps(h, 101.0));
    EXPECT_EQ(v.getAlntVeAtChain(999.0, &len), v.getFirstVe()) << "before: the first element";
    EXPECT_EQ(len, -1.0);
}

TEST(CAlntV, BulkUpdateDefersNeighbourUpdates)
{
    int calls = 0;
    double len;
    CAlntV v;
    v.appendElement(SpyVe(&calls, 50.0));
    EXPECT_TRUE(calls == 1 && v.getHLengthInM(len) && len == 50.0);
    calls = 0;
    v.onBulkUpdateStarted();
    EXPECT_TRUE(v.isInBulkUpdate());
    for (int i = 0; i < 3; ++i)
        v.appendElement(SpyVe(&calls, 10.0));
    EXPECT_EQ(calls, 0) << "no neighbour updates inside the bracket";
    EXPECT_TRUE(v.getHLengthInM(len) && len == 50.0) << "nor is the length cache cleared";
    v.onBulkUpdateFinished();
    EXPECT_FALSE(v.isInBulkUpdate());
    EXPECT_EQ(calls, 4) << "one pass over all four elements";
    EXPECT_TRUE(v.getHLengthInM(len) && len == 80.0);
    calls = 0;
    for (int i = 0; i < 3; ++i)
        v.appendElement(SpyVe(&calls, 10.0));
    EXPECT_EQ(calls, 6) << "without the bracket each append updates the new element and its predecessor";
}

TEST(CAlntV, EditingKeepsTheChain)
{
    CAlntV v;
    v.setStartChainageInM(200.0);
    v.setStartHeight(30.0);
    v.appendElement(CVerticalElement(0.0, 0.0, 100.0, 1.0));
    v.appendElement(CVerticalElement(0.0, 0.0, 50.0, -2.0, 3.0));
    v.appendElement(CVerticalElement(0.0, 0.0, 80.0, 3.0));
    const auto checkChain = [&v](const char* step) {
        double s, len, sum = v.getFirstVe()->getLen();
        ASSERT_TRUE(v.getFirstVe()->getStartChainageInM(s)) << step;
        EXPECT_TRUE(s == v.getStartChainageInM() && v.getFirstVe()->getStartHt() == v.getStartPosH()) << step;
        for (int i = 1; i < v.getNumOfVes(); ++i) {
            sum += v.getVe(i)->getLen();
            ASSERT_TRUE(v.getVe(i)->getStartChainageInM(s)) << step;
            EXPECT_EQ(s, v.getVe(i - 1)->getFinalChain()) << step << ", element " << i;
            EXPECT_EQ(v.getVe(i)->getStartHt(), v.getVe(i - 1)->getFinalHt()) << step << ", element " << i;
        }
        EXPECT_TRUE(v.getHLengthInM(len) && len == sum) << step;
    };
    checkChain("append");
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"insert", [&] { v.insertElement(1, CVerticalElement(0.0, 0.0, 20.0, 5.0)); }},
        {"insert at 0", [&] { v.insertElement(0, CVerticalElement(0.0, 0.0, 5.0, 0.0)); }},
        {"insert at the count", [&] { v.insertElement(v.getNumOfVes(), CVerticalElement(0.0, 0.0, 5.0, 0.0)); }},
        {"replace", [&] { v.replaceElement(2, CVerticalElement(0.0, 0.0, 60.0, -1.0)); }},
        {"remove the first", [&] { v.removeVe(0); }}, {"remove in the middle", [&] { v.removeVe(2); }},
        {"new start chainage", [&] { v.setStartChainageInM(-40.0); }},
        {"new start height", [&] { v.setStartHeight(5.0); }},
        {"doInsertVe", [&] { v.doInsertVe(1, new CVerticalElement(0.0, 0.0, 7.0, 7.0)); }},
    };
    for (const auto& step : steps) {
        step.second();
        checkChain(step.first);
    }
    double len;
    v.removeAllVes();
    EXPECT_TRUE(v.getNumOfVes() == 0 && v.getHLengthInM(len) && len == 0.0);
}

// Long-section elements appended in a bulk-update bracket have no start until it ends. A VIP
// with a curve placed on the chainage of the VIP before it cannot be built: its element is not
// ok, has no length and answers no height. In the middle of a profile the next element takes
// over at that chainage; at the end of a profile the chainage has no height.
TEST(CAlntV, CurveAtASharedVipIsNotOk)
{
    for (bool last : {false, true}) {
        CAlntV v;
        v.setStartChainageInM(0.0);
        v.setStartHeight(10.0);
        v.onBulkUpdateStarted();
        for (const CLsInfo& ls : {CLsInfo(0.0, 10.0, 0.0), CLsInfo(100.0, 12.0, 0.0), CLsInfo(100.0, 12.0, 40.0)})
            v.appendElement(CVerticalLSElement(ls));
        if (!last)
            v.appendElement(CVerticalLSElement(CLsInfo(200.0, 10.0, 0.0)));
        const char* what = last ? "broken last element" : "broken inner element";
        double h = -1.0, len, s;
        EXPECT_FALSE(v.getVe(1)->getStartChainageInM(s) || v.getHeightAtChain(50.0, h)) << what << ": in the bracket";
        v.onBulkUpdateFinished();
        const CAlntVe* broken = v.getVe(2);
        EXPECT_TRUE(v.getVe(1)->isok() && !broken->isok() && broken->getLen() == 0.0) << what;
        EXPECT_EQ(broken->getHtAtLen(0.0, h), veHtBeyondEnd) << what;
        EXPECT_TRUE(v.getHeightAtChain(50.0, h) && std::fabs(h - 11.0) < 1e-12) << what;
        EXPECT_EQ(v.getAlntVeAtChain(100.0, &len), last ? nullptr : v.getVe(3)) << what;
        EXPECT_EQ(v.getHeightAtChain(100.0, h), !last) << what;
    }
}

TEST(GetVIp, EveryKindOfElement)
{
    CVerticalLSElement ls(CLsInfo(100.0, 12.0, 40.0)), lsPlain(CLsInfo(100.0, 12.0, 40.0));
    ls.setNextLSElement(CLsInfo(200.0, 10.0, 0.0));
    ls.setStartHtAndChain(10.0, 0.0);
    lsPlain.setStartHtAndChain(10.0, 0.0);
    CAlntVeArc sag;
    sag.setStartHtAndChain(0.0, 0.0);
    sag.setGradesAndR(-2.0, 2.0, 1000.0);
    const double sagLen = sag.getLen();
    const CVerticalElement line(10.0, 0.0, 100.0, 2.0), parabola(0.0, 0.0, 100.0, 2.0, -2.0);
    const AlienVe alien;
    struct Case { const CAlntVe& e; bool ok; TVIpNode node; const char* reason; };
    const Case cases[] = {
        {line, true, {10.0, 0.0, 12.0, 100.0, 12.0, 100.0}, "grade line: its end"},
        {parabola, true, {0.0, 0.0, 0.0, 100.0, 1.0, 50.0}, "parabola: half length on the start tangent"},
        {ls, true, {11.6, 80.0, 11.6, 120.0, 12.0, 100.0}, "VIP element: its parabola"},
        {lsPlain, false, {}, "VIP element without parabola"},
        {sag, true, {0.0, 0.0, 0.0, sagLen, -0.01 * sagLen, sagLen / 2}, "arc: the tangents' crossing"},
        {alien, false, {}, "unknown kind (logs an assertion report)"},
    };
    for (const Case& c : cases) {
        TVIpNode n{-1, -1, -1, -1, -1, -1};
        ASSERT_EQ(getVIp(c.e, n), c.ok) << c.reason;
        const double got[] = {n.startHt, n.startChain, n.endHt, n.endChain, n.ipHt, n.ipChain};
        const double want[] = {c.node.startHt, c.node.startChain, c.node.endHt, c.node.endChain, c.node.ipHt, c.node.ipChain};
        for (int k = 0; k < 6; ++k)
            EXPECT_NEAR(got[k], c.ok ? want[k] : -1.0, 1e-9) << c.reason << ", field " << k << " (not written on failure)";
    }
}

// ---------------------------------------------------------------------------------------------
// Properties over random profiles

// Heights are continuous at every joint (answered by the later element) and inside each VIP
// element, where the straight also meets its curve in grade, as the element meets the next
// after a curve. Textbook vertical curves: a parabola of length L about a VIP (xv, hv) between
// grades g1 and g2 has the height hv + g1 (x - xv) + (g2 - g1) / (2 L) (x - xv + L/2)^2 (grades
// as fractions); a circular curve is tangent to both grades and its tangents cross on the VIP.
TEST(CAlntVRandom, ContinuousHeightsAndTextbookCurves)
{
    std::mt19937 rng(20240518);
    int parabolas = 0, arcs = 0;
    for (int p = 0; p < 60; ++p) {
        const std::vector<Vip> vips = randomVips(rng, 3 + p % 20, p % 3 != 0);
        CAlntV v;
        buildProfile(v, vips);
        for (int i = 0; i < v.getNumOfVes(); ++i) {
            const CAlntVe& e = *v.getVe(i);
            const Vip &a = vips[i > 0 ? i - 1 : 0], &b = vips[i];
            const std::string what = "profile " + std::to_string(p) + ", element " + std::to_string(i);
            ASSERT_TRUE(e.isok()) << what;
            const auto* la = dynamic_cast<const CAlntVeLsWithArc*>(&e);
            const auto* ls = dynamic_cast<const CVerticalLSElement*>(&e);
            const CAlntVe* straight = la ? &la->getStartSegment() : &ls->getStartSegment();
            const CAlntVe* curve = la ? (la->getArc().isSimplePoint() ? nullptr : static_cast<const CAlntVe*>(&la->getArc()))
                                      : ls->getParabole();
            ASSERT_EQ(curve != nullptr, b.curve != 0.0) << what;
            if (curve) {
                double h1, h2;
                ASSERT_TRUE(straight->getHtAtLen(straight->getLen(), h1) == veHtOk && curve->getHtAtLen(0.0, h2) == veHtOk)
                    << what;
                EXPECT_NEAR(h1, h2, 1e-9) << what;
                EXPECT_NEAR(straight->getEndGrade(), curve->getStartGrade(), 1e-9) << what;
                const Vip& c = vips[i + 1];
                const double g1 = (b.ht - a.ht) / (b.ch - a.ch), g2 = (c.ht - b.ht) / (c.ch - b.ch), L = b.curve;
                for (int k = 0; k <= 10 && !la; ++k) {
                    const double x = b.ch - L / 2 + L * k / 10, d = x - b.ch + L / 2;
                    double h;
                    ASSERT_TRUE(v.getHeightAtChain(x, h)) << what;
                    EXPECT_NEAR(h, b.ht + g1 * (x - b.ch) + (g2 - g1) / (2 * L) * d * d, 1e-9) << what << ", x " << x;
                }
                if (la) {
                    TVIpNode n;
                    const CAlntVeArc& arc = la->getArc();
                    EXPECT_NEAR(arc.getStartGrade(), 100 * g1, 1e-9) << what;
                    EXPECT_NEAR(arc.getEndGrade(), 100 * g2, 1e-9) << what;
                    EXPECT_NEAR(std::fabs(arc.getRadius()), b.curve, 1e-9 * b.curve) << what;
                    EXPECT_EQ(arc.getRadius() > 0, g2 > g1) << what << ": sag when the grade rises";
                    ASSERT_TRUE(getVIp(e, n)) << what;
                    EXPECT_TRUE(std::fabs(n.ipChain - b.ch) < 1e-9 && std::fabs(n.ipHt - b.ht) < 1e-9) << what;
                }
                ++(la ? arcs : parabolas);
            }
            if (i + 1 == v.getNumOfVes())
                continue;
            const CAlntVe& next = *v.getVe(i + 1);
            double s, hEnd, hStart, hProfile;
            ASSERT_TRUE(next.getStartChainageInM(s) && e.getHtAtLen(e.getLen(), hEnd) == veHtOk &&
                        next.getHtAtLen(0.0, hStart) == veHtOk && v.getHeightAtChain(s, hProfile)) << what;
            EXPECT_EQ(s, e.getFinalChain()) << what;
            EXPECT_NEAR(hEnd, hStart, 1e-9) << what;
            EXPECT_EQ(hProfile, hStart) << what << ": the later element answers at the joint";
            EXPECT_TRUE(!curve || std::fabs(e.getEndGrade() - next.getStartGrade()) < 1e-9) << what;
        }
    }
    EXPECT_GT(parabolas, 50);
    EXPECT_GT(arcs, 50);
}

// Copies carry the elements' built state: they answer bit for bit as the original. A profile
// rebuilt by appending the original's elements again answers bit for bit too when its curves
// are parabolas. With circular curves it agrees within 1e-9 m only: an element reads the next
// VIP from a circular neighbour as that arc's tangent crossing, recomputed from the arc's
// current state, and the rebuild meets neighbours that are already built where the original
// met fresh ones (a VIP exactly, against a crossing a few ulps off it).
// The lookup by bisection gives the element and length of the backward walk, on these profiles
// and on ones whose starts go backwards (a negative length) or repeat (zero length).
TEST(CAlntVRandom, CopiesAndLookup)
{
    std::mt19937 rng(4242);
    std::uniform_real_distribution<double> len(-40.0, 120.0);
    for (int p = 0; p < 50; ++p) {
        const bool withArcs = p % 2 == 0, unordered = p >= 40;
        CAlntV v;
        if (!unordered) {
            buildProfile(v, randomVips(rng, 1 + p % 20, withArcs));
        } else {
            v.setStartChainageInM(1000.0);
            for (int i = 0; i < 12; ++i)
                v.appendElement(CVerticalElement(0.0, 0.0, i % 4 == 1 ? 0.0 : (p % 2 ? len(rng) : std::fabs(len(rng))), 1.0));
        }
        CAlntV copied(v), assigned, viaDoCopy, rebuilt;
        buildProfile(assigned, randomVips(rng, 5, true));   // not empty before the assignment
        assigned = v;
        viaDoCopy.doCopyVes(v);
        rebuilt.setStartChainageInM(v.getStartChainageInM());
        rebuilt.setStartHeight(v.getStartPosH());
        rebuilt.onBulkUpdateStarted();
        for (const CAlntVe* e : v.getVes())
            rebuilt.appendElement(*e);
        rebuilt.onBulkUpdateFinished();
        ASSERT_EQ(assigned.getNumOfVes(), v.getNumOfVes());
        for (double ch : probeChainages(v, rng)) {
            const std::string at = "profile " + std::to_string(p) + " at " + std::to_string(ch);
            double lenRef = -7, lenGot = -7;
            const CAlntVe* want = scanElementAt(v, ch, &lenRef);
            EXPECT_EQ(v.getAlntVeAtChain(ch, &lenGot), want) << at;
            EXPECT_EQ(lenGot, want ? lenRef : -7.0) << at << " (not written without element)";
            double h0 = 0, hx0 = 0;
            const bool ok0 = v.getHeightAtChain(ch, h0), okx0 = v.getHeightAtChainExtr(ch, hx0);
            for (const CAlntV* other : {&copied, &assigned, &viaDoCopy, &rebuilt}) {
                const std::string what = at + (other == &rebuilt ? " (rebuilt)" : "");
                const bool loose = other == &rebuilt && withArcs;   // within 1e-9 m, not out at +-1e300
                double h1 = 0, hx1 = 0;
                if (loose && std::fabs(ch) > 1e299)
                    continue;
                EXPECT_EQ(other->getHeightAtChain(ch, h1), ok0) << what;
                EXPECT_EQ(other->getHeightAtChainExtr(ch, hx1), okx0) << what;
                EXPECT_TRUE(nearUlps(h1, h0, 0) || (loose && std::fabs(h1 - h0) <= 1e-9)) << what;
                EXPECT_TRUE(nearUlps(hx1, hx0, 0) || (loose && std::fabs(hx1 - hx0) <= 1e-9)) << what;
            }
        }
    }
}

// A VIP profile whose first VIP lies after the start chainage (a road file's profile that begins
// at station 300 of an alignment starting at 0): the first VIP element begins at its own VIP, so
// the profile runs from 300 to 1000. Measuring its end as start chainage + length (700) carried
// the grade 500-700 on over 700-1000 (95, 90 and 85 at 800, 900 and 1000) and extended the
// start from height 0 at chainage 0.
TEST(CAlntV, VipProfileStartingAfterTheStartChainage)
{
    struct Vip { double chainage, height, curve; };
    struct Case { const char* name; double startChain; std::vector<Vip> vips; std::vector<std::pair<double, double>> at; };
    const Case cases[] = {
        {"late, no curves", 0.0, {{300, 100, 0}, {500, 110, 0}, {700, 100, 0}, {800, 105, 0}, {900, 100, 0}, {1000, 110, 0}},
         {{300, 100}, {500, 110}, {800, 105}, {900, 100}, {950, 105}, {1000, 110}, {1100, 120}, {200, 95}}},
        // The parabola at 500 runs from 450 (107.5) to 550 with grades +5 % and -5 %: at 500,
        // x = 50 into it, 107.5 + 0.05 * 50 - 0.0005 * 50^2 = 108.75.
        {"late, with curves", 0.0, {{300, 100, 0}, {500, 110, 100}, {700, 100, 0}, {1000, 110, 0}},
         {{300, 100}, {450, 107.5}, {500, 108.75}, {700, 100},
          {850, 105}, {1000, 110}, {1200, 110 + 200.0 / 30}, {100, 90}}},
        {"early start chainage", 1000.0, {{400, 50, 0}, {600, 52, 0}}, {{400, 50}, {600, 52}, {700, 53}, {300, 49}}},
    };
    for (const Case& c : cases) {
        CAlntV v;
        v.setStartChainageInM(c.startChain);
        v.onBulkUpdateStarted();
        for (const Vip& p : c.vips)
            ASSERT_TRUE(v.appendElement(CVerticalLSElement(CLsInfo(p.chainage, p.height, p.curve))));
        v.onBulkUpdateFinished();
        for (const auto& q : c.at) {
            double h = -1.0;
            ASSERT_TRUE(v.getHeightAtChainExtr(q.first, h)) << c.name << " at " << q.first;
            EXPECT_NEAR(h, q.second, 1e-9) << c.name << " at " << q.first;
        }
    }
}
