#include "ui/FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <utility>

FileDrops::FileDrops(QWidget& window, std::function<void(const QString& path)> open)
    : QObject(&window), open_(std::move(open))
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

QString FileDrops::DroppedFile(const QMimeData& data)
{
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    return urls.front().toLocalFile();
}

bool FileDrops::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = DroppedFile(*drop->mimeData());
    if (path.isEmpty())
        return false;
    drop->acceptProposedAction();
    // Opened after the drop is done: the file manager waits for it, and
    // opening may ask the user first.
    if (event->type() == QEvent::Drop)
        QMetaObject::invokeMethod(this, [this, path] { open_(path); }, Qt::QueuedConnection);
    return true;
}
