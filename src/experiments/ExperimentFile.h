#pragma once

#include "experiments/Settings.h"

#include <cstddef>
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
class ExperimentFile {
public:
    static constexpr std::size_t kLargestFile = std::size_t{1} << 20;

    // The file's settings over base: what the file leaves out keeps base's
    // value. The result is not checked, so later files and settings given on
    // the command line can still complete it; CheckSettings comes last.
    static Settings Load(const std::string& path, const Settings& base);

    // The same for a file's text already read; source names it in messages.
    static Settings Parse(std::string_view text, std::string_view source, const Settings& base);

    // A complete file: every setting, the optional ones (step.load,
    // run.seed) when they are set; each number as the shortest text that
    // reads back to the same bits.
    static std::string Text(const Settings& settings);

    // Replaces the file at path with Text(settings), whole or not at all.
    static void Save(const std::string& path, const Settings& settings);
};

// Sets the named setting from its text as a file writes the value, except
// that a text may leave out its quotes: "0.0344", "2", "ramp", "\"ramp\"".
// This is the path of the command line's --set and of the window's fields.
void SetSettingText(Settings& settings, std::string_view name, std::string_view text);
