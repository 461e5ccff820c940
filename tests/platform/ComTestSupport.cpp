#include "tests/platform/ComTestSupport.h"

#include "platform/com/ModuleServer.h"
#include "platform/com/RegistryFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

CTempFolder::CTempFolder()
{
    std::string pattern = testing::TempDir() + "lumocom-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("mkdtemp failed");
    mPath = buffer.data();
}

CTempFolder::~CTempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

void RegistryTest::SetUp()
{
    setenv("VEXO_USER_CLASSES", UserFolder().c_str(), 1);
    setenv("VEXO_SYSTEM_CLASSES", SystemFolder().c_str(), 1);
    lumo::SetRegistrationScope(lumo::RegistryScope::User);
}

void RegistryTest::TearDown()
{
    unsetenv("VEXO_USER_CLASSES");
    unsetenv("VEXO_SYSTEM_CLASSES");
}

void RegistryTest::RegisterSample() { ASSERT_EQ(lumo::RegisterServerModule(SampleModulePath()), S_OK); }

std::string SampleModulePath() { return SAMPLE_COMPONENT_MODULE; }

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
