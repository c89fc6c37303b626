#include "chart/TranslatedText.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace {

constexpr const char* kContext = "translationContext";
constexpr const char* kSource = "translationSource";

void Retranslate(QAction& action)
{
    const QByteArray context = action.property(kContext).toByteArray();
    const QByteArray source = action.property(kSource).toByteArray();
    action.setText(QCoreApplication::translate(context.constData(), source.constData()));
}

} // namespace

void SetTranslatedText(QAction& action, const char* context, const char* source)
{
    action.setProperty(kContext, QByteArray(context));
    action.setProperty(kSource, QByteArray(source));
    Retranslate(action);
}

void RetranslateActions()
{
    // An action is listed by every widget it was added to; it is translated
    // once per listing, which gives the same text.
    for (QWidget* widget : QApplication::allWidgets())
        for (QAction* action : widget->actions())
            if (action->property(kSource).isValid())
                Retranslate(*action);
}
