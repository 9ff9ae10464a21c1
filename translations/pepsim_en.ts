<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>Batch</name>
    <message>
        <source>%1 %  %2 шагов/с  осталось %3 с   </source>
        <translation>%1 %  %2 steps/s  %3 s left   </translation>
    </message>
    <message>
        <source>%1: %2 шагов, %3 мкс за %4 с (%5 шагов/с)</source>
        <translation>%1: %2 steps, %3 µs in %4 s (%5 steps/s)</translation>
    </message>
    <message>
        <source>Не удалось создать папку %1</source>
        <translation>Unable to create the folder %1</translation>
    </message>
    <message>
        <source>В папку %1 нельзя записать файлы.</source>
        <translation>Files cannot be written to the folder %1.</translation>
    </message>
    <message>
        <source>Использование:
  pepsim [--lang ru|en] [ПРОЕКТ.PEPmodel]
      открывает окна программы (с проектом, если он указан); --lang выбирает язык
      интерфейса: ru - русский, en - English (иначе - выбранный в меню &quot;Файл&quot;)
  pepsim --batch ПРОЕКТ.PEPmodel --until МИКРОСЕКУНДЫ [--out ПАПКА] [--lang ru|en]
         [--set ИМЯ=ЗНАЧЕНИЕ]... [--threads N] [--signal ИМЯ] [--from МКС] [--to МКС]
      расчет без окон и без дисплея: задача строится из файла проекта, как кнопкой
      «Создать и загрузить задачу», и считается, пока время шага меньше МИКРОСЕКУНДЫ.

  --out ПАПКА        куда записать файлы результатов (по умолчанию текущая папка)
  --set ИМЯ=ЗНАЧЕНИЕ заменяет поле проекта, например --set Protector_L_QNSuperSpin=0.6;
                     ИМЯ - имя поля в файле проекта, ЗНАЧЕНИЕ - число с запятой или с точкой
  --threads N        число потоков расчета (по умолчанию: PEPSIM_THREADS или число ядер)
  --signal ИМЯ       сигнал для характеристик импульса: %1 или %2
                     (по умолчанию Upep)
  --from МКС, --to МКС  участок записи для характеристик импульса (по умолчанию вся запись)
  --lang ru|en       язык сообщений (иначе - выбранный в меню &quot;Файл&quot;, затем язык системы)
  --help             эта справка

signals.csv: %3 - по строке на точку записи сигналов.
impedance.csv: f_MHz,Z_ohm,phase_deg - импеданс пластины по всей записи (Upep / Ipep).
spectrum_db.csv: f_MHz,A_dB - нормированный спектр выбранного сигнала на участке.
summary.json и summary.csv: число узлов, PiezoFirst, PiezoLast, Dx, Dt, число шагов, время, итог;
резонансы fr и fa, keff, C0; частота максимума, fc, полосы -6 и -20 дБ, длительность импульса.

Код завершения: 0 - расчет выполнен; 2 - неверные аргументы, файл проекта не прочитан или не
является проектом, в папку --out нельзя записать; 3 - задача не создана (причина выводится);
4 - расчет остановлен ошибкой вычислений (файлы записаны до этого шага).
</source>
        <translation>Usage:
  pepsim [--lang ru|en] [PROJECT.PEPmodel]
      opens the program&apos;s windows (with the project, when one is given); --lang chooses the
      interface language: ru - Russian, en - English (else the one chosen in the &quot;File&quot; menu)
  pepsim --batch PROJECT.PEPmodel --until MICROSECONDS [--out FOLDER] [--lang ru|en]
         [--set NAME=VALUE]... [--threads N] [--signal NAME] [--from US] [--to US]
      a calculation without windows and without a display: the task is built from the project
      file, as by the button &quot;Build and load task&quot;, and computed while the step&apos;s time is
      below MICROSECONDS.

  --out FOLDER       where the result files go (default: the current folder)
  --set NAME=VALUE   replaces a field of the project, e.g. --set Protector_L_QNSuperSpin=0.6;
                     NAME - the field&apos;s name in the project file, VALUE - a number with a
                     comma or a point
  --threads N        solver threads (default: PEPSIM_THREADS or the number of cores)
  --signal NAME      the signal of the pulse figures: %1 or %2
                     (default Upep)
  --from US, --to US the stretch of the record for the pulse figures (default: the whole record)
  --lang ru|en       language of the messages (else the one chosen in the &quot;File&quot; menu, then the
                     system&apos;s language)
  --help             this help

signals.csv: %3 - one row per point of the signal record.
impedance.csv: f_MHz,Z_ohm,phase_deg - the plate&apos;s impedance over the whole record (Upep / Ipep).
spectrum_db.csv: f_MHz,A_dB - the normalised spectrum of the chosen signal on the stretch.
summary.json and summary.csv: nodes, PiezoFirst, PiezoLast, Dx, Dt, steps, time, outcome;
resonances fr and fa, keff, C0; peak frequency, fc, -6 and -20 dB bandwidths, pulse length.

