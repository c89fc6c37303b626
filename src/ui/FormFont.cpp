#include "ui/FormFont.h"

#include "ui/WindowSystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QToolBar>
#include <QWidget>

#include <utility>
#include <vector>

namespace {

// The controls whose captions must show whole, with the room each has: a
// button's or the tool bar's own size, a label's (which takes the size its
// text needs) the width to the form's right edge. No smaller than the
// caption takes in the form's own font, which the form was drawn around.
std::vector<std::pair<const QWidget*, QSize>> CaptionRooms(const QWidget& form)
{
    std::vector<std::pair<const QWidget*, QSize>> rooms;
    for (const QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QSize needed = control->sizeHint();
        if (qobject_cast<const QAbstractButton*>(control) || qobject_cast<const QToolBar*>(control))
            rooms.emplace_back(control, control->size().expandedTo(needed));
        else if (const auto* label = qobject_cast<const QLabel*>(control); label && !label->text().isEmpty())
            rooms.emplace_back(control, QSize(form.width() - label->x(), QWIDGETSIZE_MAX).expandedTo(needed));
    }
    return rooms;
}

bool CaptionsFit(const std::vector<std::pair<const QWidget*, QSize>>& rooms)
{
    for (const auto& [control, room] : rooms) {
        const QSize needed = control->sizeHint();
        if (needed.width() > room.width() || needed.height() > room.height())
            return false;
    }
    return true;
}

} // namespace

QFont FormFontFor(QWidget& form, QFont designed, const QFont& desktop)
{
    const QFont before = form.font();
    form.setFont(designed);
    const std::vector<std::pair<const QWidget*, QSize>> rooms = CaptionRooms(form);
    QFont chosen = designed;
    QFont tried = desktop;
    // Whole points from the desktop's size down to the form's.
    for (qreal points = desktop.pointSizeF(); points >= designed.pointSizeF(); points -= 1) {
        tried.setPointSizeF(points);
        form.setFont(tried);
        if (CaptionsFit(rooms)) {
            chosen = tried;
            break;
        }
    }
    form.setFont(before);
    return chosen;
}

void FollowDesktopFont(QWidget& form, const QFont& designed)
{
    if (PlatformPlacesWindows())
        return;
    form.setFont(FormFontFor(form, designed, QApplication::font()));
}
