#include "examples/sample_component/SampleInterfaces.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/Guid.h"
#include "platform/com/ModuleLoader.h"
#include "platform/com/ModuleServer.h"
#include "platform/com/RegistryFiles.h"
#include "tests/platform/ComTestSupport.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const CLSID kOther = {0x2BFC014E, 0x52B2, 0x464D, {0x93, 0x74, 0x2B, 0x02, 0x9A, 0xA9, 0x8A, 0xAF}};
const std::string kSampleClassFile = "{35739C46-1951-4A98-AC96-5CA562870A26}.class";

class ClassRegistry : public RegistryTest {
protected:
    HRESULT Create(const CLSID& clsid)
    {
        ComPtr<IUnknown> object;
        return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IUnknown::iid, object.PutVoid());
    }

    // A class file for the sample class in the user folder with these lines.
    void WriteUserClass(const std::string& lines, const std::string& name = kSampleClassFile)
    {
        fs::create_directories(UserFolder());
        WriteFile(UserFolder() + "/" + name, lines);
    }

    std::string ClassLines(const std::string& module)
    {
        return "CLSID={35739C46-1951-4A98-AC96-5CA562870A26}\nModule=" + module + "\n";
    }
};

TEST_F(ClassRegistry, SelfRegistrationWritesClassAndProgIdFiles)
{
    RegisterSample();
    lumo::RegistryEntry entry;
    ASSERT_EQ(lumo::ReadRegistryFile(UserFolder(), kSampleClassFile, &entry), S_OK);
    ASSERT_NE(entry.Find("Module"), nullptr);
    EXPECT_EQ(*entry.Find("Module"), fs::canonical(SampleModulePath()).string());
    EXPECT_EQ(*entry.Find("ProgID"), "Vexo.SampleCounter.1");
    EXPECT_EQ(*entry.Find("ThreadingModel"), "Apartment");
    ASSERT_EQ(lumo::ReadRegistryFile(UserFolder(), "vexo.samplecounter.progid", &entry), S_OK);
    EXPECT_EQ(*entry.Find("CurVer"), "Vexo.SampleCounter.1");
    EXPECT_EQ(*entry.Find("CLSID"), "{35739C46-1951-4A98-AC96-5CA562870A26}");
    struct stat st;
    ASSERT_EQ(stat((UserFolder() + "/" + kSampleClassFile).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(UserFolder())) {
        EXPECT_NE(e.path().filename().string()[0], '.') << "temporary file left: " << e.path();
        ++files;
    }
    EXPECT_EQ(files, 3u);
    EXPECT_FALSE(fs::exists(SystemFolder()));
}

TEST_F(ClassRegistry, CreatesByProgIdCurVerAndClsid)
{
    RegisterSample();
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"Vexo.SampleCounter", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_SampleCounter);
    ASSERT_EQ(CLSIDFromProgID(u"vexo.samplecounter.1", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_SampleCounter);
    EXPECT_EQ(Create(CLSID_SampleCounter), S_OK);
    ComPtr<ISampleText> text;
    ASSERT_EQ(lumo::CreateInstance(u"{35739C46-1951-4A98-AC96-5CA562870A26}", ISampleText::iid, text.PutVoid()), S_OK);
    LPOLESTR progId = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_SampleCounter, &progId), S_OK);
    EXPECT_EQ(std::u16string(progId), u"Vexo.SampleCounter.1");
    CoTaskMemFree(progId);
}

TEST_F(ClassRegistry, CurVerLeadsToTheCurrentVersion)
{
    RegisterSample();
    WriteFile(UserFolder() + "/vexo.samplecounter.2.progid", "CLSID=" + lumo::FormatGuid(kOther) + "\n");
    WriteFile(UserFolder() + "/vexo.samplecounter.progid",
              "CLSID={35739C46-1951-4A98-AC96-5CA562870A26}\nCurVer=Vexo.SampleCounter.2\n");
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"Vexo.SampleCounter", &clsid), S_OK);
    EXPECT_EQ(clsid, kOther);
    // A CurVer that leads nowhere falls back to the ProgID's own CLSID.
    WriteFile(UserFolder() + "/vexo.samplecounter.progid",
              "CLSID={35739C46-1951-4A98-AC96-5CA562870A26}\nCurVer=Vexo.SampleCounter.9\n");
    ASSERT_EQ(CLSIDFromProgID(u"Vexo.SampleCounter", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_SampleCounter);
}

TEST_F(ClassRegistry, CurVerCyclesEndWithoutAClass)
{
    fs::create_directories(UserFolder());
    WriteFile(UserFolder() + "/a.progid", "CurVer=B\n");
    WriteFile(UserFolder() + "/b.progid", "CurVer=A\n");
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"A", &clsid), CO_E_CLASSSTRING);
}

