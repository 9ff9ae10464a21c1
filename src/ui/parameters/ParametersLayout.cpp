// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the parameter window: names, captions, initial values and fixed places.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "parameters/CircuitPictures.h"
#include "parameters/ParametersUnit.h"
#include "widgets/QNSuperSpin.h"

namespace {

using Member = TQNSuperSpin *TParametersForm::*;
using LabelMember = QLabel *TParametersForm::*;

// Layer grid of the mechanical tab: a caption column, then one column per layer.
constexpr int kGridX0 = 142, kColPitch = 104, kFieldW = 96, kFieldH = 24;
constexpr int kGridRowY[4] = {212, 240, 268, 296};
enum Column { colDempfer, colAg1, colPiezo, colAg2, colProtector, colLiquid, colSample, colCount };

QRect Cell(int col, int row) {
    return {kGridX0 + col * kColPitch, kGridRowY[row], kFieldW, kFieldH};
}

// Colours the grid gives its columns (the system colours of the classic desktop palette).
QColor ColumnColour(int col) {
    switch (col) {
    case colDempfer:
        return {200, 200, 200}; // scroll bar
    case colPiezo:
        return {255, 0, 0};
    case colProtector:
        return {191, 205, 219}; // inactive caption
    case colLiquid:
        return {0, 255, 255};
    case colSample:
        return {192, 192, 192};
    default:
        return {};
    }
}

// The window's texts kept in tables are translated where they are shown.
QString Tr(const char *text) {
    return QCoreApplication::translate("TParametersForm", text);
}

const char *const kLayerCaptions[colCount] = {QT_TRANSLATE_NOOP("TParametersForm", "Демпфер"),
                                              QT_TRANSLATE_NOOP("TParametersForm", "Электрод 1"),
                                              QT_TRANSLATE_NOOP("TParametersForm", "Пъезоэлемент"),
                                              QT_TRANSLATE_NOOP("TParametersForm", "Электрод 2"),
                                              QT_TRANSLATE_NOOP("TParametersForm", "Протектор"),
                                              QT_TRANSLATE_NOOP("TParametersForm", "Слой жидкости"),
                                              QT_TRANSLATE_NOOP("TParametersForm", "Изделие")};
const char *const kRowCaptions[4] = {QT_TRANSLATE_NOOP("TParametersForm", "Толщина (мм)"),
                                     QT_TRANSLATE_NOOP("TParametersForm", "Плотность (кГ/м^3)"),
                                     QT_TRANSLATE_NOOP("TParametersForm", "Модуль С33 (ГПа)"),
                                     QT_TRANSLATE_NOOP("TParametersForm", "Вязкость (Па/c)")};

struct FieldSpec {
    Member member;
    const char *name;
    bool mechanics;
    double value;
    bool thousands;
    bool editable;
    int col; // grid column, or -1 for a field placed by rect
    int row;
    QRect rect;
};

// In the order the project file lists them.
#define FIELD(name) &TParametersForm::name, #name
// clang-format off
const FieldSpec kFields[] = {
    {FIELD(Electro_C_QNSuperSpin), false, 68, true, false, -1, 0, {222, 355, 84, 24}},
    {FIELD(Electro_R_QNSuperSpin), false, 180, true, true, -1, 0, {222, 391, 84, 24}},
    {FIELD(Electro_L_QNSuperSpin), false, 1.2, false, true, -1, 0, {222, 427, 84, 24}},
    {FIELD(Electro_U0_QNSuperSpin), false, 300, false, false, -1, 0, {222, 314, 84, 24}},
    {FIELD(Electro_VTRon_QNSuperSpin), false, 16, false, false, -1, 0, {770, 314, 90, 24}},
    {FIELD(Electro_VTRoff_QNSuperSpin), false, 10000, true, false, -1, 0, {770, 354, 90, 24}},
    {FIELD(Electro_VTFrontTime_QNSuperSpin), false, 10, false, false, -1, 0, {770, 394, 90, 24}},
    {FIELD(Electro_VTTime_QNSuperSpin), false, 100, false, false, -1, 0, {770, 430, 90, 24}},
    {FIELD(VT_Cut_Off_QNSuperSpin), false, 600, false, false, -1, 0, {770, 466, 90, 24}},
    {FIELD(Electro_RL_QNSuperSpin), false, 0.01, true, true, -1, 0, {222, 463, 84, 24}},
    {FIELD(Protector_Ro_QNSuperSpin), true, 2650, true, false, colProtector, 1, {}},
    {FIELD(Piezo_Ro_QNSuperSpin), true, 7600, true, false, colPiezo, 1, {}},
    {FIELD(Dempfer_Nu_QNSuperSpin), true, 650, false, false, colDempfer, 3, {}},
    {FIELD(Dempfer_L_QNSuperSpin), true, 6, false, false, colDempfer, 0, {}},
    {FIELD(Dempfer_C33_QNSuperSpin), true, 67, false, false, colDempfer, 2, {}},
    {FIELD(Dempfer_Ro_QNSuperSpin), true, 8200, true, false, colDempfer, 1, {}},
    {FIELD(Piezo_L_QNSuperSpin), true, 0.4, false, false, colPiezo, 0, {}},
    {FIELD(Protector_L_QNSuperSpin), true, 0.5, false, false, colProtector, 0, {}},
    {FIELD(Liquid_L_QNSuperSpin), true, 0, false, false, colLiquid, 0, {}},
    {FIELD(Sample_L_QNSuperSpin), true, 16, false, false, colSample, 0, {}},
    {FIELD(Liquid_Ro_QNSuperSpin), true, 1000, true, false, colLiquid, 1, {}},
    {FIELD(Sample_Ro_QNSuperSpin), true, 7800, true, false, colSample, 1, {}},
    {FIELD(Piezo_C33_QNSuperSpin), true, 121, false, false, colPiezo, 2, {}},
    {FIELD(Protector_C33_QNSuperSpin), true, 90, false, false, colProtector, 2, {}},
    {FIELD(Liquid_C33_QNSuperSpin), true, 2.25, false, false, colLiquid, 2, {}},
    {FIELD(Sample_C33_QNSuperSpin), true, 275, false, false, colSample, 2, {}},
    {FIELD(Piezo_Nu_QNSuperSpin), true, 30, false, false, colPiezo, 3, {}},
    {FIELD(Protector_Nu_QNSuperSpin), true, 20, false, false, colProtector, 3, {}},
    {FIELD(Liquid_Nu_QNSuperSpin), true, 0, false, false, colLiquid, 3, {}},
    {FIELD(Sample_Nu_QNSuperSpin), true, 0, false, false, colSample, 3, {}},
    {FIELD(Piezo_d33_QNSuperSpin), true, 40, true, false, -1, 0, {300, 412, 96, 24}},
    {FIELD(Piezo_ee0_QNSuperSpin), true, 1300, false, false, -1, 0, {300, 448, 96, 24}},
    {FIELD(Spep_QNSuperSpin), true, 50, false, false, -1, 0, {300, 484, 96, 24}},
    {FIELD(Ag_L2_QNSuperSpin), true, 0.02, false, false, colAg2, 0, {}},
    {FIELD(Ag_Ro2_QNSuperSpin), true, 10500, true, false, colAg2, 1, {}},
    {FIELD(Ag_C33_2_QNSuperSpin), true, 82.7, false, false, colAg2, 2, {}},
    {FIELD(Ag_L1_QNSuperSpin), true, 0.02, false, false, colAg1, 0, {}},
    {FIELD(Ag_Ro1_QNSuperSpin), true, 10500, true, false, colAg1, 1, {}},
    {FIELD(Ag_C33_1_QNSuperSpin), true, 82.7, false, false, colAg1, 2, {}},
};
// clang-format on
#undef FIELD

QLabel *NewLabel(QWidget *parent, const QString &text, const QRect &r, QWidget *buddy = nullptr) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(r);
    if (buddy) {
        l->setBuddy(buddy);
        // Set explicitly too, so automation sees the caption without resolving buddies.
        if (buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(text.trimmed());
    }
    return l;
}

// A caption on two labels; the field is named by both lines together.
void TwoLineCaption(QWidget *parent, const QString &first, const QString &second, int x, int y, int w,
                    QWidget *buddy) {
    buddy->setAccessibleName(QString());
    NewLabel(parent, first, {x, y, w, 16}, buddy);
    NewLabel(parent, second, {x, y + 16, w, 16});
    buddy->setAccessibleName(first.trimmed() + QLatin1Char(' ') + second.trimmed());
}

} // namespace