Exit status: 0 - calculation completed; 2 - bad arguments, the project file could not be read or
is not a project, the --out folder cannot be written; 3 - the task was not built (the reason is
printed); 4 - calculation stopped by a computational error (the files hold the run up to it).
</translation>
    </message>
    <message>
        <source>Справка: pepsim --help</source>
        <translation>Help: pepsim --help</translation>
    </message>
    <message>
        <source>После --batch нужен файл проекта.</source>
        <translation>--batch must be followed by a project file.</translation>
    </message>
    <message>
        <source>После --until нужно время в микросекундах (неотрицательное число).</source>
        <translation>--until must be followed by a time in microseconds (a number not below zero).</translation>
    </message>
    <message>
        <source>После --out нужна папка.</source>
        <translation>--out must be followed by a folder.</translation>
    </message>
    <message>
        <source>После --set нужно ИМЯ=ЗНАЧЕНИЕ.</source>
        <translation>--set must be followed by NAME=VALUE.</translation>
    </message>
    <message>
        <source>Аргумент --set %1 не имеет вида ИМЯ=ЗНАЧЕНИЕ.</source>
        <translation>The argument --set %1 is not of the form NAME=VALUE.</translation>
    </message>
    <message>
        <source>Аргумент --set %1 не задает значение поля %2.</source>
        <translation>The argument --set %1 gives no value for the field %2.</translation>
    </message>
    <message>
        <source>После --signal нужно имя сигнала: %1 или %2.</source>
        <translation>--signal must be followed by a signal name: %1 or %2.</translation>
    </message>
    <message>
        <source>После %1 нужно время в микросекундах.</source>
        <translation>%1 must be followed by a time in microseconds.</translation>
    </message>
    <message>
        <source>После --threads нужно число потоков от 1 до 1024.</source>
        <translation>--threads must be followed by a number of threads from 1 to 1024.</translation>
    </message>
    <message>
        <source>Неизвестный аргумент: %1</source>
        <translation>Unknown argument: %1</translation>
    </message>
    <message>
        <source>Нужен аргумент --batch ПРОЕКТ.PEPmodel.</source>
        <translation>The argument --batch PROJECT.PEPmodel is required.</translation>
    </message>
    <message>
        <source>Нужен аргумент --until МИКРОСЕКУНДЫ.</source>
        <translation>The argument --until MICROSECONDS is required.</translation>
    </message>
    <message>
        <source>Не существует Файл 
</source>
        <translation>The file does not exist:
</translation>
    </message>
    <message>
        <source>Задача не создана.</source>
        <translation>The task was not built.</translation>
    </message>
    <message>
        <source>Расчет остановлен: %1</source>
        <translation>Calculation stopped: %1</translation>
    </message>
    <message>
        <source>Расчет выполнен</source>
        <translation>Calculation completed</translation>
    </message>
    <message>
        <source>Не удалось записать файлы результатов в папку %1</source>
        <translation>Unable to write the result files to the folder %1</translation>
    </message>
</context>
<context>
    <name>ChartFiles</name>
    <message>
        <source>Сохранить данные (CSV)</source>
        <translation>Save data (CSV)</translation>
    </message>
    <message>
        <source>Точечный рисунок (*.bmp)</source>
        <translation>Bitmap picture (*.bmp)</translation>
    </message>
    <message>
        <source>Рисунок PNG (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>Документ PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Сохранить данные в файл</source>
        <translation>Save data to file</translation>
    </message>
    <message>
        <source>Таблица CSV (*.csv)</source>
        <translation>CSV table (*.csv)</translation>
    </message>
    <message>
        <source>Меню графика</source>
        <translation>Chart menu</translation>
    </message>
    <message>
        <source>Картинка</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>Сохранить в буфер</source>
        <translation>Copy to clipboard</translation>
    </message>
    <message>
        <source>Записать в файл</source>
        <translation>Save to file</translation>
    </message>
</context>
<context>
    <name>CircuitPictures</name>
    <message>
        <source>А)</source>
        <translation>A)</translation>
    </message>
    <message>
        <source>ЗИ</source>
        <translation>PG</translation>
    </message>
    <message>
        <source>ПЭП</source>
        <translation>PEP</translation>
    </message>
    <message>
        <source>Б)</source>
        <translation>B)</translation>
    </message>
    <message>
        <source>Uпэп</source>
        <translation>Upep</translation>
    </message>
    <message>
        <source>Электрическая схема</source>
        <translation>Circuit diagram</translation>
    </message>
    <message>
        <source>Слои преобразователя</source>
        <translation>Transducer layers</translation>
    </message>
    <message>
        <source>демпфер</source>
        <translation>backing</translation>
    </message>
    <message>
        <source>изделие</source>
        <translation>test object</translation>
    </message>
    <message>
        <source>пъезоэлемент</source>
        <translation>piezo plate</translation>
    </message>
    <message>
        <source>слой жидкости</source>
        <translation>liquid layer</translation>
    </message>
    <message>
        <source>протектор</source>
        <translation>protector</translation>
    </message>
