// klivatarn: the window program.
#include "app/ui/Startup.h"

int main(int argc, char* argv[])
{
    return kt::programMain(argc, argv);
}
