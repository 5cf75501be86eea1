#include "win/TextDrop.h"

#include <ole2.h>

#include <utility>

namespace sheetmass::win {
namespace {

// Offers a copy whenever the data holds text; what the text is the field
// judges at the drop, where a refusal can be told.
class TextTarget final : public IDropTarget {
  public:
    explicit TextTarget(std::function<void(const std::wstring&, POINT)> dropped)
        : dropped_(std::move(dropped)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id == IID_IUnknown || id == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --count_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC text = textFormat();
        hasText_ = data != nullptr && data->QueryGetData(&text) == S_OK;
        *effect = offered(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = offered(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        hasText_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        hasText_ = false;
        FORMATETC format = textFormat();
        STGMEDIUM medium{};
        if (data == nullptr || FAILED(data->GetData(&format, &medium)))
            return S_OK;
        std::wstring text;
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(medium.hGlobal))) {
            text.assign(chars, ::wcsnlen(chars, ::GlobalSize(medium.hGlobal) / sizeof(wchar_t)));
            ::GlobalUnlock(medium.hGlobal);
        }
        ::ReleaseStgMedium(&medium);
        *effect = DROPEFFECT_COPY;
        dropped_(text, POINT{at.x, at.y});
        return S_OK;
    }

  private:
    static FORMATETC textFormat() {
        return FORMATETC{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    }
    DWORD offered(DWORD allowed) const {
        return hasText_ && (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }

    std::function<void(const std::wstring&, POINT)> dropped_;
    ULONG count_ = 1;
    bool hasText_ = false;
};

} // namespace

void acceptTextDrops(HWND window, std::function<void(const std::wstring&, POINT)> dropped) {
    auto* target = new TextTarget(std::move(dropped));
    ::RegisterDragDrop(window, target);
    target->Release();
}

} // namespace sheetmass::win
