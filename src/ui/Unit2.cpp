#include "ui/Unit2.h"

#include "ui/FormGeometry.h"
#include "ui_Unit2.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TForm2>())
{
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this);
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Некорректно введенное значение Мс<30"));
}

TForm2::~TForm2() = default;

void TForm2::Show()
{
    show();
    raise();
}
