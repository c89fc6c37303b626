#pragma once

#include "experiments/Settings.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class ChartPins;
class MechanicalChart;
struct PinnedTrace;
struct PlaneCurve;
class Trace;
class TraceChart;

namespace Ui {
class MechanicalWindow;
}

// The mechanical characteristic in a window of its own: the path of every
// run and pin the main chart shows, in its trace's colour and style and
// named as there, over the model's static curve for the settings in force,
// with the step response's load and the operating point; for the d-q
// machine, Kloss's refined formula beside the static curve, dashed, and
// the curve's breakdown point and starting torque, marked and labelled with
// their values. A pinned family
// member's path has its end marked, and a member with a load its load and
// operating point, labelled with its name ("Mc=10"), all in its colour.
// Measured data of both Md and Omega has its samples drawn beside the
// paths, as the main chart draws them. It follows the
// main chart while it is open, through runs, clears, pins and legend
// clicks, and the settings; it has the main chart's zoom, pan, legend and
// menu. Closing it only hides it.
class MechanicalWindow : public QWidget {
    Q_OBJECT

public:
    // The settings in force, and the load of the step response on the main
    // chart once it ran, are the window's; it looks at them on each change
    // of the chart and when told they changed.
    MechanicalWindow(const TraceChart& chart, const ChartPins& pins, const Settings& settings,
                     const std::optional<std::int32_t>& stepLoad, QWidget* parent = nullptr);
    ~MechanicalWindow() override;

    // Draws anew if anything it shows changed.
    void Update();

    MechanicalChart& Chart() const;

protected:
    void showEvent(QShowEvent* event) override;
    // Shows the caption and the curves' names in the language now in force.
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FollowChart();
    // The family member's pin the chart's trace is, if it is one.
    const PinnedTrace* MemberOf(const Trace& trace) const;

    // What the curves were last drawn from: each main chart trace, its
    // revision and whether it was shown, and the model.
    struct Line {
        const Trace* trace;
        std::uint64_t revision;
        bool shown;
        bool operator==(const Line&) const = default;
    };
    struct Source {
        std::vector<Line> lines;
        Settings settings;
        std::optional<std::int32_t> stepLoad;
        std::uint64_t measured;
        bool operator==(const Source&) const = default;
    };

    std::unique_ptr<Ui::MechanicalWindow> ui_;
    const TraceChart& chart_;
    const ChartPins& pins_;
    const Settings& settings_;
    const std::optional<std::int32_t>& stepLoad_;
    std::optional<Source> drawnFrom_;
    bool followPending_ = false;
};
