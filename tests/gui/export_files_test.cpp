#include "ChartWindowFixture.h"

#include "chart/ChartExporter.h"
#include "chart/ClippedSvg.h"
#include "ui/ParametersWindow.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>
#include <QFontDatabase>
#include <QFontInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <tuple>
#include <utility>

// The saved pictures as other programs show them: the SVG drawn by librsvg,
// the PDF read by poppler.
class ExportedFiles : public ChartWindow {
protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }

    void Save(const QString& name, ImageFormat format) const
    {
        Tools().menu->Exporter().SaveImage(PathOf(name), format);
    }

    // What a tool prints, given the arguments; empty if it failed.
    static QString Output(const QString& tool, const QStringList& arguments)
    {
        QProcess process;
        process.start(tool, arguments);
        const bool ran = process.waitForFinished(60000) && process.exitCode() == 0;
        EXPECT_TRUE(ran) << tool.toStdString() << ": " << process.readAllStandardError().toStdString();
        return ran ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
    }

    // Every run, zoomed into the middle of what they span, so each line
    // crosses the plot's frame on its way.
    void ZoomIntoTheMiddle()
    {
        RunAll();
        const AxisRanges all = Shown();
        const double x = all.x.max - all.x.min;
        const double y = all.y.max - all.y.min;
        Chart()->View().ZoomTo({{all.x.min + 0.3 * x, all.x.max - 0.3 * x}, {all.y.min + 0.3 * y, all.y.max - 0.3 * y}});
        Settled();
    }

    QTemporaryDir dir_;
};


// A pixel of a line's colour: every line of the chart is of a full colour,
// and everything else in the picture outside the title and the legend
// (background, grid, frame, text) is grey.
bool Coloured(QColor pixel)
{
    constexpr int kGreyAtMost = 48;
    return std::max({pixel.red(), pixel.green(), pixel.blue()}) - std::min({pixel.red(), pixel.green(), pixel.blue()}) >
           kGreyAtMost;
}

// The line pixels of the picture (at twice the chart's size) outside the
// plot, its title and its legend. The plot's frame is widened by two
// pixels of the picture: a line drawn along it is smoothed into the pixel
// beside it.
int LinePixelsOutsideThePlot(const QImage& picture, const PlotChart& chart)
{
    const PlotMapping mapping = chart.Mapping();
    const QRectF plot =
        QRectF(mapping.area.left, mapping.area.top, mapping.area.width, mapping.area.height).adjusted(-1, -1, 1, 1);
    const QRectF title = chart.plotLayout()->element(0, 0)->outerRect();
    const QRectF legend = chart.legend->outerRect();
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QPointF at(x / 2.0, y / 2.0);
            if (!plot.contains(at) && !title.contains(at) && !legend.contains(at) && Coloured(picture.pixelColor(x, y)))
                ++count;
        }
    return count;
}

// How many columns of the plot hold a line pixel.
int ColumnsWithLines(const QImage& picture, const PlotChart& chart)
{
    const PlotMapping mapping = chart.Mapping();
    int columns = 0;
    for (int x = static_cast<int>(mapping.area.left * 2); x < (mapping.area.left + mapping.area.width) * 2; ++x) {
        bool line = false;
        for (int y = static_cast<int>(mapping.area.top * 2); y < (mapping.area.top + mapping.area.height) * 2 && !line; ++y)
            line = Coloured(picture.pixelColor(x, y));
        columns += line ? 1 : 0;
    }
    return columns;
}

TEST_F(ExportedFiles, TheSvgStopsEveryLineAtThePlotsFrameAsThePngDoes)
{
    ZoomIntoTheMiddle();
    Save(QStringLiteral("chart.png"), ImageFormat::Png);
    Save(QStringLiteral("chart.svg"), ImageFormat::Svg);
    const QImage png(PathOf(QStringLiteral("chart.png")));
    // At the PNG's pixels: the size in millimetres rounds up.
    Output(QStringLiteral("rsvg-convert"),
           {QStringLiteral("--width=%1").arg(png.width()), QStringLiteral("--height=%1").arg(png.height()),
            PathOf(QStringLiteral("chart.svg")), QStringLiteral("--output"), PathOf(QStringLiteral("svg.png"))});
    const QImage svg(PathOf(QStringLiteral("svg.png")));
    ASSERT_EQ(svg.size(), png.size());

    EXPECT_EQ(LinePixelsOutsideThePlot(png, *Chart()), 0) << "the criterion holds for the PNG";
    EXPECT_EQ(LinePixelsOutsideThePlot(svg, *Chart()), 0);
    // The lines are there, inside, across the same columns: within the two
    // that smoothing may add or take where they meet the frame.
    EXPECT_NEAR(ColumnsWithLines(svg, *Chart()), ColumnsWithLines(png, *Chart()), 2);
}