TEST_F(ClassRegistry, TheUserFolderComesBeforeTheSystemFolder)
{
    lumo::SetRegistrationScope(lumo::RegistryScope::System);
    RegisterSample();
    EXPECT_TRUE(fs::exists(SystemFolder() + "/" + kSampleClassFile));
    EXPECT_EQ(Create(CLSID_SampleCounter), S_OK);
    WriteUserClass(ClassLines("/nonexistent/module.so"));
    EXPECT_EQ(Create(CLSID_SampleCounter), CO_E_DLLNOTFOUND);
}

TEST_F(ClassRegistry, UnknownClassesAndProgIdsAreNotRegistered)
{
    EXPECT_EQ(Create(kOther), REGDB_E_CLASSNOTREG);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Vexo.Nothing", &clsid), CO_E_CLASSSTRING);
    // Files that would answer to invalid ProgIDs are never consulted.
    const std::string clsidLine = "CLSID=" + lumo::FormatGuid(kOther) + "\n";
    fs::create_directories(UserFolder());
    fs::create_directories(mRoot / "elsewhere");
    WriteFile(mRoot / "elsewhere/x.progid", clsidLine);
    WriteFile(UserFolder() + "/1counter.progid", clsidLine);
    WriteFile(UserFolder() + "/vexo counter.progid", clsidLine);
    WriteFile(UserFolder() + "/a234567890123456789012345678901234567890.progid", clsidLine);
    WriteFile(UserFolder() + "/a23456789012345678901234567890123456789.progid", clsidLine);
    for (const char16_t* bad : {u"../elsewhere/x", u"1Counter", u"", u"Vexo Counter", u"Caf\u00E9",
                                u"A234567890123456789012345678901234567890"})
        EXPECT_EQ(CLSIDFromProgID(bad, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(u"A23456789012345678901234567890123456789", &clsid), S_OK) << "39 characters are fine";
    EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
    LPOLESTR progId = nullptr;
    EXPECT_EQ(ProgIDFromCLSID(kOther, &progId), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(kOther, nullptr, CLSCTX_INPROC_SERVER, IUnknown::iid, nullptr), E_POINTER);
    RegisterSample();
    ComPtr<IUnknown> outer, object;
    ASSERT_EQ(CoCreateInstance(CLSID_SampleCounter, nullptr, CLSCTX_INPROC_SERVER, IUnknown::iid, outer.PutVoid()), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_SampleCounter, outer.Get(), CLSCTX_INPROC_SERVER, IUnknown::iid, object.PutVoid()),
              CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(object);
}

TEST_F(ClassRegistry, BrokenClassFilesAreReportedNotFollowed)
{
    WriteUserClass("CLSID={35739C46-1951-4A98-AC96-5CA562870A26}\nthis line has no value\n");
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE);
    WriteUserClass("CLSID=" + lumo::FormatGuid(kOther) + "\nModule=" + SampleModulePath() + "\n");
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE) << "a file copied under another class's name";
    WriteUserClass("CLSID={35739C46-1951-4A98-AC96-5CA562870A26}\n");
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE) << "no module";
    WriteUserClass(ClassLines(SampleModulePath()) + "Module=/elsewhere.so\n");
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE) << "duplicate key";
}

TEST_F(ClassRegistry, ModulesThatCannotServeGiveLoadErrors)
{
    CTempFolder scratch;
    WriteUserClass(ClassLines("/nonexistent/libmissing.so"));
    EXPECT_EQ(Create(CLSID_SampleCounter), CO_E_DLLNOTFOUND);
    WriteUserClass(ClassLines("relative/libsample.so"));
    EXPECT_EQ(Create(CLSID_SampleCounter), CO_E_DLLNOTFOUND);
    WriteFile(scratch / "not-a-library.so", "just text");
    WriteUserClass(ClassLines(scratch / "not-a-library.so"));
    EXPECT_EQ(Create(CLSID_SampleCounter), CO_E_DLLNOTFOUND);
    // A real library without the entry point.
    WriteUserClass(ClassLines(LUMOCOM_LIBRARY));
    EXPECT_EQ(Create(CLSID_SampleCounter), CO_E_ERRORINDLL);
}

