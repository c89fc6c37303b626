// The window in English and back: which language the locale and the
// command line choose, and every window's texts in English, with no
// Cyrillic letter left and none cut off at the windows' default sizes.

#include "ChartWindowFixture.h"

#include "toolkit/Exception.h"
#include "ui/FamilyWindow.h"
#include "ui/Language.h"
#include "ui/MeasurementsWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/Remembered.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLocale>
#include <QRegularExpression>
#include <QTableWidget>
#include <QToolBar>

namespace {

struct LocaleCase {
    const char* locale;
    Language language;
};

class LocaleLanguage : public testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleLanguage, IsRussianOnlyForRussianAndNoLocale)
{
    EXPECT_EQ(LanguageOfLocale(QLocale(QString::fromLatin1(GetParam().locale))), GetParam().language);
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleLanguage,
                         testing::Values(LocaleCase{"ru_RU", Language::Russian}, LocaleCase{"C", Language::Russian},
                                         LocaleCase{"en_US", Language::English}, LocaleCase{"en_GB", Language::English},
                                         LocaleCase{"de_DE", Language::English}, LocaleCase{"uk_UA", Language::English}));

struct ArgumentsCase {
    std::vector<std::string> given;
    std::optional<Language> chosen;
    std::vector<std::string> left;
};

class LanguageArgument : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(LanguageArgument, IsTakenOutOfTheArguments)
{
    std::vector<std::string> arguments = GetParam().given;
    EXPECT_EQ(TakeLanguageArgument(arguments), GetParam().chosen);
    EXPECT_EQ(arguments, GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, LanguageArgument,
    testing::Values(ArgumentsCase{{"lab.toml"}, std::nullopt, {"lab.toml"}},
                    ArgumentsCase{{"--lang", "en", "lab.toml"}, Language::English, {"lab.toml"}},
                    ArgumentsCase{{"lab.toml", "--lang=ru"}, Language::Russian, {"lab.toml"}},
                    // The last one given wins, as with other options.
                    ArgumentsCase{{"--lang=ru", "--lang", "en"}, Language::English, {}}));

TEST(LanguageArgument, OtherThanRuOrEnIsRefused)
{
    for (std::vector<std::string> arguments :
         {std::vector<std::string>{"--lang", "fr"}, std::vector<std::string>{"--lang"}, {"--lang="}})
        EXPECT_THROW(TakeLanguageArgument(arguments), toolkit::Exception);
}

bool HasCyrillic(const QString& text)
{
    static const QRegularExpression cyrillic(QStringLiteral("\\p{Cyrillic}"));
    return text.contains(cyrillic);
}

// Every text of a window: captions, labels, buttons, hints, placeholders,
// headings, cells, items, actions, and its charts' titles, axes, legends and
// labels; with where each was found.
class WindowTexts {
public:
    explicit WindowTexts(QWidget& window)
    {
        Add(window, window.windowTitle());
        for (QWidget* widget : window.findChildren<QWidget*>())
            AddWidget(*widget);
        AddWidget(window);
    }

    const std::vector<std::pair<QString, QString>>& All() const { return texts_; }

private:
    void Add(const QObject& where, const QString& text)
    {
        if (!text.isEmpty())
            texts_.emplace_back(where.objectName() + QStringLiteral(" (") + where.metaObject()->className() +
                                    QLatin1Char(')'),
                                text);
    }

    void AddWidget(QWidget& widget)
    {
        Add(widget, widget.toolTip());
        if (auto* label = qobject_cast<QLabel*>(&widget))
            Add(widget, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(&widget))
            Add(widget, button->text());
        if (auto* line = qobject_cast<QLineEdit*>(&widget))
            Add(widget, line->placeholderText());
        if (auto* box = qobject_cast<QGroupBox*>(&widget))
            Add(widget, box->title());
        if (auto* choice = qobject_cast<QComboBox*>(&widget))
            for (int i = 0; i < choice->count(); ++i)
                Add(widget, choice->itemText(i));
        if (auto* table = qobject_cast<QTableWidget*>(&widget))
            AddTable(*table);
        if (auto* chart = qobject_cast<QCustomPlot*>(&widget))
            AddChart(*chart);
        for (const QAction* action : widget.actions()) {
            Add(widget, action->text());
            Add(widget, action->toolTip());
        }
    }

    void AddTable(const QTableWidget& table)
    {
        for (int column = 0; column < table.columnCount(); ++column)
            if (const QTableWidgetItem* heading = table.horizontalHeaderItem(column))
                Add(table, heading->text());
        for (int row = 0; row < table.rowCount(); ++row)
            for (int column = 0; column < table.columnCount(); ++column)
                if (const QTableWidgetItem* cell = table.item(row, column))
                    Add(table, cell->text());
    }

    void AddChart(QCustomPlot& chart)
    {
        for (const QCPAxis* axis : chart.axisRect()->axes())
            Add(chart, axis->label());
        for (int i = 0; i < chart.plottableCount(); ++i)
            Add(chart, chart.plottable(i)->name());
        for (int i = 0; i < chart.itemCount(); ++i)
            if (const auto* text = qobject_cast<QCPItemText*>(chart.item(i)))
                Add(chart, text->text());
        for (int i = 0; i < chart.plotLayout()->elementCount(); ++i)
            if (const auto* title = qobject_cast<QCPTextElement*>(chart.plotLayout()->elementAt(i)))
                Add(chart, title->text());
    }

