#include "lab/Nameplate.h"

#include "analysis/DqCharacteristic.h"
#include "lab/LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lab {

namespace {

const double kSqrt3 = std::sqrt(3.0);

// Each figure's weight in the fit. The plate's rated point is measured on
// the machine itself; the catalogue's ratios are rounded to a tenth, and a
// single-cage circuit cannot in general meet both the starting and the
// breakdown torque at the rated slip, so the rated point comes first.
double WeightOf(Figure figure)
{
    switch (figure) {
    case Figure::RatedTorque:
    case Figure::RatedCurrent:
    case Figure::PowerFactor:
        return 10;
    case Figure::Efficiency:
    case Figure::BreakdownRatio:
    case Figure::StartingTorqueRatio:
    case Figure::StartingCurrentRatio:
        break;
    }
    return 1;
}

bool FiniteAbove(double value, double limit) { return std::isfinite(value) && value > limit; }

void CheckAbove(std::vector<NameplateProblem>& problems, NameplateField field, double value, double limit)
{
    if (!FiniteAbove(value, limit))
        problems.push_back({field, value, NameplateRule::Above, limit});
}

void CheckShare(std::vector<NameplateProblem>& problems, NameplateField field, double value)
{
    if (!(FiniteAbove(value, 0) && value <= 1))
        problems.push_back({field, value, NameplateRule::AboveZeroAtMostOne, 1});
}

bool Whole(double value) { return std::isfinite(value) && value >= 1 && std::floor(value) == value; }

bool Has(const std::vector<NameplateProblem>& problems, NameplateField field)
{
    return std::any_of(problems.begin(), problems.end(), [field](const auto& p) { return p.field == field; });
}

double SynchronousRpm(double frequency, double polePairs) { return 60 * frequency / polePairs; }

double RatedSlip(const Nameplate& plate)
{
    return 1 - plate.speed / SynchronousRpm(plate.frequency, PolePairsOf(plate));
}

double RatedSpeed(const Nameplate& plate) { return plate.speed * std::numbers::pi / 30; }

double RatedTorque(const Nameplate& plate) { return plate.power / RatedSpeed(plate); }

// The line's current over the winding's.
double LineCurrentFactor(const Nameplate& plate) { return plate.connection == Connection::Delta ? kSqrt3 : 1; }

// The figures the fit aims at, fitted values unset.
std::vector<FigureFit> Targets(const Nameplate& plate)
{
    std::vector<FigureFit> targets{{Figure::RatedTorque, RatedTorque(plate), 0},
                                   {Figure::RatedCurrent, plate.current, 0},
                                   {Figure::PowerFactor, plate.cosPhi, 0},
                                   {Figure::Efficiency, plate.efficiency, 0}};
    const bool noRatio = !plate.breakdownRatio && !plate.startingTorqueRatio && !plate.startingCurrentRatio;
    if (plate.breakdownRatio || noRatio)
        targets.push_back({Figure::BreakdownRatio, plate.breakdownRatio.value_or(kAssumedBreakdownRatio), 0, noRatio});
    if (plate.startingTorqueRatio)
        targets.push_back({Figure::StartingTorqueRatio, *plate.startingTorqueRatio, 0});
    if (plate.startingCurrentRatio)
        targets.push_back({Figure::StartingCurrentRatio, *plate.startingCurrentRatio, 0});
    return targets;
}

// The machine of the circuit's four parameters on the plate's supply.
DqParameters MachineOf(const Nameplate& plate, double Rs, double Rr, double Ll, double Lm)
{
    DqParameters machine;
    machine.Rs = Rs;
    machine.Rr = Rr;
    machine.Lls = machine.Llr = Ll;
    machine.Lm = Lm;
    machine.U = PhaseVoltage(plate);
    machine.w0 = 2 * std::numbers::pi * plate.frequency;
    machine.p = PolePairsOf(plate);
    return machine;
}

// Both leakage reactances together, from the catalogue's ratio that fixes
// them best: the breakdown torque, M_k ~ 3 p U^2 / (2 w0 (Rs + |Rs + j Xk|)),
// the starting current, |Zk| = U / Ist, or the starting torque, each with
// the magnetising branch left out. Rr2 is a first Rr, R_total s.
double ShortCircuitReactance(const Nameplate& plate, const DqParameters& m, double Rr2)
{
    const double U = m.U;
    const double Mn = RatedTorque(plate);
    const double fallback = 0.2 * U / PhaseCurrent(plate);
    double Xk2 = 0;
    if (plate.breakdownRatio || !(plate.startingCurrentRatio || plate.startingTorqueRatio)) {
        const double Mk = plate.breakdownRatio.value_or(kAssumedBreakdownRatio) * Mn;
        const double A = 3 * m.p * U * U / (2 * m.w0 * Mk) - m.Rs;
        Xk2 = A * A - m.Rs * m.Rs;
    } else if (plate.startingCurrentRatio) {
        const double Zk = U / (*plate.startingCurrentRatio * PhaseCurrent(plate));
        Xk2 = Zk * Zk - (m.Rs + Rr2) * (m.Rs + Rr2);
    } else {
        const double Mst = *plate.startingTorqueRatio * Mn;
        Xk2 = 3 * m.p * U * U * Rr2 / (m.w0 * Mst) - (m.Rs + Rr2) * (m.Rs + Rr2);
    }
    return Xk2 > 0 ? std::sqrt(Xk2) : fallback;
}

// The circuit that meets the rated point exactly, Lls = Llr from the
// catalogue's ratio: Rs takes the input the air gap does not (all the
// losses but the rotor's copper), and the rotor and magnetising branches
// the rest of the impedance U / I at phi.
DqParameters FirstGuess(const Nameplate& plate)
{
    DqParameters m = MachineOf(plate, 0, 0, 0, 0);
    const double s = RatedSlip(plate);
    const double I = PhaseCurrent(plate);
    const double sinPhi = std::sqrt(1 - plate.cosPhi * plate.cosPhi);
    const Complex Z{m.U / I * plate.cosPhi, m.U / I * sinPhi};
    const double airGap = RatedTorque(plate) * m.w0 / m.p;
    m.Rs = std::max((3 * m.U * I * plate.cosPhi - airGap) / (3 * I * I), 0.05 * Z.re);
    double X = ShortCircuitReactance(plate, m, s * (Z.re - m.Rs)) / 2;
    // Zp = Z - Rs - j X = j Xm || (R + j X), R = Rr / s: the real part of
    // 1 / Zp is R / (R^2 + X^2), which gives R; the rest of its imaginary
    // part is the magnetising branch's. A leakage too large for the rated
    // point is halved until it fits.
    for (int i = 0; i < 60; ++i, X /= 2) {
        const Complex Y = Complex{1, 0} / (Z - Complex{m.Rs, X});
        const double discriminant = 1 - 4 * Y.re * Y.re * X * X;
        if (!(Y.re > 0 && discriminant > 0))
            continue;
        const double R = (1 + std::sqrt(discriminant)) / (2 * Y.re);
        const double inverseXm = -Y.im - X / (R * R + X * X);
        if (inverseXm > 0)
            return MachineOf(plate, m.Rs, R * s, X / m.w0, 1 / inverseXm / m.w0);
    }
    return MachineOf(plate, m.Rs, s * Z.re, 0.1 * Z.im / m.w0, 3 * Z.im / m.w0);
}

void FillFitted(std::vector<FigureFit>& figures, const DqParameters& machine, const Nameplate& plate)
{
    const analysis::DqCharacteristic circuit(machine);
    const analysis::DqSteadyPoint rated = circuit.At(RatedSlip(plate));
    const analysis::DqSteadyPoint start = circuit.At(1);
    for (FigureFit& figure : figures) {
        switch (figure.figure) {
        case Figure::RatedTorque:
            figure.fitted = rated.Md;
            break;
        case Figure::RatedCurrent:
            figure.fitted = rated.Is * LineCurrentFactor(plate);
            break;
        case Figure::PowerFactor:
            figure.fitted = rated.cosPhi;
            break;
        case Figure::Efficiency:
            figure.fitted = rated.Md * rated.Omega / (3 * machine.U * rated.Is * rated.cosPhi);
            break;
        case Figure::BreakdownRatio:
            figure.fitted = circuit.Breakdown().Mk / rated.Md;
            break;
        case Figure::StartingTorqueRatio:
            figure.fitted = start.Md / rated.Md;
            break;
        case Figure::StartingCurrentRatio:
            figure.fitted = start.Is / rated.Is;
            break;
        }
    }
}

} // namespace

