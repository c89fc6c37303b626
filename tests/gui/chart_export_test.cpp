// The chart's exports: CSV and pictures written exactly, failed saves that
// keep the old file, and the menu's file dialogs and errors.

#include "ChartWindowFixture.h"

#include "chart/ChartExporter.h"
#include "chart/ChartMenu.h"
#include "toolkit/Exception.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <charconv>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace {

std::string CannotSave(const QString& path)
{
    return "Не удалось сохранить \"" + path.toStdString() + "\": ";
}

class Export : public ChartWindow {
protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    const ChartExporter& Exporter() const { return Tools().menu->Exporter(); }

    static QByteArray Contents(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    QTemporaryDir dir_;
};

// Parsed as any program reading the file would, exactly.
double CsvNumber(const QByteArray& cell)
{
    double value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    EXPECT_TRUE(error == std::errc{} && end == cell.data() + cell.size()) << cell.toStdString();
    return value;
}

TEST_F(Export, CsvReadsBackToExactlyThePointsOfTheShownTraces)
{
    RunAll();
    ClickLegendEntry(2);
    Exporter().SaveCsv(PathOf("runs.csv"));
    const QList<QByteArray> rows = Contents(PathOf("runs.csv")).split('\n');

    ASSERT_EQ(rows.size(), 2002) << "heading, 2000 steps, and the empty rest after the last line end";
    EXPECT_EQ(rows[0], "step,Md (Gauss),Omega (Gauss),Omega (Uniform),Md (Step),Omega (Step)");
    const std::size_t columnSeries[] = {0, 1, 3, 4, 5};
    for (int step = 0; step < 2000; ++step) {
        const QList<QByteArray> cells = rows[step + 1].split(',');
        ASSERT_EQ(cells.size(), 6);
        ASSERT_EQ(CsvNumber(cells[0]), step);
        for (int column = 1; column < 6; ++column)
            ASSERT_EQ(CsvNumber(cells[column]), SeriesAt(columnSeries[column - 1]).Values()[std::size_t(step)])
                << rows[0].split(',')[column].toStdString() << " at step " << step;
    }
}

// The length an svg element's attribute gives, in millimetres.
double SvgLength(const QByteArray& svg, const char* attribute)
{
    const QByteArray opening = QByteArray(attribute) + "=\"";
    const qsizetype start = svg.indexOf(opening) + opening.size();
    return svg.mid(start, svg.indexOf("mm\"", start) - start).toDouble();
}

TEST_F(Export, ImagesAreValidFilesAtTheChartsSizeFitForAReport)
{
    RunAll();
    ClickLegendEntry(0);
    const QSize size = Chart()->size();
    Exporter().SaveImage(PathOf("chart.png"), ImageFormat::Png);
    EXPECT_TRUE(Contents(PathOf("chart.png")).startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(QImage(PathOf("chart.png")).size(), size * 2);

    Exporter().SaveImage(PathOf("chart.svg"), ImageFormat::Svg);
    const QByteArray svg = Contents(PathOf("chart.svg"));
    EXPECT_TRUE(svg.startsWith("<?xml"));
    // Millimetres at 96 pixels to the inch, as SVG viewers show them.
    EXPECT_NEAR(SvgLength(svg, "width") / 25.4 * 96, size.width(), 0.01);
    EXPECT_NEAR(SvgLength(svg, "height") / 25.4 * 96, size.height(), 0.01);
    // Each shown line is one element a vector editor can pick up.
    const QRegularExpression longLine(QStringLiteral("<polyline[^>]*points=\"([^\" ]+ ){100,}"));
    EXPECT_EQ(QString::fromUtf8(svg).count(longLine), 5);
    EXPECT_EQ(svg.count(">Md</text>"), 2) << "the legend lists only the shown traces";
    EXPECT_EQ(svg.count(">Omega</text>"), 3);
    EXPECT_EQ(Chart()->legend->itemCount(), 6) << "the window's legend keeps every entry";

    Exporter().SaveImage(PathOf("chart.pdf"), ImageFormat::Pdf);
    const QByteArray pdf = Contents(PathOf("chart.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    const QString mediaBox = QStringLiteral("/MediaBox [0 0 %1.000000 %2.000000]").arg(size.width()).arg(size.height());
    EXPECT_TRUE(pdf.contains(mediaBox.toUtf8())) << "a point to a pixel";

    Exporter().CopyImage();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), size);
}

// Caps the size of files this process writes, and makes a write past it
// fail with EFBIG rather than end the process, as the program does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

// Every way a save can fail, for every kind of file: the error names the
// path and the reason, an earlier file stays byte for byte, no temporary
// file is left, and a device stays a device.
TEST_F(Export, AFailedSaveNamesPathAndReasonAndLeavesTheOldFileAsItWas)
{
    RunStepResponse(QStringLiteral("10"));
    using Save = std::function<void(const QString&)>;
    const std::pair<const char*, Save> kinds[] = {
        {"png", [this](const QString& path) { Exporter().SaveImage(path, ImageFormat::Png); }},
        {"svg", [this](const QString& path) { Exporter().SaveImage(path, ImageFormat::Svg); }},
        {"pdf", [this](const QString& path) { Exporter().SaveImage(path, ImageFormat::Pdf); }},
        {"csv", [this](const QString& path) { Exporter().SaveCsv(path); }},
    };
    for (const auto& [suffix, save] : kinds) {
        const QString oldRun = PathOf(QStringLiteral("прогон 1.") + QLatin1String(suffix));
        QFile old(oldRun);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old run") == 7);
        old.close();
        struct Fault {
            const char* name;
            QString path;
            bool sizeLimited;
        };
        for (const Fault& fault : {Fault{"a missing folder", PathOf(QStringLiteral("no such folder/chart")), false},
                                   Fault{"a folder as the file", dir_.path(), false},
                                   Fault{"a full device", QStringLiteral("/dev/full"), false},
                                   Fault{"a size limit over the old file", oldRun, true}}) {
            const std::string what = std::string(suffix) + ", " + fault.name;
            std::optional<FileSizeLimit> limit;
            if (fault.sizeLimited)
                limit.emplace(4096);
            try {
                save(fault.path);
                ADD_FAILURE() << what << ": no error";
            } catch (const toolkit::Exception& error) {
                const std::string prefix = CannotSave(fault.path);
                EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u) << what << ": " << error.what();
                EXPECT_GT(std::string(error.what()).size(), prefix.size()) << what << ": a reason";
            }
        }
        EXPECT_EQ(Contents(oldRun), "old run") << suffix;
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QFileInfo(oldRun).fileName()})
            << suffix << ": no temporary file is left";
        save(oldRun);
        EXPECT_NE(Contents(oldRun), "old run") << suffix << ": a Cyrillic name with a space is replaced whole";
        QFile::remove(oldRun);
    }
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile()) << "the device is still a device";
    // In the system's words, as Qt gives them in the program's language.
    const QString missing = PathOf(QStringLiteral("no such folder/chart"));
    QFile opened(missing);
    ASSERT_FALSE(opened.open(QIODevice::WriteOnly));
    try {
        Exporter().SaveCsv(missing);
        ADD_FAILURE() << "no error";
    } catch (const toolkit::Exception& error) {
        EXPECT_EQ(std::string(error.what()), CannotSave(missing) + opened.errorString().toStdString());
    }
}

