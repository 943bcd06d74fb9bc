#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "app/standard_output.h"

namespace tallowin {
namespace {

// `tallowin | head -n 1`: once the reader is gone the next line must not end
// the process (SIGPIPE), and no line is written after a failed one, even to
// a standard output that works again.
TEST(StandardOutputOnAClosedPipe, StopsWritingAndTheProcessGoesOn) {
    int closed[2];
    int later[2];
    ASSERT_EQ(::pipe(closed), 0);
    ASSERT_EQ(::pipe(later), 0);
    ::close(closed[0]);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGPIPE, SIG_DFL);  // as a process starts
        ::dup2(closed[1], STDOUT_FILENO);
        StandardOutput output;
        output.writeLine("fails");
        ::dup2(later[1], STDOUT_FILENO);
        output.writeLine("not written");
        ::_exit(42);  // no flush at exit: only writeLine itself may write
    }
    ::close(closed[1]);
    ::close(later[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42) << "ended by a signal";
    char c = 0;
    EXPECT_EQ(::read(later[0], &c, 1), 0) << "a line was written after a write had failed";
    ::close(later[0]);
}

}  // namespace
}  // namespace tallowin
