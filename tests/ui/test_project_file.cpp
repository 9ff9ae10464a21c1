// SPDX-License-Identifier: GPL-3.0-or-later
// Project files: what a save writes, what a load restores, and the dialogs' flows.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <map>
#include <sys/stat.h>

#include "TestFormat.h"
#include "app/AppFormat.h"
#include "app/SaveLoadPrjUnit.h"
#include "files/ProfileFile.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"
#include "text/Errors.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/RadioGroup.h"
#include "widgets/SpinEdit.h"

namespace {

QByteArray ReadBytes(const QString &path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = TestFormat();
        // A Russian system.
        TestFormat().DecimalSeparator = U',';
        TestFormat().ThousandSeparator = U'\u00A0';
        CreateWindows();
        ASSERT_TRUE(Dir.isValid());
    }
    void TearDown() override { TestFormat() = Saved; }
    void CreateWindows() {
        Electro.reset();
        Params.reset();
        Main.reset();
        Main = std::make_unique<TMainForm>(&TestFormat());
        Params = std::make_unique<TParametersForm>(&TestFormat());
        Electro = std::make_unique<TElectroForm>(&TestFormat());
        Main->SetWindows(Params.get(), Electro.get());
        Main->Project.Ui.Error = [this](QWidget *, const QString &t) { Errors << t; };
        Main->Project.Ui.Confirm = [this](QWidget *, const QString &t) {
            Questions << t;
            return Answer;
        };
        Main->Project.Ui.ExecDialog = [this](QFileDialog *d) {
            DialogTitles << d->windowTitle();
            return NextFile;
        };
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    QString Path(const QString &name) const { return Dir.filePath(name); }

    FormatSettings Saved;
    QTemporaryDir Dir;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TParametersForm> Params;
    std::unique_ptr<TElectroForm> Electro;
    QStringList Errors, Questions, DialogTitles;
    QString NextFile;
    bool Answer = true;
};

} // namespace

TEST_F(ProjectFileTest, MainSectionOfTheInitialWindowByteForByte) {
    const QString path = Path("start.PEPmodel");
    SaveAllWindows(Main->Project.Windows, path);
    const QByteArray bytes = ReadBytes(path);
    const QByteArray expected = QByteArray("[MainForm]\r\n"
                                           "Top=367\r\n"
                                           "Left=241\r\n"
                                           "Width=859\r\n"
                                           "Height=565\r\n"
                                           "DeltaX_QNSuperSpin=10\r\n"
                                           "DeltaT_QNSuperSpin=0,2\r\n"
                                           "IterationSpinEdit=10\r\n"
                                           "ViewRadioGroup=0\r\n"
                                           "CommentEdit=") +
                                QByteArray("\xEA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE8 \xEA \xEF\xF0\xEE\xE5\xEA\xF2\xF3") +
                                QByteArray("\r\nWisible=1\r\nEnabled=1\r\n");
    EXPECT_TRUE(bytes.startsWith(expected)) << bytes.left(300).toStdString();
    // Sections in the order of creation.
    const qsizetype main = bytes.indexOf("[MainForm]"), params = bytes.indexOf("[ParametersForm]"),
                    electro = bytes.indexOf("[ElectroForm]");
    EXPECT_LT(main, params);
    EXPECT_LT(params, electro);
    EXPECT_TRUE(bytes.contains("\r\nElectro_RL_QNSuperSpin=0,01\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nElectro_R_QNSuperSpin=180\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nElMechPageControl=1\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nInverseCheckBox=0\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nDiapazon_QNSuperSpin=350\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nMarkersEnableCheckBox=0\r\n"));
    EXPECT_TRUE(bytes.contains("[ParametersForm]\r\nTop="));
}

