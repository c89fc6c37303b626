#include "ui/ChartMenu.h"

#include "ui/Application.h"
#include "ui/ChartExporter.h"
#include "ui/TraceChart.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QStringList>

#include <algorithm>
#include <array>

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

// The dialog leaves the suffix to the user; a name typed without one gets
// the chosen filter's.
QString WithSuffix(const QString& path, const char* suffix)
{
    return QFileInfo(path).suffix().isEmpty() ? path + '.' + QString::fromLatin1(suffix) : path;
}

} // namespace

ChartMenu::ChartMenu(TraceChart& chart, ChartExporter& exporter)
    : exporter_(exporter), menu_(new QMenu(&chart)),
      askSavePath_([&chart](const QString& caption, const QString& filters, QString* chosenFilter) {
          return QFileDialog::getSaveFileName(&chart, caption, QString(), filters, chosenFilter);
      })
{
    menu_->addAction(QStringLiteral("Сбросить масштаб"), &chart, &TraceChart::ResetZoom);
    menu_->addSeparator();
    // A file that cannot be written is reported here, not unwound through
    // the menu's event handling.
    menu_->addAction(QStringLiteral("Сохранить изображение…"), [this] { RunCommand([this] { SaveImage(); }); });
    menu_->addAction(QStringLiteral("Экспорт данных в CSV…"), [this] { RunCommand([this] { SaveCsv(); }); });
    menu_->addAction(QStringLiteral("Копировать изображение"), [this] { exporter_.CopyImage(); });
}

void ChartMenu::Popup(QPoint globalPosition)
{
    menu_->popup(globalPosition);
}

void ChartMenu::SaveImage()
{
    QStringList filters;
    for (const ImageType& type : kImageTypes)
        filters << QString::fromUtf8(type.filter);
    QString chosen = filters.front();
    const QString path =
        askSavePath_(QStringLiteral("Сохранить изображение"), filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return;
    // A filter the dialog did not offer counts as the first.
    const ImageType& type = kImageTypes[static_cast<std::size_t>(std::max(qsizetype{0}, filters.indexOf(chosen)))];
    exporter_.SaveImage(WithSuffix(path, type.suffix), type.format);
}

void ChartMenu::SaveCsv()
{
    QString chosen;
    const QString path = askSavePath_(QStringLiteral("Экспорт данных в CSV"), QStringLiteral("CSV (*.csv)"), &chosen);
    if (!path.isEmpty())
        exporter_.SaveCsv(WithSuffix(path, "csv"));
}
