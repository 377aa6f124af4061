#include <cstdio>

int main() {
    std::puts("The window is not built yet: try build/default/tools/kestro-sim --help.");
    return 0;
}