</context>
<context>
    <name>Core</name>
    <message>
        <source>Шаг в пространстве должен быть больше нуля.</source>
        <translation>The spatial step must be greater than zero.</translation>
    </message>
    <message>
        <source>Шаг во времени должен быть больше нуля.</source>
        <translation>The time step must be greater than zero.</translation>
    </message>
    <message>
        <source>Суммарная толщина слоев должна быть больше нуля.</source>
        <translation>The total thickness of the layers must be greater than zero.</translation>
    </message>
    <message>
        <source>Слишком много узлов в сетке: увеличьте шаг в пространстве.</source>
        <translation>Too many grid nodes: increase the spatial step.</translation>
    </message>
    <message>
        <source>Сетка не помещается в памяти: увеличьте шаг в пространстве.</source>
        <translation>The grid does not fit in memory: increase the spatial step.</translation>
    </message>
    <message>
        <source>Слои выходят за пределы сетки: проверьте толщины слоев.</source>
        <translation>The layers extend beyond the grid: check the layer thicknesses.</translation>
    </message>
    <message>
        <source>Слишком мало узлов в сетке: уменьшите шаг в пространстве.</source>
        <translation>Too few grid nodes: decrease the spatial step.</translation>
    </message>
    <message>
        <source>Пъезопластина слишком близко к краю сетки: проверьте толщины слоев.</source>
        <translation>The piezo plate is too close to the edge of the grid: check the layer thicknesses.</translation>
    </message>
    <message>
        <source>Площадь пъезопластины должна быть больше нуля.</source>
        <translation>The piezo plate area must be greater than zero.</translation>
    </message>
    <message>
        <source>Ошибка вычислений в схеме генератора (деление на ноль или переполнение).</source>
        <translation>Calculation error in the generator circuit (division by zero or overflow).</translation>
    </message>
    <message>
        <source>Параметр «%1» равен нулю: схема генератора не может быть рассчитана.</source>
        <translation>Parameter “%1” is zero: the generator circuit cannot be calculated.</translation>
    </message>
    <message>
        <source>Параметр «%1» не является конечным числом: схема генератора не может быть рассчитана.</source>
        <translation>Parameter “%1” is not a finite number: the generator circuit cannot be calculated.</translation>
    </message>
    <message>
        <source>Напряжение заряда на конденсаторе С (В)</source>
        <translation>Charge voltage of capacitor C (V)</translation>
    </message>
    <message>
        <source>Конденсатор С (нФ)</source>
        <translation>Capacitor C (nF)</translation>
    </message>
    <message>
        <source>Резистор R (Ом)</source>
        <translation>Resistor R (Ω)</translation>
    </message>
    <message>
        <source>Индуктивность L (мкГ)</source>
        <translation>Inductance L (µH)</translation>
    </message>
    <message>
        <source>Резистор RL (Ом)</source>
        <translation>Resistor RL (Ω)</translation>
    </message>
    <message>
        <source>Сопротивление ключа в открытом состоянии (Ом)</source>
        <translation>Switch resistance when on (Ω)</translation>
    </message>
    <message>
        <source>Сопротивление ключа в закрытом состоянии (Ом)</source>
        <translation>Switch resistance when off (Ω)</translation>
    </message>
    <message>
        <source>Длительность фронта (нс)</source>
        <translation>Rise time (ns)</translation>
    </message>
    <message>
        <source>Длительность импульса ЗИ (нс)</source>
        <translation>PG pulse width (ns)</translation>
    </message>
    <message>
        <source>Напряжение пробоя VT (В)</source>
        <translation>VT breakdown voltage (V)</translation>
    </message>
    <message>
        <source>деление на ноль</source>
        <translation>division by zero</translation>
    </message>
    <message>
        <source>недопустимая операция</source>
        <translation>invalid operation</translation>
    </message>
    <message>
        <source>переполнение</source>
        <translation>overflow</translation>
    </message>
    <message>
        <source>ошибка вычислений</source>
        <translation>calculation error</translation>
    </message>
    <message>
        <source> при расчете скоростей</source>
        <translation> in the velocity calculation</translation>
    </message>
    <message>
        <source> при расчете электрического поля</source>
        <translation> in the electric field calculation</translation>
    </message>
    <message>
        <source> при расчете механических напряжений</source>
        <translation> in the stress calculation</translation>
    </message>
    <message>
        <source> при расчете напряжения на пластине</source>
        <translation> in the plate voltage calculation</translation>
    </message>
    <message>
        <source>Недостаточно данных для расчета импеданса.</source>
        <translation>Not enough data to compute the impedance.</translation>
    </message>
    <message>
        <source>Ток через пластину равен нулю: импеданс не определен.</source>
        <translation>The plate current is zero: the impedance is undefined.</translation>
    </message>
    <message>
        <source>Шаг по времени должен быть положительным.</source>
        <translation>The time step must be positive.</translation>
    </message>
    <message>
        <source>Сигнал содержит нечисловые значения.</source>
        <translation>The signal holds values that are not numbers.</translation>
    </message>
    <message>
        <source>В выбранной полосе частот ток через пластину равен нулю.</source>
        <translation>The plate current is zero in the chosen frequency band.</translation>
    </message>
    <message>
        <source>Недостаточно данных для расчета спектра.</source>
        <translation>Not enough data to compute the spectrum.</translation>
    </message>
    <message>
        <source>Сигнал на выбранном участке равен нулю.</source>
        <translation>The signal is zero on the chosen stretch.</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл %1</source>
        <translation>Unable to read the file %1</translation>
    </message>
    <message>
        <source>Файл %1 не является проектом: в нем нет разделов MainForm, ParametersForm и ElectroForm.</source>
        <translation>The file %1 is not a project: it holds none of the sections MainForm, ParametersForm and ElectroForm.</translation>
    </message>
    <message>
        <source>Параметр %1 не является входным параметром задачи.</source>
        <translation>%1 is not an input of a task.</translation>
    </message>
    <message>
        <source>Значение «%1» параметра %2 не является целым числом.</source>
        <translation>The value &quot;%1&quot; of %2 is not an integer.</translation>
    </message>
    <message>
        <source>Участок не содержит начала возбуждения: импеданс пластины по нему не определяется.</source>
        <translation>The stretch does not hold the start of the excitation: it does not determine the plate&apos;s impedance.</translation>
    </message>
    <message>
        <source>В полосе поиска нет минимума |Z|.</source>
        <translation>No |Z| minimum in the searched band.</translation>
    </message>
    <message>
        <source>В полосе поиска нет максимума |Z|.</source>
        <translation>No |Z| maximum in the searched band.</translation>
    </message>
    <message>
        <source>Колебания не затухли к концу участка: емкость C0 не определяется.</source>
        <translation>The ringing has not died out by the end of the stretch: C0 is not determined.</translation>
    </message>
    <message>
        <source>Ток на удвоенной частоте толщинной моды неизмерим: емкость C0 не определяется.</source>
        <translation>The current at twice the thickness mode is too small to measure: C0 is not determined.</translation>
    </message>
    <message>
        <source>Емкость около удвоенной частоты толщинной моды неровная: C0 не определяется.</source>
        <translation>The capacitance around twice the thickness mode is uneven: C0 is not determined.</translation>
    </message>
    <message>
        <source>Без обоих резонансов емкость C0 не определяется.</source>
        <translation>Without both resonances C0 is not determined.</translation>
    </message>
    <message>
        <source>Параметр «%1» не является конечным числом: задача не может быть рассчитана.</source>
        <translation>Parameter “%1” is not a finite number: the task cannot be calculated.</translation>
    </message>
    <message>
        <source>Параметр «%1» меньше нуля: задача не может быть рассчитана.</source>
        <translation>Parameter “%1” is less than zero: the task cannot be calculated.</translation>
    </message>
    <message>
        <source>Параметр «%1» должен быть больше нуля: задача не может быть рассчитана.</source>
        <translation>Parameter “%1” must be greater than zero: the task cannot be calculated.</translation>
    </message>
    <message>
        <source>Параметр «%1» слишком мал: пъезопластина должна занимать не менее двух узлов сетки.</source>
        <translation>Parameter “%1” is too small: the piezo plate must span at least two grid nodes.</translation>
    </message>
    <message>
        <source>Шаг в пространстве (мкм)</source>
        <translation>Spatial step (µm)</translation>
    </message>
    <message>
        <source>Шаг во времени (нс)</source>
        <translation>Time step (ns)</translation>
    </message>
    <message>
        <source>Пъезомодуль d33 (Кл/Н) = (м/В) 10^-12</source>
        <translation>Piezo modulus d33 (C/N) = (m/V) 10^-12</translation>
    </message>
    <message>
        <source>Относительная диэлектрическая проницаемость</source>
        <translation>Relative dielectric permittivity</translation>
    </message>
    <message>
        <source>Площадь пъезопластины (мм^2)</source>
        <translation>Piezo plate area (mm^2)</translation>
    </message>
