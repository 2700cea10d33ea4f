// SPDX-License-Identifier: MIT
// A picture box as screen readers see it (UI Automation reads it through
// its MSAA proxy): the system's object for the window, but a graphic,
// described by the comment of the picture shown, with a press action that
// picks it as a click would.
#include <windows.h>

#include <oleacc.h>

#include <new>

#include "win32_p.h"

namespace {

// IID_IAccessible itself is not to be used: the import library offers an
// import thunk under that name, and a program may link that instead of the
// interface id.

const wchar_t pressActionName[] = L"按下";

bool isSelf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

class PictureAccessible final : public IAccessible {
public:
    PictureAccessible(HWND box, IAccessible *standard)
        : m_box(box)
        , m_standard(standard)
    {
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            m_standard->Release();
            delete this;
        }
        return ULONG(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        return m_standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override
    {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(
        REFIID id, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override
    {
        return m_standard->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
        DISPPARAMS *parameters, VARIANT *result, EXCEPINFO *exception, UINT *argument) override
    {
        return m_standard->Invoke(member, id, locale, flags, parameters, result, exception, argument);
    }

    // IAccessible: the system's answers, but for role, description and
    // default action.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        return m_standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override
    {
        return m_standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        return m_standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return m_standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        if (!isSelf(child))
            return m_standard->get_accDescription(child, description);
        if (!description)
            return E_POINTER;
        const std::wstring text = IsWindow(m_box) ? pictureBoxDescription(m_box) : std::wstring();
        *description = text.empty() ? nullptr : SysAllocStringLen(text.data(), UINT(text.size()));
        return text.empty() ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        if (!isSelf(child))
            return m_standard->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_GRAPHIC;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, long *topic) override
    {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override
    {
        return m_standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override
    {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        if (!isSelf(child))
            return m_standard->get_accDefaultAction(child, action);
        if (!action)
            return E_POINTER;
        *action = SysAllocString(pressActionName);
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(
        long *left, long *top, long *width, long *height, VARIANT child) override
    {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT *end) override
    {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT *child) override
    {
        return m_standard->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!isSelf(child))
            return m_standard->accDoDefaultAction(child);
        // Returns at once, as the action should; the press comes from the
        // message loop, like a click.
        if (!IsWindow(m_box) || !IsWindowVisible(m_box))
            return DISP_E_MEMBERNOTFOUND;
        PostMessageW(m_box, pictureBoxPressMessage, 0, 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_standard->put_accValue(child, value);
    }

private:
    LONG m_references = 1;
    HWND m_box;
    IAccessible *m_standard;
};

} // namespace

LRESULT pictureBoxAccessibleObject(HWND box, WPARAM wParam)
{
    IAccessible *standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(
            box, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void **>(&standard))))
        return 0;
    auto *object = new (std::nothrow) PictureAccessible(box, standard);
    if (!object) {
        standard->Release();
        return 0;
    }
    const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release();
    return result;
}
