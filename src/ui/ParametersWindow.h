#pragma once

#include "experiments/Settings.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class QLabel;
struct SettingSpec;

namespace Ui {
class ParametersWindow;
}

// The window "Параметры опыта": a field per setting, grouped as the
// experiment files group them. Every edit reads all fields through the same
// setter and checks as files and the batch tool's --set; each field whose
// text is not allowed, on its own or with the others, is marked with the
// reason beside it, and the settings in force change only when every field
// is allowed. A step past the one the model stays stable at is marked as a
// warning and still put in force. Fields whose values differ from the
// defaults stand out. Closing it only hides it.
class ParametersWindow : public QWidget {
    Q_OBJECT

public:
    explicit ParametersWindow(QWidget* parent = nullptr);
    ~ParametersWindow() override;


    // The settings the next run uses: the fields' values when they were
    // last all allowed.
    const Settings& InForce() const { return inForce_; }

    // The experiment file's name while the settings in force are what was
    // last opened from it or saved to it; empty otherwise.
    QString FileName() const;

    // The reason each refused field is refused, by setting name; empty when
    // every field is allowed.
    const std::map<std::string, std::string, std::less<>>& Refused() const { return refused_; }

    // Shows the settings in the fields and puts them in force.
    void ShowSettings(const Settings& settings);

    // Reads and checks an experiment file, then shows its settings and puts
    // them in force. Raises SettingsError, naming the file, and then changes
    // nothing.
    void Open(const std::string& path);

    // Writes the settings in force to an experiment file, whole or not at
    // all. Refused while a field is refused: the file would not hold what
    // the fields show. An existing file keeps its comments and layout, and
    // one that cannot be edited so is rewritten whole only if the user
    // agrees. Whether it was saved.
    bool Save(const std::string& path);

    // Shows settings that something other than an experiment file keeps, as
    // a session does: no file goes with them, and they are not unsaved until
    // changed.
    void ShowKept(const Settings& settings);

    // The settings in force differ from the file they came from, or, with
    // no file, from those kept elsewhere or the defaults; the load is the
    // experiment's only once it has a file.
    bool Unsaved() const;

    // Puts the load of the step response in force, as the load box and the
    // last step response give it.
    void SetLoad(std::int64_t load);

    // Asked before another file's settings replace unsaved ones; whether
    // to go on.
    void SetReplaceGuard(std::function<bool()> mayReplace) { mayReplace_ = std::move(mayReplace); }

    // Opens the file as OpenWithDialog opens the one chosen: after asking
    // about unsaved settings, and telling of an error rather than raising it.
    void OpenAsked(const QString& path);

signals:
    // The settings in force, or the file they belong to, changed.
    void SettingsChanged();

public slots:
    void OpenWithDialog();
    // Saves into the file the settings came from, or asks where when there
    // is none; whether it was saved.
    bool SaveToFile();
    bool SaveWithDialog();

protected:
    // Shows every text again in the language now in force.
    void changeEvent(QEvent* event) override;

private:
    // The boxes' titles, the labels, and the fields' placeholders and hints,
    // in the language in force.
    void ShowTexts();
    // Reads every field, marks the refused and the changed ones, and puts
    // the settings in force when none is refused.
    void ReadFields();
    // A row per setting, in its group's box: a label, a field and the
    // reason the field is refused.
    void AddRows();
    // A drop-down for a choice of names, a line to type in otherwise.
    QWidget* AddField(const SettingSpec& spec, QWidget& box);
    void Mark(std::string_view name, const Settings& read, const Settings& defaults);
    QWidget& Field(std::string_view name) const;
    QString TextOf(std::string_view name) const;
    QLabel& Reason(std::string_view name) const;
    // Opens the file choose names, once unsaved settings may be replaced;
    // none if it names none.
    void OpenChosen(const std::function<QString()>& choose);

    std::unique_ptr<Ui::ParametersWindow> ui_;
    Settings inForce_;
    std::map<std::string, std::string, std::less<>> refused_;
    // The warning on each field whose value is allowed but unwise (a step
    // past the stable one), by setting name; none while the model's fields
    // cannot say.
    std::map<std::string, QString, std::less<>> warned_;
    // The file last opened or saved, and the settings it holds; with no
    // file, the settings kept elsewhere, or the defaults.
    QString file_;
    Settings fileSettings_;
    QString folder_;
    std::function<bool()> mayReplace_ = [] { return true; };
};
