#include "ui/MeasuredTexts.h"

#include <QCoreApplication>

namespace {

// The context the texts are translated in.
struct MeasuredTexts {
    Q_DECLARE_TR_FUNCTIONS(MeasuredTexts)
};

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QString Body(const lab::MeasuredProblem& p)
{
    switch (p.fault) {
    case lab::MeasuredFault::CannotRead:
        return MeasuredTexts::tr("файл не прочитан: %1").arg(Text(p.text));
    case lab::MeasuredFault::FileTooLarge:
        return MeasuredTexts::tr("файл больше %1 байт").arg(p.count);
    case lab::MeasuredFault::BinaryData:
        return MeasuredTexts::tr("байт %1 не бывает в тексте: это не CSV").arg(Text(p.text));
    case lab::MeasuredFault::Empty:
        return MeasuredTexts::tr("файл пуст: нет строки заголовков");
    case lab::MeasuredFault::NoTime:
        return MeasuredTexts::tr("нет столбца времени t; заголовки файла: %1").arg(Text(p.text));
    case lab::MeasuredFault::NoQuantity:
        return MeasuredTexts::tr("нет ни одного столбца Md, Omega, Is или ia; заголовки файла: %1").arg(Text(p.text));
    case lab::MeasuredFault::UnknownColumn:
        return MeasuredTexts::tr("в файле нет столбца '%1'").arg(Text(p.text));
    case lab::MeasuredFault::RoleTwice:
        return MeasuredTexts::tr("столбец '%1' означает то же, что и другой столбец; у каждой величины один столбец")
            .arg(Text(p.text));
    case lab::MeasuredFault::FieldCount:
        return MeasuredTexts::tr("в строке %1 значений, а заголовков %2").arg(p.count).arg(p.expected);
    case lab::MeasuredFault::NotANumber:
        return MeasuredTexts::tr("'%1' — не конечное число").arg(Text(p.text));
    case lab::MeasuredFault::TimeNotIncreasing:
        return MeasuredTexts::tr("время %1 не больше предыдущего; время должно расти от строки к строке")
            .arg(Text(p.text));
    case lab::MeasuredFault::TimeMissing:
        return MeasuredTexts::tr("нет времени t; оно нужно в каждой строке");
    case lab::MeasuredFault::TooFewSamples:
        return MeasuredTexts::tr("строк с измерениями меньше %1").arg(p.count);
    }
    return Text(p.text);
}

} // namespace

QString ErrorText(const lab::MeasuredProblem& problem)
{
    QString at = Text(problem.file);
    if (problem.line > 0)
        at += MeasuredTexts::tr(": строка %1").arg(problem.line);
    if (problem.column > 0)
        at += MeasuredTexts::tr(", столбец %1").arg(problem.column);
    return at + QStringLiteral(": ") + Body(problem);
}
