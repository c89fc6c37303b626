#include "cli/Lab.h"

#include "cli/Commands.h"
#include "cli/Texts.h"
#include "experiments/TomlFile.h"
#include "lab/Fit.h"
#include "toolkit/Conversions.h"

#include <cmath>
#include <optional>

namespace cli {
namespace {

void AppendCell(std::string& row, double value, CsvStyle style)
{
    row += style.separator;
    if (std::isfinite(value))
        AppendCsvNumber(row, value, style);
}

// The fitted file's text: the one experiment file the settings came from,
// edited so that the user's comments stay; a complete file otherwise.
std::string BaseText(const Options& options)
{
    return options.settingsFiles.size() == 1 ? ReadBoundedFile(options.settingsFiles.front()) : std::string();
}

// setting,start,value,stderr
std::string ReportCsv(const lab::FitResult& fit, CsvStyle style)
{
    std::string text = std::string("setting") + style.separator + "start" + style.separator + "value" +
                       style.separator + "stderr\n";
    for (const lab::FittedSetting& f : fit.fitted) {
        AppendCsvText(text, f.name, style);
        AppendCell(text, f.start, style);
        AppendCell(text, f.value, style);
        AppendCell(text, f.standardError, style);
        text += '\n';
    }
    return text;
}

// The outcome's name, with what it means for the values where that is not
// plain.
std::string OutcomeText(lab::LeastSquaresOutcome outcome)
{
    const std::string name(lab::OutcomeName(outcome));
    switch (outcome) {
    case lab::LeastSquaresOutcome::IterationLimit:
        return "stopped at the " + name + " without converging: the values are the best found";
    case lab::LeastSquaresOutcome::Failed:
        return name + ": no step from the start lowers the errors";
    default:
        return name;
    }
}

// What a reader of the terminal wants: each value with its standard error,
// the values' correlation, and how well the fitted run meets the data.
std::string Summary(const lab::FitResult& fit, const lab::Measured& measured)
{
    using toolkit::FloatToStrRounded;
    std::string text = "Fitted to " + measured.file + " in " + std::to_string(fit.runs) + " runs (" +
                       std::to_string(fit.iterations) + " iterations): " + OutcomeText(fit.outcome) + '\n';
    for (std::size_t i = 0; i < fit.fitted.size(); ++i) {
        const lab::FittedSetting& f = fit.fitted[i];
        text += "  " + f.name + " = " + toolkit::FloatToStr(f.value) + " +- " + FloatToStrRounded(f.standardError, 3) +
                " (start " + toolkit::FloatToStr(f.start) + ")";
        for (std::size_t j = 0; j < i; ++j)
            text += ", correlation with " + fit.fitted[j].name + " " + FloatToStrRounded(fit.Correlation(i, j), 3);
        text += '\n';
    }
    for (const lab::QuantityComparison& q : fit.residual.quantities)
        text += "  " + std::string(QuantityName(q.quantity)) + ": RMS error " + FloatToStrRounded(q.rms, 4) +
                ", R^2 " + FloatToStrRounded(q.rSquared, 6) + " over " + std::to_string(q.Samples()) + " samples\n";
    return text;
}

} // namespace

std::string ComparisonCsv(const lab::Comparison& comparison, CsvStyle style)
{
    std::string text;
    for (const char* heading : {"quantity", "samples", "rms", "largest", "largest_seconds", "r_squared"})
        text += (text.empty() ? "" : std::string(1, style.separator)) + heading;
    text += '\n';
    for (const lab::QuantityComparison& q : comparison.quantities) {
        text += QuantityName(q.quantity);
        text += style.separator + std::to_string(q.Samples());
        for (double figure : {q.rms, q.largest, q.largestTime, q.rSquared})
            AppendCell(text, figure, style);
        text += '\n';
    }
    return text;
}

void WriteComparison(JsonWriter& json, const lab::Comparison& comparison)
{
    json.OpenArray();
    for (const lab::QuantityComparison& q : comparison.quantities) {
        json.OpenObject().Key("quantity").String(QuantityName(q.quantity));
        json.Key("samples").Integer(static_cast<std::int64_t>(q.Samples()));
        json.Key("rms").Number(q.rms).Key("largest").Number(q.largest).Key("largest_seconds").Number(q.largestTime);
        json.Key("r_squared").Number(q.rSquared).Close();
    }
    json.Close();
}

int RunFit(const Options& options, const Settings& settings, const Streams& streams)
{
    WarnOfUnstableStep(settings, streams.err);
    const lab::Measured& measured = *options.measured;
    lab::FitResult fit;
    try {
        fit = lab::FitSettings(
            {KindOfRun(options.fitRun), settings, LoadText(options, settings), SourcesOf(settings), options.fit},
            measured);
    } catch (const lab::FitError& error) {
        streams.err << "motormodel-cli: " << FitErrorText(error.Cause(), settings.Kind()) << '\n';
        return kExitUsage;
    }
    streams.err << Summary(fit, measured);
    if (fit.outcome == lab::LeastSquaresOutcome::Failed)
        return kExitFailed;
    options.fitted.value_or(OutputSink::StandardOutput(streams.out))
        .Write(lab::FittedFileText(BaseText(options), fit, measured));
    if (options.fitReport)
        options.fitReport->Write(ReportCsv(fit, options.style));
    return 0;
}

} // namespace cli