void TParametersForm::CreateControls() {
    CommentLabel = new QLabel(tr("Комментарии"), this);
    CommentLabel->setGeometry(10, 8, 100, 24);
    CommentEdit = new QLineEdit(tr("комментарии к проекту"), this);
    CommentEdit->setObjectName(QStringLiteral("CommentEdit"));
    CommentEdit->setGeometry(112, 8, 766, 24);
    CommentLabel->setBuddy(CommentEdit);
    CommentEdit->setAccessibleName(CommentLabel->text());

    ElMechPageControl = new QTabWidget(this);
    ElMechPageControl->setObjectName(QStringLiteral("ElMechPageControl"));
    ElMechPageControl->setGeometry(4, 40, 880, 586);
    ElectricalTabSheet = new QWidget;
    ElectricalTabSheet->setObjectName(QStringLiteral("ElectricalTabSheet"));
    MechanicsTabSheet = new QWidget;
    MechanicsTabSheet->setObjectName(QStringLiteral("MechanicsTabSheet"));
    ElMechPageControl->addTab(ElectricalTabSheet, tr("Электрическая часть"));
    ElMechPageControl->addTab(MechanicsTabSheet, tr("Механическая часть"));

    CreateFields();
    CreateElectricalTab();
    CreateMechanicsTab();
    ElMechPageControl->setCurrentIndex(1);
}

