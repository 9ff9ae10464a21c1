// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "TestFormat.h"
#include "app/UiText.h"
#include "circuit/Circuit.h"
#include "main/AppEngine.h"
#include "parameters/CircuitPictures.h"
#include "parameters/ParametersUnit.h"
#include "run/Engine.h"
#include "text/Errors.h"
#include "text/FormatSettings.h"
#include "widgets/QNSuperSpin.h"

namespace {

// The program's engine's generator, which the window sets up.
TGeneratorCircuit &Generator() {
    return dynamic_cast<TGeneratorCircuit &>(Engine.Circuit());
}

const QString kNbsp = QString(QChar(0x00A0));

// Runs a test body with the given separators and restores the process-wide settings afterwards.
class SeparatorScope {
public:
    SeparatorScope(char32_t dec, char32_t thousands) : saved_(TestFormat()) {
        TestFormat().DecimalSeparator = dec;
        TestFormat().ThousandSeparator = thousands;
    }
    ~SeparatorScope() { TestFormat() = saved_; }

private:
    FormatSettings saved_;
};

struct Separators {
    char32_t dec, thousands;
    QString Dec() const { return QString::fromUcs4(&dec, 1); }
    QString Th() const { return QString::fromUcs4(&thousands, 1); }
};

// The generator as task construction takes it from the window: the fields read, converted to SI,
// the signal histories reset with the charge voltage.
void TakeCircuit(const TParametersForm &f) {
    const CircuitInputs in = f.ReadCircuitInputs();
    Engine.Circuit().Init(ConvertCircuitInputs(in), static_cast<double>(in.ChargeVoltage));
}

// The refusal of the generator fields as task construction words it; "" when they can be used.
QString CircuitRefusal(const TParametersForm &f) {
    return UiText(CheckCircuitInputs(f.ReadCircuitInputs()));
}

class ParametersFormTest : public ::testing::TestWithParam<Separators> {
protected:
    void SetUp() override {
        scope_ = std::make_unique<SeparatorScope>(GetParam().dec, GetParam().thousands);
        form_ = std::make_unique<TParametersForm>(&TestFormat());
    }
    void TearDown() override {
        form_.reset();
        scope_.reset();
    }
    // "1.438" written with the decimal separator under test.
    QString D(QString s) const { return s.replace('.', GetParam().Dec()); }
    QString T(QString s) const { return s.replace(' ', GetParam().Th()); }
    void Activate() {
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }

