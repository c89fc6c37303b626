#include "model/MotorModel.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct State {
    int index;
    double Md;
    double Omega;
    double K;
};

// States after each listed step of a run with load 10 held for steps
// 0-999 and 0 from step 1000, rounded to double as they are plotted.
const std::vector<State> kLoadTenStates = {
    {0, 0, -0.5813953488372093, 50.5},
    {1, 15.92329593023256, -1.1627906976744187, 50.5},
    {2, 21.030740146170377, -0.8184130273120604, 52.12676834933748},
    {3, 23.129062925867462, -0.17709092579052702, 53.225532531666694},
    {4, 24.07307392713387, 0.5862266861785116, 53.83038089420163},
    {5, 24.480434964282413, 1.4044286586862946, 54.133561141445234},
    // These three catch dividing by T instead of multiplying by 1/T.
    {567, 10.080131872796098, 89.16519345712281, 50.68012406064798},
    {999, 10.001646151080376, 89.67475825363117, 50.67086650545471},
    {1000, 10.001631415094463, 90.25624930892654, 50.670864778872776},
    {1477, 0.15522752960111472, 156.0385118602594, 50.48732570145394},
    {1863, 0.0053060270756005185, 157.03957930448928, 50.49955897573321},
    {1999, 0.0016147666059876053, kStep10Omega, 50.4998657261511},
};

TEST(MotorModel, ResetSetsParametersToTheirExactBits)
{
    MotorModel model{};
    model.Reset();
    EXPECT_EQ(Bits(model.w0), 0x4073A26666666667u);
    EXPECT_EQ(Bits(model.dt), 0x3F50624DD2F1A9FCu);
    EXPECT_EQ(Bits(model.p), 0x4000000000000000u);
    EXPECT_EQ(Bits(model.J), 0x3F919CE075F6FD22u);
    EXPECT_EQ(Bits(model.Mk), 0x4039400000000000u);
    EXPECT_EQ(Bits(model.sk), 0x3FDD70A3D70A3D71u);
    // The extended quotient rounded once; a double division gives ...C73.
    EXPECT_EQ(Bits(model.T), 0x3F57FD9680DE2C71u);
}

TEST(MotorModel, ResetClearsEveryStateButKPrev)
{
    MotorModel model{};
    model.Reset();
    model.Step(10.0);
    model.Step(10.0);
    model.Reset();
    for (Extended state : {model.Md, model.dMd, model.dOmega, model.dK, model.Omega, model.K,
                              model.MdPrev, model.OmegaPrev})
        EXPECT_EQ(state, 0.0);
    EXPECT_EQ(model.KPrev, 50.5);
}

TEST(MotorModel, LoadTenRunMatchesKnownStatesBitForBit)
{
    MotorModel model{};
    model.Reset();
    auto expected = kLoadTenStates.begin();
    for (int i = 0; i < 2000 && expected != kLoadTenStates.end(); ++i) {
        model.Step(i < 1000 ? 10.0 : 0.0);
        if (i != expected->index)
            continue;
        EXPECT_EQ(Bits(static_cast<double>(model.Md)), Bits(expected->Md)) << "Md at step " << i;
        EXPECT_EQ(Bits(static_cast<double>(model.Omega)), Bits(expected->Omega)) << "Omega at step " << i;
        EXPECT_EQ(Bits(static_cast<double>(model.K)), Bits(expected->K)) << "K at step " << i;
        ++expected;
    }
    EXPECT_EQ(expected, kLoadTenStates.end());
}

TEST(MotorModel, FirstTwoStepsAfterResetKeepKAndMoveOnlyOmegaFirst)
{
    MotorModel model{};
    model.Reset();

    model.Step(10.0);
    EXPECT_EQ(model.dMd, 0.0) << "K is 0 in the first step";
    EXPECT_EQ(model.Md, 0.0);
    EXPECT_EQ(model.dK, 0.0);
    EXPECT_EQ(model.K, 50.5);
    EXPECT_LT(model.Omega, 0.0);

    model.Step(10.0);
    EXPECT_EQ(model.dK, 0.0) << "Md was still 0 and the two products of dK are equal";
    EXPECT_EQ(model.K, 50.5);
    EXPECT_GT(model.Md, 0.0);
}

