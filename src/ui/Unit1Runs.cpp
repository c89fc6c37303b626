// The main window's runs and families: made, shown and pinned.

#include "ui/Unit1.h"

#include "chart/ChartPins.h"
#include "chart/TraceChart.h"
#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "experiments/SettingsTable.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"
#include "ui/BackgroundWork.h"
#include "ui/ChartUpdateOnExit.h"
#include "ui/ErrorTexts.h"
#include "ui/FamilyWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/SettingTexts.h"
#include "ui_Unit1.h"

#include <QLabel>

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

void SetAutoSizedText(QLabel& label, const std::string& text)
{
    label.setText(QString::fromStdString(text));
    label.adjustSize();
}

} // namespace

void TForm1::PinFamily(const FamilyChoice& choice)
{
    std::vector<std::string> values = ParseFamilyValues(choice.values);
    constexpr std::size_t kMostValues = ChartPins::kMostKept / 2;
    if (values.size() > kMostValues)
        throw toolkit::Exception(tr("Семейство не построено: на графике закрепляется не больше %1 значений, по два "
                                    "графика на каждое, а задано %2")
                                     .arg(kMostValues)
                                     .arg(values.size())
                                     .toStdString());
    FamilyRequest request{.base = settings_,
                          .setting = choice.setting,
                          .values = std::move(values),
                          .kind = choice.kind,
                          .loadText = LoadText(),
                          .sources = sources_};
    work_->Start<FamilyResult>(
        [request = std::move(request)](const BackgroundWork::Control& control) {
            return RunFamily(request, {[&control](std::int64_t done, std::int64_t total) {
                                           control.progress(static_cast<int>(100 * done / std::max<std::int64_t>(total, 1)));
                                       },
                                       &control.cancel});
        },
        [this](const FamilyResult& family) { PinMembers(family); });
}

void TForm1::PinMembers(const FamilyResult& family)
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    sources_ = family.sources;
    SetProgress(100);
    QString leftOut;
    for (const FamilyMember& member : family.members) {
        const std::string label = FamilyMemberLabel(member.place.setting, member.place.value);
        if (member.outcome != MemberOutcome::Ran) {
            // A refused load is told in the alert's words, once for all.
            leftOut += QLatin1Char('\n') + QString::fromStdString(label) + QStringLiteral(": ") +
                       (member.outcome == MemberOutcome::Refused ? RefusedLoadText(member.settings.run.limit)
                                                                 : ErrorText(*member.error));
            continue;
        }
        const RunResult& run = *member.run;
        const std::array<TraceToPin, 2> traces{{{&run.Of(Quantity::Md), Quantity::Md},
                                                {&run.Of(Quantity::Omega), Quantity::Omega}}};
        chartTools_.pins->PinRun(traces, label, run.Origin(member.place), run.Recipe());
    }
    if (!leftOut.isEmpty())
        throw toolkit::Exception((tr("Эти значения не построены:") + leftOut).toStdString());
}

void TForm1::Run(RunKind kind)
{
    std::optional<std::array<Trace, 2>>& spare = spare_[static_cast<std::size_t>(kind)];
    RunRequest request{kind, settings_, LoadText(), sources_, std::exchange(spare, std::nullopt)};
    if (settings_.run.steps <= kStepsInClick) {
        ShowRun(RunExperiment(std::move(request)));
        return;
    }
    work_->Start<RunResult>(
        [request = std::move(request)](const BackgroundWork::Control& control) mutable {
            const auto steps = request.settings.run.steps;
            return RunExperiment(std::move(request), {[&control, steps](std::int64_t done) {
                                               control.progress(static_cast<int>(100 * done / steps));
                                           },
                                           &control.cancel});
        },
        [this](RunResult run) { ShowRun(std::move(run)); });
}

void TForm1::ShowRun(RunResult run)
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    SetProgress(100);
    TakeRun(run);
    if (run.outcome == RunOutcome::Failed)
        std::rethrow_exception(run.error);
    if (run.kind == RunKind::Step && run.outcome == RunOutcome::Refused)
        ShowAlert(run.settings.run.limit);
}

void TForm1::TakeRun(RunResult& run)
{
    recipes_[static_cast<std::size_t>(run.kind)] = run.Recipe();
    ui_->Chart1->View().SetSecondsPerStep(run.settings.model.dt);
    const bool step = run.kind == RunKind::Step;
    if (step)
        stepLoad_.reset();
    for (Quantity quantity : kDqQuantities)
        SeriesOf(run.kind, quantity).SwapPoints(run.Of(quantity));
    OfferCurrents(run.kind, Reports(run.settings, Quantity::Is));
    // A short run's storage serves the next; a long one's would double what
    // the window holds.
    if (run.settings.run.steps <= kStepsInClick)
        spare_[static_cast<std::size_t>(run.kind)] = std::move(run.traces);
    sources_ = run.sources;
    // A load that did not parse stopped the run before the model's reset.
    if (!step || run.load)
        model_ = run.model;
    if (run.outcome == RunOutcome::Failed || !step)
        return;
    SetAutoSizedText(*ui_->Label1, toolkit::FloatToStr(run.mdMax));
    SetAutoSizedText(*ui_->Label2, toolkit::FloatToStr(run.omegaMax));
    // A refused load made no run: the characteristic draws no load line or
    // operating point for it.
    if (run.outcome == RunOutcome::Refused)
        return;
    stepLoad_ = run.load;
    if (stepLoad_)
        parameters_->SetLoad(*stepLoad_);
}

void TForm1::PinTraces()
{
    for (const RunDefinition& run : kRuns) {
        // A kind that never ran, or was cleared, has no points to pin.
        const std::optional<RunRecipe>& recipe = recipes_[static_cast<std::size_t>(run.kind)];
        if (!recipe)
            continue;
        // A current is pinned while it is shown.
        const ShownTraces& shown = ui_->Chart1->View().Traces();
        std::vector<TraceToPin> traces;
        for (Quantity quantity : QuantitiesOf(recipe->settings))
            if (!IsCurrent(quantity) || shown.IsShown(shown.IndexOf(Series(run.kind, quantity)).value()))
                traces.push_back({&Series(run.kind, quantity), quantity});
        const std::optional<std::int32_t> load = run.kind == RunKind::Step ? stepLoad_ : std::nullopt;
        chartTools_.pins->PinRun(traces, RunName(run.kind), OriginOf(run.kind, recipe->settings, load), *recipe);
    }
}

Settings TForm1::RanWith(RunKind kind) const
{
    const std::optional<RunRecipe>& recipe = recipes_[static_cast<std::size_t>(kind)];
    return recipe ? recipe->settings : Settings{};
}

std::string TForm1::RunName(RunKind kind) const
{
    // With the default settings, step responses differ by their load alone.
    // The parts are set apart by spaces: a name with a separator or a "#"
    // in it would be quoted in a CSV's heading, which numpy cannot read.
    std::string name = kind == RunKind::Step && stepLoad_ ? "Mc=" + std::to_string(*stepLoad_)
                                                          : std::string(RunOf(kind).name);
    const Settings ran = RanWith(kind);
    const Settings defaults;
    for (std::string_view setting : SettingNames()) {
        const std::optional<SettingValue> value = GetSetting(ran, setting);
        if (SettingShapes(setting, kind) && value != GetSetting(defaults, setting))
            name += " " + std::string(setting.substr(setting.find('.') + 1)) + "=" + FieldText(value);
    }
    return name;
}
