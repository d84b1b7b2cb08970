#include "cli/cli.h"
#include "shell/gui_main.h"

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // The command line never creates a GUI application object.
    if (Cli::wantsCommandLine(arguments))
        return Cli::run(argc, argv);
    return runGui(argc, argv);
}
