#include "ui/FormAnchors.h"

#include "ui/ScreenFit.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

QRect Anchored(const QRect& designed, Anchors anchors, QSize extra)
{
    QRect placed = designed;
    if (anchors.right) {
        if (anchors.left)
            placed.setWidth(designed.width() + extra.width());
        else
            placed.moveLeft(designed.left() + extra.width());
    } else if (extra.width() < 0) {
        placed.setWidth(std::max(0, designed.width() + extra.width()));
    }
    if (anchors.bottom) {
        if (anchors.top)
            placed.setHeight(designed.height() + extra.height());
        else
            placed.moveTop(designed.top() + extra.height());
    }
    return placed;
}

VerticalSqueeze::VerticalSqueeze(const std::vector<QRect>& controls)
{
    std::vector<std::pair<int, int>> spans;
    for (const QRect& control : controls)
        spans.emplace_back(control.top(), control.bottom() + 1);
    std::ranges::sort(spans);
    int end = INT_MIN;
    for (const auto& [top, bottom] : spans) {
        if (top > end) {
            if (!bands_.empty())
                slack_ += std::max(0, top - end - kGap);
            bands_.push_back({top, slack_});
        }
        end = std::max(end, bottom);
    }
}

int VerticalSqueeze::Top(int top, int by) const
{
    by = std::clamp(by, 0, slack_);
    // The last band starting at or above the control's top holds it.
    const auto band = std::ranges::upper_bound(bands_, top, {}, &Band::top);
    if (band == bands_.begin() || slack_ == 0)
        return top;
    const std::int64_t given = std::int64_t{by} * std::prev(band)->giveAbove / slack_;
    return top - static_cast<int>(given);
}

FormAnchors::FormAnchors(QWidget& window) : QObject(&window), window_(window)
{
    window_.installEventFilter(this);
}

void FormAnchors::Anchor(QWidget& control, Anchors anchors)
{
    controls_.push_back({&control, control.geometry(), anchors});
    std::vector<QRect> topKept;
    for (const Control& kept : controls_)
        if (kept.anchors.top && !kept.anchors.bottom)
            topKept.push_back(kept.designed);
    squeeze_ = VerticalSqueeze(topKept);
    SetShrinkable(window_, Give());
    Apply();
}

QSize FormAnchors::Give() const
{
    int width = INT_MAX;
    int height = squeeze_.Slack();
    for (const auto& [control, designed, anchors] : controls_) {
        if (anchors.left && anchors.right)
            width = std::min(width, std::max(0, designed.width() - kSmallestStretch));
        if (anchors.top && anchors.bottom)
            height = std::min(height, std::max(0, designed.height() - kSmallestStretch));
    }
    return {width == INT_MAX ? 0 : width, height};
}

bool FormAnchors::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        Apply();
    return false;
}

void FormAnchors::Apply() const
{
    // No smaller than the window may be: a window the window manager has
    // not yet brought to its minimum shows the form as it is at that size.
    const QSize extra = (window_.size() - DesignedSize(window_))
                            .expandedTo((window_.minimumSize() - DesignedSize(window_)).boundedTo(QSize(0, 0)));
    for (const auto& [control, designed, anchors] : controls_) {
        QRect placed = Anchored(designed, anchors, extra);
        if (anchors.top && !anchors.bottom && extra.height() < 0)
            placed.moveTop(squeeze_.Top(designed.top(), -extra.height()));
        const bool stretched = (anchors.left && anchors.right) || (anchors.top && anchors.bottom);
        if (stretched || (!anchors.right && extra.width() < 0))
            control->setGeometry(placed);
        else
            control->move(placed.topLeft());
    }
}
