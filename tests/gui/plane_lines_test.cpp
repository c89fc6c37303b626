// The mechanical characteristic's lines draw the pixels the library's own
// curves drew for it, over the views a user goes through: the window's
// lines are cut once for each scale and only moved by a drag.

#include "analysis/MechanicalPlane.h"
#include "chart/PlaneLines.h"
#include "experiments/Experiments.h"
#include "plot/PixelLines.h"

#include <gtest/gtest.h>

#include "Pictures.h"

#include <QImage>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The library's curve as the window had it: a wide dashed line cut into
// its dashes, thinned to whole pixels first and each piece drawn once.
class LibraryCurve final : public QCPCurve {
public:
    using QCPCurve::QCPCurve;

protected:
    void drawCurveLine(QCPPainter* painter, const QVector<QPointF>& lines) const override
    {
        QPen pen = painter->pen();
        if (pen.style() == Qt::SolidLine || pen.widthF() < 2 || painter->modes().testFlag(QCPPainter::pmNoCaching))
            return QCPCurve::drawCurveLine(painter, lines);
        std::vector<PixelPoint> pixels;
        for (QPointF point : lines)
            pixels.push_back({point.x(), point.y()});
        std::vector<PixelPoint> kept;
        ThinToWholePixels(pixels.size(), [&pixels](std::size_t i) { return pixels[i]; },
                          [&kept](PixelPoint point) { kept.push_back(point); });
        std::vector<double> pattern;
        for (qreal length : pen.dashPattern())
            pattern.push_back(length * pen.widthF());
        QVector<QLine> pieces;
        for (const PixelSegment& s : DistinctSegments(DashPieces(kept, pattern, 0)))
            pieces.append(QLineF(s.from.x, s.from.y, s.to.x, s.to.y).toLine());
        pen.setStyle(Qt::SolidLine);
        painter->setPen(pen);
        painter->drawLines(pieces);
    }
};

struct Line {
    PlanePoints points;
    QPen pen;
    bool lined;
    QCPScatterStyle mark;
};

PlanePoints PathOfStep(const char* load)
{
    const RunResult run = RunExperiment({RunKind::Step, {}, load, {}});
    return PathOf(run.Of(Quantity::Md), run.Of(Quantity::Omega));
}

// The window's model curves for the load, in its pens, and the operating
// point's disc.
std::vector<Line> ModelLines(double load, QColor colour)
{
    std::vector<Line> lines;
    for (const PlaneCurve& curve : analysis::ModelCurves(Settings{}, load))
        switch (curve.kind) {
        case CurveKind::Static:
            lines.push_back({curve.points, QPen(Qt::black, 1.5), true, {}});
            break;
        case CurveKind::OperatingPoint:
            lines.push_back({curve.points, QPen(colour, 2.5), false, QCPScatterStyle(QCPScatterStyle::ssDisc, colour, 11)});
            break;
        default:
            lines.push_back({curve.points, QPen(colour, 1.5, Qt::DashDotLine), true, {}});
        }
    return lines;
}

// A path and the ring on its end.
void AddPath(std::vector<Line>& lines, const char* load, QColor colour, Qt::PenStyle style)
{
    const PlanePoints path = PathOfStep(load);
    lines.push_back({path, QPen(colour, 2.5, style), true, {}});
    lines.push_back({path.Last(), QPen(colour, 2.5), false, QCPScatterStyle(QCPScatterStyle::ssCircle, 11)});
}

// The step response, its pin dashed beside it, and the model's curves.
std::vector<Line> StepAndPin()
{
    std::vector<Line> lines = ModelLines(10, Qt::darkGreen);
    AddPath(lines, "10", Qt::blue, Qt::SolidLine);
    AddPath(lines, "20", Qt::red, Qt::DashLine);
    return lines;
}

// Solid lines and marks only: the views that cut lines at the plot's edge.
std::vector<Line> Solid()
{
    std::vector<Line> lines = StepAndPin();
    std::erase_if(lines, [](const Line& line) { return line.lined && line.pen.style() != Qt::SolidLine; });
    return lines;
}

