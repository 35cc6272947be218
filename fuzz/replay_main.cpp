// Replays every file of a corpus folder (recursively) through one fuzz entry point, so the
// corpus of damaged files is checked by CTest with the normal compiler.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR...\n", argv[0]);
        return 2;
    }
    size_t files = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (!std::filesystem::is_directory(argv[i], ec)) {
            std::fprintf(stderr, "no corpus folder %s\n", argv[i]);
            return 2;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            // Also every prefix of small files: truncation is the commonest damage.
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            if (bytes.size() <= 4096)
                for (size_t n = 0; n < bytes.size(); ++n)
                    LLVMFuzzerTestOneInput(bytes.data(), n);
            ++files;
        }
    }
    std::printf("replayed %zu files\n", files);
    return files > 0 ? 0 : 1;
}
