#include "ui/MeasurementTables.h"

#include "ui/ScreenFit.h"

#include <QHeaderView>
#include <QList>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>
#include <QTableWidget>

#include <algorithm>
#include <climits>

namespace {

// Where a cell keeps the text a copy gives.
constexpr int kExactRole = Qt::UserRole;

// The first nameColumns cells are names, the rest numbers. Whether a
// cell's text changed.
bool SetRow(QTableWidget& table, int row, const Cells& cells, int nameColumns)
{
    bool changed = false;
    for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
        QTableWidgetItem* item = table.item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            // Names to the left, numbers to the right.
            item->setTextAlignment(column < nameColumns ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            table.setItem(row, column, item);
            changed = true;
        }
        const Cell& cell = cells[column];
        if (item->text() == cell.shown && item->data(kExactRole).toString() == cell.exact)
            continue;
        changed = true;
        item->setText(cell.shown);
        item->setData(kExactRole, cell.exact);
        item->setToolTip(cell.exact);
    }
    return changed;
}

} // namespace

void FitToCells(QTableWidget& table)
{
    table.resizeColumnsToContents();
    const int frame = 2 * table.frameWidth();
    const int header = table.horizontalHeader()->sizeHint().height();
    const QVariant formScrolls = table.property("formScrollsSideways");
    if (!formScrolls.isValid())
        table.setProperty("formScrollsSideways", table.horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
    const int whole = table.horizontalHeader()->length() + frame + table.verticalScrollBar()->sizeHint().width();
    // The window's margins and a group box's beside the table.
    constexpr int kBeside = 60;
    const int room = RoomOnScreen(*table.window()).width() - kBeside;
    const bool scrollsSideways = table.property("formScrollsSideways").toBool() || whole > room;
    table.setHorizontalScrollBarPolicy(scrollsSideways ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (!table.property("formScrollsSideways").toBool())
        table.setMinimumWidth(std::min(whole, room));
    const int height = header + table.verticalHeader()->length() + frame +
                       (scrollsSideways ? table.horizontalScrollBar()->sizeHint().height() : 0);
    // A few rows in sight however short the window, one on a screen too
    // short for the four tables' few.
    constexpr int kShortScreen = 720;
    const int rowsAtLeast = table.screen()->availableGeometry().height() < kShortScreen ? 1 : 3;
    const int fewRows = header + frame + rowsAtLeast * table.verticalHeader()->defaultSectionSize();
    table.setMinimumHeight(std::min(height, fewRows));
    table.setMaximumHeight(height);
}

void ShowRows(QTableWidget& widget, const MeasuredTable& table)
{
    // A table with no headings keeps its form's.
    const auto columns = static_cast<int>(table.header.size());
    bool changed = widget.rowCount() != static_cast<int>(table.rows.size());
    if (columns > 0) {
        changed = changed || widget.columnCount() != columns;
        widget.setColumnCount(columns);
    }
    for (int column = 0; column < columns; ++column) {
        if (!widget.horizontalHeaderItem(column))
            widget.setHorizontalHeaderItem(column, new QTableWidgetItem());
        changed = changed || widget.horizontalHeaderItem(column)->text() != table.header[column];
        widget.horizontalHeaderItem(column)->setText(table.header[column]);
    }
    widget.setRowCount(static_cast<int>(table.rows.size()));
    for (int row = 0; row < widget.rowCount(); ++row)
        changed = SetRow(widget, row, table.rows[row], table.keyColumns) || changed;
    if (changed)
        FitToCells(widget);
}

QString SelectionText(const QTableWidget& table)
{
    const QList<QTableWidgetSelectionRange> ranges = table.selectedRanges();
    if (ranges.isEmpty())
        return {};
    int top = INT_MAX, bottom = INT_MIN, left = INT_MAX, right = INT_MIN;
    for (const QTableWidgetSelectionRange& range : ranges) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
        left = std::min(left, range.leftColumn());
        right = std::max(right, range.rightColumn());
    }
    // The names in the first column go with every copy, so that a
    // spreadsheet gets its rows and columns named.
    QList<int> columns{0};
    for (int column = std::max(left, 1); column <= right; ++column)
        columns << column;
    QStringList heading;
    for (int column : columns)
        heading << table.horizontalHeaderItem(column)->text();
    QStringList lines{heading.join('\t')};
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int column : columns) {
            const QTableWidgetItem* item = table.item(row, column);
            cells << (item && (column == 0 || item->isSelected()) ? item->data(kExactRole).toString() : QString());
        }
        lines << cells.join('\t');
    }
    return lines.join('\n');
}

