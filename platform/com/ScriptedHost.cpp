#include "platform/com/ScriptedHost.h"

#include "platform/com/Bstr.h"
#include "platform/com/NullHost.h"
#include "platform/com/Utf16.h"
#include "platform/time/Clock.h"

namespace {

std::string Text(LPCOLESTR text) { return text ? lumo::Utf16ToUtf8(text) : std::string(); }

// 2024-01-01 00:00:00 UTC.
constexpr std::chrono::seconds kStart{1704067200};

} // namespace

ComPtr<CScriptedHost> CScriptedHost::Create(SIZE clientSize) { return MakeObject<CScriptedHost>(clientSize); }

CScriptedHost::CScriptedHost(SIZE size)
    : mNow(std::make_shared<std::chrono::system_clock::time_point>(kStart)), mSize(size)
{
    auto now = mNow; // the clock may outlive this host until it is replaced
    lumo::SetClock([now] { return *now; });
}

CScriptedHost::~CScriptedHost()
{
    lumo::SetClock({});
}

void CScriptedHost::QueueFileDialog(std::optional<std::wstring> path) { mFileAnswers.push_back(std::move(path)); }
void CScriptedHost::QueueColor(std::optional<COLORREF> color) { mColorAnswers.push_back(color); }
void CScriptedHost::QueueDialog(std::optional<std::vector<std::pair<std::wstring, CVariant>>> fields)
{
    mDialogAnswers.push_back(std::move(fields));
}
void CScriptedHost::QueueMessageBoxAnswer(LONG answer) { mMessageBoxAnswers.push_back(answer); }
void CScriptedHost::QueuePrinter(std::optional<std::wstring> printer) { mPrinterAnswers.push_back(std::move(printer)); }

void CScriptedHost::Advance(std::chrono::milliseconds step)
{
    // Whatever a tick does (even releasing this host) the host lives on
    // until the step is done.
    ComPtr<CScriptedHost> keep(this);
    const auto target = *mNow + step;
    for (;;) {
        auto next = mTimers.end();
        for (auto it = mTimers.begin(); it != mTimers.end(); ++it)
            if (it->second.due <= target && (next == mTimers.end() || it->second.due < next->second.due))
                next = it;
        if (next == mTimers.end())
            break;
        UINT id = next->first;
        Timer tick = next->second;
        *mNow = tick.due;
        // Due again one interval later, unless the tick kills or restarts it.
        next->second.due += tick.interval;
        tick.sink->OnTimer(id);
    }
    *mNow = target;
}

HRESULT CScriptedHost::Invalidate(const RECT* rect, BOOL)
{
    if (rect)
        mCalls.push_back("Invalidate " + std::to_string(rect->left) + " " + std::to_string(rect->top) + " " +
                         std::to_string(rect->right) + " " + std::to_string(rect->bottom));
    else
        mCalls.push_back("Invalidate");
    return S_OK;
}

HRESULT CScriptedHost::GetClientSize(SIZE* size)
{
    if (!size)
        return E_POINTER;
    *size = mSize;
    return S_OK;
}

HRESULT CScriptedHost::SetTimer(UINT id, UINT interval, IVexoTimerSink* sink)
{
    if (!sink)
        return E_POINTER;
    mCalls.push_back("SetTimer " + std::to_string(id) + " " + std::to_string(interval));
    // An interval of 0 ticks every millisecond rather than forever at once.
    std::chrono::milliseconds every(interval ? interval : 1);
    mTimers[id] = Timer{every, *mNow + every, ComPtr<IVexoTimerSink>(sink)};
    return S_OK;
}

HRESULT CScriptedHost::KillTimer(UINT id)
{
    mCalls.push_back("KillTimer " + std::to_string(id));
    ComPtr<IVexoTimerSink> released;
    auto it = mTimers.find(id);
    if (it == mTimers.end())
        return S_FALSE;
    released = std::move(it->second.sink);
    mTimers.erase(it);
    return S_OK;
}

HRESULT CScriptedHost::SetCapture()
{
    mCalls.push_back("SetCapture");
    mCapture = true;
    return S_OK;
}

HRESULT CScriptedHost::ReleaseCapture()
{
    mCalls.push_back("ReleaseCapture");
    mCapture = false;
    return S_OK;
}

