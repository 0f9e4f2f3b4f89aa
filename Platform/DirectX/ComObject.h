// The reference count shared by every object of the software DirectX services.
#pragma once

#include "Platform/DirectX/Unknown.h"

namespace dx {

// Implements AddRef and Release of `Interface`; the object starts with one
// reference, the one its factory hands out.
template <class Interface>
class ComObject : public Interface {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

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

// Holds one reference and gives it up on destruction or replacement.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* object) { Reset(object); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { Reset(nullptr); }

    // Takes a new reference to `object` (may be null) and drops the old one.
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

}  // namespace dx
