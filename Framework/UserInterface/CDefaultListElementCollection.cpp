#include "UserInterface/CDefaultListElementCollection.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

CDefaultListElementCollection::~CDefaultListElementCollection() {
    RemoveAll();
    std::free(m_rows);
}

CListElement* CDefaultListElementCollection::At(int index) const {
    return index >= 0 && index < m_count ? m_rows[index] : nullptr;
}

bool CDefaultListElementCollection::Reserve(int capacity) {
    if (capacity <= m_capacity) {
        return true;
    }
    void* grown = std::realloc(m_rows, static_cast<size_t>(capacity) * sizeof(CListElement*));
    if (grown == nullptr) {
        return false;  // the old array stays as it was
    }
    m_rows = static_cast<CListElement**>(grown);
    std::memset(m_rows + m_capacity, 0, static_cast<size_t>(capacity - m_capacity) * sizeof(CListElement*));
    m_capacity = capacity;
    return true;
}

bool CDefaultListElementCollection::GrowForOne() {
    if (m_count < m_capacity) {
        return true;
    }
    if (m_capacity > INT_MAX / 2) {
        return false;
    }
    return Reserve(m_capacity == 0 ? kFirstCapacity : m_capacity * 2);
}

// A negative count, or one whose slack would not fit an int, is refused rather than wrapped.
BOOL CDefaultListElementCollection::SetCount(int count) {
    if (count < 0 || (count > m_capacity && (count > INT_MAX - kSetCountSlack || !Reserve(count + kSetCountSlack)))) {
        return FALSE;
    }
    if (count >= m_count) {
        for (int i = m_count; i < count; ++i) {
            delete m_rows[i];
            m_rows[i] = new (std::nothrow) CListElement();
        }
    } else {
        for (int i = count; i < m_count; ++i) {
            delete m_rows[i];
            m_rows[i] = nullptr;
        }
    }
    m_count = count;
    return TRUE;
}

BOOL CDefaultListElementCollection::Add() { return InsertAt(m_count); }

BOOL CDefaultListElementCollection::InsertAt(int index) {
    if (index < 0 || index > m_count || !GrowForOne()) {
        return FALSE;
    }
    auto* row = new (std::nothrow) CListElement();
    if (row == nullptr) {
        return FALSE;
    }
    std::memmove(m_rows + index + 1, m_rows + index, static_cast<size_t>(m_count - index) * sizeof(CListElement*));
    m_rows[index] = row;
    ++m_count;
    return TRUE;
}

void CDefaultListElementCollection::RemoveAt(int index) {
    if (index < 0 || index >= m_count) {
        return;
    }
    delete m_rows[index];
    std::memmove(m_rows + index, m_rows + index + 1, static_cast<size_t>(m_count - index - 1) * sizeof(CListElement*));
    m_rows[--m_count] = nullptr;
}

void CDefaultListElementCollection::RemoveAll() { SetCount(0); }

BOOL CDefaultListElementCollection::Swap(int first, int second) {
    if (m_rows == nullptr || first < 0 || first >= m_count || second < 0 || second >= m_count) {
        return FALSE;
    }
    std::swap(m_rows[first], m_rows[second]);
    return TRUE;
}

int CDefaultListElementCollection::GetLeftImage(int index) const {
    const CListElement* row = At(index);
    return row != nullptr ? row->leftImage : 0;
}

void CDefaultListElementCollection::SetLeftImage(int index, int image) {
    if (CListElement* row = At(index)) {
        row->leftImage = image;
    }
}

int CDefaultListElementCollection::GetRightImage(int index) const {
    const CListElement* row = At(index);
    return row != nullptr ? row->rightImage : 0;
}

void CDefaultListElementCollection::SetRightImage(int index, int image) {
    if (CListElement* row = At(index)) {
        row->rightImage = image;
    }
}

void CDefaultListElementCollection::SetFlags(int index, DWORD value, DWORD mask) {
    if (CListElement* row = At(index)) {
        row->flags = (row->flags & ~mask) | (value & mask);
    }
}

DWORD CDefaultListElementCollection::GetFlags(int index) const {
    const CListElement* row = At(index);
    return row != nullptr ? row->flags : 0;
}

void CDefaultListElementCollection::SetSecondColor(int index, COLORREF color) {
    if (CListElement* row = At(index)) {
        row->secondColor = color;
    }
}

COLORREF CDefaultListElementCollection::GetSecondColor(int index) const {
    const CListElement* row = At(index);
    return row != nullptr ? row->secondColor : 0;
}

void CDefaultListElementCollection::SetTextColor(int index, COLORREF color) {
    if (CListElement* row = At(index)) {
        row->textColor = color;
    }
}

COLORREF CDefaultListElementCollection::GetTextColor(int index) const {
    const CListElement* row = At(index);
    return row != nullptr ? row->textColor : 0;
}

void CDefaultListElementCollection::SetHeight(int index, int height) {
    if (CListElement* row = At(index)) {
        row->height = height;
    }
}

int CDefaultListElementCollection::GetHeight(int index) const {
    const CListElement* row = At(index);
    return row != nullptr ? row->height : 0;
}

LPCWSTR CDefaultListElementCollection::GetText(int index) const {
    const CListElement* row = At(index);
    return row != nullptr ? row->text.get() : nullptr;
}

BOOL CDefaultListElementCollection::IsEnabled(int index) const {
    const CListElement* row = At(index);
    return row != nullptr && (row->flags & CListElement::kDisabled) == 0;
}

BOOL CDefaultListElementCollection::IsBold(int index) const {
    const CListElement* row = At(index);
    return row != nullptr && (row->flags & CListElement::kBold) != 0;
}

BOOL CDefaultListElementCollection::SetText(int index, LPCWSTR text) {
    CListElement* row = At(index);
    if (row == nullptr) {
        return FALSE;
    }
    if (text == nullptr) {
        row->text.reset();
        return FALSE;
    }
    const int length = lstrlenW(text);
    std::unique_ptr<WCHAR[]> copy(new (std::nothrow) WCHAR[static_cast<size_t>(length) + 1]);
    if (copy == nullptr) {
        return FALSE;
    }
    lstrcpynW(copy.get(), text, length + 1);
    row->text = std::move(copy);
    return TRUE;
}

void CDefaultListElementCollection::SetData(int index, intptr_t data) {
    if (CListElement* row = At(index)) {
        row->data = data;
    }
}

intptr_t CDefaultListElementCollection::GetData(int index) const {
    const CListElement* row = At(index);
    return row != nullptr ? row->data : 0;
}
