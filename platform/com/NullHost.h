// The host of a control without a window (image rendering, batch work):
// repaints and cursors are ignored, there are no timers, dialogs are
// cancelled, message boxes go to standard error and answer IDOK, and there
// is no printer, clipboard or browser.
#pragma once

#include "platform/com/HostServices.h"
#include "platform/com/Object.h"

class CNullHost : public TObject<IVexoHostServices> {
public:
    // The size GetClientSize reports: the size of the image being rendered.
    static ComPtr<CNullHost> Create(SIZE clientSize = SIZE{0, 0});

    HRESULT Invalidate(const RECT* rect, BOOL erase) override;
    HRESULT GetClientSize(SIZE* size) override;
    HRESULT SetTimer(UINT id, UINT interval, IVexoTimerSink* sink) override;
    HRESULT KillTimer(UINT id) override;
    HRESULT SetCapture() override;
    HRESULT ReleaseCapture() override;
    HRESULT SetCursor(UINT cursor) override;
    HRESULT GetTime(ULONGLONG* milliseconds) override;
    HRESULT ShowFileDialog(BOOL save, LPCOLESTR title, LPCOLESTR filter, LPCOLESTR defaultExtension,
                           BSTR* path) override;
    HRESULT ChooseColor(COLORREF* color) override;
    HRESULT ShowDialog(LONG dialogId, LPCOLESTR title, IPropertyBag* fields) override;
    HRESULT MessageBox(LPCOLESTR text, LPCOLESTR caption, UINT type, LONG* result) override;
    HRESULT ChoosePrinter(BOOL showDialog, BSTR* printer) override;
    HRESULT EmptyClipboard() override;
    HRESULT SetClipboardData(LPCOLESTR format, const BYTE* data, ULONG size) override;
    HRESULT FlushClipboard() override;
    HRESULT OpenUrl(LPCOLESTR url, LPCOLESTR target) override;

    void SetClientSize(SIZE size) { mSize = size; }

protected:
    explicit CNullHost(SIZE size) : mSize(size) {}

private:
    template <class T, class... Args>
    friend ComPtr<T> MakeObject(Args&&... args);

    SIZE mSize;
};

namespace lumo {

// Milliseconds since 1970-01-01 UTC from the system's clock.
ULONGLONG ClockMilliseconds();

} // namespace lumo