    std::unique_ptr<SeparatorScope> scope_;
    std::unique_ptr<TParametersForm> form_;
};

INSTANTIATE_TEST_SUITE_P(Separators, ParametersFormTest,
                         ::testing::Values(Separators{U',', U'\u00A0'}, Separators{U'.', U','}));

struct FieldExpect {
    TQNSuperSpin *TParametersForm::*member;
    const char *name;
    double value;
    bool thousands;
};

const FieldExpect kFields[] = {
    {&TParametersForm::Electro_U0_QNSuperSpin, "Electro_U0_QNSuperSpin", 300, false},
    {&TParametersForm::Electro_C_QNSuperSpin, "Electro_C_QNSuperSpin", 68, true},
    {&TParametersForm::Electro_R_QNSuperSpin, "Electro_R_QNSuperSpin", 180, true},
    {&TParametersForm::Electro_L_QNSuperSpin, "Electro_L_QNSuperSpin", 1.2, false},
    {&TParametersForm::Electro_RL_QNSuperSpin, "Electro_RL_QNSuperSpin", 0.01, true},
    {&TParametersForm::Electro_VTRon_QNSuperSpin, "Electro_VTRon_QNSuperSpin", 16, false},
    {&TParametersForm::Electro_VTRoff_QNSuperSpin, "Electro_VTRoff_QNSuperSpin", 10000, true},
    {&TParametersForm::Electro_VTFrontTime_QNSuperSpin, "Electro_VTFrontTime_QNSuperSpin", 10, false},
    {&TParametersForm::Electro_VTTime_QNSuperSpin, "Electro_VTTime_QNSuperSpin", 100, false},
    {&TParametersForm::VT_Cut_Off_QNSuperSpin, "VT_Cut_Off_QNSuperSpin", 600, false},
    {&TParametersForm::Dempfer_L_QNSuperSpin, "Dempfer_L_QNSuperSpin", 6, false},
    {&TParametersForm::Dempfer_Ro_QNSuperSpin, "Dempfer_Ro_QNSuperSpin", 8200, true},
    {&TParametersForm::Dempfer_C33_QNSuperSpin, "Dempfer_C33_QNSuperSpin", 67, false},
    {&TParametersForm::Dempfer_Nu_QNSuperSpin, "Dempfer_Nu_QNSuperSpin", 650, false},
    {&TParametersForm::Ag_L1_QNSuperSpin, "Ag_L1_QNSuperSpin", 0.02, false},
    {&TParametersForm::Ag_Ro1_QNSuperSpin, "Ag_Ro1_QNSuperSpin", 10500, true},
    {&TParametersForm::Ag_C33_1_QNSuperSpin, "Ag_C33_1_QNSuperSpin", 82.7, false},
    {&TParametersForm::Piezo_L_QNSuperSpin, "Piezo_L_QNSuperSpin", 0.4, false},
    {&TParametersForm::Piezo_Ro_QNSuperSpin, "Piezo_Ro_QNSuperSpin", 7600, true},
    {&TParametersForm::Piezo_C33_QNSuperSpin, "Piezo_C33_QNSuperSpin", 121, false},
    {&TParametersForm::Piezo_Nu_QNSuperSpin, "Piezo_Nu_QNSuperSpin", 30, false},
    {&TParametersForm::Ag_L2_QNSuperSpin, "Ag_L2_QNSuperSpin", 0.02, false},
    {&TParametersForm::Ag_Ro2_QNSuperSpin, "Ag_Ro2_QNSuperSpin", 10500, true},
    {&TParametersForm::Ag_C33_2_QNSuperSpin, "Ag_C33_2_QNSuperSpin", 82.7, false},
    {&TParametersForm::Protector_L_QNSuperSpin, "Protector_L_QNSuperSpin", 0.5, false},
    {&TParametersForm::Protector_Ro_QNSuperSpin, "Protector_Ro_QNSuperSpin", 2650, true},
    {&TParametersForm::Protector_C33_QNSuperSpin, "Protector_C33_QNSuperSpin", 90, false},
    {&TParametersForm::Protector_Nu_QNSuperSpin, "Protector_Nu_QNSuperSpin", 20, false},
    {&TParametersForm::Liquid_L_QNSuperSpin, "Liquid_L_QNSuperSpin", 0, false},
    {&TParametersForm::Liquid_Ro_QNSuperSpin, "Liquid_Ro_QNSuperSpin", 1000, true},
    {&TParametersForm::Liquid_C33_QNSuperSpin, "Liquid_C33_QNSuperSpin", 2.25, false},
    {&TParametersForm::Liquid_Nu_QNSuperSpin, "Liquid_Nu_QNSuperSpin", 0, false},
    {&TParametersForm::Sample_L_QNSuperSpin, "Sample_L_QNSuperSpin", 16, false},
    {&TParametersForm::Sample_Ro_QNSuperSpin, "Sample_Ro_QNSuperSpin", 7800, true},
    {&TParametersForm::Sample_C33_QNSuperSpin, "Sample_C33_QNSuperSpin", 275, false},
    {&TParametersForm::Sample_Nu_QNSuperSpin, "Sample_Nu_QNSuperSpin", 0, false},
    {&TParametersForm::Piezo_d33_QNSuperSpin, "Piezo_d33_QNSuperSpin", 40, true},
    {&TParametersForm::Piezo_ee0_QNSuperSpin, "Piezo_ee0_QNSuperSpin", 1300, false},
    {&TParametersForm::Spep_QNSuperSpin, "Spep_QNSuperSpin", 50, false},
};

} // namespace

