#include "platform/com/NullHost.h"

#include "platform/com/Utf16.h"
#include "platform/time/Clock.h"

#include <chrono>
#include <cstdio>

ULONGLONG lumo::ClockMilliseconds()
{
    using namespace std::chrono;
    return ULONGLONG(duration_cast<milliseconds>(Now().time_since_epoch()).count());
}

ComPtr<CNullHost> CNullHost::Create(SIZE clientSize) { return MakeObject<CNullHost>(clientSize); }

HRESULT CNullHost::Invalidate(const RECT*, BOOL) { return S_OK; }

HRESULT CNullHost::GetClientSize(SIZE* size)
{
    if (!size)
        return E_POINTER;
    *size = mSize;
    return S_OK;
}

HRESULT CNullHost::SetTimer(UINT, UINT, IVexoTimerSink*) { return E_NOTIMPL; }
HRESULT CNullHost::KillTimer(UINT) { return S_FALSE; }
HRESULT CNullHost::SetCapture() { return S_OK; }
HRESULT CNullHost::ReleaseCapture() { return S_OK; }
HRESULT CNullHost::SetCursor(UINT) { return S_OK; }

HRESULT CNullHost::GetTime(ULONGLONG* milliseconds)
{
    if (!milliseconds)
        return E_POINTER;
    *milliseconds = lumo::ClockMilliseconds();
    return S_OK;
}

HRESULT CNullHost::ShowFileDialog(BOOL, LPCOLESTR, LPCOLESTR, LPCOLESTR, BSTR* path)
{
    if (!path)
        return E_POINTER;
    *path = nullptr;
    return S_FALSE;
}

HRESULT CNullHost::ChooseColor(COLORREF* color) { return color ? S_FALSE : E_POINTER; }

HRESULT CNullHost::ShowDialog(LONG, LPCOLESTR, IPropertyBag*) { return S_FALSE; }

HRESULT CNullHost::MessageBox(LPCOLESTR text, LPCOLESTR caption, UINT, LONG* result)
{
    std::string line;
    if (caption && *caption)
        line = lumo::Utf16ToUtf8(caption) + ": ";
    if (text)
        line += lumo::Utf16ToUtf8(text);
    std::fprintf(stderr, "%s\n", line.c_str());
    if (result)
        *result = IDOK;
    return S_OK;
}

HRESULT CNullHost::ChoosePrinter(BOOL, BSTR* printer)
{
    if (!printer)
        return E_POINTER;
    *printer = nullptr;
    return S_FALSE;
}

HRESULT CNullHost::EmptyClipboard() { return E_NOTIMPL; }
HRESULT CNullHost::SetClipboardData(LPCOLESTR, const BYTE*, ULONG) { return E_NOTIMPL; }
HRESULT CNullHost::FlushClipboard() { return E_NOTIMPL; }
HRESULT CNullHost::OpenUrl(LPCOLESTR, LPCOLESTR) { return S_FALSE; }
