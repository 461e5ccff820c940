#include "platform/com/NullHost.h"
#include "platform/com/PropertyBag.h"
#include "platform/com/ScriptedHost.h"
#include "platform/time/Clock.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// Counts ticks and can act on the host from inside one.
class TickCounter : public TObject<IVexoTimerSink> {
public:
    std::vector<std::pair<UINT, ULONGLONG>> ticks;
    std::function<void(UINT)> onTick;
    IVexoHostServices* host = nullptr;

    HRESULT OnTimer(UINT id) override
    {
        ULONGLONG now = 0;
        host->GetTime(&now);
        ticks.emplace_back(id, now);
        if (onTick)
            onTick(id);
        return S_OK;
    }
};

constexpr ULONGLONG kStartMs = 1704067200000ull; // the scripted clock's start

TEST(NullHost, IgnoresWindowRequestsAndCancelsDialogs)
{
    auto host = CNullHost::Create(SIZE{800, 600});
    SIZE size{};
    ASSERT_EQ(host->GetClientSize(&size), S_OK);
    EXPECT_EQ(size.cx, 800);
    EXPECT_EQ(size.cy, 600);
    EXPECT_EQ(host->Invalidate(nullptr, 1), S_OK);
    auto sink = MakeObject<TickCounter>();
    EXPECT_EQ(host->SetTimer(1, 30, sink.Get()), E_NOTIMPL);
    BSTR path = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(host->ShowFileDialog(1, u"Save", u"PNG (*.png)|*.png||", u"png", &path), S_FALSE);
    EXPECT_EQ(path, nullptr);
    COLORREF color = RGB(1, 2, 3);
    EXPECT_EQ(host->ChooseColor(&color), S_FALSE);
    EXPECT_EQ(color, RGB(1, 2, 3));
    BSTR printer = nullptr;
    EXPECT_EQ(host->ChoosePrinter(0, &printer), S_FALSE);
    EXPECT_EQ(host->SetClipboardData(u"x", nullptr, 0), E_NOTIMPL);
    EXPECT_EQ(host->GetClientSize(nullptr), E_POINTER);
}

