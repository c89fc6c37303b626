#include "ChartWindowFixture.h"

#include "chart/ChartExporter.h"
#include "chart/ChartPins.h"
#include "chart/ChartTracker.h"
#include "experiments/Family.h"
#include "experiments/Settings.h"
#include "ui/FamilyWindow.h"
#include "ui/MeasurementsWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/SettingTexts.h"
#include "ui/ToolWindows.h"

#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace {

const QString kReport = QStringLiteral("Оформление для отчёта");

class ReportStyle : public ChartWindow {
protected:
    // The three runs and a family of four loads pinned beside them, as
    // the user builds it in the family's window.
    void RunAllAndAFamily()
    {
        RunAll();
        form1_->Family().SetRequest({"step.load", "0:30:10", RunKind::Step});
        QTest::mouseClick(form1_->Family().findChild<QPushButton*>(QStringLiteral("BuildButton")), Qt::LeftButton);
        WaitForWork();
        Chart()->Refresh();
    }

    QImage Picture() const
    {
        Settled();
        return Chart()->grab().toImage();
    }

    // The least and largest values of the shown traces on the quantity's
    // axis, from their points.
    Range ValuesOf(Quantity quantity) const
    {
        const ShownTraces& traces = Chart()->View().Traces();
        Range found{1e300, -1e300};
        for (int i : traces.ShownWithPoints())
            if (traces.Of(i)->quantity == quantity)
                for (const TracePoint& point : traces.At(i).Points())
                    found = {std::min(found.min, point.y), std::max(found.max, point.y)};
        return found;
    }

    static Range RangeOf(const QCPAxis& axis) { return {axis.range().lower, axis.range().upper}; }

