#include "platform/com/Bstr.h"
#include "platform/com/FileStream.h"
#include "platform/com/FolderStorage.h"
#include "platform/com/Guid.h"
#include "platform/com/MemoryStream.h"
#include "platform/com/PropExchange.h"
#include "platform/com/PropertyBag.h"
#include "platform/com/Utf16.h"
#include "tests/platform/ComTestSupport.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

LARGE_INTEGER Offset(LONGLONG v) { return LARGE_INTEGER{v}; }

std::string Contents(const CMemoryStream& s) { return std::string(s.Bytes().begin(), s.Bytes().end()); }

TEST(MemoryStream, ReadsWritesSeeksAndResizes)
{
    auto s = CMemoryStream::Create();
    ULONG n = 0;
    ASSERT_EQ(s->Write("hello", 5, &n), S_OK);
    EXPECT_EQ(n, 5u);
    ULARGE_INTEGER pos{};
    ASSERT_EQ(s->Seek(Offset(1), STREAM_SEEK_SET, &pos), S_OK);
    char buffer[8] = {};
    EXPECT_EQ(s->Read(buffer, 8, &n), S_FALSE) << "fewer bytes than asked";
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::string(buffer, 4), "ello");
    ASSERT_EQ(s->Seek(Offset(2), STREAM_SEEK_END, &pos), S_OK);
    EXPECT_EQ(pos.QuadPart, 7u);
    ASSERT_EQ(s->Write("!", 1, nullptr), S_OK);
    EXPECT_EQ(Contents(*s), std::string("hello\0\0!", 8)) << "a gap reads as zeros";
    EXPECT_EQ(s->Seek(Offset(-9), STREAM_SEEK_CUR, &pos), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->Seek(Offset(0), 7, &pos), STG_E_INVALIDFUNCTION);
    ASSERT_EQ(s->SetSize(ULARGE_INTEGER{2}), S_OK);
    EXPECT_EQ(Contents(*s), "he");
    STATSTG stat;
    ASSERT_EQ(s->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 2u);
    EXPECT_EQ(s->Read(nullptr, 1, &n), STG_E_INVALIDPOINTER);
}

