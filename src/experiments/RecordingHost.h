#pragma once

#include "experiments/ExperimentHost.h"
#include "experiments/Settings.h"
#include "plot/Trace.h"

#include <string>
#include <utility>

// A host without a window: it keeps everything a run writes, for the batch
// tool, the tests and the benchmarks.
class RecordingHost final : public ExperimentHost {
public:
    explicit RecordingHost(std::string loadText = {}, Settings settings = {})
        : loadText_(std::move(loadText)), settings_(std::move(settings))
    {
    }

    void SetLoadText(std::string text) { loadText_ = std::move(text); }

    const Settings& SettingsInForce() const override { return settings_; }
    std::string LoadText() const override { return loadText_; }
    void SetProgress(int position) override { progress_ = position; }
    Trace& Series(int n) override;
    void SetMdMaxText(const std::string& text) override { mdMaxText_ = text; }
    void SetOmegaMaxText(const std::string& text) override { omegaMaxText_ = text; }
    void ShowAlert() override { ++alertCount_; }

    const Trace& Series(int n) const;
    int Progress() const { return progress_; }
    const std::string& MdMaxText() const { return mdMaxText_; }
    const std::string& OmegaMaxText() const { return omegaMaxText_; }
    int AlertCount() const { return alertCount_; }

private:
    std::string loadText_;
    Settings settings_;
    ChartTraces traces_ = MakeTraces();
    int progress_ = 0;
    std::string mdMaxText_;
    std::string omegaMaxText_;
    int alertCount_ = 0;
};
