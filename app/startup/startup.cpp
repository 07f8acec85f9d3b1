#include "app/startup/startup.h"

#include <QApplication>

namespace dl {

int runProgram(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return 0;
}

} // namespace dl
