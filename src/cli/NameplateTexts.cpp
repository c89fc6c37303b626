#include "cli/NameplateTexts.h"

#include "toolkit/Conversions.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>

namespace cli {

namespace {

using toolkit::FloatToStr;
using toolkit::FloatToStrRounded;

std::string Padded(std::string text, std::size_t width)
{
    text.resize(std::max(width, text.size()), ' ');
    return text;
}

} // namespace

std::string NameplateErrorText(const lab::NameplateProblem& problem)
{
    const std::string name(lab::NameOf(problem.field));
    const std::string value = FloatToStr(problem.value);
    switch (problem.rule) {
    case lab::NameplateRule::Above:
        return name + " must be a finite number above " + FloatToStr(problem.limit) + ", not " + value;
    case lab::NameplateRule::AboveZeroAtMostOne:
        return name + " must be a finite number above 0 and at most 1, not " + value;
    case lab::NameplateRule::WholeAtLeastOne:
        return name + " must be a whole number of at least 1, not " + value;
    case lab::NameplateRule::BelowSynchronous:
        return name + " must be below the synchronous speed, " + FloatToStrRounded(problem.limit, 6) +
               " rpm at the frequency and pole pairs given, not " + value;
    case lab::NameplateRule::AtMostInput:
        return name + " must be at most the electrical input sqrt(3) voltage current cos_phi, " +
               FloatToStrRounded(problem.limit, 6) + " W, not " + value;
    }
    return name;
}

std::string_view FigureName(lab::Figure figure)
{
    switch (figure) {
    case lab::Figure::RatedTorque:
        return "Mn";
    case lab::Figure::RatedCurrent:
        return "In";
    case lab::Figure::PowerFactor:
        return "cos_phi";
    case lab::Figure::Efficiency:
        return "efficiency";
    case lab::Figure::BreakdownRatio:
        return "Mk/Mn";
    case lab::Figure::StartingTorqueRatio:
        return "Mst/Mn";
    case lab::Figure::StartingCurrentRatio:
        return "Ist/In";
    }
    return {};
}

std::string_view FigureUnit(lab::Figure figure)
{
    switch (figure) {
    case lab::Figure::RatedTorque:
        return "N m";
    case lab::Figure::RatedCurrent:
        return "A";
    case lab::Figure::PowerFactor:
    case lab::Figure::Efficiency:
    case lab::Figure::BreakdownRatio:
    case lab::Figure::StartingTorqueRatio:
    case lab::Figure::StartingCurrentRatio:
        break;
    }
    return "";
}

std::string FiguresTable(const lab::NameplateEstimate& estimate)
{
    std::string text = "figure      target      fitted      deviation\n";
    for (const lab::FigureFit& figure : estimate.figures) {
        const std::string unit(FigureUnit(figure.figure));
        const std::string suffix = unit.empty() ? "" : " " + unit;
        text += Padded(std::string(FigureName(figure.figure)), 12) +
                Padded(FloatToStrRounded(figure.target, 5) + suffix, 12) +
                Padded(FloatToStrRounded(figure.fitted, 5) + suffix, 12) +
                FloatToStrRounded(figure.DeviationPercent(), 3) + " %" + (figure.assumed ? " (assumed)" : "") +
                '\n';
    }
    return text;
}

std::string NameplateComment(const lab::Nameplate& plate, const lab::NameplateEstimate& estimate)
{
    std::string text = "# A d-q machine estimated from its rating plate (motormodel-cli parameters):\n#  ";
    const auto add = [&text](lab::NameplateField field, const std::string& value) {
        text += ' ' + std::string(lab::NameOf(field)) + '=' + value;
    };
    add(lab::NameplateField::Power, FloatToStr(plate.power));
    add(lab::NameplateField::Voltage, FloatToStr(plate.voltage));
    add(lab::NameplateField::Connection, plate.connection == lab::Connection::Star ? "star" : "delta");
    add(lab::NameplateField::Frequency, FloatToStr(plate.frequency));
    add(lab::NameplateField::Speed, FloatToStr(plate.speed));
    text += "\n#  ";
    add(lab::NameplateField::Current, FloatToStr(plate.current));
    add(lab::NameplateField::CosPhi, FloatToStr(plate.cosPhi));
    add(lab::NameplateField::Efficiency, FloatToStr(plate.efficiency));
    const std::pair<lab::NameplateField, std::optional<double>> optional[] = {
        {lab::NameplateField::PolePairs, plate.polePairs},
        {lab::NameplateField::BreakdownRatio, plate.breakdownRatio},
        {lab::NameplateField::StartingTorqueRatio, plate.startingTorqueRatio},
        {lab::NameplateField::StartingCurrentRatio, plate.startingCurrentRatio}};
    for (const auto& [field, value] : optional)
        if (value)
            add(field, FloatToStr(*value));
    text += "\n# The circuit's static figures against them:\n";
    std::string table = FiguresTable(estimate);
    for (std::size_t at = 0; at < table.size(); at = table.find('\n', at) + 1)
        text += "#   " + table.substr(at, table.find('\n', at) - at) + '\n';
    return text + "# A plate gives no inertia: model.J is the rotor's and the load's, to be set.\n";
}

std::string FiguresCsv(const lab::NameplateEstimate& estimate, CsvStyle style)
{
    std::string text;
    for (const std::string_view heading : {"figure", "unit", "target", "fitted", "deviation_percent"}) {
        text += heading;
        text += style.separator;
    }
    text += "assumed\n";
    for (const lab::FigureFit& figure : estimate.figures) {
        AppendCsvText(text, FigureName(figure.figure), style);
        text += style.separator;
        AppendCsvText(text, FigureUnit(figure.figure), style);
        for (const double value : {figure.target, figure.fitted, figure.DeviationPercent()}) {
            text += style.separator;
            AppendCsvNumber(text, value, style);
        }
        text += style.separator;
        text += figure.assumed ? "yes\n" : "no\n";
    }
    return text;
}

} // namespace cli
