#pragma once

// kako.txt read on a thread of its own from the program's first moment, while the toolkit starts and
// the window is built; the window takes the reading where it would read the file itself.

#include "grid/cellgrid.h"
#include "history/historyload.h"

#include <QString>

#include <future>
#include <optional>

namespace omvex {

struct PreloadedKako {
    CellGrid grid;    // a history grid in its start-up state, after the reading
    HistoryLoad load; // as loadKako reports it, without the hash
};

class KakoPreload {
public:
    explicit KakoPreload(QString kakoPath);
    ~KakoPreload();
    KakoPreload(const KakoPreload &) = delete;
    KakoPreload &operator=(const KakoPreload &) = delete;

    // The reading, once it has ended: nullopt for another path, once taken, or when the reading
    // failed in a way loadKako does not report (out of memory), so that the caller reads the file.
    std::optional<PreloadedKako> take(const QString &kakoPath);

private:
    QString m_path;
    std::future<PreloadedKako> m_reading;
};

} // namespace omvex
