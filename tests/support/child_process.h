#pragma once
// Runs a piece of a test in a child process, so that what it changes about the process (a
// file-size limit, the user it runs as) ends with it.
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <functional>
#include <string>

namespace barqeen::test {

constexpr uid_t kNobody = 65534;

// Runs body in a child, as the ordinary user nobody when asked and the tests run as root (whose
// rights no permission takes away). Answers what body returned, or how the child ended.
inline std::string inChild(bool ordinaryUser, const std::function<std::string()>& body)
{
    int out[2];
    if (::pipe(out) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        if (ordinaryUser && ::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            _exit(3);
        std::string answer;
        try {
            answer = body();
        } catch (const std::exception& e) {
            answer = std::string("threw: ") + e.what();
        }
        [[maybe_unused]] const ssize_t n = ::write(out[1], answer.data(), answer.size());
        _exit(0);
    }
    ::close(out[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, size_t(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child ended with status " + std::to_string(status);
    return answer;
}

}  // namespace barqeen::test
