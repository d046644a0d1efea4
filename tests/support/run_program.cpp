#include "run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <cstdlib>

extern char **environ;

namespace {

// Drains the open pipes together, so that a program filling one of them
// never blocks while the other is being read. A descriptor of -1 is skipped.
void read_pipes(int out_fd, int err_fd, std::string *out, std::string *err)
{
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    std::string *sinks[2] = {out, err};
    int open_count = (out_fd >= 0 ? 1 : 0) + (err_fd >= 0 ? 1 : 0);
    char chunk[65536];
    while (open_count > 0) {
        if (poll(fds, 2, -1) < 0) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            const ssize_t got = read(fds[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                sinks[i]->append(chunk, static_cast<size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_count;
            }
        }
    }
}

// The argument vector as execve takes it, null-terminated.
std::vector<char *> argv_pointers(const std::vector<std::string> &argv)
{
    std::vector<char *> args;
    for (const auto &a : argv) {
        args.push_back(const_cast<char *>(a.c_str()));
    }
    args.push_back(nullptr);
    return args;
}

// In the child: standard output as the setup asks, then the program.
[[noreturn]] void start_child(const std::string &path, char **args, const ProgramSetup &setup,
                              int out_pipe[2], int err_pipe[2])
{
    dup2(err_pipe[1], STDERR_FILENO);
    switch (setup.target) {
    case OutputTarget::kPipe:
    case OutputTarget::kPipeReaderGone:
        dup2(out_pipe[1], STDOUT_FILENO);
        break;
    case OutputTarget::kClosed:
        close(STDOUT_FILENO);
        break;
    case OutputTarget::kFile: {
        const int fd = open(setup.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) {
            _exit(126);
        }
        dup2(fd, STDOUT_FILENO);
        close(fd);
        break;
    }
    }
    for (int fd : {out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) {
        if (fd > STDERR_FILENO) {
            close(fd);
        }
    }
    if (setup.ignore_sigpipe) {
        std::signal(SIGPIPE, SIG_IGN);
    }
    if (setup.file_size_limit > 0) {
        // As a shell's ulimit -f leaves it: SIGXFSZ at its default, which
        // would end the program at the first write past the limit.
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{static_cast<rlim_t>(setup.file_size_limit),
                           static_cast<rlim_t>(setup.file_size_limit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    execve(path.c_str(), args, environ);
    _exit(127);
}

} // namespace

ProgramRun run_program_with(const std::string &path, const std::vector<std::string> &argv,
                            const ProgramSetup &setup)
{
    std::vector<char *> args = argv_pointers(argv);

    ProgramRun run{"", "", -1, 0};
    int out_pipe[2];
    int err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) {
        return run;
    }
    if (setup.target == OutputTarget::kPipeReaderGone) {
        close(out_pipe[0]); // no reader, ever: every write meets a broken pipe
        out_pipe[0] = -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        start_child(path, args.data(), setup, out_pipe, err_pipe);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    const bool read_out = setup.target == OutputTarget::kPipe;
    if (!read_out && out_pipe[0] >= 0) {
        close(out_pipe[0]);
    }
    read_pipes(read_out ? out_pipe[0] : -1, err_pipe[0], &run.out, &run.err);
    int wstatus = 0;
    if (child > 0 && waitpid(child, &wstatus, 0) == child) {
        if (WIFEXITED(wstatus)) {
            run.status = WEXITSTATUS(wstatus);
        } else if (WIFSIGNALED(wstatus)) {
            run.signal = WTERMSIG(wstatus);
        }
    }
    return run;
}

ProgramRun run_program(const std::string &path, const std::vector<std::string> &argv)
{
    return run_program_with(path, argv, ProgramSetup{OutputTarget::kPipe, "", false, 0});
}

std::string program_under_test(const char *built)
{
    const char *env = std::getenv("VEXO_BIN");
    return env != nullptr && env[0] != '\0' ? env : built;
}

std::string output_until(const std::string &path, const std::vector<std::string> &argv,
                         const std::string &marker)
{
    std::vector<char *> args = argv_pointers(argv);
    int out_pipe[2];
    if (pipe(out_pipe) != 0) {
        return "";
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(out_pipe[1], STDOUT_FILENO);
        close(out_pipe[0]);
        close(out_pipe[1]);
        execve(path.c_str(), args.data(), environ);
        _exit(127);
    }
    close(out_pipe[1]);
    std::string seen;
    char chunk[4096];
    for (;;) {
        const ssize_t got = read(out_pipe[0], chunk, sizeof chunk);
        if (got <= 0) {
            seen.clear();
            break;
        }
        seen.append(chunk, static_cast<size_t>(got));
        if (seen.find(marker) != std::string::npos) {
            break;
        }
    }
    close(out_pipe[0]);
    kill(child, SIGKILL);
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    return seen;
}

ProgramRun run_program_on_terminal(const std::string &path, const std::vector<std::string> &argv)
{
    std::vector<char *> args = argv_pointers(argv);
    ProgramRun run{"", "", -1, 0};
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    int out_pipe[2];
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || pipe(out_pipe) != 0) {
        return run;
    }
    const std::string terminal = ptsname(master);
    const pid_t child = fork();
    if (child == 0) {
        const int slave = open(terminal.c_str(), O_RDWR | O_NOCTTY);
        dup2(out_pipe[1], STDOUT_FILENO);
        dup2(slave, STDERR_FILENO);
        close(slave);
        close(master);
        close(out_pipe[0]);
        close(out_pipe[1]);
        execve(path.c_str(), args.data(), environ);
        _exit(127);
    }
    close(out_pipe[1]);
    // The terminal's end reads EIO once the program, its only user, is gone.
    read_pipes(out_pipe[0], master, &run.out, &run.err);
    int wstatus = 0;
    if (child > 0 && waitpid(child, &wstatus, 0) == child && WIFEXITED(wstatus)) {
        run.status = WEXITSTATUS(wstatus);
    }
    return run;
}
