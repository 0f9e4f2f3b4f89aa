// The arrays that GetChildren, GetLights, GetVisuals and GetFaces hand out:
// a snapshot that holds a reference to each element.
#pragma once

#include <vector>

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3DRM.h"

namespace rm {

template <class ArrayInterface, class Element>
class ObjectArray final : public dx::ComObject<ArrayInterface> {
public:
    template <class Source>
    explicit ObjectArray(const std::vector<Source*>& elements) : elements_(elements.begin(), elements.end()) {
        for (Element* element : elements_) element->AddRef();
    }

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override { return this->Answer(riid, ppvObject); }
    DWORD GetSize() override { return static_cast<DWORD>(elements_.size()); }
    // The element AddRef'ed, or D3DRMERR_BADVALUE past the end.
    HRESULT GetElement(DWORD index, Element** element) override {
        if (element == nullptr) return D3DRMERR_BADVALUE;
        *element = nullptr;
        if (index >= elements_.size()) return D3DRMERR_BADVALUE;
        *element = elements_[index];
        (*element)->AddRef();
        return D3DRM_OK;
    }

private:
    ~ObjectArray() override {
        for (Element* element : elements_) element->Release();
    }

    std::vector<Element*> elements_;
};

// Hands a new array of `elements` out through `out`.
template <class ArrayInterface, class Element, class Source>
HRESULT HandOutArray(const std::vector<Source*>& elements, ArrayInterface** out) {
    if (out == nullptr) return D3DRMERR_BADVALUE;
    *out = new ObjectArray<ArrayInterface, Element>(elements);
    return D3DRM_OK;
}

}  // namespace rm
