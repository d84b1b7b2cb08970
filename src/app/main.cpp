#include "cli/cli.h"

int main(int argc, char **argv)
{
    return Cli::run(argc, argv);
}
