// The parameters window's fields: what each accepts, refuses or warns of
// and how it shows it, and the tool bar that opens the window.

#include "ParametersFixture.h"

#include "experiments/ExperimentFile.h"
#include "experiments/Family.h"
#include "experiments/SettingsTable.h"
#include "ui/ErrorTexts.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/SettingTexts.h"

#include <QAction>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>

#include <string>
#include <vector>

namespace {

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
