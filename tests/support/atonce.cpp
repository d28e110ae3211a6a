#include "support/atonce.h"

#include <sys/wait.h>
#include <unistd.h>

namespace omvex::test {

std::vector<int> runAtOnce(int count, const std::function<int(int index)> &work)
{
    int gate[2];
    if (::pipe(gate) != 0)
        return {};
    std::vector<pid_t> children;
    for (int index = 0; index < count; ++index) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(gate[1]);
            char byte = 0;
            // Blocks until the parent closes its end: then every child reads end of file at once.
            (void)::read(gate[0], &byte, 1);
            ::_exit(work(index));
        }
        children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    std::vector<int> statuses;
    for (const pid_t child : children) {
        int status = 0;
        const bool waited = child > 0 && ::waitpid(child, &status, 0) == child;
        statuses.push_back(waited && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return statuses;
}

} // namespace omvex::test
