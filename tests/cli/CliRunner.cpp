#include "CliRunner.h"
#include "TestPaths.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velkor::testing {

CliRun RunCli(const TempDir& folder, const std::string& arguments, const std::string& input) {
    return RunShell(folder, "exec \"$VELKOR_CLI\" " + arguments, input);
}

CliRun RunShell(const TempDir& folder, const std::string& command, const std::string& input) {
    const TempDir output;
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(input.c_str(), O_RDONLY);
        const int out = ::open(output.Path("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(output.Path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::chdir(folder.Folder().c_str()) != 0) {
            ::_exit(127);
        }
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::setenv("VELKOR_CLI", VELKOR_CLI_PATH, 1);
        ::alarm(60);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int raw = 0;
    CliRun run;
    if (child > 0 && ::waitpid(child, &raw, 0) == child) {
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    run.out = output.Read("out");
    run.err = output.Read("err");
    return run;
}

}  // namespace velkor::testing
