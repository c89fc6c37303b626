#include "ui/LabTexts.h"

#include <QCoreApplication>

namespace {

// The context the texts are translated in.
struct LabTexts {
    Q_DECLARE_TR_FUNCTIONS(LabTexts)
};

QString LabText(const std::string& text)
{
    return QString::fromStdString(text);
}

QString MeasuredBody(const lab::MeasuredProblem& p)
{
    switch (p.fault) {
    case lab::MeasuredFault::CannotRead:
        return LabTexts::tr("файл не прочитан: %1").arg(LabText(p.text));
    case lab::MeasuredFault::FileTooLarge:
        return LabTexts::tr("файл больше %1 байт").arg(p.count);
    case lab::MeasuredFault::BinaryData:
        return LabTexts::tr("байт %1 не бывает в тексте: это не CSV").arg(LabText(p.text));
    case lab::MeasuredFault::Empty:
        return LabTexts::tr("файл пуст: нет строки заголовков");
    case lab::MeasuredFault::NoTime:
        return LabTexts::tr("нет столбца времени t; заголовки файла: %1").arg(LabText(p.text));
    case lab::MeasuredFault::NoQuantity:
        return LabTexts::tr("нет ни одного столбца Md, Omega, Is или ia; заголовки файла: %1").arg(LabText(p.text));
    case lab::MeasuredFault::UnknownColumn:
        return LabTexts::tr("в файле нет столбца '%1'").arg(LabText(p.text));
    case lab::MeasuredFault::RoleTwice:
        return LabTexts::tr("столбец '%1' означает то же, что и другой столбец; у каждой величины один столбец")
            .arg(LabText(p.text));
    case lab::MeasuredFault::FieldCount:
        return LabTexts::tr("в строке %1 значений, а заголовков %2").arg(p.count).arg(p.expected);
    case lab::MeasuredFault::NotANumber:
        return LabTexts::tr("'%1' — не конечное число").arg(LabText(p.text));
    case lab::MeasuredFault::TimeNotIncreasing:
        return LabTexts::tr("время %1 не больше предыдущего; время должно расти от строки к строке")
            .arg(LabText(p.text));
    case lab::MeasuredFault::TimeMissing:
        return LabTexts::tr("нет времени t; оно нужно в каждой строке");
    case lab::MeasuredFault::TooFewSamples:
        return LabTexts::tr("строк с измерениями меньше %1").arg(p.count);
    }
    return LabText(p.text);
}

} // namespace

QString ErrorText(const lab::MeasuredProblem& problem)
{
    QString at = LabText(problem.file);
    if (problem.line > 0)
        at += LabTexts::tr(": строка %1").arg(problem.line);
    if (problem.column > 0)
        at += LabTexts::tr(", столбец %1").arg(problem.column);
    return at + QStringLiteral(": ") + MeasuredBody(problem);
}

QString ErrorText(const lab::FitProblem& problem)
{
    const QString setting = LabText(problem.setting);
    switch (problem.fault) {
    case lab::FitFault::NotFittable:
        return LabTexts::tr("%1 не подбирается для этой модели").arg(setting);
    case lab::FitFault::FittedTwice:
        return LabTexts::tr("%1 назван дважды").arg(setting);
    case lab::FitFault::NothingToFit:
        return LabTexts::tr("не выбрано, что подбирать");
    case lab::FitFault::NothingToCompare:
        return LabTexts::tr("ни одно измерение не попадает во время опыта: сравнивать нечего");
    case lab::FitFault::StartOnBound:
        return LabTexts::tr("%1 начинается на границе допустимого, %2; подбор идёт только внутри границ")
            .arg(setting)
            .arg(problem.value);
    case lab::FitFault::StartRunFailed:
        return LabTexts::tr("опыт с начальными значениями не закончился");
    }
    return setting;
}
