#include "import/kakopreload.h"

#include "engine/tables.h"
#include "import/resultimport.h"

#include <exception>
#include <utility>

namespace omvex {

KakoPreload::KakoPreload(QString kakoPath)
    : m_path(std::move(kakoPath))
{
    m_reading = std::async(std::launch::async, [path = m_path] {
        PredictionTables tables;
        resetTablesForStartUp(tables);
        HistoryLoad load = loadKako(path, tables.history, HistoryHash::Skip);
        return PreloadedKako{std::move(tables.history), std::move(load)};
    });
}

KakoPreload::~KakoPreload()
{
    if (m_reading.valid())
        m_reading.wait();
}

std::optional<PreloadedKako> KakoPreload::take(const QString &kakoPath)
{
    if (!m_reading.valid() || kakoPath != m_path)
        return std::nullopt;
    try {
        return m_reading.get();
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

} // namespace omvex
