#include "ui/SettingTexts.h"

#include "ui/ParametersWindow.h"

#include <algorithm>
#include <array>

namespace {

const std::array<SettingGroupText, 6> kGroups{{
    {"model", QT_TRANSLATE_NOOP("ParametersWindow", "Модель двигателя"), 0},
    {"run", QT_TRANSLATE_NOOP("ParametersWindow", "Опыт"), 0},
    {"gauss", QT_TRANSLATE_NOOP("ParametersWindow", "Гауссовская нагрузка"), 0},
    {"uniform", QT_TRANSLATE_NOOP("ParametersWindow", "Равномерная нагрузка"), 1},
    {"step", QT_TRANSLATE_NOOP("ParametersWindow", "Ступенчатая нагрузка"), 1},
    {"supply", QT_TRANSLATE_NOOP("ParametersWindow", "Питание"), 1},
}};

const std::array<SettingRowText, 34> kRows{{
    {"model.kind", QT_TRANSLATE_NOOP("ParametersWindow", "Модель"), "",
     QT_TRANSLATE_NOOP("ParametersWindow",
                       "three-state — модель Md, Omega и K; dq — асинхронная машина пятого порядка в осях d-q")},
    {"model.J", QT_TRANSLATE_NOOP("ParametersWindow", "Момент инерции")},
    {"model.Mk", QT_TRANSLATE_NOOP("ParametersWindow", "Постоянная момента в уравнении K"), "",
     QT_TRANSLATE_NOOP("ParametersWindow",
                       "Не критический момент: у статической характеристики модели нет точки опрокидывания")},
    {"model.sk", QT_TRANSLATE_NOOP("ParametersWindow", "Множитель постоянной времени"), "",
     QT_TRANSLATE_NOOP("ParametersWindow", "Постоянная времени модели T = sk / w0")},
    {"model.p", QT_TRANSLATE_NOOP("ParametersWindow", "Число пар полюсов"), "",
     QT_TRANSLATE_NOOP("ParametersWindow", "Целое число не меньше 1")},
    {"model.dt", QT_TRANSLATE_NOOP("ParametersWindow", "Шаг интегрирования"), "",
     QT_TRANSLATE_NOOP("ParametersWindow", "Больше min(2 T, J / (2 p Mk T)) опыт не придёт к покою")},
    {"model.w0", QT_TRANSLATE_NOOP("ParametersWindow", "Угловая частота питания"), "",
     QT_TRANSLATE_NOOP("ParametersWindow", "Без нагрузки ротор приходит к скорости w0 / p")},
    {"model.Rs", QT_TRANSLATE_NOOP("ParametersWindow", "Сопротивление статора")},
    {"model.Rr", QT_TRANSLATE_NOOP("ParametersWindow", "Приведённое сопротивление ротора")},
    {"model.Lls", QT_TRANSLATE_NOOP("ParametersWindow", "Индуктивность рассеяния статора")},
    {"model.Llr", QT_TRANSLATE_NOOP("ParametersWindow", "Приведённая индуктивность рассеяния ротора")},
    {"model.Lm", QT_TRANSLATE_NOOP("ParametersWindow", "Индуктивность намагничивания")},
    {"model.U", QT_TRANSLATE_NOOP("ParametersWindow", "Действующее напряжение фазной обмотки")},
    {"model.integrator", QT_TRANSLATE_NOOP("ParametersWindow", "Метод интегрирования"), "",
     QT_TRANSLATE_NOOP("ParametersWindow", "rk4 — классический метод Рунге — Кутты; euler — явный метод Эйлера")},
    {"run.steps", QT_TRANSLATE_NOOP("ParametersWindow", "Число шагов")},
    {"run.limit", QT_TRANSLATE_NOOP("ParametersWindow", "Предел нагрузки")},
    {"run.seed", QT_TRANSLATE_NOOP("ParametersWindow", "Начальное число"),
     QT_TRANSLATE_NOOP("ParametersWindow", "от часов")},
    {"gauss.mean", QT_TRANSLATE_NOOP("ParametersWindow", "Среднее")},
    {"gauss.sd", QT_TRANSLATE_NOOP("ParametersWindow", "Стандартное отклонение")},
    {"uniform.low", QT_TRANSLATE_NOOP("ParametersWindow", "Нижняя граница")},
    {"uniform.high", QT_TRANSLATE_NOOP("ParametersWindow", "Верхняя граница")},
    {"uniform.levels", QT_TRANSLATE_NOOP("ParametersWindow", "Число уровней")},
    {"step.load", QT_TRANSLATE_NOOP("ParametersWindow", "Нагрузка"),
     QT_TRANSLATE_NOOP("ParametersWindow", "из поля Mc")},
    {"step.profile", QT_TRANSLATE_NOOP("ParametersWindow", "Профиль")},
    {"step.on", QT_TRANSLATE_NOOP("ParametersWindow", "Включение")},
    {"step.off", QT_TRANSLATE_NOOP("ParametersWindow", "Выключение"),
     QT_TRANSLATE_NOOP("ParametersWindow", "min(1000, steps)")},
    {"step.ramp", QT_TRANSLATE_NOOP("ParametersWindow", "Нарастание")},
    {"step.k", QT_TRANSLATE_NOOP("ParametersWindow", "Коэффициент вентилятора")},
    {"step.amplitude", QT_TRANSLATE_NOOP("ParametersWindow", "Амплитуда")},
    {"step.period", QT_TRANSLATE_NOOP("ParametersWindow", "Период")},
    {"supply.dip_on", QT_TRANSLATE_NOOP("ParametersWindow", "Начало провала напряжения"),
     QT_TRANSLATE_NOOP("ParametersWindow", "нет")},
    {"supply.dip_off", QT_TRANSLATE_NOOP("ParametersWindow", "Конец провала"),
     QT_TRANSLATE_NOOP("ParametersWindow", "до конца опыта")},
    {"supply.dip_level", QT_TRANSLATE_NOOP("ParametersWindow", "Напряжение в провале"), "",
     QT_TRANSLATE_NOOP("ParametersWindow", "Доля от U")},
    {"supply.reverse_on", QT_TRANSLATE_NOOP("ParametersWindow", "Реверс (перемена двух фаз)"),
     QT_TRANSLATE_NOOP("ParametersWindow", "нет")},
}};

QString UnitText(Unit unit)
{
    switch (unit) {
    case Unit::None:
        break;
    case Unit::KilogramSquareMetre:
        return ParametersWindow::tr("кг·м²");
    case Unit::NewtonMetre:
        return ParametersWindow::tr("Н·м");
    case Unit::NewtonMetreSecondSquared:
        return ParametersWindow::tr("Н·м·с²");
    case Unit::RadianPerSecond:
        return ParametersWindow::tr("рад/с");
    case Unit::Second:
        return ParametersWindow::tr("с");
    case Unit::Step:
        return ParametersWindow::tr("шаг");
    case Unit::Steps:
        return ParametersWindow::tr("шагов");
    case Unit::Ohm:
        return ParametersWindow::tr("Ом");
    case Unit::Henry:
        return ParametersWindow::tr("Гн");
    case Unit::Volt:
        return ParametersWindow::tr("В");
    }
    return {};
}

} // namespace