</context>
<context>
    <name>ProjectFiles</name>
    <message>
        <source>Не существует Файл 
</source>
        <translation>The file does not exist:
</translation>
    </message>
    <message>
        <source>Загрузить проект из файла</source>
        <translation>Load project from file</translation>
    </message>
    <message>
        <source>Сохранить проект в файл как...</source>
        <translation>Save project to file as...</translation>
    </message>
    <message>
        <source>Файл с именем 
</source>
        <translation>The file
</translation>
    </message>
    <message>
        <source>
уже существует
Записать в него?</source>
        <translation>
already exists.
Overwrite it?</translation>
    </message>
</context>
<context>
    <name>TElectroForm</name>
    <message>
        <source>### ##0.000 мкс</source>
        <translation>### ##0.000 µs</translation>
    </message>
    <message>
        <source>Записаь картинку в файл</source>
        <translation>Save picture to file</translation>
    </message>
    <message>
        <source>Электрический сигнал на преобразователе</source>
        <translation>Electrical signal at the transducer</translation>
    </message>
    <message>
        <source>Средняя частота (МГц)</source>
        <translation>Centre frequency (MHz)</translation>
    </message>
    <message>
        <source>Ширина графика (МГц)</source>
        <translation>Chart width (MHz)</translation>
    </message>
    <message>
        <source>Расчет спектра</source>
        <translation>Calculate spectrum</translation>
    </message>
    <message>
        <source>Электрические сигналы ПЭП</source>
        <translation>Transducer signals</translation>
    </message>
    <message>
        <source>Спектр выбранного сигнала</source>
        <translation>Spectrum of the chosen signal</translation>
    </message>
    <message>
        <source>Отмена ZOOM</source>
        <translation>Undo ZOOM</translation>
    </message>
    <message>
        <source>Диапазон (В) или (А)</source>
        <translation>Range (V) or (A)</translation>
    </message>
    <message>
        <source>Выбор графика</source>
        <translation>Signal shown</translation>
    </message>
    <message>
        <source>Напряжение U0</source>
        <translation>Voltage U0</translation>
    </message>
    <message>
        <source>Напряжение U1</source>
        <translation>Voltage U1</translation>
    </message>
    <message>
        <source>Напряжение Upep</source>
        <translation>Voltage Upep</translation>
    </message>
    <message>
        <source>Ток I0</source>
        <translation>Current I0</translation>
    </message>
    <message>
        <source>Ток IL</source>
        <translation>Current IL</translation>
    </message>
    <message>
        <source>Ток Ipep</source>
        <translation>Current Ipep</translation>
    </message>
    <message>
        <source>Использовать маркеры</source>
        <translation>Use markers</translation>
    </message>
    <message>
        <source>Маркер</source>
        <translation>Marker</translation>
    </message>
    <message>
        <source>1 красный</source>
        <translation>1 red</translation>
    </message>
    <message>
        <source>2 синий</source>
        <translation>2 blue</translation>
    </message>
    <message>
        <source>  ??? В</source>
        <translation>  ??? V</translation>
    </message>
    <message>
        <source>Маркер 1, значение</source>
        <translation>Marker 1, value</translation>
    </message>
    <message>
        <source>  ??? мкс</source>
        <translation>  ??? µs</translation>
    </message>
    <message>
        <source>Маркер 1, время</source>
        <translation>Marker 1, time</translation>
    </message>
    <message>
        <source>Маркер 2, значение</source>
        <translation>Marker 2, value</translation>
    </message>
    <message>
        <source>Маркер 2, время</source>
        <translation>Marker 2, time</translation>
    </message>
    <message>
        <source>Разность красный - синий</source>
        <translation>Difference red - blue</translation>
    </message>
    <message>
        <source>Разность значений</source>
        <translation>Difference of values</translation>
    </message>
    <message>
        <source>Разность времён</source>
        <translation>Difference of times</translation>
    </message>
    <message>
        <source>мкс</source>
        <translation>µs</translation>
    </message>
    <message>
        <source>МГц</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source>А</source>
        <translation>A</translation>
    </message>
    <message>
        <source>Не удалось записать файл &quot;%1&quot;</source>
        <translation>Unable to write the file &quot;%1&quot;</translation>
    </message>
    <message>
        <source>/Гц</source>
        <translation>/Hz</translation>
    </message>
    <message>
        <source>|Z|, Ом</source>
        <translation>|Z|, Ω</translation>
    </message>
    <message>
        <source>фаза, градусы</source>
        <translation>phase, degrees</translation>
    </message>
    <message>
        <source>дБ</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Рассчитать</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>Импеданс пластины</source>
        <translation>Plate impedance</translation>
    </message>
    <message>
        <source>Характеристики</source>
        <translation>Figures</translation>
    </message>
    <message>
        <source> МГц</source>
        <translation> MHz</translation>
    </message>
    <message>
        <source> Ом</source>
        <translation> Ω</translation>
    </message>
    <message>
        <source> пФ</source>
        <translation> pF</translation>
    </message>
    <message>
        <source>Импульс </source>
        <translation>Pulse </translation>
    </message>
    <message>
        <source>максимум: </source>
        <translation>peak: </translation>
    </message>
    <message>
        <source>−6 дБ: </source>
        <translation>−6 dB: </translation>
    </message>
    <message>
        <source>−20 дБ: </source>
        <translation>−20 dB: </translation>
    </message>
    <message>
        <source>длительность: </source>
        <translation>length: </translation>
    </message>
    <message>
        <source> мкс</source>
        <translation> µs</translation>
    </message>
    <message>
        <source>пик огибающей: </source>
        <translation>envelope peak: </translation>
    </message>
    <message>
        <source>участок #0.000</source>
        <translation>stretch #0.000</translation>
    </message>
    <message>
        <source> … #0.000 мкс</source>
        <translation> … #0.000 µs</translation>
    </message>
    <message>
        <source>фаза</source>
        <translation>phase</translation>
    </message>
    <message>
        <source>C0 (зажатая) = </source>
        <translation>C0 (clamped) = </translation>
    </message>
    <message>
        <source>Емкость зажатой пластины ε·A/h: 1/(ω·|Z|) на частоте %1 МГц, где толщина пластины равна длине волны</source>
        <translation>Capacitance of the clamped plate ε·A/h: 1/(ω·|Z|) at %1 MHz, where the plate is one wavelength thick</translation>
    </message>
    <message>
        <source>Емкость зажатой пластины ε·A/h: емкость на низких частотах × (1 − kt²)</source>
        <translation>Capacitance of the clamped plate ε·A/h: the low-frequency capacitance × (1 − kt²)</translation>
    </message>
    <message>
        <source>Спектр не спадает до этого уровня по обе стороны от максимума.</source>
        <translation>The spectrum does not fall to this level on both sides of its peak.</translation>
    </message>
    <message>
        <source>Огибающая не спала на 20 дБ у края участка: импульс не короче показанного.</source>
        <translation>The envelope has not fallen by 20 dB at the edge of the stretch: the pulse is at least this long.</translation>
    </message>
    <message>
        <source>спектр </source>
        <translation>spectrum </translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Электромеханическая модель пъезопреобразователя</source>
        <translation>Electromechanical model of a piezoelectric transducer</translation>
    </message>
    <message>
        <source>Комментарии</source>
        <translation>Comments</translation>
    </message>
    <message>
        <source>комментарии к проекту</source>
        <translation>project comments</translation>
    </message>
    <message>
        <source>Управление расчетом</source>
        <translation>Calculation control</translation>
    </message>
    <message>
        <source>Параметры задачи</source>
        <translation>Task parameters</translation>
    </message>
    <message>
        <source>Шаг в пространстве (мкм)</source>
        <translation>Spatial step (µm)</translation>
    </message>
    <message>
        <source>Шаг во времени (нс)</source>
        <translation>Time step (ns)</translation>
    </message>
    <message>
        <source>Создать и загрузить задачу</source>
        <translation>Build and load task</translation>
    </message>
    <message>
        <source>Количество узлов в сетке</source>
        <translation>Number of grid nodes</translation>
    </message>
    <message>
        <source>Обновление графиков через</source>
        <translation>Redraw the charts every</translation>
    </message>
    <message>
        <source>Обновление графиков через, итераций</source>
        <translation>Redraw the charts every, iterations</translation>
    </message>
    <message>
        <source>итераций</source>
        <translation>iterations</translation>
    </message>
    <message>
        <source>РАСЧЕТ</source>
        <translation>CALCULATE</translation>
    </message>
    <message>
        <source>Время ???</source>
        <translation>Time ???</translation>
    </message>
    <message>
        <source>Прервать</source>
        <translation>Break</translation>
    </message>
    <message>
        <source>Показать электрический сигнал</source>
        <translation>Show electrical signal</translation>
    </message>
    <message>
        <source>Колебания в пространстве</source>
        <translation>Vibrations along the stack</translation>
    </message>
    <message>
        <source>Отмена ZOOM</source>
        <translation>Undo ZOOM</translation>
    </message>
    <message>
        <source>Показать график</source>
        <translation>Show chart</translation>
    </message>
    <message>
        <source>Колебательной скорости</source>
        <translation>Particle velocity</translation>
    </message>
    <message>
        <source>Механических напряжений</source>
        <translation>Mechanical stress</translation>
    </message>
    <message>
        <source>Электрических напряжений</source>
        <translation>Electric field</translation>
    </message>
    <message>
        <source>мм</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>мм/с</source>
        <translation>mm/s</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Загрузить проект...</source>
        <translation>Load project...</translation>
    </message>
    <message>
        <source>Сохранить проект...</source>
        <translation>Save project...</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Проект ПЭП (*.PEPmodel)</source>
        <translation>Transducer project (*.PEPmodel)</translation>
    </message>
    <message>
        <source>Язык / Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>КПа</source>
        <translation>kPa</translation>
    </message>
    <message>
        <source>В/м</source>
        <translation>V/m</translation>
    </message>
    <message>
        <source>Записаь картинку в файл</source>
        <translation>Save picture to file</translation>
    </message>
    <message>
        <source>Не удалось записать картинку в файл %1</source>
        <translation>Unable to write the picture to the file %1</translation>
    </message>
    <message>
        <source>Нет данных для записи: сначала создайте задачу.</source>
        <translation>No data to write: build a task first.</translation>
    </message>
    <message>
        <source>Задача не создана.
