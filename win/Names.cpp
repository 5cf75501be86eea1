#include "win/Names.h"

#include "forms/Texts.h"

#include <initguid.h>
#include <oleacc.h>

namespace sheetmass::win {

void nameFields(const forms::Window& design, const std::vector<Made>& made) {
    // A thread already in a multithreaded apartment keeps it; the names
    // are set either way.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccPropServices* props = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IAccPropServices, reinterpret_cast<void**>(&props)))) {
        for (const forms::Control& label : design.controls) {
            if (label.captions.empty())
                continue;
            for (const Made& field : made)
                if (field.design->name == label.captions) {
                    const std::wstring name = wide(forms::spokenCaption(label.text));
                    props->SetHwndPropStr(field.hwnd, DWORD(OBJID_CLIENT), CHILDID_SELF,
                                          PROPID_ACC_NAME, name.c_str());
                }
        }
        props->Release();
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
}

} // namespace sheetmass::win
