// Preloaded into the unmodified program (LD_PRELOAD) to time what its user
// sees: from the launch to the main window's first painted frame, and from
// the release of a button to the end of the first frame after it that
// repaints the chart.
// Writes one line per measurement to the file named by PAINT_PROBE_LOG;
// PAINT_PROBE_LAUNCH_NS is the wall-clock launch time in nanoseconds.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class PaintProbe final : public QObject {
public:
    PaintProbe() : log_(std::getenv("PAINT_PROBE_LOG"), std::ios::app)
    {
        if (const char* launch = std::getenv("PAINT_PROBE_LAUNCH_NS"))
            launchNs_ = std::stoll(launch);
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            if (auto* button = qobject_cast<QAbstractButton*>(receiver)) {
                pendingClick_ = button->objectName().toStdString();
                clickNs_ = NowNs();
            }
            return false;
        }
        if (event->type() == QEvent::Paint && receiver->parent() &&
            receiver->parent()->objectName() == QLatin1String("Chart1")) {
            chartPainted_ = true;
            return false;
        }
        auto* window = qobject_cast<QWidget*>(receiver);
        if (event->type() != QEvent::UpdateRequest || !window || !window->isWindow() ||
            window->objectName() != QLatin1String("TForm1"))
            return false;
        // Deliver the frame now, so its end can be timed: painting and the
        // flush to the screen both happen inside this call. A click counts
        // as painted with the first frame that repaints the chart's lines.
        chartPainted_ = false;
        receiver->event(event);
        const std::int64_t paintedNs = NowNs();
        if (!firstPaintDone_ && launchNs_ > 0)
            log_ << "first_paint_ms " << (paintedNs - launchNs_) / 1e6 << std::endl;
        firstPaintDone_ = true;
        if (!pendingClick_.empty() && chartPainted_) {
            log_ << "click_to_paint_ms " << pendingClick_ << ' ' << (paintedNs - clickNs_) / 1e6 << std::endl;
            pendingClick_.clear();
        }
        return true;
    }

private:
    std::ofstream log_;
    std::int64_t launchNs_ = 0;
    bool firstPaintDone_ = false;
    bool chartPainted_ = false;
    std::string pendingClick_;
    std::int64_t clickNs_ = 0;
};

void InstallProbe()
{
    if (std::getenv("PAINT_PROBE_LOG"))
        QCoreApplication::instance()->installEventFilter(new PaintProbe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
