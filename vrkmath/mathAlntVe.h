// Vertical elements of a road profile: the abstract element CAlntVe, the long-section record
// CLsInfo, the grade line / parabola CVerticalElement and the VIP-with-parabola element
// CVerticalLSElement. The circular forms are in vrkmath/mathAlntVeArc.h.
//
// Units: chainages, lengths, heights and radii in metres; grades in percent (2.5 = a rise of
// 0.025 m per metre of chainage). Every length of a vertical element is a horizontal length (a
// chainage difference), never a length along the curve.
//
// Tolerances: a value counts as zero when it lies strictly between -1e-12 and 1e-12
// (veZeroTolerance). A chainage or length that misses a bound by less than the snap tolerance
// is taken to be on the bound; the snap tolerance is the process-wide `roadTolerance`
// (cogo/curveFormulas.h, 0.001 m unless the application changes it), read at every use.
//
// Base class: the horizontal side shares a base CAlntElBase (start chainage field, virtual
// isok and getHLengthInM). The vertical elements deliberately do NOT derive from it: CAlntVe
// keeps its own slot order below, holds no data, and has a non-virtual getHLengthInM; the
// long-section forms keep their start themselves and report it through the virtual
// getStartChainageInM.
//
// Nothing throws. Heights report through errCodes, other queries through bool; output
// arguments are written only on success.
#pragma once

// The kind of a vertical element (CAlntVe::getType).
enum TAlntVeType {
    veGradeLine = 0,    // CVerticalElement with equal start and end grade
    veParabola = 1,     // CVerticalElement with different grades
    veLsParabola = 2,   // CVerticalLSElement
    veArc = 3,          // CAlntVeArc
    veLsArc = 4         // CAlntVeLsWithArc
};

// Result of a height query (CAlntVe::getHtAtLen).
enum errCodes {
    veHtOk = 0,            // the height was written
    veHtBeforeStart = 1,   // the length lies before the element's start (negative)
    veHtBeyondEnd = 2      // beyond the element's end, or the element is not ready (!isok())
};

// The zero tolerance of the vertical elements and its test (strict on both sides).
constexpr double veZeroTolerance = 1e-12;
inline bool isVeZero(double x)
{
    return x > -veZeroTolerance && x < veZeroTolerance;
}

// A long-section point: a vertical intersection point (VIP) with the curve around it, the form
// in which every vertical element can describe itself. Plain value record, zero by default.
class CLsInfo {
public:
    double chainage = 0.0;     // VIP chainage, m
    double height = 0.0;       // VIP height, m
    double curveLen = 0.0;     // horizontal length of the curve around the VIP (0: no curve)
    double curveStart = 0.0;   // chainage where the curve begins
    double radius = 0.0;       // signed radius of a circular curve (0: parabola or plain VIP)

    CLsInfo() = default;
    // The three-value form: curveStart = chainage - 0.5 * curveLen, radius 0.
    CLsInfo(double chainage_, double height_, double curveLen_);
    CLsInfo(double chainage_, double height_, double curveLen_, double curveStart_, double radius_);

    // True when `later` may follow this point: its curve does not begin before this one's
    // ends (a shortfall within the zero tolerance passes), and when both VIPs share a chainage
    // (zero tolerance) the later one has no curve.
    bool isCompatibleWith(const CLsInfo& later) const;
};

