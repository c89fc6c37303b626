// The settings in force at work: runs made with them point for point as the
// batch tool makes them, and experiment files opened and saved.

#include "ParametersFixture.h"

#include "chart/ChartPins.h"
#include "cli/Texts.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"
#include "ui/ErrorTexts.h"
#include "ui/MeasurementsWindow.h"
#include "ui/SettingTexts.h"

#include <QTableWidget>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

// Both runs, as the window and the batch tool make them, point for point.
void ExpectSamePoints(const Trace& shown, const Trace& made, std::size_t count)
{
    ASSERT_EQ(shown.Points().size(), count);
    ASSERT_EQ(made.Points().size(), count);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_TRUE(shown.Points()[i].x == made.Points()[i].x && shown.Points()[i].y == made.Points()[i].y)
            << shown.Title() << " at " << i;
}

TEST_F(Parameters, RunsUseTheSettingsInForceWhenTheyStartAndPinsNameWhatDiffers)
{
    Type("model.J", QStringLiteral("0.0344"));
    Type("run.steps", QStringLiteral("3000"));
    Type("step.on", QStringLiteral("1000"));
    Type("step.off", QStringLiteral("3000"));
    Type("gauss.mean", QStringLiteral("10"));
    Settings settings;
    settings.model.J = 0.0344;
    settings.run.steps = 3000;
    settings.step.on = 1000;
    settings.step.off = 3000;
    settings.gauss.mean = 10;
    ASSERT_EQ(form1_->SettingsInForce(), settings);

    RunStepResponse(QStringLiteral("10"));
    Click("Button3");
    const RunResult plain = RunExperiment({RunKind::Step, settings, "10", {}});
    for (Quantity quantity : kQuantities)
        ExpectSamePoints(form1_->Series(RunKind::Step, quantity), plain.Of(quantity), 3000);
    EXPECT_EQ(form1_->Series(RunKind::Uniform, Quantity::Md).Points().size(), 3000U);
    EXPECT_EQ(Text("Label1"), QString::fromStdString(toolkit::FloatToStr(plain.mdMax)));

    // A later change leaves the traces made and names only the settings
    // that shape each run.
    Type("model.J", QStringLiteral("0.0172"));
    Trigger(QStringLiteral("Закрепить графики"));
    std::vector<std::string> names;
    std::vector<RunOrigin> origins;
    for (const PinnedTrace& pin : Tools().pins->Pinned()) {
        names.push_back(pin.trace.Title());
        origins.push_back(pin.origin);
    }
    // Each pin remembers the settings its run was made with, not those in
    // force when it was pinned; the load the step response ran with is the
    // experiment's from then on, so the uniform run after it has it.
    const RunOrigin step{RunKind::Step, {1000, 3000, 3000}, settings.model, settings.step, 10, std::nullopt};
    settings.step.load = 10;
    const RunOrigin uniform{RunKind::Uniform, {1000, 3000, 3000}, settings.model, settings.step, std::nullopt, std::nullopt};
    EXPECT_EQ(origins, (std::vector<RunOrigin>{uniform, uniform, step, step}));
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Md (Uniform J=0.0344 steps=3000)",
                         "Omega (Uniform J=0.0344 steps=3000)",
                         "Md (Mc=10 J=0.0344 steps=3000 on=1000 off=3000)",
                         "Omega (Mc=10 J=0.0344 steps=3000 on=1000 off=3000)",
                     }));
}

TEST_F(Parameters, MeasuredTimesAreStepsOfTheRunsOwnSize)
{
    Type("model.dt", QStringLiteral("0.002"));
    RunStepResponse(QStringLiteral("10"));
    Trigger(QStringLiteral("Измерения"));
    const auto* table = form1_->Measurements().findChild<QTableWidget*>(QStringLiteral("StepTable"));
    ASSERT_NE(table, nullptr);
    auto cell = [table](const char* row, int column) {
        for (int r = 0; r < table->rowCount(); ++r)
            if (table->item(r, 0)->text() == QString::fromUtf8(row))
                return table->item(r, column)->toolTip();
        return QString();
    };
    // Every signal and segment: the time of the state at a step is the steps
    // taken, one more than its index, over steps per second.
    ASSERT_GE(table->columnCount(), 3);
    double latest = 0;
    for (int column = 1; column < table->columnCount(); ++column) {
        if (table->isColumnHidden(column))
            continue;
        const double steps = cell("Шаг пика", column).toDouble();
        EXPECT_EQ(cell("Время пика, с", column).toStdString(), toolkit::FloatToStr((steps + 1) / (1 / 0.002)));
        latest = std::max(latest, steps);
    }
    EXPECT_GT(latest, 0) << "a peak after the first step tells dt from the default";
}

