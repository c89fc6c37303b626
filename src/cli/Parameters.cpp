#include "cli/Parameters.h"

#include "cli/NameplateTexts.h"
#include "experiments/ExperimentFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

namespace cli {

namespace {

// The figures without which there is no plate.
constexpr lab::NameplateField kRequired[] = {
    lab::NameplateField::Power,   lab::NameplateField::Voltage, lab::NameplateField::Connection,
    lab::NameplateField::Frequency, lab::NameplateField::Speed, lab::NameplateField::Current,
    lab::NameplateField::CosPhi,  lab::NameplateField::Efficiency};

std::string FieldNames()
{
    std::string names;
    for (const auto& entry : lab::kNameplateFields)
        names += (names.empty() ? "" : ", ") + std::string(entry.name);
    return names;
}

double Number(const std::string& name, const std::string& text)
{
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(number))
        throw UsageError("--rated " + name + " needs a finite number, not '" + text + "'");
    return number;
}

lab::Connection ConnectionOf(const std::string& text)
{
    if (text == "star")
        return lab::Connection::Star;
    if (text == "delta")
        return lab::Connection::Delta;
    throw UsageError("--rated connection needs star or delta, not '" + text + "'");
}

void Take(lab::Nameplate& plate, lab::NameplateField field, const std::string& name, const std::string& text)
{
    switch (field) {
    case lab::NameplateField::Connection:
        plate.connection = ConnectionOf(text);
        return;
    case lab::NameplateField::Power:
        plate.power = Number(name, text);
        return;
    case lab::NameplateField::Voltage:
        plate.voltage = Number(name, text);
        return;
    case lab::NameplateField::Frequency:
        plate.frequency = Number(name, text);
        return;
    case lab::NameplateField::Speed:
        plate.speed = Number(name, text);
        return;
    case lab::NameplateField::Current:
        plate.current = Number(name, text);
        return;
    case lab::NameplateField::CosPhi:
        plate.cosPhi = Number(name, text);
        return;
    case lab::NameplateField::Efficiency:
        plate.efficiency = Number(name, text);
        return;
    case lab::NameplateField::PolePairs:
        plate.polePairs = Number(name, text);
        return;
    case lab::NameplateField::BreakdownRatio:
        plate.breakdownRatio = Number(name, text);
        return;
    case lab::NameplateField::StartingTorqueRatio:
        plate.startingTorqueRatio = Number(name, text);
        return;
    case lab::NameplateField::StartingCurrentRatio:
        plate.startingCurrentRatio = Number(name, text);
        return;
    }
}

} // namespace

lab::Nameplate NameplateFrom(const std::vector<std::pair<std::string, std::string>>& figures)
{
    lab::Nameplate plate;
    std::vector<lab::NameplateField> given;
    for (const auto& [name, text] : figures) {
        const std::optional<lab::NameplateField> field = lab::NameplateFieldNamed(name);
        if (!field)
            throw UsageError("--rated has no figure '" + name + "'; the figures are " + FieldNames());
        if (std::find(given.begin(), given.end(), *field) != given.end())
            throw UsageError("--rated gives " + name + " twice");
        given.push_back(*field);
        Take(plate, *field, name, text);
    }
    for (const lab::NameplateField field : kRequired)
        if (std::find(given.begin(), given.end(), field) == given.end())
            throw UsageError("--rated needs " + std::string(lab::NameOf(field)) +
                             "; a plate gives power, voltage, connection, frequency, speed, current, cos_phi "
                             "and efficiency");
    if (const auto problems = lab::NameplateProblems(plate); !problems.empty())
        throw UsageError(NameplateErrorText(problems.front()));
    return plate;
}

int RunParameters(const Options& options, const Settings& settings, const Streams& streams)
{
    const lab::Nameplate plate = NameplateFrom(options.rated);
    const lab::NameplateEstimate estimate = lab::EstimateFromNameplate(plate);
    const Settings machine = estimate.ApplyTo(settings);
    CheckSettings(machine);
    const std::string file = NameplateComment(plate, estimate) + ExperimentFile::Text(machine);
    options.fitted.value_or(OutputSink::StandardOutput(streams.out)).Write(file);
    if (options.csv)
        options.csv->Write(FiguresCsv(estimate, options.style));
    streams.err << FiguresTable(estimate);
    if (!estimate.converged)
        streams.err << "warning: the fit stopped after " << estimate.iterations
                    << " iterations without converging; the figures above are where it stopped\n";
    return 0;
}

} // namespace cli
