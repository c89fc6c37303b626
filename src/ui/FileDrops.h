#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMimeData;
class QWidget;

// A window that opens a file dropped on it from the desktop's file manager:
// one local file at a time, handed to `open` as its path.
class FileDrops final : public QObject {
public:
    FileDrops(QWidget& window, std::function<void(const QString& path)> open);

    // The one local file the data holds, or nothing.
    static QString DroppedFile(const QMimeData& data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> open_;
};
