// Stand-in for libFuzzer where it is missing: runs the regression inputs,
// then seeded random inputs (mostly format characters) until time is up.
// usage: fuzzer <seconds> [input dir...]
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30;
    size_t runs = 0;
    for (int a = 2; a < argc; ++a) {
        if (!std::filesystem::is_directory(argv[a])) continue;
        for (const auto& entry : std::filesystem::directory_iterator(argv[a])) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++runs;
        }
    }
    const char alphabet[] = "#.,+-^*$!&\\_ 0123456789EeDdHhOo:x";
    std::mt19937_64 random(20261211);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::vector<uint8_t> input;
    while (std::chrono::steady_clock::now() < deadline) {
        for (int batch = 0; batch < 256; ++batch) {
            input.resize(random() % 200);
            for (size_t i = 0; i < input.size(); ++i) {
                uint64_t r = random();
                input[i] = (i < 13 || r % 4 == 0) ? static_cast<uint8_t>(r >> 8)
                                                  : static_cast<uint8_t>(alphabet[(r >> 8) % (sizeof alphabet - 1)]);
            }
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++runs;
        }
    }
    std::printf("random driver: %zu inputs, no fault\n", runs);
    return 0;
}