TEST_F(Parameters, ASeedMakesTheWindowsRandomRunsThoseOfTheBatchTool)
{
    Type("run.seed", QStringLiteral("7"));
    Settings seeded;
    seeded.run.seed = 7;
    for (const RunDefinition& run : {RunOf(RunKind::Gauss), RunOf(RunKind::Uniform)}) {
        SCOPED_TRACE(run.name);
        // Runs of the other kind between them draw from both sources.
        Click(run.kind == RunKind::Gauss ? "Button3" : "Button1");
        Click(run.kind == RunKind::Gauss ? "Button1" : "Button3");
        const RunResult plain = RunExperiment({run.kind, seeded, "", {}});
        for (Quantity quantity : kQuantities)
            ExpectSamePoints(form1_->Series(run.kind, quantity), plain.Of(quantity), 2000);
    }
}

TEST_F(Parameters, AFileOpensIntoTheFieldsCaptionAndLoadBoxAndSavesBackBitForBit)
{
    const std::string path = WriteFile("lab1.toml", "# a lab\n[model]\nJ = 0.0344\n[step]\nload = 10\nprofile = \"ramp\"\n"
                                                    "ramp = 200\n");
    form1_->OpenExperiment(path);
    EXPECT_EQ(form1_->windowTitle(), kCaption + QStringLiteral(" — lab1.toml"));
    EXPECT_EQ(Control<QLineEdit>("Edit1")->text(), QStringLiteral("10"));
    EXPECT_EQ(form1_->SettingsInForce(), ExperimentFile::Load(path, Settings{}));
    for (const char* name : {"model.J", "step.load", "step.ramp"}) {
        EXPECT_TRUE(Field(name).property("changed").toBool()) << name;
        EXPECT_EQ(Field(name).text().toStdString(), FieldText(GetSetting(form1_->SettingsInForce(), name)));
    }
    EXPECT_TRUE(Choice("step.profile").property("changed").toBool());
    EXPECT_EQ(Choice("step.profile").currentText(), QStringLiteral("ramp"));

    Type("gauss.sd", QStringLiteral("4"));
    EXPECT_EQ(form1_->windowTitle(), kCaption + QStringLiteral(" (параметры изменены)"));
    const std::string saved = folder_.filePath(QStringLiteral("lab2.toml")).toStdString();
    Window().Save(saved);
    EXPECT_EQ(form1_->windowTitle(), kCaption + QStringLiteral(" — lab2.toml"));
    // A file read back writes the same file: every value, to the last bit.
    EXPECT_EQ(ExperimentFile::Text(ExperimentFile::Load(saved, Settings{})), ExperimentFile::Text(form1_->SettingsInForce()));

    // A refused field is not saved over what the fields show.
    Type("gauss.sd", QStringLiteral("-4"));
    const std::string before = ExperimentFile::Text(ExperimentFile::Load(saved, Settings{}));
    EXPECT_THROW(Window().Save(saved), toolkit::Exception);
    EXPECT_EQ(ExperimentFile::Text(ExperimentFile::Load(saved, Settings{})), before);

    QTest::mouseClick(Window().findChild<QPushButton*>(QStringLiteral("DefaultsButton")), Qt::LeftButton);
    EXPECT_EQ(form1_->SettingsInForce(), Settings{});
    EXPECT_EQ(form1_->windowTitle(), kCaption + QStringLiteral(" (параметры изменены)")) << "the defaults are not the file's";
    EXPECT_TRUE(Window().Refused().empty());
}

