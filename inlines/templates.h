// TXContainerCArray: the growable by-value array that the position caches, the offset tables
// and the coded 3D lines keep their records in.
//
// An MFC CArray-style array of T held by value: copying the array copies the elements. Growth
// when a larger size is needed: by the grow-by value when one is set (> 0), else by count / 8
// clamped to 4 ... 1024 elements, and always at least to the requested size; the first
// allocation is the requested size (or the grow-by value when larger). New slots are
// value-initialised (zero for plain records).
//
// Indexed access (GetAt, ElementAt, operator[], SetAt, RemoveAt) with an index outside
// 0 ... GetSize() - 1 writes the assertion report of source "inlines/templates", line 617, to
// the library log and does no harm: reads give a default value, a write through the returned
// reference changes no element, SetAt and RemoveAt do nothing. Callers keep indexes in range;
// the report is a diagnostic, not an interface. (Negative indexes are reported as well.)
//
// The method names follow the platform's CArray.
#pragma once

#include "files/logFile.h"

#include <cstddef>
#include <vector>

// Source name and line of the out-of-range report.
inline constexpr const char* kTemplatesSource = "inlines/templates";
inline constexpr int kTemplatesIndexLine = 617;

template <class T>
class TXContainerCArray {
public:
    TXContainerCArray() = default;

    // ---- Size ----
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    // Number of slots allocated.
    int GetCapacity() const { return static_cast<int>(m_items.capacity()); }
    // Growth step for later allocations; 0 or less restores the automatic count / 8 rule.
    void SetGrowBy(int growBy) { m_growBy = growBy; }
    // New slots are value-initialised; a negative size counts as 0.
    void SetSize(int newSize)
    {
        const std::size_t n = newSize < 0 ? 0u : static_cast<std::size_t>(newSize);
        reserveFor(n);
        m_items.resize(n);
    }

    // ---- Element access ----
    const T& GetAt(int i) const { return inRange(i) ? m_items[static_cast<std::size_t>(i)] : stray(); }
    T& ElementAt(int i) { return inRange(i) ? m_items[static_cast<std::size_t>(i)] : stray(); }
    const T& operator[](int i) const { return GetAt(i); }
    T& operator[](int i) { return ElementAt(i); }
    void SetAt(int i, const T& value)
    {
        if (inRange(i))
            m_items[static_cast<std::size_t>(i)] = value;
    }
    // The elements in order; null when empty.
    const T* GetData() const { return m_items.empty() ? nullptr : m_items.data(); }
    T* GetData() { return m_items.empty() ? nullptr : m_items.data(); }

    // ---- Adding and removing ----
    // Appends; returns the new element's index.
    int Add(const T& value)
    {
        reserveFor(m_items.size() + 1);
        m_items.push_back(value);
        return GetUpperBound();
    }
    // Inserts at i (0 ... GetSize(); beyond the end the array grows with default elements up
    // to i). A negative index is reported and nothing happens.
    void InsertAt(int i, const T& value)
    {
        if (i < 0) {
            ReportAssertion(kTemplatesSource, kTemplatesIndexLine);
            return;
        }
        if (i >= GetSize()) {
            SetSize(i);
            Add(value);
            return;
        }
        reserveFor(m_items.size() + 1);
        m_items.insert(m_items.begin() + i, value);
    }
    void RemoveAt(int i)
    {
        if (inRange(i))
            m_items.erase(m_items.begin() + i);
    }
    // Empties the array (the capacity is released).
    void RemoveAll()
    {
        m_items.clear();
        m_items.shrink_to_fit();
    }

    // Iteration over the elements.
    typename std::vector<T>::const_iterator begin() const { return m_items.cbegin(); }
    typename std::vector<T>::const_iterator end() const { return m_items.cend(); }

private:
    bool inRange(int i) const
    {
        if (i >= 0 && i < GetSize())
            return true;
        ReportAssertion(kTemplatesSource, kTemplatesIndexLine);
        return false;
    }
    // The element handed out for an index out of range: a fresh default value each time, one
    // per thread and element type.
    static T& stray()
    {
        thread_local T value;
        value = T();
        return value;
    }
    // Grows the capacity by the CArray rule when `needed` slots do not fit.
    void reserveFor(std::size_t needed)
    {
        const std::size_t cap = m_items.capacity();
        if (needed <= cap)
            return;
        if (cap == 0) {
            // The first allocation: what is asked for, or the grow-by value when larger.
            const std::size_t by = m_growBy > 0 ? static_cast<std::size_t>(m_growBy) : 0u;
            m_items.reserve(needed > by ? needed : by);
            return;
        }
        std::size_t step;
        if (m_growBy > 0) {
            step = static_cast<std::size_t>(m_growBy);
        } else {
            step = m_items.size() / 8;
            step = step < 4 ? 4 : (step > 1024 ? 1024 : step);
        }
        m_items.reserve(needed < cap + step ? cap + step : needed);
    }

    std::vector<T> m_items;
    int m_growBy = 0;
};