TEST(MotorModel, PrevFieldsEqualStatesAfterEveryStep)
{
    MotorModel model{};
    model.Reset();
    for (int i = 0; i < 50; ++i) {
        model.Step(15.0);
        ASSERT_EQ(model.Md, model.MdPrev);
        ASSERT_EQ(model.Omega, model.OmegaPrev);
        ASSERT_EQ(model.K, model.KPrev);
    }
}

TEST(MotorModel, UnloadedRunPeaksKAtStepSevenAndSettlesAtSynchronousSpeed)
{
    MotorModel model{};
    model.Reset();
    std::vector<Extended> k;
    Extended mdMax = 0;
    for (int i = 0; i < 2000; ++i) {
        model.Step(0.0);
        k.push_back(model.K);
        mdMax = std::max(mdMax, model.Md);
    }
    EXPECT_EQ(std::max_element(k.begin(), k.end()) - k.begin(), 7);
    // K swings between about 50.33 and 54.09.
    EXPECT_NEAR(static_cast<double>(*std::min_element(k.begin(), k.end())), 50.33, 0.01);
    EXPECT_NEAR(static_cast<double>(*std::max_element(k.begin(), k.end())), 54.09, 0.01);
    // Steady-state answers, known only to a few digits.
    EXPECT_NEAR(static_cast<double>(mdMax), 24.06, 0.005);
    EXPECT_NEAR(static_cast<double>(model.Omega), 314.15 / 2, 0.01);
    EXPECT_NEAR(static_cast<double>(model.K), 50.5, 0.01);
}

} // namespace

namespace {

// How far the model is from its rest without load after steps of dt,
// started there with Md nudged by 1 mN·m: infinite once it overflows.
double DistanceFromRest(MotorParameters parameters, double dt, int steps)
{
    parameters.dt = dt;
    MotorModel model{};
    model.Reset(parameters);
    model.Omega = model.OmegaPrev = Extended(parameters.w0) / parameters.p;
    model.K = model.KPrev = Extended(parameters.Mk) * 2.0;
    model.Md = model.MdPrev = 1e-3;
    for (int i = 0; i < steps; ++i)
        model.Step(0);
    const double distance = std::fabs(static_cast<double>(model.Md)) +
                            std::fabs(static_cast<double>(model.Omega) - parameters.w0 / parameters.p) +
                            std::fabs(static_cast<double>(model.K) - 2 * parameters.Mk);
    return std::isfinite(distance) ? distance : INFINITY;
}

struct StabilityCase {
    const char* name;
    MotorParameters parameters;
};

// Where 2 T binds, and where J / (2 p Mk T) does (the rates of Md and Omega
// complex and fast).
const std::vector<StabilityCase> kStabilityCases = {
    {"defaults", {}},
    {"a hundredth of the inertia", {.J = 0.000172}},
    {"three pole pairs and four times Mk", {.Mk = 100, .p = 3}},
    {"a fast time constant", {.sk = 0.1}},
    {"a slow supply", {.w0 = 100}},
    {"light, strong and four pole pairs", {.J = 0.001, .Mk = 200, .p = 4}},
};

// The limit is the edge where the rest without load stops being stable:
// 1 % short of it the nudge dies away, 1 % past it it grows until the model
// overflows or swings far from rest. 20 000 steps leave the slowest of these
// decays (about 0.9986 a step) below 1e-12 of the nudge.
TEST(StableStepLimit, IsWhereTheRestWithoutLoadStopsBeingStable)
{
    for (const StabilityCase& c : kStabilityCases) {
        SCOPED_TRACE(c.name);
        const double limit = StableStepLimit(c.parameters);
        EXPECT_LT(DistanceFromRest(c.parameters, 0.99 * limit, 20000), 1e-12);
        EXPECT_GT(DistanceFromRest(c.parameters, 1.01 * limit, 20000), 1.0);
    }
}

} // namespace