TEST(NullHost, WritesMessageBoxesToStandardError)
{
    auto host = CNullHost::Create();
    LONG answer = 0;
    testing::internal::CaptureStderr();
    ASSERT_EQ(host->MessageBox(u"Invalid filename extension", u"Orbiscope", MB_OK, &answer), S_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Orbiscope: Invalid filename extension\n");
    EXPECT_EQ(answer, IDOK);
}

TEST(NullHost, TellsTheTimeOfTheSystemClock)
{
    lumo::SetClock([] { return std::chrono::system_clock::time_point(std::chrono::milliseconds(1234567)); });
    auto host = CNullHost::Create();
    ULONGLONG now = 0;
    ASSERT_EQ(host->GetTime(&now), S_OK);
    lumo::SetClock({});
    EXPECT_EQ(now, 1234567u);
}

TEST(ScriptedHost, TimersTickAtTheirDueTimesAsTheClockAdvances)
{
    auto host = CScriptedHost::Create();
    auto sink = MakeObject<TickCounter>();
    sink->host = host.Get();
    ASSERT_EQ(host->SetTimer(1, 30, sink.Get()), S_OK);
    ASSERT_EQ(host->SetTimer(2, 50, sink.Get()), S_OK);
    host->Advance(29ms);
    EXPECT_TRUE(sink->ticks.empty());
    host->Advance(71ms); // to 100 ms
    std::vector<std::pair<UINT, ULONGLONG>> expected = {
        {1, kStartMs + 30}, {2, kStartMs + 50}, {1, kStartMs + 60}, {1, kStartMs + 90}, {2, kStartMs + 100}};
    EXPECT_EQ(sink->ticks, expected);
    ULONGLONG now = 0;
    ASSERT_EQ(host->GetTime(&now), S_OK);
    EXPECT_EQ(now, kStartMs + 100);
    EXPECT_EQ(lumo::Now(), std::chrono::system_clock::time_point(std::chrono::milliseconds(kStartMs + 100)))
        << "the system's one clock moved with it";
}

TEST(ScriptedHost, ATickMayKillOrRestartTimers)
{
    auto host = CScriptedHost::Create();
    auto sink = MakeObject<TickCounter>();
    sink->host = host.Get();
    sink->onTick = [&](UINT id) {
        if (id == 1)
            host->KillTimer(2); // due at the same moment, after this one
        if (id == 3)
            host->SetTimer(3, 100, sink.Get()); // slower from now on
    };
    ASSERT_EQ(host->SetTimer(1, 10, sink.Get()), S_OK);
    ASSERT_EQ(host->SetTimer(2, 10, sink.Get()), S_OK);
    ASSERT_EQ(host->SetTimer(3, 5, sink.Get()), S_OK);
    host->Advance(10ms);
    host->KillTimer(1);
    host->Advance(200ms);
    std::vector<std::pair<UINT, ULONGLONG>> expected = {
        {3, kStartMs + 5}, {1, kStartMs + 10}, {3, kStartMs + 105}, {3, kStartMs + 205}};
    EXPECT_EQ(sink->ticks, expected);
    EXPECT_FALSE(host->HasTimer(2));
    EXPECT_EQ(host->KillTimer(2), S_FALSE);
}

TEST(ScriptedHost, DestroyingItGivesBackTheRealClock)
{
    {
        auto host = CScriptedHost::Create();
        EXPECT_EQ(lumo::Now(), std::chrono::system_clock::time_point(std::chrono::milliseconds(kStartMs)));
    }
    auto drift = std::chrono::system_clock::now() - lumo::Now();
    EXPECT_LT(std::chrono::abs(drift), std::chrono::hours(1));
}

TEST(ScriptedHost, RecordsRequestsAndAnswersDialogsFromItsQueue)
{
    auto host = CScriptedHost::Create(SIZE{320, 200});
    RECT r{1, 2, 30, 40};
    host->Invalidate(nullptr, 1);
    host->Invalidate(&r, 0);
    host->SetCapture();
    host->SetCursor(204);
    host->ReleaseCapture();
    host->OpenUrl(u"http://example.com/a", u"_blank");
    EXPECT_EQ(host->Cursor(), 204u);
    EXPECT_FALSE(host->HasCapture());

    host->QueueFileDialog(std::wstring(L"/tmp/out.png"));
    host->QueueFileDialog(std::nullopt);
    CBstr path;
    EXPECT_EQ(host->ShowFileDialog(1, u"Save As", u"", u"png", path.Put()), S_OK);
    EXPECT_EQ(path.ToWide(), L"/tmp/out.png");
    EXPECT_EQ(host->ShowFileDialog(1, u"Save As", u"", u"png", path.Put()), S_FALSE);
    EXPECT_EQ(host->ShowFileDialog(1, u"Save As", u"", u"png", path.Put()), S_FALSE) << "nothing queued";

    host->QueueMessageBoxAnswer(IDNO);
    LONG answer = 0;
    host->MessageBox(u"Replace?", u"Orbiscope", MB_YESNO, &answer);
    EXPECT_EQ(answer, IDNO);
    host->MessageBox(u"Done", u"Orbiscope", MB_OK, &answer);
    EXPECT_EQ(answer, IDOK);

    std::vector<std::string> expected = {"Invalidate",
                                         "Invalidate 1 2 30 40",
                                         "SetCapture",
                                         "SetCursor 204",
                                         "ReleaseCapture",
                                         "OpenUrl http://example.com/a _blank",
                                         "ShowFileDialog save Save As",
                                         "ShowFileDialog save Save As",
                                         "ShowFileDialog save Save As",
                                         "MessageBox Orbiscope: Replace?",
                                         "MessageBox Orbiscope: Done"};
    EXPECT_EQ(host->Calls(), expected);
}

TEST(ScriptedHost, AcceptedDialogsWriteTheirFieldsIntoTheBag)
{
    auto host = CScriptedHost::Create();
    auto fields = CPropertyBag::Create();
    CVariant initial(u"first");
    ASSERT_EQ(fields->Write(u"Text", &initial), S_OK);
    host->QueueDialog(std::vector<std::pair<std::wstring, CVariant>>{{L"Text", CVariant(u"edited")},
                                                                    {L"Bold", CVariant(true)}});
    host->QueueDialog(std::nullopt);
    ASSERT_EQ(host->ShowDialog(228, u"Text annotation", fields.Get()), S_OK);
    CVariant text, bold;
    ASSERT_EQ(fields->Read(u"Text", &text, nullptr), S_OK);
    EXPECT_EQ(text.ToWide(), L"edited");
    ASSERT_EQ(fields->Read(u"Bold", &bold, nullptr), S_OK);
    EXPECT_EQ(bold.boolVal, VARIANT_TRUE);
    EXPECT_EQ(host->ShowDialog(228, u"Text annotation", fields.Get()), S_FALSE);

    host->QueueColor(RGB(10, 20, 30));
    COLORREF color = 0;
    EXPECT_EQ(host->ChooseColor(&color), S_OK);
    EXPECT_EQ(color, RGB(10, 20, 30));
    host->QueuePrinter(std::wstring(L"Office"));
    CBstr printer;
    EXPECT_EQ(host->ChoosePrinter(1, printer.Put()), S_OK);
    EXPECT_EQ(printer.ToWide(), L"Office");
    EXPECT_EQ(host->ChoosePrinter(0, printer.Put()), S_FALSE);
}

TEST(ScriptedHost, KeepsClipboardDataByFormat)
{
    auto host = CScriptedHost::Create();
    const BYTE native[] = {1, 2, 3};
    ASSERT_EQ(host->EmptyClipboard(), S_OK);
    ASSERT_EQ(host->SetClipboardData(u"Embedded Object", native, 3), S_OK);
    ASSERT_EQ(host->FlushClipboard(), S_OK);
    ASSERT_EQ(host->Clipboard().size(), 1u);
    EXPECT_EQ(host->Clipboard().at(u"Embedded Object"), std::vector<BYTE>({1, 2, 3}));
    EXPECT_TRUE(host->ClipboardFlushed());
    EXPECT_EQ(host->SetClipboardData(nullptr, native, 3), E_POINTER);
}

} // namespace