HRESULT CScriptedHost::SetCursor(UINT cursor)
{
    mCalls.push_back("SetCursor " + std::to_string(cursor));
    mCursor = cursor;
    return S_OK;
}

HRESULT CScriptedHost::GetTime(ULONGLONG* milliseconds)
{
    if (!milliseconds)
        return E_POINTER;
    *milliseconds = lumo::ClockMilliseconds();
    return S_OK;
}

HRESULT CScriptedHost::ShowFileDialog(BOOL save, LPCOLESTR title, LPCOLESTR, LPCOLESTR, BSTR* path)
{
    if (!path)
        return E_POINTER;
    *path = nullptr;
    mCalls.push_back(std::string("ShowFileDialog ") + (save ? "save " : "open ") + Text(title));
    if (mFileAnswers.empty())
        return S_FALSE;
    std::optional<std::wstring> answer = std::move(mFileAnswers.front());
    mFileAnswers.pop_front();
    if (!answer)
        return S_FALSE;
    *path = CBstr(std::wstring_view(*answer)).Detach();
    return S_OK;
}

HRESULT CScriptedHost::ChooseColor(COLORREF* color)
{
    if (!color)
        return E_POINTER;
    mCalls.push_back("ChooseColor");
    if (mColorAnswers.empty())
        return S_FALSE;
    std::optional<COLORREF> answer = mColorAnswers.front();
    mColorAnswers.pop_front();
    if (!answer)
        return S_FALSE;
    *color = *answer;
    return S_OK;
}

HRESULT CScriptedHost::ShowDialog(LONG dialogId, LPCOLESTR title, IPropertyBag* fields)
{
    mCalls.push_back("ShowDialog " + std::to_string(dialogId) + " " + Text(title));
    if (mDialogAnswers.empty())
        return S_FALSE;
    auto answer = std::move(mDialogAnswers.front());
    mDialogAnswers.pop_front();
    if (!answer)
        return S_FALSE;
    if (fields)
        for (auto& [name, value] : *answer) {
            std::u16string key = lumo::ToUtf16(name);
            HRESULT hr = fields->Write(key.c_str(), &value);
            if (FAILED(hr))
                return hr;
        }
    return S_OK;
}

HRESULT CScriptedHost::MessageBox(LPCOLESTR text, LPCOLESTR caption, UINT, LONG* result)
{
    mCalls.push_back("MessageBox " + Text(caption) + ": " + Text(text));
    LONG answer = IDOK;
    if (!mMessageBoxAnswers.empty()) {
        answer = mMessageBoxAnswers.front();
        mMessageBoxAnswers.pop_front();
    }
    if (result)
        *result = answer;
    return S_OK;
}

HRESULT CScriptedHost::ChoosePrinter(BOOL showDialog, BSTR* printer)
{
    if (!printer)
        return E_POINTER;
    *printer = nullptr;
    mCalls.push_back(std::string("ChoosePrinter ") + (showDialog ? "dialog" : "default"));
    if (mPrinterAnswers.empty())
        return S_FALSE;
    std::optional<std::wstring> answer = std::move(mPrinterAnswers.front());
    mPrinterAnswers.pop_front();
    if (!answer)
        return S_FALSE;
    *printer = CBstr(std::wstring_view(*answer)).Detach();
    return S_OK;
}

HRESULT CScriptedHost::EmptyClipboard()
{
    mCalls.push_back("EmptyClipboard");
    mClipboard.clear();
    mFlushed = false;
    return S_OK;
}

HRESULT CScriptedHost::SetClipboardData(LPCOLESTR format, const BYTE* data, ULONG size)
{
    if (!format || (!data && size))
        return E_POINTER;
    mCalls.push_back("SetClipboardData " + Text(format) + " " + std::to_string(size));
    mClipboard[format] = std::vector<BYTE>(data, data + size);
    return S_OK;
}

HRESULT CScriptedHost::FlushClipboard()
{
    mCalls.push_back("FlushClipboard");
    mFlushed = true;
    return S_OK;
}

HRESULT CScriptedHost::OpenUrl(LPCOLESTR url, LPCOLESTR target)
{
    mCalls.push_back("OpenUrl " + Text(url) + " " + Text(target));
    return S_OK;
}
