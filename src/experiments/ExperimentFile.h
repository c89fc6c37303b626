#pragma once

#include "experiments/Settings.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// Experiment files: the settings as TOML, one table per group of names
// ([model], [run], [gauss], [uniform], [step]), so a lecturer can write one
// by hand and comment it. toml++ reads and writes them behind this type.
//
// Reading is bounded, for files from anywhere: larger than kLargestFile,
// binary data and deep nesting are refused with a message. Every error is a
// SettingsError whose message starts with the file's name, and its line and
// column where the error has a place: "lab.toml:3:5: model.J must be a
// number above 0, not -1".
// Where files gave settings their values, and each value as the file wrote
// it, so that an error found once the settings are complete can point there.
class WrittenValues {
public:
    void Note(std::string_view name, Place place, std::string text);
    // The setting was given again, not by a file.
    void Forget(std::string_view name);
    // The error placed where its setting was written, a refused value
    // quoted as written; unchanged when no file wrote it.
    SettingsError Placed(const SettingsError& error) const;

private:
    struct Written {
        Place place;
        std::string text;
    };
    std::map<std::string, Written, std::less<>> values_;
};

class ExperimentFile {
public:
    static constexpr std::size_t kLargestFile = std::size_t{1} << 20;

    // The file's settings over base: what the file leaves out keeps base's
    // value. The result is not checked, so later files and settings given on
    // the command line can still complete it; CheckSettings comes last.
    // Notes in written where each value it gives stands.
    static Settings Load(const std::string& path, const Settings& base, WrittenValues* written = nullptr);

    // The same for a file's text already read; source names it in messages.
    static Settings Parse(std::string_view text, std::string_view source, const Settings& base,
                          WrittenValues* written = nullptr);

    // A complete file: every setting, the optional ones (step.load,
    // run.seed) when they are set; each number as the shortest text that
    // reads back to the same bits.
    static std::string Text(const Settings& settings);

    // Replaces the file at path with Text(settings), whole or not at all.
    static void Save(const std::string& path, const Settings& settings);

    // The file's text holding settings, changed only where its values differ:
    // each such value is rewritten where it stands, a value the file lacks
    // is added at the end of its table (a missing table at the end of the
    // file), and one the settings leave unset loses its line. Comments,
    // blanks, order and line ends stay as written. None when the text is
    // not an experiment file, or a value to change stands in an inline
    // table or shares its line.
    static std::optional<std::string> Edited(std::string_view text, const Settings& settings);

    // The text with the comment ("# " and comment) ending the line where
    // the named setting's value stands, in place of a comment that ended
    // it: a fit notes how sure it is of each value it wrote. None where the
    // text does not set it on a line of its own.
    static std::optional<std::string> Commented(std::string_view text, std::string_view name,
                                                std::string_view comment);

    // Saves the settings into the file at path, whole or not at all: into
    // its own text where there is one that can be edited so, else whole
    // once mayRewrite agrees. Whether it was saved.
    static bool SaveKeeping(const std::string& path, const Settings& settings,
                            const std::function<bool()>& mayRewrite);
};

// Sets the named setting from its text as a file writes the value, except
// that a text may leave out its quotes: "0.0344", "2", "ramp", "\"ramp\"".
// This is the path of the command line's --set and of the window's fields.
void SetSettingText(Settings& settings, std::string_view name, std::string_view text);
