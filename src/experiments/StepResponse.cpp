#include "experiments/ExperimentHost.h"
#include "experiments/Experiments.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"

using toolkit::ToDouble;

void RunStepResponse(MotorModel& model, ExperimentHost& host)
{
    constexpr int kLoadRemovedAt = kRunLength / 2;

    host.SetProgress(100);
    Trace& mdTrace = host.Series(5);
    Trace& omegaTrace = host.Series(6);
    mdTrace.Clear();
    omegaTrace.Clear();

    double Mc = toolkit::StrToInt(host.LoadText());
    model.Reset();
    double mdMax = ToDouble(model.Md);
    double omegaMax = ToDouble(model.Omega);

    if (Mc > kLargestLoad) {
        host.ShowAlert();
    } else {
        const Colour mdColour = PointColourOfSeries(5);
        const Colour omegaColour = PointColourOfSeries(6);
        // Stepping a local copy lets the state stay in registers across the
        // trace appends; the model takes the final state when the run ends.
        MotorModel m = model;
        for (int i = 0; i < kRunLength; ++i) {
            if (i == kLoadRemovedAt)
                Mc = 0.0;
            m.Step(Mc);
            // Compared in extended; NaN compares false and keeps the maximum.
            if (m.Md > mdMax)
                mdMax = ToDouble(m.Md);
            if (m.Omega > omegaMax)
                omegaMax = ToDouble(m.Omega);
            mdTrace.AppendPoint(i, ToDouble(m.Md), "", mdColour);
            omegaTrace.AppendPoint(i, ToDouble(m.Omega), "", omegaColour);
        }
        model = m;
    }

    host.SetMdMaxText(toolkit::FloatToStr(mdMax));
    host.SetOmegaMaxText(toolkit::FloatToStr(omegaMax));
}
