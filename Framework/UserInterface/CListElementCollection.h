// The row store behind the list controls. Every per-row operation takes the row index and checks it:
// for an index outside 0..count-1 a getter answers 0 (or null) and a setter does nothing, so callers
// never touch row records directly.
#pragma once

#include <cstdint>

#include "ce/gdi.h"

class CListElementCollection {
public:
    CListElementCollection() = default;
    CListElementCollection(const CListElementCollection&) = delete;
    CListElementCollection& operator=(const CListElementCollection&) = delete;
    virtual ~CListElementCollection() = default;

    virtual int GetCount() const = 0;
    // Makes the count n with default rows; 0 when the store cannot grow (nothing changes then).
    virtual BOOL SetCount(int count) = 0;
    // Appends a default row; 0 when it cannot be allocated.
    virtual BOOL Add() = 0;
    // A default row before index (0..count); 0 for a bad index or a failed allocation.
    virtual BOOL InsertAt(int index) = 0;
    virtual void RemoveAt(int index) = 0;
    virtual void RemoveAll() = 0;
    virtual BOOL Swap(int first, int second) = 0;
    virtual int GetLeftImage(int index) const = 0;
    virtual void SetLeftImage(int index, int image) = 0;
    virtual int GetRightImage(int index) const = 0;
    virtual void SetRightImage(int index, int image) = 0;
    // flags = (flags & ~mask) | (value & mask).
    virtual void SetFlags(int index, DWORD value, DWORD mask) = 0;
    virtual DWORD GetFlags(int index) const = 0;
    virtual void SetSecondColor(int index, COLORREF color) = 0;
    virtual COLORREF GetSecondColor(int index) const = 0;
    virtual void SetTextColor(int index, COLORREF color) = 0;
    virtual COLORREF GetTextColor(int index) const = 0;
    virtual void SetHeight(int index, int height) = 0;
    virtual int GetHeight(int index) const = 0;
    // The row's text, null when it has none.
    virtual LPCWSTR GetText(int index) const = 0;
    // 1 when the row exists and is not disabled.
    virtual BOOL IsEnabled(int index) const = 0;
    virtual BOOL IsBold(int index) const = 0;
    // Replaces the text with a copy: 1. Null clears it and answers 0; a failed copy keeps the old
    // text and answers 0.
    virtual BOOL SetText(int index, LPCWSTR text) = 0;
    virtual void SetData(int index, intptr_t data) = 0;
    virtual intptr_t GetData(int index) const = 0;
};