TEST_P(ParametersFormTest, WindowAndFieldsAsCreated) {
    TParametersForm &f = *form_;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Параметры электромеханической задачи"));
    EXPECT_EQ(f.size(), QSize(888, 630));
    EXPECT_TRUE(f.isWindow());
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(f.CommentEdit->text(), QStringLiteral("комментарии к проекту"));
    EXPECT_EQ(f.CommentEdit->objectName(), "CommentEdit");
    EXPECT_EQ(f.ElMechPageControl->currentIndex(), 1);
    EXPECT_EQ(f.ElMechPageControl->currentWidget(), f.MechanicsTabSheet);
    EXPECT_EQ(f.ElMechPageControl->tabText(0), QStringLiteral("Электрическая часть"));
    EXPECT_EQ(f.ElMechPageControl->tabText(1), QStringLiteral("Механическая часть"));
    EXPECT_EQ(f.ShemeImage->size(), QSize(697, 281));
    EXPECT_EQ(f.MechanicImage->size(), QSize(513, 177));
    EXPECT_EQ(f.InverseCheckBox->text(), QStringLiteral("инверсия поляризации"));
    EXPECT_FALSE(f.InverseCheckBox->isChecked());

    EXPECT_EQ(f.findChildren<TQNSuperSpin *>().size(), 39);
    for (const FieldExpect &e : kFields) {
        TQNSuperSpin *spin = f.*e.member;
        ASSERT_NE(spin, nullptr) << e.name;
        EXPECT_EQ(spin->objectName(), e.name);
        EXPECT_EQ(f.findChild<TQNSuperSpin *>(e.name), spin);
        EXPECT_DOUBLE_EQ(static_cast<double>(spin->GetValue()), e.value) << e.name;
        EXPECT_EQ(spin->NumberFormat(), e.thousands ? TNumberFormat::Thousands : TNumberFormat::Standard)
            << e.name;
        const bool rl = spin == f.Electro_RL_QNSuperSpin;
        EXPECT_EQ(static_cast<double>(spin->MinValue()), rl ? 0.01 : 0) << e.name;
        EXPECT_EQ(static_cast<double>(spin->MaxValue()), 100000) << e.name;
        EXPECT_EQ(spin->MaxLength(), rl ? 8 : 6) << e.name;
        EXPECT_EQ(spin->Decimals(), -1);
        EXPECT_EQ(static_cast<double>(spin->Increment()), 1);
        const bool editable = spin == f.Electro_R_QNSuperSpin || spin == f.Electro_L_QNSuperSpin ||
                              spin == f.Electro_RL_QNSuperSpin;
        EXPECT_EQ(spin->isEnabled(), editable) << e.name;
        EXPECT_FALSE(spin->accessibleName().isEmpty()) << e.name;
    }
    EXPECT_EQ(f.Electro_L_QNSuperSpin->text(), D("1.2"));

    // Captions reach screen readers: buddies, and names joined from two-line captions or grid headers.
    EXPECT_EQ(f.Electro_R_QNSuperSpin->accessibleName(), QStringLiteral("Резистор R (Ом)"));
    EXPECT_EQ(f.Electro_U0_QNSuperSpin->accessibleName(),
              QStringLiteral("Напряжение заряда на конденсаторе С (В)"));
    EXPECT_EQ(f.Piezo_ee0_QNSuperSpin->accessibleName(),
              QStringLiteral("Относительная диэлектрическая проницаемость"));
    EXPECT_EQ(f.Sample_Ro_QNSuperSpin->accessibleName(), QStringLiteral("Изделие, Плотность (кГ/м^3)"));
    EXPECT_EQ(f.CommentEdit->accessibleName(), QStringLiteral("Комментарии"));
    int buddies = 0;
    for (QLabel *l : f.findChildren<QLabel *>())
        buddies += l->buddy() != nullptr;
    EXPECT_EQ(buddies, 14); // ten generator fields, three plate fields, the comment
    EXPECT_EQ(f.Electro_VTRoff_QNSuperSpin->text(), T("10 000"));
}

