#include "ui/ToolDocks.h"

#include "ui/ScreenFit.h"
#include "ui/ToolWindows.h"

#include <QDockWidget>
#include <QEvent>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

// A docked tool window's room: as large as the tool asks for where the
// column has the room, and scrolling where the screen gives the column less
// than the tool's smallest size.
class DockRoom final : public QScrollArea {
public:
    explicit DockRoom(QWidget& tool)
    {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(&tool);
    }

    // The tool's own, never less than its smallest, where the library's
    // would cap it at a few dozen lines.
    QSize sizeHint() const override
    {
        const QWidget& tool = *widget();
        return tool.sizeHint().expandedTo(tool.minimumSizeHint()).expandedTo(tool.minimumSize());
    }
};

// What a dock holds: the tool's room, and above it, while the dock floats,
// a button that docks it again. A floating dock's title bar is drawn by the
// compositor, or by Qt for it, and a double click on it never reaches the
// dock: without the button the way back would be only the menu.
class DockContent final : public QWidget {
public:
    DockContent(QDockWidget& dock, QWidget& tool) : back_(new QToolButton(this))
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        back_->setObjectName(QStringLiteral("dockBack"));
        back_->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
        back_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        back_->setAutoRaise(true);
        // As wide as the tool lets it be: the column's room, which Qt keeps
        // from the floating window for when the dock comes back, is the
        // tool's alone.
        back_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        layout->addWidget(back_, 0, Qt::AlignLeft);
        layout->addWidget(new DockRoom(tool));
        Retranslate();
        back_->setVisible(dock.isFloating());
        connect(&dock, &QDockWidget::topLevelChanged, back_, &QWidget::setVisible);
        connect(back_, &QToolButton::clicked, &dock, [&dock] { dock.setFloating(false); });
    }

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::LanguageChange)
            Retranslate();
        QWidget::changeEvent(event);
    }

private:
    void Retranslate() { back_->setText(ToolDocks::tr("Вернуть в главное окно")); }

    QToolButton* back_;
};

} // namespace

ToolDocks::ToolDocks(QWidget& main) : QMainWindow(&main), main_(main)
{
    // A main window of Qt's is always a window of its own until told.
    setWindowFlags(Qt::Widget);
    setDockNestingEnabled(true);
    hide();
    main_.installEventFilter(this);
}

ToolDocks::~ToolDocks()
{
    // A floating dock closes as it is deleted with the column, and must not
    // make a column half gone fit itself.
    for (const QDockWidget* dock : findChildren<QDockWidget*>())
        disconnect(dock, nullptr, this, nullptr);
}

ToolDocks& ToolDocks::Of(QWidget& main)
{
    if (auto* docks = main.findChild<ToolDocks*>(QString(), Qt::FindDirectChildrenOnly))
        return *docks;
    return *new ToolDocks(main);
}

void ToolDocks::Show(QWidget& tool)
{
    QDockWidget& dock = DockFor(tool);
    // A floated dock comes back into the column: the compositor neither
    // raises a window on request nor passes a double click on the title bar
    // it lets Qt draw to the dock, so this is the way back.
    dock.setFloating(false);
    dock.show();
    Fit();
    // Raised once in the column, which may have put it among tabs.
    dock.raise();
}

QDockWidget* ToolDocks::DockOf(const QWidget& tool)
{
    // Within its room in the dock, or alone, a window whose parent is the
    // main window.
    for (QWidget* parent = tool.parentWidget(); parent; parent = parent->isWindow() ? nullptr : parent->parentWidget())
        if (auto* dock = qobject_cast<QDockWidget*>(parent))
            return dock;
    return nullptr;
}

QDockWidget& ToolDocks::DockFor(QWidget& tool)
{
    if (QDockWidget* dock = DockOf(tool))
        return *dock;
    auto* dock = new QDockWidget(tool.windowTitle(), this);
    dock->setObjectName(tool.objectName());
    // A change of language retitles the tool, and so its dock.
    connect(&tool, &QWidget::windowTitleChanged, dock, &QDockWidget::setWindowTitle);
    // Taken into the dock, the tool window is a window no more.
    dock->setWidget(new DockContent(*dock, tool));
    tool.show();
    addDockWidget(Qt::RightDockWidgetArea, dock, Qt::Vertical);
    connect(dock, &QDockWidget::visibilityChanged, this, &ToolDocks::Fit);
    connect(dock, &QDockWidget::topLevelChanged, this, &ToolDocks::Fit);
    KeepEscapeFor(tool, false);
    connect(dock, &QDockWidget::topLevelChanged, &tool, [&tool](bool floating) { KeepEscapeFor(tool, floating); });
    return *dock;
}

std::vector<QDockWidget*> ToolDocks::Docked() const
{
    std::vector<QDockWidget*> docked;
    for (QDockWidget* dock : findChildren<QDockWidget*>())
        if (!dock->isFloating() && !dock->isHidden())
            docked.push_back(dock);
    return docked;
}

void ToolDocks::TabifyWhereTooTall()
{
    const std::vector<QDockWidget*> docked = Docked();
    // Each dock needs its preferred height, or this much where it prefers
    // more: squeezed below it, the experiment's settings show hardly one
    // field and the measurements hardly a row.
    constexpr int kUseful = 200;
    int needed = 0;
    for (const QDockWidget* dock : docked)
        needed += std::min(dock->sizeHint().height(), kUseful);
    const int room = RoomOnScreen(main_).height();
    if (docked.size() < 2 || (minimumSizeHint().height() <= room && needed <= room))
        return;
    for (QDockWidget* dock : docked)
        if (dock != docked.front() && !tabifiedDockWidgets(docked.front()).contains(dock))
            tabifyDockWidget(docked.front(), dock);
}

void ToolDocks::Fit()
{
    TabifyWhereTooTall();
    const bool anyDocked = !Docked().empty();
    const QSize form = DesignedSize(main_) - added_;
    QSize room(0, 0);
    if (anyDocked) {
        // As wide as the docks ask for while the main window stays within
        // the screen, and never narrower than they can be.
        const QSize screenRoom = RoomOnScreen(main_) - QSize(form.width(), 0);
        room = sizeHint().boundedTo(screenRoom).expandedTo(minimumSizeHint());
    }
    // Taken before the new minimum, which may already widen the window.
    const int width = main_.width() + room.width() - room_.width();
    const QSize minimum(form.width() + room.width(), std::max(form.height(), room.height()));
    room_ = room;
    added_ = minimum - form;
    SetDesignedSize(main_, minimum);
    main_.resize(width, std::max(main_.height(), main_.minimumHeight()));
    Place();
}

void ToolDocks::Place()
{
    setGeometry(main_.width() - room_.width(), 0, room_.width(), main_.height());
    setVisible(!room_.isEmpty());
}

bool ToolDocks::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        Place();
    return false;
}
