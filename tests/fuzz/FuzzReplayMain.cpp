// SPDX-License-Identifier: MIT
// Replays fuzz inputs through LLVMFuzzerTestOneInput without libFuzzer, so that
// inputs kept in tests/data/fuzz/<Target>/ run as ordinary regression tests.
//
// Usage: <Target> [file or directory]...  A directory is replayed file by file in
// name order; a directory that does not exist is skipped. The empty input always
// runs first. Exit status 0 when every input returned without crashing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* p_argc, char*** p_argv) __attribute__((weak));

namespace {

// A real pointer even for no bytes, as libFuzzer gives: targets may hand it to memcpy.
const uint8_t g_empty = 0;

bool replayFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.string().c_str(), bytes.size());
    // An exactly sized heap block, so that AddressSanitizer catches a read past the end.
    std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    LLVMFuzzerTestOneInput(bytes.empty() ? &g_empty : data.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    LLVMFuzzerTestOneInput(&g_empty, 0);

    bool ok = true;
    int replayed = 0;
    for (int i = 1; i < argc; i++) {
        const std::filesystem::path arg(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(arg, error)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(arg, error)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
            std::sort(files.begin(), files.end());
            for (const auto& file : files) {
                ok = replayFile(file) && ok;
                replayed++;
            }
        } else if (std::filesystem::exists(arg, error)) {
            ok = replayFile(arg) && ok;
            replayed++;
        } else {
            std::fprintf(stderr, "no inputs at %s\n", arg.string().c_str());
        }
    }
    std::fprintf(stderr, "replayed %d input(s) plus the empty input\n", replayed);
    return ok ? 0 : 1;
}
