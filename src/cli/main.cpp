// motormodel-cli: runs one experiment without a window and prints its
// results, for scripting and checking.

#include "cli/CommandLine.h"
#ifdef MOTORMODEL_REPORT
#include "report/BatchReport.h"
#endif

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    // Past a file-size limit, a write then fails with EFBIG and is reported
    // like any other failed write, instead of the signal killing the tool.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#ifdef MOTORMODEL_REPORT
    return cli::RunCommandLine(arguments, std::cout, std::cerr, WriteBatchReport);
#else
    return cli::RunCommandLine(arguments, std::cout, std::cerr);
#endif
}