void TParametersForm::CreateFields() {
    for (const FieldSpec &f : kFields) {
        auto *spin = new TQNSuperSpin(f.mechanics ? MechanicsTabSheet : ElectricalTabSheet);
        spin->setObjectName(QString::fromLatin1(f.name));
        const bool rl = &(this->*f.member) == &Electro_RL_QNSuperSpin;
        spin->SetMaxValue(100000);
        spin->SetMinValue(rl ? 0.01 : 0);
        spin->SetIncrement(1);
        spin->SetMaxLength(rl ? 8 : 6);
        spin->SetDecimals(-1);
        spin->SetNumberFormat(f.thousands ? TNumberFormat::Thousands : TNumberFormat::Standard);
        spin->SetValue(f.value);
        spin->setEnabled(f.editable);
        if (f.col >= 0) {
            spin->setGeometry(Cell(f.col, f.row));
            spin->setAccessibleName(Tr(kLayerCaptions[f.col]) + QStringLiteral(", ") +
                                    Tr(kRowCaptions[f.row]));
            const QColor colour = ColumnColour(f.col);
            QPalette pal = spin->palette();
            if (colour.isValid())
                pal.setColor(QPalette::Base, colour);
            // Disabled values stay greyed but readable on the coloured columns.
            pal.setColor(QPalette::Disabled, QPalette::Text,
                         f.col == colPiezo ? QColor(255, 235, 235) : QColor(80, 80, 80));
            spin->setPalette(pal);
        } else {
            spin->setGeometry(f.rect);
            QPalette pal = spin->palette();
            pal.setColor(QPalette::Disabled, QPalette::Text, QColor(80, 80, 80));
            spin->setPalette(pal);
        }
        this->*f.member = spin;
    }
    InverseCheckBox = new QCheckBox(tr("инверсия поляризации"), MechanicsTabSheet);
    InverseCheckBox->setObjectName(QStringLiteral("InverseCheckBox"));
    InverseCheckBox->setGeometry(440, 412, 260, 24);
}

