// SPDX-License-Identifier: GPL-3.0-or-later
// The windows and the batch run compute the same task: the fields a batch run reads have the
// windows' initial values, and a run through the real buttons records the same bits as a batch run.
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "TestFormat.h"
#include "files/DataFiles.h"
#include "files/ProjectInputs.h"
#include "main/AppEngine.h"
#include "main/EventYield.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "run/BatchRun.h"
#include "signals/ElectroUnit.h"
#include "solver/Yield.h"
#include "stack/TaskFields.h"
#include "widgets/QNSuperSpin.h"

namespace {

struct Windows {
    TMainForm main{&TestFormat()};
    TParametersForm params{&TestFormat()};
    TElectroForm electro{&TestFormat()};
    Windows() { main.SetWindows(&params, &electro); }
};

// The run breaks itself: "Прервать" is pressed from inside the iteration that starts at BreakAt.
int32_t BreakAt = 0;
TMainForm *Breaking = nullptr;
void BreakingYield() {
    if (Engine.StepCount == BreakAt && Breaking->Running())
        QTest::mouseClick(Breaking->BreakCalculationBitBtn, Qt::LeftButton);
    EventYieldTick();
}

} // namespace

// The windows create their numeric fields from the task's field table, the one the batch run reads.
TEST(BatchWindow, TheWindowsShowTheTaskFieldTable) {
    Windows w;
    int parameterFields = 0;
    for (const TaskField &f : TaskFields()) {
        const bool main = std::strcmp(f.Section, "MainForm") == 0;
        QWidget *window = main ? static_cast<QWidget *>(&w.main) : &w.params;
        if (IsCheckBox(f)) {
            auto *box = window->findChild<QCheckBox *>(QString::fromLatin1(f.Name));
            ASSERT_NE(box, nullptr) << f.Name;
            EXPECT_EQ(box->isChecked(), f.Initial != 0);
            EXPECT_EQ(box->text().toStdString(), TaskFieldCaption(f));
            continue;
        }
        parameterFields += !main;
        auto *field = window->findChild<TQNSuperSpin *>(QString::fromLatin1(f.Name));
        ASSERT_NE(field, nullptr) << f.Name;
        EXPECT_EQ(field->GetValue(), f.Initial) << f.Name;
        EXPECT_EQ(field->NumberFormat(), f.Format) << f.Name;
        EXPECT_EQ(field->Decimals(), -1) << f.Name;
        EXPECT_EQ(field->accessibleName().toStdString(), TaskFieldCaption(f)) << f.Name;
    }
    EXPECT_EQ(parameterFields, 39);
    EXPECT_EQ(w.params.findChildren<TQNSuperSpin *>().size(), parameterFields);
}

TEST(BatchWindow, WindowRunAndBatchRunRecordTheSameBits) {
    constexpr int32_t kSteps = 35000; // 7 µs of the default task
    Windows w;
    w.main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.main));
    QTest::mouseClick(w.main.CreateTaskBitBtn, Qt::LeftButton);
    BreakAt = kSteps - 1;
    Breaking = &w.main;
    Engine.Yield().SetHook(&BreakingYield, 256);
    QTest::mouseClick(w.main.CalculateTaskBitBtn, Qt::LeftButton);
    Engine.Yield().SetHook(nullptr);
    ASSERT_EQ(Engine.StepCount, kSteps);

    // A folder of this run: build trees side by side run their suites at the same time.
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::filesystem::path dir = tmp.path().toStdString();
    std::ofstream(dir / "default.PEPmodel") << "[MainForm]\r\n";
    BatchOptions o;
    o.Project = (dir / "default.PEPmodel").string();
    o.UntilMicroseconds = 7;
    o.OutDir = dir.string();
    std::ostringstream messages;
    ASSERT_EQ(RunBatch(o, TestFormat(), messages, false), kBatchCompleted) << messages.str();

    std::ostringstream windowCsv;
    WriteSignalsCsv(windowCsv, w.electro.Record());
    std::ifstream batch(dir / "signals.csv", std::ios::binary);
    const std::string batchCsv{std::istreambuf_iterator<char>(batch), {}};
    EXPECT_EQ(w.electro.Record().Count(), static_cast<size_t>(kSteps) + 1);
    EXPECT_TRUE(batchCsv == windowCsv.str()) << "the batch record differs from the window's";
}
