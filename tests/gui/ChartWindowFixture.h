#pragma once

#include "MainWindowFixture.h"

#include "chart/ChartMenu.h"
#include "chart/ChartTools.h"
#include "experiments/Settings.h"
#include "plot/PlotNavigation.h"
#include "ui/ParametersWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

// The main window with the user's hands on its chart: mouse, wheel and
// legend clicks as the chart receives them.
class ChartWindow : public MainWindow {
protected:
    // Lays the chart out, as the event loop does before the user sees it,
    // so Mapping() is what is drawn.
    PlotMapping Settled() const
    {
        Chart()->replot();
        return Chart()->Mapping();
    }

    AxisRanges Shown() const { return Chart()->ShownRanges(); }

    void Mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QMouseEvent event(type, at, Chart()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(Chart(), &event);
    }

    void Drag(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF from, QPointF to) const
    {
        Mouse(QEvent::MouseButtonPress, from, button, button, modifiers);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, button, modifiers);
        Mouse(QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
    }

    void Wheel(QPointF at, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QWheelEvent event(at, Chart()->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Chart(), &event);
    }

    void ClickLegendEntry(int index) const
    {
        Settled();
        QTest::mouseClick(Chart(), Qt::LeftButton, {}, Chart()->LegendEntryRect(index).center());
    }

    void RunAll()
    {
        RunStepResponse(QStringLiteral("10"));
        Click("Button1");
        Click("Button3");
    }

    const ChartTools& Tools() const { return form1_->Tools(); }

    // The item of the chart's context menu.
    QAction* Item(const QString& text) const
    {
        for (QAction* action : Tools().menu->Menu().actions())
            if (action->text() == text)
                return action;
        ADD_FAILURE() << "no action " << text.toStdString();
        return nullptr;
    }

    // Chooses the item of the chart's context menu.
    // As a click on the menu item, with the event loop's turn after it.
    void Trigger(const QString& text) const
    {
        if (QAction* item = Item(text))
            item->trigger();
        QCoreApplication::processEvents();
    }

    // Three step responses pinned, each named by the four settings it
    // changed from the defaults: names too long for a legend beside the plot.
    void PinThreeLongNamedRuns()
    {
        Settings settings;
        settings.model.J = 0.0344;
        settings.run.steps = 4000;
        settings.step.on = 2000;
        settings.step.off = 4000;
        form1_->Parameters().ShowSettings(settings);
        for (const char* load : {"10", "12", "14"}) {
            RunStepResponse(QString::fromLatin1(load));
            WaitForWork();
            Trigger(QStringLiteral("Закрепить графики"));
        }
    }

    static QPointF At(const PlotMapping& mapping, double x, double y)
    {
        return {std::round(mapping.PixelAtX(x)), std::round(mapping.PixelAtY(y))};
    }
};
