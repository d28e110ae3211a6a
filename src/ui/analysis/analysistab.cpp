#include "ui/analysis/analysistab.h"

#include "engine/tables.h"
#include "import/resultimport.h"
#include "settings/settingwords.h"

#include <QPushButton>
#include <QSpinBox>

namespace omvex::ui {

HistorySnapshot readHistorySnapshot(const QString &path)
{
    HistorySnapshot history{path, PredictionTables().history, {}, {}};
    resetGridForStartUp(history.grid, false);
    HistoryLoad load = loadKako(path, history.grid, HistoryHash::Skip);
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

void setTabChain(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

QString lineText(const std::array<int, kPicks> &numbers)
{
    QStringList parts;
    for (const int number : numbers)
        parts.append(QString::number(number));
    return parts.join(QLatin1Char(' '));
}

TableCell lineCell(const std::array<int, kPicks> &numbers)
{
    // Two digits each, so that the letters sort as the numbers do.
    QString key;
    for (const int number : numbers)
        key += QStringLiteral("%1 ").arg(number, 2, 10, QLatin1Char('0'));
    return textCell(lineText(numbers), key);
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
    box->setKeyboardTracking(false);
    return box;
}

std::optional<int> lastDraws(const QSpinBox *box)
{
    if (box->value() == 0)
        return std::nullopt;
    return box->value();
}

} // namespace omvex::ui
