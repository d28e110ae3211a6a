#pragma once

#include <iosfwd>

namespace omvex::cli {

// A one-line bar on a terminal, redrawn in place; it clears its line when it goes away, so that
// whatever is written next starts on a clean line.
class ProgressBar {
public:
    explicit ProgressBar(std::ostream &err) : m_err(err) {}
    ~ProgressBar();
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;

    void show(int done, int total);

private:
    std::ostream &m_err;
    int m_shown = -1; // the percentage drawn last; -1 before the first drawing
};

} // namespace omvex::cli
