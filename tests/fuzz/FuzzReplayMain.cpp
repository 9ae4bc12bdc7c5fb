// SPDX-License-Identifier: MIT
// Runs LLVMFuzzerTestOneInput without libFuzzer on the empty input, then on the files given or found in
// the directories given, in name order, so that kept inputs replay as regression tests.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* p_argc, char*** p_argv) __attribute__((weak));

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; i++) {
        if (!std::filesystem::is_directory(argv[i])) {
            files.emplace_back(argv[i]);
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    const uint8_t empty = 0;  // a real pointer even for no bytes, as libFuzzer gives
    LLVMFuzzerTestOneInput(&empty, 0);
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
            return 1;
        }
        std::fprintf(stderr, "replaying %s\n", file.string().c_str());
        // Exactly sized, so that AddressSanitizer catches a read past the end.
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        LLVMFuzzerTestOneInput(bytes.empty() ? &empty : bytes.data(), bytes.size());
    }
    std::fprintf(stderr, "replayed %zu input(s) plus the empty input\n", files.size());
    return 0;
}