std::string_view NameOf(NameplateField field)
{
    for (const auto& entry : kNameplateFields)
        if (entry.field == field)
            return entry.name;
    return {};
}

std::optional<NameplateField> NameplateFieldNamed(std::string_view name)
{
    for (const auto& entry : kNameplateFields)
        if (entry.name == name)
            return entry.field;
    return std::nullopt;
}

std::vector<NameplateProblem> NameplateProblems(const Nameplate& plate)
{
    std::vector<NameplateProblem> problems;
    CheckAbove(problems, NameplateField::Power, plate.power, 0);
    CheckAbove(problems, NameplateField::Voltage, plate.voltage, 0);
    CheckAbove(problems, NameplateField::Frequency, plate.frequency, 0);
    CheckAbove(problems, NameplateField::Speed, plate.speed, 0);
    CheckAbove(problems, NameplateField::Current, plate.current, 0);
    CheckShare(problems, NameplateField::CosPhi, plate.cosPhi);
    CheckShare(problems, NameplateField::Efficiency, plate.efficiency);
    if (plate.polePairs && !Whole(*plate.polePairs))
        problems.push_back({NameplateField::PolePairs, *plate.polePairs, NameplateRule::WholeAtLeastOne, 1});
    if (plate.breakdownRatio)
        CheckAbove(problems, NameplateField::BreakdownRatio, *plate.breakdownRatio, 1);
    if (plate.startingTorqueRatio)
        CheckAbove(problems, NameplateField::StartingTorqueRatio, *plate.startingTorqueRatio, 0);
    if (plate.startingCurrentRatio)
        CheckAbove(problems, NameplateField::StartingCurrentRatio, *plate.startingCurrentRatio, 1);
    if (!Has(problems, NameplateField::Frequency) && !Has(problems, NameplateField::Speed) &&
        !Has(problems, NameplateField::PolePairs)) {
        const double synchronous = SynchronousRpm(plate.frequency, PolePairsOf(plate));
        if (plate.speed >= synchronous)
            problems.push_back({NameplateField::Speed, plate.speed, NameplateRule::BelowSynchronous, synchronous});
    }
    if (problems.empty()) {
        const double input = kSqrt3 * plate.voltage * plate.current * plate.cosPhi;
        if (plate.power > input)
            problems.push_back({NameplateField::Power, plate.power, NameplateRule::AtMostInput, input});
    }
    return problems;
}

