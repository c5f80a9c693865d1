// The messaging stores (CEMAPI): a session lists the device's message stores, one per messaging account
// of the device profile ([mail] accounts=NAME;NAME...), in that order. Only the store table and its
// display names are offered; nothing is sent through here (the messaging program does that).
#pragma once

#include "ce/com.h"

typedef ULONG* LPULONG;

#define MAPI_E_CALL_FAILED E_FAIL
#define MAPI_E_NOT_ENOUGH_MEMORY E_OUTOFMEMORY
#define MAPI_E_INVALID_PARAMETER E_INVALIDARG
#define MAPI_E_NOT_INITIALIZED ((HRESULT)0x80040605L)
#define MAPI_E_NOT_FOUND ((HRESULT)0x8004010FL)

#define PT_UNSPECIFIED ((ULONG)0)
#define PT_ERROR ((ULONG)10)
#define PT_UNICODE ((ULONG)31)
#define PROP_TYPE(tag) ((ULONG)(tag) & 0xFFFF)
#define PROP_ID(tag) ((ULONG)(tag) >> 16)
#define PROP_TAG(type, id) ((((ULONG)(id)) << 16) | ((ULONG)(type)))

#define PR_DISPLAY_NAME PROP_TAG(PT_UNICODE, 0x3001)

typedef union _PV {
    LONG l;
    LPWSTR lpszW;
    HRESULT err;
} __UPV;

typedef struct _SPropValue {
    ULONG ulPropTag;
    ULONG dwAlignPad;
    union _PV Value;
} SPropValue, *LPSPropValue;

typedef struct _SPropTagArray {
    ULONG cValues;
    ULONG aulPropTag[1];
} SPropTagArray, *LPSPropTagArray;

typedef struct _SRow {
    ULONG ulAdrEntryPad;
    ULONG cValues;
    LPSPropValue lpProps;
} SRow, *LPSRow;

typedef struct _SRowSet {
    ULONG cRows;
    SRow aRow[1];
} SRowSet, *LPSRowSet;

struct IMAPITable : IUnknown {
    // Chooses the columns of the rows that QueryRows returns; unknown tags come back as PT_ERROR values.
    virtual HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray columns, ULONG flags) = 0;
    // Up to `count` rows from the cursor on (negative counts are not offered); free them with FreeProws.
    virtual HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG flags, LPSRowSet* rows) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRowCount(ULONG flags, ULONG* count) = 0;

protected:
    ~IMAPITable() = default;
};
typedef IMAPITable* LPMAPITABLE;

struct IMAPISession : IUnknown {
    // A table of the message stores with the column PR_DISPLAY_NAME.
    virtual HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG flags, LPMAPITABLE* table) = 0;
    virtual HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR uiParam, ULONG flags, ULONG reserved) = 0;

protected:
    ~IMAPISession() = default;
};
typedef IMAPISession* LPMAPISESSION;

extern "C" {
// Counted per thread; MAPILogonEx fails with MAPI_E_NOT_INITIALIZED outside an initialised span.
CE_API HRESULT MAPIInitialize(LPVOID init);
CE_API void MAPIUninitialize(void);
CE_API HRESULT MAPILogonEx(ULONG_PTR uiParam, LPWSTR profile, LPWSTR password, ULONG flags,
                           LPMAPISESSION* session);
CE_API ULONG MAPIFreeBuffer(LPVOID buffer);
CE_API void FreeProws(LPSRowSet rows);
}