</source>
        <translation>The task was not built.
</translation>
    </message>
    <message>
        <source> Число узлов в сетке %1</source>
        <translation> Grid nodes: %1</translation>
    </message>
    <message>
        <source>Новая задача</source>
        <translation>New task</translation>
    </message>
    <message>
        <source>Расчет остановлен: %1 на шаге %2</source>
        <translation>Calculation stopped: %1 at step %2</translation>
    </message>
    <message>
        <source>; шаг во времени, вероятно, слишком велик для устойчивого счета</source>
        <translation>; the time step is probably too large for a stable calculation</translation>
    </message>
    <message>
        <source>время #0.000 мкс</source>
        <translation>time #0.000 µs</translation>
    </message>
    <message>
        <source>Сначала создайте задачу: кнопка «Создать и загрузить задачу».</source>
        <translation>Build a task first: button “Build and load task”.</translation>
    </message>
    <message>
        <source>Идет расчет...</source>
        <translation>Calculating...</translation>
    </message>
    <message>
        <source>Расчет остановлен: %1</source>
        <translation>Calculation stopped: %1</translation>
    </message>
    <message>
        <source>Расчет прерван на шаге %1.</source>
        <translation>Calculation interrupted at step %1.</translation>
    </message>
    <message>
        <source>устойчиво при любом Dt</source>
        <translation>stable at any Dt</translation>
    </message>
    <message>
        <source>устойчиво при Dt ≤ </source>
        <translation>stable for Dt ≤ </translation>
    </message>
    <message>
        <source> нс</source>
        <translation> ns</translation>
    </message>
