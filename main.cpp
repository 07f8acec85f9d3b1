#include "app/startup/startup.h"

int main(int argc, char* argv[])
{
    return dl::runProgram(argc, argv);
}
