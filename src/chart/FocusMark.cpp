#include "chart/FocusMark.h"

#include <QFocusEvent>
#include <QPainter>

namespace {

constexpr int kWidth = 2;

bool ByKeyboard(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

} // namespace

FocusMark::FocusMark(QWidget& chart) : QWidget(&chart), chart_(chart)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    chart_.installEventFilter(this);
}

bool FocusMark::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        setGeometry(chart_.rect());
        setVisible(ByKeyboard(static_cast<QFocusEvent*>(event)->reason()));
        raise();
        break;
    case QEvent::FocusOut:
        hide();
        break;
    case QEvent::Resize:
        setGeometry(chart_.rect());
        break;
    default:
        break;
    }
    return false;
}

void FocusMark::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), kWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0, -kWidth / 2.0));
}