// Abstract vertical element. Lengths `len` are measured from the element's start chainage.
// All queries are const (an element may fill caches of its own while answering).
class CAlntVe {
public:
    virtual ~CAlntVe() = default;
    // The element is complete (true for the base).
    virtual bool isok() const;
    virtual TAlntVeType getType() const = 0;
    virtual double getStartHt() const = 0;
    virtual double getFinalHt() const = 0;
    virtual double getFinalChain() const = 0;
    // Horizontal length, m.
    virtual double getLen() const = 0;
    // Grades at the start and the end, percent.
    virtual double getStartGrade() const = 0;
    virtual double getEndGrade() const = 0;
    virtual bool getStartChainageInM(double& chainage) const = 0;
    // Height at `len` metres (chainage difference) from the start. Snaps onto the ends as
    // each element states; the height is written only with veHtOk.
    virtual errCodes getHtAtLen(double len, double& ht) const = 0;
    // Chainage distance from `chainage` to the next vertex a sampled polyline needs so that no
    // chord departs from the element by more than `deviation` (m); never beyond the element's
    // end; 0 when the chainage is outside the element or the element is not ready.
    virtual double getStepForDeviation(double chainage, double deviation) const = 0;
    // The element as a long-section point; false when it cannot describe itself.
    virtual bool getAsLs(CLsInfo& info) const = 0;
    // A heap copy owned by the caller.
    virtual CAlntVe* clone() const = 0;
    virtual bool setStartHtAndChain(double height, double chainage) = 0;
    // Lets the element follow its predecessor (start = prev's final height and chainage);
    // true with no prev. The profile calls it after every change with the neighbours or null.
    virtual bool onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next);

    // Writes getFinalChain(); true.
    bool getFinalChainageInM(double& chainage) const;
    // Writes getLen() and returns true when isok(); else writes 0 and returns false.
    bool getHLengthInM(double& len) const;
    // Height at an absolute chainage: false without a start chainage or unless getHtAtLen
    // answers veHtOk.
    bool getHtAtChain(double chainage, double& ht) const;
    // True exactly when getHtAtLen(len) answers veHtOk.
    bool getPosHeightInM(double len, double& ht) const;

protected:
    CAlntVe() = default;
    CAlntVe(const CAlntVe&) = default;
    CAlntVe& operator=(const CAlntVe&) = default;

    // Shared by the VIP elements made of an inner straight followed by an inner curve:
    // the straight answers first; when it answers veHtBeyondEnd the curve answers at
    // len - the straight's length.
    static errCodes htOnStraightThenCurve(const CAlntVe& straight, const CAlntVe& curve, double len,
                                          double& ht);
    // Shared step for deviation of those elements (start, total length and ready state given
    // by the caller); `hasCurve` false answers the remainder to the element's end.
    static double stepOnStraightThenCurve(const CAlntVe& straight, const CAlntVe& curve, double start,
                                          double len, bool hasCurve, double chainage, double deviation);
};

// A grade line (equal grades) or a parabolic vertical curve, given by its start, horizontal
// length and grades. Height at x metres from the start: A x^2 + B x + C.
class CVerticalElement : public CAlntVe {
public:
    CVerticalElement();
    // A grade line of `grade` percent.
    CVerticalElement(double startHt, double startChain, double len, double grade);
    CVerticalElement(double startHt, double startChain, double len, double startGrade, double endGrade);
    CVerticalElement(const CVerticalElement&) = default;
    CVerticalElement& operator=(const CVerticalElement&) = default;

    // All five fields 0.
    void reset();
    // Length and both grades.
    void setStraight(double len, double grade);
    // The grade line through (chainage1, height1) and (chainage2, height2); the start becomes
    // point 1. Length and grades 0 unless chainage2 exceeds chainage1 by more than 1e-12.
    void setStraight(double chainage1, double height1, double chainage2, double height2);
    void setParabola(double len, double startGrade, double endGrade);
    // c: rise from the start to the tangent intersection at half length; r: radius, positive
    // for a crest. Start grade 200 c / len, end grade 100 (2c / len - len / r).
    void setParabolaByCR(double len, double c, double r);
    // f: mid-ordinate between the tangent intersection and the curve, positive for a crest.
    // Start grade 200 c / len, end grade (200 c - 800 f) / len.
    void setParabolaByCF(double len, double c, double f);
    bool isParabola() const { return m_startGrade != m_endGrade; }
    bool isStraight() const { return m_startGrade == m_endGrade; }
    // A = (end grade - start grade) / (200 len) (1/m); B = start grade / 100; C = start height.
    double getParabolaCoefficientA() const;
    double getParabolaCoefficientB() const;
    double getParabolaCoefficientC() const;
    // 1 / (2A): the signed radius of curvature, metres per unit change of slope.
    double getParabolaCoefficientKv() const;
    // -2 A len: the change of slope (as a fraction) over the curve, negated.
    double getParabolaCoefficientDs() const;