    // What a command prints, run through the shell's rules for words.
    static QString Output(const QString& command)
    {
        QProcess process;
        process.startCommand(command);
        process.waitForFinished(-1);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // The words of the measurements window's table, cell by cell.
    QStringList CellsOf(const char* table) const
    {
        const auto* cells = form1_->Measurements().findChild<QTableWidget*>(QString::fromLatin1(table));
        QStringList texts;
        for (int row = 0; row < cells->rowCount(); ++row)
            for (int column = 0; column < cells->columnCount(); ++column)
                if (const QTableWidgetItem* item = cells->item(row, column); item && !item->text().isEmpty())
                    texts << item->text();
        return texts;
    }
};

TEST_F(ReportStyle, IsOffAtFirstAndTurningItOffGivesBackTheSamePixels)
{
    RunAllAndAFamily();
    EXPECT_FALSE(Item(kReport)->isChecked());
    const QImage before = Picture();
    Trigger(kReport);
    EXPECT_TRUE(Item(kReport)->isChecked());
    EXPECT_NE(Picture(), before) << "the style shows";
    Trigger(kReport);
    EXPECT_FALSE(Item(kReport)->isChecked());
    EXPECT_EQ(Picture(), before);
}

// Each value axis spans the points of its quantity, and a turn of the
// wheel or a drag keeps the values under the pointer on both axes: to
// rounding, a millionth of the span.
TEST_F(ReportStyle, EachValueAxisSpansItsQuantityAndBothFollowTheWheelAndADrag)
{
    RunAll();
    Trigger(kReport);
    PlotMapping mapping = Settled();
    ASSERT_TRUE(Chart()->yAxis2->visible());
    EXPECT_EQ(RangeOf(*Chart()->yAxis), ValuesOf(Quantity::Md));
    EXPECT_EQ(RangeOf(*Chart()->yAxis2), ValuesOf(Quantity::Omega));
    EXPECT_EQ(Chart()->yAxis->label() + Chart()->yAxis2->label(), QStringLiteral("Md, Н·мOmega, рад/с"));

    struct Gesture {
        const char* name;
        std::function<void(const PlotMapping&, QPointF at)> make;
        QPointF from;
        QPointF to;
    };
    const QPointF at(mapping.PixelAtX(700), mapping.area.top + mapping.area.height / 3);
    const QPointF away = at + QPointF(40, 25);
    const std::vector<Gesture> gestures{
        {"wheel in", [this](const PlotMapping&, QPointF p) { Wheel(p, 120); }, at, at},
        {"wheel out", [this](const PlotMapping&, QPointF p) { Wheel(p, -240); }, at, at},
        {"drag", [this, away](const PlotMapping&, QPointF p) { Drag(Qt::MiddleButton, Qt::NoModifier, p, away); }, at,
         away},
    };
    for (const Gesture& gesture : gestures) {
        const double left = Chart()->yAxis->pixelToCoord(gesture.from.y());
        const double right = Chart()->yAxis2->pixelToCoord(gesture.from.y());
        gesture.make(mapping, gesture.from);
        mapping = Settled();
        EXPECT_TRUE(Chart()->View().IsZoomed()) << gesture.name;
        EXPECT_NEAR(Chart()->yAxis->pixelToCoord(gesture.to.y()), left, RangeOf(*Chart()->yAxis).Span() * 1e-6)
            << gesture.name;
        EXPECT_NEAR(Chart()->yAxis2->pixelToCoord(gesture.to.y()), right, RangeOf(*Chart()->yAxis2).Span() * 1e-6)
            << gesture.name;
    }
}

TEST_F(ReportStyle, TheLegendListsTracesWithPointsAndNamesTheMembersByValue)
{
    RunAllAndAFamily();
    Trigger(kReport);
    Settled();
    const ShownTraces& traces = Chart()->View().Traces();
    std::vector<QString> names;
    for (int i = 0; i < traces.Count(); ++i) {
        if (traces.At(i).Points().empty())
            continue;
        ASSERT_NE(Chart()->legend->itemWithPlottable(Chart()->plottable(i)), nullptr) << i;
        names.push_back(Chart()->plottable(i)->name());
    }
    EXPECT_EQ(Chart()->legend->itemCount(), static_cast<int>(names.size()));

    std::vector<QString> expected;
    for (const RunDefinition& run : kRuns)
        for (Quantity quantity : kQuantities)
            expected.push_back(QString::fromStdString(TraceHeading(run.kind, quantity)));
    for (const PinnedTrace& pin : Tools().pins->Pinned())
        expected.push_back(QString::fromStdString(FamilyMemberLabel(pin.origin.family->setting, pin.origin.family->value)));
    EXPECT_EQ(names, expected);
}

TEST_F(ReportStyle, OmegaIsReadOnTheRightAxisAndNoPinTakesALiveTracesColour)
{
    RunAllAndAFamily();
    Trigger(kReport);
    Settled();
    const ShownTraces& traces = Chart()->View().Traces();
    std::vector<QColor> live;
    for (int i = 0; i < traces.Count(); ++i) {
        const bool omega = traces.Of(i)->quantity == Quantity::Omega;
        EXPECT_EQ(Chart()->ValueAxisOf(i), omega ? Chart()->yAxis2 : Chart()->yAxis) << i;
        if (!traces.Of(i)->pinned)
            live.push_back(Chart()->TraceColour(i));
        else
            EXPECT_EQ(std::count(live.begin(), live.end(), Chart()->TraceColour(i)), 0) << i;
    }
    Trigger(kReport);
    Settled();
    for (int i = 0; i < traces.Count(); ++i)
        EXPECT_EQ(Chart()->ValueAxisOf(i), Chart()->yAxis) << "back on the one axis, " << i;
}

// The tracker's rings sit on the lines, each on its trace's axis.
TEST_F(ReportStyle, TheTrackersRingsSitOnEachTracesAxis)
{
    RunStepResponse(QStringLiteral("10"));
    Trigger(kReport);
    const PlotMapping mapping = Settled();
    Mouse(QEvent::MouseMove, {mapping.PixelAtX(349.2), mapping.area.top + 10}, Qt::NoButton, Qt::NoButton);
    const std::optional<Readout>& shown = Tools().tracker->Shown();
    ASSERT_TRUE(shown.has_value());
    std::vector<double> expected;
    for (const ReadoutValue& value : shown->values)
        expected.push_back(Chart()->ValueAxisOf(value.trace)->coordToPixel(value.y));
    std::vector<double> rings;
    for (int i = 0; i < Chart()->itemCount(); ++i)
        if (auto* ring = qobject_cast<QCPItemTracer*>(Chart()->item(i)); ring && ring->visible())
            rings.push_back(ring->position->pixelPosition().y());
    std::sort(expected.begin(), expected.end());
    std::sort(rings.begin(), rings.end());
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_NE(expected[0], expected[1]) << "Md and Omega on axes of their own";
    EXPECT_EQ(rings, expected);
}

// Either way the steps in view stay and the values are spanned again, the
// views behind forgotten, as the other style reads them otherwise.
TEST_F(ReportStyle, TurningKeepsTheStepsInViewAndSpansTheValuesAgain)
{
    RunStepResponse(QStringLiteral("10"));
    ChartViewState& view = Chart()->View();
    for (bool report : {true, false}) {
        const Range steps{300, 700};
        view.MoveTo({steps, {-1, 2}}, HistoryStep::New);
        ASSERT_TRUE(view.CanGoBack());
        view.SetReportStyle(report);
        EXPECT_EQ(view.Ranges().x, steps) << report;
        const Range md = ValuesOf(Quantity::Md);
        const Range omega = ValuesOf(Quantity::Omega);
        const Range all{std::min(md.min, omega.min), std::max(md.max, omega.max)};
        EXPECT_EQ(view.Ranges().y, report ? md : all) << report;
        EXPECT_FALSE(view.CanGoBack()) << report;
    }
}

// In the style the ticks read with a decimal comma, as Russian writes
// them; out of it as before, with a point. A label read back in its
// locale is its tick to the six digits it shows.
TEST_F(ReportStyle, TicksReadWithADecimalCommaInTheStyle)
{
    RunStepResponse(QStringLiteral("10"));
    for (bool report : {true, false}) {
        Chart()->View().SetReportStyle(report);
        Chart()->View().MoveTo({{0, 1999}, {0.1, 0.9}}, HistoryStep::New);
        Settled();
        const QLocale locale = report ? QLocale(QLocale::Russian) : QLocale::c();
        const QVector<double> ticks = Chart()->yAxis->tickVector();
        const QVector<QString> labels = Chart()->yAxis->tickVectorLabels();
        ASSERT_GE(ticks.size(), 3);
        for (qsizetype i = 0; i < ticks.size(); ++i) {
            EXPECT_TRUE(labels[i].contains(report ? ',' : '.')) << labels[i].toStdString();
            bool read = false;
            EXPECT_NEAR(locale.toDouble(labels[i], &read), ticks[i], 1e-6) << labels[i].toStdString();
            EXPECT_TRUE(read) << labels[i].toStdString();
        }
    }
}

// The pictures saved follow the screen: the style's white, or the
// chart's silver.
TEST_F(ReportStyle, SavedPicturesFollowTheStyle)
{
    RunStepResponse(QStringLiteral("10"));
    QTemporaryDir dir;
    for (bool report : {true, false}) {
        Chart()->View().SetReportStyle(report);
        const QString path = dir.filePath(report ? QStringLiteral("report.png") : QStringLiteral("screen.png"));
        Tools().menu->Exporter().SaveImage(path, ImageFormat::Png);
        const QImage saved(path);
        ASSERT_FALSE(saved.isNull());
        EXPECT_EQ(saved.pixelColor(2, 2), report ? QColor(Qt::white) : ToQColor(clSilver));
    }
}

TEST_F(ReportStyle, IsRememberedBetweenStarts)
{
    Trigger(kReport);
    ASSERT_TRUE(form1_->close());
    form1_ = std::make_unique<TForm1>();
    Form1 = form1_.get();
    EXPECT_TRUE(Chart()->View().Units().report);
    EXPECT_TRUE(Item(kReport)->isChecked());
}

// The report of a family of four loads beside the three runs holds, as
// text, every value of the measurements window's tables, which go on
// over more pages than the charts take, its numbers with the axes' decimal
// comma; it is titled and created by the
// program's version, as the batch tool tells it, in Liberation Sans.
TEST_F(ReportStyle, TheReportHoldsEveryValueOfTheMeasurementsAsText)
{
    RunAllAndAFamily();
    ShowToolWindow(form1_->Mechanical(), *form1_);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    form1_->WriteReport(path);
    EXPECT_FALSE(Chart()->View().Units().report) << "the chart is as it was";

    const QString text = Output(QStringLiteral("pdftotext -enc UTF-8 ") + path + QStringLiteral(" -"));
    const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const QSet<QString> written(words.begin(), words.end());
    int found = 0;
    for (const char* table : {"StatisticsTable", "StepTable", "PinsTable"})
        for (const QString& cell : CellsOf(table))
            for (QString word : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                // In the decimal sign of the report's axes.
                word.replace(QRegularExpression(QStringLiteral("(\\d)\\.(\\d)")), QStringLiteral("\\1,\\2"));
                EXPECT_TRUE(written.contains(word)) << table << ": " << word.toStdString();
                ++found;
            }
    EXPECT_GT(found, 4 * 2 * 2 * 17) << "the four members' characteristics at least";

    const QString info = Output(QStringLiteral("pdfinfo ") + path);
    const QString version = Output(QStringLiteral(MOTORMODEL_CLI " --version")).trimmed().section(' ', 1);
    auto field = [&info](const char* name) {
        return info.section(QString::fromLatin1(name) + ':', 1).section('\n', 0, 0).trimmed();
    };
    EXPECT_EQ(field("Title"), QStringLiteral("motormodel ") + version);
    EXPECT_EQ(field("Creator"), QStringLiteral("motormodel ") + version);
    const int pages = field("Pages").toInt();
    EXPECT_GT(pages, 3) << "two charts, and tables over more than one page";
    const QString fonts = Output(QStringLiteral("pdffonts ") + path);
    const QStringList fontLines = fonts.split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fontLines.isEmpty());
    for (const QString& line : fontLines)
        EXPECT_TRUE(line.contains(QStringLiteral("LiberationSans"))) << line.toStdString();
}