class Menu : public Export {
protected:
    // Answers the file dialog as a user would: this path, this filter;
    // remembers what the dialog was opened with.
    void Answer(const QString& path, const QString& filter = {})
    {
        Tools().menu->SetAskSavePath([this, path, filter](const QString&, const QString& folder, const QString&,
                                                           QString* chosen) {
            askedFolder_ = folder;
            askedFilter_ = *chosen;
            if (!filter.isEmpty())
                *chosen = filter;
            return path;
        });
    }

    QString askedFolder_;
    QString askedFilter_;
};

TEST_F(Menu, ATypedSuffixChoosesTheFormatOtherwiseTheFilterDoesAndTheDialogRemembers)
{
    RunStepResponse(QStringLiteral("10"));
    const QString svgFilter = QStringLiteral("Рисунок SVG (*.svg)");
    const QString pngFilter = QStringLiteral("Рисунок PNG (*.png)");
    struct Save {
        const char* typed;
        QString filter;
        const char* written;
        QByteArray start;
    };
    for (const Save& save : {Save{"chart", svgFilter, "chart.svg", "<?xml"},
                             Save{"typed.svg", pngFilter, "typed.svg", "<?xml"},
                             Save{"typed.PDF", pngFilter, "typed.PDF", "%PDF-"},
                             Save{"report.v2", pngFilter, "report.v2.png", "\x89PNG"}}) {
        Answer(PathOf(QString::fromLatin1(save.typed)), save.filter);
        Trigger(QStringLiteral("Сохранить изображение…"));
        EXPECT_TRUE(Contents(PathOf(QString::fromLatin1(save.written))).startsWith(save.start)) << save.written;
    }
    Answer(QString());
    Trigger(QStringLiteral("Сохранить изображение…"));
    EXPECT_EQ(askedFolder_, QFileInfo(PathOf("x")).absolutePath());
    EXPECT_EQ(askedFilter_, pngFilter) << "the last filter chosen";

    Answer(PathOf(QStringLiteral("данные за день")));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_TRUE(Contents(PathOf(QStringLiteral("данные за день.csv"))).startsWith("step,"));
}

