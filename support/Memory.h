// The memory the machine can give to new work, and the refusal of work that
// needs more: a big mesh is counted before it is made, so that no
// description can take the machine down.
#pragma once

#include <string>

namespace lapforge {

// Bytes available to new work: MemAvailable of /proc/meminfo, else the free
// physical pages; a negative value when the system does not say.
double AvailableMemory();

// A byte count for a message: "13.4 GB", "512.0 MB", "900 bytes".
std::string ByteFigure(double bytes);

// Empty when `bytes` of work fit in the memory available (or the system
// does not say how much there is). Otherwise the refusal: "<what> would
// need about 13.4 GB of memory, more than the 10.2 GB available".
std::string MemoryRefusal(double bytes, const std::string& what);

// Tells the allocator to keep memory the program lets go of and give it
// out again, rather than return it to the system and take fresh pages
// (each touched for the first time, a page fault) for the next request:
// the exports make and let go of one block's arrays per block, block after
// block. The program's peak stays where it was. Called once by each front.
void KeepFreedMemory();

}  // namespace lapforge
