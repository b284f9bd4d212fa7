#ifndef MOSSGLIMMER_RUNNER_MEMORY_USAGE_HPP
#define MOSSGLIMMER_RUNNER_MEMORY_USAGE_HPP

// The process's resident memory in megabytes, 0 where the system can't say.
double peak_resident_mb();
double current_resident_mb();

#endif // MOSSGLIMMER_RUNNER_MEMORY_USAGE_HPP
