<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>ChartCurrents</name>
    <message>
        <source>Токи статора</source>
        <translation>Stator currents</translation>
    </message>
</context>
<context>
    <name>ChartExporter</name>
    <message>
        <source>Не удалось сохранить &quot;%1&quot;: %2</source>
        <translation>Could not save &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>рисунок PNG не удалось закодировать</source>
        <translation>the PNG picture could not be encoded</translation>
    </message>
</context>
<context>
    <name>ChartMenu</name>
    <message>
        <source>Рисунок PNG (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>Рисунок SVG (*.svg)</source>
        <translation>SVG picture (*.svg)</translation>
    </message>
    <message>
        <source>Документ PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>CSV для русской локали (*.csv)</source>
        <translation>CSV for a Russian locale (*.csv)</translation>
    </message>
    <message>
        <source>Сбросить масштаб</source>
        <translation>Reset zoom</translation>
    </message>
    <message>
        <source>Предыдущий масштаб</source>
        <translation>Previous zoom</translation>
    </message>
    <message>
        <source>Сохранить изображение…</source>
        <translation>Save picture…</translation>
    </message>
    <message>
        <source>Экспорт данных в CSV…</source>
        <translation>Export data to CSV…</translation>
    </message>
    <message>
        <source>Копировать изображение</source>
        <translation>Copy picture</translation>
    </message>
    <message>
        <source>Время в секундах</source>
        <translation>Time in seconds</translation>
    </message>
    <message>
        <source>Подписи осей</source>
        <translation>Axis titles</translation>
    </message>
    <message>
        <source>Оформление для отчёта</source>
        <translation>Style for reports</translation>
    </message>
    <message>
        <source>Курсоры A и B</source>
        <translation>Cursors A and B</translation>
    </message>
    <message>
        <source>Сохранить изображение</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>Экспорт данных в CSV</source>
        <translation>Export data to CSV</translation>
    </message>
</context>
<context>
    <name>ChartTools</name>
    <message>
        <source>Убрать</source>
        <translation>Remove</translation>
    </message>
</context>
<context>
    <name>ChartTracker</name>
    <message>
        <source>t = %1 с</source>
        <translation>t = %1 s</translation>
    </message>
    <message>
        <source>Шаг %1</source>
        <translation>Step %1</translation>
    </message>
    <message>
        <source>
%1 при t = %2 с: %3</source>
        <translation>
%1 at t = %2 s: %3</translation>
    </message>
</context>
<context>
    <name>ErrorTexts</name>
    <message>
        <source>значения &apos;%1&apos;: </source>
        <translation>values &apos;%1&apos;: </translation>
    </message>
    <message>
        <source>%1: нужно %2, а не %3</source>
        <translation>%1 must be %2, not %3</translation>
    </message>
    <message>
        <source>%1 / %2: нужно конечное число больше 0, а получилось %3 (%1 = %4, %2 = %5)</source>
        <translation>%1 / %2 must be a finite number above 0, but it is %3 (%1 = %4, %2 = %5)</translation>
    </message>
    <message>
        <source>%1 = %2 больше %3 — наибольшего шага, при котором метод Эйлера сохраняет покой модели устойчивым: опыт не придёт к покою и, скорее всего, переполнится</source>
        <translation>%1 = %2 is above %3, the largest step at which Euler&apos;s method keeps the model&apos;s rest stable: the run will not come to rest and will likely overflow</translation>
    </message>
    <message>
        <source>нет параметра &apos;%1&apos;; может быть, &apos;%2&apos;?</source>
        <translation>there is no setting &apos;%1&apos;; did you mean &apos;%2&apos;?</translation>
    </message>
    <message>
        <source>нет таблицы [%1]; может быть, [%2]?</source>
        <translation>there is no table [%1]; did you mean [%2]?</translation>
    </message>
    <message>
        <source>больше %1 МиБ — наибольшего размера файла опыта</source>
        <translation>larger than %1 MiB, the largest size of an experiment file</translation>
    </message>
    <message>
        <source>содержит двоичные данные (байт %1); файл опыта — текст</source>
        <translation>holds binary data (byte %1); an experiment file is text</translation>
    </message>
    <message>
        <source>содержит знаки вне ASCII за пределами комментариев и текстовых значений</source>
        <translation>holds characters beyond ASCII outside comments and text values</translation>
    </message>
    <message>
        <source>ключи глубже %1 уровней не принимаются; файл опыта состоит из простых таблиц</source>
        <translation>keys deeper than %1 levels are not accepted; an experiment file is made of plain tables</translation>
    </message>
    <message>
        <source>значения глубже %1 уровней не принимаются; файл опыта содержит простые значения</source>
        <translation>values deeper than %1 levels are not accepted; an experiment file holds plain values</translation>
    </message>
    <message>
        <source>ошибка TOML: %1</source>
        <translation>TOML error: %1</translation>
    </message>
    <message>
        <source>в семействе не больше %1 значений</source>
        <translation>a family has at most %1 values</translation>
    </message>
    <message>
        <source>диапазон пишется как A:B:STEP</source>
        <translation>a range is written A:B:STEP</translation>
    </message>
    <message>
        <source>в A:B:STEP нужны три конечных числа</source>
        <translation>A:B:STEP needs three finite numbers</translation>
    </message>
    <message>
        <source>STEP должен быть больше 0</source>
        <translation>STEP must be above 0</translation>
    </message>
    <message>
        <source>B не может быть меньше A</source>
        <translation>B cannot be below A</translation>
    </message>
    <message>
        <source>нужен список значений через запятую, без пустых</source>
        <translation>a comma-separated list of values is needed, with none empty</translation>
    </message>
    <message>
        <source>сеанс формата %1 записан более новой версией программы; эта читает формат %2</source>
        <translation>the session of format %1 was written by a newer version of the program; this one reads format %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; нет или записано не так, как записывает сеанс программа</source>
        <translation>&apos;%1&apos; is missing or not written as the program writes a session</translation>
    </message>
    <message>
        <source>конечное число</source>
        <translation>a finite number</translation>
    </message>
    <message>
        <source>число больше 0</source>
        <translation>a number above 0</translation>
    </message>
    <message>
        <source>конечное число не меньше %1</source>
        <translation>a finite number of at least %1</translation>
    </message>
    <message>
        <source>целое число от %1 до %2</source>
        <translation>a whole number from %1 to %2</translation>
    </message>
    <message>
        <source>целое число не меньше %1</source>
        <translation>a whole number of at least %1</translation>
    </message>
    <message>
        <source>одно из %1</source>
        <translation>one of %1</translation>
    </message>
    <message>
        <source>Некорректно введенное значение Мс&lt;%1</source>
        <translation>Invalid load: Mc must not exceed %1</translation>
    </message>
    <message>
        <source>не удалось прочитать &apos;%1&apos;: %2</source>
        <translation>could not read &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>файл кончается посреди записи: не закрыта кавычка, скобка или значение</source>
        <translation>the file ends inside an entry: a quote, a bracket or a value is left open</translation>
    </message>
    <message>
        <source>ключ или таблица записаны второй раз</source>
        <translation>a key or a table is given a second time</translation>
    </message>
    <message>
        <source>управляющий знак внутри текста; из них допустима только табуляция</source>
        <translation>a control character inside a text; of those only a tab is allowed</translation>
    </message>
    <message>
        <source>здесь по правилам TOML должно быть другое: значение, ключ, знак = или конец строки</source>
        <translation>TOML expects something else here: a value, a key, an = sign or the end of the line</translation>
    </message>
    <message>
        <source>запись не по правилам TOML</source>
        <translation>an entry that breaks the rules of TOML</translation>
    </message>
    <message>
        <source>сеанс оборван: в нём нет таблицы [%1], которой кончается каждый сеанс; файл записан или скопирован не целиком</source>
        <translation>the session is cut short: it lacks the [%1] table that every session ends with; the file was not written or copied whole</translation>
    </message>
    <message>
        <source>&apos;%1&apos; — %2, а в сеансе их %3: часть файла потеряна</source>
        <translation>&apos;%1&apos; says %2, but the session holds %3: part of the file is lost</translation>
    </message>
    <message>
        <source>%1 — параметр модели three-state, а %2 = %3 выбирает модель dq</source>
        <translation>%1 is a setting of the three-state model, but %2 = %3 chooses the dq model</translation>
    </message>
    <message>
        <source>%1 — параметр модели dq, а %2 = %3 выбирает модель three-state</source>
        <translation>%1 is a setting of the dq model, but %2 = %3 chooses the three-state model</translation>
    </message>
</context>
<context>
    <name>FamilyWindow</name>
    <message>
        <source>Семейство кривых</source>
        <translation>Family of curves</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>Параметр опыта, который меняется от кривой к кривой; step.load — нагрузка Mc</source>
        <translation>The setting that changes from curve to curve; step.load is the load Mc</translation>
    </message>
    <message>
        <source>Значения</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>0, 10, 20, 30 или 0:30:10</source>
        <translation>0, 10, 20, 30 or 0:30:10</translation>
    </message>
    <message>
        <source>Список через запятую или A:B:ШАГ; не больше 24 значений</source>
        <translation>A comma-separated list or A:B:STEP; at most 24 values</translation>
    </message>
    <message>
        <source>Опыт</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>Реакция по выходам Мд и O</source>
        <translation>Step response: Md, Omega</translation>
    </message>
    <message>
        <source>Гауусовское распределение</source>
        <translation>Gaussian distribution</translation>
    </message>
    <message>
        <source>Равномерное распределение</source>
        <translation>Uniform distribution</translation>
    </message>
    <message>
        <source>Каждое значение — свой опыт; его Md и Omega закрепляются на графике с этим значением в имени.</source>
        <translation>Each value is a run of its own; its Md and Omega are pinned on the chart with the value in their names.</translation>
    </message>
    <message>
        <source>Построить</source>
        <translation>Build</translation>
    </message>
</context>
<context>
    <name>FitDialog</name>
    <message>
        <source>Подбор параметров</source>
        <translation>Parameter fit</translation>
    </message>
    <message>
        <source>Что подбирать</source>
        <translation>What to fit</translation>
    </message>
    <message>
        <source>Подобрать</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Корреляция подобранных значений</source>
        <translation>Correlation of the fitted values</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Сохранить опыт…</source>
        <translation>Save experiment…</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>подбор сошёлся</source>
        <translation>the fit converged</translation>
    </message>
    <message>
        <source>итерации кончились раньше, чем подбор сошёлся: значения — лучшие из найденных</source>
        <translation>the iterations ran out before the fit converged: the values are the best found</translation>
    </message>
    <message>
        <source>подбор остановлен: значения — лучшие из найденных</source>
        <translation>the fit was stopped: the values are the best found</translation>
    </message>
    <message>
        <source>подбор не удался: ни один шаг не уменьшил ошибку</source>
        <translation>the fit failed: no step lowered the error</translation>
    </message>
    <message>
        <source>Шаговая реакция с параметрами опыта сравнивается с измерениями «%1»; подбор меняет выбранные параметры, пока сумма квадратов ошибок не станет наименьшей.</source>
        <translation>The step response with the experiment&apos;s settings is compared with the measurements &quot;%1&quot;; the fit moves the chosen settings until the sum of squared errors is least.</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>Начальное</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Подобранное</source>
        <translation>Fitted</translation>
    </message>
    <message>
        <source>Стандартная ошибка</source>
        <translation>Standard error</translation>
    </message>
    <message>
        <source>%1; прогонов: %2, итераций: %3</source>
        <translation>%1; runs: %2, iterations: %3</translation>
    </message>
    <message>
        <source>Сохранить опыт</source>
        <translation>Save experiment</translation>
    </message>
    <message>
        <source>Файлы опыта (*.toml);;Все файлы (*)</source>
        <translation>Experiment files (*.toml);;All files (*)</translation>
    </message>
</context>
<context>
    <name>LabBench</name>
    <message>
        <source>Открыть измерения…</source>
        <translation>Open measurements…</translation>
    </message>
    <message>
        <source>Подобрать параметры…</source>
        <translation>Fit settings…</translation>
    </message>
    <message>
        <source>Убрать измерения</source>
        <translation>Remove measurements</translation>
    </message>
    <message>
        <source>Открыть измерения</source>
        <translation>Open measurements</translation>
    </message>
    <message>
        <source>Измерения CSV (*.csv);;Все файлы (*)</source>
        <translation>Measurements CSV (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Подбирать не по чему: сначала откройте измерения.</source>
        <translation>Nothing to fit to: open measurements first.</translation>
    </message>
    <message>
        <source>Сеанс открыт без измерений из %1: столбец сопоставлен непонятно, «%2»; величины — t, Md, Omega, Is, ia</source>
        <translation>The session opened without the measured data from %1: the column mapping “%2” is not understood; the quantities are t, Md, Omega, Is, ia</translation>
    </message>
    <message>
        <source>Сеанс открыт без измерений: %1</source>
        <translation>The session opened without its measured data: %1</translation>
    </message>
    <message>
        <source>Сеанс открыт без измерений: файл %1 изменился после того, как сеанс был сохранён. Если он верен, откройте его снова командой «Открыть измерения…»</source>
        <translation>The session opened without its measured data: the file %1 has changed since the session was saved. If it is right, open it again with “Open measurements…”</translation>
    </message>
</context>
<context>
    <name>LabTexts</name>
    <message>
        <source>файл не прочитан: %1</source>
        <translation>the file was not read: %1</translation>
    </message>
    <message>
        <source>файл больше %1 байт</source>
        <translation>the file is larger than %1 bytes</translation>
    </message>
    <message>
        <source>байт %1 не бывает в тексте: это не CSV</source>
        <translation>byte %1 is never in text: this is not a CSV</translation>
    </message>
    <message>
        <source>файл пуст: нет строки заголовков</source>
        <translation>the file is empty: no heading row</translation>
    </message>
    <message>
        <source>нет столбца времени t; заголовки файла: %1</source>
        <translation>no time column t; the file&apos;s headings: %1</translation>
    </message>
    <message>
        <source>нет ни одного столбца Md, Omega, Is или ia; заголовки файла: %1</source>
        <translation>no column Md, Omega, Is or ia; the file&apos;s headings: %1</translation>
    </message>
    <message>
        <source>в файле нет столбца &apos;%1&apos;</source>
        <translation>the file has no column &apos;%1&apos;</translation>
    </message>
    <message>
        <source>столбец &apos;%1&apos; означает то же, что и другой столбец; у каждой величины один столбец</source>
        <translation>column &apos;%1&apos; holds the same as another column; each quantity has one column</translation>
    </message>
    <message>
        <source>в строке %1 значений, а заголовков %2</source>
        <translation>the row has %1 values where there are %2 headings</translation>
    </message>
    <message>
        <source>&apos;%1&apos; — не конечное число</source>
        <translation>&apos;%1&apos; is not a finite number</translation>
    </message>
    <message>
        <source>время %1 не больше предыдущего; время должно расти от строки к строке</source>
        <translation>time %1 is not above the one before; time must grow from row to row</translation>
    </message>
    <message>
        <source>нет времени t; оно нужно в каждой строке</source>
        <translation>no time t; every row needs one</translation>
    </message>
    <message>
        <source>строк с измерениями меньше %1</source>
        <translation>fewer than %1 rows of samples</translation>
    </message>
    <message>
        <source>: строка %1</source>
        <translation>: line %1</translation>
    </message>
    <message>
        <source>, столбец %1</source>
        <translation>, column %1</translation>
    </message>
    <message>
        <source>%1 не подбирается для этой модели</source>
        <translation>%1 cannot be fitted for this model</translation>
    </message>
    <message>
        <source>%1 назван дважды</source>
        <translation>%1 is named twice</translation>
    </message>
    <message>
        <source>не выбрано, что подбирать</source>
        <translation>nothing chosen to fit</translation>
    </message>
    <message>
        <source>ни одно измерение не попадает во время опыта: сравнивать нечего</source>
        <translation>no measured sample lies within the run: nothing to compare</translation>
    </message>
    <message>
        <source>%1 начинается на границе допустимого, %2; подбор идёт только внутри границ</source>
        <translation>%1 starts on a bound of what it allows, %2; the fit moves only within the bounds</translation>
    </message>
    <message>
        <source>опыт с начальными значениями не закончился</source>
        <translation>the run with the start values did not finish</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <source>--lang: нужно ru или en, а не &apos;%1&apos;</source>
        <translation>--lang must be ru or en, not &apos;%1&apos;</translation>
    </message>
</context>
<context>
    <name>ManualWindow</name>
    <message>
        <source>Руководство не найдено: нет файла %1. Оно ставится вместе с программой.</source>
        <translation>The manual was not found: there is no file %1. It is installed with the program.</translation>
    </message>
    <message>
        <source>Руководство</source>
        <translation>Manual</translation>
    </message>
</context>
<context>
    <name>MeasuredColumnsDialog</name>
    <message>
        <source>Столбцы измерений</source>
        <translation>Measured columns</translation>
    </message>
    <message>
        <source>Укажите, что записано в каждом столбце файла: время t в секундах и величины модели.</source>
        <translation>Say what each column of the file holds: the time t in seconds and the model&apos;s quantities.</translation>
    </message>
    <message>
        <source>Столбец файла</source>
        <translation>File column</translation>
    </message>
    <message>
        <source>Что в нём</source>
        <translation>Holds</translation>
    </message>
    <message>
        <source>— не брать</source>
        <translation>— leave out</translation>
    </message>
    <message>
        <source>t — время, с</source>
        <translation>t — time, s</translation>
    </message>
</context>
<context>
    <name>MeasuredLines</name>
    <message>
        <source>%1 (остаток подбора)</source>
        <translation>%1 (fit residual)</translation>
    </message>
    <message>
        <source>%1 (измерено)</source>
        <translation>%1 (measured)</translation>
    </message>
</context>
<context>
    <name>MeasurementsWindow</name>
    <message>
        <source>Измерения</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>Статистика на шагах, видимых на графике</source>
        <translation>Statistics over the steps in view on the chart</translation>
    </message>
    <message>
        <source>График</source>
        <translation>Trace</translation>
    </message>
    <message>
        <source>От шага</source>
        <translation>From step</translation>
    </message>
    <message>
        <source>До шага</source>
        <translation>To step</translation>
    </message>
    <message>
        <source>Точек</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Мин</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>Шаг мин</source>
        <translation>Min step</translation>
    </message>
    <message>
        <source>Макс</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Шаг макс</source>
        <translation>Max step</translation>
    </message>
    <message>
        <source>Среднее</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>СКЗ</source>
        <translation>RMS</translation>
    </message>
    <message>
        <source>СКО</source>
        <translation>SD</translation>
    </message>
    <message>
        <source>Переходная характеристика</source>
        <translation>Step characteristics</translation>
    </message>
    <message>
        <source>Нет полного прогона реакции по выходам.</source>
        <translation>No complete run of the step response.</translation>
    </message>
    <message>
        <source>Величина</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>Закреплённые реакции по выходам</source>
        <translation>Pinned step responses</translation>
    </message>
    <message>
        <source>Нет закреплённых полных прогонов реакции по выходам.</source>
        <translation>No pinned complete runs of the step response.</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Участок</source>
        <translation>Segment</translation>
    </message>
    <message>
        <source>Курсоры A и B</source>
        <translation>Cursors A and B</translation>
    </message>
    <message>
        <source>Курсоры скрыты: их показывает контекстное меню графика.</source>
        <translation>The cursors are hidden: the chart&apos;s context menu shows them.</translation>
    </message>
    <message>
        <source>установилось</source>
        <translation>settled</translation>
    </message>
    <message>
        <source>не установилось</source>
        <translation>not settled</translation>
    </message>
    <message>
        <source>Начальное значение</source>
        <translation>Initial value</translation>
    </message>
    <message>
        <source>Конечное значение</source>
        <translation>Final value</translation>
    </message>
    <message>
        <source>Значение в конце участка</source>
        <translation>Value at segment end</translation>
    </message>
    <message>
        <source>Покой модели</source>
        <translation>Model at rest</translation>
    </message>
    <message>
        <source>Установление</source>
        <translation>Settling</translation>
    </message>
    <message>
        <source>Пик</source>
        <translation>Peak</translation>
    </message>
    <message>
        <source>Шаг пика</source>
        <translation>Peak step</translation>
    </message>
    <message>
        <source>Время пика, с</source>
        <translation>Peak time, s</translation>
    </message>
    <message>
        <source>Минимум</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Шаг минимума</source>
        <translation>Minimum step</translation>
    </message>
    <message>
        <source>Время минимума, с</source>
        <translation>Minimum time, s</translation>
    </message>
    <message>
        <source>Нарастание 10–90 %, шагов</source>
        <translation>Rise 10–90 %, steps</translation>
    </message>
    <message>
        <source>Нарастание 10–90 %, с</source>
        <translation>Rise 10–90 %, s</translation>
    </message>
    <message>
        <source>Постоянная времени t63, шагов</source>
        <translation>Time constant t63, steps</translation>
    </message>
    <message>
        <source>Постоянная времени t63, с</source>
        <translation>Time constant t63, s</translation>
    </message>
    <message>
        <source>Установление в 2 %, шагов</source>
        <translation>Settling to 2 %, steps</translation>
    </message>
    <message>
        <source>Установление в 2 %, с</source>
        <translation>Settling to 2 %, s</translation>
    </message>
    <message>
        <source>Перерегулирование, %</source>
        <translation>Overshoot, %</translation>
    </message>
    <message>
        <source>Недорегулирование, %</source>
        <translation>Undershoot, %</translation>
    </message>
    <message>
        <source>наброс</source>
        <translation>load on</translation>
    </message>
    <message>
        <source>сброс</source>
        <translation>load off</translation>
    </message>
    <message>
        <source>Шаг</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Время, с</source>
        <translation>Time, s</translation>
    </message>
    <message>
        <source>разгон</source>
        <translation>run-up</translation>
    </message>
    <message>
        <source>Шаговая реакция и измерения</source>
        <translation>Step response and measurements</translation>
    </message>
    <message>
        <source>Сравнивается шаговая реакция с измерениями за общее время: откройте измерения и постройте шаговую реакцию.</source>
        <translation>The step response is compared with the measurements over their common time: open measurements and run the step response.</translation>
    </message>
    <message>
        <source>СКО ошибки</source>
        <translation>Error RMS</translation>
    </message>
    <message>
        <source>Наибольшая ошибка</source>
        <translation>Largest error</translation>
    </message>
    <message>
        <source>при t, с</source>
        <translation>at t, s</translation>
    </message>
    <message>
        <source>%1: время, с</source>
        <translation>%1: time, s</translation>
    </message>
    <message>
        <source>Время мин, с</source>
        <translation>Min time, s</translation>
    </message>
    <message>
        <source>Время макс, с</source>
        <translation>Max time, s</translation>
    </message>
</context>
<context>
    <name>MechanicalChart</name>
    <message>
        <source>Md, Н·м</source>
        <translation>Md, N·m</translation>
    </message>
    <message>
        <source>Omega, рад/с</source>
        <translation>Omega, rad/s</translation>
    </message>
</context>
<context>
    <name>MechanicalWindow</name>
    <message>
        <source>Механическая характеристика</source>
        <translation>Mechanical characteristic</translation>
    </message>
    <message>
        <source>Нагрузка (%1)</source>
        <translation>Load (%1)</translation>
    </message>
    <message>
        <source>Статическая характеристика</source>
        <translation>Static characteristic</translation>
    </message>
    <message>
        <source>Рабочая точка (%1)</source>
        <translation>Operating point (%1)</translation>
    </message>
    <message>
        <source>Рабочая точка</source>
        <translation>Operating point</translation>
    </message>
    <message>
        <source>Формула Клосса (уточнённая)</source>
        <translation>Kloss formula (refined)</translation>
    </message>
    <message>
        <source>Критическая точка</source>
        <translation>Breakdown point</translation>
    </message>
    <message>
        <source>Пусковой момент</source>
        <translation>Starting torque</translation>
    </message>
    <message>
        <source>Mk = %1 Н·м, sk = %2</source>
        <translation>Mk = %1 N·m, sk = %2</translation>
    </message>
    <message>
        <source>Mп = %1 Н·м</source>
        <translation>Mst = %1 N·m</translation>
    </message>
    <message>
        <source>Измерено</source>
        <translation>Measured</translation>
    </message>
</context>
<context>
    <name>NameplateDialog</name>
    <message>
        <source>Параметры по паспорту</source>
        <translation>Settings from the nameplate</translation>
    </message>
    <message>
        <source>Паспортные данные двигателя и отношения из каталога дают Rs, Rr, Lls = Llr и Lm машины d-q: статические характеристики схемы замещения подбираются под них.</source>
        <translation>The motor&apos;s nameplate figures and the catalogue&apos;s ratios give the d-q machine&apos;s Rs, Rr, Lls = Llr and Lm: the equivalent circuit&apos;s static figures are fitted to them.</translation>
    </message>
    <message>
        <source>Мощность на валу, Вт</source>
        <translation>Shaft power, W</translation>
    </message>
    <message>
        <source>Линейное напряжение, В</source>
        <translation>Line voltage, V</translation>
    </message>
    <message>
        <source>Схема соединения</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>звезда</source>
        <translation>star</translation>
    </message>
    <message>
        <source>треугольник</source>
        <translation>delta</translation>
    </message>
    <message>
        <source>Частота сети, Гц</source>
        <translation>Supply frequency, Hz</translation>
    </message>
    <message>
        <source>Номинальная частота вращения, об/мин</source>
        <translation>Rated speed, rpm</translation>
    </message>
    <message>
        <source>Номинальный ток, А</source>
        <translation>Rated current, A</translation>
    </message>
    <message>
        <source>cos φ</source>
        <translation>cos φ</translation>
    </message>
    <message>
        <source>КПД</source>
        <translation>Efficiency</translation>
    </message>
    <message>
        <source>Пары полюсов</source>
        <translation>Pole pairs</translation>
    </message>
    <message>
        <source>по частоте вращения</source>
        <translation>from the speed</translation>
    </message>
    <message>
        <source>Mk/Mn</source>
        <translation>Mk/Mn</translation>
    </message>
    <message>
        <source>необязательно</source>
        <translation>optional</translation>
    </message>
    <message>
        <source>Mst/Mn</source>
        <translation>Mst/Mn</translation>
    </message>
    <message>
        <source>Ist/In</source>
        <translation>Ist/In</translation>
    </message>
    <message>
        <source>Рассчитать</source>
        <translation>Estimate</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; — не число</source>
        <translation>%1: &apos;%2&apos; is not a number</translation>
    </message>
    <message>
        <source>Номинальный момент, Н·м</source>
        <translation>Rated torque, N·m</translation>
    </message>
    <message>
        <source>%1 (принято)</source>
        <translation>%1 (assumed)</translation>
    </message>
    <message>
        <source>нужно конечное число больше %1</source>
        <translation>a finite number above %1 is needed</translation>
    </message>
    <message>
        <source>нужно число больше 0 и не больше 1</source>
        <translation>a number above 0 and at most 1 is needed</translation>
    </message>
    <message>
        <source>нужно целое число не меньше 1</source>
        <translation>a whole number of at least 1 is needed</translation>
    </message>
    <message>
        <source>нужна частота вращения ниже синхронной, %1 об/мин</source>
        <translation>a speed below the synchronous one, %1 rpm, is needed</translation>
    </message>
    <message>
        <source>мощность больше потребляемой √3·U·I·cos φ = %1 Вт: КПД был бы больше 1</source>
        <translation>the power is above the input √3·U·I·cos φ = %1 W: the efficiency would pass 1</translation>
    </message>
    <message>
        <source>%1: %2, а не %3</source>
        <translation>%1: %2, not %3</translation>
    </message>
    <message>
        <source>Величина</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>По паспорту</source>
        <translation>Nameplate</translation>
    </message>
    <message>
        <source>У схемы</source>
        <translation>Circuit</translation>
    </message>
    <message>
        <source>Отклонение, %</source>
        <translation>Deviation, %</translation>
    </message>
    <message>
        <source>Rs = %1 Ом, Rr = %2 Ом, Lls = Llr = %3 Гн, Lm = %4 Гн; итераций: %5%6</source>
        <translation>Rs = %1 ohm, Rr = %2 ohm, Lls = Llr = %3 H, Lm = %4 H; iterations: %5%6</translation>
    </message>
    <message>
        <source> (не сошлось)</source>
        <translation> (did not converge)</translation>
    </message>
</context>
<context>
    <name>ParametersWindow</name>
    <message>
        <source>Параметры опыта</source>
        <translation>Experiment settings</translation>
    </message>
    <message>
        <source>По умолчанию</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>Открыть опыт…</source>
        <translation>Open experiment…</translation>
    </message>
    <message>
        <source>Сохранить опыт…</source>
        <translation>Save experiment…</translation>
    </message>
    <message>
        <source>Опыты (*.toml);;Все файлы (*)</source>
        <translation>Experiments (*.toml);;All files (*)</translation>
    </message>
    <message>
        <source>Модель двигателя</source>
        <translation>Motor model</translation>
    </message>
    <message>
        <source>Опыт</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>Гауссовская нагрузка</source>
        <translation>Gaussian load</translation>
    </message>
    <message>
        <source>Равномерная нагрузка</source>
        <translation>Uniform load</translation>
    </message>
    <message>
        <source>Ступенчатая нагрузка</source>
        <translation>Step load</translation>
    </message>
    <message>
        <source>Момент инерции</source>
        <translation>Moment of inertia</translation>
    </message>
    <message>
        <source>Постоянная момента в уравнении K</source>
        <translation>Torque constant in the K equation</translation>
    </message>
    <message>
        <source>Не критический момент: у статической характеристики модели нет точки опрокидывания</source>
        <translation>Not the breakdown torque: the model&apos;s static characteristic has no breakdown point</translation>
    </message>
    <message>
        <source>Множитель постоянной времени</source>
        <translation>Time constant factor</translation>
    </message>
    <message>
        <source>Постоянная времени модели T = sk / w0</source>
        <translation>The model&apos;s time constant T = sk / w0</translation>
    </message>
    <message>
        <source>Число пар полюсов</source>
        <translation>Pole pairs</translation>
    </message>
    <message>
        <source>Целое число не меньше 1</source>
        <translation>A whole number of at least 1</translation>
    </message>
    <message>
        <source>Шаг интегрирования</source>
        <translation>Integration step</translation>
    </message>
    <message>
        <source>Больше min(2 T, J / (2 p Mk T)) опыт не придёт к покою</source>
        <translation>Above min(2 T, J / (2 p Mk T)) the run will not come to rest</translation>
    </message>
    <message>
        <source>Угловая частота питания</source>
        <translation>Supply angular frequency</translation>
    </message>
    <message>
        <source>Без нагрузки ротор приходит к скорости w0 / p</source>
        <translation>Without load the rotor comes to the speed w0 / p</translation>
    </message>
    <message>
        <source>Число шагов</source>
        <translation>Run length</translation>
    </message>
    <message>
        <source>Предел нагрузки</source>
        <translation>Highest typed load</translation>
    </message>
    <message>
        <source>Начальное число</source>
        <translation>Initial number</translation>
    </message>
    <message>
        <source>от часов</source>
        <translation>from the clock</translation>
    </message>
    <message>
        <source>Среднее</source>
        <translation>Average</translation>
    </message>
    <message>
        <source>Стандартное отклонение</source>
        <translation>Standard deviation</translation>
    </message>
    <message>
        <source>Нижняя граница</source>
        <translation>Lower bound</translation>
    </message>
    <message>
        <source>Верхняя граница</source>
        <translation>Upper bound</translation>
    </message>
    <message>
        <source>Число уровней</source>
        <translation>Distinct values</translation>
    </message>
    <message>
        <source>Нагрузка</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>из поля Mc</source>
        <translation>from the Mc box</translation>
    </message>
    <message>
        <source>Профиль</source>
        <translation>Load shape</translation>
    </message>
    <message>
        <source>Включение</source>
        <translation>Applied at</translation>
    </message>
    <message>
        <source>Выключение</source>
        <translation>Removed at</translation>
    </message>
    <message>
        <source>min(1000, steps)</source>
        <translation>min(1000, steps)</translation>
    </message>
    <message>
        <source>Нарастание</source>
        <translation>Rise time</translation>
    </message>
    <message>
        <source>Коэффициент вентилятора</source>
        <translation>Fan coefficient</translation>
    </message>
    <message>
        <source>Амплитуда</source>
        <translation>Swing</translation>
    </message>
    <message>
        <source>Период</source>
        <translation>Load swing</translation>
    </message>
    <message>
        <source>кг·м²</source>
        <translation>kg·m²</translation>
    </message>
    <message>
        <source>Н·м</source>
        <translation>N·m</translation>
    </message>
    <message>
        <source>Н·м·с²</source>
        <translation>N·m·s²</translation>
    </message>
    <message>
        <source>рад/с</source>
        <translation>rad/s</translation>
    </message>
    <message>
        <source>с</source>
        <translation>s</translation>
    </message>
    <message>
        <source>шаг</source>
        <translation>step</translation>
    </message>
    <message>
        <source>шагов</source>
        <translation>steps</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Изменён</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>да</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>Опыт не сохранён: поле %1 не принято. %2</source>
        <translation>The experiment is not saved: the field %1 is not accepted. %2</translation>
    </message>
    <message>
        <source>Сохранить опыт</source>
        <translation>Save experiment</translation>
    </message>
    <message>
        <source>Файл %1 нельзя изменить на месте: он задаёт значения так, что их не заменить, не переписав его. Переписать файл целиком? Комментарии и порядок строк в нём пропадут.</source>
        <translation>The file %1 cannot be changed in place: it gives its values in a way that cannot be replaced without rewriting it. Rewrite the whole file? Its comments and the order of its lines will be lost.</translation>
    </message>
    <message>
        <source>Открыть опыт</source>
        <translation>Open experiment</translation>
    </message>
    <message>
        <source>Отмеченные поля не приняты: опыты идут с прежними параметрами.</source>
        <translation>The marked fields are not accepted: runs go on with the previous settings.</translation>
    </message>
    <message>
        <source>Модель</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>three-state — модель Md, Omega и K; dq — асинхронная машина пятого порядка в осях d-q</source>
        <translation>three-state: the model of Md, Omega and K; dq: the fifth-order induction machine in d-q axes</translation>
    </message>
    <message>
        <source>Сопротивление статора</source>
        <translation>Stator resistance</translation>
    </message>
    <message>
        <source>Приведённое сопротивление ротора</source>
        <translation>Referred rotor resistance</translation>
    </message>
    <message>
        <source>Индуктивность рассеяния статора</source>
        <translation>Stator leakage inductance</translation>
    </message>
    <message>
        <source>Приведённая индуктивность рассеяния ротора</source>
        <translation>Referred rotor leakage inductance</translation>
    </message>
    <message>
        <source>Индуктивность намагничивания</source>
        <translation>Magnetising inductance</translation>
    </message>
    <message>
        <source>Действующее напряжение фазной обмотки</source>
        <translation>RMS voltage across a phase winding</translation>
    </message>
    <message>
        <source>Метод интегрирования</source>
        <translation>Integration method</translation>
    </message>
    <message>
        <source>rk4 — классический метод Рунге — Кутты; euler — явный метод Эйлера</source>
        <translation>rk4: classical Runge-Kutta; euler: forward Euler</translation>
    </message>
    <message>
        <source>Ом</source>
        <translation>ohm</translation>
    </message>
    <message>
        <source>Гн</source>
        <translation>H</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source>Питание</source>
        <translation>Supply</translation>
    </message>
    <message>
        <source>Начало провала напряжения</source>
        <translation>Voltage dip starts</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Конец провала</source>
        <translation>Dip ends</translation>
    </message>
    <message>
        <source>до конца опыта</source>
        <translation>to the run&apos;s end</translation>
    </message>
    <message>
        <source>Напряжение в провале</source>
        <translation>Voltage in the dip</translation>
    </message>
    <message>
        <source>Доля от U</source>
        <translation>A share of U</translation>
    </message>
    <message>
        <source>Реверс (перемена двух фаз)</source>
        <translation>Reversal (two phases swapped)</translation>
    </message>
    <message>
        <source>По паспорту…</source>
        <translation>From nameplate…</translation>
    </message>
    <message>
        <source>Параметры машины d-q по паспорту и каталогу двигателя</source>
        <translation>The d-q machine&apos;s settings from the motor&apos;s nameplate and catalogue</translation>
    </message>
</context>
<context>
    <name>PlaneTracker</name>
    <message>
        <source>Шаг %1</source>
        <translation>Step %1</translation>
    </message>
</context>
<context>
    <name>PlotChart</name>
    <message>
        <source>картинку графика не удалось нарисовать</source>
        <translation>the chart&apos;s picture could not be drawn</translation>
    </message>
</context>
<context>
    <name>ReportDocument</name>
    <message>
        <source>отчёт не удалось записать в %1: %2</source>
        <translation>the report could not be written to %1: %2</translation>
    </message>
    <message>
        <source>%1 — отчёт от %2</source>
        <translation>%1 — report of %2</translation>
    </message>
    <message>
        <source>документ ODF не удалось составить</source>
        <translation>the ODF document could not be made</translation>
    </message>
    <message>
        <source>Примечания</source>
        <translation>Notes</translation>
    </message>
</context>
<context>
    <name>ReportOptions</name>
    <message>
        <source>Отчёт</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>&amp;Примечания:</source>
        <translation>&amp;Notes:</translation>
    </message>
    <message>
        <source>&amp;Альбомные страницы</source>
        <translation>&amp;Landscape pages</translation>
    </message>
    <message>
        <source>&amp;Книжные страницы</source>
        <translation>&amp;Portrait pages</translation>
    </message>
</context>
<context>
    <name>TApplication</name>
    <message>
        <source>Неизвестная ошибка</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Максимальные значения Мд и Omega</source>
        <translation>Maximum values of Md and Omega</translation>
    </message>
    <message>
        <source>Графики</source>
        <translation>Plots</translation>
    </message>
    <message>
        <source>Гауусовское распределение</source>
        <translation>Gaussian distribution</translation>
    </message>
    <message>
        <source>Очистка экрана</source>
        <translation>Clear screen</translation>
    </message>
    <message>
        <source>Равномерное распределение</source>
        <translation>Uniform distribution</translation>
    </message>
    <message>
        <source>Реакция по выходам Мд и O</source>
        <translation>Step response: Md, Omega</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Значение Mc</source>
        <translation>Load Mc</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Параметры опыта (Ctrl+P)</source>
        <translation>Experiment settings (Ctrl+P)</translation>
    </message>
    <message>
        <source>Открыть опыт</source>
        <translation>Open experiment</translation>
    </message>
    <message>
        <source>Открыть файл опыта (Ctrl+O)</source>
        <translation>Open an experiment file (Ctrl+O)</translation>
    </message>
    <message>
        <source>Сохранить опыт</source>
        <translation>Save experiment</translation>
    </message>
    <message>
        <source>Сохранить параметры в файл опыта (Ctrl+S)</source>
        <translation>Save the settings to the experiment file (Ctrl+S)</translation>
    </message>
    <message>
        <source>Сохранить опыт как…</source>
        <translation>Save experiment as…</translation>
    </message>
    <message>
        <source>Сохранить параметры в другой файл опыта (Ctrl+Shift+S)</source>
        <translation>Save the settings to another experiment file (Ctrl+Shift+S)</translation>
    </message>
    <message>
        <source>Открыть сеанс…</source>
        <translation>Open session…</translation>
    </message>
    <message>
        <source>Открыть сеанс: параметры, графики, закреплённые графики и вид</source>
        <translation>Open a session: settings, traces, pinned traces and view</translation>
    </message>
    <message>
        <source>Сохранить сеанс…</source>
        <translation>Save session…</translation>
    </message>
    <message>
        <source>Сохранить сеанс: параметры, графики, закреплённые графики и вид</source>
        <translation>Save a session: settings, traces, pinned traces and view</translation>
    </message>
    <message>
        <source>Измерения</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>Окно измерений (M на графике)</source>
        <translation>Measurements window (M on the chart)</translation>
    </message>
    <message>
        <source>Механическая характеристика</source>
        <translation>Mechanical characteristic</translation>
    </message>
    <message>
        <source>Механическая характеристика: Omega от Md (X на графике)</source>
        <translation>Mechanical characteristic: Omega against Md (X on the chart)</translation>
    </message>
    <message>
        <source>Семейство кривых…</source>
        <translation>Family of curves…</translation>
    </message>
    <message>
        <source>Семейство кривых: один опыт на каждое значение параметра, все закреплены</source>
        <translation>Family of curves: one run for each value of a setting, all pinned</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Остановить долгий опыт или семейство; графики, подписи и закреплённые остаются прежними (Esc)</source>
        <translation>Stop a long run or family; traces, labels and pins stay as they were (Esc)</translation>
    </message>
    <message>
        <source>модель асинхронного двигателя</source>
        <translation>induction motor model</translation>
    </message>
    <message>
        <source>Сеансы (*.toml);;Все файлы (*)</source>
        <translation>Sessions (*.toml);;All files (*)</translation>
    </message>
    <message>
        <source>Закрепить графики</source>
        <translation>Pin traces</translation>
    </message>
    <message>
        <source>Параметры опыта…</source>
        <translation>Experiment settings…</translation>
    </message>
    <message>
        <source>Отчёт…</source>
        <translation>Report…</translation>
    </message>
    <message>
        <source>Семейство не построено: на графике закрепляется не больше %1 значений, по два графика на каждое, а задано %2</source>
        <translation>The family is not built: the chart pins at most %1 values, two traces each, and %2 are given</translation>
    </message>
    <message>
        <source>Эти значения не построены:</source>
        <translation>These values are not built:</translation>
    </message>
    <message>
        <source> (параметры изменены)</source>
        <translation> (settings changed)</translation>
    </message>
    <message>
        <source>Параметры опыта изменены и не сохранены.</source>
        <translation>The experiment settings are changed and not saved.</translation>
    </message>
    <message>
        <source>Закреплённые графики пропадут.</source>
        <translation>The pinned traces will be lost.</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Не сохранять</source>
        <translation>Don&apos;t save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Сохранить сеанс</source>
        <translation>Save session</translation>
    </message>
    <message>
        <source>Md и Omega</source>
        <translation>Md and Omega</translation>
    </message>
    <message>
        <source>Сохранить отчёт</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>Открыть сеанс</source>
        <translation>Open session</translation>
    </message>
    <message>
        <source>Машины</source>
        <translation>Machines</translation>
    </message>
    <message>
        <source>Файл опыта</source>
        <translation>Experiment file</translation>
    </message>
    <message>
        <source>Документ PDF (*.pdf);;Текст OpenDocument (*.odt)</source>
        <translation>PDF document (*.pdf);;OpenDocument text (*.odt)</translation>
    </message>
    <message>
        <source>Руководство</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Руководство по программе (F1)</source>
        <translation>The program&apos;s manual (F1)</translation>
    </message>
    <message>
        <source>Файл измерений</source>
        <translation>Measured data file</translation>
    </message>
</context>
<context>
    <name>ToolDocks</name>
    <message>
        <source>Вернуть в главное окно</source>
        <translation>Back into the main window</translation>
    </message>
</context>
<context>
    <name>TraceChart</name>
    <message>
        <source>t, с</source>
        <translation>t, s</translation>
    </message>
    <message>
        <source>Шаг</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Md, Н·м</source>
        <translation>Md, N·m</translation>
    </message>
    <message>
        <source>Md, Н·м; Omega, рад/с</source>
        <translation>Md, N·m; Omega, rad/s</translation>
    </message>
    <message>
        <source>Omega, рад/с</source>
        <translation>Omega, rad/s</translation>
    </message>
    <message>
        <source>Is, ia, А</source>
        <translation>Is, ia, A</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Программа открывает один файл опыта; аргументов дано: %1</source>
        <translation>The program opens one experiment file; arguments given: %1</translation>
    </message>
</context>
</TS>
