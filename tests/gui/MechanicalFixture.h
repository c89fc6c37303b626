#pragma once

#include "ChartWindowFixture.h"

#include "chart/ChartMenu.h"
#include "chart/MechanicalChart.h"
#include "plot/PlaneCurves.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <string>
#include <vector>

// The curves' names the mechanical characteristic's window gives them.
inline const std::string kStatic = "Статическая характеристика";
inline const std::string kOperating = "Рабочая точка";

// The main window with its mechanical characteristic's window, the curves
// it draws named.
class Mechanical : public ChartWindow {
public:
    // What the scenes do, as the user would.
    using ChartWindow::ClickLegendEntry;
    using ChartWindow::RunAll;
    using MainWindow::Click;
    using MainWindow::RunStepResponse;
    void PinRun() { Trigger(QStringLiteral("Закрепить графики")); }

protected:
    void Open() { Trigger(QStringLiteral("Механическая характеристика")); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const PlaneCurve& curve : Plane().Curves())
            names.push_back(curve.name);
        return names;
    }

    int IndexOf(const std::string& name) const
    {
        const std::vector<std::string> names = Names();
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    }

    // The menu of the main chart as it opens over the trace's legend entry.
    QAction* EntryItem(int trace, const QString& text) const
    {
        Settled();
        emit Chart()->customContextMenuRequested(Chart()->LegendEntryRect(trace).center());
        Tools().menu->Menu().close();
        for (QAction* action : Tools().menu->Menu().actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
};
