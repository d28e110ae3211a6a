#pragma once

#include "analysis/backtest.h"
#include "ui/analysis/analysistab.h"

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace omvex::ui {

class BacktestJob;
class ComparisonView;

// "検証": the walk-forward backtest of the prediction against random lines, with the settings
// of the current program taken as a start and changeable here for the run only.
class BacktestTab final : public AnalysisTab {
    Q_OBJECT

public:
    explicit BacktestTab(std::function<Settings()> currentSettings, QWidget *parent = nullptr);
    ~BacktestTab() override;

    void showHistory(const HistorySnapshot &history) override;
    void windowOpened() override;
    void cancelWork() override;
    void stopWork() override;

    // The settings the combo boxes hold now.
    Settings chosenSettings() const;
    void chooseSettings(const Settings &settings);
    bool isRunning() const;
    // The seed of the last run started, shown so that the run can be repeated.
    std::optional<std::uint64_t> lastSeed() const { return m_seed; }
    // The result on show; nothing while a run goes or after one was cancelled.
    const std::optional<analysis::BacktestResult> &result() const { return m_result; }

signals:
    // After the result is shown or the run has ended without one.
    void runEnded();

private:
    void createControls();
    void start();
    void showProgress(int done, int total);
    void showResult(const analysis::BacktestResult &result);
    void showCancelled();
    void updateControls();
    void clearResult();

    std::function<Settings()> m_currentSettings;
    CellGrid m_history;
    BacktestJob *m_job = nullptr;
    std::optional<std::uint64_t> m_seed;
    std::optional<int> m_runLast;
    Settings m_runSettings;
    std::optional<analysis::BacktestResult> m_result;

    QComboBox *m_level = nullptr;
    QComboBox *m_pattern = nullptr;
    QComboBox *m_kako = nullptr;
    QSpinBox *m_last = nullptr;
    QLineEdit *m_seedEdit = nullptr;
    QPushButton *m_run = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_reload = nullptr;
    QLabel *m_unusable = nullptr; // why 実行 is off when the history has too few draws
    bool m_hasEnoughDraws = false;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_summary = nullptr;
    QLabel *m_repeat = nullptr;
    ComparisonView *m_comparison = nullptr;
};

} // namespace omvex::ui