    TAlntVeType getType() const override;
    double getStartHt() const override { return m_startHt; }
    double getFinalHt() const override;
    double getFinalChain() const override { return m_startChain + m_len; }
    double getLen() const override { return m_len; }
    double getStartGrade() const override { return m_startGrade; }
    double getEndGrade() const override { return m_endGrade; }
    // Always true.
    bool getStartChainageInM(double& chainage) const override;
    // A length within 1e-12 of 0 is 0, one within the snap tolerance of the length is the
    // length; then negative -> veHtBeforeStart, beyond -> veHtBeyondEnd.
    errCodes getHtAtLen(double len, double& ht) const override;
    double getStepForDeviation(double chainage, double deviation) const override;
    // Parabola: the VIP at half length on the start tangent with curve length = length;
    // grade line: the VIP at its end, no curve.
    bool getAsLs(CLsInfo& info) const override;
    CAlntVe* clone() const override;
    bool setStartHtAndChain(double height, double chainage) override;

private:
    // Height at len without snapping or range check.
    double htAt(double len) const;

    double m_startHt;
    double m_startChain;
    double m_len;
    double m_startGrade;
    double m_endGrade;
};

// A long-section element: a VIP with a parabolic curve of given length around it. It covers
// from the previous element's end (its start, given by the profile) to the end of the curve at
// its own VIP, as an inner straight and an inner parabola rebuilt after every change of its
// start, its VIP or the next VIP. Without a next VIP it ends at its VIP without a curve; the
// first VIP of a profile carries no curve.
class CVerticalLSElement : public CAlntVe {
public:
    CVerticalLSElement();
    // Default construction followed by setCurrLSElement(vip).
    explicit CVerticalLSElement(const CLsInfo& vip);
    CVerticalLSElement(const CVerticalLSElement&) = default;
    CVerticalLSElement& operator=(const CVerticalLSElement&) = default;

    // Zeroes the inner elements, clears all flags, start height 0, start chainage unset.
    void reset();
    // Stores the element's own VIP and rebuilds.
    void setCurrLSElement(const CLsInfo& vip);
    // Stores the next VIP; no rebuild.
    void setNextLSElement(const CLsInfo& vip);
    void getCurrLSElement(CLsInfo& vip) const;
    const CVerticalElement& getStartSegment() const { return m_straight; }
    // The inner parabola, or null when the element has none.
    const CVerticalElement* getParabole() const { return m_hasParabola ? &m_parabola : nullptr; }

    // The result of the last rebuild.
    bool isok() const override { return m_ok; }
    TAlntVeType getType() const override;
    double getStartHt() const override;
    double getFinalHt() const override;
    double getFinalChain() const override;
    double getLen() const override;
    double getStartGrade() const override;
    double getEndGrade() const override;
    // False (0 written) while the start chainage is unset.
    bool getStartChainageInM(double& chainage) const override;
    errCodes getHtAtLen(double len, double& ht) const override;
    double getStepForDeviation(double chainage, double deviation) const override;
    // The current VIP; false without one.
    bool getAsLs(CLsInfo& info) const override;
    CAlntVe* clone() const override;
    // Stores the start and rebuilds; true.
    bool setStartHtAndChain(double height, double chainage) override;
    // The first element (no prev) starts at its own VIP; then the base update; the next VIP is
    // taken from a next element of type 2 or 4. False when that VIP is incompatible.
    bool onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next) override;

private:
    // Rebuilds the straight and the parabola; returns and stores ok.
    bool setUpData();

    bool m_ok;
    bool m_hasParabola;
    CLsInfo m_curr;
    CLsInfo m_next;
    double m_startHt;
    double m_startChain;
    bool m_hasCurr;
    bool m_hasNext;
    CVerticalElement m_straight;
    CVerticalElement m_parabola;
};
