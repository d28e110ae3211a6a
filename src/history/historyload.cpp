#include "history/historyload.h"

#include "history/historyfields.h"
#include "history/historyreader.h"
#include "history/rowsinks.h"
#include "platform/safewrite.h"
#include "platform/textscan.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <vector>

namespace omvex {

namespace {

// The one pass: reader, grid, warnings and hash take every piece in turn.
class HistoryPass {
public:
    HistoryPass(CellGrid &grid, const HistoryLoadOptions &options)
        : m_grid(grid)
        , m_sink(grid)
        , m_scan(options.listener, options.probe)
        , m_reader(m_sink, &m_scan)
        , m_splitter(m_reader)
        , m_hash(QCryptographicHash::Sha256)
        , m_hashing(options.hash == HistoryHash::Compute)
    {
    }

    void feed(std::string_view bytes)
    {
        if (m_hashing)
            m_hash.addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        if (m_first && bytes.starts_with(platform::kByteOrderMark)) {
            bytes.remove_prefix(platform::kByteOrderMark.size());
            m_splitter.skipBytes(platform::kByteOrderMark.size());
        }
        m_first = false;
        if (m_reading)
            m_reading = m_splitter.feed(bytes);
        m_scan.feed(bytes, m_reader);
    }

    void failReading(const QString &words)
    {
        m_reader.stopUnreadable(m_splitter.line(), words);
        m_reading = false;
        m_failed = true;
    }

    HistoryLoad finish(const QString &path)
    {
        HistoryLoad load;
        load.path = path;
        if (m_reading)
            m_splitter.finish();
        load.read = m_reader.finish();
        m_scan.finish(m_reader);
        load.rows = m_grid.rowCount();
        load.draws = DrawHistory::fromGrid(m_grid);
        load.warnings = m_scan.warnings(load.draws, load.read);
        if (m_hashing && !m_failed)
            load.sha256 = m_hash.result().toHex().toStdString();
        if (!load.read.message.isEmpty())
            load.read.message = QStringLiteral("%1: %2").arg(path, load.read.message);
        return load;
    }

private:
    CellGrid &m_grid;
    DeferredSink m_sink;
    HistoryWarningScan m_scan;
    RowReader m_reader;
    HistoryFieldSplitter m_splitter;
    QCryptographicHash m_hash;
    bool m_hashing;
    bool m_first = true;
    bool m_reading = true;
    bool m_failed = false;
};

HistoryLoad cannotRead(const QString &path, const CellGrid &grid, const char *code, const char *reason,
                       QFileDevice::FileError error)
{
    HistoryLoad load;
    load.path = path;
    load.read.code = code;
    load.read.reason = reason;
    load.read.words = platform::fileProblemText(path, error);
    load.read.message = QStringLiteral("%1: %2").arg(path, load.read.words);
    load.rows = grid.rowCount();
    load.draws = DrawHistory::fromGrid(grid);
    return load;
}

} // namespace

HistoryLoad loadHistory(const QString &path, CellGrid &grid, const HistoryLoadOptions &options)
{
    const QFileInfo info(path);
    if (!info.exists())
        return cannotRead(path, grid, "file-missing", "the file does not exist", QFileDevice::OpenError);
    // A device or a pipe under the history's name could deliver bytes forever.
    if (!info.isFile())
        return cannotRead(path, grid, "not-regular-file", "not a regular file", QFileDevice::OpenError);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return info.isReadable() ? cannotRead(path, grid, "cannot-open", "cannot open the file", file.error())
                                 : cannotRead(path, grid, "no-permission", "cannot open the file: no permission",
                                              QFileDevice::OpenError);
    }

    HistoryPass pass(grid, options);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const qint64 got = file.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (got < 0) {
            pass.failReading(platform::fileProblemText(path, QFileDevice::ReadError));
            break;
        }
        if (got == 0)
            break;
        pass.feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    return pass.finish(path);
}

HistoryLoad loadHistory(const QString &path, std::string_view content, CellGrid &grid,
                        const HistoryLoadOptions &options)
{
    HistoryPass pass(grid, options);
    pass.feed(content);
    return pass.finish(path);
}

HistoryReadResult loadDrawHistory(const QString &path, CellGrid &history)
{
    return loadHistory(path, history).read;
}

} // namespace omvex