// Every family an SVG's texts name.
// A vector file draws each pixel column's envelope of a run, not its every
// point, and the mechanical characteristic each whole-pixel segment of a
// path once: the file of a hundred times longer runs is about as large.
TEST_F(ExportedFiles, AVectorFileOfALongRunIsAboutAsLargeAsOfAShortOne)
{
    form1_->Mechanical().show();
    struct Saved {
        const char* what;
        PlotChart& chart;
    };
    const std::array<Saved, 2> charts{Saved{"the chart", *Chart()}, Saved{"the characteristic", Plane()}};
    std::map<std::tuple<std::int64_t, ImageFormat, const char*>, qint64> sizes;
    for (std::int64_t steps : {10'000, 1'000'000}) {
        Settings settings;
        settings.run.steps = steps;
        form1_->Parameters().ShowSettings(settings);
        for (const char* button : {"Button1", "Button3"}) {
            Click(button);
            WaitForWork();
        }
        RunStepResponse(QStringLiteral("10"));
        WaitForWork();
        Plane();
        for (const Saved& saved : charts)
            for (ImageFormat format : {ImageFormat::Svg, ImageFormat::Pdf}) {
                const QString path = PathOf(QStringLiteral("long"));
                ChartExporter(saved.chart).SaveImage(path, format);
                sizes[{steps, format, saved.what}] = QFileInfo(path).size();
            }
    }
    for (const Saved& saved : charts)
        for (ImageFormat format : {ImageFormat::Svg, ImageFormat::Pdf}) {
            SCOPED_TRACE(std::string(saved.what) + (format == ImageFormat::Svg ? " SVG" : " PDF"));
            const qint64 longRuns = sizes[{1'000'000, format, saved.what}];
            const qint64 shortRuns = sizes[{10'000, format, saved.what}];
            EXPECT_LT(longRuns, shortRuns * 3 / 2) << longRuns << " against " << shortRuns;
        }
}

QStringList FamiliesNamed(const QString& svg)
{
    QStringList families;
    const QRegularExpression named(QStringLiteral("<text [^>]*font-family=\"([^\"]*)\""));
    for (const QRegularExpressionMatch& match : named.globalMatch(svg))
        families.append(match.captured(1));
    return families;
}

TEST_F(ExportedFiles, EverySvgTextNamesTheFontItWasLaidOutWith)
{
    ZoomIntoTheMiddle();
    Save(QStringLiteral("chart.svg"), ImageFormat::Svg);
    QFile file(PathOf(QStringLiteral("chart.svg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList families = FamiliesNamed(QString::fromUtf8(file.readAll()));

    // The title, the axes' titles and ticks ask for "Arial" and "MS Sans
    // Serif" and are drawn in Liberation Sans; the legend's names in the
    // family the system gives the legend's font. A viewer finds each by its
    // name.
    const int entries = Chart()->View().Traces().Count();
    QStringList drawn(families.size() - entries, QStringLiteral("Liberation Sans"));
    drawn.append(QStringList(entries, QFontInfo(Chart()->legend->font()).family()));
    families.sort();
    drawn.sort();
    EXPECT_GT(families.size(), entries + 3);
    EXPECT_EQ(families.join(u',').toStdString(), drawn.join(u',').toStdString());
    for (const QString& family : families)
        EXPECT_TRUE(QFontDatabase::families().contains(family)) << family.toStdString();
}

// One field of what pdfinfo reports.
QString PdfField(const QString& info, const QString& field)
{
    const QRegularExpression line(QStringLiteral("^%1: +(.*)$").arg(field), QRegularExpression::MultilineOption);
    return line.match(info).captured(1);
}

TEST_F(ExportedFiles, ThePdfNamesItsWindowsAndTheProgramThatMadeIt)
{
    RunAll();
    form1_->Mechanical().show();
    // The version as the batch tool reports its own.
    const QString version = Output(QStringLiteral(MOTORMODEL_CLI), {QStringLiteral("--version")}).trimmed();
    ASSERT_TRUE(version.startsWith(QStringLiteral("motormodel-cli "))) << version.toStdString();
    const std::string creator = "motormodel " + version.mid(QStringLiteral("motormodel-cli ").size()).toStdString();
    struct Saved {
        PlotChart& chart;
        QString title;
    };
    for (const Saved& saved : {Saved{*Chart(), form1_->windowTitle()},
                               Saved{Plane(), QStringLiteral("Механическая характеристика — ") + form1_->windowTitle()}}) {
        const QString path = PathOf(saved.chart.objectName() + QStringLiteral(".pdf"));
        ChartExporter(saved.chart).SaveImage(path, ImageFormat::Pdf);
        const QString info = Output(QStringLiteral("pdfinfo"), {path});
        EXPECT_EQ(PdfField(info, QStringLiteral("Title")).toStdString(), saved.title.toStdString());
        EXPECT_EQ(PdfField(info, QStringLiteral("Creator")).toStdString(), creator);
    }
}

// The PDF drawn by poppler at four pixels to its point, which is a pixel of
// the chart.
constexpr int kPdfPixelsPerChartPixel = 4;

// A pixel more than half of white over the silver background.
bool White(QColor pixel)
{
    return std::min({pixel.red(), pixel.green(), pixel.blue()}) >= (192 + 255) / 2;
}

// How wide the plot's vertical grid line at the chart's column `x` is drawn:
// the most common width across the plot's rows (a row may cross a
// horizontal grid line).
int GridLineWidth(const QImage& picture, const PlotMapping& mapping, double x)
{
    constexpr int kSearch = 2 * kPdfPixelsPerChartPixel;
    const int middle = static_cast<int>(x * kPdfPixelsPerChartPixel);
    std::map<int, int> rowsOfWidth;
    for (int y = static_cast<int>(mapping.area.top) * kPdfPixelsPerChartPixel;
         y < static_cast<int>(mapping.area.top + mapping.area.height) * kPdfPixelsPerChartPixel; ++y) {
        int width = 0;
        for (int column = middle - kSearch; column <= middle + kSearch; ++column)
            width += White(picture.pixelColor(column, y)) ? 1 : 0;
        ++rowsOfWidth[width];
    }
    return std::max_element(rowsOfWidth.begin(), rowsOfWidth.end(),
                            [](auto a, auto b) { return a.second < b.second; })
        ->first;
}

// How wide the horizontal line of a legend entry's icon is drawn: the most
// line pixels one column of the entry holds (its name is black).
int IconLineWidth(const QImage& picture, QRect entry)
{
    const QRect drawn(entry.topLeft() * kPdfPixelsPerChartPixel, entry.size() * kPdfPixelsPerChartPixel);
    int widest = 0;
    for (int x = drawn.left(); x <= drawn.right(); ++x) {
        int width = 0;
        for (int y = drawn.top(); y <= drawn.bottom(); ++y)
            width += Coloured(picture.pixelColor(x, y)) ? 1 : 0;
        widest = std::max(widest, width);
    }
    return widest;
}

TEST_F(ExportedFiles, EveryLineOfThePdfIsAsWideAsItsPen)
{
    RunAll();
    Save(QStringLiteral("chart.pdf"), ImageFormat::Pdf);
    Output(QStringLiteral("pdftoppm"),
           {QStringLiteral("-r"), QString::number(72 * kPdfPixelsPerChartPixel), QStringLiteral("-png"),
            QStringLiteral("-singlefile"), PathOf(QStringLiteral("chart.pdf")), PathOf(QStringLiteral("drawn"))});
    const QImage drawn(PathOf(QStringLiteral("drawn.png")));
    ASSERT_EQ(drawn.size(), Chart()->size() * kPdfPixelsPerChartPixel);

    // Every pen is a pixel of the chart wide, a point of the PDF: the grid's
    // as the traces' in the legend.
    const PlotMapping mapping = Settled();
    const double tick = Chart()->xAxis->tickVector().at(1);
    EXPECT_EQ(GridLineWidth(drawn, mapping, Chart()->xAxis->coordToPixel(tick)), kPdfPixelsPerChartPixel);
    for (int entry = 0; entry < Chart()->View().Traces().Count(); ++entry)
        EXPECT_EQ(IconLineWidth(drawn, Chart()->LegendEntryRect(entry)), kPdfPixelsPerChartPixel) << entry;
}

// The clip rectangles of an SVG's groups, in the order drawn, each as
// "x,y,width,height"; empty for a group drawn unclipped. Fails the test if
// the file is not well-formed XML.
QStringList ClipsOfGroups(const QByteArray& svg)
{
    std::map<QString, QString> rects;
    QStringList groups;
    QString clipPath;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto value = [&attributes](const char* name) { return attributes.value(QLatin1String(name)).toString(); };
        if (xml.name() == QLatin1String("clipPath"))
            clipPath = value("id");
        else if (xml.name() == QLatin1String("rect") && !clipPath.isEmpty())
            rects[std::exchange(clipPath, QString())] =
                QStringList{value("x"), value("y"), value("width"), value("height")}.join(u',');
        else if (xml.name() == QLatin1String("g") && !value("clip-path").isEmpty())
            groups.append(rects[value("clip-path").mid(5).chopped(1)]);
        else if (xml.name() == QLatin1String("polyline"))
            groups.append(QStringLiteral("line"));
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return groups;
}

// What the painter clips to, and what the file's groups say of it.
struct ClipCase {
    const char* name;
    std::function<void(QPainter&)> paint;
    QStringList groups;
};

class ClippedSvgFile : public testing::TestWithParam<ClipCase> {};

TEST_P(ClippedSvgFile, GroupsEachRunOfLinesInTheRectangleThePainterClippedItTo)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    {
        ClippedSvg svg(file, QSize(100, 50), 96);
        QPainter painter(&svg);
        GetParam().paint(painter);
    }
    EXPECT_EQ(ClipsOfGroups(file.data()).join(u';').toStdString(), GetParam().groups.join(u';').toStdString());
}

void Line(QPainter& painter)
{
    painter.drawPolyline(QPolygonF({QPointF(0, 0), QPointF(100, 50)}));
}

INSTANTIATE_TEST_SUITE_P(
    Clips, ClippedSvgFile,
    testing::Values(
        ClipCase{"unclipped", [](QPainter& p) { Line(p); }, {QStringLiteral("line")}},
        ClipCase{"clipped",
                 [](QPainter& p) {
                     p.setClipRect(QRectF(10, 5, 30, 20));
                     Line(p);
                 },
                 {QStringLiteral("10,5,30,20"), QStringLiteral("line")}},
        ClipCase{"one_clip_twice_is_one_group",
                 [](QPainter& p) {
                     p.setClipRect(QRectF(10, 5, 30, 20));
                     Line(p);
                     p.setClipRect(QRectF(10, 5, 30, 20));
                     Line(p);
                 },
                 {QStringLiteral("10,5,30,20"), QStringLiteral("line"), QStringLiteral("line")}},
        ClipCase{"the_whole_picture_clips_nothing",
                 [](QPainter& p) {
                     p.setClipRect(QRectF(0, 0, 100, 50));
                     Line(p);
                 },
                 {QStringLiteral("line")}},
        ClipCase{"restored_to_none",
                 [](QPainter& p) {
                     p.save();
                     p.setClipRect(QRectF(10, 5, 30, 20));
                     Line(p);
                     p.restore();
                     Line(p);
                 },
                 {QStringLiteral("10,5,30,20"), QStringLiteral("line"), QStringLiteral("line")}},
        ClipCase{"in_the_painters_coordinates",
                 [](QPainter& p) {
                     p.translate(5, 2.5);
                     p.setClipRect(QRectF(10, 5, 30, 20));
                     Line(p);
                 },
                 {QStringLiteral("15,7.5,30,20"), QStringLiteral("line")}},
        ClipCase{"nothing_drawn", [](QPainter&) {}, {}}),
    [](const auto& test) { return std::string(test.param.name); });
