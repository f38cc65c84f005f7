#include "app/startup.h"

int main(int argc, char **argv)
{
    return vokrin::app::runProgram(argc, argv);
}
