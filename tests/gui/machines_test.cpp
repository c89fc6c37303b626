#include "ChartWindowFixture.h"

#include "analysis/MechanicalPlane.h"
#include "chart/ChartExporter.h"
#include "experiments/ExperimentFile.h"
#include "experiments/MachineFiles.h"
#include "plot/PlaneCurves.h"
#include "toolkit/Conversions.h"
#include "ui/ParametersWindow.h"

#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kKloss = "Формула Клосса (уточнённая)";
const std::string kBreakdown = "Критическая точка";
const std::string kStarting = "Пусковой момент";

// The machine files that came with the program, beside the tests as beside
// the program.
std::filesystem::path MachinesFolder()
{
    return MachineFolder(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
}

class Machines : public ChartWindow {
protected:
    QMenu& MachinesMenu() const
    {
        auto* menu = Tools().menu->Menu().findChild<QMenu*>(QStringLiteral("MachinesMenu"));
        EXPECT_NE(menu, nullptr);
        return *menu;
    }

    // Opens the machine file as a click on its item in the chart's menu.
    void OpenMachine(const std::string& name) const
    {
        for (QAction* item : MachinesMenu().actions())
            if (item->text() == QString::fromStdString(name)) {
                item->trigger();
                QCoreApplication::processEvents();
                return;
            }
        ADD_FAILURE() << "no item " << name;
    }

    std::set<std::string> CurveNames() const
    {
        std::set<std::string> names;
        for (const PlaneCurve& curve : Plane().Curves())
            names.insert(curve.name);
        return names;
    }

    std::set<std::string> LegendNames() const
    {
        std::set<std::string> names;
        for (int i = 0; i < Plane().legend->itemCount(); ++i)
            if (auto* item = qobject_cast<QCPPlottableLegendItem*>(Plane().legend->item(i)))
                names.insert(item->plottable()->name().toStdString());
        return names;
    }

    // The labels written on the plot and where they stand.
    std::map<std::string, QPointF> Labels() const
    {
        std::map<std::string, QPointF> labels;
        for (int i = 0; i < Plane().itemCount(); ++i)
            if (auto* text = qobject_cast<QCPItemText*>(Plane().item(i)); text && text->visible())
                labels[text->text().toStdString()] = text->position->coords();
        return labels;
    }
};

} // namespace

// Each machine file that came with the program is an item of "Машины", and
// opens as the file reads: the settings in force are ExperimentFile's, and
// the experiment is that file.
TEST_F(Machines, EachInstalledFileOpensWithTheSettingsItHolds)
{
    std::vector<std::string> names;
    for (const QAction* item : MachinesMenu().actions())
        names.push_back(item->text().toStdString());
    EXPECT_EQ(names, (std::vector<std::string>{"krause-2250hp", "krause-3hp", "modelica-squirrel-cage",
                                               "three-state-default"}));
    EXPECT_TRUE(MachinesMenu().menuAction()->isEnabled());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::filesystem::path file = MachinesFolder() / (name + ".toml");
        OpenMachine(name);
        EXPECT_TRUE(errors_.empty()) << errors_.front();
        EXPECT_EQ(form1_->SettingsInForce(), ExperimentFile::Load(file.string(), Settings{}));
        EXPECT_EQ(form1_->Parameters().FileName(), QString::fromStdString(file.filename().string()));
        EXPECT_FALSE(form1_->Parameters().Unsaved());
    }
}

// After a start of the machine from its file, the mechanical characteristic
// shows the d-q machine's Kloss formula, breakdown point and starting
// torque, each in the legend, the marks labelled with their values where
// they stand, beside the start's path; the three-state model's shows none
// of them. The picture saved as SVG holds the labels and the entries.
struct MarksCase {
    const char* name;
    const char* machine;
    bool marked;
};

class MechanicalMarks : public Machines, public testing::WithParamInterface<MarksCase> {};

TEST_P(MechanicalMarks, ShowTheDqMachinesBreakdownAndStartingTorque)
{
    Trigger(QStringLiteral("Механическая характеристика"));
    OpenMachine(GetParam().machine);
    RunStepResponse(QStringLiteral("0"));
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    const std::set<std::string> curves = CurveNames();
    EXPECT_TRUE(curves.contains("Omega (Step)"));
    const std::set<std::string> legend = LegendNames();
    for (const std::string& name : {kKloss, kBreakdown, kStarting}) {
        EXPECT_EQ(curves.contains(name), GetParam().marked) << name;
        EXPECT_EQ(legend.contains(name), GetParam().marked) << name;
    }

    const std::optional<analysis::CurveMarks> marks = analysis::MarksOf(form1_->SettingsInForce());
    ASSERT_EQ(marks.has_value(), GetParam().marked);
    const std::map<std::string, QPointF> labels = Labels();
    if (!marks) {
        EXPECT_TRUE(labels.empty());
        return;
    }
    const auto rounded = [](double value) { return toolkit::FloatToStrRounded(value, 4); };
    const std::string breakdown = "Mk = " + rounded(marks->breakdown.Mk) + " Н·м, sk = " + rounded(marks->breakdown.sk);
    const std::string starting = "Mп = " + rounded(marks->startingTorque) + " Н·м";
    EXPECT_EQ(labels, (std::map<std::string, QPointF>{{breakdown, {marks->breakdown.Mk, marks->breakdownSpeed}},
                                                      {starting, {marks->startingTorque, 0}}}));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("mechanical.svg"));
    ChartExporter(Plane()).SaveImage(path, ImageFormat::Svg);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    // A text is written in runs of one script each: the labels' values are
    // runs of their own.
    for (const std::string& text : {"Mk = " + rounded(marks->breakdown.Mk), "sk = " + rounded(marks->breakdown.sk),
                                    "п = " + rounded(marks->startingTorque) + " Н·м", kKloss, kBreakdown, kStarting})
        EXPECT_TRUE(svg.contains(QString::fromStdString(text).toHtmlEscaped())) << text;
}

INSTANTIATE_TEST_SUITE_P(Models, MechanicalMarks,
                         testing::Values(MarksCase{"dq", "modelica-squirrel-cage", true},
                                         MarksCase{"three_state", "three-state-default", false}),
                         [](const auto& test) { return std::string(test.param.name); });
