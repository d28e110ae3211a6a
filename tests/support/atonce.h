#pragma once

#include <functional>
#include <vector>

namespace omvex::test {

// Runs work(0) .. work(count - 1) in as many child processes, released together so that they
// overlap as two programs started at once would; returns each child's exit status (-1 when it did
// not exit normally).
std::vector<int> runAtOnce(int count, const std::function<int(int index)> &work);

} // namespace omvex::test
