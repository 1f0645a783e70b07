// Runs every seed file through a fuzz target once, for builds without
// libFuzzer: the seeds become an ordinary test. Takes files and folders (all
// files inside, in name order); options starting with "-" are libFuzzer's.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::filesystem::path> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        std::vector<std::filesystem::path> files{arg};
        if (std::filesystem::is_directory(arg))
            files.assign(std::filesystem::directory_iterator(arg), std::filesystem::directory_iterator());
        std::sort(files.begin(), files.end());
        if (argv[i][0] != '-')
            seeds.insert(seeds.end(), files.begin(), files.end());
    }
    for (const auto& seed : seeds) {
        std::ifstream in(seed, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "seed %s (%zu bytes)\n", seed.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "%zu seeds ran\n", seeds.size());
    return seeds.empty() ? 1 : 0;
}
