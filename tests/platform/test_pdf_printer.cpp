// The PDF printer device: device capabilities, documents written to a file
// (checked with poppler's pdfinfo and pdftotext) and handed to a print
// command without a shell.
#include "platform/print/PdfPrinterDC.h"
#include "platform/print/PrintSpooler.h"
#include "platform/win/MulDiv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "lumo-pdf-XXXXXX").string();
        mPath = mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(mPath, ec);
    }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

bool HaveTool(const char* name)
{
    std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The output of a poppler tool on a file (the file name is ours, quoted).
std::string RunTool(const std::string& tool, const std::string& file)
{
    std::string command = tool + " '" + file + "' - 2>/dev/null";
    if (tool == "pdfinfo")
        command = tool + " '" + file + "' 2>/dev/null";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// The value of one "Name: value" line of pdfinfo's output.
std::string InfoField(const std::string& info, const std::string& name)
{
    std::istringstream lines(info);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, name.size() + 1, name + ":") == 0) {
            size_t start = line.find_first_not_of(' ', name.size() + 1);
            return start == std::string::npos ? std::string() : line.substr(start);
        }
    return {};
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Draws a page with a frame, a line of text and a small image.
void DrawPage(CPrinterDC& dc, const std::wstring& text)
{
    ASSERT_TRUE(dc.StartPage());
    dc.FillRect(RECT{100, 100, 2000, 110}, RGB(127, 127, 127));
    dc.SelectFont(MakeLogFont(L"Arial", -MulDiv(12, dc.GetDeviceCaps(LOGPIXELSY), 72), FW_BOLD, false));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SetTextColor(RGB(0, 0, 128));
    dc.TextOut(100, 200, text);
    unsigned char pixels[2 * 2 * 4] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    dc.StretchImage(100, 400, 400, 400, pixels, 2, 2, 8);
    ASSERT_TRUE(dc.EndPage());
}

} // namespace

TEST(PdfPrinterTest, FileAndPrinterResolutionsAndPrintableArea)
{
    PrinterSetup file;
    file.file = "/tmp/unused.pdf";
    CPdfPrinterDC toFile(file);
    EXPECT_EQ(toFile.GetDeviceCaps(LOGPIXELSX), 300);
    EXPECT_EQ(toFile.GetDeviceCaps(LOGPIXELSY), 300);
    EXPECT_EQ(toFile.GetDeviceCaps(HORZRES), 2480); // A4 at 300 dpi
    EXPECT_EQ(toFile.GetDeviceCaps(VERTRES), 3508);
    EXPECT_EQ(toFile.GetDeviceCaps(PHYSICALOFFSETX), 0);
    EXPECT_EQ(toFile.GetDeviceCaps(HORZSIZE), 210);
    EXPECT_EQ(toFile.GetDeviceCaps(BITSPIXEL), 24);
    EXPECT_EQ(toFile.GetDeviceCaps(NUMCOLORS), -1);

    PrinterSetup printer;
    printer.printer = "office";
    printer.color = false;
    CPdfPrinterDC toPrinter(printer);
    EXPECT_EQ(toPrinter.GetDeviceCaps(LOGPIXELSX), 600);
    EXPECT_EQ(toPrinter.GetDeviceCaps(PHYSICALWIDTH), 4961);
    EXPECT_EQ(toPrinter.GetDeviceCaps(PHYSICALOFFSETX), 100); // 12 points
    EXPECT_EQ(toPrinter.GetDeviceCaps(PHYSICALOFFSETY), 100);
    EXPECT_EQ(toPrinter.GetDeviceCaps(HORZRES), 4961 - 200);
    EXPECT_EQ(toPrinter.GetDeviceCaps(VERTRES), 7016 - 200);
    EXPECT_EQ(toPrinter.GetDeviceCaps(BITSPIXEL), 8);
    EXPECT_EQ(toPrinter.GetDeviceCaps(NUMCOLORS), 256);
}

