#include "cli/progressbar.h"

#include <ostream>
#include <string>

namespace omvex::cli {

ProgressBar::~ProgressBar()
{
    if (m_shown >= 0)
        m_err << "\r\033[K" << std::flush;
}

void ProgressBar::show(int done, int total)
{
    const int percent = total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 100;
    // Redrawing only when the percentage moves keeps a slow terminal from holding up the work.
    if (percent == m_shown)
        return;
    m_shown = percent;
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    m_err << "\romvex-predict: バックテスト [" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << percent << "% " << done << '/'
          << total << std::flush;
}

} // namespace omvex::cli
