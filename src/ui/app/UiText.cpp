// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UiText.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <iterator>

namespace {

// Whole messages of the core (TaskLayout.cpp, Engine.cpp, Circuit.cpp).
[[maybe_unused]] const char *const kWholeMessages[] = {
    QT_TRANSLATE_NOOP("Core", "Шаг в пространстве должен быть больше нуля."),
    QT_TRANSLATE_NOOP("Core", "Шаг во времени должен быть больше нуля."),
    QT_TRANSLATE_NOOP("Core", "Суммарная толщина слоев должна быть больше нуля."),
    QT_TRANSLATE_NOOP("Core", "Слишком много узлов в сетке: увеличьте шаг в пространстве."),
    QT_TRANSLATE_NOOP("Core", "Сетка не помещается в памяти: увеличьте шаг в пространстве."),
    QT_TRANSLATE_NOOP("Core", "Слои выходят за пределы сетки: проверьте толщины слоев."),
    QT_TRANSLATE_NOOP("Core", "Слишком мало узлов в сетке: уменьшите шаг в пространстве."),
    QT_TRANSLATE_NOOP("Core", "Пъезопластина слишком близко к краю сетки: проверьте толщины слоев."),
    QT_TRANSLATE_NOOP("Core", "Площадь пъезопластины должна быть больше нуля."),
    QT_TRANSLATE_NOOP("Core", "Ошибка вычислений в схеме генератора (деление на ноль или переполнение)."),
    // The analysis of a record (Impedance.h, PulseFigures.h).
    QT_TRANSLATE_NOOP("Core", "Недостаточно данных для расчета импеданса."),
    QT_TRANSLATE_NOOP("Core", "Ток через пластину равен нулю: импеданс не определен."),
    QT_TRANSLATE_NOOP("Core", "Шаг по времени должен быть положительным."),
    QT_TRANSLATE_NOOP("Core", "Сигнал содержит нечисловые значения."),
    QT_TRANSLATE_NOOP("Core", "В выбранной полосе частот ток через пластину равен нулю."),
    QT_TRANSLATE_NOOP("Core", "Недостаточно данных для расчета спектра."),
    QT_TRANSLATE_NOOP("Core", "Сигнал на выбранном участке равен нулю."),
    QT_TRANSLATE_NOOP("Core", "Участок не содержит начала возбуждения: импеданс пластины по нему не определяется."),
    QT_TRANSLATE_NOOP("Core", "В полосе поиска нет минимума |Z|."),
    QT_TRANSLATE_NOOP("Core", "В полосе поиска нет максимума |Z|."),
    QT_TRANSLATE_NOOP("Core", "Колебания не затухли к концу участка: емкость C0 не определяется."),
    QT_TRANSLATE_NOOP("Core", "Ток на удвоенной частоте толщинной моды неизмерим: емкость C0 не определяется."),
    QT_TRANSLATE_NOOP("Core", "Емкость около удвоенной частоты толщинной моды неровная: C0 не определяется."),
    QT_TRANSLATE_NOOP("Core", "Без обоих резонансов емкость C0 не определяется."),
};

// Messages about one field of the generator or of the task: %1 is the field's caption.
const char *const kFieldPatterns[] = {
    QT_TRANSLATE_NOOP("Core", "Параметр «%1» равен нулю: схема генератора не может быть рассчитана."),
    QT_TRANSLATE_NOOP(
        "Core", "Параметр «%1» не является конечным числом: схема генератора не может быть рассчитана."),
    QT_TRANSLATE_NOOP("Core", "Параметр «%1» не является конечным числом: задача не может быть рассчитана."),
    QT_TRANSLATE_NOOP("Core", "Параметр «%1» меньше нуля: задача не может быть рассчитана."),
    QT_TRANSLATE_NOOP("Core", "Параметр «%1» должен быть больше нуля: задача не может быть рассчитана."),
    QT_TRANSLATE_NOOP("Core",
                      "Параметр «%1» слишком мал: пъезопластина должна занимать не менее двух узлов сетки."),
};

// The captions those messages name (Circuit.cpp, Engine.cpp).
[[maybe_unused]] const char *const kFieldCaptions[] = {
    QT_TRANSLATE_NOOP("Core", "Напряжение заряда на конденсаторе С (В)"),
    QT_TRANSLATE_NOOP("Core", "Конденсатор С (нФ)"),
    QT_TRANSLATE_NOOP("Core", "Резистор R (Ом)"),
    QT_TRANSLATE_NOOP("Core", "Индуктивность L (мкГ)"),
    QT_TRANSLATE_NOOP("Core", "Резистор RL (Ом)"),
    QT_TRANSLATE_NOOP("Core", "Сопротивление ключа в открытом состоянии (Ом)"),
    QT_TRANSLATE_NOOP("Core", "Сопротивление ключа в закрытом состоянии (Ом)"),
    QT_TRANSLATE_NOOP("Core", "Длительность фронта (нс)"),
    QT_TRANSLATE_NOOP("Core", "Длительность импульса ЗИ (нс)"),
    QT_TRANSLATE_NOOP("Core", "Напряжение пробоя VT (В)"),
    // TaskLayout.cpp; a layer's field is named "<column head>, <row head>" of the parameter
    // window's layer grid, translated as that window translates them.
    QT_TRANSLATE_NOOP("Core", "Шаг в пространстве (мкм)"),
    QT_TRANSLATE_NOOP("Core", "Шаг во времени (нс)"),
    QT_TRANSLATE_NOOP("Core", "Пъезомодуль d33 (Кл/Н) = (м/В) 10^-12"),
    QT_TRANSLATE_NOOP("Core", "Относительная диэлектрическая проницаемость"),
    QT_TRANSLATE_NOOP("Core", "Площадь пъезопластины (мм^2)"),
};

// Messages that name a file or a control (ProjectFile.cpp, ProjectInputs.cpp): the names stay as
// they are.
const char *const kNamingPatterns[] = {
    QT_TRANSLATE_NOOP("Core", "Не удалось прочитать файл %1"),
    QT_TRANSLATE_NOOP("Core", "Файл %1 не является проектом: в нем нет разделов MainForm, ParametersForm и "
                              "ElectroForm."),
    QT_TRANSLATE_NOOP("Core", "Параметр %1 не является входным параметром задачи."),
    QT_TRANSLATE_NOOP("Core", "Значение «%1» параметра %2 не является целым числом."),
};

// A solver failure: the fault, then the stage of the time step that met it (SolverFailureReason).
const char *const kFaults[] = {
    QT_TRANSLATE_NOOP("Core", "деление на ноль"),
    QT_TRANSLATE_NOOP("Core", "недопустимая операция"),
    QT_TRANSLATE_NOOP("Core", "переполнение"),
    QT_TRANSLATE_NOOP("Core", "ошибка вычислений"),
};
const char *const kStages[] = {
    QT_TRANSLATE_NOOP("Core", " при расчете скоростей"),
    QT_TRANSLATE_NOOP("Core", " при расчете электрического поля"),
    QT_TRANSLATE_NOOP("Core", " при расчете механических напряжений"),
    QT_TRANSLATE_NOOP("Core", " при расчете напряжения на пластине"),
    "",
};

QString Core(const char *text) {
    return QCoreApplication::translate("Core", text);
}

QString Core(const QString &text) {
    return QCoreApplication::translate("Core", text.toUtf8().constData());
}

// The texts that stand for %1, %2, ... when `text` reads as `pattern`; empty when it does not.
QStringList Arguments(const QString &pattern, const QString &text) {
    static const QRegularExpression mark(QStringLiteral("%[1-9]"));
    QString expression = QStringLiteral("^");
    qsizetype from = 0;
    for (auto it = mark.globalMatch(pattern); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        expression +=
            QRegularExpression::escape(pattern.mid(from, m.capturedStart() - from)) + QStringLiteral("(.+)");
        from = m.capturedEnd();
    }
    expression += QRegularExpression::escape(pattern.mid(from)) + QStringLiteral("$");
    const QRegularExpressionMatch m =
        QRegularExpression(expression, QRegularExpression::DotMatchesEverythingOption).match(text);
    return m.hasMatch() ? m.capturedTexts().mid(1) : QStringList();
}

// A field's caption: one of the core's own, or a layer grid cell "<layer>, <row>".
QString Caption(const QString &caption) {
    if (const QString own = Core(caption); own != caption)
        return own;
    const qsizetype comma = caption.indexOf(QStringLiteral(", "));
    if (comma < 0)
        return caption;
    const auto grid = [](const QString &part) {
        return QCoreApplication::translate("TParametersForm", part.toUtf8().constData());
    };
    return grid(caption.left(comma)) + QStringLiteral(", ") + grid(caption.mid(comma + 2));
}

} // namespace

QString UiText(const std::string &message) {
    const QString text = QString::fromStdString(message);
    if (const QString whole = Core(text); whole != text)
        return whole;

    for (const char *pattern : kFieldPatterns)
        if (const QStringList args = Arguments(QString::fromUtf8(pattern), text); args.size() == 1)
            return Core(pattern).arg(Caption(args[0]));

    for (const char *pattern : kNamingPatterns)
        if (const QStringList args = Arguments(QString::fromUtf8(pattern), text); !args.isEmpty()) {
            // One pass over the pattern, so that a name holding "%2" stays as it is.
            const QString translated = Core(pattern);
            return args.size() == 1 ? translated.arg(args[0]) : translated.arg(args[0], args[1]);
        }

    for (const char *stage : kStages) {
        const QString tail = QString::fromUtf8(stage);
        if (!text.endsWith(tail))
            continue;
        const QString fault = text.left(text.size() - tail.size());
        for (const char *known : kFaults)
            if (fault == QString::fromUtf8(known))
                return Core(known) + (tail.isEmpty() ? QString() : Core(stage));
    }
    return text;
}
