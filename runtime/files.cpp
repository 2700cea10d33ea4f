// SPDX-License-Identifier: MIT
#include "files.h"

#include <algorithm>
#include <string>

#include "gbk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::string runDirectoryText; // GBK, fixed at start-up

#ifdef _WIN32
// A file name for the wide API, whatever its length: a full path past the
// classic 260-character limit goes with the \\?\ prefix, which switches
// off that limit (and the name's normalisation, done here beforehand).
std::optional<std::wstring> toFileSystemName(std::string_view gbk)
{
    const auto wide = gbkToWide(gbk);
    if (!wide || wide->find(L'\0') != std::wstring::npos)
        return std::nullopt;
    DWORD n = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return std::nullopt;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide->c_str(), DWORD(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return std::nullopt;
    full.resize(n);
    if (full.size() < MAX_PATH - 12 || full.starts_with(LR"(\\?\)"))
        return full;
    if (full.starts_with(LR"(\\)"))
        return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}
#else
// The game builds paths with "\" separators; here folders are separated by
// "/". UTF-8 never has 0x5C inside a character, so the swap is safe after
// conversion, whereas in GBK it would hit second bytes.
std::optional<std::string> toFileSystemName(std::string_view gbk)
{
    auto name = gbkToUtf8(gbk);
    if (name)
        std::replace(name->begin(), name->end(), '\\', '/');
    return name;
}
#endif

// A block of `size` bytes filled by `readSome(buffer, count)`, which gives
// the bytes it read, 0 at the end of the file or -1 after an error. A file
// that got shorter keeps what arrived; an error, or nothing at all, gives no
// block.
template <typename ReadSome> Bytes readBlock(std::size_t size, ReadSome readSome)
{
    void *filled = newByteBlock(std::int32_t(size));
    auto buffer = const_cast<unsigned char *>(bytesData(filled));
    std::size_t got = 0;
    while (got < size) {
        const long long n = readSome(buffer + got, size - got);
        if (n < 0) {
            got = 0;
            break;
        }
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    if (got == 0) {
        releaseMemory(filled);
        return nullptr;
    }
    setBytesCount(filled, std::int32_t(got));
    return filled;
}

} // namespace

void setRunDirectoryFromProgramPath(std::string_view gbkProgramPath)
{
    // Walk whole characters so that the second byte of a double-byte
    // character is never taken for a separator.
    std::size_t lastSeparator = std::string_view::npos;
    for (std::size_t i = 0; i < gbkProgramPath.size(); ++i) {
        const auto c = static_cast<unsigned char>(gbkProgramPath[i]);
        if (isGbkLeadByte(c) && i + 1 < gbkProgramPath.size())
            ++i;
        else if (c == '\\' || c == '/')
            lastSeparator = i;
    }
    runDirectoryText = lastSeparator == std::string_view::npos
        ? std::string()
        : std::string(gbkProgramPath.substr(0, lastSeparator));
}

void initRunDirectory()
{
#ifdef _WIN32
    // Whole path whatever its length: grow the buffer until it fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t separator = path.find_last_of(L"\\/");
    std::wstring folder = separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
    // "D:" alone names the drive's current directory; its root is "D:\".
    if (folder.size() == 2 && folder[1] == L':')
        folder += L'\\';
    if (auto gbk = wideToGbk(path)) {
        setRunDirectoryFromProgramPath(*gbk);
    } else {
        // A folder name with no GBK form cannot be spelt in the game's texts;
        // the current directory still finds pkp\ beside the program.
        runDirectoryText.assign(1, '.');
    }
    if (!SetCurrentDirectoryW(folder.c_str()) && runDirectoryText == ".")
        runDirectoryText.clear();
#else
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return;
    const std::string folder = program.parent_path().string();
    if (auto gbk = utf8ToGbk(program.string())) {
        setRunDirectoryFromProgramPath(*gbk);
    } else {
        // A folder name with no GBK form cannot be spelt in the game's texts;
        // the current directory still finds pkp/ beside the program.
        runDirectoryText.assign(1, '.');
    }
    if (chdir(folder.c_str()) != 0 && runDirectoryText == ".")
        runDirectoryText.clear();
#endif
}

Text runDirectory()
{
    return runDirectoryText.empty() ? nullptr : newText(runDirectoryText);
}

Bytes readFile(Text fileName)
{
    if (!fileName || !*fileName)
        return nullptr;
#ifdef _WIN32
    const auto name = toFileSystemName(fileName);
    if (!name)
        return nullptr;
    // Others may read the file meanwhile but not write it: a file that is
    // being written is locked to us (no block) rather than read half-done.
    HANDLE file = CreateFileW(
        name->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size {};
    Bytes block = nullptr;
    // Only a disk file has a length to read; a pipe or a device does not.
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart > 0
        && size.QuadPart <= maxReadBytes) {
        block = readBlock(std::size_t(size.QuadPart), [file](unsigned char *buffer, std::size_t count) {
            DWORD n = 0;
            return ReadFile(file, buffer, DWORD(count), &n, nullptr) ? static_cast<long long>(n) : -1LL;
        });
    }
    CloseHandle(file);
    return block;
#else
    const auto name = toFileSystemName(fileName);
    if (!name)
        return nullptr;
    const int fd = open(name->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status { };
    Bytes block = nullptr;
    // Only a regular file has a length to read; a folder or a device does not.
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0
        && status.st_size <= maxReadBytes) {
        block = readBlock(std::size_t(status.st_size), [fd](unsigned char *buffer, std::size_t count) {
            ssize_t n;
            do
                n = read(fd, buffer, count);
            while (n < 0 && errno == EINTR);
            return static_cast<long long>(n);
        });
    }
    close(fd);
    return block;
#endif
}
