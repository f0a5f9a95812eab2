// A whole road alignment: CAlnt, the horizontal alignment (CAlntH, which it extends) with a
// vertical alignment (CAlntV, which it holds) under a user-visible name.
//
// Units: chainages, positions and heights in metres, grades in percent (vrkmath/mathAlntH.h,
// vrkmath/mathAlntV.h). The bulk-update brackets inherited from CAlntH concern the horizontal
// side only; the vertical alignment keeps its own.
//
// Names: 1 to 20 characters, none of ! , ? % * @ # $ ^ & \ / | ~ ; [ ] { } ( ) < > + = nor
// the apostrophe, the double quotation mark, the grave accent, tab, carriage return or line
// feed. Space is allowed.
#pragma once

#include "platform/CString.h"
#include "vrkmath/mathAlntH.h"
#include "vrkmath/mathAlntV.h"

class CAlnt : public CAlntH {
public:
    // Empty horizontal and vertical alignments, empty name.
    CAlnt();
    // An empty alignment that then copies other (copy()).
    CAlnt(const CAlnt& other);
    // copy(other); self-assignment changes nothing.
    CAlnt& operator=(const CAlnt& other);
    // Removes all elements.
    ~CAlnt() override;

    // ---- Horizontal operations (virtual in CAlntH) ----
    // Sets the start chainage of both the horizontal and the vertical alignment (metres).
    void setStartChainageInM(double chain) override;
    bool appendElement(const CAlntHe& he) override;
    bool insertElement(int i, const CAlntHe& he) override;
    bool replaceElement(int i, const CAlntHe& he) override;
    bool removeHe(int i) override;

    // ---- Own virtual operations ----
    // False for a null pointer, else checkAlntName of the text (not normalised).
    virtual bool checkName(const wchar_t* name) const;
    // Normalises the name (checkAndNormalizeAlntName); stores it and returns true when it
    // passes, else keeps the stored name and returns false.
    virtual bool setName(const CString& name);
    // The horizontal start point and the vertical start height (metres).
    virtual void setStartPos(double north, double east, double height);
    // Vertical editing, forwarded to the vertical alignment.
    virtual bool appendElement(const CAlntVe& ve);
    virtual bool insertElement(int i, const CAlntVe& ve);
    virtual bool replaceElement(int i, const CAlntVe& ve);
    virtual bool removeVe(int i);
    // Empties the vertical and then the horizontal list.
    virtual void removeAll();
    // removeAll(), then the name, the horizontal elements and start values and the vertical
    // elements and start values of other. Copying itself changes nothing.
    virtual void copy(const CAlnt& other);

    // ---- Name ----
    const CString& getName() const { return m_name; }
    // The name rules above.
    static bool checkAlntName(const CString& name);
    // out = in without spaces and tabs at both ends, each inner run of spaces and tabs one
    // space; returns checkAlntName(out).
    static bool checkAndNormalizeAlntName(CString& out, const CString& in);

    // ---- Vertical side ----
    // The vertical start height, metres.
    double getStartPosH() const { return m_v.getStartPosH(); }
    void doInsertVe(int i, CAlntVe* ve) { m_v.doInsertVe(i, ve); }
    const CPtrArrayT<CAlntVe>& getVes() const { return m_v.getVes(); }
    int getNumOfVes() const { return m_v.getNumOfVes(); }
    const CAlntVe* getFirstVe() const { return m_v.getFirstVe(); }
    const CAlntVe* getLastVe() const { return m_v.getLastVe(); }
    const CAlntVe* getVe(int i) const { return m_v.getVe(i); }
    const CAlntV& getAlntVes() const { return m_v; }
    const CAlntVe* getAlntVeAtChain(double chain, double* len = nullptr) const
    {
        return m_v.getAlntVeAtChain(chain, len);
    }
    // Heights (metres) at a chainage inside the profile, and beyond its ends.
    bool getPosHAtChain(double chain, double& height) const { return m_v.getHeightAtChain(chain, height); }
    bool getPosHAtChainExtr(double chain, double& height) const
    {
        return m_v.getHeightAtChainExtr(chain, height);
    }
    bool getFinalPosH(double& height) const { return m_v.getFinalHeight(height); }

protected:
    // Stores the name without any test.
    void doSetName(const CString& name) { m_name = name; }

private:
    CString m_name;
    CAlntV m_v;
};
