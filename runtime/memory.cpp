// SPDX-License-Identifier: MIT
#include "memory.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "fatal.h"
#include "rttexts.h"

#ifdef _WIN32
#include <windows.h>
#else
// Linker-provided bounds of the program image: code, constant data and
// initialised data. Our libraries are static, so every constant text of the
// program lies between them.
extern "C" char __executable_start; // NOLINT(bugprone-reserved-identifier): the linker's name
extern "C" char edata;
#endif

namespace {

struct ArrayHeader {
    std::int32_t dimensions;
    std::int32_t size;
};

} // namespace

void *allocateMemory(std::size_t size)
{
    // malloc(0) may answer nullptr, which is no refusal.
    void *block = std::malloc(size == 0 ? 1 : size);
    if (!block) {
        // The size in full, also beyond the range of an int; composed on the
        // stack, since the heap just refused, and with to_chars, which keeps
        // clear of the user's locale as every number text here does.
        const char *mark = std::strstr(rt::allocationRefused, "%d");
        const auto head = std::size_t(mark - rt::allocationRefused);
        const std::size_t tail = std::strlen(mark + 2);
        char message[96];
        std::memcpy(message, rt::allocationRefused, head);
        char *end = std::to_chars(message + head, message + sizeof message - tail - 1, size).ptr;
        std::memcpy(end, mark + 2, tail + 1);
        reportFatalError(0, message);
    }
    return block;
}

bool isConstantData(const void *address)
{
    auto p = static_cast<const char *>(address);
#ifdef _WIN32
    auto base = reinterpret_cast<const char *>(GetModuleHandleW(nullptr));
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    return p >= base && p < base + nt->OptionalHeader.SizeOfImage;
#else
    return p >= &__executable_start && p < &edata;
#endif
}

void releaseMemory(const void *block)
{
    if (!block || isConstantData(block))
        return;
    std::free(const_cast<void *>(block));
}

Text newText(std::string_view bytes)
{
    auto text = static_cast<char *>(allocateMemory(bytes.size() + 1));
    if (!bytes.empty())
        std::memcpy(text, bytes.data(), bytes.size());
    text[bytes.size()] = '\0';
    return text;
}

Bytes newBytes(const void *data, std::size_t count)
{
    // A block counts its bytes in 32 bits; more cannot be a block at all.
    if (count == 0 || count > INT32_MAX)
        return nullptr;
    auto block = static_cast<unsigned char *>(newByteBlock(std::int32_t(count)));
    std::memcpy(block + sizeof(ArrayHeader), data, count);
    return block;
}

void *newByteBlock(std::int32_t count)
{
    auto block = static_cast<unsigned char *>(allocateMemory(sizeof(ArrayHeader) + std::size_t(count)));
    const ArrayHeader header { 1, count };
    std::memcpy(block, &header, sizeof header);
    return block;
}

void setBytesCount(void *block, std::int32_t count)
{
    const ArrayHeader header { 1, count };
    std::memcpy(block, &header, sizeof header);
}

std::int32_t bytesCount(Bytes block)
{
    if (!block)
        return 0;
    ArrayHeader header;
    std::memcpy(&header, block, sizeof header);
    return header.size;
}

const unsigned char *bytesData(Bytes block)
{
    return block ? static_cast<const unsigned char *>(block) + sizeof(ArrayHeader) : nullptr;
}

void *newIntArray(std::int32_t count)
{
    auto block = static_cast<unsigned char *>(
        allocateMemory(sizeof(ArrayHeader) + sizeof(std::int32_t) * std::size_t(count)));
    const ArrayHeader header { 1, count };
    std::memcpy(block, &header, sizeof header);
    std::memset(block + sizeof header, 0, sizeof(std::int32_t) * std::size_t(count));
    return block;
}

std::int32_t arrayElementCount(const void *block)
{
    ArrayHeader header;
    std::memcpy(&header, block, sizeof header);
    std::int32_t count = 1;
    auto sizes = static_cast<const std::int32_t *>(block) + 1;
    for (std::int32_t d = 0; d < header.dimensions; ++d)
        count *= sizes[d];
    return count;
}

std::int32_t &intArrayElement(void *block, std::int32_t index)
{
    if (index < 1)
        reportFatalError(4, rt::indexBelowOne);
    if (index > arrayElementCount(block))
        reportFatalError(1, rt::indexAboveCount);
    auto words = static_cast<std::int32_t *>(block);
    const std::int32_t dimensions = words[0];
    return words[1 + dimensions + index - 1];
}