TEST(PdfPrinterTest, WritesATwoPageA4Document)
{
    if (!HaveTool("pdfinfo") || !HaveTool("pdftotext"))
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) is not installed";
    TempDir dir;
    PrinterSetup setup;
    setup.file = dir / "two.pdf";
    CPdfPrinterDC dc(setup);
    ASSERT_TRUE(dc.StartDoc(L"Two pages"));
    DrawPage(dc, L"First page");
    DrawPage(dc, L"Second page \u00e9");
    ASSERT_TRUE(dc.EndDoc()) << dc.GetError();
    EXPECT_EQ(dc.GetPageCount(), 2);
    std::string info = RunTool("pdfinfo", setup.file);
    EXPECT_EQ(InfoField(info, "Pages"), "2") << info;
    EXPECT_EQ(InfoField(info, "Page size"), "595.276 x 841.89 pts (A4)") << info;
    EXPECT_EQ(InfoField(info, "Title"), "Two pages") << info;
    std::string text = RunTool("pdftotext", setup.file);
    EXPECT_NE(text.find("First page"), std::string::npos) << text;
    EXPECT_NE(text.find("Second page \xc3\xa9"), std::string::npos) << text;
    // Nothing but the document is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(PdfPrinterTest, FileIsReplacedNotWrittenThroughALink)
{
    TempDir dir;
    const std::string victim = dir / "victim.txt";
    std::ofstream(victim) << "keep";
    const std::string target = dir / "out.pdf";
    ASSERT_EQ(symlink(victim.c_str(), target.c_str()), 0);
    PrinterSetup setup;
    setup.file = target;
    CPdfPrinterDC dc(setup);
    ASSERT_TRUE(dc.StartDoc(L"x"));
    DrawPage(dc, L"Page");
    ASSERT_TRUE(dc.EndDoc()) << dc.GetError();
    EXPECT_EQ(ReadFile(victim), "keep");
    struct stat st {};
    ASSERT_EQ(lstat(target.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadFile(target).substr(0, 5), "%PDF-");
}

TEST(PdfPrinterTest, FailuresAreReportedAndLeaveNothingBehind)
{
    TempDir dir;
    {
        PrinterSetup setup;
        setup.file = dir / "missing-folder/out.pdf";
        CPdfPrinterDC dc(setup);
        ASSERT_TRUE(dc.StartDoc(L"x"));
        DrawPage(dc, L"Page");
        EXPECT_FALSE(dc.EndDoc());
        EXPECT_FALSE(dc.GetError().empty());
    }
    {
        // A document without pages is not a print-out.
        PrinterSetup setup;
        setup.file = dir / "empty.pdf";
        CPdfPrinterDC dc(setup);
        ASSERT_TRUE(dc.StartDoc(L"x"));
        EXPECT_FALSE(dc.EndDoc());
        EXPECT_FALSE(fs::exists(setup.file));
    }
    {
        PrinterSetup setup; // neither printer nor file
        CPdfPrinterDC dc(setup);
        EXPECT_FALSE(dc.StartDoc(L"x"));
        EXPECT_FALSE(dc.StartPage());
    }
    {
        PrinterSetup setup;
        setup.file = dir / "huge.pdf";
        setup.paperWidth = 14400.5;
        CPdfPrinterDC dc(setup);
        EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 0);
        EXPECT_FALSE(dc.StartDoc(L"x"));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 0);
}

TEST(PrintSpoolerTest, PrinterNamesCupsAccepts)
{
    EXPECT_TRUE(lumo::print::IsValidPrinterName("Office_Laser-2"));
    EXPECT_TRUE(lumo::print::IsValidPrinterName(std::string(127, 'p')));
    EXPECT_FALSE(lumo::print::IsValidPrinterName(std::string(128, 'p')));
    EXPECT_FALSE(lumo::print::IsValidPrinterName(""));
    EXPECT_FALSE(lumo::print::IsValidPrinterName("-o"));
    EXPECT_FALSE(lumo::print::IsValidPrinterName("a b"));
    EXPECT_FALSE(lumo::print::IsValidPrinterName("a/b"));
    EXPECT_FALSE(lumo::print::IsValidPrinterName("a\nb"));
    EXPECT_FALSE(lumo::print::IsValidPrinterName("a#b"));
}

