#include "win/Names.h"

#include "forms/Texts.h"

#include <initguid.h>
#include <oleacc.h>

namespace sheetmass::win {
namespace {

// The fields of the design that a label captions, each with its label.
template <class Each>
void eachCaptioned(const forms::Window& design, const std::vector<Made>& made, Each each) {
    for (const forms::Control& label : design.controls)
        if (!label.captions.empty())
            for (const Made& field : made)
                if (field.design->name == label.captions)
                    each(label, field.hwnd);
}

template <class Use> void withProps(Use use) {
    // A thread already in a multithreaded apartment keeps it; the names
    // are set either way.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccPropServices* props = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IAccPropServices, reinterpret_cast<void**>(&props)))) {
        use(*props);
        props->Release();
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
}

} // namespace

void nameFields(const forms::Window& design, const std::vector<Made>& made) {
    withProps([&](IAccPropServices& props) {
        eachCaptioned(design, made, [&](const forms::Control& label, HWND field) {
            const std::wstring name = wide(forms::spokenCaption(label.text));
            props.SetHwndPropStr(field, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                 name.c_str());
        });
    });
}

void forgetNames(const forms::Window& design, const std::vector<Made>& made) {
    withProps([&](IAccPropServices& props) {
        MSAAPROPID name = PROPID_ACC_NAME;
        eachCaptioned(design, made, [&](const forms::Control&, HWND field) {
            props.ClearHwndProps(field, DWORD(OBJID_CLIENT), CHILDID_SELF, &name, 1);
        });
    });
}

} // namespace sheetmass::win
