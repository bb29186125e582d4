// Drives the text file on real files: each argument is one step, run in
// order on one of two text-file variables (the first unless "use 2"):
//   bind PATH | create | append | read | close | write TEXT | repeat N CHAR
//   | endline | query | check | sleep MILLISECONDS | use 1|2
// "query" prints "result N" (the code QueryResult returned) on a line of its
// own; "check" raises the failure report when a code is pending. The failure
// report is installed as in the program, so a check ends with exit code 217.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalogue/text_file.h"
#include "shell/failure_report.h"

namespace {

TextFile files[2];

int Usage(const char *step) {
    std::fprintf(stderr, "text_file_probe: bad step %s\n", step);
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    InstallFaultHandler();
    PrepareOutOfMemory();
    TextFile *file = &files[0];
    for (int i = 1; i < argc; ++i) {
        const char *step = argv[i];
        bool hasArgument = i + 1 < argc;
        if (std::strcmp(step, "bind") == 0 && hasArgument) Bind(*file, argv[++i]);
        else if (std::strcmp(step, "create") == 0) Create(*file);
        else if (std::strcmp(step, "append") == 0) OpenForAppending(*file);
        else if (std::strcmp(step, "read") == 0) OpenForReading(*file);
        else if (std::strcmp(step, "close") == 0) Close(*file);
        else if (std::strcmp(step, "write") == 0 && hasArgument) WriteText(*file, argv[++i]);
        else if (std::strcmp(step, "repeat") == 0 && i + 2 < argc) {
            std::string text(std::strtoul(argv[i + 1], nullptr, 10), argv[i + 2][0]);
            WriteText(*file, text);
            i += 2;
        } else if (std::strcmp(step, "endline") == 0) EndLine(*file);
        else if (std::strcmp(step, "query") == 0) std::printf("result %u\n", QueryResult());
        else if (std::strcmp(step, "check") == 0) {
            std::fflush(stdout);
            Check();
        } else if (std::strcmp(step, "sleep") == 0 && hasArgument) Sleep(std::strtoul(argv[++i], nullptr, 10));
        else if (std::strcmp(step, "use") == 0 && hasArgument) file = &files[argv[++i][0] == '2' ? 1 : 0];
        else return Usage(step);
        std::fflush(stdout);
    }
    return 0;
}
