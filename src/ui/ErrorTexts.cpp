#include "ui/ErrorTexts.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// The context the table's texts are translated in.
struct ErrorTexts {
    Q_DECLARE_TR_FUNCTIONS(ErrorTexts)
};

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QString BoundText(const Bound& bound)
{
    return bound.setting.empty() ? Text(bound.value)
                                 : QStringLiteral("%1 (%2)").arg(Text(bound.setting), Text(bound.value));
}

// The rule a text broke, in the window's language: the parser describes it
// in English only.
QString TomlFaultText(TomlFault fault)
{
    switch (fault) {
    case TomlFault::EndOfFile:
        return ErrorTexts::tr("файл кончается посреди записи: не закрыта кавычка, скобка или значение");
    case TomlFault::Redefined:
        return ErrorTexts::tr("ключ или таблица записаны второй раз");
    case TomlFault::ControlCharacter:
        return ErrorTexts::tr("управляющий знак внутри текста; из них допустима только табуляция");
    case TomlFault::Unexpected:
        return ErrorTexts::tr("здесь по правилам TOML должно быть другое: значение, ключ, знак = или конец строки");
    case TomlFault::Other:
        break;
    }
    return ErrorTexts::tr("запись не по правилам TOML");
}

// The problem without the file it lies in.
QString Body(const Problem& p)
{
    const QString values = ErrorTexts::tr("значения '%1': ").arg(Text(p.value));
    switch (p.kind) {
    case ProblemKind::NotAllowed:
        return ErrorTexts::tr("%1: нужно %2, а не %3").arg(Text(p.setting), AllowedText(p.allowed), Text(p.value));
    case ProblemKind::TimeConstantUnusable:
        return ErrorTexts::tr("%1 / %2: нужно конечное число больше 0, а получилось %3 (%1 = %4, %2 = %5)")
            .arg(Text(p.from.at(0).setting), Text(p.from.at(1).setting), Text(p.value), Text(p.from[0].value),
                 Text(p.from[1].value));
    case ProblemKind::StepPastStableLimit:
        return ErrorTexts::tr("%1 = %2 больше %3 — наибольшего шага, при котором метод Эйлера сохраняет покой "
                              "модели устойчивым: опыт не придёт к покою и, скорее всего, переполнится")
            .arg(Text(p.setting), Text(p.value), Text(p.from.at(0).value));
    case ProblemKind::OtherModelKind:
        return (p.from.at(0).value == "\"dq\""
                    ? ErrorTexts::tr("%1 — параметр модели three-state, а %2 = %3 выбирает модель dq")
                    : ErrorTexts::tr("%1 — параметр модели dq, а %2 = %3 выбирает модель three-state"))
            .arg(Text(p.setting), Text(p.from[0].setting), Text(p.from[0].value));
    case ProblemKind::UnknownSetting:
        return ErrorTexts::tr("нет параметра '%1'; может быть, '%2'?").arg(Text(p.value), Text(p.nearest));
    case ProblemKind::UnknownTable:
        return ErrorTexts::tr("нет таблицы [%1]; может быть, [%2]?").arg(Text(p.value), Text(p.nearest));
    case ProblemKind::FileTooLarge:
        return ErrorTexts::tr("больше %1 МиБ — наибольшего размера файла опыта").arg(p.count >> 20);
    case ProblemKind::BinaryData:
        return ErrorTexts::tr("содержит двоичные данные (байт %1); файл опыта — текст").arg(Text(p.value));
    case ProblemKind::BeyondAscii:
        return ErrorTexts::tr("содержит знаки вне ASCII за пределами комментариев и текстовых значений");
    case ProblemKind::KeysTooDeep:
        return ErrorTexts::tr("ключи глубже %1 уровней не принимаются; файл опыта состоит из простых таблиц")
            .arg(p.count);
    case ProblemKind::ValuesTooDeep:
        return ErrorTexts::tr("значения глубже %1 уровней не принимаются; файл опыта содержит простые значения")
            .arg(p.count);
    case ProblemKind::NotToml:
        return ErrorTexts::tr("ошибка TOML: %1").arg(TomlFaultText(p.tomlFault));
    case ProblemKind::TooManyValues:
        return values + ErrorTexts::tr("в семействе не больше %1 значений").arg(p.count);
    case ProblemKind::NotARange:
        return values + ErrorTexts::tr("диапазон пишется как A:B:STEP");
    case ProblemKind::RangeNotNumbers:
        return values + ErrorTexts::tr("в A:B:STEP нужны три конечных числа");
    case ProblemKind::RangeStepNotAboveZero:
        return values + ErrorTexts::tr("STEP должен быть больше 0");
    case ProblemKind::RangeEndBelowStart:
        return values + ErrorTexts::tr("B не может быть меньше A");
    case ProblemKind::EmptyValue:
        return values + ErrorTexts::tr("нужен список значений через запятую, без пустых");
    case ProblemKind::NewerFormat:
        return ErrorTexts::tr("сеанс формата %1 записан более новой версией программы; эта читает формат %2")
            .arg(Text(p.value))
            .arg(p.count);
    case ProblemKind::BadEntry:
        return ErrorTexts::tr("'%1' нет или записано не так, как записывает сеанс программа").arg(Text(p.setting));
    case ProblemKind::CutShort:
        return ErrorTexts::tr("сеанс оборван: в нём нет таблицы [%1], которой кончается каждый сеанс; файл записан "
                              "или скопирован не целиком")
            .arg(Text(p.setting));
    case ProblemKind::HoldsOtherThanSaid:
        return ErrorTexts::tr("'%1' — %2, а в сеансе их %3: часть файла потеряна")
            .arg(Text(p.setting))
            .arg(p.count)
            .arg(Text(p.value));
    case ProblemKind::CannotRead:
    case ProblemKind::RunFailed:
        break;
    }
    // The system's or the toolkit's own words.
    return Text(p.value);
}

} // namespace

QString AllowedText(const Allowed& allowed)
{
    switch (allowed.kind) {
    case AllowedKind::FiniteNumber:
        return ErrorTexts::tr("конечное число");
    case AllowedKind::NumberAboveZero:
        return ErrorTexts::tr("число больше 0");
    case AllowedKind::NumberAtLeast:
        return ErrorTexts::tr("конечное число не меньше %1").arg(BoundText(allowed.min));
    case AllowedKind::WholeBetween:
        return ErrorTexts::tr("целое число от %1 до %2").arg(BoundText(allowed.min), BoundText(allowed.max));
    case AllowedKind::WholeNumberAtLeast:
        return ErrorTexts::tr("целое число не меньше %1").arg(BoundText(allowed.min));
    case AllowedKind::OneOf:
        break;
    }
    QStringList names;
    for (const std::string& name : allowed.choices)
        names << QLatin1Char('"') + Text(name) + QLatin1Char('"');
    return ErrorTexts::tr("одно из %1").arg(names.join(QStringLiteral(", ")));
}

QString RefusedLoadText(std::int64_t limit)
{
    return ErrorTexts::tr("Некорректно введенное значение Мс<%1").arg(limit);
}

QString ErrorText(const Problem& problem)
{
    const Place& place = problem.place;
    if (place.unread)
        return ErrorTexts::tr("не удалось прочитать '%1': %2").arg(Text(place.file), Body(problem));
    if (place.file.empty())
        return Body(problem);
    const QString at = place.line > 0 ? QStringLiteral(":%1:%2").arg(place.line).arg(place.column) : QString();
    return Text(place.file) + at + QStringLiteral(": ") + Body(problem);
}