double PhaseVoltage(const Nameplate& plate)
{
    return plate.connection == Connection::Star ? plate.voltage / kSqrt3 : plate.voltage;
}

double PhaseCurrent(const Nameplate& plate) { return plate.current / LineCurrentFactor(plate); }

double PolePairsOf(const Nameplate& plate)
{
    return plate.polePairs.value_or(std::max(1.0, std::floor(60 * plate.frequency / plate.speed)));
}

std::vector<FigureFit> FiguresOf(const DqParameters& machine, const Nameplate& plate)
{
    std::vector<FigureFit> figures = Targets(plate);
    FillFitted(figures, machine, plate);
    return figures;
}

std::optional<FigureFit> NameplateEstimate::Of(Figure figure) const
{
    const auto found = std::find_if(figures.begin(), figures.end(), [figure](const auto& f) { return f.figure == figure; });
    return found == figures.end() ? std::nullopt : std::optional(*found);
}

Settings NameplateEstimate::ApplyTo(Settings base) const
{
    if (base.Kind() == ModelKind::ThreeState)
        base.model.dt = DqParameters{}.dt;
    base.kind = ModelKind::Dq;
    base.dq.Rs = machine.Rs;
    base.dq.Rr = machine.Rr;
    base.dq.Lls = machine.Lls;
    base.dq.Llr = machine.Llr;
    base.dq.Lm = machine.Lm;
    base.dq.U = machine.U;
    base.model.w0 = machine.w0;
    base.model.p = machine.p;
    return base;
}

NameplateEstimate EstimateFromNameplate(const Nameplate& plate)
{
    if (const auto problems = NameplateProblems(plate); !problems.empty())
        throw NameplateError(problems.front());
    const DqParameters guess = FirstGuess(plate);
    std::vector<FigureFit> figures = Targets(plate);
    const auto machineAt = [&plate](std::span<const double> x) { return MachineOf(plate, x[0], x[1], x[2], x[3]); };
    LeastSquaresProblem problem{
        .parameters = {{guess.Rs, 0.0}, {guess.Rr, 0.0}, {guess.Lls, 0.0}, {guess.Lm, 0.0}},
        .residualCount = figures.size(),
        .residuals =
            [&](std::span<const double> x, std::span<double> residuals) {
                std::vector<FigureFit> at = figures;
                FillFitted(at, machineAt(x), plate);
                for (std::size_t i = 0; i < at.size(); ++i)
                    residuals[i] = WeightOf(at[i].figure) * (at[i].fitted - at[i].target) / at[i].target;
            },
    };
    LeastSquaresControl control;
    control.maxIterations = 200;
    control.stepTolerance = 1e-12;
    const LeastSquaresResult result = SolveLeastSquares(problem, control);
    // A fit that fails leaves the circuit that meets the rated point.
    const bool usable = result.outcome != LeastSquaresOutcome::Failed;
    NameplateEstimate estimate{
        .machine = usable ? machineAt(result.values) : guess,
        .figures = {},
        .iterations = result.iterations,
        .converged = result.outcome == LeastSquaresOutcome::Converged,
    };
    FillFitted(figures, estimate.machine, plate);
    estimate.figures = std::move(figures);
    return estimate;
}

} // namespace lab
