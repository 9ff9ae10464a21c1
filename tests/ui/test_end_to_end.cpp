// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: the default transducer on a shorter test object, built and run through the real
// buttons; the plate voltage must show the echo from the far face of the test object at the
// round-trip time of sound through the protector and the test object.
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "TestFormat.h"
#include "main/AppEngine.h"
#include "main/EventYield.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"
#include "widgets/QNSuperSpin.h"

namespace {

// Builds the default task with the given test-object thickness and runs it through the buttons
// until at least `steps` steps are done; returns the plate voltage per step.
// The three windows as the program builds them, shown, with error boxes collected.
struct Windows {
    TMainForm main{&TestFormat()};
    TParametersForm params{&TestFormat()};
    TElectroForm electro{&TestFormat()};
    QStringList errors;
    Windows() {
        main.SetWindows(&params, &electro);
        main.ShowError = [this](const QString &t) { errors << t; };
        main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
    }
};

std::vector<double> RunPlateVoltage(double sampleMm, int32_t steps) {
    Windows w;
    TMainForm &main = w.main;
    TParametersForm &params = w.params;
    QStringList &errors = w.errors;
    InstallEventYield();

    params.Sample_L_QNSuperSpin->SetValue(sampleMm);
    QTest::mouseClick(main.CreateTaskBitBtn, Qt::LeftButton);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (Engine.StepCount >= steps)
            QTest::mouseClick(main.BreakCalculationBitBtn, Qt::LeftButton);
    });
    poll.start();
    QTest::mouseClick(main.CalculateTaskBitBtn, Qt::LeftButton);
    poll.stop();
    Engine.Yield().SetHook(nullptr);
    EXPECT_GE(Engine.StepCount, steps);

    const TSignalRecord &rec = w.electro.Record();
    EXPECT_EQ(rec.Count(), static_cast<size_t>(Engine.StepCount) + 1);
    std::vector<double> upep;
    for (size_t i = 1; i < rec.Count(); ++i)
        upep.push_back(rec.Value(2, i));
    return upep;
}

} // namespace

// The default task as the windows show it under the locale of the run (ctest runs this file under
// C, ru_RU, de_DE and en_US): the fields in the locale's separator, and the task builds.
TEST(EndToEnd, DefaultTaskShowsTheLocaleNumbersAndBuilds) {
    Windows w;
    TMainForm &main = w.main;
    TParametersForm &params = w.params;
    QStringList &errors = w.errors;
    const QString dec = QLocale::system().decimalPoint();
    EXPECT_EQ(main.DeltaX_QNSuperSpin->text(), QStringLiteral("10"));
    EXPECT_EQ(main.DeltaT_QNSuperSpin->text(), "0" + dec + "2");
    EXPECT_EQ(params.Electro_RL_QNSuperSpin->text(), "0" + dec + "01");
    EXPECT_EQ(params.Electro_L_QNSuperSpin->text(), "1" + dec + "2");
    QTest::mouseClick(main.CreateTaskBitBtn, Qt::LeftButton);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(Engine.Solver().NodeGrid.size(), 2525u);
    EXPECT_EQ(main.NetCountLabel->text(), QStringLiteral(" Число узлов в сетке 2525"));
}

TEST(EndToEnd, EchoFromTheFarFaceOfTheTestObject) {
    // Round trip from the plate's front face: electrode 2, protector and a 4 mm test object.
    const double cAg = std::sqrt(82.7e9 / 10500), cProt = std::sqrt(90e9 / 2650), cSample = std::sqrt(275e9 / 7800);
    const double roundTrip = 2 * (0.02e-3 / cAg + 0.5e-3 / cProt + 4e-3 / cSample) * 1e6; // µs
    const double dtUs = 2e-4;
    const int32_t steps = static_cast<int32_t>((roundTrip + 0.4) / dtUs);

    // The same transducer on a 16 mm test object hears nothing back within that time, so the
    // difference of the two plate voltages is the echo alone.
    const std::vector<double> shortSample = RunPlateVoltage(4.0, steps);
    const std::vector<double> longSample = RunPlateVoltage(16.0, steps);
    ASSERT_GE(shortSample.size(), static_cast<size_t>(steps));
    ASSERT_GE(longSample.size(), static_cast<size_t>(steps));

    double peakSignal = 0, peakEcho = 0;
    for (int32_t k = 0; k < steps; ++k) {
        peakSignal = std::max(peakSignal, std::fabs(longSample[k]));
        peakEcho = std::max(peakEcho, std::fabs(shortSample[k] - longSample[k]));
    }
    ASSERT_GT(peakSignal, 0);
    ASSERT_GT(peakEcho, 0);
    int32_t onset = -1;
    for (int32_t k = 0; k < steps && onset < 0; ++k)
        if (std::fabs(shortSample[k] - longSample[k]) > 1e-3 * peakEcho)
            onset = k;
    ASSERT_GE(onset, 0);
    const double onsetUs = onset * dtUs;
    std::printf("round trip %.4f us, echo onset %.4f us, echo %.4g V of %.4g V\n", roundTrip, onsetUs,
                peakEcho, peakSignal);
    // The wave front leaves the plate with the rise of the generator pulse: within 0.03 µs (2 %).
    EXPECT_NEAR(onsetUs, roundTrip, 0.03);
    // Before the echo the two runs are the same to rounding.
    for (int32_t k = 0; k < onset - 250; ++k)
        ASSERT_LT(std::fabs(shortSample[k] - longSample[k]), 1e-6 * peakEcho) << "step " << k;
}
