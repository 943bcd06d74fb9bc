#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/standard_output.h"

namespace tallowin {
namespace {

std::string readLine(int fd) {
    std::string line;
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

void waitForGo(int fd) {
    char c = 0;
    while (::read(fd, &c, 1) == 1) {
    }
}

// `tallowin | head -n 1`: the reader takes one line and goes. The next lines
// must neither end the process (SIGPIPE) nor be written anywhere once a
// write has failed, even when standard output later works again.
TEST(StandardOutputOnAClosedPipe, StopsWritingAndTheProcessGoesOn) {
    int out[2];
    int go[2];
    int later[2];
    ASSERT_EQ(::pipe(out), 0);
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(later), 0);
    std::fflush(stdout);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGPIPE, SIG_DFL);  // as a process starts
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::close(go[1]);
        ::close(later[0]);
        StandardOutput output;
        output.writeLine("first");
        waitForGo(go[0]);
        output.writeLine("second");  // the reader is gone: this one fails
        output.writeLine("third");
        ::dup2(later[1], STDOUT_FILENO);  // a working standard output again
        output.writeLine("fourth");
        ::_exit(42);  // no flush at exit: only writeLine itself may write
    }
    ::close(out[1]);
    ::close(go[0]);
    ::close(later[1]);
    EXPECT_EQ(readLine(out[0]), "first");
    ::close(out[0]);
    ::close(go[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 42);
    std::string rest;
    char c = 0;
    while (::read(later[0], &c, 1) == 1) rest += c;
    ::close(later[0]);
    EXPECT_EQ(rest, "") << "lines were written after a write had failed";
}

}  // namespace
}  // namespace tallowin