TEST_F(ClassRegistry, ModulesAreLoadedOnlyByTheirOwnTrustedPath)
{
    CTempFolder scratch;
    fs::create_symlink(fs::canonical(SampleModulePath()), scratch / "linked.so");
    WriteUserClass(ClassLines(scratch / "linked.so"));
    EXPECT_EQ(Create(CLSID_SampleCounter), CO_E_DLLNOTFOUND) << "a link";
    fs::create_directory(scratch / "real");
    fs::copy_file(SampleModulePath(), scratch / "real/module.so");
    fs::create_directory_symlink(scratch / "real", scratch / "linked");
    WriteUserClass(ClassLines(scratch / "linked/module.so"));
    EXPECT_EQ(Create(CLSID_SampleCounter), CO_E_DLLNOTFOUND) << "a linked folder on the way";
    fs::copy_file(SampleModulePath(), scratch / "copy.so");
    fs::permissions(scratch / "copy.so", fs::perms::others_write, fs::perm_options::add);
    WriteUserClass(ClassLines(scratch / "copy.so"));
    EXPECT_EQ(Create(CLSID_SampleCounter), CO_E_DLLNOTFOUND) << "writable by others";
    fs::permissions(scratch / "copy.so", fs::perms::others_write, fs::perm_options::remove);
    EXPECT_EQ(Create(CLSID_SampleCounter), S_OK) << "the same copy, locked down";
}

TEST_F(ClassRegistry, UntrustedRegistrationFilesAndFoldersAreRefused)
{
    CTempFolder scratch;
    WriteFile(scratch / "planted.class", ClassLines(SampleModulePath()));
    fs::create_directories(UserFolder());
    fs::create_symlink(scratch / "planted.class", UserFolder() + "/" + kSampleClassFile);
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE) << "a link";
    fs::remove(UserFolder() + "/" + kSampleClassFile);

    WriteUserClass(ClassLines(SampleModulePath()));
    EXPECT_EQ(Create(CLSID_SampleCounter), S_OK);
    fs::permissions(UserFolder() + "/" + kSampleClassFile, fs::perms::group_write, fs::perm_options::add);
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE) << "a file writable by its group";
    fs::permissions(UserFolder() + "/" + kSampleClassFile, fs::perms::group_write, fs::perm_options::remove);
    fs::permissions(UserFolder(), fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE) << "a folder writable by others";
    fs::permissions(UserFolder(), fs::perms::others_write, fs::perm_options::remove);

    if (geteuid() == 0) { // only root can give a file away
        ASSERT_EQ(chown((UserFolder() + "/" + kSampleClassFile).c_str(), 65534, 65534), 0);
        EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE) << "a file of another user";
        ASSERT_EQ(chown((UserFolder() + "/" + kSampleClassFile).c_str(), 0, 0), 0);
    }
    fs::remove(UserFolder() + "/" + kSampleClassFile);
    ASSERT_EQ(mkfifo((UserFolder() + "/" + kSampleClassFile).c_str(), 0600), 0);
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE) << "a FIFO, refused without blocking";
}

TEST_F(ClassRegistry, ALinkedRegistryFolderIsRefused)
{
    CTempFolder real;
    WriteFile(real / kSampleClassFile, ClassLines(SampleModulePath()));
    fs::create_symlink(real.Path(), UserFolder());
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE);
    EXPECT_EQ(lumo::RegisterServerModule(SampleModulePath()), SELFREG_E_CLASS) << "nor written through";
}

TEST_F(ClassRegistry, FileSizeIsBoundedAtItsLimit)
{
    std::string lines = ClassLines(SampleModulePath());
    std::string padding = "#" + std::string(lumo::kMaxRegistryFileBytes - lines.size() - 2, 'x') + "\n";
    WriteUserClass(lines + padding);
    ASSERT_EQ(fs::file_size(UserFolder() + "/" + kSampleClassFile), lumo::kMaxRegistryFileBytes);
    EXPECT_EQ(Create(CLSID_SampleCounter), S_OK);
    WriteUserClass(lines + "#" + padding);
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_INVALIDVALUE);
}

TEST(RegistryText, BoundsKeysValuesAndCountsAtTheirLimits)
{
    lumo::RegistryEntry entry;
    std::string key64(64, 'k'), value4096(4096, 'v');
    EXPECT_TRUE(lumo::ParseRegistryText(key64 + "=" + value4096 + "\r\n", &entry));
    EXPECT_EQ(*entry.Find(key64), value4096);
    EXPECT_FALSE(lumo::ParseRegistryText(key64 + "k=1\n", &entry));
    EXPECT_FALSE(lumo::ParseRegistryText("k=" + value4096 + "v\n", &entry));
    std::string many;
    for (std::size_t i = 0; i < lumo::kMaxRegistryValues; ++i)
        many += "k" + std::to_string(i) + "=1\n";
    EXPECT_TRUE(lumo::ParseRegistryText(many, &entry));
    EXPECT_FALSE(lumo::ParseRegistryText(many + "last=1\n", &entry));
    EXPECT_FALSE(lumo::ParseRegistryText("k=a\x01" "b\n", &entry)) << "control character";
    EXPECT_FALSE(lumo::ParseRegistryText("bad key=1\n", &entry));
    EXPECT_FALSE(lumo::ParseRegistryText("=1\n", &entry));
    EXPECT_TRUE(lumo::ParseRegistryText("# comment\n\nk=a=b\n", &entry));
    EXPECT_EQ(*entry.Find("k"), "a=b");
}