// A random run's long path, solid, and two pins of it dashed alike: lines
// that share their points and, the pins, their cut.
std::vector<Line> LongPathAndTwoPins()
{
    Settings settings;
    settings.run.steps = 3 * kPointsWorthAThread;
    const RunResult run = RunExperiment({RunKind::Gauss, settings, "", {}});
    const PlanePoints path = PathOf(run.Of(Quantity::Md), run.Of(Quantity::Omega));
    return {{path, QPen(Qt::blue, 2.5), true, {}},
            {path, QPen(Qt::red, 2.5, Qt::DashLine), true, {}},
            {path, QPen(Qt::darkGreen, 2.5, Qt::DashLine), true, {}},
            {path.Last(), QPen(Qt::blue, 2.5), false, QCPScatterStyle(QCPScatterStyle::ssCircle, 11)}};
}

std::vector<Line> FamilyLines()
{
    std::vector<Line> lines;
    const std::pair<const char*, QColor> members[] = {{"0", Qt::red}, {"10", Qt::darkCyan}, {"20", Qt::magenta}, {"30", Qt::darkYellow}};
    for (const auto& [load, colour] : members) {
        for (Line& line : ModelLines(std::stod(load), colour))
            if (line.pen.color() == colour)
                lines.push_back(std::move(line));
        AddPath(lines, load, colour, Qt::DashLine);
    }
    return lines;
}

// A view: zoomed so many times about the first operating point, then moved
// by so many pixels.
struct View {
    double zoom;
    double right = 0;
    double up = 0;
};

AxisRanges RangesOf(const std::vector<Line>& lines, const View& view, const QCPAxisRect& area)
{
    std::vector<PlaneCurve> curves;
    std::vector<const PlaneCurve*> all;
    for (const Line& line : lines)
        curves.push_back({"", clBlack, false, CurveKind::Path, line.points, ""});
    for (const PlaneCurve& curve : curves)
        all.push_back(&curve);
    const AxisRanges whole = PlaneSpan(all);
    const PlanePoint centre = *std::find_if(lines.begin(), lines.end(), [](const Line& l) { return !l.lined; })->points.begin();
    // A tenth wider than the lines, so a drag of a few pixels keeps them in.
    const double across = 1.1 * whole.x.Span() / view.zoom;
    const double up = 1.1 * whole.y.Span() / view.zoom;
    const double x = view.zoom == 1 ? (whole.x.min + whole.x.max) / 2 : centre.Md;
    const double y = view.zoom == 1 ? (whole.y.min + whole.y.max) / 2 : centre.Omega;
    const double left = x - across / 2 - view.right * across / area.width();
    const double bottom = y - up / 2 - view.up * up / area.height();
    return {{left, left + across}, {bottom, bottom + up}};
}