TEST_P(ParametersFormTest, StartCaptionsUntilTheFirstActivation) {
    TParametersForm &f = *form_;
    EXPECT_EQ(f.Dempfer_CL_Label->text(), "CL=???");
    EXPECT_EQ(f.Piezo_CL_Label->text(), "CL=???");
    EXPECT_EQ(f.Sample_CL_Label->text(), "CL=??");
    EXPECT_EQ(f.Liquid_Z_Label->text(), "Z =???");
    EXPECT_EQ(f.FaradLabel->text(), QStringLiteral("??? нФ"));
    EXPECT_EQ(f.FrezLabel->text(), QStringLiteral("??? МГц"));
    EXPECT_EQ(f.Lc_Label->text(), QStringLiteral("??? мкГ"));
    EXPECT_EQ(f.findChild<QLabel *>("Ag_Z_2_Label"), f.Ag_Z_2_Label);
}

TEST_P(ParametersFormTest, ActivationShowsTheDerivedQuantitiesOfTheInitialValues) {
    Activate();
    TParametersForm &f = *form_;
    const QString ms = QStringLiteral(" м/с");
    EXPECT_EQ(f.Dempfer_CL_Label->text(), T("CL=2 858") + ms);
    EXPECT_EQ(f.Dempfer_Z_Label->text(), D("Z =2.34E+07"));
    EXPECT_EQ(f.Ag_CL_1_Label->text(), T("CL=2 806") + ms);
    EXPECT_EQ(f.Ag_Z_1_Label->text(), D("Z =2.95E+07"));
    EXPECT_EQ(f.Ag_CL_2_Label->text(), T("CL=2 806") + ms);
    EXPECT_EQ(f.Ag_Z_2_Label->text(), D("Z =2.95E+07"));
    EXPECT_EQ(f.Piezo_CL_Label->text(), T("CL=3 990") + ms);
    EXPECT_EQ(f.Piezo_Z_Label->text(), D("Z =3.03E+07"));
    EXPECT_EQ(f.Protector_CL_Label->text(), T("CL=5 828") + ms);
    EXPECT_EQ(f.Protector_Z_Label->text(), D("Z =1.54E+07"));
    EXPECT_EQ(f.Liquid_CL_Label->text(), T("CL=1 500") + ms);
    EXPECT_EQ(f.Liquid_Z_Label->text(), D("Z =1.50E+06"));
    EXPECT_EQ(f.Sample_CL_Label->text(), T("CL=5 938") + ms);
    EXPECT_EQ(f.Sample_Z_Label->text(), D("Z =4.63E+07"));
    EXPECT_EQ(f.FaradLabel->text(), D(" 1.438") + QStringLiteral(" нФ"));
    EXPECT_EQ(f.FrezLabel->text(), D(" 4.9876") + QStringLiteral(" МГц"));
    EXPECT_EQ(f.Lc_Label->text(), D(" 0.7080") + QStringLiteral(" мкГ"));
}

TEST_P(ParametersFormTest, TheNineteenFieldsRefreshTheLabelsAndOthersDoNot) {
    Activate();
    TParametersForm &f = *form_;
    f.Dempfer_CL_Label->setText("stale");
    f.Piezo_d33_QNSuperSpin->SetValue(50);
    f.Dempfer_L_QNSuperSpin->SetValue(7);
    f.Piezo_Nu_QNSuperSpin->SetValue(31);
    EXPECT_EQ(f.Dempfer_CL_Label->text(), "stale");
    f.Ag_L1_QNSuperSpin->SetValue(0.03); // not used by the formulas, still a trigger
    EXPECT_EQ(f.Dempfer_CL_Label->text(), T("CL=2 858") + QStringLiteral(" м/с"));

    f.Sample_Ro_QNSuperSpin->SetValue(2700);
    f.Sample_C33_QNSuperSpin->SetValue(70);
    EXPECT_EQ(f.Sample_CL_Label->text(), T("CL=5 092") + QStringLiteral(" м/с"));
    f.Spep_QNSuperSpin->SetValue(100);
    EXPECT_EQ(f.FaradLabel->text(), D(" 2.876") + QStringLiteral(" нФ"));
    f.Piezo_L_QNSuperSpin->SetValue(0.8);
    EXPECT_EQ(f.FaradLabel->text(), D(" 1.438") + QStringLiteral(" нФ"));
    EXPECT_EQ(f.FrezLabel->text(), D(" 2.4938") + QStringLiteral(" МГц"));
}

