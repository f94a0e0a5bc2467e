// Takes the instance lock and says whether it got it: "held" (then waits to be killed) or
// "refused" (exit code 1). With "spawn" it first starts a long-running program of its own,
// whose process id it prints, to show that such children do not keep the lock.
#include "platform/SingleInstance.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    SingleInstance instance;
    if (!instance.acquire()) {
        std::puts("refused");
        return 1;
    }
    if (argc > 1 && std::strcmp(argv[1], "spawn") == 0) {
        // The pipe's write end closes when the child execs, so the read below returns only once
        // the child no longer holds the lock's descriptor it inherited at the fork.
        int execed[2];
        if (pipe2(execed, O_CLOEXEC) != 0)
            return 2;
        const pid_t child = fork();
        if (child == 0) {
            execlp("sleep", "sleep", "60", static_cast<char *>(nullptr));
            _exit(127);
        }
        ::close(execed[1]);
        char byte;
        while (::read(execed[0], &byte, 1) > 0) {
        }
        ::close(execed[0]);
        std::printf("child %d\n", int(child));
    }
    std::puts("held");
    std::fflush(stdout);
    for (;;)
        pause();
}
