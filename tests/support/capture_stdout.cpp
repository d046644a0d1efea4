#include "capture_stdout.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

std::string capture_stdout(const std::function<void()> &body)
{
    std::fflush(stdout);
    char path[] = "/tmp/vexo_stdout_XXXXXX";
    const int file = mkstemp(path);
    if (file < 0) {
        std::abort();
    }
    unlink(path);
    const int saved = dup(STDOUT_FILENO);
    dup2(file, STDOUT_FILENO);
    body();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);

    std::string text;
    lseek(file, 0, SEEK_SET);
    char chunk[65536];
    ssize_t got = 0;
    while ((got = read(file, chunk, sizeof chunk)) > 0) {
        text.append(chunk, static_cast<size_t>(got));
    }
    close(file);
    return text;
}
