#pragma once

#include "ui/Application.h"
#include "ui/BackgroundWork.h"
#include "chart/MechanicalChart.h"
#include "chart/TraceChart.h"
#include "ui/MechanicalWindow.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include "../ExactValues.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

// The program's two windows, shown, with errors recorded instead of shown
// in a message box.
class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        // Each test starts as a first start does, whatever one before it kept.
        QSettings(QStringLiteral("motormodel"), QStringLiteral("motormodel")).clear();
        form1_ = std::make_unique<TForm1>();
        form2_ = std::make_unique<TForm2>(form1_.get());
        Form1 = form1_.get();
        Form2 = form2_.get();
        Application()->SetExceptionDisplay([this](const std::string& message) { errors_.push_back(message); });
        form1_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form1_.get()));
    }

    void TearDown() override
    {
        Application()->SetExceptionDisplay({});
        Form1 = nullptr;
        Form2 = nullptr;
    }

    template <typename T>
    T* Control(const char* name) const
    {
        T* control = form1_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // The mechanical characteristic's chart once it followed the main
    // chart, which it does after the main chart's frame.
    MechanicalChart& Plane() const
    {
        for (int hop = 0; hop < 2; ++hop)
            QCoreApplication::sendPostedEvents();
        return form1_->Mechanical().Chart();
    }

    void Click(const char* button) { QTest::mouseClick(Control<QPushButton>(button), Qt::LeftButton); }

    // Lets the work on a worker end and be shown, as the event loop would.
    void WaitForWork() const
    {
        QElapsedTimer waited;
        waited.start();
        while (form1_->Work().Busy() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_FALSE(form1_->Work().Busy()) << "the work did not end within a minute";
    }

    void RunStepResponse(const QString& load)
    {
        Control<QLineEdit>("Edit1")->setText(load);
        Click("Button4");
    }

    TraceChart* Chart() const { return Control<TraceChart>("Chart1"); }
    // The runs' traces in the chart's order, Series1 to Series6.
    const Trace& SeriesAt(std::size_t index) const
    {
        return form1_->Series(kRuns[index / kQuantities.size()].kind, kQuantities[index % kQuantities.size()]);
    }
    qsizetype ChartPoints(int series) const { return static_cast<qsizetype>(Chart()->View().Traces().At(series - 1).Size()); }
    QString Text(const char* label) const { return Control<QLabel>(label)->text(); }
    int Progress() const { return Control<QProgressBar>("ProgressBar1")->value(); }

    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::vector<std::string> errors_;
};

// Runs the event loop until the program would end; 1 if it did not end
// within the given time, a guard against a hang.
inline int RunEventLoopUntilItEnds(int milliseconds = 5000)
{
    // A guard of its own, gone with the loop: left pending, it would end
    // whatever loop runs when it times out, a later test's message box's.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [] { qApp->exit(1); });
    guard.start(milliseconds);
    return qApp->exec();
}

// Runs the event loop until the program would end, or until it has handled
// every event queued, and those they queued in turn; 1 in the latter case.
inline int RunEventLoopUntilItEndsOrIsIdle()
{
    // A timer of no interval times out once the queue is empty.
    QTimer idle;
    idle.setSingleShot(true);
    QObject::connect(&idle, &QTimer::timeout, qApp, [] { qApp->exit(1); });
    idle.start(0);
    return qApp->exec();
}