// A stand-in for lp that records its arguments, one per line, and keeps a
// copy of the file it was handed.
class FakeLp : public ::testing::Test {
protected:
    void SetUp() override
    {
        mScript = mDir / "lp";
        std::ofstream(mScript) << "#!/bin/sh\n"
                                  "dir=$(dirname \"$0\")\n"
                                  "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$dir/args\"\n"
                                  "for a in \"$@\"; do last=$a; done\n"
                                  "cp \"$last\" \"$dir/spooled.pdf\"\n"
                                  "exit ${FAKE_LP_STATUS:-0}\n";
        fs::permissions(mScript, fs::perms::owner_all);
    }
    TempDir mDir;
    std::string mScript;
};

TEST_F(FakeLp, DocumentGoesToTheNamedPrinterAsPlainArguments)
{
    PrinterSetup setup;
    setup.printer = "office";
    setup.printCommand = mScript;
    CPdfPrinterDC dc(setup);
    const std::wstring title = L"$(touch pwned); `touch pwned` 'q\" \n*";
    ASSERT_TRUE(dc.StartDoc(title));
    DrawPage(dc, L"One");
    DrawPage(dc, L"Two");
    ASSERT_TRUE(dc.EndDoc()) << dc.GetError();

    std::string args = ReadFile(mDir / "args");
    std::istringstream lines(args);
    std::vector<std::string> argv;
    for (std::string line; std::getline(lines, line);)
        argv.push_back(line);
    ASSERT_EQ(argv.size(), 5u) << args;
    EXPECT_EQ(argv[0], "-d");
    EXPECT_EQ(argv[1], "office");
    EXPECT_EQ(argv[2], "-t");
    EXPECT_EQ(argv[3], "$(touch pwned); `touch pwned` 'q\"  *"); // the newline became a blank
    EXPECT_EQ(argv[4][0], '/');
    EXPECT_FALSE(fs::exists(argv[4])) << "the spool file is removed after lp";
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_FALSE(fs::exists(mDir / "pwned"));
    EXPECT_EQ(ReadFile(mDir / "spooled.pdf").substr(0, 5), "%PDF-");
    if (HaveTool("pdfinfo")) {
        EXPECT_EQ(InfoField(RunTool("pdfinfo", mDir / "spooled.pdf"), "Pages"), "2");
    }
}

TEST_F(FakeLp, FailingOrMissingCommandIsAFailure)
{
    PrinterSetup setup;
    setup.printer = "office";
    setup.printCommand = mScript;
    setenv("FAKE_LP_STATUS", "3", 1);
    {
        CPdfPrinterDC dc(setup);
        ASSERT_TRUE(dc.StartDoc(L"x"));
        DrawPage(dc, L"One");
        EXPECT_FALSE(dc.EndDoc());
        EXPECT_NE(dc.GetError().find("status 3"), std::string::npos) << dc.GetError();
    }
    unsetenv("FAKE_LP_STATUS");
    setup.printCommand = mDir / "no-such-lp";
    CPdfPrinterDC dc(setup);
    ASSERT_TRUE(dc.StartDoc(L"x"));
    DrawPage(dc, L"One");
    EXPECT_FALSE(dc.EndDoc());
    EXPECT_NE(dc.GetError().find("cannot start"), std::string::npos) << dc.GetError();

    setup.printer = "bad name";
    CPdfPrinterDC refused(setup);
    EXPECT_FALSE(refused.StartDoc(L"x"));
}