void TParametersForm::CreateElectricalTab() {
    QWidget *tab = ElectricalTabSheet;
    QLabel *title = NewLabel(tab, tr("Электрическая схема"), {8, 4, 300, 18});
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    ShemeImage = new TSchemePicture(tab);
    ShemeImage->setObjectName(QStringLiteral("ShemeImage"));
    ShemeImage->setGeometry(8, 24, 697, 281);

    TwoLineCaption(tab, tr("Напряжение заряда"), tr("на конденсаторе С (В)"), 8, 310, 210,
                   Electro_U0_QNSuperSpin);
    NewLabel(tab, tr("300 В"), {314, 314, 190, 24});
    NewLabel(tab, tr("Конденсатор С (нФ)"), {8, 355, 210, 24}, Electro_C_QNSuperSpin);
    NewLabel(tab, tr("68 нФ"), {314, 355, 190, 24});
    NewLabel(tab, tr("Резистор R (Ом)"), {8, 391, 210, 24}, Electro_R_QNSuperSpin);
    NewLabel(tab, tr("560 Ом || 560 Ом || 360 Ом"), {314, 386, 200, 16});
    NewLabel(tab, tr("совмещенный ПЭП"), {314, 403, 200, 16});
    NewLabel(tab, tr("Индуктивность L (мкГ)"), {8, 427, 210, 24}, Electro_L_QNSuperSpin);
    NewLabel(tab, tr("Резистор RL (Ом)"), {8, 463, 210, 24}, Electro_RL_QNSuperSpin);

    TwoLineCaption(tab, tr("Сопротивление ключа"), tr("в открытом состоянии (Ом)"), 520, 310, 246,
                   Electro_VTRon_QNSuperSpin);
    TwoLineCaption(tab, tr("Сопротивление ключа"), tr("в закрытом состоянии (Ом)"), 520, 350, 246,
                   Electro_VTRoff_QNSuperSpin);
    NewLabel(tab, tr("Длительность фронта (нс)"), {520, 394, 246, 24}, Electro_VTFrontTime_QNSuperSpin);
    NewLabel(tab, tr("Длительность импульса ЗИ (нс)"), {520, 430, 246, 24}, Electro_VTTime_QNSuperSpin);
    NewLabel(tab, tr("Напряжение пробоя VT (В)"), {520, 466, 246, 24}, VT_Cut_Off_QNSuperSpin);

    QLabel *source = NewLabel(tab,
                              tr("Начальные значения — генератор зондирующих импульсов совмещенного "
                                 "ПЭП: 300 В, 68 нФ, ключ 16 Ом / 10 кОм, импульс 100 нс"),
                              {8, 506, 860, 36});
    source->setWordWrap(true);
}

