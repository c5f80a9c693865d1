// Records the handles, buffers and threads that a transfer owns, so that whoever stops the transfer can
// release all of them at once. The worker registers and unregisters while another thread may release,
// so every operation holds the controller's lock.
#pragma once

#include <map>
#include <mutex>
#include <set>

#include "ce/types.h"

enum ResourceKind {
    kResourceHeapBlock = 0,       // free
    kResourceObject = 1,          // delete, through the deleter given at registration
    kResourceArray = 2,           // delete[] of a byte array
    kResourceKernelHandle = 3,    // CloseHandle
    kResourceInternetHandle = 4,  // InternetCloseHandle
    kResourceConnection = 5,      // ConnMgrReleaseConnection
    kResourceThread = 6,          // asked to stop through its stop event, joined; both handles closed
    kResourceDeviceContext = 7,   // DeleteDC
    kResourceGdiObject = 8,       // DeleteObject
};

class CMemoryController {
public:
    typedef void (*ObjectDeleter)(void* object);

    CMemoryController() = default;
    CMemoryController(const CMemoryController&) = delete;
    CMemoryController& operator=(const CMemoryController&) = delete;
    // Releases nothing: what is still recorded is the owner's to release first.
    virtual ~CMemoryController() = default;

    // Records or re-records a resource; 0 for null, a kind above 8, or an object without a deleter.
    int Register(const void* resource, int kind);
    // A thread is released by setting its stop event and waiting for it to end; the entry owns the event.
    int RegisterThread(HANDLE thread, HANDLE stopEvent);
    template <class T>
    int RegisterObject(T* object) {
        return RegisterEntry(object, {kResourceObject, nullptr, [](void* p) { delete static_cast<T*>(p); }});
    }
    // 1 when the resource was recorded.
    int Unregister(const void* resource);
    // A transfer's stop event: Interrupt sets it (with event data 1, "cancelled"), so that a wait that
    // holds no internet handle yet ends too. The owner closes it and forgets it here before.
    int AddStopEvent(HANDLE stopEvent);
    void RemoveStopEvent(HANDLE stopEvent);
    // Releases one resource by its kind (a recorded entry supplies a thread's stop event or an object's
    // deleter, and is forgotten); 0 for null, an unknown kind, or an object or thread that was not recorded.
    int Release(const void* resource, int kind);
    // Sets the stop events and releases the recorded internet handles and connections, so that a
    // transfer blocked on them fails at once; its worker then ends and releases the rest itself.
    void Interrupt();
    // Releases every recorded resource: threads are asked to stop first, joined last, so that closing the
    // handles they block on lets them end. Buffers are freed too, so a worker that uses them must have
    // ended first (Interrupt, then join it).
    void ReleaseAll();
    void Clear();
    int GetCount() const;

private:
    struct Entry {
        int kind;
        HANDLE stopEvent;
        ObjectDeleter deleter;
    };

    int RegisterEntry(const void* resource, const Entry& entry);
    static int ReleaseEntry(void* resource, const Entry& entry);
    static int JoinThread(HANDLE thread, HANDLE stopEvent);

    mutable std::mutex m_lock;
    std::map<const void*, Entry> m_resources;
    std::set<HANDLE> m_stopEvents;
};