TEST_F(ClassRegistry, RegistrationReplacesAPlantedLinkInsteadOfWritingThroughIt)
{
    CTempFolder scratch;
    WriteFile(scratch / "victim", "precious");
    fs::create_directories(UserFolder());
    fs::create_symlink(scratch / "victim", UserFolder() + "/" + kSampleClassFile);
    RegisterSample();
    EXPECT_EQ(ReadFile(scratch / "victim"), "precious");
    EXPECT_FALSE(fs::is_symlink(UserFolder() + "/" + kSampleClassFile));
    EXPECT_EQ(Create(CLSID_SampleCounter), S_OK);
}

TEST_F(ClassRegistry, UnregistrationRemovesOnlyWhatStillNamesTheClass)
{
    RegisterSample();
    // Another product took over the version-independent name meanwhile.
    WriteFile(UserFolder() + "/vexo.samplecounter.progid", "CLSID=" + lumo::FormatGuid(kOther) + "\n");
    ASSERT_EQ(lumo::UnregisterServerModule(SampleModulePath()), S_OK);
    EXPECT_FALSE(fs::exists(UserFolder() + "/" + kSampleClassFile));
    EXPECT_FALSE(fs::exists(UserFolder() + "/vexo.samplecounter.1.progid"));
    EXPECT_TRUE(fs::exists(UserFolder() + "/vexo.samplecounter.progid"));
    EXPECT_EQ(Create(CLSID_SampleCounter), REGDB_E_CLASSNOTREG);
}

class CLocal : public TObject<IDispatch> {
public:
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const IID&, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, const IID&, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
};

TEST_F(ClassRegistry, ClassesRegisteredInProcessComeFirstUntilRevoked)
{
    RegisterSample();
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(TClassFactory<CLocal>::Create(IClassFactory::iid, factory.PutVoid()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(lumo::RegisterClassInProcess(CLSID_SampleCounter, u"Test.Local", factory.Get(), &cookie), S_OK);
    DWORD again = 0;
    EXPECT_EQ(CoRegisterClassObject(CLSID_SampleCounter, factory.Get(), 0, 0, &again), E_INVALIDARG);
    ComPtr<ISampleCounter> counter;
    EXPECT_EQ(lumo::CreateInstance(u"test.local", ISampleCounter::iid, counter.PutVoid()), E_NOINTERFACE)
        << "the local class, not the module's";
    ComPtr<IDispatch> local;
    EXPECT_EQ(lumo::CreateInstance(u"Test.Local", IDispatch::iid, local.PutVoid()), S_OK);
    ASSERT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Test.Local", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(lumo::CreateInstance(u"Vexo.SampleCounter", ISampleCounter::iid, counter.PutVoid()), S_OK);
}

// Sets environment variables for one test and restores them afterwards.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(std::vector<std::string> names) : mNames(std::move(names))
    {
        for (const auto& name : mNames) {
            const char* value = getenv(name.c_str());
            mSaved.emplace_back(value != nullptr, value ? value : "");
        }
    }
    ~EnvironmentGuard()
    {
        for (std::size_t i = 0; i < mNames.size(); ++i) {
            if (mSaved[i].first)
                setenv(mNames[i].c_str(), mSaved[i].second.c_str(), 1);
            else
                unsetenv(mNames[i].c_str());
        }
    }

private:
    std::vector<std::string> mNames;
    std::vector<std::pair<bool, std::string>> mSaved;
};

TEST_F(ClassRegistry, FoldersComeFromTheEnvironmentWithSafeDefaults)
{
    EnvironmentGuard guard({"HOME", "XDG_CONFIG_HOME"});
    EXPECT_EQ(lumo::ClassRegistryFolder(lumo::RegistryScope::User), UserFolder());
    unsetenv("VEXO_USER_CLASSES");
    unsetenv("VEXO_SYSTEM_CLASSES");
    setenv("XDG_CONFIG_HOME", "/config", 1);
    EXPECT_EQ(lumo::ClassRegistryFolder(lumo::RegistryScope::User), "/config/vexoworks/classes");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(lumo::ClassRegistryFolder(lumo::RegistryScope::User), "/home/someone/.config/vexoworks/classes");
    EXPECT_EQ(lumo::ClassRegistryFolder(lumo::RegistryScope::System), "/etc/vexoworks/classes");
    setenv("VEXO_USER_CLASSES", "not/absolute", 1);
    EXPECT_EQ(lumo::ClassRegistryFolder(lumo::RegistryScope::User), "");
    EXPECT_EQ(lumo::RegisterServerModule(SampleModulePath()), SELFREG_E_CLASS);
}

} // namespace