void TParametersForm::CreateMechanicsTab() {
    QWidget *tab = MechanicsTabSheet;
    MechanicImage = new TMechanicPicture(tab);
    MechanicImage->setObjectName(QStringLiteral("MechanicImage"));
    MechanicImage->setGeometry(8, 6, 513, 177);

    // Static capacitance, resonance and matching inductance of the plate, beside the picture.
    const struct {
        const char *caption;
        LabelMember label;
        const char *name;
        const char *start;
    } plate[] = {
        {QT_TRANSLATE_NOOP("TParametersForm", "Статическая емкость пъезопластины"),
         &TParametersForm::FaradLabel, "FaradLabel", QT_TRANSLATE_NOOP("TParametersForm", "??? нФ")},
        {QT_TRANSLATE_NOOP("TParametersForm", "Резонансная чатота пъезопластины"),
         &TParametersForm::FrezLabel, "FrezLabel", QT_TRANSLATE_NOOP("TParametersForm", "??? МГц")},
        {QT_TRANSLATE_NOOP("TParametersForm", "Согласующая индуктивность"), &TParametersForm::Lc_Label,
         "Lc_Label", QT_TRANSLATE_NOOP("TParametersForm", "??? мкГ")},
    };
    for (int i = 0; i < 3; ++i) {
        const int y = 16 + 52 * i;
        NewLabel(tab, Tr(plate[i].caption), {540, y, 330, 20});
        QLabel *value = NewLabel(tab, Tr(plate[i].start), {560, y + 20, 310, 20});
        value->setObjectName(QString::fromLatin1(plate[i].name));
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        this->*plate[i].label = value;
    }

    for (int col = 0; col < colCount; ++col) {
        QLabel *head = NewLabel(tab, Tr(kLayerCaptions[col]), {Cell(col, 0).x() - 3, 192, kColPitch - 2, 18});
        head->setAlignment(Qt::AlignCenter);
    }
    for (int row = 0; row < 4; ++row)
        NewLabel(tab, Tr(kRowCaptions[row]), {8, kGridRowY[row], kGridX0 - 12, kFieldH});

    // Notes under the columns: the default materials.
    auto note = [&](int col, int line, const char *text, int height = 16) {
        QLabel *l = NewLabel(tab, Tr(text), {Cell(col, 0).x(), 324 + 16 * line, kFieldW, height});
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setWordWrap(true);
    };
    const char *const byDefault = QT_TRANSLATE_NOOP("TParametersForm", "по умолчанию");
    for (int col : {colAg1, colAg2}) {
        note(col, 0, byDefault);
        note(col, 1, QT_TRANSLATE_NOOP("TParametersForm", "серебро"));
    }
    note(colProtector, 0, byDefault);
    note(colProtector, 1, QT_TRANSLATE_NOOP("TParametersForm", "ситалл"));
    note(colPiezo, 0, QT_TRANSLATE_NOOP("TParametersForm", "по умолчанию ЦТС-19"), 34);
    note(colLiquid, 0, QT_TRANSLATE_NOOP("TParametersForm", "по умолчанию вода"), 34);
    note(colSample, 0, QT_TRANSLATE_NOOP("TParametersForm", "по умолчанию Cт20"), 34);

    const struct {
        int col;
        LabelMember cl, z;
        const char *clName, *zName, *clStart;
    } derived[] = {
        {colDempfer, &TParametersForm::Dempfer_CL_Label, &TParametersForm::Dempfer_Z_Label,
         "Dempfer_CL_Label", "Dempfer_Z_Label", "CL=???"},
        {colAg1, &TParametersForm::Ag_CL_1_Label, &TParametersForm::Ag_Z_1_Label, "Ag_CL_1_Label",
         "Ag_Z_1_Label", "CL=???"},
        {colPiezo, &TParametersForm::Piezo_CL_Label, &TParametersForm::Piezo_Z_Label, "Piezo_CL_Label",
         "Piezo_Z_Label", "CL=???"},
        {colAg2, &TParametersForm::Ag_CL_2_Label, &TParametersForm::Ag_Z_2_Label, "Ag_CL_2_Label",
         "Ag_Z_2_Label", "CL=???"},
        {colProtector, &TParametersForm::Protector_CL_Label, &TParametersForm::Protector_Z_Label,
         "Protector_CL_Label", "Protector_Z_Label", "CL=???"},
        {colLiquid, &TParametersForm::Liquid_CL_Label, &TParametersForm::Liquid_Z_Label, "Liquid_CL_Label",
         "Liquid_Z_Label", "CL=???"},
        {colSample, &TParametersForm::Sample_CL_Label, &TParametersForm::Sample_Z_Label, "Sample_CL_Label",
         "Sample_Z_Label", "CL=??"},
    };
    for (const auto &d : derived) {
        const int x = Cell(d.col, 0).x();
        QLabel *cl = NewLabel(tab, QString::fromLatin1(d.clStart), {x, 362, kFieldW + 6, 18});
        cl->setObjectName(QString::fromLatin1(d.clName));
        QLabel *z = NewLabel(tab, QStringLiteral("Z =???"), {x, 380, kFieldW + 6, 18});
        z->setObjectName(QString::fromLatin1(d.zName));
        this->*d.cl = cl;
        this->*d.z = z;
    }

    NewLabel(tab, tr("Пъезомодуль d33 (Кл/Н) = (м/В) 10^-12"), {8, 412, 286, 24}, Piezo_d33_QNSuperSpin);
    TwoLineCaption(tab, tr("Относительная диэлектрическая "), tr("проницаемость "), 8, 443, 286,
                   Piezo_ee0_QNSuperSpin);
    NewLabel(tab, tr("Площадь пъезопластины (мм^2)"), {8, 484, 286, 24}, Spep_QNSuperSpin);
}