TEST(MemoryStream, RefusesToGrowPastItsBound)
{
    auto s = CMemoryStream::Create();
    EXPECT_EQ(s->SetSize(ULARGE_INTEGER{kMaxMemoryStreamBytes + 1}), STG_E_MEDIUMFULL);
    ASSERT_EQ(s->Seek(Offset(LONGLONG(kMaxMemoryStreamBytes)), STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(s->Write("x", 1, nullptr), STG_E_MEDIUMFULL);
    EXPECT_EQ(s->Bytes().size(), 0u);
}

TEST(MemoryStream, CopiesIntoAnotherStream)
{
    auto from = CMemoryStream::Create("abcdef");
    auto to = CMemoryStream::Create();
    ULARGE_INTEGER read{}, written{};
    ASSERT_EQ(from->CopyTo(to.Get(), ULARGE_INTEGER{4}, &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, 4u);
    EXPECT_EQ(written.QuadPart, 4u);
    EXPECT_EQ(Contents(*to), "abcd");
}

TEST(FileStream, ACreatedFileAppearsOnlyWhenCommitted)
{
    CTempFolder folder;
    const std::string path = folder / "out.bin";
    WriteFile(path, "old");
    {
        ComPtr<CFileStream> s;
        ASSERT_EQ(CFileStream::Create(path, &s), S_OK);
        ASSERT_EQ(s->Write("new content", 11, nullptr), S_OK);
        EXPECT_EQ(ReadFile(path), "old");
    } // released without Commit
    EXPECT_EQ(ReadFile(path), "old");
    ComPtr<CFileStream> s;
    ASSERT_EQ(CFileStream::Create(path, &s), S_OK);
    ASSERT_EQ(s->Write("new content", 11, nullptr), S_OK);
    ASSERT_EQ(s->Commit(0), S_OK);
    EXPECT_EQ(ReadFile(path), "new content");
    EXPECT_EQ(s->Write("x", 1, nullptr), STG_E_ACCESSDENIED) << "committed streams are read-only";
    ASSERT_EQ(s->Seek(Offset(4), STREAM_SEEK_SET, nullptr), S_OK);
    char buffer[7];
    ULONG n = 0;
    ASSERT_EQ(s->Read(buffer, 7, &n), S_OK);
    EXPECT_EQ(std::string(buffer, 7), "content");
    s = nullptr;
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file is left";
}

TEST(FileStream, RevertDropsWhatWasWritten)
{
    CTempFolder folder;
    ComPtr<CFileStream> s;
    ASSERT_EQ(CFileStream::Create(folder / "f", &s), S_OK);
    ASSERT_EQ(s->Write("abc", 3, nullptr), S_OK);
    ASSERT_EQ(s->Revert(), S_OK);
    ASSERT_EQ(s->Write("z", 1, nullptr), S_OK);
    ASSERT_EQ(s->Commit(0), S_OK);
    EXPECT_EQ(ReadFile(folder / "f"), "z");
}

TEST(FileStream, OpensOnlyRegularFilesAndNeverThroughALink)
{
    CTempFolder folder;
    WriteFile(folder / "real", "data");
    fs::create_symlink(folder / "real", folder / "link");
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    ComPtr<CFileStream> s;
    EXPECT_EQ(CFileStream::Open(folder / "missing", &s), STG_E_FILENOTFOUND);
    EXPECT_EQ(CFileStream::Open(folder / "link", &s), STG_E_INVALIDNAME);
    EXPECT_EQ(CFileStream::Open(folder / "fifo", &s), STG_E_INVALIDNAME);
    EXPECT_EQ(CFileStream::Open(folder.Path(), &s), STG_E_INVALIDNAME);
    ASSERT_EQ(CFileStream::Open(folder / "real", &s), S_OK);
    EXPECT_EQ(s->Write("x", 1, nullptr), STG_E_ACCESSDENIED);
    EXPECT_EQ(s->SetSize(ULARGE_INTEGER{0}), STG_E_ACCESSDENIED);
    STATSTG stat;
    ASSERT_EQ(s->Stat(&stat, STATFLAG_DEFAULT), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 4u);
    EXPECT_EQ(std::u16string(stat.pwcsName), u"real");
    CoTaskMemFree(stat.pwcsName);
}

TEST(FolderStorage, StreamsReachTheFolderWhenTheStorageCommits)
{
    CTempFolder root;
    ComPtr<IStorage> storage;
    ASSERT_EQ(CFolderStorage::Open(root / "doc", STGM_CREATE, &storage), S_OK);
    ComPtr<IStream> contents;
    ASSERT_EQ(storage->CreateStream(u"Contents", STGM_READWRITE, 0, 0, contents.Put()), S_OK);
    ASSERT_EQ(contents->Write("state", 5, nullptr), S_OK);
    contents = nullptr; // containers release the stream before committing
    EXPECT_FALSE(fs::exists(root / "doc/Contents"));
    ASSERT_EQ(storage->Commit(0), S_OK);
    EXPECT_EQ(ReadFile(root / "doc/Contents"), "state");
    ComPtr<IStream> reader;
    ASSERT_EQ(storage->OpenStream(u"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, reader.Put()), S_OK);
    char buffer[5];
    ASSERT_EQ(reader->Read(buffer, 5, nullptr), S_OK);
    EXPECT_EQ(std::string(buffer, 5), "state");
}

TEST(FolderStorage, UncommittedAndRevertedStreamsLeaveTheFolderAlone)
{
    CTempFolder root;
    WriteFile(root / "Contents", "kept");
    {
        ComPtr<IStorage> storage;
        ASSERT_EQ(CFolderStorage::Open(root.Path(), 0, &storage), S_OK);
        ComPtr<IStream> s;
        ASSERT_EQ(storage->CreateStream(u"Contents", STGM_CREATE | STGM_WRITE, 0, 0, s.Put()), S_OK);
        ASSERT_EQ(s->Write("lost", 4, nullptr), S_OK);
        ASSERT_EQ(storage->Revert(), S_OK);
        ASSERT_EQ(storage->Commit(0), S_OK);
        ComPtr<IStream> t;
        ASSERT_EQ(storage->CreateStream(u"Other", STGM_WRITE, 0, 0, t.Put()), S_OK);
    } // released without Commit
    EXPECT_EQ(ReadFile(root / "Contents"), "kept");
    EXPECT_FALSE(fs::exists(root / "Other"));
}

TEST(FolderStorage, NamesAndModesAreChecked)
{
    CTempFolder root;
    ComPtr<IStorage> storage;
    ASSERT_EQ(CFolderStorage::Open(root.Path(), 0, &storage), S_OK);
    ComPtr<IStream> s;
    for (const char16_t* bad : {u"", u".hidden", u"a/b", u"a\\b", u"x:y", u"bang!", u"tab\there", u"..",
                                u"12345678901234567890123456789012"})
        EXPECT_EQ(storage->CreateStream(bad, STGM_WRITE, 0, 0, s.Put()), STG_E_INVALIDNAME);
    EXPECT_EQ(storage->CreateStream(u"1234567890123456789012345678901", STGM_WRITE, 0, 0, s.Put()), S_OK);
    ASSERT_EQ(storage->Commit(0), S_OK);
    EXPECT_EQ(storage->CreateStream(u"1234567890123456789012345678901", STGM_WRITE, 0, 0, s.Put()),
              STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(storage->OpenStream(u"1234567890123456789012345678901", nullptr, STGM_READWRITE, 0, s.Put()),
              STG_E_INVALIDFLAG);
    EXPECT_EQ(storage->OpenStream(u"Missing", nullptr, STGM_READ, 0, s.Put()), STG_E_FILENOTFOUND);
    EXPECT_EQ(storage->CreateStorage(u"Sub", STGM_CREATE, 0, 0, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(storage->CreateStream(u"x", STGM_WRITE, 0, 0, nullptr), STG_E_INVALIDPOINTER);
}

TEST(FolderStorage, RenamesDestroysAndKeepsItsClass)
{
    CTempFolder root;
    WriteFile(root / "a", "1");
    WriteFile(root / "b", "2");
    ComPtr<IStorage> storage;
    ASSERT_EQ(CFolderStorage::Open(root.Path(), 0, &storage), S_OK);
    EXPECT_EQ(storage->RenameElement(u"a", u"b"), STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(storage->RenameElement(u"a", u"c"), S_OK);
    EXPECT_EQ(ReadFile(root / "c"), "1");
    EXPECT_EQ(storage->DestroyElement(u"b"), S_OK);
    EXPECT_EQ(storage->DestroyElement(u"b"), STG_E_FILENOTFOUND);
    const CLSID clsid = {0xD13E15EA, 0x8752, 0x4E11, {0x9F, 0xFB, 0xEB, 0x39, 0x07, 0x60, 0xAC, 0xA0}};
    ASSERT_EQ(storage->SetClass(clsid), S_OK);
    STATSTG stat;
    ASSERT_EQ(storage->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.clsid, clsid);
    EXPECT_EQ(stat.type, STGTY_STORAGE);
}

TEST(FolderStorage, ALinkedFolderIsRefused)
{
    CTempFolder root;
    fs::create_directory(root / "real");
    fs::create_symlink(root / "real", root / "link");
    ComPtr<IStorage> storage;
    EXPECT_EQ(CFolderStorage::Open(root / "link", 0, &storage), STG_E_INVALIDNAME);
    EXPECT_EQ(CFolderStorage::Open(root / "none", 0, &storage), STG_E_FILENOTFOUND);
}

TEST(PropertyBag, ReadsValuesAsStoredOrConvertedAndReportsMissingOnes)
{
    auto bag = CPropertyBag::Create();
    CVariant value(u"42");
    ASSERT_EQ(bag->Write(u"Answer", &value), S_OK);
    VARIANT read;
    VariantInit(&read);
    read.vt = VT_I4;
    ASSERT_EQ(bag->Read(u"ANSWER", &read, nullptr), S_OK) << "names ignore case";
    EXPECT_EQ(read.vt, VT_I4);
    EXPECT_EQ(read.lVal, 42);
    CVariant asStored;
    ASSERT_EQ(bag->Read(u"answer", &asStored, nullptr), S_OK);
    EXPECT_EQ(asStored.vt, VT_BSTR);
    VARIANT missing;
    VariantInit(&missing);
    EXPECT_EQ(bag->Read(u"Question", &missing, nullptr), E_INVALIDARG);
    CVariant word(u"many");
    ASSERT_EQ(bag->Write(u"Count", &word), S_OK);
    VARIANT count;
    VariantInit(&count);
    count.vt = VT_I2;
    EXPECT_EQ(bag->Read(u"Count", &count, nullptr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bag->Write(u"a:b", &value), E_INVALIDARG);
    EXPECT_EQ(bag->Write(u"#comment", &value), E_INVALIDARG);
    EXPECT_EQ(bag->Write(std::u16string(256, u'n').c_str(), &value), E_INVALIDARG);
    EXPECT_EQ(bag->Write(std::u16string(255, u'n').c_str(), &value), S_OK);
    CVariant object(static_cast<IUnknown*>(bag->Identity()));
    EXPECT_EQ(bag->Write(u"Object", &object), DISP_E_BADVARTYPE);
}

class RecordingLog : public TObject<IErrorLog> {
public:
    std::vector<std::pair<std::u16string, SCODE>> errors;
    HRESULT AddError(LPCOLESTR property, EXCEPINFO* error) override
    {
        errors.emplace_back(property, error->scode);
        return S_OK;
    }
};

TEST(PropertyBag, ReportsReadErrorsToTheLog)
{
    auto bag = CPropertyBag::Create();
    auto log = MakeObject<RecordingLog>();
    CVariant value;
    EXPECT_EQ(bag->Read(u"Nothing", &value, log.Get()), E_INVALIDARG);
    ASSERT_EQ(log->errors.size(), 1u);
    EXPECT_EQ(log->errors[0].first, u"Nothing");
    EXPECT_EQ(log->errors[0].second, E_INVALIDARG);
}

TEST(PropertyBag, EveryTypeRoundTripsThroughTheTextFile)
{
    CTempFolder folder;
    auto bag = CPropertyBag::Create();
    std::u16string tricky = u"tab\tline\nback\\slash \u00E9\U0001F600 lone\xD800" u"end";
    std::vector<std::pair<std::u16string, CVariant>> values = {
        {u"empty", CVariant()},
        {u"null", CVariant::Null()},
        {u"bool", CVariant(true)},
        {u"i1", [] { CVariant v; v.vt = VT_I1; v.cVal = -128; return v; }()},
        {u"ui1", CVariant::Byte(255)},
        {u"i2", CVariant(SHORT(-32768))},
        {u"ui2", CVariant::UShort(65535)},
        {u"i4", CVariant(LONG(-2147483647 - 1))},
        {u"ui4", CVariant(ULONG(4294967295u))},
        {u"i8", CVariant(LONGLONG(-9007199254740993))},
        {u"ui8", CVariant(ULONGLONG(18446744073709551615ull))},
        {u"r4", CVariant(0.1f)},
        {u"r8", CVariant(0.1 + 0.2)},
        {u"date", CVariant::Date(45352.75)},
        {u"error", CVariant::Error(E_FAIL)},
        {u"str", CVariant(std::u16string_view(tricky))},
        {u"blank", CVariant(u"")},
        {u"Caf\u00E9 name", CVariant(LONG(1))},
    };
    for (auto& [name, value] : values)
        ASSERT_EQ(bag->Write(name.c_str(), &value), S_OK) << lumo::Utf16ToUtf8(name);
    ASSERT_EQ(bag->Save(folder / "bag.txt"), S_OK);
    auto loaded = CPropertyBag::Create();
    ASSERT_EQ(loaded->Load(folder / "bag.txt"), S_OK);
    ASSERT_EQ(loaded->Count(), values.size());
    for (auto& [name, value] : values) {
        CVariant back;
        ASSERT_EQ(loaded->Read(name.c_str(), &back, nullptr), S_OK) << lumo::Utf16ToUtf8(name);
        ASSERT_EQ(back.vt, value.vt) << lumo::Utf16ToUtf8(name);
        if (value.vt == VT_BSTR)
            EXPECT_EQ(std::u16string(back.bstrVal, SysStringLen(back.bstrVal)),
                      std::u16string(value.bstrVal, SysStringLen(value.bstrVal)));
        else
            EXPECT_EQ(back.ullVal, value.ullVal) << lumo::Utf16ToUtf8(name) << " keeps every bit";
    }
    EXPECT_NE(ReadFile(folder / "bag.txt").find("str:str=tab\\tline\\nback\\\\slash"), std::string::npos);
}

TEST(PropertyBag, BrokenFilesAreRefusedAndLeaveTheBagAsItWas)
{
    auto bag = CPropertyBag::Create();
    CVariant value(LONG(1));
    ASSERT_EQ(bag->Write(u"Kept", &value), S_OK);
    const std::string header = "# vexoworks property bag 1\n";
    EXPECT_EQ(bag->ParseText("Kept:i4=2\n"), STG_E_INVALIDHEADER);
    EXPECT_EQ(bag->ParseText(""), STG_E_INVALIDHEADER);
    for (const char* line : {"Kept:i4\n", "Kept=1\n", "Kept:i9=1\n", "Kept:i2=70000\n", "Kept:bool=yes\n",
                             "Kept:i4=1 \n", "Kept:str=bad\\q\n", "Kept:str=\\u12\n", "Kept:str=\xC0\xAF\n",
                             "Kept:str=\xED\xA0\x80\n", "Kept:empty=x\n", "A:i4=1\na:i4=2\n", ":i4=1\n"})
        EXPECT_EQ(bag->ParseText(header + line), STG_E_DOCFILECORRUPT) << line;
    EXPECT_EQ(bag->Count(), 1u);
    VARIANT kept;
    VariantInit(&kept);
    ASSERT_EQ(bag->Read(u"Kept", &kept, nullptr), S_OK);
    EXPECT_EQ(kept.lVal, 1);
    EXPECT_EQ(bag->ParseText(header + "# note\r\n\r\nKept:i4=3\r\n"), S_OK);
    EXPECT_EQ(bag->Count(), 1u);
}

TEST(PropertyBag, FileSizeAndValueCountAreBounded)
{
    CTempFolder folder;
    auto bag = CPropertyBag::Create();
    EXPECT_EQ(bag->Load(folder / "missing"), STG_E_FILENOTFOUND);
    WriteFile(folder / "huge", "");
    ASSERT_EQ(truncate((folder / "huge").c_str(), off_t(kMaxPropertyBagFileBytes) + 1), 0); // sparse
    EXPECT_EQ(bag->Load(folder / "huge"), STG_E_MEDIUMFULL);
    std::string text = "# vexoworks property bag 1\n";
    for (std::size_t i = 0; i < kMaxPropertyBagValues; ++i)
        text += "v" + std::to_string(i) + ":bool=true\n";
    EXPECT_EQ(bag->ParseText(text), S_OK);
    EXPECT_EQ(bag->Count(), kMaxPropertyBagValues);
    EXPECT_EQ(bag->ParseText(text + "one:bool=true\n"), STG_E_MEDIUMFULL);
    CVariant value(true);
    EXPECT_EQ(bag->Write(u"one", &value), STG_E_MEDIUMFULL);
}

// All exchange types with values that catch truncation, sign and order faults.
struct Values {
    ULONG version = 0;
    bool flag = false;
    LONG number = 0;
    ULONG mask = 0;
    SHORT small = 0;
    float fraction = 0;
    COLORREF color = 0;
    std::wstring text;
    std::wstring empty = L"unset";

    void Exchange(CPropExchange& px)
    {
        px.Version(version, 1);
        px.Bool("Flag", flag);
        px.Long("Number", number);
        px.ULong("Mask", mask);
        px.Short("Small", small);
        px.Float("Fraction", fraction);
        px.Color("Color", color);
        px.String("Text", text);
        px.String("Empty", empty);
    }
};

Values Sample()
{
    Values v;
    v.version = 3;
    v.flag = true;
    v.number = -123456789;
    v.mask = 0xFFFFFFF0u;
    v.small = -2;
    v.fraction = 0.505f;
    v.color = RGB(137, 141, 157);
    v.text = L"C:\\Shelvio Products\\Images\\ \u00FC\U0001F600";
    v.empty = L"";
    return v;
}

void ExpectSame(const Values& a, const Values& b)
{
    EXPECT_EQ(a.version, b.version);
    EXPECT_EQ(a.flag, b.flag);
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.mask, b.mask);
    EXPECT_EQ(a.small, b.small);
    EXPECT_EQ(a.fraction, b.fraction);
    EXPECT_EQ(a.color, b.color);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.empty, b.empty);
}

TEST(PropExchange, EveryTypeRoundTripsThroughABagFile)
{
    CTempFolder folder;
    Values saved = Sample();
    auto bag = CPropertyBag::Create();
    CPropertyBagExchange save(bag.Get(), false);
    saved.Exchange(save);
    ASSERT_EQ(save.Result(), S_OK);
    ASSERT_EQ(bag->Save(folder / "props"), S_OK);
    auto reread = CPropertyBag::Create();
    ASSERT_EQ(reread->Load(folder / "props"), S_OK);
    Values loaded;
    CPropertyBagExchange load(reread.Get(), true);
    loaded.Exchange(load);
    EXPECT_EQ(load.Result(), S_OK);
    ExpectSame(loaded, saved);
    EXPECT_NE(ReadFile(folder / "props").find("Color:ui4=10325385"), std::string::npos);
}

TEST(PropExchange, EveryTypeRoundTripsThroughAStreamInTheDocumentedLayout)
{
    Values saved = Sample();
    auto stream = CMemoryStream::Create();
    CStreamExchange save(stream.Get(), false);
    saved.Exchange(save);
    ASSERT_EQ(save.Result(), S_OK);
    const std::string bytes = Contents(*stream);
    const std::u16string units = lumo::ToUtf16(saved.text);
    ASSERT_EQ(units.size(), 31u);
    const std::string expectedStart = std::string("\x03\x00\x00\x00", 4)    // version
                                      + std::string("\x01", 1)              // bool
                                      + std::string("\xEB\x32\xA4\xF8", 4)  // -123456789
                                      + std::string("\xF0\xFF\xFF\xFF", 4)  // mask
                                      + std::string("\xFE\xFF", 2)          // -2
                                      + std::string("\xAE\x47\x01\x3F", 4)  // 0.505f
                                      + std::string("\x89\x8D\x9D\x00", 4)  // the colour
                                      + std::string("\x1F\x00\x00\x00", 4)  // 31 code units follow
                                      + std::string("C\0:\0", 4);           // low byte first
    EXPECT_EQ(bytes.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(bytes.substr(bytes.size() - 8), std::string("\x3D\xD8\x00\xDE\x00\x00\x00\x00", 8))
        << "a surrogate pair, then the empty string's count";
    EXPECT_EQ(bytes.size(), 27 + 31 * 2 + 4u);
    ASSERT_EQ(stream->Seek(Offset(0), STREAM_SEEK_SET, nullptr), S_OK);
    Values loaded;
    CStreamExchange load(stream.Get(), true);
    loaded.Exchange(load);
    EXPECT_EQ(load.Result(), S_OK);
    ExpectSame(loaded, saved);
}

TEST(PropExchange, MissingBagValuesKeepTheirValueOrTakeTheFallback)
{
    auto bag = CPropertyBag::Create();
    CVariant text(u"not a number");
    ASSERT_EQ(bag->Write(u"Number", &text), S_OK);
    CPropertyBagExchange load(bag.Get(), true);
    LONG number = 5;
    bool flag = true;
    ULONG version = 0;
    std::wstring path = L"old";
    EXPECT_FALSE(load.Long("Number", number));
    EXPECT_EQ(number, 5) << "a value that does not convert is not read";
    EXPECT_FALSE(load.Bool("Flag", flag, false));
    EXPECT_FALSE(flag);
    EXPECT_FALSE(load.Version(version, 1));
    EXPECT_EQ(version, 1u);
    EXPECT_FALSE(load.String("Path", path));
    EXPECT_EQ(path, L"old");
    EXPECT_EQ(load.Result(), S_OK) << "missing values are normal in a bag";
}

TEST(PropExchange, ATruncatedStreamStopsTheExchange)
{
    auto stream = CMemoryStream::Create(std::string("\x01\x00\x00\x00\x01\x07\x00", 7)); // the long is cut short
    CStreamExchange load(stream.Get(), true);
    ULONG version = 0;
    bool flag = false;
    LONG number = 11;
    SHORT small = 4;
    EXPECT_TRUE(load.Version(version, 9));
    EXPECT_TRUE(load.Bool("Flag", flag));
    EXPECT_FALSE(load.Long("Number", number));
    EXPECT_EQ(number, 11);
    EXPECT_FALSE(load.Short("Small", small, 8)) << "nothing is read after a failure";
    EXPECT_EQ(small, 8);
    EXPECT_EQ(load.Result(), STG_E_READFAULT);
}

TEST(PropExchange, CorruptStreamValuesAreRefused)
{
    auto badBool = CMemoryStream::Create(std::string("\x02", 1));
    CStreamExchange a(badBool.Get(), true);
    bool flag = false;
    EXPECT_FALSE(a.Bool("Flag", flag));
    EXPECT_EQ(a.Result(), STG_E_DOCFILECORRUPT);

    // A 4 GB length prefix is refused before anything is allocated.
    auto huge = CMemoryStream::Create(std::string("\xFF\xFF\xFF\xFF" "abcd", 8));
    CStreamExchange b(huge.Get(), true);
    std::wstring text = L"old";
    EXPECT_FALSE(b.String("Text", text));
    EXPECT_EQ(text, L"old");
    EXPECT_EQ(b.Result(), STG_E_DOCFILECORRUPT);
}

TEST(StreamArchive, StringLengthIsBoundedAtItsLimit)
{
    auto prefix = [](ULONG count) {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i)
            s[i] = char((count >> (8 * i)) & 0xFF);
        return s;
    };
    std::u16string text;
    auto over = CMemoryStream::Create(prefix(kMaxArchiveStringUnits + 1));
    EXPECT_EQ(CStreamReader(over.Get()).ReadString(&text), STG_E_DOCFILECORRUPT);
    // At the limit the count is accepted, and the missing data ends the read.
    auto atLimit = CMemoryStream::Create(prefix(kMaxArchiveStringUnits) + "ab");
    EXPECT_EQ(CStreamReader(atLimit.Get()).ReadString(&text), STG_E_READFAULT);
    auto empty = CMemoryStream::Create(prefix(0));
    text.assign(1, u'x'); // not "=", which trips a false -Wrestrict in GCC 12
    EXPECT_EQ(CStreamReader(empty.Get()).ReadString(&text), S_OK);
    EXPECT_EQ(text, u"");
    auto out = CMemoryStream::Create();
    CStreamWriter writer(out.Get());
    EXPECT_EQ(writer.WriteString(std::u16string(70000, u'z')), S_OK) << "longer than one piece";
    ASSERT_EQ(out->Seek(Offset(0), STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(CStreamReader(out.Get()).ReadString(&text), S_OK);
    EXPECT_EQ(text, std::u16string(70000, u'z'));
}

TEST(PropExchange, AFailedBagWriteIsTheResult)
{
    auto bag = CPropertyBag::Create();
    CPropertyBagExchange save(bag.Get(), false);
    bool flag = true;
    EXPECT_FALSE(save.Bool("Bad:Name", flag));
    EXPECT_TRUE(save.Bool("Good", flag));
    EXPECT_EQ(save.Result(), E_INVALIDARG);
    CPropertyBagExchange none(nullptr, true);
    EXPECT_FALSE(none.Bool("Flag", flag));
    EXPECT_EQ(none.Result(), E_POINTER);
}

} // namespace