    std::vector<std::pair<QString, QString>> texts_;
};

// Whether the control's text is drawn whole at its size; a label that wraps
// its words has no width to keep.
std::optional<QString> CutOff(const QWidget& widget)
{
    if (!widget.isVisible())
        return std::nullopt;
    const auto* label = qobject_cast<const QLabel*>(&widget);
    if (label && !label->wordWrap() && !label->text().isEmpty() &&
        label->fontMetrics().boundingRect(QRect(), 0, label->text()).width() > label->contentsRect().width())
        return label->text();
    const auto* button = qobject_cast<const QAbstractButton*>(&widget);
    if (button && !button->text().isEmpty() && button->sizeHint().width() > button->width())
        return button->text();
    const auto* box = qobject_cast<const QGroupBox*>(&widget);
    if (box && box->fontMetrics().horizontalAdvance(box->title()) > box->contentsRect().width())
        return box->title();
    return std::nullopt;
}

class InEnglish : public ChartWindow {
protected:
    // The language menu names itself and Russian in Russian, so that
    // whoever reads only Russian finds them.
    QStringList LanguageMenuTexts() const
    {
        const QMenu* languages = form1_->findChild<QMenu*>(QStringLiteral("LanguageMenu"));
        QStringList texts{languages->title()};
        for (const QAction* action : languages->actions())
            texts << action->text();
        return texts;
    }

    // The change reaches the application, which passes it on to each window,
    // as the event loop would.
    static void LetLanguageChangeArrive()
    {
        for (int hop = 0; hop < 2; ++hop)
            QCoreApplication::sendPostedEvents();
    }

    void TearDown() override
    {
        Application()->SetLanguage(Language::Russian);
        ChartWindow::TearDown();
    }

    // Every window open and holding what a lab fills them with: the three
    // runs, pins, a family, the cursors, and the alert for a refused load.
    std::vector<QWidget*> EveryWindowInUse()
    {
        RunAll();
        Item(QStringLiteral("Закрепить графики"))->trigger();
        Item(QStringLiteral("Курсоры A и B"))->trigger();
        RunStepResponse(QStringLiteral("31"));
        form1_->PinFamily({"step.load", "0, 10", RunKind::Step});
        WaitForWork();
        std::vector<QWidget*> windows{form1_.get(), form2_.get(), &form1_->Measurements(), &form1_->Parameters(),
                                      &form1_->Mechanical(), &form1_->Family()};
        for (QWidget* window : windows) {
            window->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        Plane();
        return windows;
    }
};

TEST_F(InEnglish, EveryWindowShowsNoCyrillicAndNoTextCutOff)
{
    // Filled in Russian, then switched: the open windows follow.
    const std::vector<QWidget*> windows = EveryWindowInUse();
    Application()->SetLanguage(Language::English);
    LetLanguageChangeArrive();
    Plane();
    for (QWidget* window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        const WindowTexts texts(*window);
        // A label's English name does not say its key's word again ("Load
        // limit limit").
        static const QRegularExpression repeated(QStringLiteral("\\b(\\w+) \\1\\b"));
        for (const auto& [where, text] : texts.All()) {
            EXPECT_FALSE(HasCyrillic(text) && !LanguageMenuTexts().contains(text))
                << where.toStdString() << ": " << text.toStdString();
            EXPECT_FALSE(repeated.match(text).hasMatch()) << where.toStdString() << ": " << text.toStdString();
        }
        for (const QWidget* widget : window->findChildren<QWidget*>())
            if (const std::optional<QString> cut = CutOff(*widget))
                ADD_FAILURE() << widget->objectName().toStdString() << " cuts off " << cut->toStdString();
    }
    // Every entry of the tool bar stands on it, none in its overflow menu.
    const QWidget* overflow = Control<QToolBar>("ToolBar1")->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"));
    EXPECT_TRUE(!overflow || !overflow->isVisible());
}

TEST_F(InEnglish, TheMenuSwitchesOpenWindowsBothWaysAndIsRemembered)
{
    QWidget& measurements = form1_->Measurements();
    measurements.show();
    const auto choose = [this](const QString& name) {
        for (QAction* action : form1_->findChild<QMenu*>(QStringLiteral("LanguageMenu"))->actions())
            if (action->text() == name)
                action->trigger();
        LetLanguageChangeArrive();
    };
    choose(QStringLiteral("English"));
    EXPECT_EQ(RememberedLanguage(), Language::English);
    EXPECT_EQ(form1_->windowTitle(), QStringLiteral("induction motor model"));
    EXPECT_EQ(Control<QPushButton>("Button4")->text(), QStringLiteral("Step response: Md, Omega"));
    EXPECT_EQ(measurements.windowTitle(), QStringLiteral("Measurements"));
    EXPECT_NE(Item(QStringLiteral("Reset zoom")), nullptr);
    // Qt's own dialogs follow.
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
              QStringLiteral("Cancel"));

    choose(QStringLiteral("Русский"));
    EXPECT_EQ(RememberedLanguage(), Language::Russian);
    EXPECT_EQ(form1_->windowTitle(), QStringLiteral("модель асинхронного двигателя"));
    EXPECT_EQ(Control<QPushButton>("Button4")->text(), QStringLiteral("Реакция по выходам Мд и O"));
    EXPECT_EQ(measurements.windowTitle(), QStringLiteral("Измерения"));
    EXPECT_NE(Item(QStringLiteral("Сбросить масштаб")), nullptr);
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
              QStringLiteral("Отмена"));
}

} // namespace