TEST_F(ProjectFileTest, RoundTripRestoresEveryInput) {
    Main->DeltaX_QNSuperSpin->SetValue(12.5L);
    Main->IterationSpinEdit->SetValue(25);
    Main->ViewRadioGroup->SetItemIndex(2);
    Main->CommentEdit->setText(QStringLiteral("датчик П111"));
    Params->Electro_R_QNSuperSpin->SetValue(220);
    Params->Electro_RL_QNSuperSpin->SetValue(0.00001L);
    Params->Piezo_Ro_QNSuperSpin->SetValue(7700);
    Params->InverseCheckBox->setChecked(true);
    Params->ElMechPageControl->setCurrentIndex(0);
    Params->CommentEdit->setText(QStringLiteral("проект № 2"));
    Electro->Middle_F_QNSuperSpin->SetValue(2.5L);
    Electro->TypeRadioGroup->SetItemIndex(4);
    Electro->MarkersEnableCheckBox->setChecked(true);
    Electro->PageControl->setCurrentIndex(0);

    const QString path = Path("round.PEPmodel");
    SaveAllWindows(Main->Project.Windows, path);
    EXPECT_TRUE(ReadBytes(path).contains("Electro_RL_QNSuperSpin=1E-5\r\n"));

    CreateWindows();
    ASSERT_EQ(Params->Electro_R_QNSuperSpin->GetValue(), 180);
    const QString before = Params->Piezo_CL_Label->text();
    LoadAllWindows(Main->Project.Windows, path);
    EXPECT_EQ(Main->DeltaX_QNSuperSpin->text(), QStringLiteral("12,5"));
    EXPECT_EQ(Main->IterationSpinEdit->Value(), 25);
    EXPECT_EQ(Main->ViewRadioGroup->ItemIndex(), 2);
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("датчик П111"));
    EXPECT_EQ(Params->Electro_R_QNSuperSpin->GetValue(), 220);
    EXPECT_EQ(Params->Electro_RL_QNSuperSpin->GetValue(), 0.00001L);
    EXPECT_EQ(Params->Piezo_Ro_QNSuperSpin->GetValue(), 7700);
    EXPECT_TRUE(Params->InverseCheckBox->isChecked());
    EXPECT_EQ(Params->ElMechPageControl->currentIndex(), 0);
    EXPECT_EQ(Params->CommentEdit->text(), QStringLiteral("проект № 2"));
    EXPECT_EQ(Electro->Middle_F_QNSuperSpin->text(), QStringLiteral("2,5"));
    EXPECT_EQ(Electro->TypeRadioGroup->ItemIndex(), 4);
    EXPECT_TRUE(Electro->MarkersEnableCheckBox->isChecked());
    EXPECT_EQ(Electro->PageControl->currentIndex(), 0);
    // The piezo density changed, so the derived labels were refreshed by the load.
    EXPECT_NE(Params->Piezo_CL_Label->text(), before);
    // The saved parameter window was hidden, and stays hidden.
    EXPECT_FALSE(Params->isVisible());
}

TEST_F(ProjectFileTest, ValueEncodingsOnReading) {
    const QString path = Path("edge.PEPmodel");
    WriteBytes(path, "[mainform]\r\n"
                     "  iterationspinedit =  0x10  \r\n"
                     "ViewRadioGroup=7\r\n"
                     "DeltaX_QNSuperSpin=1,23456789012345678\r\n"
                     "[ParametersForm]\r\n"
                     "InverseCheckBox=2\r\n"
                     "ElMechPageControl=9\r\n"
                     "Enabled=0\r\n"
                     "[ElectroForm]\r\n"
                     "TypeRadioGroup=-5\r\n"
                     "ChooseMarkerRadioGroup=abc\r\n"
                     "Wisible=1\r\n");
    LoadAllWindows(Main->Project.Windows, path);
    EXPECT_EQ(Main->IterationSpinEdit->Value(), 16);
    EXPECT_EQ(Main->ViewRadioGroup->ItemIndex(), 2); // 7 on three items: the last
    EXPECT_EQ(Main->DeltaX_QNSuperSpin->GetValue(), 1.23456789012346L);
    EXPECT_TRUE(Params->InverseCheckBox->isChecked());
    EXPECT_EQ(Params->ElMechPageControl->currentIndex(), 1); // beyond the last page: unchanged
    EXPECT_TRUE(Params->isEnabled());                         // "Enabled" is never read
    EXPECT_EQ(Electro->TypeRadioGroup->ItemIndex(), -1);
    EXPECT_EQ(Electro->ChooseMarkerRadioGroup->ItemIndex(), 0); // unreadable: unchanged
    EXPECT_TRUE(Electro->isVisible());

    // Reals with more than 15 significant digits come back rounded to 15.
    const QString again = Path("again.PEPmodel");
    SaveAllWindows(Main->Project.Windows, again);
    EXPECT_TRUE(ReadBytes(again).contains("DeltaX_QNSuperSpin=1,23456789012346\r\n"));

    WriteBytes(path, "[ElectroForm]\r\nWisible=0\r\n[MainForm]\r\nWisible=0\r\n");
    LoadAllWindows(Main->Project.Windows, path);
    EXPECT_FALSE(Electro->isVisible());
    EXPECT_TRUE(Main->isVisible()); // the main window is never hidden by a project
}

