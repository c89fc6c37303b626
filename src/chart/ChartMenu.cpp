#include "chart/ChartMenu.h"

#include "chart/FileDialogs.h"
#include "chart/ChartCursors.h"
#include "chart/ChartExporter.h"
#include "chart/FocusMark.h"
#include "chart/PlotChart.h"
#include "chart/TranslatedText.h"

#include <QCursor>
#include <QKeySequence>
#include <QShortcut>
#include <QAction>
#include <QCoreApplication>
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
    {ImageFormat::Png, QT_TRANSLATE_NOOP("ChartMenu", "Рисунок PNG (*.png)"), "png"},
    {ImageFormat::Svg, QT_TRANSLATE_NOOP("ChartMenu", "Рисунок SVG (*.svg)"), "svg"},
    {ImageFormat::Pdf, QT_TRANSLATE_NOOP("ChartMenu", "Документ PDF (*.pdf)"), "pdf"},
}};

struct CsvType {
    CsvStyle style;
    const char* filter;
};

constexpr std::array<CsvType, 2> kCsvTypes{{
    {kPlainCsv, QT_TRANSLATE_NOOP("ChartMenu", "CSV (*.csv)")},
    {kRussianCsv, QT_TRANSLATE_NOOP("ChartMenu", "CSV для русской локали (*.csv)")},
}};

template <std::size_t N, typename Type>
QStringList FiltersOf(const std::array<Type, N>& types)
{
    QStringList filters;
    for (const Type& type : types)
        filters << QCoreApplication::translate("ChartMenu", type.filter);
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
          return QFileDialog::getSaveFileName(&chart, caption, folder, filters, chosenFilter, FileDialogOptions());
      })
{
    ChartViewState& view = chart.View();
    AddItem(QT_TRANSLATE_NOOP("ChartMenu", "Сбросить масштаб"), [&view] { view.ResetZoom(); });
    QAction* back = AddItem(QT_TRANSLATE_NOOP("ChartMenu", "Предыдущий масштаб"), [&view] { view.Back(); });
    connect(menu_, &QMenu::aboutToShow, back, [back, &view] { back->setEnabled(view.CanGoBack()); });
    menu_->addSeparator();
    AddItem(QT_TRANSLATE_NOOP("ChartMenu", "Сохранить изображение…"), [this] { SaveImage(); });
    AddItem(QT_TRANSLATE_NOOP("ChartMenu", "Экспорт данных в CSV…"), [this] { SaveCsv(); });
    AddItem(QT_TRANSLATE_NOOP("ChartMenu", "Копировать изображение"), [this] { exporter_.CopyImage(); });
    // The time axis's own items: the plane of the mechanical view has no
    // cursors and no steps to read in seconds.
    if (cursors) {
        menu_->addSeparator();
        AddCursorsItem(*cursors);
        AddUnitsItem(QT_TRANSLATE_NOOP("ChartMenu", "Время в секундах"), &AxisUnits::seconds,
                     &ChartViewState::SetTimeInSeconds);
        AddUnitsItem(QT_TRANSLATE_NOOP("ChartMenu", "Подписи осей"), &AxisUnits::titles, &ChartViewState::SetAxisTitles);
        AddUnitsItem(QT_TRANSLATE_NOOP("ChartMenu", "Оформление для отчёта"), &AxisUnits::report,
                     &ChartViewState::SetReportStyle);
    }
    chart.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&chart, &QWidget::customContextMenuRequested, this, &ChartMenu::Popup);
    // The keyboard's way to a context menu, which the window system gives
    // for the menu key only: at the pointer when it is over the chart,
    // else in the chart's middle.
    auto* keys = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), &chart, nullptr, nullptr, Qt::WidgetShortcut);
    connect(keys, &QShortcut::activated, this, [this] {
        const QPoint pointer = chart_.mapFromGlobal(QCursor::pos());
        Popup(chart_.rect().contains(pointer) ? pointer : chart_.rect().center());
    });
    new FocusMark(chart);
}

void ChartMenu::AddCursorsItem(ChartCursors& cursors)
{
    QAction* item = menu_->addAction(QString());
    SetTranslatedText(*item, "ChartMenu", QT_TRANSLATE_NOOP("ChartMenu", "Курсоры A и B"));
    item->setCheckable(true);
    connect(item, &QAction::toggled, &cursors,
            [this, &cursors](bool shown) { run_([&cursors, shown] { cursors.SetShown(shown); }); });
    connect(&cursors, &ChartCursors::Changed, item, [item, &cursors] { item->setChecked(cursors.IsShown()); });
}

void ChartMenu::AddUnitsItem(const char* text, bool AxisUnits::*shown, void (ChartViewState::*set)(bool))
{
    ChartViewState& view = chart_.View();
    QAction* item = menu_->addAction(QString());
    SetTranslatedText(*item, "ChartMenu", text);
    item->setCheckable(true);
    connect(item, &QAction::toggled, &view,
            [this, &view, set](bool on) { run_([&view, set, on] { (view.*set)(on); }); });
    connect(&view, &ChartViewState::Changed, item, [item, &view, shown] { item->setChecked(view.Units().*shown); });
}

void ChartMenu::AddEntryItem(const char* context, const char* text, std::function<bool(int)> offered,
                             std::function<void(int)> command)
{
    QAction* action = AddItem(text, [this, command = std::move(command)] { command(entryAt_); });
    SetTranslatedText(*action, context, text);
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

QAction* ChartMenu::AddItem(const char* text, std::function<void()> command)
{
    QAction* action = menu_->addAction(QString(), this, [this, command = std::move(command)] { run_(command); });
    SetTranslatedText(*action, "ChartMenu", text);
    return action;
}

QString ChartMenu::AskPath(const QString& caption, const QStringList& filters, std::size_t& chosen)
{
    QString asked = filters[static_cast<qsizetype>(chosen)];
    const QString path = askSavePath_(caption, folder_, filters.join(QStringLiteral(";;")), &asked);
    if (path.isEmpty())
        return path;
    folder_ = QFileInfo(path).absolutePath();
    // A filter the dialog did not offer counts as the first.
    chosen = static_cast<std::size_t>(std::max(qsizetype{0}, filters.indexOf(asked)));
    return path;
}

void ChartMenu::SaveImage()
{
    const QString path =
        AskPath(QCoreApplication::translate("ChartMenu", "Сохранить изображение"), FiltersOf(kImageTypes), imageType_);
    if (path.isEmpty())
        return;
    // A typed suffix says what the user wants, whatever the filter.
    if (const std::optional<ImageFormat> typed = ChartExporter::FormatOfName(path))
        return exporter_.SaveImage(path, *typed);
    const ImageType& type = kImageTypes[imageType_];
    exporter_.SaveImage(WithSuffix(path, type.suffix), type.format);
}

void ChartMenu::SaveCsv()
{
    const QString path =
        AskPath(QCoreApplication::translate("ChartMenu", "Экспорт данных в CSV"), FiltersOf(kCsvTypes), csvType_);
    if (!path.isEmpty())
        exporter_.SaveCsv(WithSuffix(path, "csv"), kCsvTypes[csvType_].style);
}