TEST_P(ParametersFormTest, PlaceholdersInsteadOfFaults) {
    Activate();
    TParametersForm &f = *form_;
    const QString ms = QStringLiteral(" м/с");

    f.Dempfer_Ro_QNSuperSpin->SetValue(0);
    EXPECT_EQ(f.Dempfer_CL_Label->text(), "CL=???");
    EXPECT_EQ(f.Dempfer_Z_Label->text(), "Z =???");
    f.Liquid_C33_QNSuperSpin->SetValue(-2); // only a project file can do this
    EXPECT_EQ(f.Liquid_CL_Label->text(), "CL=???");
    EXPECT_EQ(f.Liquid_Z_Label->text(), "Z =???");
    f.Protector_C33_QNSuperSpin->SetValue(0);
    EXPECT_EQ(f.Protector_CL_Label->text(), QStringLiteral("CL=00") + ms);
    EXPECT_EQ(f.Protector_Z_Label->text(), D("Z =0.00E+00"));

    f.Piezo_Ro_QNSuperSpin->SetValue(0);
    EXPECT_EQ(f.Piezo_CL_Label->text(), "CL=???");
    EXPECT_EQ(f.Piezo_Z_Label->text(), "Z =???");
    EXPECT_EQ(f.FaradLabel->text(), D(" 1.438") + QStringLiteral(" нФ"));
    EXPECT_EQ(f.FrezLabel->text(), QStringLiteral("??? МГц"));
    EXPECT_EQ(f.Lc_Label->text(), QStringLiteral(" ??? мкГ"));
    f.Piezo_Ro_QNSuperSpin->SetValue(7600);

    f.Piezo_C33_QNSuperSpin->SetValue(0); // zero frequency
    EXPECT_EQ(f.FrezLabel->text(), D(" 0.0000") + QStringLiteral(" МГц"));
    EXPECT_EQ(f.Lc_Label->text(), QStringLiteral(" ??? мкГ"));
    f.Piezo_C33_QNSuperSpin->SetValue(121);
    EXPECT_EQ(f.Lc_Label->text(), D(" 0.7080") + QStringLiteral(" мкГ"));

    f.Piezo_ee0_QNSuperSpin->SetValue(0); // zero capacitance
    EXPECT_EQ(f.FaradLabel->text(), D(" 0.000") + QStringLiteral(" нФ"));
    EXPECT_EQ(f.FrezLabel->text(), D(" 4.9876") + QStringLiteral(" МГц"));
    EXPECT_EQ(f.Lc_Label->text(), QStringLiteral(" ??? мкГ"));
    f.Piezo_ee0_QNSuperSpin->SetValue(1300);

    f.Piezo_L_QNSuperSpin->SetValue(0); // thickness 0: the replacements 1e-16 F and 1 Hz
    EXPECT_EQ(f.FaradLabel->text(), D(" 0.000") + QStringLiteral(" нФ"));
    EXPECT_EQ(f.FrezLabel->text(), D(" 0.0000") + QStringLiteral(" МГц"));
    EXPECT_TRUE(f.Lc_Label->text().endsWith(QStringLiteral(" мкГ")));
    EXPECT_FALSE(f.Lc_Label->text().contains("???"));

    f.Piezo_Ro_QNSuperSpin->setText("abc"); // no number at all: placeholder, no exception
    EXPECT_EQ(f.Piezo_CL_Label->text(), "CL=???");
}

