#include "ui/analysis/backtesttab.h"
#include "settings/settingwords.h"

#include "ui/analysis/analysistable.h"
#include "ui/analysis/backtestjob.h"
#include "ui/analysis/comparisonview.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <utility>

namespace omvex::ui {

namespace {

QComboBox *createChoice(const QString &name, const QStringList &words, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(words);
    return box;
}

// A setting's field: its choices and, beside them, what the setting does.
QWidget *choiceWithHint(QComboBox *box, const QString &hint, QWidget *parent)
{
    auto *field = new QWidget(parent);
    auto *layout = new QHBoxLayout(field);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    auto *label = new QLabel(hint, field);
    label->setObjectName(box->objectName() + QStringLiteral("Hint"));
    label->setEnabled(false); // greyed: an explanation, not a value
    layout->addWidget(label, 1);
    return field;
}

QString settingLabel(const char *name)
{
    return QString::fromUtf8(name) + QLatin1Char(':');
}

// Digits as typed, half- or full-width; nothing when the text is not a whole number that fits.
std::optional<std::uint64_t> parseSeed(const QString &text)
{
    bool ok = false;
    const QString digits = text.normalized(QString::NormalizationForm_KC).trimmed();
    const qulonglong value = digits.toULongLong(&ok, 10);
    if (!ok || digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
        return std::nullopt;
    return value;
}

} // namespace

BacktestTab::BacktestTab(std::function<Settings()> currentSettings, QWidget *parent)
    : AnalysisTab(parent)
    , m_currentSettings(std::move(currentSettings))
    , m_job(new BacktestJob(this))
{
    createControls();
    connect(m_job, &BacktestJob::progressed, this, &BacktestTab::showProgress);
    connect(m_job, &BacktestJob::finished, this, &BacktestTab::showResult);
    connect(m_job, &BacktestJob::cancelled, this, &BacktestTab::showCancelled);
    updateControls();
}

BacktestTab::~BacktestTab()
{
    stopWork();
}

void BacktestTab::createControls()
{
    m_level = createChoice(QStringLiteral("level"), levelWords(), this);
    m_pattern = createChoice(QStringLiteral("pattern"), patternWords(), this);
    m_kako = createChoice(QStringLiteral("kako"), kakoWords(), this);
    m_last = createLastDrawsBox(this);
    m_seedEdit = new QLineEdit(this);
    m_seedEdit->setObjectName(QStringLiteral("seed"));
    m_seedEdit->setPlaceholderText(QStringLiteral("空欄なら新しい種"));
    // Room for the largest seed, 20 digits.
    m_seedEdit->setMinimumWidth(m_seedEdit->fontMetrics().horizontalAdvance(QStringLiteral("18446744073709551615")) + 24);
    m_run = new QPushButton(QStringLiteral("実行"), this);
    m_run->setObjectName(QStringLiteral("run"));
    m_stop = new QPushButton(QStringLiteral("中止"), this);
    m_stop->setObjectName(QStringLiteral("stop"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_repeat = new QLabel(this);
    m_repeat->setObjectName(QStringLiteral("repeat"));
    for (QLabel *label : {m_status, m_summary, m_repeat}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_comparison = new ComparisonView(QStringLiteral("検証"), this);

    m_reload = createReloadButton();
    m_unusable = new QLabel(this);
    m_unusable->setObjectName(QStringLiteral("unusable"));
    m_unusable->setWordWrap(true);
    m_unusable->hide();

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(settingLabel(kLevelName),
                 choiceWithHint(m_level, QStringLiteral("1回の予想で作る行数 600〜2400"), this));
    form->addRow(settingLabel(kPatternName),
                 choiceWithHint(m_pattern, QStringLiteral("数える行: 選択は無作為に選んだ 430〜1720 行、すべては全部"), this));
    form->addRow(settingLabel(kKakoName),
                 choiceWithHint(m_kako, QStringLiteral("過去に出た1回ごとに足す点: 並は一定、上・特上は乱数、無しは足さない"),
                                this));
    form->addRow(QStringLiteral("対象:"), m_last);
    form->addRow(QStringLiteral("乱数の種:"), m_seedEdit);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_reload);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("各回を、それより前の回だけを過去データにして予想し、でたらめに選んだ数字と比べます。"
                                                "ここで変えた設定は保存されません。"),
                                 this));
    layout->addLayout(form);
    layout->addWidget(m_unusable);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(m_summary);
    layout->addWidget(m_comparison);
    layout->addWidget(m_repeat);
    layout->addStretch(1);

    setTabChain({m_level, m_pattern, m_kako, m_last, m_seedEdit, m_run, m_stop, m_reload, m_comparison->table()});

    connect(m_run, &QPushButton::clicked, this, &BacktestTab::start);
    connect(m_stop, &QPushButton::clicked, this, &BacktestTab::cancelWork);
}

void BacktestTab::showHistory(const HistorySnapshot &history)
{
    m_history = history.grid;
    m_last->setMaximum(static_cast<int>(analysis::backtestDraws(m_history, std::nullopt).size()));
    // The tool's refusal, in its words.
    const int draws = analysis::usableDrawCount(m_history);
    m_hasEnoughDraws = draws >= analysis::kBacktestMinimumDraws;
    if (!history.read.opened)
        m_unusable->setText(QStringLiteral("検証には過去の当せん数字が要りますが、%1 を読めません。").arg(history.path));
    else
        m_unusable->setText(QStringLiteral("検証には使える当せん数字が %1 回分以上要りますが、%2 には %3 回分しかありません。")
                                .arg(analysis::kBacktestMinimumDraws)
                                .arg(history.path)
                                .arg(draws));
    m_unusable->setVisible(!m_hasEnoughDraws);
    updateControls();
}

void BacktestTab::windowOpened()
{
    if (!isRunning())
        chooseSettings(m_currentSettings());
}

Settings BacktestTab::chosenSettings() const
{
    return {levelFromDigit(m_level->currentIndex()), patternFromDigit(m_pattern->currentIndex()),
            kakoFromDigit(m_kako->currentIndex())};
}

void BacktestTab::chooseSettings(const Settings &settings)
{
    m_level->setCurrentIndex(digit(settings.level));
    m_pattern->setCurrentIndex(digit(settings.pattern));
    m_kako->setCurrentIndex(digit(settings.kako));
}

bool BacktestTab::isRunning() const
{
    return m_job->isRunning();
}

void BacktestTab::start()
{
    if (isRunning() || !m_hasEnoughDraws)
        return;
    std::uint64_t seed = 0;
    if (m_seedEdit->text().trimmed().isEmpty()) {
        seed = analysis::freshSeed();
    } else if (const std::optional<std::uint64_t> typed = parseSeed(m_seedEdit->text())) {
        seed = *typed;
    } else {
        m_status->setText(QStringLiteral("乱数の種は 0 から 18446744073709551615 までの整数で入力してください"
                                         "（空欄なら新しい種を使います）。"));
        return;
    }
    clearResult();
    m_seed = seed;
    m_runSettings = chosenSettings();
    m_runLast = lastDraws(m_last);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("実行中です（種 %1）…").arg(seed));
    m_job->start({m_history, m_runSettings, seed, m_runLast, analysis::backtestWorkers()});
    updateControls();
}

void BacktestTab::showProgress(int done, int total)
{
    m_progress->setRange(0, total);
    m_progress->setValue(done);
}

void BacktestTab::showResult(const analysis::BacktestResult &result)
{
    m_result = result;
    const analysis::ChanceComparison comparison = analysis::compareWithChance(result.tally);
    QString summary = QStringLiteral("バックテスト: %1 回 × 2 行 = %2 行（%3、種 %4）")
                          .arg(result.draws.size())
                          .arg(result.tally.lines)
                          .arg(QString::fromStdString(settingsText(m_runSettings)))
                          .arg(*m_seed);
    if (!result.draws.empty())
        summary += QStringLiteral("\n各回は、それより前の回だけを過去データにして予想しました（第 %1 回〜第 %2 回）。")
                       .arg(result.draws.front().draw)
                       .arg(result.draws.back().draw);
    if (result.skippedRows > 0)
        summary += QStringLiteral("\n正しい当せん数字でない行 %1 行は数えていません。").arg(result.skippedRows);
    m_summary->setText(summary);
    m_comparison->showComparison(comparison);
    m_comparison->show();
    QString command = QStringLiteral("omvex-predict --backtest --level %1 --pattern %2 --kako %3")
                          .arg(digit(m_runSettings.level))
                          .arg(digit(m_runSettings.pattern))
                          .arg(digit(m_runSettings.kako));
    if (m_runLast)
        command += QStringLiteral(" --last %1").arg(*m_runLast);
    m_repeat->setText(QStringLiteral("同じ結果をもう一度: %1 --seed %2").arg(command).arg(*m_seed));
    m_status->setText(QStringLiteral("終わりました。"));
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    updateControls();
    emit runEnded();
}

void BacktestTab::showCancelled()
{
    clearResult();
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("中止しました。結果はありません。"));
    updateControls();
    emit runEnded();
}

void BacktestTab::clearResult()
{
    m_result.reset();
    m_summary->clear();
    m_repeat->clear();
    m_comparison->clear();
    m_comparison->hide();
}

void BacktestTab::cancelWork()
{
    m_job->cancel();
}

void BacktestTab::stopWork()
{
    m_job->stop();
}

void BacktestTab::updateControls()
{
    const bool running = isRunning();
    for (QWidget *input : std::initializer_list<QWidget *>{m_level, m_pattern, m_kako, m_last, m_seedEdit, m_reload})
        input->setEnabled(!running);
    m_run->setEnabled(!running && m_hasEnoughDraws);
    m_stop->setEnabled(running);
}

} // namespace omvex::ui
