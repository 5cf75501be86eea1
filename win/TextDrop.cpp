#include "win/TextDrop.h"

#include <ole2.h>
#include <shellapi.h>

#include <utility>

namespace sheetmass::win {
namespace {

// The first file a drop holds; empty when it holds none.
std::wstring fileIn(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data == nullptr || FAILED(data->GetData(&format, &medium)))
        return {};
    // The memory's handle is the drop's, which the shell reads itself.
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    std::wstring path(::DragQueryFileW(drop, 0, nullptr, 0), L'\0');
    if (!path.empty())
        path.resize(::DragQueryFileW(drop, 0, path.data(), UINT(path.size() + 1)));
    ::ReleaseStgMedium(&medium);
    return path;
}

// Offers a copy whenever the data holds text (for a field) or a file; what
// the text is the field judges at the drop, where a refusal can be told.
class TextTarget final : public IDropTarget {
  public:
    TextTarget(HWND window, std::function<void(const std::wstring&, POINT)> dropped)
        : window_(window), dropped_(std::move(dropped)) {}

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
        FORMATETC file{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        takes_ = data != nullptr && ((dropped_ && data->QueryGetData(&text) == S_OK) ||
                                     data->QueryGetData(&file) == S_OK);
        *effect = offered(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = offered(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        takes_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        takes_ = false;
        if (std::wstring file = fileIn(data); !file.empty()) {
            *effect = DROPEFFECT_COPY;
            ::PostMessageW(::GetAncestor(window_, GA_ROOT), kFileDropped, 0,
                           reinterpret_cast<LPARAM>(new std::wstring(std::move(file))));
            return S_OK;
        }
        FORMATETC format = textFormat();
        STGMEDIUM medium{};
        if (!dropped_ || data == nullptr || FAILED(data->GetData(&format, &medium)))
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
        return takes_ && (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }

    HWND window_;
    std::function<void(const std::wstring&, POINT)> dropped_;
    ULONG count_ = 1;
    bool takes_ = false;
};

} // namespace

void acceptTextDrops(HWND window, std::function<void(const std::wstring&, POINT)> dropped) {
    auto* target = new TextTarget(window, std::move(dropped));
    ::RegisterDragDrop(window, target);
    target->Release();
}

void acceptFileDrops(HWND window) {
    acceptTextDrops(window, nullptr);
}

} // namespace sheetmass::win