// The settings table marks what differs from the defaults, and only that.
TEST_F(ReportStyle, TheSettingsTableMarksTheChangedSettings)
{
    for (const char* changed : {"model.J", "step.profile", "run.steps"}) {
        Settings settings;
        const SettingValue value = GetSetting(settings, changed).value();
        if (std::holds_alternative<double>(value))
            SetSetting(settings, changed, std::get<double>(value) * 2);
        else if (std::holds_alternative<std::int64_t>(value))
            SetSetting(settings, changed, std::get<std::int64_t>(value) / 2);
        else
            SetSetting(settings, changed, std::string("ramp"));
        // The report lists the settings of the model in force.
        const ReportTable table = SettingsReportTable(settings);
        const std::vector<std::string_view> names = SettingNamesInForce(settings);
        ASSERT_EQ(table.rows.size(), static_cast<qsizetype>(names.size()));
        for (qsizetype row = 0; row < table.rows.size(); ++row) {
            const bool marked = names[static_cast<std::size_t>(row)] == changed;
            EXPECT_EQ(table.rows[row][3], marked ? QStringLiteral("да") : QString()) << changed << " row " << row;
            EXPECT_EQ(table.rows[row][1] != table.rows[row][2], marked) << changed << " row " << row;
        }
    }
}

} // namespace
