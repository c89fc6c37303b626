#include "ChartWindowFixture.h"

#include "chart/ChartPins.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "cli/Texts.h"
#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "experiments/SettingsTable.h"
#include "toolkit/Conversions.h"
#include "toolkit/Conversions.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ErrorTexts.h"
#include "ui/ParametersWindow.h"
#include "ui/SettingTexts.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

const QString kCaption = QStringLiteral("модель асинхронного двигателя");

class Parameters : public ChartWindow {
protected:
    ParametersWindow& Window() const { return form1_->Parameters(); }

    QLineEdit& Field(const std::string& name) const
    {
        auto* field = Window().findChild<QLineEdit*>(QString::fromStdString(name).replace('.', '_'));
        EXPECT_NE(field, nullptr) << name;
        return *field;
    }

    QComboBox& Choice(const std::string& name) const
    {
        auto* choice = Window().findChild<QComboBox*>(QString::fromStdString(name).replace('.', '_'));
        EXPECT_NE(choice, nullptr) << name;
        return *choice;
    }

    QLabel& ReasonLabel(const std::string& name) const
    {
        return *Window().findChild<QLabel*>(QString::fromStdString(name).replace('.', '_') + "_reason");
    }

    QString Reason(const std::string& name) const { return ReasonLabel(name).text(); }

    // Picks the model in its drop-down as the user does.
    void PickModel(ModelKind kind) const
    {
        QComboBox& choice = Choice("model.kind");
        choice.setCurrentIndex(kind == ModelKind::Dq ? 1 : 0);
        emit choice.activated(choice.currentIndex());
    }

    // Replaces the field's text as the user does, in one edit: pasted, as
    // typing key by key would apply each allowed text on the way.
    void Type(const std::string& name, const QString& text) const
    {
        QLineEdit& field = Field(name);
        QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            return QTest::keyClick(&field, Qt::Key_Backspace);
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(field.text(), text);
    }

    std::string WriteFile(const char* name, const std::string& text) const
    {
        const std::string path = folder_.filePath(QString::fromLatin1(name)).toStdString();
        std::ofstream(path) << text;
        return path;
    }

    QTemporaryDir folder_;
};

// A field's text and what the window makes of it: the reason it is refused
// (empty when it is allowed), whether its value differs from the default,
// and the other field a rule between them marks with the same reason. The
// reasons are the checker's messages in Russian; files and the batch tool
// give the same in English.
struct FieldCase {
    const char* name;
    const char* text;
    const char* reason;
    bool changed;
    const char* partner = "";
};

const std::vector<FieldCase> kFieldCases = {
    {"model.J", "0.0344", "", true},
    {"model.J", "0.0172", "", false},
    {"model.J", "-1", "model.J: нужно число больше 0, а не -1", false},
    {"model.J", "", "model.J: нужно число больше 0, а не \"\"", false},
    {"model.dt", "abc", "model.dt: нужно число больше 0, а не \"abc\"", false},
    {"model.p", "2", "", false},
    {"model.p", "2.0", "", false},
    {"model.p", "3", "", true},
    {"model.p", "2.5", "model.p: нужно целое число не меньше 1, а не 2.5", false},
    {"model.w0", "314.15", "", true},
    {"model.sk", "1e-323",
     "model.sk / model.w0: нужно конечное число больше 0, а получилось 0 (model.sk = 1e-323, model.w0 = "
     "314.15000000000003)",
     false, "model.w0"},
    {"run.steps", "0", "run.steps: нужно целое число от 1 до 10000000, а не 0", false},
    {"run.steps", "3000", "", true},
    {"run.seed", "", "", false},
    {"run.seed", "7", "", true},
    {"run.seed", "-7", "run.seed: нужно целое число от 0 до 4294967295, а не -7", false},
    {"gauss.sd", "0", "gauss.sd: нужно число больше 0, а не 0", false},
    {"uniform.high", "11", "uniform.high: нужно конечное число не меньше uniform.low (12), а не 11", false,
     "uniform.low"},
    {"uniform.levels", "1", "uniform.levels: нужно целое число от 2 до 1000000, а не 1", false},
    {"step.on", "1500", "step.on: нужно целое число от 0 до step.off (1000), а не 1500", false, "step.off"},
    {"step.off", "", "", false},
    {"step.off", "2000", "", true},
    {"step.period", "0.5", "step.period: нужно конечное число не меньше 1, а не 0.5", false},
};