// The lines drawn, by ours or by the library's, through the views in turn
// as a user goes; the last one's picture, or as a picture for a file
// (smoothed, its lines as polylines).
QImage Drawn(const std::vector<Line>& lines, bool ours, const std::vector<View>& views, bool picture,
             bool painterDashes, bool cutAhead)
{
    QCustomPlot plot;
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.setPlottingHint(QCP::phFastPolylines, true);
    plot.resize(600, 450);
    // The plot stays where it is whatever the ticks say, so a view moved by
    // whole pixels is moved by whole pixels on screen.
    plot.axisRect()->setAutoMargins(QCP::msNone);
    plot.axisRect()->setMargins(QMargins(60, 20, 20, 40));
    std::vector<PlaneLines*> ourLines;
    if (cutAhead)
        QObject::connect(&plot, &QCustomPlot::afterLayout, [&ourLines] { CutAheadOfAFrame(ourLines); });
    for (const Line& line : lines) {
        if (ours) {
            auto* drawn = ourLines.emplace_back(new PlaneLines(plot.xAxis, plot.yAxis));
            drawn->SetPoints(line.points);
            drawn->setPen(line.pen);
            drawn->SetLined(line.lined);
            drawn->SetMark(line.mark);
            continue;
        }
        QVector<double> keys;
        QVector<double> values;
        for (const PlanePoint point : line.points) {
            keys.append(point.Md);
            values.append(point.Omega);
        }
        auto* drawn = painterDashes ? new QCPCurve(plot.xAxis, plot.yAxis) : new LibraryCurve(plot.xAxis, plot.yAxis);
        drawn->setData(keys, values);
        drawn->setPen(line.pen);
        drawn->setLineStyle(line.lined ? QCPCurve::lsLine : QCPCurve::lsNone);
        drawn->setScatterStyle(line.mark);
    }
    plot.show();
    plot.replot();
    for (const View& view : ours ? views : std::vector<View>{views.back()}) {
        const AxisRanges ranges = RangesOf(lines, view, *plot.axisRect());
        plot.xAxis->setRange(ranges.x.min, ranges.x.max);
        plot.yAxis->setRange(ranges.y.min, ranges.y.max);
        plot.replot();
    }
    if (!picture)
        return plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage image(plot.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QCPPainter painter(&image);
    painter.setMode(QCPPainter::pmNoCaching);
    plot.setNotAntialiasedElements(QCP::aeNone);
    plot.setAntialiasedElements(QCP::aeAll);
    plot.toPainter(&painter, plot.width(), plot.height());
    return image;
}

struct LinesScene {
    const char* name;
    std::function<std::vector<Line>()> lines;
    std::vector<View> views;
    bool picture = false;
    // Pixels that may differ, in thousandths of those drawn.
    int differingPerMille = 0;
    // Against the library's curve dashed by the painter, whose outline of
    // each dash joins its pieces: pixels at a dash's corners differ.
    bool painterDashes = false;
    // Ours cut ahead of each frame, as the window's chart cuts them.
    bool cutAhead = false;
};

void PrintTo(const LinesScene& scene, std::ostream* out) { *out << scene.name; }

class PlaneLinesDraw : public testing::TestWithParam<LinesScene> {};

TEST_P(PlaneLinesDraw, WhatTheLibrarysCurvesDrew)
{
    const LinesScene& scene = GetParam();
    const std::vector<Line> lines = scene.lines();
    const QImage library = Drawn(lines, false, scene.views, scene.picture, scene.painterDashes, false);
    QImage blank(library.size(), library.format());
    blank.fill(library.pixel(0, 0));
    const int drawn = PixelsDiffering(library, blank);
    EXPECT_GT(drawn, 5000) << "the lines are drawn";
    EXPECT_LE(PixelsDiffering(Drawn(lines, true, scene.views, scene.picture, false, scene.cutAhead), library),
              drawn * scene.differingPerMille / 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Views, PlaneLinesDraw,
    testing::Values(LinesScene{"whole", StepAndPin, {{1}}},
                    LinesScene{"zoomed", Solid, {{4}}},
                    LinesScene{"deep_at_the_operating_point", Solid, {{60}}},
                    LinesScene{"dragged_by_whole_pixels", Solid, {{4}, {4, 37, -23}, {4, 45, -20}}},
                    LinesScene{"dragged_by_part_of_a_pixel", Solid, {{4}, {4, 10.5, 3.25}}},
                    LinesScene{"zoomed_in_and_out_again", Solid, {{1}, {4}, {1}}},
                    // The dashes are laid along the path once for the
                    // scale; laid anew along the moved path, a dash's end
                    // that falls within a rounding error of a pixel's
                    // middle may be drawn a pixel further on.
                    LinesScene{"dashed_pin_dragged", StepAndPin, {{1}, {1, 3, 2}}, false, 1},
                    LinesScene{"family", FamilyLines, {{1}}},
                    LinesScene{"dashed_as_the_painter_dashes", StepAndPin, {{1}}, false, 100, true},
                    LinesScene{"picture", StepAndPin, {{1}}, true},
                    LinesScene{"cut_ahead", StepAndPin, {{1}}, false, 0, false, true}),
    [](const auto& test) { return std::string(test.param.name); });

// Cut ahead of each frame, lines that share their points share a cut and
// the cuts are made on all cores: the pictures are those of each line cut
// for itself as it is drawn, through zooms and drags.
TEST(PlaneLinesCutAhead, DrawWhatEachLineCutForItselfDrew)
{
    const std::vector<View> views{{1}, {4}, {4, 37, -23}, {1}};
    for (const auto& lines : {StepAndPin(), LongPathAndTwoPins()}) {
        const QImage each = Drawn(lines, true, views, false, false, false);
        EXPECT_EQ(PixelsDiffering(Drawn(lines, true, views, false, false, true), each), 0);
    }
}

} // namespace
