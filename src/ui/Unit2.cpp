#include "ui/Unit2.h"

#include "experiments/Settings.h"
#include "ui/ErrorTexts.h"
#include "ui/FormGeometry.h"
#include "ui/ToolWindows.h"
#include "ui_Unit2.h"

#include <QWindow>

#include <utility>

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* mainWindow, std::optional<TitleBar> titleBar)
    : ui_(std::make_unique<Ui::TForm2>()), mainWindow_(mainWindow), titleBar_(std::move(titleBar))
{
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this);
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    CloseOnEscape(*this);
    SetLimit(Settings{}.run.limit);
}

TForm2::~TForm2() = default;

void TForm2::SetLimit(std::int64_t limit)
{
    limit_ = limit;
    setWindowTitle(RefusedLoadText(limit));
    // A minimum rather than a resize: fitting the window to its frame, once
    // the frame is known, does not narrow it again.
    if (titleBar_)
        setMinimumWidth(WidthShowingCaption(*titleBar_, windowTitle()));
}

void TForm2::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        SetLimit(limit_);
    QWidget::changeEvent(event);
}

void TForm2::Show()
{
    if (mainWindow_) {
        winId();
        windowHandle()->setTransientParent(mainWindow_->windowHandle());
    }
    show();
    raise();
}
