// klivatarn: the window program.
#include "app/Startup.h"

int main(int argc, char* argv[])
{
    return kt::programMain(argc, argv);
}
