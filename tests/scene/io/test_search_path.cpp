#include "platform/com/Unknown.h"
#include "platform/net/UrlCache.h"
#include "platform/text/Utf8.h"
#include "scene/io/SearchPath.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/WorldInfo.h"
#include "scene/x3d/Parser.h"

#include <gtest/gtest.h>
#include <xercesc/sax/SAXParseException.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(std::string(path.begin(), path.end()));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A throw-away HTTP server on 127.0.0.1: "/image.png" answers 200 with a
// body, anything else 404. It serves until stopped. Where it cannot listen
// (no loopback interface) it says why, and the tests that need it skip.
class LocalServer {
public:
    LocalServer()
    {
        mSocket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (mSocket < 0) {
            mProblem = std::string("socket: ") + std::strerror(errno);
            return;
        }
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        socklen_t len = sizeof addr;
        if (bind(mSocket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            mProblem = std::string("bind to 127.0.0.1: ") + std::strerror(errno);
        else if (getsockname(mSocket, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            mProblem = std::string("getsockname: ") + std::strerror(errno);
        else if (listen(mSocket, 8) != 0)
            mProblem = std::string("listen: ") + std::strerror(errno);
        else
            mProblem = TryConnect(addr);
        if (!mProblem.empty()) {
            close(mSocket);
            mSocket = -1;
            return;
        }
        mPort = ntohs(addr.sin_port);
        mThread = std::thread([this] { Serve(); });
    }
    ~LocalServer()
    {
        if (mSocket < 0)
            return;
        mStop = true;
        shutdown(mSocket, SHUT_RDWR);
        close(mSocket);
        mThread.join();
    }
    // Empty when the server listens; else why it cannot.
    const std::string& Problem() const { return mProblem; }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(mPort) + path; }
    int Requests() const { return mRequests; }

private:
    // Binding may succeed where loopback is down; only a connection shows
    // that clients can reach the server. The trial connection is taken
    // here, so that it counts as no request.
    std::string TryConnect(const sockaddr_in& addr)
    {
        int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (client < 0)
            return std::string("socket: ") + std::strerror(errno);
        std::string problem;
        if (connect(client, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            problem = std::string("connect to 127.0.0.1: ") + std::strerror(errno);
        } else {
            int accepted = accept(mSocket, nullptr, nullptr);
            if (accepted < 0)
                problem = std::string("accept: ") + std::strerror(errno);
            else
                close(accepted);
        }
        close(client);
        return problem;
    }

    void Serve()
    {
        while (!mStop) {
            int client = accept(mSocket, nullptr, nullptr);
            if (client < 0)
                return;
            char buf[2048];
            ssize_t n = read(client, buf, sizeof buf - 1);
            std::string request(buf, n > 0 ? size_t(n) : 0);
            ++mRequests;
            std::string body = "PNGDATA", response;
            const std::string document = "<X3D><Scene><WorldInfo title='from the network'/></Scene></X3D>";
            if (request.rfind("GET /image.png ", 0) == 0)
                response = "HTTP/1.0 200 OK\r\nContent-Length: 7\r\n\r\n" + body;
            else if (request.rfind("GET /scene.x3d ", 0) == 0)
                response = "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(document.size()) + "\r\n\r\n" +
                           document;
            else
                response = "HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found";
            ssize_t w = write(client, response.data(), response.size());
            (void)w;
            close(client);
        }
    }
    int mSocket = -1;
    int mPort = 0;
    std::string mProblem;
    std::atomic<bool> mStop{false};
    std::atomic<int> mRequests{0};
    std::thread mThread;
};

class Caller : public CUnknownImpl {};

class SearchPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mRoot = fs::temp_directory_path() / ("lumo_search_" + std::to_string(getpid()));
        fs::remove_all(mRoot);
        fs::create_directories(mRoot / "a");
        fs::create_directories(mRoot / "b");
        fs::create_directories(mRoot / "cache");
        std::ofstream(mRoot / "b" / "tex.png") << "B";
        setenv("LUMO_URL_CACHE", (mRoot / "cache").c_str(), 1);
        mCaller = new Caller;
    }
    void TearDown() override
    {
        mCaller->Release();
        unsetenv("LUMO_URL_CACHE");
        fs::remove_all(mRoot);
    }
    std::wstring Dir(const char* sub) const
    {
        std::string s = (mRoot / sub).string();
        return std::wstring(s.begin(), s.end());
    }
    fs::path mRoot;
    Caller* mCaller = nullptr;
};

TEST_F(SearchPathTest, EntriesAreSearchedInOrderAndAnEmptyEntryEndsTheSearch)
{
    std::wstring found = CVGetURLSearchPath(nullptr, L" " + Dir("a") + L" ;" + Dir("b") + L"  ", L"tex.png");
    EXPECT_EQ(found, Dir("b") + L"/tex.png");
    EXPECT_EQ(CVGetURLSearchPath(nullptr, Dir("a") + L";;" + Dir("b"), L"tex.png"), L"");
    EXPECT_EQ(CVGetURLSearchPath(nullptr, Dir("a"), L"missing.png"), L"");
    // An absolute name is found as it is.
    EXPECT_EQ(CVGetURLSearchPath(nullptr, Dir("a"), Dir("b") + L"/tex.png"), Dir("b") + L"/tex.png");
}

TEST_F(SearchPathTest, UrlsAreDownloadedOnceIntoTheCache)
{
    LocalServer server;
    if (!server.Problem().empty())
        GTEST_SKIP() << "no local server: " << server.Problem();
    std::string base = server.Url("/");
    std::wstring entry(base.begin(), base.end());
    // Without a caller object nothing is fetched.
    EXPECT_EQ(CVGetURLSearchPath(nullptr, entry, L"image.png"), L"");
    EXPECT_EQ(server.Requests(), 0);
    std::wstring file = CVGetURLSearchPath(mCaller, Dir("a") + L";" + entry, L"image.png");
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(ReadFile(file), "PNGDATA");
    EXPECT_EQ(file.substr(file.size() - 4), L".png");
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_EQ(CVGetURLSearchPath(mCaller, entry, L"image.png"), file);
    EXPECT_EQ(server.Requests(), 1); // served from the cache
}

TEST_F(SearchPathTest, DocumentsNamedByNetworkUrlsAreReadThroughTheCache)
{
    LocalServer server;
    if (!server.Problem().empty())
        GTEST_SKIP() << "no local server: " << server.Problem();
    std::string url = server.Url("/scene.x3d");
    CVGroup* root = CVParser().Parse(std::wstring(url.begin(), url.end()));
    ASSERT_NE(root, nullptr);
    root->Ref();
    ASSERT_EQ(root->children.GetNum(), 1);
    EXPECT_EQ(static_cast<CVWorldInfo*>(root->children[0])->title.GetValue(), L"from the network");
    root->Unref();
    std::string missing = server.Url("/missing.x3d");
    EXPECT_THROW(CVParser().Parse(std::wstring(missing.begin(), missing.end())), xercesc::SAXParseException);
}

TEST_F(SearchPathTest, EntriesModifiedAfterTheirLastAccessAreFetchedAgain)
{
    LocalServer server;
    if (!server.Problem().empty())
        GTEST_SKIP() << "no local server: " << server.Problem();
    std::string url = server.Url("/image.png");
    std::wstring name(url.begin(), url.end());
    std::wstring file = CVGetURLSearchPath(mCaller, L"", name);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(server.Requests(), 1);
    // Mark the entry as modified after it was last used: it must not be trusted.
    std::string meta = std::string(file.begin(), file.end()) + ".meta";
    std::string storedUrl;
    long long modified = 0, accessed = 0;
    {
        std::ifstream in(meta);
        std::getline(in, storedUrl);
        in >> modified >> accessed;
    }
    EXPECT_EQ(storedUrl, url);
    EXPECT_LE(modified, accessed);
    std::ofstream(meta, std::ios::trunc) << url << "\n" << accessed + 100 << " " << accessed << "\n";
    EXPECT_EQ(lumo::net::LookupCached(url), "");
    EXPECT_EQ(CVGetURLSearchPath(mCaller, L"", name), file);
    EXPECT_EQ(server.Requests(), 2);
    EXPECT_EQ(lumo::net::LookupCached(url), std::string(file.begin(), file.end())); // fresh again
}

TEST_F(SearchPathTest, FailedDownloadsYieldNothingAndCacheNothing)
{
    std::string missing;
    {
        LocalServer server;
        if (!server.Problem().empty())
            GTEST_SKIP() << "no local server: " << server.Problem();
        missing = server.Url("/missing.png");
        std::wstring url(missing.begin(), missing.end());
        EXPECT_EQ(CVGetURLSearchPath(mCaller, L"", url), L"");
        EXPECT_EQ(server.Requests(), 1);
    }
    EXPECT_EQ(lumo::net::LookupCached(missing), "");
    // The server is gone: the connection is refused.
    std::wstring url(missing.begin(), missing.end());
    EXPECT_EQ(CVGetURLSearchPath(mCaller, L"", url), L"");
    for (auto& entry : fs::directory_iterator(mRoot / "cache"))
        ADD_FAILURE() << "left in the cache: " << entry.path();
}

TEST_F(SearchPathTest, FileUrlsGoThroughTheCache)
{
    std::string url = "file://" + (mRoot / "b" / "tex.png").string();
    std::wstring name(url.begin(), url.end());
    std::wstring file = CVGetURLSearchPath(mCaller, L"", name);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(ReadFile(file), "B");
    EXPECT_EQ(lumo::FromUtf8(lumo::net::LookupCached(url)), file);
}

TEST(SharedFiles, FolderFromTheEnvironmentAndImagePathFromIt)
{
    lumo::ForgetSharedFilesPath();
    setenv("VEXO_SHARED_FILES", "/opt/vexo shared", 1);
    EXPECT_EQ(CVGetVexoSharedFilesPath(), L"/opt/vexo shared");
    EXPECT_EQ(CVGetDefaultImageSearchPath(), L"/opt/vexo shared/Chartwell/V9/Images;/opt/vexo shared/images;");
    setenv("VEXO_SHARED_FILES", "/elsewhere", 1);
    EXPECT_EQ(CVGetVexoSharedFilesPath(), L"/opt/vexo shared"); // remembered
    unsetenv("VEXO_SHARED_FILES");
    lumo::ForgetSharedFilesPath();
}

} // namespace
