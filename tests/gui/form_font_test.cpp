// The form's font where the desktop sets one: the desktop's family, as large
// as the captions the form sized its controls for allow.

#include "ui/FormFont.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <string>

namespace {

QFont PointFont(const char* family, qreal points)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    return font;
}

// A form drawn around its captions in its designed font: a button as
// narrow as its caption, a label near the right edge, a tool bar.
class CaptionedForm {
public:
    explicit CaptionedForm(const QFont& designed)
    {
        form_.setFont(designed);
        form_.resize(420, 160);
        button_->setGeometry(8, 8, 0, 0);
        button_->resize(button_->sizeHint());
        label_->move(220, 60);
        label_->adjustSize();
        bar_->addAction(QStringLiteral("Параметры"));
        bar_->setGeometry(8, 110, 200, 32);
    }

    QWidget& Form() { return form_; }

    // Whether each caption shows whole in its control's room in this font.
    bool Fits(const QFont& font)
    {
        const QFont before = form_.font();
        form_.setFont(font);
        const bool fits = button_->sizeHint().width() <= button_->width() &&
                          button_->sizeHint().height() <= button_->height() &&
                          label_->x() + label_->sizeHint().width() <= form_.width() &&
                          bar_->sizeHint().width() <= bar_->width() && bar_->sizeHint().height() <= bar_->height();
        form_.setFont(before);
        return fits;
    }

private:
    QWidget form_;
    QPushButton* button_ = new QPushButton(QStringLiteral("Реакция по выходам Мд и О"), &form_);
    QLabel* label_ = new QLabel(QStringLiteral("Максимальные значения"), &form_);
    QToolBar* bar_ = new QToolBar(&form_);
};

struct DesktopFontCase {
    const char* family;
    qreal points;
};

TEST(FormFont, TheDesktopsFamilyAtTheLargestSizeUpToItsOwnAtWhichEveryCaptionFits)
{
    const QFont designed = PointFont("Liberation Sans", 8);
    for (const DesktopFontCase& d : {DesktopFontCase{"DejaVu Sans", 9},
                                 DesktopFontCase{"Cantarell", 11}, DesktopFontCase{"DejaVu Sans", 20},
                                 DesktopFontCase{"Liberation Serif", 14}}) {
        const std::string what = std::string(d.family) + " " + std::to_string(d.points);
        CaptionedForm form(designed);
        const QFont desktop = PointFont(d.family, d.points);
        // The form's own font, which is the one it is changed in while sizes are
        // tried.
        const QFont chosen = FormFontFor(form.Form(), form.Form().font(), desktop);
        EXPECT_EQ(form.Form().font(), designed) << what << ": the form's font is left as it was";
        if (chosen == designed) {
            EXPECT_FALSE(form.Fits(PointFont(d.family, 8))) << what << ": the form's own only where nothing fits";
            continue;
        }
        EXPECT_EQ(chosen.family(), desktop.family()) << what;
        EXPECT_LE(chosen.pointSizeF(), d.points) << what;
        EXPECT_GE(chosen.pointSizeF(), 8) << what;
        EXPECT_TRUE(form.Fits(chosen)) << what;
        if (chosen.pointSizeF() < d.points) {
            EXPECT_FALSE(form.Fits(PointFont(d.family, chosen.pointSizeF() + 1))) << what << ": the largest that fits";
        }
    }
}

TEST(FormFont, AFormOfTheDesktopsFamilyAtItsOwnSizeKeepsIt)
{
    // Nothing is wider than the form was drawn for.
    const QFont designed = PointFont("DejaVu Sans", 9);
    CaptionedForm form(designed);
    EXPECT_EQ(FormFontFor(form.Form(), designed, designed), designed);
}

TEST(FormFont, WhereThePlatformPlacesWindowsTheFormKeepsItsDesignedFont)
{
    const QFont designed = PointFont("Liberation Sans", 8);
    CaptionedForm form(designed);
    FollowDesktopFont(form.Form(), designed);
    EXPECT_EQ(form.Form().font(), designed);
}

} // namespace
