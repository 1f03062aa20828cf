// A real program in the updater's place, for the hand-over on either system: it appends its
// parameters to runs.txt in the current folder, and a check run ("c") ends with the replace
// request (-9: exit status 247 on POSIX, 0xFFFFFFF7 on Windows) while ask-replace.txt exists.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (std::FILE* runs = std::fopen("runs.txt", "ab")) {
        for (int i = 1; i < argc; ++i)
            std::fprintf(runs, i == 1 ? "%s" : " %s", argv[i]);
        std::fputc('\n', runs);
        std::fclose(runs);
    }
    if (argc > 2 && std::strcmp(argv[2], "c") == 0) {
        if (std::FILE* ask = std::fopen("ask-replace.txt", "rb")) {
            std::fclose(ask);
            return -9;
        }
    }
    return 3;
}
