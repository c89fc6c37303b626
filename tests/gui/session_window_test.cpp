// Sessions in the window: saved and opened again, the chart exports the
// same data to the byte, and the batch tool makes the same from the file.

#include "ChartWindowFixture.h"

#include "chart/ChartCurrents.h"
#include "chart/ChartPins.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Family.h"
#include "session/Session.h"
#include "ui/ErrorTexts.h"
#include "ui/FamilyWindow.h"
#include "ui/LabBench.h"
#include "ui/ParametersWindow.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// The chart's export, as the file it saves would hold it.
std::string CsvOf(const PlotChart& chart, CsvStyle style)
{
    std::string csv;
    chart.WriteCsv(style, [&csv](std::string_view piece) { csv += piece; });
    return csv;
}

class SessionWindow : public ChartWindow {
protected:
    void SetUp() override
    {
        ChartWindow::SetUp();
        ASSERT_TRUE(dir_.isValid());
    }

    std::string PathOf(const char* name) const { return dir_.filePath(QString::fromLatin1(name)).toStdString(); }

    static std::string FileText(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // A chart of every kind of entry: each run, a random one twice so its
    // sources moved on, pinned runs, a family's members, hidden traces, a
    // zoom, seconds and settings of its own.
    void Fill()
    {
        Settings settings;
        settings.run.steps = 1500;
        settings.model.J = 0.0344;
        form1_->Parameters().ShowSettings(settings);
        Click("Button1");
        Click("Button3");
        RunStepResponse(QStringLiteral("12"));
        Trigger(QStringLiteral("Закрепить графики"));
        form1_->PinFamily({"step.load", "0, 20", RunKind::Step});
        WaitForWork();
        Click("Button1");
        ChartViewState& view = Chart()->View();
        view.SetTraceShown(view.Traces().IndexOf(form1_->Series(RunKind::Gauss, Quantity::Omega)).value(), false);
        view.SetTraceShown(view.Traces().Count() - 1, false);
        view.SetTimeInSeconds(true);
        view.ZoomTo({{100.0, 900.0}, {-5.0, 60.0}});
        RunStepResponse(QStringLiteral("7"));
    }

    QTemporaryDir dir_;
};

TEST_F(SessionWindow, OpensAsSavedAndExportsTheSameData)
{
    Fill();
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    const std::string csv = CsvOf(*Chart(), kRussianCsv);
    const Session saved = form1_->CurrentSession();
    const AxisRanges zoom = Chart()->View().Ranges();
    const QString mdMax = Text("Label1");
    form1_->WriteSession(PathOf("lab.session.toml"));
    // The next Gaussian run as it would follow the saved session.
    Click("Button1");
    const std::span<const double> made = form1_->Series(RunKind::Gauss, Quantity::Md).Values();
    const std::vector<double> next(made.begin(), made.end());

    // Another chart and other settings, then the session again.
    Click("Button2");
    form1_->Parameters().ShowSettings(Settings{});
    Click("Button3");
    Chart()->View().SetTimeInSeconds(false);
    form1_->OpenSession(PathOf("lab.session.toml"));

    EXPECT_EQ(CsvOf(*Chart(), kRussianCsv), csv);
    EXPECT_EQ(form1_->CurrentSession(), saved);
    EXPECT_EQ(Chart()->View().Ranges(), zoom);
    EXPECT_EQ(form1_->SettingsInForce(), saved.settings);
    EXPECT_EQ(Text("Label1"), mdMax) << "the step response's maximum is shown again";
    EXPECT_EQ(form1_->Tools().pins->Pinned().size(), 10u);
    Click("Button1");
    EXPECT_TRUE(std::ranges::equal(form1_->Series(RunKind::Gauss, Quantity::Md).Values(), next))
        << "the random sources go on from where they were saved";
}

// The session's measured data goes beside the runs in the export, the
// window's and the batch tool's alike; where its file is gone, both leave
// it out.
TEST_F(SessionWindow, TheBatchToolMakesTheWindowsExport)
{
    Fill();
    std::ofstream(PathOf("bench.csv")) << "t,Omega\n0.1,5\n0.2,6\n";
    form1_->Lab().Open(PathOf("bench.csv"));
    ASSERT_TRUE(form1_->CurrentSession().measured);
    form1_->WriteSession(PathOf("lab.session.toml"));
    const std::string command = std::string(MOTORMODEL_CLI)
                                    .append(" session ")
                                    .append(PathOf("lab.session.toml"))
                                    .append(" --csv ")
                                    .append(PathOf("chart.csv"))
                                    .append(" 2>/dev/null");
    for (const bool kept : {true, false}) {
        if (!kept) {
            std::remove(PathOf("bench.csv").c_str());
            form1_->OpenSession(PathOf("lab.session.toml"));
        }
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string window = CsvOf(*Chart(), kPlainCsv);
        EXPECT_EQ(FileText(PathOf("chart.csv")), window);
        EXPECT_EQ(window.substr(0, window.find('\n')).ends_with(",t (measured),Omega (measured)"), kept);
    }
}

// A d-q machine's runs with their currents shown, one hidden and pinned,
// come back as saved, and the batch tool exports them as the window does.
TEST_F(SessionWindow, KeepsTheCurrentsOfDqRunsShownAndPinned)
{
    Settings settings;
    settings.kind = ModelKind::Dq;
    settings.run.steps = 1500;
    form1_->Parameters().ShowSettings(settings);
    Click("Button1");
    RunStepResponse(QStringLiteral("10"));
    Tools().currents->Item().trigger();
    ChartViewState& view = Chart()->View();
    view.SetTraceShown(view.Traces().IndexOf(form1_->Series(RunKind::Gauss, Quantity::ia)).value(), false);
    Trigger(QStringLiteral("Закрепить графики"));
    RunStepResponse(QStringLiteral("20"));
    const std::string csv = CsvOf(*Chart(), kPlainCsv);
    EXPECT_NE(csv.find(",Is (Gauss),Is (Step),ia (Step),"), std::string::npos) << csv.substr(0, csv.find('\n'));
    const Session saved = form1_->CurrentSession();
    ASSERT_EQ(saved.pins.size(), 2u);
    EXPECT_EQ(saved.pins[0].traces.size(), 3u) << "the Gaussian run's Md, Omega and Is; its ia was hidden";
    EXPECT_EQ(saved.pins[1].traces.back().quantity, Quantity::ia);
    form1_->WriteSession(PathOf("dq.session.toml"));

    Click("Button2");
    form1_->Parameters().ShowSettings(Settings{});
    Click("Button1");
    form1_->OpenSession(PathOf("dq.session.toml"));
    EXPECT_EQ(form1_->CurrentSession(), saved);
    EXPECT_EQ(CsvOf(*Chart(), kPlainCsv), csv);
    const std::string command = std::string(MOTORMODEL_CLI) + " session " + PathOf("dq.session.toml") + " --csv " +
                                PathOf("dq.csv");
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(FileText(PathOf("dq.csv")), csv);
}

// A load typed and not yet run comes back in the box, beside the runs as
// they were made, and is saved again as it was.
TEST_F(SessionWindow, KeepsTheLoadTypedBesideTheLoadRun)
{
    RunStepResponse(QStringLiteral("10"));
    QTest::keyClicks(Control<QLineEdit>("Edit1"), QStringLiteral("5")); // "105"
    const Session saved = form1_->CurrentSession();
    form1_->WriteSession(PathOf("typed.toml"));
    Settings lab;
    lab.model.J = 0.0344;
    std::ofstream(PathOf("lab.toml")) << ExperimentFile::Text(lab);
    form1_->OpenFile(PathOf("lab.toml"));
    EXPECT_EQ(form1_->SettingsInForce().model.J, 0.0344) << "an experiment file opens as one";
    form1_->OpenFile(PathOf("typed.toml"));
    EXPECT_FALSE(form1_->Parameters().Unsaved()) << "the session keeps its settings: nothing to ask about";
    EXPECT_EQ(Control<QLineEdit>("Edit1")->text(), QStringLiteral("105"));
    EXPECT_EQ(form1_->SettingsInForce().step.load, 105);
    EXPECT_EQ(form1_->CurrentSession(), saved);
    EXPECT_EQ(saved.runs.back().recipe.loadText, "10");
}

// A session the batch tool writes after a run or a sweep opens as one the
// window made after the same, and saves to the same text.
TEST_F(SessionWindow, TheBatchToolsSessionOpensAsTheWindowWouldHaveMadeIt)
{
    for (const char* arguments :
         {"step 12 --set model.J=0.0344 --set model.dt=0.002", "gauss --seed 5", "sweep step.load=0,20,20 step --set run.steps=1500"}) {
        const std::string command = std::string(MOTORMODEL_CLI) + ' ' + arguments + " --session " +
                                    PathOf("cli.toml") + " > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << arguments;
        form1_->OpenFile(PathOf("cli.toml"));
        EXPECT_EQ(SessionText(form1_->CurrentSession(), MOTORMODEL_VERSION), FileText(PathOf("cli.toml"))) << arguments;
    }
    EXPECT_EQ(form1_->Tools().pins->Pinned().back().trace.Title(), "Omega (Mc=20) (2)");
}

TEST_F(SessionWindow, RefusesANewerFormatAndKeepsTheChart)
{
    Fill();
    const std::string csv = CsvOf(*Chart(), kPlainCsv);
    std::string text = SessionText(form1_->CurrentSession(), "9.0");
    text.replace(text.find("format = 2"), 10, "format = 3");
    std::ofstream(PathOf("new.toml"), std::ios::binary) << text;
    try {
        form1_->OpenSession(PathOf("new.toml"));
        ADD_FAILURE() << "opened";
    } catch (const SettingsError& error) {
        EXPECT_EQ(ErrorText(error.Cause()).toStdString(),
                  PathOf("new.toml") +
                      ":2:10: сеанс формата 3 записан более новой версией программы; эта читает формат 2");
    }
    EXPECT_EQ(CsvOf(*Chart(), kPlainCsv), csv);
}

} // namespace
