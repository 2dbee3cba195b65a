// Growable arrays in the shape of the class layer's collections: the template
// CArray<TYPE, ARG_TYPE> and the named arrays built on it.
//
// Indexes are INT_PTR. New slots made by SetSize, SetAtGrow or InsertAt past
// the end are value-initialised (zero for numbers and pointers). Reading or
// writing outside [0, GetSize()) is a caller error caught by ASSERT in debug
// builds, as with the original; code fed untrusted counts checks them first.
// Unlike the original the arrays can be copied and moved like values.
#pragma once

#include <stddef.h>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/CObject.h"
#include "framework/CString.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
  static_assert(!std::is_same<TYPE, bool>::value,
                "CArray<bool> would not give contiguous storage; use CByteArray");

public:
  CArray() {}

  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }
  bool IsEmpty() const { return m_data.empty(); }

  // nGrowBy is accepted for the callers written against the original; the
  // storage grows geometrically whatever it says.
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
    ASSERT(nNewSize >= 0);
    if (nNewSize < 0) nNewSize = 0;
    m_data.resize(static_cast<size_t>(nNewSize));
  }
  void FreeExtra() { m_data.shrink_to_fit(); }
  void RemoveAll() { m_data.clear(); }

  const TYPE& GetAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
  TYPE& GetAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data[Checked(nIndex)] = newElement; }
  TYPE& ElementAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
  const TYPE& ElementAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
  const TYPE& operator[](INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
  TYPE& operator[](INT_PTR nIndex) { return m_data[Checked(nIndex)]; }

  // The elements are contiguous; nullptr when the array is empty.
  const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
  TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }

  // Sets the element, growing the array first when nIndex is past the end.
  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
    ASSERT(nIndex >= 0);
    if (nIndex < 0) return;
    if (nIndex >= GetSize()) {
      TYPE copy = newElement;  // newElement may refer into this array
      SetSize(nIndex + 1);
      m_data[static_cast<size_t>(nIndex)] = std::move(copy);
      return;
    }
    m_data[static_cast<size_t>(nIndex)] = newElement;
  }
  // Returns the index of the added element.
  INT_PTR Add(ARG_TYPE newElement) {
    m_data.push_back(TYPE(newElement));
    return GetSize() - 1;
  }
  // Appends a copy of src (which may be this array); returns the index of the
  // first appended element.
  INT_PTR Append(const CArray& src) {
    INT_PTR nOldSize = GetSize();
    if (&src == this) {
      std::vector<TYPE> copy(m_data);
      m_data.insert(m_data.end(), copy.begin(), copy.end());
    } else {
      m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
    }
    return nOldSize;
  }
  void Copy(const CArray& src) {
    if (&src != this) m_data = src.m_data;
  }

  // Inserts nCount copies at nIndex. An index past the end first grows the
  // array to nIndex, so the copies land exactly at nIndex.
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
    ASSERT(nIndex >= 0 && nCount >= 0);
    if (nIndex < 0 || nCount <= 0) return;
    TYPE copy = newElement;  // newElement may refer into this array
    if (nIndex > GetSize()) SetSize(nIndex);
    m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), copy);
  }
  void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray) {
    ASSERT(pNewArray != nullptr && nStartIndex >= 0);
    if (pNewArray == nullptr || nStartIndex < 0 || pNewArray->IsEmpty()) return;
    std::vector<TYPE> copy(pNewArray->m_data);
    if (nStartIndex > GetSize()) SetSize(nStartIndex);
    m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
  }
  // Removes nCount elements from nIndex; the range must lie inside the array.
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
    ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
    if (nIndex < 0 || nCount <= 0 || nIndex >= GetSize()) return;
    INT_PTR nEnd = std::min(GetSize(), nIndex + nCount);
    m_data.erase(m_data.begin() + nIndex, m_data.begin() + nEnd);
  }

private:
  size_t Checked(INT_PTR nIndex) const {
    ASSERT(nIndex >= 0 && nIndex < GetSize());
    return static_cast<size_t>(nIndex);
  }

  std::vector<TYPE> m_data;
};

// The named arrays. They are classes rather than typedefs so that headers can
// forward-declare them.
class CByteArray : public CArray<BYTE, BYTE> {};
class CWordArray : public CArray<WORD, WORD> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CPtrArray : public CArray<void*, void*> {};
class CStringArray : public CArray<CString, const CString&> {};
