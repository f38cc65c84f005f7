// Makes the demo song: a synthesized backing track (Ogg Vorbis), its text, a song project
// whose cues sit at the start of each sung line, and a list file holding that project.
//   make-demo <output folder>

#include "demo_project.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo <output folder>\n");
        return 2;
    }
    try {
        vokrin::demo::writeDemo(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "make-demo: %s\n", error.what());
        return 1;
    }
    return 0;
}
