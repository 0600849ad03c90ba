// Writes the program icon as a PNG file: velkor_icon_render SIZE FILE.
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "Glyphs.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: velkor_icon_render SIZE FILE\n", stderr);
        return 2;
    }
    const int size = std::atoi(argv[1]);
    if (size <= 0) {
        std::fputs("velkor_icon_render: SIZE must be a positive number\n", stderr);
        return 2;
    }
    if (!velkor::ProgramIconImage(size).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "velkor_icon_render: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
