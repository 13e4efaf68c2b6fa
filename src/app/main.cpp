#include <cstdio>
#include <cstring>

#include "core/Version.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("velora %s\n", velora::kVersion);
            return 0;
        }
    }
    std::printf("usage: velora [--console] [--version] [--help]\n");
    return 0;
}
