// SPDX-License-Identifier: MIT
// Runs files through a fuzz target's entry point without libFuzzer, so the
// kept crashers and the seeds are checked in every build:
//   fuzzreplay_<target> folder-or-file...
// A finding aborts, as it does under the fuzzer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
// Only some targets have one.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

bool replay(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    // A block of exactly the file's size, so reading past it is caught.
    auto data = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), data.get());
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    bool ok = argc > 1;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path argument(argv[i]);
        if (!std::filesystem::is_directory(argument)) {
            ok = replay(argument) && ok;
            continue;
        }
        std::vector<std::filesystem::path> files;
        for (const auto &entry : std::filesystem::directory_iterator(argument))
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto &file : files)
            ok = replay(file) && ok;
    }
    return ok ? 0 : 1;
}
