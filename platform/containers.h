// The MFC-style arrays of the ported code: CArray<T>, CStringArray, CUIntArray and CObArray.
//
// Growable arrays of values indexed by int, with the MFC operations and results (Add returns
// the new element's index, InsertAt past the end grows the array, ...). Copying an array
// copies its elements. CObArray holds CObject pointers and does not own what they point to.
//
// Out-of-range use is a programming error that never crashes: it is reported through
// PlatformUsageError (platform/winTypes.h) and then
//   - GetAt, operator[] and ElementAt give a default-constructed element (a null pointer for
//     CObArray); writing through a reference obtained that way changes no element;
//   - SetAt and a RemoveAt whose index is outside the array do nothing;
//   - RemoveAt with a count running past the end removes up to the end;
//   - negative sizes and counts are taken as 0, and InsertAt at a negative index does nothing.
#pragma once

#include "platform/CString.h"
#include "platform/winTypes.h"

#include <vector>

// The root of the object arrays' elements.
class CObject {
public:
    virtual ~CObject() = default;
};

template <class T, class ARG_T = const T&>
class CArray {
public:
    // ---- Size ----
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    // New elements are default-constructed; growBy is accepted for MFC and not needed here.
    void SetSize(int newSize, int growBy = -1)
    {
        (void)growBy;
        m_items.resize(static_cast<size_t>(newSize < 0 ? 0 : newSize));
    }

    // ---- Element access ----
    const T& GetAt(int index) const { return inRange(index, "CArray::GetAt") ? m_items[index] : stray(); }
    T& ElementAt(int index) { return inRange(index, "CArray::ElementAt") ? m_items[index] : stray(); }
    const T& operator[](int index) const { return GetAt(index); }
    T& operator[](int index) { return ElementAt(index); }
    void SetAt(int index, ARG_T value)
    {
        if (inRange(index, "CArray::SetAt"))
            m_items[index] = value;
    }
    // Sets element `index`, growing the array first when it is past the end.
    void SetAtGrow(int index, ARG_T value)
    {
        if (index < 0) {
            PlatformUsageError("CArray::SetAtGrow", index, GetSize());
            return;
        }
        if (index >= GetSize())
            SetSize(index + 1);
        m_items[index] = value;
    }
    // The elements in order; null when the array is empty.
    const T* GetData() const { return m_items.empty() ? nullptr : m_items.data(); }
    T* GetData() { return m_items.empty() ? nullptr : m_items.data(); }

    // ---- Adding and removing ----
    int Add(ARG_T value)
    {
        m_items.push_back(value);
        return GetSize() - 1;
    }
    // Inserts `count` copies of value before element `index`; an index at or past the end
    // first grows the array to `index` elements, so the copies end up at `index`.
    void InsertAt(int index, ARG_T value, int count = 1)
    {
        if (index < 0) {
            PlatformUsageError("CArray::InsertAt", index, GetSize());
            return;
        }
        if (count <= 0)
            return;
        const T copy(value);  // value may refer to an element of this array
        if (index > GetSize())
            SetSize(index);
        m_items.insert(m_items.begin() + index, static_cast<size_t>(count), copy);
    }
    void RemoveAt(int index, int count = 1)
    {
        if (!inRange(index, "CArray::RemoveAt") || count <= 0)
            return;
        const int end = count > GetSize() - index ? GetSize() : index + count;
        m_items.erase(m_items.begin() + index, m_items.begin() + end);
    }
    void RemoveAll() { m_items.clear(); }
    // Appends the elements of `other` (which may be this array); returns the index of the
    // first appended element.
    int Append(const CArray& other)
    {
        const int first = GetSize();
        const std::vector<T> copy(other.m_items);
        m_items.insert(m_items.end(), copy.begin(), copy.end());
        return first;
    }
    void Copy(const CArray& other)
    {
        if (&other != this)
            m_items = other.m_items;
    }

private:
    bool inRange(int index, const char* what) const
    {
        if (index >= 0 && index < GetSize())
            return true;
        PlatformUsageError(what, index, GetSize());
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

    std::vector<T> m_items;
};

class CStringArray : public CArray<CString> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CObArray : public CArray<CObject*, CObject*> {};
