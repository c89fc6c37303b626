// The program's application object makes Qt's own dialogs speak Russian.

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>

namespace {

struct ButtonText {
    QDialogButtonBox::StandardButton button;
    const char* text;
};

void PrintTo(const ButtonText& b, std::ostream* out) { *out << b.text; }

class StandardButton : public testing::TestWithParam<ButtonText> {};

TEST_P(StandardButton, ReadsRussian)
{
    const ButtonText& expected = GetParam();
    const QDialogButtonBox box(expected.button);
    EXPECT_EQ(box.button(expected.button)->text(), QString::fromUtf8(expected.text));
}

// The buttons of the chart's save dialogs. (Qt's Russian texts keep "OK"
// in Latin letters, so the message box's button cannot tell.)
INSTANTIATE_TEST_SUITE_P(OfTheSaveDialogs, StandardButton,
                         testing::Values(ButtonText{QDialogButtonBox::Cancel, "Отмена"},
                                         ButtonText{QDialogButtonBox::Save, "Сохранить"}));

} // namespace
