// Writes the workstation's default spreadsheet templates into a folder; the build ships
// them beside the default method, and the program copies them into the method folder
// where the laboratory has none of its own.
#include "report/DefaultTemplates.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        for (const std::string& path : dgaws::writeDefaultTemplates(argv[1]))
            std::printf("%s\n", path.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