TEST_F(Menu, CsvForARussianSpreadsheetHasTheSameDigitsWithCommasAndSemicolons)
{
    // The uniform run's traces hold no points: they are left out.
    RunStepResponse(QStringLiteral("10"));
    Click("Button1");
    const QString russian = QStringLiteral("CSV для русской локали (*.csv)");
    Answer(PathOf(QStringLiteral("plain")));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_EQ(askedFilter_, QStringLiteral("CSV (*.csv)")) << "the default";
    Answer(PathOf(QStringLiteral("russian")), russian);
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    Answer(QString());
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_EQ(askedFilter_, russian) << "the last filter chosen";

    const QByteArray plain = Contents(PathOf(QStringLiteral("plain.csv")));
    EXPECT_TRUE(plain.startsWith("step,Md (Gauss),Omega (Gauss),Md (Step),Omega (Step)\n0,"));
    // No heading has a comma or a point, so the two files differ only by
    // the separators and the decimal marks, each number with one quoted.
    QByteArray expected = plain;
    expected.replace(',', ';');
    static const QRegularExpression withPoint(QStringLiteral("([^;\\n]*)\\.([^;\\n]*)"));
    expected = QString::fromLatin1(expected).replace(withPoint, QStringLiteral("\"\\1,\\2\"")).toLatin1();
    EXPECT_EQ(Contents(PathOf(QStringLiteral("russian.csv"))), expected);
    EXPECT_TRUE(expected.contains("\n1999;")) << "every step";
    EXPECT_TRUE(expected.contains(";\"157,06422059784802\"\n")) << "the decimal comma, all the digits";
}

TEST_F(Menu, WritesNothingWhenTheDialogIsCancelled)
{
    Answer(QString());
    Trigger(QStringLiteral("Сохранить изображение…"));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());
    EXPECT_TRUE(errors_.empty());
}

// Every command that fails, copying included, ends where the window shows
// its other errors, in the window's language.
TEST_F(Menu, EveryCommandsErrorIsShownAsTheWindowShowsErrors)
{
    RunStepResponse(QStringLiteral("10"));
    const QString noFolder = PathOf(QStringLiteral("no such folder/data.csv"));
    const QString png = PathOf(QStringLiteral("chart.png"));
    const std::string cannotDraw = "картинку графика не удалось нарисовать";
    // In the system's words, as Qt gives them in the program's language.
    QFile missing(noFolder);
    ASSERT_FALSE(missing.open(QIODevice::WriteOnly));
    struct Command {
        const char* item;
        QString answer;
        std::string error;
    };
    const Command commands[] = {
        {"Экспорт данных в CSV…", noFolder, CannotSave(noFolder) + missing.errorString().toStdString()},
        {"Сохранить изображение…", png, CannotSave(png) + cannotDraw},
        {"Копировать изображение", {}, cannotDraw},
    };
    // A chart of no pixels has no picture to draw.
    Chart()->setFixedSize(0, 0);
    for (const Command& command : commands) {
        errors_.clear();
        Answer(command.answer);
        Trigger(QString::fromUtf8(command.item));
        ASSERT_EQ(errors_.size(), 1u) << command.item;
        EXPECT_EQ(errors_[0], command.error) << command.item;
    }
    EXPECT_FALSE(QFileInfo::exists(png)) << "nothing is written";
}

} // namespace
