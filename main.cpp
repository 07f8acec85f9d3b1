#include "app/startup.h"

int main(int argc, char* argv[])
{
    return dl::runProgram(argc, argv);
}