</context>
<context>
    <name>TParametersForm</name>
    <message>
        <source>Демпфер</source>
        <translation>Backing</translation>
    </message>
    <message>
        <source>Электрод 1</source>
        <translation>Electrode 1</translation>
    </message>
    <message>
        <source>Пъезоэлемент</source>
        <translation>Piezo plate</translation>
    </message>
    <message>
        <source>Электрод 2</source>
        <translation>Electrode 2</translation>
    </message>
    <message>
        <source>Протектор</source>
        <translation>Protector</translation>
    </message>
    <message>
        <source>Слой жидкости</source>
        <translation>Liquid layer</translation>
    </message>
    <message>
        <source>Изделие</source>
        <translation>Test object</translation>
    </message>
    <message>
        <source>Толщина (мм)</source>
        <translation>Thickness (mm)</translation>
    </message>
    <message>
        <source>Плотность (кГ/м^3)</source>
        <translation>Density (kg/m^3)</translation>
    </message>
    <message>
        <source>Модуль С33 (ГПа)</source>
        <translation>Modulus C33 (GPa)</translation>
    </message>
    <message>
        <source>Вязкость (Па/c)</source>
        <translation>Viscosity (Pa·s)</translation>
    </message>
    <message>
        <source>Комментарии</source>
        <translation>Comments</translation>
    </message>
    <message>
        <source>комментарии к проекту</source>
        <translation>project comments</translation>
    </message>
    <message>
        <source>Электрическая часть</source>
        <translation>Electrical part</translation>
    </message>
    <message>
        <source>Механическая часть</source>
        <translation>Mechanical part</translation>
    </message>
    <message>
        <source>инверсия поляризации</source>
        <translation>inverted polarization</translation>
    </message>
    <message>
        <source>Электрическая схема</source>
        <translation>Circuit diagram</translation>
    </message>
    <message>
        <source>Напряжение заряда</source>
        <translation>Charge voltage</translation>
    </message>
    <message>
        <source>на конденсаторе С (В)</source>
        <translation>of capacitor C (V)</translation>
    </message>
    <message>
        <source>300 В</source>
        <translation>300 V</translation>
    </message>
    <message>
        <source>Конденсатор С (нФ)</source>
        <translation>Capacitor C (nF)</translation>
    </message>
    <message>
        <source>68 нФ</source>
        <translation>68 nF</translation>
    </message>
    <message>
        <source>Резистор R (Ом)</source>
        <translation>Resistor R (Ω)</translation>
    </message>
    <message>
        <source>560 Ом || 560 Ом || 360 Ом</source>
        <translation>560 Ω || 560 Ω || 360 Ω</translation>
    </message>
    <message>
        <source>совмещенный ПЭП</source>
        <translation>transmit-receive transducer</translation>
    </message>
    <message>
        <source>Индуктивность L (мкГ)</source>
        <translation>Inductance L (µH)</translation>
    </message>
    <message>
        <source>Резистор RL (Ом)</source>
        <translation>Resistor RL (Ω)</translation>
    </message>
    <message>
        <source>Сопротивление ключа</source>
        <translation>Switch resistance</translation>
    </message>
    <message>
        <source>в открытом состоянии (Ом)</source>
        <translation>when on (Ω)</translation>
    </message>
    <message>
        <source>в закрытом состоянии (Ом)</source>
        <translation>when off (Ω)</translation>
    </message>
    <message>
        <source>Длительность фронта (нс)</source>
        <translation>Rise time (ns)</translation>
    </message>
    <message>
        <source>Длительность импульса ЗИ (нс)</source>
        <translation>PG pulse width (ns)</translation>
    </message>
    <message>
        <source>Напряжение пробоя VT (В)</source>
        <translation>VT breakdown voltage (V)</translation>
    </message>
    <message>
        <source>Начальные значения — генератор зондирующих импульсов совмещенного ПЭП: 300 В, 68 нФ, ключ 16 Ом / 10 кОм, импульс 100 нс</source>
        <translation>Initial values: the pulser of a transmit-receive transducer — 300 V, 68 nF, switch 16 Ω / 10 kΩ, pulse 100 ns</translation>
    </message>
    <message>
        <source>Статическая емкость пъезопластины</source>
        <translation>Static capacitance of the piezo plate</translation>
    </message>
    <message>
        <source>??? нФ</source>
        <translation>??? nF</translation>
    </message>
    <message>
        <source>Резонансная чатота пъезопластины</source>
        <translation>Resonance frequency of the piezo plate</translation>
    </message>
    <message>
        <source>??? МГц</source>
        <translation>??? MHz</translation>
    </message>
    <message>
        <source>Согласующая индуктивность</source>
        <translation>Matching inductance</translation>
    </message>
    <message>
        <source>??? мкГ</source>
        <translation>??? µH</translation>
    </message>
    <message>
        <source>по умолчанию</source>
        <translation>default</translation>
    </message>
    <message>
        <source>серебро</source>
        <translation>silver</translation>
    </message>
    <message>
        <source>ситалл</source>
        <translation>glass-ceramic</translation>
    </message>
    <message>
        <source>по умолчанию ЦТС-19</source>
        <translation>default PZT-19</translation>
    </message>
    <message>
        <source>по умолчанию вода</source>
        <translation>default water</translation>
    </message>
    <message>
        <source>по умолчанию Cт20</source>
        <translation>default steel 20</translation>
    </message>
    <message>
        <source>Пъезомодуль d33 (Кл/Н) = (м/В) 10^-12</source>
        <translation>Piezo modulus d33 (C/N) = (m/V) 10^-12</translation>
    </message>
    <message>
        <source>Относительная диэлектрическая </source>
        <translation>Relative dielectric </translation>
    </message>
    <message>
        <source>проницаемость </source>
        <translation>permittivity </translation>
    </message>
    <message>
        <source>Площадь пъезопластины (мм^2)</source>
        <translation>Piezo plate area (mm^2)</translation>
    </message>
    <message>
        <source>CL=###0,0 м/с</source>
        <translation>CL=###0,0 m/s</translation>
    </message>
    <message>
        <source>Параметры электромеханической задачи</source>
        <translation>Parameters of the electromechanical task</translation>
    </message>
    <message>
        <source> #0.000 нФ</source>
        <translation> #0.000 nF</translation>
    </message>
    <message>
        <source> ??? нФ</source>
        <translation> ??? nF</translation>
    </message>
    <message>
        <source> ??? мкГ</source>
        <translation> ??? µH</translation>
    </message>
    <message>
        <source> #0.0000 МГц</source>
        <translation> #0.0000 MHz</translation>
    </message>
    <message>
        <source> #0.0000 мкГ</source>
        <translation> #0.0000 µH</translation>
    </message>
</context>
<context>
    <name>TQNNumEdit</name>
    <message>
        <source>Вырезать</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Выделить всё</source>
        <translation>Select all</translation>
    </message>
</context>
<context>
    <name>TQNSuperSpin</name>
    <message>
        <source>Больше</source>
        <translation>Increase</translation>
    </message>
    <message>
        <source>Меньше</source>
        <translation>Decrease</translation>
    </message>
</context>
</TS>
