// The class factory of the Home plug-in: makes CHomePlugin objects and holds server locks.
#pragma once

#include "ce/com.h"

class CHomePluginFactory : public IClassFactory {
public:
    CHomePluginFactory();
    CHomePluginFactory(const CHomePluginFactory&) = delete;
    CHomePluginFactory& operator=(const CHomePluginFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    virtual ~CHomePluginFactory();

    LONG m_references = 1;
};
