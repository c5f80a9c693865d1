// The list controls' own row store: a growable array of row records on the C heap. Entries beyond the
// count are null; a null entry inside the count (a row that could not be allocated) reads as a
// missing row.
#pragma once

#include "UserInterface/CListElement.h"
#include "UserInterface/CListElementCollection.h"

class CDefaultListElementCollection : public CListElementCollection {
public:
    // Capacity of the first allocation of Add and InsertAt; each later growth doubles it.
    static constexpr int kFirstCapacity = 100;
    // Room that SetCount leaves beyond the requested count.
    static constexpr int kSetCountSlack = 64;

    CDefaultListElementCollection() = default;
    ~CDefaultListElementCollection() override;

    int GetCapacity() const { return m_capacity; }

    int GetCount() const override { return m_count; }
    BOOL SetCount(int count) override;
    BOOL Add() override;
    BOOL InsertAt(int index) override;
    void RemoveAt(int index) override;
    void RemoveAll() override;
    BOOL Swap(int first, int second) override;
    int GetLeftImage(int index) const override;
    void SetLeftImage(int index, int image) override;
    int GetRightImage(int index) const override;
    void SetRightImage(int index, int image) override;
    void SetFlags(int index, DWORD value, DWORD mask) override;
    DWORD GetFlags(int index) const override;
    void SetSecondColor(int index, COLORREF color) override;
    COLORREF GetSecondColor(int index) const override;
    void SetTextColor(int index, COLORREF color) override;
    COLORREF GetTextColor(int index) const override;
    void SetHeight(int index, int height) override;
    int GetHeight(int index) const override;
    LPCWSTR GetText(int index) const override;
    BOOL IsEnabled(int index) const override;
    BOOL IsBold(int index) const override;
    BOOL SetText(int index, LPCWSTR text) override;
    void SetData(int index, intptr_t data) override;
    intptr_t GetData(int index) const override;

private:
    // The row at the index, null for a bad index or a missing row.
    CListElement* At(int index) const;
    // Makes room for exactly capacity entries, the new ones null; false (and nothing changed) on failure.
    bool Reserve(int capacity);
    // Room for one more row by the doubling rule.
    bool GrowForOne();

    CListElement** m_rows = nullptr;
    int m_capacity = 0;
    int m_count = 0;
};