TEST_F(Parameters, EachFieldIsMarkedWithItsReasonOrStandsOutWhenChanged)
{
    for (const FieldCase& c : kFieldCases) {
        SCOPED_TRACE(std::string(c.name) + " = \"" + c.text + "\"");
        Type(c.name, QString::fromUtf8(c.text));
        const bool refused = *c.reason != '\0';
        EXPECT_EQ(Reason(c.name), QString::fromUtf8(c.reason));
        EXPECT_EQ(Field(c.name).property("refused").toBool(), refused);
        EXPECT_EQ(Field(c.name).property("changed").toBool(), c.changed);
        EXPECT_EQ(Window().Refused().size(), (refused ? 1U : 0U) + (*c.partner ? 1U : 0U));
        if (*c.partner) {
            EXPECT_EQ(Reason(c.partner), QString::fromUtf8(c.reason));
        }

        // The same text through the path of the batch tool's --set, over the
        // defaults that every other field still shows.
        Settings expected;
        std::string message;
        try {
            if (*c.text != '\0' || GetSetting(expected, c.name))
                SetSettingText(expected, c.name, c.text);
            CheckSettings(expected);
        } catch (const SettingsError& error) {
            message = ErrorText(error.Cause()).toStdString();
            expected = {};
        }
        EXPECT_EQ(message, c.reason);
        // A refused field is never applied: the last allowed settings stay.
        EXPECT_EQ(form1_->SettingsInForce(), expected);
        EXPECT_EQ(form1_->windowTitle(), expected == Settings{} ? kCaption
                                                                : kCaption + QStringLiteral(" (параметры изменены)"));
        Type(c.name, QString::fromStdString(FieldText(GetSetting(Settings{}, c.name))));
        EXPECT_EQ(form1_->SettingsInForce(), Settings{});
    }
}

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

