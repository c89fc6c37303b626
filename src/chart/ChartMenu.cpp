#include "chart/ChartMenu.h"

#include "chart/ChartCursors.h"
#include "chart/ChartExporter.h"
#include "chart/PlotChart.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QStringList>

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct ImageType {
    ImageFormat format;
    const char* filter;
    const char* suffix;
};

constexpr std::array<ImageType, 3> kImageTypes{{
    {ImageFormat::Png, "Рисунок PNG (*.png)", "png"},
    {ImageFormat::Svg, "Рисунок SVG (*.svg)", "svg"},
    {ImageFormat::Pdf, "Документ PDF (*.pdf)", "pdf"},
}};

struct CsvType {
    CsvStyle style;
    const char* filter;
};

constexpr std::array<CsvType, 2> kCsvTypes{{
    {kPlainCsv, "CSV (*.csv)"},
    {kRussianCsv, "CSV для русской локали (*.csv)"},
}};

template <std::size_t N, typename Type>
QStringList FiltersOf(const std::array<Type, N>& types)
{
    QStringList filters;
    for (const Type& type : types)
        filters << QString::fromUtf8(type.filter);
    return filters;
}

// A name typed without the suffix gets it added.
QString WithSuffix(const QString& path, const char* suffix)
{
    const QString wanted = QString::fromLatin1(suffix);
    return QFileInfo(path).suffix().compare(wanted, Qt::CaseInsensitive) == 0 ? path : path + '.' + wanted;
}

} // namespace

ChartMenu::ChartMenu(PlotChart& chart, ChartCursors* cursors, CommandRunner run)
    : QObject(&chart), chart_(chart), exporter_(chart), menu_(new QMenu(&chart)), run_(std::move(run)),
      askSavePath_([&chart](const QString& caption, const QString& folder, const QString& filters,
                            QString* chosenFilter) {
          return QFileDialog::getSaveFileName(&chart, caption, folder, filters, chosenFilter);
      }),
      imageFilter_(QString::fromUtf8(kImageTypes.front().filter)),
      csvFilter_(QString::fromUtf8(kCsvTypes.front().filter))
{
    ChartViewState& view = chart.View();
    AddItem(QStringLiteral("Сбросить масштаб"), [&view] { view.ResetZoom(); });
    QAction* back = AddItem(QStringLiteral("Предыдущий масштаб"), [&view] { view.Back(); });
    connect(menu_, &QMenu::aboutToShow, back, [back, &view] { back->setEnabled(view.CanGoBack()); });
    menu_->addSeparator();
    AddItem(QStringLiteral("Сохранить изображение…"), [this] { SaveImage(); });
    AddItem(QStringLiteral("Экспорт данных в CSV…"), [this] { SaveCsv(); });
    AddItem(QStringLiteral("Копировать изображение"), [this] { exporter_.CopyImage(); });
    // The time axis's own items: the plane of the mechanical view has no
    // cursors and no steps to read in seconds.
    if (cursors) {
        menu_->addSeparator();
        AddCursorsItem(*cursors);
        AddUnitsItem(QStringLiteral("Время в секундах"), &AxisUnits::seconds, &ChartViewState::SetTimeInSeconds);
        AddUnitsItem(QStringLiteral("Подписи осей"), &AxisUnits::titles, &ChartViewState::SetAxisTitles);
        AddUnitsItem(QStringLiteral("Оформление для отчёта"), &AxisUnits::report, &ChartViewState::SetReportStyle);
    }
    chart.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&chart, &QWidget::customContextMenuRequested, this, &ChartMenu::Popup);
}

void ChartMenu::AddCursorsItem(ChartCursors& cursors)
{
    QAction* item = menu_->addAction(QStringLiteral("Курсоры A и B"));
    item->setCheckable(true);
    connect(item, &QAction::toggled, &cursors,
            [this, &cursors](bool shown) { run_([&cursors, shown] { cursors.SetShown(shown); }); });
    connect(&cursors, &ChartCursors::Changed, item, [item, &cursors] { item->setChecked(cursors.IsShown()); });
}

void ChartMenu::AddUnitsItem(const QString& text, bool AxisUnits::*shown, void (ChartViewState::*set)(bool))
{
    ChartViewState& view = chart_.View();
    QAction* item = menu_->addAction(text);
    item->setCheckable(true);
    connect(item, &QAction::toggled, &view,
            [this, &view, set](bool on) { run_([&view, set, on] { (view.*set)(on); }); });
    connect(&view, &ChartViewState::Changed, item, [item, &view, shown] { item->setChecked(view.Units().*shown); });
}

void ChartMenu::AddEntryItem(const QString& text, std::function<bool(int)> offered, std::function<void(int)> command)
{
    QAction* action = AddItem(text, [this, command = std::move(command)] { command(entryAt_); });
    action->setVisible(false);
    entryItems_.push_back({action, std::move(offered)});
}

void ChartMenu::Popup(QPoint position)
{
    entryAt_ = -1;
    for (int i = 0; i < chart_.View().Traces().Count(); ++i)
        if (chart_.LegendEntryRect(i).contains(position))
            entryAt_ = i;
    for (const EntryItem& item : entryItems_)
        item.action->setVisible(entryAt_ >= 0 && item.offered(entryAt_));
    menu_->popup(chart_.mapToGlobal(position));
}

QAction* ChartMenu::AddItem(const QString& text, std::function<void()> command)
{
    return menu_->addAction(text, this, [this, command = std::move(command)] { run_(command); });
}

QString ChartMenu::AskPath(const QString& caption, const QStringList& filters, QString& filter, std::size_t& chosen)
{
    QString asked = filter;
    const QString path = askSavePath_(caption, folder_, filters.join(QStringLiteral(";;")), &asked);
    if (path.isEmpty())
        return path;
    folder_ = QFileInfo(path).absolutePath();
    // A filter the dialog did not offer counts as the first.
    chosen = static_cast<std::size_t>(std::max(qsizetype{0}, filters.indexOf(asked)));
    filter = filters[static_cast<qsizetype>(chosen)];
    return path;
}

void ChartMenu::SaveImage()
{
    std::size_t chosen = 0;
    const QString path = AskPath(QStringLiteral("Сохранить изображение"), FiltersOf(kImageTypes), imageFilter_, chosen);
    if (path.isEmpty())
        return;
    // A typed suffix says what the user wants, whatever the filter.
    if (const std::optional<ImageFormat> typed = ChartExporter::FormatOfName(path))
        return exporter_.SaveImage(path, *typed);
    const ImageType& type = kImageTypes[chosen];
    exporter_.SaveImage(WithSuffix(path, type.suffix), type.format);
}

void ChartMenu::SaveCsv()
{
    std::size_t chosen = 0;
    const QString path = AskPath(QStringLiteral("Экспорт данных в CSV"), FiltersOf(kCsvTypes), csvFilter_, chosen);
    if (!path.isEmpty())
        exporter_.SaveCsv(WithSuffix(path, "csv"), kCsvTypes[chosen].style);
}
