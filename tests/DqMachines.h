#pragma once

#include "ExactValues.h"

#include "model/DqModel.h"

#include <cmath>
#include <numbers>
#include <string>

// The documented machines as the d-q model's parameters.

inline DqParameters ParametersOf(const machines::ModelicaMachine& m)
{
    const double w = 2 * std::numbers::pi * m.f;
    const double Ls = m.Xs / w;
    // sigma = 1 - Lm^2 / Ls^2 with Ls = Lr.
    const double Lm = Ls * std::sqrt(1 - m.sigma);
    DqParameters parameters;
    parameters.Rs = m.Rs;
    parameters.Rr = m.Rr;
    parameters.Lls = parameters.Llr = Ls - Lm;
    parameters.Lm = Lm;
    parameters.U = m.U;
    parameters.w0 = w;
    parameters.p = m.p;
    parameters.J = m.J;
    return parameters;
}

inline DqParameters ParametersOf(const machines::KrauseMachine& m)
{
    const double w = 2 * std::numbers::pi * 60;
    DqParameters parameters;
    parameters.Rs = m.rs;
    parameters.Rr = m.rr;
    parameters.Lls = m.Xls / w;
    parameters.Llr = m.Xlr / w;
    parameters.Lm = m.XM / w;
    parameters.U = m.lineVoltage / std::sqrt(3.0);
    parameters.w0 = w;
    parameters.p = 2;
    parameters.J = m.J;
    return parameters;
}

inline DqParameters WithoutStatorResistance(DqParameters parameters)
{
    parameters.Rs = 0;
    return parameters;
}

// The Modelica machine's quadratic fan: its nominal torque at its nominal
// speed.
inline double ModelicaFan(double Omega)
{
    const double nominal = machines::kModelica.nominalRpm * std::numbers::pi / 30;
    const double ratio = Omega / nominal;
    return machines::kModelica.nominalMd * ratio * ratio;
}

// Names a parameterised test by its case's name.
inline constexpr auto kCaseName = [](const auto& test) { return std::string(test.param.name); };