// Each setting of the table has its row: a label naming its key for the
// field, which shows the default, and a refusal that says its limits.
TEST_F(Parameters, EverySettingHasARowWithItsDefaultAndSaysItsLimits)
{
    for (const SettingSpec& spec : SettingsTable()) {
        const std::string name(spec.name);
        SCOPED_TRACE(name);
        // Each model's fields are judged while it is chosen.
        PickModel(spec.model.value_or(ModelKind::ThreeState));
        const auto* label = Window().findChild<QLabel*>(QString::fromStdString(name).replace('.', '_') + "_label");
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->text().contains(QLatin1Char(' ') + QString::fromUtf8(spec.Key().data(), static_cast<qsizetype>(spec.Key().size()))))
            << label->text().toStdString();
        // A choice is picked from exactly its names, and can name no other.
        if (spec.type == SettingType::Choice) {
            QComboBox& choice = Choice(name);
            EXPECT_EQ(label->buddy(), &choice);
            // Unset, the model's kind shows its first name, the default.
            EXPECT_EQ(choice.currentText(),
                      spec.defaultValue ? QString::fromStdString(FieldText(spec.defaultValue)) : choice.itemText(0));
            std::vector<std::string> items;
            for (int i = 0; i < choice.count(); ++i)
                items.push_back(choice.itemText(i).toStdString());
            EXPECT_EQ(items, spec.allowed.choices);
            continue;
        }
        EXPECT_EQ(Field(name).text(), QString::fromStdString(FieldText(spec.defaultValue)));
        EXPECT_EQ(label->buddy(), &Field(name));
        Type(name, QStringLiteral("x"));
        const QString reason = Reason(name);
        for (const Bound& bound : {spec.allowed.min, spec.allowed.max})
            EXPECT_TRUE(reason.contains(QString::fromStdString(bound.value))) << reason.toStdString();
        for (const std::string& choice : spec.allowed.choices)
            EXPECT_TRUE(reason.contains(QString::fromStdString(choice))) << reason.toStdString();
        Type(name, QString::fromStdString(FieldText(spec.defaultValue)));
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

TEST_F(Parameters, TheLoadProfileIsPickedFromADropDown)
{
    // Typing a name's first letter picks it, as a user of the keyboard does.
    QTest::keyClick(&Choice("step.profile"), Qt::Key_F);
    EXPECT_EQ(form1_->SettingsInForce().step.profile, LoadProfile::Fan);
    EXPECT_TRUE(Choice("step.profile").property("changed").toBool());
}

// A field's state is its own: a refused neighbour neither hides it nor
// takes its place, and fixing one leaves the other's reason standing.
TEST_F(Parameters, EachFieldShowsItsOwnStateWhateverTheOthersHold)
{
    const QString mkReason = QStringLiteral("model.Mk: нужно число больше 0, а не -1");
    Type("model.sk", QStringLiteral("abc"));
    Type("model.Mk", QStringLiteral("-1"));
    EXPECT_EQ(Reason("model.sk"), QStringLiteral("model.sk: нужно число больше 0, а не \"abc\""));
    EXPECT_EQ(Reason("model.Mk"), mkReason);
    EXPECT_FALSE(Field("model.Mk").property("changed").toBool());
    Type("model.sk", QStringLiteral("0.46"));
    EXPECT_EQ(Reason("model.Mk"), mkReason);
    // With run.steps unreadable, step.off is not judged against a value
    // nobody gave.
    Type("run.steps", QStringLiteral("many"));
    Type("step.off", QStringLiteral("2500"));
    EXPECT_EQ(Reason("step.off"), QString());
}

// A step past the stable one is the user's to run: the field warns, in its
// own colour, and the settings go in force.
TEST_F(Parameters, AStepPastTheStableLimitIsWarnedOfAndStillPutInForce)
{
    for (const char* text : {"0.003", "1e308"}) {
        SCOPED_TRACE(text);
        Type("model.dt", QString::fromLatin1(text));
        EXPECT_EQ(form1_->SettingsInForce().model.dt, std::stod(text));
        EXPECT_TRUE(Field("model.dt").property("warned").toBool());
        EXPECT_FALSE(Field("model.dt").property("refused").toBool());
        EXPECT_TRUE(Reason("model.dt").contains(QStringLiteral("0.0029285373229349034"))) << Reason("model.dt").toStdString();
    }
    // The limit follows the model: a lighter rotor lowers it below 0.002.
    Type("model.dt", QStringLiteral("0.002"));
    EXPECT_FALSE(Field("model.dt").property("warned").toBool());
    Type("model.J", QStringLiteral("0.0002"));
    EXPECT_TRUE(Field("model.dt").property("warned").toBool());
    // A model field that cannot be read leaves the limit unknown, unwarned.
    Type("model.J", QStringLiteral("heavy"));
    EXPECT_FALSE(Field("model.dt").property("warned").toBool());
}

// However narrow the window, each reason has the height its lines need and
// no two overlap; what does not fit scrolls.
TEST_F(Parameters, ReasonsNeverOverlap)
{
    Window().show();
    Window().resize(640, 300);
    Type("model.sk", QStringLiteral("1e-323"));
    Type("model.p", QStringLiteral("2.5"));
    Type("model.dt", QStringLiteral("abc"));
    QApplication::processEvents();
    std::vector<QRect> shown;
    for (const char* name : {"model.sk", "model.p", "model.dt", "model.w0"}) {
        const QLabel& reason = ReasonLabel(name);
        ASSERT_FALSE(reason.text().isEmpty()) << name;
        EXPECT_GE(reason.height(), reason.heightForWidth(reason.width())) << name;
        const QRect area(reason.mapTo(&Window(), QPoint(0, 0)), reason.size());
        for (const QRect& other : shown)
            EXPECT_FALSE(area.intersects(other)) << name;
        shown.push_back(area);
    }
    const auto* scroll = Window().findChild<QScrollArea*>(QStringLiteral("FieldsScrollArea"));
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
}

// A family's values the window refuses, in its words; the batch tool says
// the same in English.
TEST(WindowTexts, RefusedFamilyValuesAreToldInRussian)
{
    struct RefusedValues {
        const char* text;
        const char* shown;
    };
    for (const RefusedValues& c : std::vector<RefusedValues>{
             {"0:1000:1", "значения '0:1000:1': в семействе не больше 1000 значений"},
             {"0:30:0", "значения '0:30:0': STEP должен быть больше 0"},
             {"30:0:10", "значения '30:0:10': B не может быть меньше A"},
             {"0:x:1", "значения '0:x:1': в A:B:STEP нужны три конечных числа"},
             {"0:1", "значения '0:1': диапазон пишется как A:B:STEP"},
             {"1,,2", "значения '1,,2': нужен список значений через запятую, без пустых"},
         }) {
        try {
            ParseFamilyValues(c.text);
            ADD_FAILURE() << c.text << " accepted";
        } catch (const SettingsError& error) {
            EXPECT_EQ(ErrorText(error.Cause()).toStdString(), c.shown);
        }
    }
}

TEST_F(Parameters, TheToolBarSitsAboveTheChartAndOpensTheWindows)
{
    auto* bar = form1_->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_LE(bar->geometry().bottom(), Chart()->geometry().top());
    std::vector<QString> texts;
    // "Остановить" shows only while long work runs; every other entry fits
    // on the bar at the form's width, none behind its extension button.
    for (QAction* action : bar->actions())
        if (action->isVisible()) {
            texts.push_back(action->text());
            EXPECT_TRUE(bar->widgetForAction(action)->isVisible()) << action->text().toStdString();
        }
    EXPECT_EQ(texts, (std::vector<QString>{QStringLiteral("Параметры"), QStringLiteral("Открыть опыт"),
                                           QStringLiteral("Сохранить опыт"), QStringLiteral("Измерения"),
                                           QStringLiteral("Механическая характеристика"),
                                           QStringLiteral("Семейство кривых…")}));
    QTest::mouseClick(bar->widgetForAction(bar->actions().at(0)), Qt::LeftButton);
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Параметры опыта"));
    QTest::mouseClick(bar->widgetForAction(bar->actions().at(3)), Qt::LeftButton);
    EXPECT_TRUE(form1_->Measurements().isVisible());
    QTest::mouseClick(bar->widgetForAction(bar->actions().at(4)), Qt::LeftButton);
    EXPECT_TRUE(form1_->Mechanical().isVisible());
    Window().close();
    Trigger(QStringLiteral("Параметры опыта…"));
    EXPECT_TRUE(Window().isVisible());
}

} // namespace