TEST_F(ProjectFileTest, UnreadableRealChangesNothing) {
    const QString path = Path("bad.PEPmodel");
    WriteBytes(path, "[MainForm]\r\nDeltaX_QNSuperSpin=25\r\nCommentEdit=new\r\n"
                     "[ParametersForm]\r\nElectro_R_QNSuperSpin=1,5.0\r\n");
    try {
        LoadAllWindows(Main->Project.Windows, path);
        FAIL() << "expected a conversion error";
    } catch (const ConversionError &e) {
        EXPECT_STREQ(e.what(), "'1,5.0' is not a valid floating point value");
    }
    EXPECT_EQ(Main->DeltaX_QNSuperSpin->GetValue(), 10);
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("комментарии к проекту"));

    // Through the menu: the error box shows the text and the caption stays.
    NextFile = path;
    const QString caption = Main->windowTitle();
    Main->LoadProjectMenuClick();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], QStringLiteral("'1,5.0' is not a valid floating point value"));
    EXPECT_EQ(Main->windowTitle(), caption);
}

TEST_F(ProjectFileTest, SavingKeepsOtherSectionsAndRefusesReadOnlyFiles) {
    const QString path = Path("extra.PEPmodel");
    WriteBytes(path, "[Notes]\r\nAuthor=me\r\n[MainForm]\r\nOld=1\r\n");
    SaveAllWindows(Main->Project.Windows, path);
    const ProfileFile p = ProfileFile::Load(path.toStdString());
    EXPECT_EQ(p.Read("Notes", "Author").value_or(""), "me");
    EXPECT_FALSE(p.Read("MainForm", "Old").has_value());
    EXPECT_EQ(p.Read("MainForm", "DeltaT_QNSuperSpin").value_or(""), "0,2");

    const QByteArray before = ReadBytes(path);
    ASSERT_EQ(chmod(path.toLocal8Bit().constData(), 0444), 0);
    NextFile = path;
    Answer = true;
    const QString caption = Main->windowTitle();
    Main->SaveProjectMenuClick();
    ASSERT_EQ(Questions.size(), 1);
    EXPECT_EQ(Questions[0], QStringLiteral("Файл с именем \n%1\nуже существует\nЗаписать в него?").arg(path));
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], QStringLiteral("Unable to write to %1").arg(path));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(Main->windowTitle(), caption);
    EXPECT_TRUE(Main->isEnabled());
    EXPECT_TRUE(Params->isEnabled());
    EXPECT_TRUE(Electro->isEnabled());
}

TEST_F(ProjectFileTest, DialogFlows) {
    // Save under a name typed without extension: the default one is added.
    NextFile = Path("first");
    Main->SaveProjectMenuClick();
    EXPECT_EQ(DialogTitles.last(), QStringLiteral("Сохранить проект в файл как..."));
    EXPECT_EQ(Main->windowTitle(), Path("first.PEPmodel"));
    EXPECT_TRUE(QFile::exists(Path("first.PEPmodel")));
    EXPECT_TRUE(Questions.isEmpty());

    // Saving over it asks; No writes nothing and keeps the caption.
    Main->setWindowTitle("X");
    Answer = false;
    NextFile = Path("first.PEPmodel");
    Main->CommentEdit->setText("changed");
    Main->SaveProjectMenuClick();
    EXPECT_EQ(Questions.size(), 1);
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("X"));
    EXPECT_FALSE(ReadBytes(Path("first.PEPmodel")).contains("changed"));

    // Loading a missing file shows the error and loads nothing.
    NextFile = Path("missing.PEPmodel");
    Main->LoadProjectMenuClick();
    EXPECT_EQ(DialogTitles.last(), QStringLiteral("Загрузить проект из файла"));
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], QStringLiteral("Не существует Файл \n") + Path("missing.PEPmodel"));
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("X"));

    // Cancel changes nothing.
    NextFile.clear();
    Main->LoadProjectMenuClick();
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("X"));
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("changed"));

    // A load sets the caption to the file's full path and restores the inputs.
    NextFile = Path("first.PEPmodel");
    Main->LoadProjectMenuClick();
    EXPECT_EQ(Main->windowTitle(), Path("first.PEPmodel"));
    EXPECT_EQ(Main->CommentEdit->text(), QStringLiteral("комментарии к проекту"));
    EXPECT_EQ(QDir(Main->OpenProjectDialog->directory()).absolutePath(), QDir(Dir.path()).absolutePath());
}

