// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the parameter window: names, captions, initial values and fixed places.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <cstring>
#include <stdexcept>
#include <string>

#include "parameters/CircuitPictures.h"
#include "parameters/ParametersUnit.h"
#include "stack/TaskFields.h"
#include "widgets/QNSuperSpin.h"

namespace {

using Member = TQNSuperSpin *TParametersForm::*;
using LabelMember = QLabel *TParametersForm::*;

// Layer grid of the mechanical tab: a caption column, then one column per layer.
constexpr int kGridX0 = 142, kColPitch = 104, kFieldW = 96, kFieldH = 24;
constexpr int kGridRowY[4] = {212, 240, 268, 296};
QRect Cell(int col, int row) {
    return {kGridX0 + col * kColPitch, kGridRowY[row], kFieldW, kFieldH};
}

// Colours the grid gives its columns (the system colours of the classic desktop palette).
QColor ColumnColour(int col) {
    switch (col) {
    case Backing:
        return {200, 200, 200}; // scroll bar
    case Plate:
        return {255, 0, 0};
    case Protector:
        return {191, 205, 219}; // inactive caption
    case Liquid:
        return {0, 255, 255};
    case Sample:
        return {192, 192, 192};
    default:
        return {};
    }
}

// The window's texts kept in tables are translated where they are shown.
QString Tr(const char *text) {
    return QCoreApplication::translate("TParametersForm", text);
}

// The fields' widget specifics: the member each numeric one is, and the place of those outside the layer
// grid (a layer's field sits in its column and row). Names, values, formats and captions come from
// the task's field table.
struct FieldWidget {
    Member member;
    const char *name;
    QRect rect;
};

#define FIELD(name) &TParametersForm::name, #name
// clang-format off
const FieldWidget kFieldWidgets[] = {
    {nullptr, "InverseCheckBox", {440, 412, 260, 24}},
    {FIELD(Electro_C_QNSuperSpin), {222, 355, 84, 24}},
    {FIELD(Electro_R_QNSuperSpin), {222, 391, 84, 24}},
    {FIELD(Electro_L_QNSuperSpin), {222, 427, 84, 24}},
    {FIELD(Electro_U0_QNSuperSpin), {222, 314, 84, 24}},
    {FIELD(Electro_VTRon_QNSuperSpin), {770, 314, 90, 24}},
    {FIELD(Electro_VTRoff_QNSuperSpin), {770, 354, 90, 24}},
    {FIELD(Electro_VTFrontTime_QNSuperSpin), {770, 394, 90, 24}},
    {FIELD(Electro_VTTime_QNSuperSpin), {770, 430, 90, 24}},
    {FIELD(VT_Cut_Off_QNSuperSpin), {770, 466, 90, 24}},
    {FIELD(Electro_RL_QNSuperSpin), {222, 463, 84, 24}},
    {FIELD(Piezo_d33_QNSuperSpin), {300, 412, 96, 24}},
    {FIELD(Piezo_ee0_QNSuperSpin), {300, 448, 96, 24}},
    {FIELD(Spep_QNSuperSpin), {300, 484, 96, 24}},
    {FIELD(Dempfer_L_QNSuperSpin), {}},
    {FIELD(Dempfer_Ro_QNSuperSpin), {}},
    {FIELD(Dempfer_C33_QNSuperSpin), {}},
    {FIELD(Dempfer_Nu_QNSuperSpin), {}},
    {FIELD(Ag_L1_QNSuperSpin), {}},
    {FIELD(Ag_Ro1_QNSuperSpin), {}},
    {FIELD(Ag_C33_1_QNSuperSpin), {}},
    {FIELD(Piezo_L_QNSuperSpin), {}},
    {FIELD(Piezo_Ro_QNSuperSpin), {}},
    {FIELD(Piezo_C33_QNSuperSpin), {}},
    {FIELD(Piezo_Nu_QNSuperSpin), {}},
    {FIELD(Ag_L2_QNSuperSpin), {}},
    {FIELD(Ag_Ro2_QNSuperSpin), {}},
    {FIELD(Ag_C33_2_QNSuperSpin), {}},
    {FIELD(Protector_L_QNSuperSpin), {}},
    {FIELD(Protector_Ro_QNSuperSpin), {}},
    {FIELD(Protector_C33_QNSuperSpin), {}},
    {FIELD(Protector_Nu_QNSuperSpin), {}},
    {FIELD(Liquid_L_QNSuperSpin), {}},
    {FIELD(Liquid_Ro_QNSuperSpin), {}},
    {FIELD(Liquid_C33_QNSuperSpin), {}},
    {FIELD(Liquid_Nu_QNSuperSpin), {}},
    {FIELD(Sample_L_QNSuperSpin), {}},
    {FIELD(Sample_Ro_QNSuperSpin), {}},
    {FIELD(Sample_C33_QNSuperSpin), {}},
    {FIELD(Sample_Nu_QNSuperSpin), {}},
};
// clang-format on
#undef FIELD

const FieldWidget &WidgetOf(const TaskField &f) {
    for (const FieldWidget &w : kFieldWidgets)
        if (std::strcmp(w.name, f.Name) == 0)
            return w;
    throw std::logic_error(std::string("no widget for the field ") + f.Name);
}

// The caption lines of a field outside the layer grid, translated.
QString CaptionOf(const QWidget *field) {
    return Tr(FindTaskField(field->objectName().toStdString())->Caption);
}
QString SecondLineOf(const QWidget *field) {
    return Tr(FindTaskField(field->objectName().toStdString())->CaptionSecondLine);
}

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

// A field's caption from the field table on one label beside it.
void FieldLabel(QWidget *parent, QWidget *field, const QRect &r) {
    NewLabel(parent, CaptionOf(field), r, field);
}

// A caption on two labels; the field is named by both lines together.
void TwoLineCaption(QWidget *parent, QWidget *buddy, int x, int y, int w) {
    const QString first = CaptionOf(buddy);
    const QString second = SecondLineOf(buddy);
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
    for (const TaskField &f : TaskFields()) {
        if (std::strcmp(f.Section, kParametersFormSection) != 0)
            continue;
        const FieldWidget &w = WidgetOf(f);
        if (IsCheckBox(f)) {
            InverseCheckBox = new QCheckBox(Tr(f.Caption), MechanicsTabSheet);
            InverseCheckBox->setObjectName(QString::fromLatin1(f.Name));
            InverseCheckBox->setGeometry(w.rect);
            InverseCheckBox->setChecked(f.Initial != 0);
            continue;
        }
        const bool inGrid = f.Layer != LayerCount;
        const bool electrical = !inGrid && f.Sets >= TaskInput::ChargeVoltage;
        auto *spin = new TQNSuperSpin(electrical ? ElectricalTabSheet : MechanicsTabSheet);
        spin->setObjectName(QString::fromLatin1(f.Name));
        const bool rl = f.Sets == TaskInput::ResistorRL;
        spin->SetMaxValue(100000);
        spin->SetMinValue(rl ? 0.01 : 0);
        spin->SetIncrement(1);
        spin->SetMaxLength(rl ? 8 : 6);
        spin->SetDecimals(-1);
        spin->SetNumberFormat(f.Format);
        spin->SetValue(f.Initial);
        // The load circuit is the user's; the generator, the switch and the stack are fixed here.
        spin->setEnabled(f.Sets == TaskInput::ResistorR || f.Sets == TaskInput::InductanceL || rl);
        if (inGrid) {
            const int col = f.Layer;
            const int row = static_cast<int>(f.Sets) - static_cast<int>(TaskInput::Thickness);
            spin->setGeometry(Cell(col, row));
            spin->setAccessibleName(Tr(TaskLayerName(col)) + QStringLiteral(", ") + Tr(f.Caption));
            const QColor colour = ColumnColour(col);
            QPalette pal = spin->palette();
            if (colour.isValid())
                pal.setColor(QPalette::Base, colour);
            // Disabled values stay greyed but readable on the coloured columns.
            pal.setColor(QPalette::Disabled, QPalette::Text,
                         col == Plate ? QColor(255, 235, 235) : QColor(80, 80, 80));
            spin->setPalette(pal);
        } else {
            spin->setGeometry(w.rect);
            QPalette pal = spin->palette();
            pal.setColor(QPalette::Disabled, QPalette::Text, QColor(80, 80, 80));
            spin->setPalette(pal);
        }
        this->*w.member = spin;
    }
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

    TwoLineCaption(tab, Electro_U0_QNSuperSpin, 8, 310, 210);
    NewLabel(tab, tr("300 В"), {314, 314, 190, 24});
    FieldLabel(tab, Electro_C_QNSuperSpin, {8, 355, 210, 24});
    NewLabel(tab, tr("68 нФ"), {314, 355, 190, 24});
    FieldLabel(tab, Electro_R_QNSuperSpin, {8, 391, 210, 24});
    NewLabel(tab, tr("560 Ом || 560 Ом || 360 Ом"), {314, 386, 200, 16});
    NewLabel(tab, tr("совмещенный ПЭП"), {314, 403, 200, 16});
    FieldLabel(tab, Electro_L_QNSuperSpin, {8, 427, 210, 24});
    FieldLabel(tab, Electro_RL_QNSuperSpin, {8, 463, 210, 24});

    TwoLineCaption(tab, Electro_VTRon_QNSuperSpin, 520, 310, 246);
    TwoLineCaption(tab, Electro_VTRoff_QNSuperSpin, 520, 350, 246);
    FieldLabel(tab, Electro_VTFrontTime_QNSuperSpin, {520, 394, 246, 24});
    FieldLabel(tab, Electro_VTTime_QNSuperSpin, {520, 430, 246, 24});
    FieldLabel(tab, VT_Cut_Off_QNSuperSpin, {520, 466, 246, 24});

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

    for (int col = 0; col < LayerCount; ++col) {
        QLabel *head = NewLabel(tab, Tr(TaskLayerName(col)), {Cell(col, 0).x() - 3, 192, kColPitch - 2, 18});
        head->setAlignment(Qt::AlignCenter);
    }
    for (int row = 0; row < RowCount; ++row)
        NewLabel(tab, Tr(LayerRowCaption(row)), {8, kGridRowY[row], kGridX0 - 12, kFieldH});

    // Notes under the columns: the default materials.
    auto note = [&](int col, int line, const char *text, int height = 16) {
        QLabel *l = NewLabel(tab, Tr(text), {Cell(col, 0).x(), 324 + 16 * line, kFieldW, height});
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setWordWrap(true);
    };
    const char *const byDefault = QT_TRANSLATE_NOOP("TParametersForm", "по умолчанию");
    for (int col : {Electrode1, Electrode2}) {
        note(col, 0, byDefault);
        note(col, 1, QT_TRANSLATE_NOOP("TParametersForm", "серебро"));
    }
    note(Protector, 0, byDefault);
    note(Protector, 1, QT_TRANSLATE_NOOP("TParametersForm", "ситалл"));
    note(Plate, 0, QT_TRANSLATE_NOOP("TParametersForm", "по умолчанию ЦТС-19"), 34);
    note(Liquid, 0, QT_TRANSLATE_NOOP("TParametersForm", "по умолчанию вода"), 34);
    note(Sample, 0, QT_TRANSLATE_NOOP("TParametersForm", "по умолчанию Cт20"), 34);

    const struct {
        int col;
        LabelMember cl, z;
        const char *clName, *zName, *clStart;
    } derived[] = {
        {Backing, &TParametersForm::Dempfer_CL_Label, &TParametersForm::Dempfer_Z_Label,
         "Dempfer_CL_Label", "Dempfer_Z_Label", "CL=???"},
        {Electrode1, &TParametersForm::Ag_CL_1_Label, &TParametersForm::Ag_Z_1_Label, "Ag_CL_1_Label",
         "Ag_Z_1_Label", "CL=???"},
        {Plate, &TParametersForm::Piezo_CL_Label, &TParametersForm::Piezo_Z_Label, "Piezo_CL_Label",
         "Piezo_Z_Label", "CL=???"},
        {Electrode2, &TParametersForm::Ag_CL_2_Label, &TParametersForm::Ag_Z_2_Label, "Ag_CL_2_Label",
         "Ag_Z_2_Label", "CL=???"},
        {Protector, &TParametersForm::Protector_CL_Label, &TParametersForm::Protector_Z_Label,
         "Protector_CL_Label", "Protector_Z_Label", "CL=???"},
        {Liquid, &TParametersForm::Liquid_CL_Label, &TParametersForm::Liquid_Z_Label, "Liquid_CL_Label",
         "Liquid_Z_Label", "CL=???"},
        {Sample, &TParametersForm::Sample_CL_Label, &TParametersForm::Sample_Z_Label, "Sample_CL_Label",
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

    FieldLabel(tab, Piezo_d33_QNSuperSpin, {8, 412, 286, 24});
    TwoLineCaption(tab, Piezo_ee0_QNSuperSpin, 8, 443, 286);
    FieldLabel(tab, Spep_QNSuperSpin, {8, 484, 286, 24});
}
