#pragma once

#include "ChartWindowFixture.h"

#include "experiments/Settings.h"
#include "ui/ParametersWindow.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <fstream>
#include <string>

// The main window with the parameters window's fields in the user's hands,
// and a folder for the experiment files the test writes.
class Parameters : public ChartWindow {
protected:
    static inline const QString kCaption = QStringLiteral("модель асинхронного двигателя");

    ParametersWindow& Window() const { return form1_->Parameters(); }

    QLineEdit& Field(const std::string& name) const
    {
        auto* field = Window().findChild<QLineEdit*>(QString::fromStdString(name).replace('.', '_'));
        EXPECT_NE(field, nullptr) << name;
        return *field;
    }

    QComboBox& Choice(const std::string& name) const
    {
        auto* choice = Window().findChild<QComboBox*>(QString::fromStdString(name).replace('.', '_'));
        EXPECT_NE(choice, nullptr) << name;
        return *choice;
    }

    QLabel& ReasonLabel(const std::string& name) const
    {
        return *Window().findChild<QLabel*>(QString::fromStdString(name).replace('.', '_') + "_reason");
    }

    QString Reason(const std::string& name) const { return ReasonLabel(name).text(); }

    // Picks the model in its drop-down as the user does.
    void PickModel(ModelKind kind) const
    {
        QComboBox& choice = Choice("model.kind");
        choice.setCurrentIndex(kind == ModelKind::Dq ? 1 : 0);
        emit choice.activated(choice.currentIndex());
    }

    // Replaces the field's text as the user does, in one edit: pasted, as
    // typing key by key would apply each allowed text on the way.
    void Type(const std::string& name, const QString& text) const
    {
        QLineEdit& field = Field(name);
        QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            return QTest::keyClick(&field, Qt::Key_Backspace);
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(field.text(), text);
    }

    std::string WriteFile(const char* name, const std::string& text) const
    {
        const std::string path = folder_.filePath(QString::fromLatin1(name)).toStdString();
        std::ofstream(path) << text;
        return path;
    }

    QTemporaryDir folder_;
};