TEST_F(ProjectFileTest, PositionAndSizeAreApplied) {
    const QString path = Path("geometry.PEPmodel");
    WriteBytes(path, "[ElectroForm]\r\nTop=50\r\nLeft=60\r\nWidth=700\r\nHeight=500\r\nWisible=1\r\n");
    LoadAllWindows(Main->Project.Windows, path);
    EXPECT_EQ(Electro->pos(), QPoint(60, 50));
    EXPECT_EQ(Electro->size(), QSize(700, 500));
    const QString out = Path("out.PEPmodel");
    SaveAllWindows(Main->Project.Windows, out);
    const ProfileFile p = ProfileFile::Load(out.toStdString());
    EXPECT_EQ(p.Read("ElectroForm", "Left").value_or(""), "60");
    EXPECT_EQ(p.Read("ElectroForm", "Height").value_or(""), "500");
    EXPECT_EQ(p.Read("ElectroForm", "Wisible").value_or(""), "1");
}

// A save that fails after its temporary file was begun (the process may write no file larger than
// 512 bytes) keeps the previous project whole, leaves no temporary file and restores the windows.
TEST_F(ProjectFileTest, AFailedSaveKeepsThePreviousProject) {
    const QString path = Path("kept.PEPmodel");
    WriteBytes(path, "[MainForm]\r\nCommentEdit=old\r\n");
    const QByteArray before = ReadBytes(path);
    Main->CommentEdit->setText(QStringLiteral("new"));
    NextFile = path;

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
    struct rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Main->SaveProjectMenuClick();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);

    EXPECT_EQ(Errors, QStringList{QStringLiteral("Unable to write to %1").arg(path)});
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.PEPmodel"});
    EXPECT_TRUE(Main->isEnabled());
    EXPECT_TRUE(Params->isEnabled());
    EXPECT_TRUE(Electro->isEnabled());

    // Without the limit the same save replaces it.
    Errors.clear();
    Main->SaveProjectMenuClick();
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_EQ(ProfileFile::Load(path.toStdString()).Read("MainForm", "CommentEdit").value_or(""), "new");
}

// Every numeric field of the three windows by window and name.
std::map<QString, long double> FieldValues(const std::initializer_list<QWidget *> windows) {
    std::map<QString, long double> values;
    for (QWidget *window : windows)
        for (TQNSuperSpin *f : window->findChildren<TQNSuperSpin *>())
            values[window->objectName() + '/' + f->objectName()] = f->GetValue();
    return values;
}

// A project opens whichever decimal point it was written with, under the locale the tests run in
// (ctest runs this file under C, ru_RU, de_DE and en_US).
TEST_F(ProjectFileTest, CommaAndPointFilesLoadAlikeUnderTheSystemLocale) {
    TestFormat() = SystemFormatSettings(); // the separators of the environment's locale, not the fixture's
    CreateWindows();
    const QString dec = QLocale::system().decimalPoint();
    EXPECT_EQ(Main->DeltaT_QNSuperSpin->text(), "0" + dec + "2");

    // Every field gets a value of its own with a fraction, so a field the load missed shows.
    int i = 0;
    for (QWidget *window : {static_cast<QWidget *>(Main.get()), static_cast<QWidget *>(Params.get()),
                            static_cast<QWidget *>(Electro.get())})
        for (TQNSuperSpin *f : window->findChildren<TQNSuperSpin *>())
            f->SetValue(++i + 0.5L);
    Main->DeltaX_QNSuperSpin->SetValue(1.5L);
    const auto expected = FieldValues({Main.get(), Params.get(), Electro.get()});
    ASSERT_EQ(expected.size(), 44u);
    const QString saved = Path("saved.PEPmodel");
    SaveAllWindows(Main->Project.Windows, saved);

    // The same file with each decimal point in every real.
    const QString text = QString::fromLatin1(ReadBytes(saved));
    const QRegularExpression real(QStringLiteral("(_QNSuperSpin=-?[0-9]+)[.,]([0-9])"));
    const QString comma = Path("comma.PEPmodel"), point = Path("point.PEPmodel");
    WriteBytes(comma, QString(text).replace(real, QStringLiteral("\\1,\\2")).toLatin1());
    WriteBytes(point, QString(text).replace(real, QStringLiteral("\\1.\\2")).toLatin1());
    ASSERT_TRUE(ReadBytes(comma).contains("\r\nDeltaX_QNSuperSpin=1,5\r\n"));
    ASSERT_TRUE(ReadBytes(point).contains("\r\nDeltaX_QNSuperSpin=1.5\r\n"));

    for (const QString &path : {comma, point}) {
        CreateWindows();
        LoadAllWindows(Main->Project.Windows, path);
        EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
        EXPECT_EQ(FieldValues({Main.get(), Params.get(), Electro.get()}), expected) << path.toStdString();
        EXPECT_EQ(Main->DeltaX_QNSuperSpin->text(), "1" + dec + "5");
    }
}
