// What a control asks of its host instead of a window system: repaints, the
// client size, timers, mouse capture, cursors, the clock, dialogs, the
// clipboard, the printer, message boxes and opening URLs. A windowed host
// implements it with its toolkit; windowless clients use CNullHost, tests
// CScriptedHost.
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/PropertyBag.h"
#include "platform/com/Unknown.h"

// Receives the ticks of the timers a control starts through its host.
struct IVexoTimerSink : IUnknown {
    static constexpr IID iid = {0xBA2B139A, 0x62BC, 0x451B, {0x90, 0xE2, 0x75, 0xE1, 0x7B, 0xF7, 0xE5, 0x61}};
    using Base = IUnknown;

    virtual HRESULT OnTimer(UINT id) = 0;
};

// Cursors the host knows by itself; other values are the control's own
// cursor resources, which the host maps to images.
constexpr UINT HOST_CURSOR_ARROW = 0;
constexpr UINT HOST_CURSOR_WAIT = 1;

// Message box buttons and answers.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr LONG IDOK = 1;
constexpr LONG IDCANCEL = 2;
constexpr LONG IDYES = 6;
constexpr LONG IDNO = 7;

struct IVexoHostServices : IUnknown {
    static constexpr IID iid = {0xD6E81521, 0x6025, 0x4308, {0xBA, 0x7C, 0x50, 0xA8, 0x5F, 0x9A, 0xF4, 0x31}};
    using Base = IUnknown;

    // Asks for a repaint of `rect` (null: the whole client area).
    virtual HRESULT Invalidate(const RECT* rect, BOOL erase) = 0;
    virtual HRESULT GetClientSize(SIZE* size) = 0;

    // Starts (or restarts) timer `id`, ticking every `interval` ms on the
    // control's thread until killed; the host holds `sink` meanwhile.
    // E_NOTIMPL where the host has no timers.
    virtual HRESULT SetTimer(UINT id, UINT interval, IVexoTimerSink* sink) = 0;
    virtual HRESULT KillTimer(UINT id) = 0;

    virtual HRESULT SetCapture() = 0;
    virtual HRESULT ReleaseCapture() = 0;
    virtual HRESULT SetCursor(UINT cursor) = 0;

    // The current time in milliseconds since 1970-01-01 UTC, from the
    // system's one clock (which tests may step).
    virtual HRESULT GetTime(ULONGLONG* milliseconds) = 0;

    // Dialogs answer S_OK when the user accepted and S_FALSE when cancelled
    // (or when the host cannot show them).
    // A file dialog; `filter` is "Text (*.ext)|*.ext|...|" as on Windows.
    virtual HRESULT ShowFileDialog(BOOL save, LPCOLESTR title, LPCOLESTR filter, LPCOLESTR defaultExtension,
                                   BSTR* path) = 0;
    virtual HRESULT ChooseColor(COLORREF* color) = 0;
    // One of the control's own dialogs (by its resource number), its fields
    // handed over and back as named values.
    virtual HRESULT ShowDialog(LONG dialogId, LPCOLESTR title, IPropertyBag* fields) = 0;
    // `result` receives IDOK, IDCANCEL, IDYES or IDNO.
    virtual HRESULT MessageBox(LPCOLESTR text, LPCOLESTR caption, UINT type, LONG* result) = 0;

    // The printer to use: with `showDialog`, the one the user picks (S_FALSE:
    // cancelled); otherwise the default (S_FALSE: none).
    virtual HRESULT ChoosePrinter(BOOL showDialog, BSTR* printer) = 0;

    // Replaces the clipboard's contents: each format once, by name.
    virtual HRESULT EmptyClipboard() = 0;
    virtual HRESULT SetClipboardData(LPCOLESTR format, const BYTE* data, ULONG size) = 0;
    // Makes the clipboard's data outlive the control that put it there.
    virtual HRESULT FlushClipboard() = 0;

    // Opens a URL in the user's browser; target as in HTML ("_blank").
    virtual HRESULT OpenUrl(LPCOLESTR url, LPCOLESTR target) = 0;
};