TEST_P(ParametersFormTest, TypedGeneratorValuesReachTheCircuit) {
    Activate();
    TParametersForm &f = *form_;
    f.ElMechPageControl->setCurrentIndex(0);

    f.Electro_R_QNSuperSpin->setFocus();
    f.Electro_R_QNSuperSpin->selectAll();
    QTest::keyClicks(f.Electro_R_QNSuperSpin, "250");
    EXPECT_EQ(static_cast<double>(f.Electro_R_QNSuperSpin->GetValue()), 250);

    f.Electro_L_QNSuperSpin->setFocus();
    f.Electro_L_QNSuperSpin->selectAll();
    QTest::keyClicks(f.Electro_L_QNSuperSpin, "2");
    QTest::keyClicks(f.Electro_L_QNSuperSpin, GetParam().Dec());
    QTest::keyClicks(f.Electro_L_QNSuperSpin, "5");
    EXPECT_EQ(f.Electro_L_QNSuperSpin->text(), D("2.5"));

    f.Electro_RL_QNSuperSpin->setFocus();
    f.Electro_RL_QNSuperSpin->selectAll();
    QTest::keyClicks(f.Electro_RL_QNSuperSpin, "3");
    EXPECT_EQ(static_cast<double>(f.Electro_RL_QNSuperSpin->GetValue()), 3);

    EXPECT_EQ(CircuitRefusal(f), QString());
    TakeCircuit(f);
    EXPECT_EQ(Generator().Constants().R, 250);
    EXPECT_DOUBLE_EQ(Generator().Constants().L, 2.5e-6);
    EXPECT_EQ(Generator().Constants().RL, 3);
    EXPECT_DOUBLE_EQ(Generator().Constants().C, 68e-9);
    EXPECT_EQ(Generator().Constants().Ron, 16);
    EXPECT_EQ(Generator().Constants().Roff, 10000);
    EXPECT_DOUBLE_EQ(Generator().Constants().Tfront, 10e-9);
    EXPECT_DOUBLE_EQ(Generator().Constants().Tpulse, 100e-9);
    EXPECT_EQ(Generator().Constants().Ucut, 600);
    EXPECT_EQ(Generator().Constants().C, static_cast<double>(68.0L * 1e-9L));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Generator().Signals().U0[k], 300);
        EXPECT_EQ(Generator().Signals().U1[k], 0);
        EXPECT_EQ(Generator().Signals().Ipep[k], 0);
    }
}

TEST_P(ParametersFormTest, ZeroTypedIntoRIsRefusedByTheCheck) {
    Activate();
    TParametersForm &f = *form_;
    f.ElMechPageControl->setCurrentIndex(0);
    f.Electro_R_QNSuperSpin->setFocus();
    f.Electro_R_QNSuperSpin->selectAll();
    QTest::keyClick(f.Electro_R_QNSuperSpin, Qt::Key_0);
    EXPECT_EQ(static_cast<double>(f.Electro_R_QNSuperSpin->GetValue()), 0);
    const QString msg = CircuitRefusal(f);
    EXPECT_TRUE(msg.contains(QStringLiteral("«Резистор R (Ом)»"))) << msg.toStdString();
    EXPECT_TRUE(msg.contains(QStringLiteral("равен нулю"))) << msg.toStdString();

    f.Electro_R_QNSuperSpin->SetValue(180);
    f.Electro_L_QNSuperSpin->SetValue(0);
    EXPECT_TRUE(CircuitRefusal(f).contains(QStringLiteral("«Индуктивность L (мкГ)»")));
    f.Electro_L_QNSuperSpin->SetValue(1.2);
    f.Electro_VTFrontTime_QNSuperSpin->SetValue(0);
    EXPECT_TRUE(CircuitRefusal(f).contains(QStringLiteral("«Длительность фронта (нс)»")));
}

TEST_P(ParametersFormTest, TakingTheCircuitChangesNothingWhenAFieldHoldsNoNumber) {
    TParametersForm &f = *form_;
    TakeCircuit(f);
    Generator().Signals().U0[1] = 123;
    f.Electro_R_QNSuperSpin->SetValue(999);
    f.Electro_C_QNSuperSpin->setText("x1");
    EXPECT_THROW(TakeCircuit(f), ConversionError);
    EXPECT_EQ(Generator().Constants().R, 180);
    EXPECT_EQ(Generator().Signals().U0[1], 123);
    try {
        f.ReadCircuitInputs();
        ADD_FAILURE() << "read a field that holds no number";
    } catch (const ConversionError &e) {
        EXPECT_EQ(std::string(e.what()), "'x1' is not a valid floating point value");
    }
}

