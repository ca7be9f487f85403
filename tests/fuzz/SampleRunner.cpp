// Runs a fuzz entry point once over every file of the sample directories given on the command line, so
// that each target's sample inputs are also an ordinary test of the native build. Fails when it finds no sample.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> samples;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            if (entry.is_regular_file()) {
                samples.push_back(entry.path());
            }
        }
    }
    std::sort(samples.begin(), samples.end());
    for (const auto& sample : samples) {
        std::ifstream file(sample, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        std::printf("%s (%zu bytes)\n", sample.filename().c_str(), bytes.size());
        std::fflush(stdout);
        // An empty vector's data() may be null; libFuzzer never passes null.
        static const uint8_t none = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
    }
    std::printf("%zu samples\n", samples.size());
    return samples.empty() ? 1 : 0;
}
