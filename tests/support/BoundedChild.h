// Runs a call that could block forever (reading a named pipe, say) in a child process with an
// alarm, so that a regression fails its test instead of hanging the whole suite.
#pragma once

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <string>

namespace testsupport {

// Runs `risky` (returning a text) in a child killed after `seconds`; returns that text, or a
// text beginning with "***" when the child did not finish or threw.
template <class F> std::string InBoundedChild(unsigned seconds, F risky) {
    int fds[2];
    if (::pipe(fds) != 0)
        return "*** pipe failed";
    const pid_t pid = ::fork();
    if (pid < 0)
        return "*** fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        ::alarm(seconds);
        std::string text;
        try {
            text = risky();
        } catch (const std::exception& e) {
            text = std::string("*** exception: ") + e.what();
        } catch (...) {
            text = "*** exception";
        }
        (void)!::write(fds[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        return "*** the child was ended by signal " + std::to_string(WTERMSIG(status)) +
               (WTERMSIG(status) == SIGALRM ? " (it blocked)" : "");
    return out;
}

} // namespace testsupport
