#include <cstdio>

int main()
{
    // The main window is not built yet: say what this is and refuse to run.
    std::printf("Vokrin %s\n", VOKRIN_VERSION);
    return 1;
}