TEST_P(ParametersFormTest, ModuleStepUsesTheSolversTimeStep) {
    TakeCircuit(*form_);
    const double dt = 0.2e-9;
    Generator().Signals().Upep[0] = 0;
    CircuitStep(Generator().Constants(), Generator().Signals(), dt, 0.0);
    ShiftCircuitLevels(Generator().Signals());
    CircuitStep(Generator().Constants(), Generator().Signals(), dt, dt);
    EXPECT_NEAR(Generator().Signals().U0[0], 299.999903, 0.0000005);
    EXPECT_NEAR(Generator().Signals().I0[0], 0.0095278, 0.00000005);
    EXPECT_NEAR(SwitchCurrent(Generator().Constants(), Generator().Signals(), 650, 200e-9),
                0.25 * 3.19 + 0.25 * (Generator().Signals().I0[1] + Generator().Signals().I0[2] +
                                      Generator().Signals().I0[3]),
                1e-12);
    EXPECT_EQ(Engine.PlateArea, 1.0);
}

TEST_P(ParametersFormTest, ClosingOnlyHides) {
    Activate();
    QPointer<TParametersForm> alive(form_.get());
    form_->close();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_FALSE(alive.isNull());
}

// Every control lies inside its page, nothing overlaps, and every caption fits its label.
TEST_P(ParametersFormTest, LayoutFitsWithoutOverlapsOrCutCaptions) {
    Activate();
    TParametersForm &f = *form_;
    const QString shots = qEnvironmentVariable("PEP_SHOTS_DIR");
    for (int page = 0; page < 2; ++page) {
        f.ElMechPageControl->setCurrentIndex(page);
        QWidget *tab = f.ElMechPageControl->widget(page);
        QCoreApplication::processEvents();
        QList<QWidget *> kids;
        for (QObject *o : tab->children())
            if (auto *w = qobject_cast<QWidget *>(o); w && w->isVisibleTo(tab))
                kids.append(w);
        ASSERT_GT(kids.size(), 10);
        for (QWidget *w : kids) {
            EXPECT_TRUE(tab->rect().contains(w->geometry()))
                << w->objectName().toStdString() << " page " << page;
            if (auto *l = qobject_cast<QLabel *>(w); l && !l->wordWrap()) {
                const int need = l->fontMetrics().horizontalAdvance(l->text());
                EXPECT_LE(need, l->width()) << l->text().toStdString();
                EXPECT_GE(l->height(), l->fontMetrics().height()) << l->text().toStdString();
            }
        }
        for (int i = 0; i < kids.size(); ++i)
            for (int j = i + 1; j < kids.size(); ++j)
                EXPECT_FALSE(kids[i]->geometry().intersects(kids[j]->geometry()))
                    << kids[i]->objectName().toStdString() << " / "
                    << qPrintable(kids[i]->property("text").toString()) << " overlaps "
                    << kids[j]->objectName().toStdString() << " / "
                    << qPrintable(kids[j]->property("text").toString());
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            f.grab().save(shots + QStringLiteral("/parameters_tab%1.png").arg(page));
        }
    }
    EXPECT_TRUE(f.rect().contains(f.ElMechPageControl->geometry()));
    EXPECT_TRUE(f.rect().contains(f.CommentEdit->geometry()));
}

TEST(CircuitPictures, DrawnInTheirColoursAndScalable) {
    TMechanicPicture stack;
    stack.resize(513, 177);
    const QImage img = stack.grab().toImage();
    auto has = [&](auto pred) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (pred(img.pixelColor(x, y)))
                    return true;
        return false;
    };
    EXPECT_TRUE(has([](QColor c) { return c.red() > 200 && c.green() > 180 && c.blue() < 60; })) << "yellow";
    EXPECT_TRUE(has([](QColor c) { return c.green() > 150 && c.red() < 80 && c.blue() < 100; })) << "green";
    EXPECT_TRUE(has([](QColor c) { return c.green() > 200 && c.blue() > 200 && c.red() < 60; })) << "cyan";

    TSchemePicture scheme;
    scheme.resize(1394, 562); // twice the design size: drawn, not a stretched bitmap
    const QImage big = scheme.grab().toImage();
    int dark = 0;
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            dark += big.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 5000);
}
