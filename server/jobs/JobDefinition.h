#pragma once
// One configured job, as the configuration file describes it and the job
// runner starts it.

#include "jobs/JobSchedule.h"

#include <string>
#include <vector>

namespace qserver {

struct JobDefinition {
    std::string name;  // shown in the job lists and used by "job new eenmalig"
    std::string description;
    JobSchedule schedule;
    std::vector<std::string> argv;  // program and arguments, no shell involved
    int timeLimitSeconds = 600;
    std::string directory;  // working directory; empty = the server's
};

}  // namespace qserver
