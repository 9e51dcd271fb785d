// Writes a generated library for measurements of whole processes: mopira_genlib COUNT FILE.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "LibraryGenerator.h"

int main(int argc, char** argv) {
    char* end = nullptr;
    const unsigned long long count = argc == 3 ? std::strtoull(argv[1], &end, 10) : 0;
    if (count == 0 || *end != '\0') {
        std::fprintf(stderr, "usage: %s COUNT FILE\n", argv[0]);
        return 2;
    }
    const std::string bytes = mopira::bench::GenerateFaceList(count);
    std::FILE* file = std::fopen(argv[2], "wb");
    if (!file) {
        std::perror(argv[2]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
