// SPDX-License-Identifier: GPL-3.0-or-later
// «Создать и загрузить задачу» with layer values that describe no computable stack, loaded from a
// project or typed: the error box names the field (in Russian, or in English with the translation
// installed), and the previous task stays. Two electrodes of different metals keep their own
// constants on the nodes.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "TestFormat.h"
#include "app/Language.h"
#include "main/AppEngine.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"
#include "stack/TaskLayout.h"
#include "text/FormatSettings.h"
#include "widgets/QNSuperSpin.h"

namespace {

class TaskRefusalTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = TestFormat();
        TestFormat() = FormatSettings{U',', U'\u00A0'};
        Main = std::make_unique<TMainForm>(&TestFormat());
        Params = std::make_unique<TParametersForm>(&TestFormat());
        Electro = std::make_unique<TElectroForm>(&TestFormat());
        Main->SetWindows(Params.get(), Electro.get());
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
        ASSERT_TRUE(Dir.isValid());
    }
    void TearDown() override {
        Electro.reset();
        Params.reset();
        Main.reset();
        TestFormat() = Saved;
        ASSERT_TRUE(Language::InstallTranslation(*QCoreApplication::instance(), Language::kRussian));
    }

    // Loads a project holding these [ParametersForm] lines through the windows' own load.
    // A field missing from the file keeps its value, and the first of two entries wins: each file
    // sets the fields of every case, the case's own line first.
    void Load(const QByteArray &lines) {
        const QString path = Dir.filePath(QStringLiteral("refused.PEPmodel"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[ParametersForm]\r\n" + lines +
                "Piezo_Ro_QNSuperSpin=7600\r\nProtector_L_QNSuperSpin=0,5\r\nPiezo_L_QNSuperSpin=0,4\r\n"
                "Piezo_ee0_QNSuperSpin=1300\r\nPiezo_d33_QNSuperSpin=40\r\nSpep_QNSuperSpin=50\r\n");
        f.close();
        ASSERT_TRUE(Main->OpenProjectFile(path));
    }

    // Presses the button and returns the text of the error box it opens (closed with its button),
    // or "" when none opens.
    std::string PressCreateAndReadErrorBox() {
        QString text;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                text = box->text();
                // PEP_SHOTS_DIR=<folder> keeps a picture of the box as a user sees it.
                if (const QString dir = qEnvironmentVariable("PEP_SHOTS_DIR"); !dir.isEmpty())
                    box->grab().save(dir + QStringLiteral("/refusal_box.png"));
                QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
            }
        });
        poll.start();
        QTest::mouseClick(Main->CreateTaskBitBtn, Qt::LeftButton);
        poll.stop();
        return text.toStdString();
    }

    // Types `text` into a field of the main window (the layer fields of the parameter window are
    // shown, not edited) and leaves it with Tab.
    void TypeInto(TQNSuperSpin *field, const QString &text) {
        Main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
        field->setFocus();
        field->selectAll();
        ASSERT_TRUE(field->hasFocus());
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
        QApplication::processEvents();
    }

    FormatSettings Saved;
    QTemporaryDir Dir;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TParametersForm> Params;
    std::unique_ptr<TElectroForm> Electro;
};

const QString kPositive = QStringLiteral("» должен быть больше нуля: задача не может быть рассчитана.");

} // namespace

TEST_F(TaskRefusalTest, LoadedValuesAreShownAsStoredAndRefusedByTheButton) {
    struct Case {
        QByteArray line;
        TQNSuperSpin *TParametersForm::*field;
        QString shown, message;
    };
    const Case cases[] = {
        {"Piezo_Ro_QNSuperSpin=-7600", &TParametersForm::Piezo_Ro_QNSuperSpin, QStringLiteral("-7\u00A0600"),
         QStringLiteral("Параметр «Пъезоэлемент, Плотность (кГ/м^3)") + kPositive},
        {"Protector_L_QNSuperSpin=-1", &TParametersForm::Protector_L_QNSuperSpin, QStringLiteral("-1"),
         QStringLiteral("Параметр «Протектор, Толщина (мм)» меньше нуля: задача не может быть рассчитана.")},
        {"Piezo_L_QNSuperSpin=0", &TParametersForm::Piezo_L_QNSuperSpin, QStringLiteral("0"),
         QStringLiteral("Параметр «Пъезоэлемент, Толщина (мм)» слишком мал: пъезопластина должна занимать "
                        "не менее двух узлов сетки.")},
    };
    ASSERT_EQ(PressCreateAndReadErrorBox(), "");
    ASSERT_EQ(Engine.Solver().NodeGrid.size(), 2525u);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        Load("DeltaX_QNSuperSpin=10\r\n" + c.line + "\r\n");
        EXPECT_EQ(((*Params).*c.field)->text().toStdString(), c.shown.toStdString());
        EXPECT_EQ(PressCreateAndReadErrorBox(),
                  (QStringLiteral("Задача не создана.\n") + c.message).toStdString());
        EXPECT_TRUE(Main->CreateTaskBitBtn->isEnabled());
        EXPECT_EQ(Engine.Solver().NodeGrid.size(), 2525u); // the previous task stays
    }
}

// A 1 mm spatial step puts both faces of the 0.4 mm plate on node 7.
TEST_F(TaskRefusalTest, TypedCoarseStepLeavesThePlateOneNode) {
    TypeInto(Main->DeltaX_QNSuperSpin, QStringLiteral("1000"));
    ASSERT_EQ(Main->DeltaX_QNSuperSpin->text().toStdString(), "1000");
    EXPECT_EQ(PressCreateAndReadErrorBox(),
              "Задача не создана.\nПараметр «Пъезоэлемент, Толщина (мм)» слишком "
              "мал: пъезопластина должна занимать не менее двух узлов сетки.");
    TypeInto(Main->DeltaX_QNSuperSpin, QStringLiteral("500"));
    EXPECT_EQ(PressCreateAndReadErrorBox(), "");
    EXPECT_EQ(Engine.Solver().PiezoFirst, 14);
    EXPECT_EQ(Engine.Solver().PiezoLast, 15);
}

