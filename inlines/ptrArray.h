// CPtrArrayT: the growable array of owned element pointers that the alignments keep their
// elements in.
//
// The array owns every pointer it holds: each one points to a heap object made with `new`
// (usually an element's clone()), and the array deletes it when it is removed, replaced or when
// the array itself is destroyed. Because of that the array cannot be copied (an alignment copies
// its elements by cloning them one by one); it can be moved.
//
// Growth follows the MFC CArray rules: when a larger size is needed the capacity grows by the
// grow-by value when one is set (> 0), else by count / 8 clamped to 4 ... 1024 elements, and
// always at least to the requested size; the first allocation is exactly what is asked for (or
// the grow-by value when that is larger).
//
// Indexes are not range-checked: the caller keeps them within 0 ... GetSize() - 1 (InsertAt
// also accepts GetSize(), which appends). A const array hands out pointers to const elements.
// The method names follow the platform's CArray (GetSize, GetAt, Add, InsertAt, RemoveAt,
// RemoveAll); ReplaceAt is SetAt with the deletion of the old element.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

template <class T>
class CPtrArrayT {
public:
    CPtrArrayT() = default;
    CPtrArrayT(const CPtrArrayT&) = delete;
    CPtrArrayT& operator=(const CPtrArrayT&) = delete;
    CPtrArrayT(CPtrArrayT&& other) noexcept : m_items(std::move(other.m_items)), m_growBy(other.m_growBy)
    {
        other.m_items.clear();
    }
    CPtrArrayT& operator=(CPtrArrayT&& other) noexcept
    {
        if (this != &other) {
            RemoveAll();
            m_items.swap(other.m_items);
            m_growBy = other.m_growBy;
        }
        return *this;
    }
    ~CPtrArrayT() { RemoveAll(); }

    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    // Number of slots allocated (the CArray "max size").
    int GetCapacity() const { return static_cast<int>(m_items.capacity()); }
    // Growth step for later allocations; 0 or less restores the automatic count / 8 rule.
    void SetGrowBy(int growBy) { m_growBy = growBy; }

    T* GetAt(int i) { return m_items[static_cast<std::size_t>(i)]; }
    const T* GetAt(int i) const { return m_items[static_cast<std::size_t>(i)]; }
    T* operator[](int i) { return GetAt(i); }
    const T* operator[](int i) const { return GetAt(i); }

    // Takes ownership of p and puts it at the end; returns its index.
    int Add(T* p)
    {
        reserveFor(m_items.size() + 1);
        m_items.push_back(p);
        return GetUpperBound();
    }
    // Takes ownership of p and puts it at i (0 ... GetSize()); the elements from i move up.
    void InsertAt(int i, T* p)
    {
        reserveFor(m_items.size() + 1);
        m_items.insert(m_items.begin() + i, p);
    }
    // Takes ownership of p, puts it at i and deletes the element that was there.
    void ReplaceAt(int i, T* p)
    {
        T* old = m_items[static_cast<std::size_t>(i)];
        m_items[static_cast<std::size_t>(i)] = p;
        if (old != p)
            delete old;
    }
    // Deletes the element at i and closes the gap.
    void RemoveAt(int i)
    {
        T* old = m_items[static_cast<std::size_t>(i)];
        m_items.erase(m_items.begin() + i);
        delete old;
    }
    // Deletes every element; the array becomes empty (its capacity is released).
    void RemoveAll()
    {
        for (T* p : m_items)
            delete p;
        m_items.clear();
        m_items.shrink_to_fit();
    }

    // Iteration over the held pointers (pointers to const elements on a const array). The
    // iterators hand out the pointers by value: ownership never leaks through them.
    template <class Ptr, class VecIt>
    class IteratorT {
    public:
        explicit IteratorT(VecIt it) : m_it(it) {}
        Ptr operator*() const { return *m_it; }
        IteratorT& operator++()
        {
            ++m_it;
            return *this;
        }
        bool operator==(const IteratorT& o) const { return m_it == o.m_it; }
        bool operator!=(const IteratorT& o) const { return m_it != o.m_it; }

    private:
        VecIt m_it;
    };
    using iterator = IteratorT<T*, typename std::vector<T*>::const_iterator>;
    using const_iterator = IteratorT<const T*, typename std::vector<T*>::const_iterator>;
    iterator begin() { return iterator(m_items.cbegin()); }
    iterator end() { return iterator(m_items.cend()); }
    const_iterator begin() const { return const_iterator(m_items.cbegin()); }
    const_iterator end() const { return const_iterator(m_items.cend()); }

private:
    // Grows the capacity by the CArray rule when `needed` slots do not fit.
    void reserveFor(std::size_t needed)
    {
        const std::size_t cap = m_items.capacity();
        if (needed <= cap)
            return;
        std::size_t newCap;
        if (cap == 0) {
            newCap = m_growBy > 0 && static_cast<std::size_t>(m_growBy) > needed
                         ? static_cast<std::size_t>(m_growBy)
                         : needed;
        } else {
            std::size_t step;
            if (m_growBy > 0) {
                step = static_cast<std::size_t>(m_growBy);
            } else {
                step = m_items.size() / 8;
                step = step < 4 ? 4 : (step > 1024 ? 1024 : step);
            }
            newCap = needed < cap + step ? cap + step : needed;
        }
        m_items.reserve(newCap);
    }

    std::vector<T*> m_items;
    int m_growBy = 0;
};
