// SPDX-License-Identifier: MIT
// The run-time services where Windows does them its own way: GBK through
// code page 936, files by wide names (long paths, either separator, other
// handles on the file), the program's folder from the module's path. Then
// cross-checks that numbers and random draws come out as on Linux.

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <clocale>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gbkliteral.h"
#include "runtime/files.h"
#include "runtime/gbk.h"
#include "runtime/random.h"
#include "runtime/texts.h"

namespace {

// The argument that makes a copy of this program report its run directory.
constexpr std::string_view reportRunDirectoryArgument = "--report-run-directory";
constexpr wchar_t reportFile[] = L"run-directory.txt";

std::string gbkOf(const std::wstring &wide)
{
    return wideToGbk(wide).value();
}

std::string contentOf(Bytes block)
{
    std::string content(reinterpret_cast<const char *>(bytesData(block)), std::size_t(bytesCount(block)));
    releaseMemory(block);
    return content;
}

// Names made here are full paths; the \\?\ form reaches past 260 characters.
std::wstring extended(const std::wstring &path)
{
    return LR"(\\?\)" + path;
}

void makeFolder(const std::wstring &path)
{
    ASSERT_TRUE(CreateDirectoryW(extended(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
}

void makeFile(const std::wstring &path, std::string_view content, long long size = -1)
{
    HANDLE file = CreateFileW(
        extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(content.empty() || WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr));
    if (size >= 0) {
        LARGE_INTEGER end {};
        end.QuadPart = size;
        EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    }
    CloseHandle(file);
}

// Removes a folder and all it holds, however long the paths inside.
void removeTree(const std::wstring &path)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(extended(path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path + L"\\" + name);
            else
                DeleteFileW(extended(path + L"\\" + name).c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(extended(path).c_str());
}

std::wstring programPath()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return path;
}

std::wstring folderOf(const std::wstring &path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

// ---- Code page 936 ---------------------------------------------------------

struct Spelling {
    const char *what;
    std::string utf8;
    std::string gbk;
    std::wstring wide;
};

class GbkSpellings : public testing::TestWithParam<Spelling> { };

TEST_P(GbkSpellings, convertBothWaysExactly)
{
    const Spelling &s = GetParam();
    EXPECT_EQ(gbkToUtf8(s.gbk), s.utf8);
    EXPECT_EQ(utf8ToGbk(s.utf8), s.gbk);
    EXPECT_EQ(gbkToWide(s.gbk), s.wide);
    EXPECT_EQ(wideToGbk(s.wide), s.gbk);
}

INSTANTIATE_TEST_SUITE_P(CodePage936, GbkSpellings,
    testing::Values(Spelling { "empty", "", "", L"" },
        Spelling { "ASCII", "(13-1)*2+0", "(13-1)*2+0", L"(13-1)*2+0" },
        Spelling { "Chinese", "黑桃(1).jpg", "\xba\xda\xcc\xd2(1).jpg", L"黑桃(1).jpg" },
        // 乗 is 81 5C: a second byte that reads as "\" on its own.
        Spelling { "second byte 0x5C", "D:\\乗\\", "D:\\\x81\x5c\\", L"D:\\乗\\" },
        Spelling { "full-width punctuation", "正确！", "\xd5\xfd\xc8\xb7\xa3\xa1", L"正确！" },
        // Code page 936 has the euro sign as the single byte 0x80, as
        // iconv's GBK does.
        Spelling { "euro sign", "€5",
            "\x80"
            "5",
            L"€5" }),
    [](const testing::TestParamInfo<Spelling> &info) {
        std::string name;
        for (const char c : std::string_view(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(CodePage936, invalidGbkIsRefusedNotGuessed)
{
    const std::string rows[] = {
        "\x81", // lead byte at the end
        "24\xd5", // cut after a lead byte
        "\x81\x7f", // trail byte out of range
        "\x81\x20",
        "\xff\xa1", // 0xFF opens no character
    };
    for (const std::string &gbk : rows) {
        SCOPED_TRACE(testing::PrintToString(gbk));
        EXPECT_EQ(gbkToUtf8(gbk), std::nullopt);
        EXPECT_EQ(gbkToWide(gbk), std::nullopt);
    }
}

TEST(CodePage936, whatGbkCannotSpellIsRefused)
{
    // Hangul and emoji are outside GBK: no default character stands in.
    for (const std::string utf8 : { "한", "24😀", "\xed\xa0\x80", "\xc3" }) {
        SCOPED_TRACE(testing::PrintToString(utf8));
        EXPECT_EQ(utf8ToGbk(utf8), std::nullopt);
    }
    const std::wstring wides[] = {
        L"한",
        std::wstring(1, wchar_t(0xd800)), // unpaired high surrogate
        L"a" + std::wstring(1, wchar_t(0xdc00)) + L"b", // unpaired low surrogate
        L"😀",
    };
    for (const std::wstring &wide : wides) {
        SCOPED_TRACE(testing::PrintToString(wide.size()));
        EXPECT_EQ(wideToGbk(wide), std::nullopt);
    }
}

// ---- Reading files -----------------------------------------------------------

class ReadFile : public testing::Test {
protected:
    static std::wstring root; // a fresh folder under the temporary folder, ending without "\"
    static std::wstring longFolder; // root and nested folders, past 260 characters

    static void SetUpTestSuite()
    {
        std::wstring temp(MAX_PATH + 1, L'\0');
        temp.resize(GetTempPathW(DWORD(temp.size()), temp.data()));
        root = temp + L"kelmora-readfile-" + std::to_wstring(GetCurrentProcessId());
        makeFolder(root);
        makeFolder(root + L"\\pkp");
        makeFile(root + L"\\pkp\\黑桃(1).jpg", "\xff\xd8 spades");
        makeFolder(root + L"\\乗");
        makeFile(root + L"\\乗\\乗(2).jpg", "\xff\xd8 0x5C");
        makeFile(root + L"\\empty.jpg", "");
        makeFolder(root + L"\\红桃(2).jpg");
        makeFile(root + L"\\huge.jpg", "\xff\xd8", maxReadBytes + 1);
        longFolder = root;
        for (int i = 0; i < 8; ++i) {
            longFolder += L"\\一个很长的文件夹名字" + std::wstring(24, wchar_t(L'a' + i));
            makeFolder(longFolder);
        }
        makeFile(longFolder + L"\\梅花(3).jpg", "\xff\xd8 long");
    }

    static void TearDownTestSuite() { removeTree(root); }

    static std::string slashed(std::string path)
    {
        // Only in ASCII and Chinese without 0x5C second bytes: a byte swap
        // is safe there.
        for (char &c : path)
            if (c == '\\')
                c = '/';
        return path;
    }
};

std::wstring ReadFile::root;
std::wstring ReadFile::longFolder;

TEST_F(ReadFile, givesTheWholeFileOrNoBlock)
{
    ASSERT_GT(longFolder.size() + 12, std::size_t(MAX_PATH));
    const std::string base = gbkOf(root);
    const struct {
        const char *what;
        std::string name;
        std::string content; // empty: no block
    } rows[] = {
        { "Chinese name", gbkOf(root + L"\\pkp\\黑桃(1).jpg"), "\xff\xd8 spades" },
        { "forward slashes", slashed(gbkOf(root + L"\\pkp\\黑桃(1).jpg")), "\xff\xd8 spades" },
        { "0x5C second bytes in folder and file", gbkOf(root + L"\\乗\\乗(2).jpg"), "\xff\xd8 0x5C" },
        { "past 260 characters", gbkOf(longFolder + L"\\梅花(3).jpg"), "\xff\xd8 long" },
        { "past 260 characters, forward slashes", slashed(gbkOf(longFolder + L"\\梅花(3).jpg")),
            "\xff\xd8 long" },
        { "dot segments", base + "\\pkp\\..\\pkp\\.\\" + gbk("黑桃(1).jpg"), "\xff\xd8 spades" },
        { "missing file", gbkOf(root + L"\\pkp\\黑桃(2).jpg"), "" },
        { "missing past 260 characters", gbkOf(longFolder + L"\\梅花(4).jpg"), "" },
        { "empty file", base + "\\empty.jpg", "" },
        { "folder named like a card", gbkOf(root + L"\\红桃(2).jpg"), "" },
        { "over the size limit", base + "\\huge.jpg", "" },
        { "name that is no GBK", base + "\\\x81", "" },
        // Devices have no length to read; nothing waits on them.
        { "device in a folder", base + "\\NUL", "" },
        { "console device", "CON", "" },
        { "empty name", "", "" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Bytes block = readFile(row.name.c_str());
        EXPECT_EQ(block != nullptr, !row.content.empty());
        if (block) {
            EXPECT_EQ(contentOf(block), row.content);
        }
    }
    EXPECT_EQ(readFile(nullptr), nullptr);
}

TEST_F(ReadFile, relativeNamesStartAtTheCurrentDirectory)
{
    std::wstring before(32768, L'\0');
    before.resize(GetCurrentDirectoryW(DWORD(before.size()), before.data()));
    ASSERT_TRUE(SetCurrentDirectoryW(root.c_str()));
    Bytes backslashed = readFile(gbk("pkp\\黑桃(1).jpg").c_str());
    Bytes slashed = readFile(gbk("pkp/黑桃(1).jpg").c_str());
    SetCurrentDirectoryW(before.c_str());
    EXPECT_EQ(contentOf(backslashed), "\xff\xd8 spades");
    EXPECT_EQ(contentOf(slashed), "\xff\xd8 spades");
}

// The file is opened letting others read it but not write it: while another
// handle may write it, it is locked to the game and gives no block.
TEST_F(ReadFile, anotherHandleOnTheFile)
{
    const std::wstring path = root + L"\\held.jpg";
    makeFile(path, "\xff\xd8 held");
    const struct {
        const char *what;
        DWORD access;
        DWORD share;
        bool readable;
    } rows[] = {
        { "reading, sharing reading", GENERIC_READ, FILE_SHARE_READ, true },
        { "reading, sharing everything", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            true },
        { "writing, sharing reading", GENERIC_WRITE, FILE_SHARE_READ, false },
        { "writing, sharing everything", GENERIC_READ | GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false },
        { "reading, sharing nothing", GENERIC_READ, 0, false },
    };
    const std::string name = gbkOf(path);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        HANDLE other = CreateFileW(
            path.c_str(), row.access, row.share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        Bytes block = readFile(name.c_str());
        CloseHandle(other);
        EXPECT_EQ(block != nullptr, row.readable);
        if (block) {
            EXPECT_EQ(contentOf(block), "\xff\xd8 held");
        }
    }
    // Once the other handle is gone the file reads again.
    EXPECT_EQ(contentOf(readFile(name.c_str())), "\xff\xd8 held");
}

// ---- The program's folder ----------------------------------------------------

TEST(RunDirectory, isTheProgramsFolderAndBecomesCurrent)
{
    const std::wstring folder = folderOf(programPath());
    initRunDirectory();
    Text directory = runDirectory();
    ASSERT_NE(directory, nullptr);
    EXPECT_EQ(std::string(directory), gbkOf(folder));
    releaseMemory(directory);
    std::wstring current(32768, L'\0');
    current.resize(GetCurrentDirectoryW(DWORD(current.size()), current.data()));
    EXPECT_EQ(current, folder);
}

// A copy of this program, started elsewhere, writes its run directory into
// the current directory: the file turns up in its own folder, holding that
// folder's name in GBK, 0x5C second bytes and all.
TEST(RunDirectory, comesFromTheModulePathWhateverItsCharacters)
{
    std::wstring temp(MAX_PATH + 1, L'\0');
    temp.resize(GetTempPathW(DWORD(temp.size()), temp.data()));
    const std::wstring root = temp + L"kelmora-rundir-" + std::to_wstring(GetCurrentProcessId());
    makeFolder(root);
    const std::wstring drive = root.substr(0, 2); // "C:"
    const struct {
        const char *what;
        std::wstring folder;
        std::wstring program;
    } rows[] = {
        { "Chinese", root + L"\\游戏", L"游戏.exe" },
        { "0x5C second bytes before the separators", root + L"\\游戏乗", L"乗.exe" },
        // "C:" alone would name the drive's current directory, not its root.
        { "root of the drive", drive, L"kelmora-rundir-" + std::to_wstring(GetCurrentProcessId()) + L".exe" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring program = row.folder + L"\\" + row.program;
        const std::wstring report = row.folder + L"\\" + reportFile;
        if (row.folder != drive) {
            for (std::size_t at = row.folder.find(L'\\', root.size());; at = row.folder.find(L'\\', at + 1)) {
                makeFolder(row.folder.substr(0, at));
                if (at == std::wstring::npos)
                    break;
            }
        }
        ASSERT_TRUE(CopyFileW(extended(programPath()).c_str(), extended(program).c_str(), FALSE));
        std::wstring commandLine = L"\"" + program + L"\" "
            + std::wstring(reportRunDirectoryArgument.begin(), reportRunDirectoryArgument.end());
        STARTUPINFOW startup {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process {};
        ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
            root.c_str(), &startup, &process));
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(exitCode, 0u);

        EXPECT_EQ(contentOf(readFile(gbkOf(report).c_str())), gbkOf(row.folder));
        DeleteFileW(extended(report).c_str());
        DeleteFileW(extended(program).c_str());
    }
    removeTree(root);
}

// Cut character by character: a second byte 0x5C is never a separator.
TEST(RunDirectory, cutsAtTheLastSeparatorCharacter)
{
    const std::pair<const char *, const char *> rows[] = {
        { "D:\\乗\\乗.exe", "D:\\乗" },
        { "C:\\游戏乗\\乗乗.exe", "C:\\游戏乗" },
        { "D:\\x.exe", "D:" },
        { "\\\\server\\share\\乗\\x.exe", "\\\\server\\share\\乗" },
        { "乗.exe", "" },
    };
    for (const auto &[program, expected] : rows) {
        SCOPED_TRACE(program);
        setRunDirectoryFromProgramPath(gbk(program));
        Text directory = runDirectory();
        EXPECT_EQ(directory ? std::string(directory) : std::string(), gbk(expected));
        EXPECT_EQ(directory == nullptr, *expected == '\0');
        releaseMemory(directory);
    }
}

// ---- Numbers and random draws, as on Linux -------------------------------------

std::vector<std::int32_t> draws(int n)
{
    std::vector<std::int32_t> seen;
    seen.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
        seen.push_back(randomNumber(0, 32767));
    return seen;
}

TEST(Random, seededSequenceIsTheLinuxOne)
{
    setRandomSeed(1);
    EXPECT_EQ(draws(5), (std::vector<std::int32_t> { 41, 18467, 6334, 26500, 19169 }));
    setRandomSeed(1);
    EXPECT_EQ(randomNumber(5, 5), 5); // no draw
    EXPECT_EQ(randomNumber(), 41);
    EXPECT_EQ(randomNumber(std::nullopt, std::nullopt), 18467);
}

// The system's tick count moves in steps of several milliseconds; the
// counter still makes seedings in one step differ.
TEST(Random, clockSeedingsInQuickSuccessionDiffer)
{
    setTickSource(nullptr);
    setRandomSeed();
    const auto first = draws(8);
    setRandomSeed();
    const auto second = draws(8);
    EXPECT_NE(first, second);
}

std::string takeText(Text text)
{
    std::string bytes = text ? text : "";
    releaseMemory(text);
    return bytes;
}

// The C runtime here writes "1e+013" for printf's "%.13g", and a decimal
// comma under a German locale; the game's texts do neither.
TEST(Numbers, textsAreTheLinuxOnesInAnyLocale)
{
    const auto check = [] {
        EXPECT_EQ(takeText(toText(std::int32_t(13))), "13");
        EXPECT_EQ(takeText(toText(std::int32_t(-5))), "-5");
        const std::pair<double, const char *> rows[] = {
            { 99.0, "99" },
            { 0.0, "0" },
            { 100.0, "100" },
            { 2.5, "2.5" },
            { 0.3, "0.3" },
            { 1.0 / 3, "0.3333333333333" },
            { 1e13, "1e+13" },
            { 1.5e-5, "1.5e-05" },
        };
        for (const auto &[value, text] : rows)
            EXPECT_EQ(takeText(toText(value)), text) << value;
    };
    check();
    if (!std::setlocale(LC_ALL, "German_Germany.1252"))
        GTEST_SKIP() << "no German locale";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    EXPECT_STREQ(probe, "2,5"); // the locale does write commas
    check();
    std::setlocale(LC_ALL, "C");
}

// Started by comesFromTheModulePathWhateverItsCharacters.
int reportRunDirectory()
{
    initRunDirectory();
    Text directory = runDirectory();
    std::FILE *file = _wfopen(reportFile, L"wb");
    if (!file)
        return 2;
    if (directory)
        std::fputs(directory, file);
    std::fclose(file);
    releaseMemory(directory);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && argv[1] == reportRunDirectoryArgument)
        return reportRunDirectory();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
