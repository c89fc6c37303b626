#pragma once

class QAction;

// Texts of actions made in code rather than in a form follow the language as
// the forms' do: each action keeps its Russian source text and the context
// it is translated in (both literals that outlive it, marked for lupdate with
// QT_TRANSLATE_NOOP), and is given the translation now and at every change.

void SetTranslatedText(QAction& action, const char* context, const char* source);

// Gives every such action of the application's widgets its text in the
// language now installed.
void RetranslateActions();
