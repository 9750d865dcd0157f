#include <cstdio>
int main() {
    std::fprintf(stderr, "quillon-sim: the simulated card is not built yet\n");
    return 1;
}
