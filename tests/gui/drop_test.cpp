// Files dropped on the main window from a file manager open as the menu's
// items open them.

#include "ChartWindowFixture.h"

#include "chart/ChartPins.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

namespace {

class Drops : public ChartWindow {
protected:
    QString Write(const QString& name, const QByteArray& text) const
    {
        const QString path = folder_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    // Drags the files over the main window and drops them; whether the
    // window took them.
    bool Drop(const QList<QUrl>& urls) const
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(300, 300);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form1_.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form1_.get(), &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }

    QTemporaryDir folder_;
};

TEST_F(Drops, AnExperimentFileOpensIntoTheSettings)
{
    const QString path = Write(QStringLiteral("lab.toml"), "[model]\nJ = 0.0344\n");
    ASSERT_TRUE(Drop({QUrl::fromLocalFile(path)}));
    EXPECT_EQ(form1_->SettingsInForce().model.J, 0.0344);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(Drops, ASessionFileOpensAsASessionWithItsPins)
{
    RunStepResponse(QStringLiteral("10"));
    Trigger(QStringLiteral("Закрепить графики"));
    const std::size_t pins = form1_->Tools().pins->Pinned().size();
    ASSERT_EQ(pins, 2U);
    form1_->WriteSession(folder_.filePath(QStringLiteral("lab.session.toml")).toStdString());
    Click("Button2");
    form1_->Tools().pins->Clear();
    ASSERT_TRUE(Drop({QUrl::fromLocalFile(folder_.filePath(QStringLiteral("lab.session.toml")))}));
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ(form1_->Tools().pins->Pinned().size(), pins);
    EXPECT_FALSE(form1_->Series(RunKind::Step, Quantity::Md).Points().empty()) << "the session's step response again";
}

TEST_F(Drops, OnlyOneLocalFileIsTaken)
{
    const QString path = Write(QStringLiteral("lab.toml"), "[model]\nJ = 0.0344\n");
    EXPECT_FALSE(Drop({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}));
    EXPECT_FALSE(Drop({QUrl(QStringLiteral("https://example.org/lab.toml"))}));
    EXPECT_FALSE(Drop({}));
    EXPECT_EQ(form1_->SettingsInForce().model.J, Settings{}.model.J);
}

TEST_F(Drops, AFileThatIsNeitherIsRefusedNamingWhy)
{
    const QString path = Write(QStringLiteral("notes.toml"), "[model]\nJ = -1\n");
    ASSERT_TRUE(Drop({QUrl::fromLocalFile(path)}));
    ASSERT_EQ(errors_.size(), 1U);
    EXPECT_NE(errors_.front().find("J"), std::string::npos) << errors_.front();
    EXPECT_EQ(form1_->SettingsInForce().model.J, Settings{}.model.J);
}

} // namespace
