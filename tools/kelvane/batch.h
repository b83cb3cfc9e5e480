// Runs a list of tasks on worker threads and shows their output as if they had run one after
// another: each task writes to its own streams, and what it wrote reaches the real streams in
// task order, each task's output in one piece.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>

namespace kelvane::script {

// Task i writes to the out and err it is given and returns its exit status.
using BatchTask = std::function<int(size_t index, std::ostream& out, std::ostream& err)>;
// Called on the printing thread just before task i's output is shown.
using BatchAnnounce = std::function<void(size_t index, std::ostream& out, std::ostream& err)>;

// Runs tasks 0 .. count-1 on min(jobs, count) worker threads (jobs at least 1), started in
// order; a task's output is held until the ones before it are shown, its writes to out and err
// then replayed in the order it made them. Workers start at most a few tasks ahead of the
// output, so held output stays bounded. Returns the largest status of the tasks; throws
// std::system_error, before any task ran, when not even one thread can be started.
int RunBatch(size_t count, unsigned jobs, const BatchTask& task, const BatchAnnounce& announce,
             std::ostream& out, std::ostream& err);

}  // namespace kelvane::script