QString Latin(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::span<const SettingGroupText> SettingGroups()
{
    return kGroups;
}

const SettingRowText& SettingRow(std::string_view name)
{
    return *std::find_if(kRows.begin(), kRows.end(), [&](const SettingRowText& row) { return row.name == name; });
}

QString SettingLabel(const SettingSpec& spec)
{
    const QString unit = UnitText(spec.unit);
    return SettingText(SettingRow(spec.name).what) + QLatin1Char(' ') + Latin(spec.Key()) +
           (unit.isEmpty() ? QString() : QStringLiteral(", ") + unit);
}

namespace {

// What a report shows of a value: its field's text, or what an unset one
// means.
QString ShownValue(const SettingSpec& spec, const std::optional<SettingValue>& value)
{
    return value ? QString::fromStdString(FieldText(value)) : SettingText(SettingRow(spec.name).unset);
}

} // namespace

QString SettingText(const char* text)
{
    return *text ? ParametersWindow::tr(text) : QString();
}

ReportTable SettingsReportTable(const Settings& settings)
{
    ReportTable table{ParametersWindow::tr("Параметры опыта"),
                      {ParametersWindow::tr("Параметр"), ParametersWindow::tr("Значение"),
                       ParametersWindow::tr("По умолчанию"), ParametersWindow::tr("Изменён")},
                      {}};
    for (const SettingInForce& setting : SettingsInForce(settings))
        table.rows << QStringList{SettingLabel(*setting.spec), ShownValue(*setting.spec, setting.value),
                                  ShownValue(*setting.spec, setting.spec->defaultValue),
                                  setting.changed ? ParametersWindow::tr("да") : QString()};
    return table;
}

std::string FieldText(const std::optional<SettingValue>& value)
{
    if (!value)
        return {};
    if (const auto* text = std::get_if<std::string>(&*value))
        return *text;
    return ValueText(*value);
}
