#pragma once

#include "ui/Language.h"

#include <optional>
#include <span>

class ChartViewState;
class QWidget;

// What the window keeps between starts in the user's settings (QSettings):
// the time chart's view toggles (seconds, axis titles, the style for
// reports) and where each tool window last stood, by its object name.
// Nothing is kept before the window first closes, so a first start is as
// it always was.
void RestoreRemembered(ChartViewState& view, std::span<QWidget* const> tools);
void Remember(const ChartViewState& view, std::span<QWidget* const> tools);

// The language last chosen in the window's menu, if one was.
std::optional<Language> RememberedLanguage();
void RememberLanguage(Language language);
