#pragma once

#include "model/Complex.h"

#include <cstdint>
#include <optional>

// The fifth-order model of a squirrel-cage induction machine: stator and
// rotor flux linkages as space vectors in a frame turning with the supply,
// and the rotor's mechanical speed (Krause, Analysis of Electric Machinery,
// ch. 6). Space vectors are amplitude-invariant: phase a's value is the
// real part of the vector in the stator's frame.

enum class DqIntegrator { RungeKutta4, Euler };

// Per phase, referred to the stator. The defaults are the squirrel-cage
// machine of the Modelica Standard Library (p 2, 50 Hz, 100 V per winding,
// Xs = Xr = 3 ohm at 50 Hz with a leakage factor of 0.0667).
struct DqParameters {
    double Rs = 0.03;                  // ohm
    double Rr = 0.04;                  // ohm
    double Lls = 3.2396436254990627e-4; // H
    double Llr = 3.2396436254990627e-4; // H
    double Lm = 9.225332222963813e-3;  // H
    double U = 100;                    // RMS voltage across one phase winding, V
    double w0 = 314.1592653589793;     // supply angular frequency, rad/s
    double p = 2;                      // pole pairs
    double J = 0.58;                   // rotor and load, kg m^2
    double dt = 1e-4;                  // s
    DqIntegrator integrator = DqIntegrator::RungeKutta4;
    bool operator==(const DqParameters&) const = default;
};

// What happens to the supply, on the run's steps. The voltage falls to
// dipLevel of itself from step dipOn to dipOff - 1; at step reverseOn two
// phases are swapped (plugging), and stay so.
struct DqSupplyEvents {
    std::int64_t dipOn = 0;
    std::int64_t dipOff = 0;
    double dipLevel = 1;
    std::optional<std::int64_t> reverseOn;
    bool operator==(const DqSupplyEvents&) const = default;
};

struct DqState {
    Complex psiS; // stator flux linkage, Wb
    Complex psiR; // rotor flux linkage, Wb
    double Omega = 0; // mechanical speed, rad/s
};

struct DqCurrents {
    Complex is;
    Complex ir;
};

// The quantities a step ends with.
struct DqQuantities {
    double Md;    // electromagnetic torque, N m
    double Omega; // mechanical speed, rad/s
    double Is;    // stator current, RMS, A
    double ia;    // phase a's instantaneous current, A
};

// A direct-on-line start: at standstill with no flux, the supply switched
// on as step 0 starts. Step i takes the state from t = i dt to (i + 1) dt
// with the supply and the load held over it.
//
// Every operation is one rounded double operation in a fixed order, and
// nothing calls a library function whose result could differ between
// machines, so a run is the same bits everywhere. Phase a's current needs
// the frame's angle w0 t: its unit vector is turned on by e^(j w0 dt) each
// step and set afresh every kAnchorSteps steps to cos and sin of w0 k dt,
// both found exactly and correctly rounded by MPFR (see DqModel.cpp).
class DqModel {
public:
    static constexpr std::int64_t kAnchorSteps = 1024;

    // The parameters are taken as given: positive resistances, inductances,
    // p, J and dt are the caller's to check.
    explicit DqModel(const DqParameters& parameters, const DqSupplyEvents& events = {});

    // One step against the load torque Mc.
    DqQuantities Step(double Mc);

    std::int64_t Steps() const { return steps_; }
    const DqState& State() const { return state_; }
    DqQuantities Quantities() const;
    DqCurrents Currents(const DqState& state) const;
    double Torque(const DqState& state) const;
    // The supply's space vector over step `step` in the frame it is held in
    // then: real, sqrt(2) U and the dip's level.
    double SupplyVoltage(std::int64_t step) const;
    // e^(j theta), theta the frame's angle to phase a's axis now.
    Complex Frame() const;

private:
    struct Derivative;
    Derivative Rates(const DqState& x, double us, double Mc) const;
    DqState Advance(double us, double Mc) const;
    void Reverse();
    void TurnFrame();

    DqParameters parameters_;
    DqSupplyEvents events_;
    // is = a psiS - b psiR, ir = c psiR - b psiS
    double a_;
    double b_;
    double c_;
    double torqueFactor_; // 3/2 p
    double invJ_;
    double uPeak_;        // sqrt(2) U
    // The frame turns at sequence_ w0: -1 once two phases are swapped.
    double sequence_ = 1;
    Complex turn_;        // e^(j w0 dt)
    Complex rotation_{1, 0}; // e^(j w0 t), t = steps_ dt
    DqState state_{};
    std::int64_t steps_ = 0;
};

// e^(j w0 k dt), with w0 k dt formed exactly and cos and sin correctly
// rounded to double.
Complex ExactRotation(double w0, double dt, std::int64_t k);
