#pragma once
// Starting a command line for the server's jobs and deliveries: no shell, a
// process group of its own (so a time limit can end the whole group), the
// signals the server blocks or ignores reset, standard input from /dev/null,
// and standard output and error into one pipe the caller reads.

#include <string>
#include <sys/types.h>
#include <vector>

namespace qserver {

struct SpawnResult {
    pid_t pid = -1;  // the child, when started
    int output = -1;  // read end of its output pipe (close-on-exec), when started
    bool started = false;
    bool pipeFailed = false;  // no pipe could be made: nothing was tried
    int error = 0;  // errno of the failed step
};

// argv[0] is looked up on PATH; directory, when not empty, is the child's
// working directory.
SpawnResult SpawnWithOutput(const std::vector<std::string> &argv, const std::string &directory);

}  // namespace qserver