TEST_F(Parameters, ABadFileChangesNothingAndSaysWhy)
{
    Type("model.J", QStringLiteral("0.0344"));
    const Settings before = form1_->SettingsInForce();
    // The batch tool's English and the window's Russian say the same.
    struct BadFile {
        const char* text;
        const char* message;
        const char* shown;
    };
    for (const BadFile& bad : std::vector<BadFile>{
             {"[model]\nJ = -1\n", ": model.J must be a number above 0, not -1", ": model.J: нужно число больше 0, а не -1"},
             {"[modle]\nJ = 1\n", "there is no table [modle]; did you mean [model]?",
              "нет таблицы [modle]; может быть, [model]?"},
             {"[model]\nj = 1\n", "there is no setting 'model.j'; did you mean 'model.J'?",
              "нет параметра 'model.j'; может быть, 'model.J'?"},
             {"[run]\nsteps = 10\n[step]\non = 20\n", "step.on must be a whole number from 0 to step.off (10), not 20",
              "step.on: нужно целое число от 0 до step.off (10), а не 20"},
             // The parser's English stays out of the window's Russian.
             {"[run\n", "Error while parsing", "ошибка TOML: здесь по правилам TOML должно быть другое"},
             {"[model]\nJ = [1, 2\n", "end-of-file", "ошибка TOML: файл кончается посреди записи"},
         }) {
        SCOPED_TRACE(bad.text);
        const std::string path = WriteFile("bad.toml", bad.text);
        try {
            form1_->OpenExperiment(path);
            ADD_FAILURE() << "opened";
        } catch (const SettingsError& error) {
            const std::string english = cli::ErrorText(error.Cause());
            const std::string shown = ErrorText(error.Cause()).toStdString();
            EXPECT_NE(english.find(bad.message), std::string::npos) << english;
            EXPECT_NE(shown.find(bad.shown), std::string::npos) << shown;
            EXPECT_EQ(shown.find("Error while"), std::string::npos) << shown;
            EXPECT_TRUE(english.starts_with(path)) << english;
            EXPECT_TRUE(shown.starts_with(path)) << shown;
        }
        EXPECT_EQ(form1_->SettingsInForce(), before);
        EXPECT_EQ(Field("model.J").text(), QStringLiteral("0.0344"));
        EXPECT_EQ(form1_->windowTitle(), kCaption + QStringLiteral(" (параметры изменены)"));
    }
}

// The fields of the model chosen are shown and those of the other hidden,
// keeping what they hold; a d-q machine's file runs in the window as in
// the batch tool, to the bit.
TEST_F(Parameters, TheChosenModelsFieldsAloneAreShownAndItsRunsAreTheBatchTools)
{
    auto shown = [&](const char* name) { return !Window().findChild<QLabel*>(QString(name).replace('.', '_') + "_label")->isHidden(); };
    EXPECT_TRUE(shown("model.Mk"));
    EXPECT_FALSE(shown("model.Rs"));
    EXPECT_TRUE(shown("model.J"));
    const std::string path = WriteFile("krause.toml", "[model]\nkind = \"dq\"\nRs = 0.435\nRr = 0.816\nJ = 0.089\n"
                                                      "dt = 1e-4\n[run]\nsteps = 3000\n");
    form1_->OpenExperiment(path);
    const Settings settings = ExperimentFile::Load(path, Settings{});
    EXPECT_EQ(form1_->SettingsInForce(), settings);
    EXPECT_FALSE(shown("model.Mk"));
    EXPECT_FALSE(shown("model.sk"));
    EXPECT_TRUE(shown("model.Rs"));
    EXPECT_TRUE(shown("model.integrator"));
    EXPECT_EQ(Field("model.Rs").text(), QStringLiteral("0.435"));

    RunStepResponse(QStringLiteral("10"));
    const RunResult plain = RunExperiment({RunKind::Step, settings, "10", {}});
    for (Quantity quantity : kQuantities)
        ExpectSamePoints(form1_->Series(RunKind::Step, quantity), plain.Of(quantity), 3000);
    EXPECT_EQ(Text("Label1"), QString::fromStdString(toolkit::FloatToStr(plain.mdMax)));

    PickModel(ModelKind::ThreeState);
    EXPECT_TRUE(shown("model.Mk"));
    EXPECT_FALSE(shown("model.Rs"));
    EXPECT_EQ(Field("model.Rs").text(), QStringLiteral("0.435")) << "kept for when the d-q model is chosen again";
    Settings threeState = settings;
    threeState.kind.reset();
    threeState.dq = {};
    threeState.step.load = 10; // the load the step response ran with
    EXPECT_EQ(form1_->SettingsInForce(), threeState);
    EXPECT_TRUE(Window().Refused().empty());
}

} // namespace
