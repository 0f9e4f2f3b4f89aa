// The reference-counted object model shared by the DirectX stand-ins.
#pragma once

#include "Platform/Win32/Win32.h"

struct IUnknown {
    // 0 and an AddRef'ed interface in *ppvObject, or E_NOINTERFACE and null.
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    // The new reference count.
    virtual ULONG AddRef() = 0;
    // The new reference count; the object is freed when it reaches 0.
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

extern const IID IID_IUnknown;
