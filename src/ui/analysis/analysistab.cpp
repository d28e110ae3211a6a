#include "ui/analysis/analysistab.h"

#include "engine/tables.h"
#include "history/resultimport.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace omvex::ui {

HistorySnapshot readHistorySnapshot(const QString &path)
{
    HistorySnapshot history{path, PredictionTables().history, {}, {}};
    resetGridForStartUp(history.grid, false);
    HistoryLoad load = loadKako(path, history.grid);
    history.read = std::move(load.read);
    history.draws = std::move(load.draws);
    return history;
}

QPushButton *AnalysisTab::createReloadButton()
{
    auto *button = new QPushButton(QStringLiteral("更新"), this);
    button->setObjectName(QStringLiteral("reload"));
    button->setToolTip(QStringLiteral("kako.txt を読み直します"));
    connect(button, &QPushButton::clicked, this, &AnalysisTab::reloadRequested);
    return button;
}

QTableWidget *createResultTable(const QString &name, const QStringList &headers, QWidget *parent)
{
    auto *table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(table->font()).height() + 6);
    return table;
}

namespace {

template <std::size_t N>
QStringList wordsOf(const std::array<const char *, N> &words)
{
    QStringList list;
    for (const char *word : words)
        list << QString::fromUtf8(word);
    return list;
}

} // namespace

const QStringList &levelWords()
{
    static const QStringList words = wordsOf(kLevelWords);
    return words;
}

const QStringList &patternWords()
{
    static const QStringList words = wordsOf(kPatternWords);
    return words;
}

const QStringList &kakoWords()
{
    static const QStringList words = wordsOf(kKakoWords);
    return words;
}

QString settingsWords(const Settings &settings)
{
    return QStringList{levelWords().at(digit(settings.level)), patternWords().at(digit(settings.pattern)),
                       kakoWords().at(digit(settings.kako))}
        .join(QStringLiteral("・"));
}

QSpinBox *createLastDrawsBox(QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QStringLiteral("last"));
    box->setRange(0, kMaxDrawNumber);
    box->setSpecialValueText(QStringLiteral("すべて"));
    box->setPrefix(QStringLiteral("最後の "));
    box->setSuffix(QStringLiteral(" 回"));
    box->setValue(0);
    return box;
}

std::optional<int> lastDraws(const QSpinBox *box)
{
    if (box->value() == 0)
        return std::nullopt;
    return box->value();
}

} // namespace omvex::ui