TEST_F(TaskRefusalTest, EnglishErrorBoxNamesTheFieldInEnglish) {
    ASSERT_TRUE(Language::InstallTranslation(*QCoreApplication::instance(), Language::kEnglish));
    const struct {
        QByteArray line;
        const char *english;
    } cases[] = {
        {"Protector_L_QNSuperSpin=-1",
         "Parameter “Protector, Thickness (mm)” is less than zero: the task cannot be calculated."},
        {"Piezo_Ro_QNSuperSpin=-7600", "Parameter “Piezo plate, Density (kg/m^3)” must be greater than zero: "
                                       "the task cannot be calculated."},
        {"Piezo_L_QNSuperSpin=0",
         "Parameter “Piezo plate, Thickness (mm)” is too small: the piezo plate must "
         "span at least two grid nodes."},
        {"Piezo_ee0_QNSuperSpin=0", "Parameter “Relative dielectric permittivity” must be greater than zero: "
                                    "the task cannot be calculated."},
        {"Spep_QNSuperSpin=1e400",
         "Parameter “Piezo plate area (mm^2)” is not a finite number: the task cannot be calculated."},
        {"Piezo_d33_QNSuperSpin=1e400", "Parameter “Piezo modulus d33 (C/N) = (m/V) 10^-12” is not a finite "
                                        "number: the task cannot be calculated."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        Load(c.line + "\r\n");
        EXPECT_EQ(PressCreateAndReadErrorBox(), "The task was not built.\n" + std::string(c.english));
    }
}

// The windows read each electrode's own fields into its own layer.
TEST_F(TaskRefusalTest, ElectrodesOfDifferentMetalsThroughTheButton) {
    Load("Ag_Ro1_QNSuperSpin=19300\r\nAg_C33_1_QNSuperSpin=78\r\n"
         "Ag_Ro2_QNSuperSpin=8960\r\nAg_C33_2_QNSuperSpin=137\r\n");
    ASSERT_EQ(PressCreateAndReadErrorBox(), "");
    ASSERT_EQ(Engine.Solver().NodeGrid.size(), 2525u);
    // Electrode 1 keeps nodes 726..727, electrode 2 nodes 768..769 (PiezoLast).
    const struct {
        size_t node;
        double rho, c33;
    } expected[] = {{725, 8200, 67e9},  {726, 19300, 78e9}, {727, 19300, 78e9}, {728, 7600, 121e9},
                    {767, 7600, 121e9}, {768, 8960, 137e9}, {769, 8960, 137e9}, {770, 2650, 90e9}};
    for (const auto &x : expected) {
        EXPECT_EQ(Engine.Solver().Coefficients[x.node].Density, x.rho) << x.node;
        EXPECT_EQ(Engine.Solver().Coefficients[x.node].Stiffness, x.c33) << x.node;
    }
}

// The core names a layer's field as the window names it to assistive tools, so a refusal points at
// a field the user can find (and UiText finds its translation).
TEST_F(TaskRefusalTest, CoreCaptionsAreTheFieldsAccessibleNames) {
    using P = TParametersForm;
    const struct {
        int layer, row;
        TQNSuperSpin *P::*field;
    } fields[] = {
        {Backing, 0, &P::Dempfer_L_QNSuperSpin},       {Backing, 1, &P::Dempfer_Ro_QNSuperSpin},
        {Backing, 2, &P::Dempfer_C33_QNSuperSpin},     {Backing, 3, &P::Dempfer_Nu_QNSuperSpin},
        {Electrode1, 0, &P::Ag_L1_QNSuperSpin},        {Electrode1, 1, &P::Ag_Ro1_QNSuperSpin},
        {Electrode1, 2, &P::Ag_C33_1_QNSuperSpin},     {Plate, 0, &P::Piezo_L_QNSuperSpin},
        {Plate, 1, &P::Piezo_Ro_QNSuperSpin},          {Plate, 2, &P::Piezo_C33_QNSuperSpin},
        {Plate, 3, &P::Piezo_Nu_QNSuperSpin},          {Electrode2, 0, &P::Ag_L2_QNSuperSpin},
        {Electrode2, 1, &P::Ag_Ro2_QNSuperSpin},       {Electrode2, 2, &P::Ag_C33_2_QNSuperSpin},
        {Protector, 0, &P::Protector_L_QNSuperSpin},   {Protector, 1, &P::Protector_Ro_QNSuperSpin},
        {Protector, 2, &P::Protector_C33_QNSuperSpin}, {Protector, 3, &P::Protector_Nu_QNSuperSpin},
        {Liquid, 0, &P::Liquid_L_QNSuperSpin},         {Liquid, 1, &P::Liquid_Ro_QNSuperSpin},
        {Liquid, 2, &P::Liquid_C33_QNSuperSpin},       {Liquid, 3, &P::Liquid_Nu_QNSuperSpin},
        {Sample, 0, &P::Sample_L_QNSuperSpin},         {Sample, 1, &P::Sample_Ro_QNSuperSpin},
        {Sample, 2, &P::Sample_C33_QNSuperSpin},       {Sample, 3, &P::Sample_Nu_QNSuperSpin},
    };
    for (const auto &f : fields)
        EXPECT_EQ(((*Params).*f.field)->accessibleName().toStdString(), LayerFieldCaption(f.layer, f.row));
}
