#pragma once

#include "experiments/Settings.h"
#include "model/DqModel.h"
#include "toolkit/Exception.h"

#include <optional>
#include <string_view>
#include <vector>

// From a rating plate and a catalogue to the d-q machine's T-circuit: the
// figures a lecturer has (rated power, voltage, current, speed, cos phi,
// efficiency, and the catalogue's Mk/Mn, Mst/Mn and Ist/In) give Rs, Rr,
// Lls = Llr and Lm, fitted so that the circuit's static figures meet them.
namespace lab {

enum class Connection { Star, Delta };

// What the plate and the catalogue give, in SI units and as printed: the
// line's voltage and current, whatever the connection.
struct Nameplate {
    double power = 0;      // rated output at the shaft, W
    double voltage = 0;    // line to line, RMS, V
    Connection connection = Connection::Star;
    double frequency = 0;  // Hz
    double speed = 0;      // rated, rpm
    double current = 0;    // rated, in the line, RMS, A
    double cosPhi = 0;
    double efficiency = 0;
    // Unset, the most the rated speed allows: the synchronous speed just
    // above it.
    std::optional<double> polePairs{};
    std::optional<double> breakdownRatio{};       // Mk/Mn
    std::optional<double> startingTorqueRatio{};  // Mst/Mn
    std::optional<double> startingCurrentRatio{}; // Ist/In
    bool operator==(const Nameplate&) const = default;
};

// A figure of the plate, as an input's identity.
enum class NameplateField {
    Power,
    Voltage,
    Connection,
    Frequency,
    Speed,
    Current,
    CosPhi,
    Efficiency,
    PolePairs,
    BreakdownRatio,
    StartingTorqueRatio,
    StartingCurrentRatio,
};

// The fields in the order the plate lists them, each with the name the
// batch tool and the Python module give it ("cos_phi", "mk").
struct NameplateFieldName {
    NameplateField field;
    std::string_view name;
};
inline constexpr NameplateFieldName kNameplateFields[] = {
    {NameplateField::Power, "power"},
    {NameplateField::Voltage, "voltage"},
    {NameplateField::Connection, "connection"},
    {NameplateField::Frequency, "frequency"},
    {NameplateField::Speed, "speed"},
    {NameplateField::Current, "current"},
    {NameplateField::CosPhi, "cos_phi"},
    {NameplateField::Efficiency, "efficiency"},
    {NameplateField::PolePairs, "pole_pairs"},
    {NameplateField::BreakdownRatio, "mk"},
    {NameplateField::StartingTorqueRatio, "mst"},
    {NameplateField::StartingCurrentRatio, "ist"},
};
std::string_view NameOf(NameplateField field);
// The field of a name, or none.
std::optional<NameplateField> NameplateFieldNamed(std::string_view name);

// Why a figure cannot be a machine's.
enum class NameplateRule {
    // Allowed: a finite number above `limit` (0 for most, 1 for Mk/Mn and
    // Ist/In: a motor's breakdown torque and starting current exceed the
    // rated ones).
    Above,
    // Allowed: a finite number above 0 and at most 1 (cos phi, efficiency).
    AboveZeroAtMostOne,
    // Allowed: a whole number of at least 1.
    WholeAtLeastOne,
    // The rated speed is not below `limit`, the synchronous speed in rpm of
    // the pole pairs given, or of the most pole pairs whose synchronous
    // speed is not below it (one at least).
    BelowSynchronous,
    // The rated power is more than the electrical input the plate's
    // voltage, current and cos phi make, sqrt(3) U I cos phi = `limit` W:
    // the efficiency they imply would pass 1.
    AtMostInput,
};

struct NameplateProblem {
    NameplateField field;
    double value;
    NameplateRule rule;
    double limit = 0;
    bool operator==(const NameplateProblem&) const = default;
};

// Every figure that no machine could have, in the plate's order; the
// consistency of power and input is judged once each figure is allowed.
std::vector<NameplateProblem> NameplateProblems(const Nameplate& plate);

class NameplateError : public toolkit::Exception {
public:
    explicit NameplateError(NameplateProblem problem)
        : Exception("nameplate not allowed"), problem_(problem) {}
    const NameplateProblem& Cause() const { return problem_; }

private:
    NameplateProblem problem_;
};

// A static figure the fit aims at.
enum class Figure {
    RatedTorque,          // N m, at the rated speed
    RatedCurrent,         // A, in the line
    PowerFactor,          // cos phi at the rated speed
    Efficiency,           // shaft power over electrical input
    BreakdownRatio,       // Mk/Mn
    StartingTorqueRatio,  // Mst/Mn
    StartingCurrentRatio, // Ist/In
};

struct FigureFit {
    Figure figure;
    double target;
    double fitted;
    // Not on the plate: the typical value the fit assumed, so that the
    // leakage is fixed (see kAssumedBreakdownRatio).
    bool assumed = false;
    // (fitted - target) / target, in percent.
    double DeviationPercent() const { return (fitted - target) / target * 100; }
};

// With neither Mk/Mn nor Ist/In nor Mst/Mn given, the rated point alone
// cannot tell the leakage from the magnetising reactance; the fit then
// takes a breakdown ratio typical of general-purpose squirrel-cage motors.
inline constexpr double kAssumedBreakdownRatio = 2.5;

struct NameplateEstimate {
    // Rs, Rr, Lls = Llr, Lm, U per winding, w0 and p; J, dt and the
    // integrator are DqParameters' defaults, the plate not giving them.
    DqParameters machine;
    // The figures in the order of Figure, those the plate gives (and the
    // assumed breakdown ratio).
    std::vector<FigureFit> figures;
    std::size_t iterations = 0;
    bool converged = false;

    // The figure's fit; none for a ratio the plate does not give.
    std::optional<FigureFit> Of(Figure figure) const;

    // base as a d-q machine with the estimated parameters, supply voltage,
    // frequency and pole pairs; a three-state base also takes the d-q
    // machines' step, 1e-4 s, for its 1e-3 s is far too long for the
    // electrical transients.
    Settings ApplyTo(Settings base) const;
};

// The voltage across one winding and the current in it.
double PhaseVoltage(const Nameplate& plate);
double PhaseCurrent(const Nameplate& plate);
// The plate's pole pairs, or those of the synchronous speed just above the
// rated speed.
double PolePairsOf(const Nameplate& plate);

// Raises NameplateError for the first of NameplateProblems.
NameplateEstimate EstimateFromNameplate(const Nameplate& plate);

// The circuit's figures at the plate's rated speed, for the figures the
// plate gives.
std::vector<FigureFit> FiguresOf(const DqParameters& machine, const Nameplate& plate);

} // namespace lab
