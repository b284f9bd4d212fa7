// Resident memory, read as a long soak reports it.
#include "memory_usage.hpp"

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

double peak_resident_mb() {
	struct rusage usage = {};
	if (getrusage(RUSAGE_SELF, &usage) != 0) {
		return 0.0;
	}
	return (double)usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

double current_resident_mb() {
	FILE *f = std::fopen("/proc/self/statm", "r");
	if (!f) {
		return 0.0;
	}
	unsigned long size = 0, resident = 0;
	int read = std::fscanf(f, "%lu %lu", &size, &resident);
	std::fclose(f);
	long page = sysconf(_SC_PAGESIZE);
	return read == 2 && page > 0 ? (double)resident * (double)page / (1024.0 * 1024.0) : 0.0;
}
