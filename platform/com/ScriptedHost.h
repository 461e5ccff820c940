// A host for tests: records each request as a line of text, answers dialogs
// from answers queued in advance (cancelling when none is queued), and runs
// timers against the system clock, which it replaces with one that moves
// only through Advance. One scripted host at a time: destroying it gives the
// system its real clock back.
#pragma once

#include "platform/com/HostServices.h"
#include "platform/com/Object.h"
#include "platform/com/Variant.h"

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CScriptedHost : public TObject<IVexoHostServices> {
public:
    // The clock starts at 2024-01-01 00:00:00 UTC.
    static ComPtr<CScriptedHost> Create(SIZE clientSize = SIZE{640, 480});
    ~CScriptedHost() override;

    // "Invalidate", "Invalidate 0 0 10 10", "SetTimer 1 30", "KillTimer 1",
    // "SetCapture", "ReleaseCapture", "SetCursor 204", "ShowFileDialog save
    // <title>", "ChooseColor", "ShowDialog 213 <title>", "MessageBox
    // <caption>: <text>", "ChoosePrinter dialog|default", "EmptyClipboard",
    // "SetClipboardData <format> <size>", "FlushClipboard", "OpenUrl <url>
    // <target>"; GetClientSize and GetTime are not recorded.
    const std::vector<std::string>& Calls() const { return mCalls; }
    void ClearCalls() { mCalls.clear(); }

    // Answers for the next dialogs, in order; std::nullopt cancels.
    void QueueFileDialog(std::optional<std::wstring> path);
    void QueueColor(std::optional<COLORREF> color);
    // The fields are written into the dialog's bag before it is accepted.
    void QueueDialog(std::optional<std::vector<std::pair<std::wstring, CVariant>>> fields);
    void QueueMessageBoxAnswer(LONG answer);
    void QueuePrinter(std::optional<std::wstring> printer);

    // Moves the clock forward, firing every timer that falls due on the way
    // at its due time, in order.
    void Advance(std::chrono::milliseconds step);
    bool HasTimer(UINT id) const { return mTimers.count(id) != 0; }

    void SetClientSize(SIZE size) { mSize = size; }
    bool HasCapture() const { return mCapture; }
    UINT Cursor() const { return mCursor; }
    const std::map<std::u16string, std::vector<BYTE>>& Clipboard() const { return mClipboard; }
    bool ClipboardFlushed() const { return mFlushed; }

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

protected:
    explicit CScriptedHost(SIZE size);

private:
    template <class T, class... Args>
    friend ComPtr<T> MakeObject(Args&&... args);

    struct Timer {
        std::chrono::milliseconds interval;
        std::chrono::system_clock::time_point due;
        ComPtr<IVexoTimerSink> sink;
    };

    std::shared_ptr<std::chrono::system_clock::time_point> mNow;
    SIZE mSize;
    std::vector<std::string> mCalls;
    std::map<UINT, Timer> mTimers;
    bool mCapture = false;
    UINT mCursor = HOST_CURSOR_ARROW;
    std::deque<std::optional<std::wstring>> mFileAnswers;
    std::deque<std::optional<COLORREF>> mColorAnswers;
    std::deque<std::optional<std::vector<std::pair<std::wstring, CVariant>>>> mDialogAnswers;
    std::deque<LONG> mMessageBoxAnswers;
    std::deque<std::optional<std::wstring>> mPrinterAnswers;
    std::map<std::u16string, std::vector<BYTE>> mClipboard;
    bool mFlushed = false;
};
