#include <cstdio>

int main() {
    std::printf("usage: velora-remote discover|pair|send|shell|screen ...\n");
    return 2;
}
