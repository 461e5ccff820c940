// Test support for the object runtime: private class-registry folders, so
// that no test reads or writes the real ones, and the sample module.
#pragma once

#include "platform/com/ComTypes.h"

#include <gtest/gtest.h>

#include <string>

// A fresh temporary folder, removed with everything in it at the end.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return mPath; }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }

private:
    std::string mPath;
};

// Points the user and system registries at folders of its own and writes
// registrations to the user one.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string UserFolder() const { return mRoot / "user"; }
    std::string SystemFolder() const { return mRoot / "system"; }
    // Runs the sample module's DllRegisterServer.
    void RegisterSample();

    CTempFolder mRoot;
};

std::string SampleModulePath();
void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
