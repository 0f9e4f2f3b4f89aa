// The reference count of every Retained Mode object, and a holder for one
// reference.
#pragma once

#include "Platform/DirectX/D3DRM.h"

namespace rm {

// Implements AddRef and Release of `Interface`. An object starts with the one
// reference its factory hands out; the last Release deletes it.
template <class Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    // Hands out this object, AddRef'ed, for IID_IUnknown or any of `ids`.
    template <class... Ids>
    HRESULT Answer(REFIID riid, void** ppvObject, const Ids&... ids) {
        if (ppvObject == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || ((riid == ids) || ...)) {
            AddRef();
            *ppvObject = static_cast<Interface*>(this);
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }

private:
    ULONG references_ = 1;
};

// Holds one reference (or none) and gives it up when destroyed or replaced.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* object) { Reset(object); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { Reset(nullptr); }

    // Takes a new reference to `object` (may be null), then drops the old one.
    void Reset(T* object) {
        if (object != nullptr) object->AddRef();
        T* old = object_;
        object_ = object;
        if (old != nullptr) old->Release();
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

}  // namespace rm
