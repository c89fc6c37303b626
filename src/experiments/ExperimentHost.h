#pragma once

#include <string>

class Trace;
struct Settings;

// What a run needs from the window that hosts it.
class ExperimentHost {
public:
    virtual ~ExperimentHost() = default;

    // The settings the next run uses, checked.
    virtual const Settings& SettingsInForce() const = 0;
    // Text of the load input box.
    virtual std::string LoadText() const = 0;
    // Position of the progress bar, 0 to 100.
    virtual void SetProgress(int position) = 0;
    // Series1 ... Series6 for n from 1 to 6.
    virtual Trace& Series(int n) = 0;
    virtual void SetMdMaxText(const std::string& text) = 0;
    virtual void SetOmegaMaxText(const std::string& text) = 0;
    // Shows the window that tells the user the typed load was refused.
    virtual void ShowAlert() = 0;
};
