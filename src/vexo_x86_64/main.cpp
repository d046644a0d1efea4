#include "cli.h"

int main(int argc, char **argv)
{
    return vexo_main(argc, argv);
}
