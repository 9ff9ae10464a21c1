// SPDX-License-Identifier: GPL-3.0-or-later
// The interface language: with the English translation installed every text the windows show is
// English (before a task, after a run, in a refusal); without it the Russian captions are those of
// the sources; the command line's --lang and the "Язык / Language" menu.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>
#include <map>

#include "TestFormat.h"
#include "app/Language.h"
#include "app/UiText.h"
#include "charts/ChartAdapter.h"
#include "main/AppEngine.h"
#include "main/EventYield.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "run/Engine.h"
#include "signals/ElectroUnit.h"
#include "text/FormatSettings.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/RadioGroup.h"

namespace {

bool HasCyrillic(const QString &text) {
    for (QChar c : text)
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF)
            return true;
    return false;
}

// Every text a window shows or tells assistive tools: "where" -> text.
using Texts = std::multimap<std::string, QString>;

void AddAction(Texts &out, const std::string &where, const QAction *a) {
    // A language's own name stays in that language in every interface.
    if (a->objectName() == QStringLiteral("Language_ru"))
        return;
    const std::string at = where + " action '" + a->objectName().toStdString() + "'";
    for (const QString &t : {a->text(), a->toolTip(), a->statusTip(), a->iconText()})
        out.emplace(at, t);
}

Texts CollectTexts(QWidget *window) {
    Texts out;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        const std::string where =
            std::string(w->metaObject()->className()) + " '" + w->objectName().toStdString() + "'";
        for (const QString &t : {w->windowTitle(), w->toolTip(), w->statusTip(), w->whatsThis(),
                                 w->accessibleName(), w->accessibleDescription()})
            out.emplace(where, t);
        if (auto *l = qobject_cast<QLabel *>(w))
            out.emplace(where, l->text());
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            out.emplace(where, b->text());
        if (auto *g = qobject_cast<QGroupBox *>(w))
            out.emplace(where, g->title());
        if (auto *e = qobject_cast<QLineEdit *>(w)) {
            out.emplace(where, e->text());
            out.emplace(where, e->placeholderText());
        }
        if (auto *t = qobject_cast<QTabWidget *>(w))
            for (int i = 0; i < t->count(); ++i) {
                out.emplace(where + " tab", t->tabText(i));
                out.emplace(where + " tab", t->tabToolTip(i));
            }
        if (auto *m = qobject_cast<QMenu *>(w))
            out.emplace(where, m->title());
        if (auto *d = qobject_cast<QFileDialog *>(w))
            for (const QString &f : d->nameFilters())
                out.emplace(where + " filter", f);
        if (auto *s = qobject_cast<QStatusBar *>(w))
            out.emplace(where, s->currentMessage());
        if (auto *c = dynamic_cast<TChart *>(w)) {
            out.emplace(where + " bottom axis", c->BottomTitle());
            out.emplace(where + " left axis", c->LeftTitle());
        }
        for (const QAction *a : w->actions())
            AddAction(out, where, a);
    }
    return out;
}

// Captions wider than their controls (buttons, radio buttons, check boxes, one-line labels), on
// every page of a window; the file dialogs are Qt's own.
std::string ClippedCaptions(QWidget *window) {
    std::string clipped;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        bool inDialog = false;
        for (QWidget *p = w; p && p != window; p = p->parentWidget())
            inDialog = inDialog || qobject_cast<QDialog *>(p);
        QString text;
        int room = 0;
        if (auto *b = qobject_cast<QPushButton *>(w)) {
            text = b->text(), room = b->width() - 8;
        } else if (auto *r = qobject_cast<QAbstractButton *>(w)) {
            // Room for the caption: the width less the indicator and spacing the style adds.
            text = r->text();
            room = r->width() - (r->sizeHint().width() - r->fontMetrics().horizontalAdvance(r->text()));
        } else if (auto *l = qobject_cast<QLabel *>(w); l && !l->wordWrap()) {
            text = l->text(), room = l->contentsRect().width();
        }
        text.remove('&');
        if (!inDialog && !text.isEmpty() && w->fontMetrics().horizontalAdvance(text) > room)
            clipped += text.toStdString() + " (" + std::to_string(w->fontMetrics().horizontalAdvance(text)) +
                       " px in " + std::to_string(room) + ")\n";
    }
    return clipped;
}

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        SavedFormat = TestFormat();
        InstallEventYield();
    }
    void TearDown() override {
        Electro.reset();
        Params.reset();
        Main.reset();
        Engine.Yield().SetHook(nullptr);
        TestFormat() = SavedFormat;
        ASSERT_TRUE(Language::InstallTranslation(*QCoreApplication::instance(), Language::kRussian));
        QSettings(QStringLiteral("pepsim"), QStringLiteral("pepsim")).remove(QStringLiteral("language"));
    }

    void Install(const QString &code) {
        ASSERT_TRUE(Language::InstallTranslation(*QCoreApplication::instance(), code));
        ASSERT_EQ(Language::Current(), code);
    }
    void CreateWindows() {
        Main = std::make_unique<TMainForm>(&TestFormat());
        Params = std::make_unique<TParametersForm>(&TestFormat());
        Electro = std::make_unique<TElectroForm>(&TestFormat());
        Main->SetWindows(Params.get(), Electro.get());
        Main->ShowError = [this](const QString &text) { Errors << text; };
        Main->ShowInformation = [this](const QString &text) { Notices << text; };
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
        QTest::mouseClick(Main->ViewTaskParamsBitBtn, Qt::LeftButton);
        QTest::mouseClick(Main->ViewElectricalBitBtn, Qt::LeftButton);
    }
    // Builds the task with the button and runs it until `steps`, pressing "Break" from inside the run.
    void BuildAndRun(int32_t steps) {
        QTest::mouseClick(Main->CreateTaskBitBtn, Qt::LeftButton);
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (Engine.StepCount >= steps)
                QTest::mouseClick(Main->BreakCalculationBitBtn, Qt::LeftButton);
        });
        poll.start();
        QTest::mouseClick(Main->CalculateTaskBitBtn, Qt::LeftButton);
        poll.stop();
    }
    // Texts of all three windows holding a Cyrillic letter, one line each.
    std::string CyrillicTexts(size_t *count = nullptr) {
        std::string found;
        size_t n = 0;
        for (QWidget *window : {static_cast<QWidget *>(Main.get()), static_cast<QWidget *>(Params.get()),
                                static_cast<QWidget *>(Electro.get())})
            for (const auto &[where, text] : CollectTexts(window)) {
                n += text.isEmpty() ? 0 : 1;
                if (HasCyrillic(text))
                    found += where + ": " + text.toStdString() + "\n";
            }
        if (count)
            *count = n;
        return found;
    }

    FormatSettings SavedFormat;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TParametersForm> Params;
    std::unique_ptr<TElectroForm> Electro;
    QStringList Errors, Notices;
};

TEST_F(LanguageTest, EnglishWindowsShowNoCyrillicText) {
    Install(Language::kEnglish);
    // Number patterns with units: the numbers keep the locale's separators.
    TestFormat().DecimalSeparator = U',';
    TestFormat().ThousandSeparator = U'.';
    CreateWindows();
    size_t count = 0;
    EXPECT_EQ(CyrillicTexts(&count), "");
    EXPECT_GT(count, 250u); // the walk really reads the windows
    // Key captions, as translated.
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("Electromechanical model of a piezoelectric transducer"));
    EXPECT_EQ(Params->windowTitle(), QStringLiteral("Parameters of the electromechanical task"));
    EXPECT_EQ(Electro->windowTitle(), QStringLiteral("Electrical signal at the transducer"));
    EXPECT_EQ(Main->CreateTaskBitBtn->text(), QStringLiteral("Build and load task"));
    EXPECT_EQ(Main->CalculateTaskBitBtn->text(), QStringLiteral("CALCULATE"));
    EXPECT_EQ(Main->BreakCalculationBitBtn->text(), QStringLiteral("Break"));
    EXPECT_EQ(Main->FileMenu->title(), QStringLiteral("&File"));
    EXPECT_EQ(Main->LanguageMenu->title(), QStringLiteral("Language"));
    EXPECT_EQ(Params->ElMechPageControl->tabText(1), QStringLiteral("Mechanical part"));
    EXPECT_EQ(Params->Liquid_Ro_QNSuperSpin->accessibleName(),
              QStringLiteral("Liquid layer, Density (kg/m^3)"));
    Params->FormActivate();
    EXPECT_EQ(Params->Piezo_CL_Label->text(), QStringLiteral("CL=3.990 m/s"));
    EXPECT_EQ(Params->FaradLabel->text(), QStringLiteral(" 1,438 nF"));
    EXPECT_EQ(Params->FrezLabel->text(), QStringLiteral(" 4,9876 MHz"));
    EXPECT_EQ(CyrillicTexts(), "");
}

TEST_F(LanguageTest, EnglishAfterATaskAndAShortRun) {
    Install(Language::kEnglish);
    TestFormat().DecimalSeparator = U',';
    TestFormat().ThousandSeparator = U' ';
    CreateWindows();
    BuildAndRun(400);
    const int32_t steps = Engine.StepCount;
    ASSERT_GE(steps, 400);
    EXPECT_EQ(Main->statusBar()->currentMessage(),
              QStringLiteral("Calculation interrupted at step %1.").arg(steps));
    EXPECT_EQ(Main->NetCountLabel->text(),
              QStringLiteral(" Grid nodes: %1").arg(Engine.Solver().NodeGrid.size()));
    const double lastTime = (steps - 1) * 2e-10 * 1e6;
    EXPECT_EQ(Main->CalcLabel->text(),
              QStringLiteral("time %1 µs").arg(QString::number(lastTime, 'f', 3).replace('.', ',')));

    // The other field views, the markers' readouts and a spectrum.
    QTest::mouseClick(Main->ViewRadioGroup->Button(1), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(Main->Chart->LeftTitle(), QStringLiteral("kPa"));
    Electro->PageControl->setCurrentWidget(Electro->SignalsPage);
    Electro->MarkersEnableCheckBox->setChecked(true);
    QCoreApplication::processEvents();
    Electro->Chart->RefreshNow();
    TChart *c = Electro->Chart;
    const QPoint at(static_cast<int>(c->xAxis->coordToPixel(lastTime / 2)), c->height() / 2);
    QTest::mousePress(c, Qt::LeftButton, {}, at);
    QTest::mouseRelease(c, Qt::LeftButton, {}, at);
    EXPECT_TRUE(Electro->T1_Edit->text().endsWith(QStringLiteral(" µs")))
        << Electro->T1_Edit->text().toStdString();
    EXPECT_TRUE(Electro->A1_Edit->text().endsWith(QStringLiteral(" V")))
        << Electro->A1_Edit->text().toStdString();
    QTest::mouseClick(Electro->CalculateSpectrBitBtn, Qt::LeftButton);
    EXPECT_EQ(Electro->SpectrChart->LeftTitle(), QStringLiteral("V/Hz"));
    EXPECT_GT(Electro->SpectrChart->Count(TElectroForm::kSeriesSpectrum), 0);

    EXPECT_EQ(CyrillicTexts(), "");
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(LanguageTest, EnglishRefusalsOfATask) {
    Install(Language::kEnglish);
    CreateWindows();
    const struct {
        TQNSuperSpin *field;
        const char *expected;
    } cases[] = {
        {Params->Spep_QNSuperSpin, "The piezo plate area must be greater than zero."},
        {Params->Electro_L_QNSuperSpin,
         "Parameter “Inductance L (µH)” is zero: the generator circuit cannot be calculated."},
        {Params->Electro_VTRon_QNSuperSpin,
         "Parameter “Switch resistance when on (Ω)” is zero: the generator circuit cannot be calculated."},
        {Main->DeltaX_QNSuperSpin, "The spatial step must be greater than zero."},
    };
    for (const auto &c : cases) {
        TQNSuperSpin *field = c.field;
        const long double before = field->GetValue();
        field->SetValue(0);
        Errors.clear();
        QTest::mouseClick(Main->CreateTaskBitBtn, Qt::LeftButton);
        ASSERT_EQ(Errors.size(), 1) << c.expected;
        EXPECT_EQ(Errors[0], QStringLiteral("The task was not built.\n") + QString::fromUtf8(c.expected));
        field->SetValue(before);
    }
    EXPECT_EQ(CyrillicTexts(), "");
}

TEST_F(LanguageTest, CoreMessagesTranslatedWhole) {
    using Fault = FloatingPointError::FaultKind;
    using Stage = FloatingPointError::StepStage;
    const struct {
        std::string core;
        const char *english;
    } cases[] = {
        {"Шаг во времени должен быть больше нуля.", "The time step must be greater than zero."},
        {"Параметр «Напряжение заряда на конденсаторе С (В)» не является конечным числом: схема генератора "
         "не может "
         "быть рассчитана.",
         "Parameter “Charge voltage of capacitor C (V)” is not a finite number: the generator circuit cannot "
         "be "
         "calculated."},
        {SolverFailureReason({7, Fault::Overflow, Stage::Velocity, ""}),
         "overflow in the velocity calculation"},
        {SolverFailureReason({7, Fault::DivisionByZero, Stage::Voltage, ""}),
         "division by zero in the plate voltage calculation"},
        {SolverFailureReason({7, Fault::Unknown, Stage::Other, ""}), "calculation error"},
        {"'x1' is not a valid floating point value", "'x1' is not a valid floating point value"},
        {"Параметр «Неведомое поле» равен нулю: схема генератора не может быть рассчитана.",
         "Parameter “Неведомое поле” is zero: the generator circuit cannot be calculated."},
        // Messages that name a file or a control keep the name as it is, whatever it holds.
        {"Не удалось прочитать файл /tmp/проект %2.PEPmodel",
         "Unable to read the file /tmp/проект %2.PEPmodel"},
        {"Файл /tmp/a.PEPmodel не является проектом: в нем нет разделов MainForm, ParametersForm и "
         "ElectroForm.",
         "The file /tmp/a.PEPmodel is not a project: it holds none of the sections MainForm, "
         "ParametersForm and ElectroForm."},
        {"Параметр Foo_QNSuperSpin не является входным параметром задачи.",
         "Foo_QNSuperSpin is not an input of a task."},
        {"Значение «1,5» параметра IterationSpinEdit не является целым числом.",
         "The value \"1,5\" of IterationSpinEdit is not an integer."},
    };
    for (const auto &c : cases) // without a translation the text is the core's own
        EXPECT_EQ(UiText(c.core), QString::fromStdString(c.core));
    Install(Language::kEnglish);
    for (const auto &c : cases)
        EXPECT_EQ(UiText(c.core), QString::fromUtf8(c.english)) << c.core;
}

TEST_F(LanguageTest, RussianCaptionsWithoutTranslation) {
    ASSERT_EQ(Language::Current(), Language::kRussian);
    CreateWindows();
    const std::pair<QString, const char *> cases[] = {
        {Main->windowTitle(), "Электромеханическая модель пъезопреобразователя"},
        {Params->windowTitle(), "Параметры электромеханической задачи"},
        {Electro->windowTitle(), "Электрический сигнал на преобразователе"},
        {Main->CreateTaskBitBtn->text(), "Создать и загрузить задачу"},
        {Main->CalculateTaskBitBtn->text(), "РАСЧЕТ"},
        {Main->BreakCalculationBitBtn->text(), "Прервать"},
        {Main->ViewTaskParamsBitBtn->text(), "Параметры задачи"},
        {Main->ViewElectricalBitBtn->text(), "Показать электрический сигнал"},
        {Main->FileMenu->title(), "&Файл"},
        {Main->LanguageMenu->title(), "Язык / Language"},
        {Main->Chart->LeftTitle(), "мм/с"},
        {Params->ElMechPageControl->tabText(0), "Электрическая часть"},
        {Params->Dempfer_L_QNSuperSpin->accessibleName(), "Демпфер, Толщина (мм)"},
        {Electro->PageControl->tabText(1), "Спектр выбранного сигнала"},
        {Electro->MarkersEnableCheckBox->text(), "Использовать маркеры"},
        {Electro->T1_Edit->text(), "  ??? мкс"},
    };
    for (const auto &[shown, expected] : cases)
        EXPECT_EQ(shown, QString::fromUtf8(expected));
}

// Qt's own dialogs speak the interface's language: the Russian interface (the default with no
// --lang and nothing remembered, as main() installs it) loads Qt's Russian texts as well.
TEST_F(LanguageTest, StandardQuestionButtonsInTheInterfaceLanguage) {
    ASSERT_EQ(Language::Stored(), Language::kRussian);
    const std::pair<QString, QStringList> cases[] = {{Language::Stored(), {"Да", "Нет"}},
                                                     {Language::kEnglish, {"Yes", "No"}}};
    for (const auto &[code, expected] : cases) {
        Install(code);
        QStringList shown;
        // The question is modal: read its buttons and answer "No" once it is up.
        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            answer.stop();
            for (const QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::No})
                shown << box->button(b)->text().remove('&');
            box->button(QMessageBox::No)->click();
        });
        answer.start();
        EXPECT_EQ(QMessageBox::question(nullptr, QString(), QStringLiteral("?"),
                                        QMessageBox::Yes | QMessageBox::No),
                  QMessageBox::No);
        EXPECT_EQ(shown, expected) << code.toStdString();
    }
}

TEST_F(LanguageTest, MenuRemembersTheChoiceForTheNextStart) {
    CreateWindows();
    ASSERT_EQ(Main->LanguageActions.size(), 2);
    QAction *russian = Main->LanguageActions[0], *english = Main->LanguageActions[1];
    EXPECT_EQ(russian->text(), QStringLiteral("Русский"));
    EXPECT_EQ(english->text(), QStringLiteral("English"));
    EXPECT_TRUE(russian->isChecked());
    EXPECT_FALSE(english->isChecked());

    english->trigger();
    EXPECT_EQ(QSettings(QStringLiteral("pepsim"), QStringLiteral("pepsim")).value("language").toString(),
              "en");
    EXPECT_EQ(Language::Stored(), Language::kEnglish);
    EXPECT_TRUE(english->isChecked());
    EXPECT_FALSE(russian->isChecked());
    ASSERT_EQ(Notices.size(), 1);
    EXPECT_EQ(Notices[0],
              QStringLiteral("Язык интерфейса будет изменен при следующем запуске программы.\n"
                             "The interface language will change the next time the program starts."));
    EXPECT_EQ(Language::Current(), Language::kRussian); // the running windows keep their language

    // Back to the language already running: remembered, nothing to announce.
    russian->trigger();
    EXPECT_EQ(Language::Stored(), Language::kRussian);
    EXPECT_TRUE(russian->isChecked());
    EXPECT_EQ(Notices.size(), 1);

    // The next windows show the remembered choice.
    Language::Store(Language::kEnglish);
    Main = std::make_unique<TMainForm>(&TestFormat());
    EXPECT_TRUE(Main->LanguageActions[1]->isChecked());
    EXPECT_FALSE(Main->LanguageActions[0]->isChecked());
}

TEST_F(LanguageTest, LanguageOptionOfTheCommandLine) {
    const struct {
        QStringList args;
        bool ok;
        QString code;
        QStringList rest;
        QString error;
    } cases[] = {
        {{"--lang", "en", "a.PEPmodel"}, true, "en", {"a.PEPmodel"}, ""},
        {{"a.PEPmodel", "--lang=ru"}, true, "ru", {"a.PEPmodel"}, ""},
        {{"a.PEPmodel"}, true, "", {"a.PEPmodel"}, ""},
        {{"--lang", "ru", "--lang", "en"}, true, "en", {}, ""},
        {{"--lang"}, false, "", {}, "После --lang нужен язык: ru или en."},
        {{"--lang", "de"}, false, "", {}, "Неизвестный язык: de (ru или en)."},
    };
    for (const auto &c : cases) {
        QStringList args = c.args;
        QString code, error;
        EXPECT_EQ(Language::TakeLanguageOption(args, code, error), c.ok) << c.args.join(' ').toStdString();
        EXPECT_EQ(error, c.error);
        if (c.ok) {
            EXPECT_EQ(code, c.code);
            EXPECT_EQ(args, c.rest);
        }
    }
    EXPECT_FALSE(Language::InstallTranslation(*QCoreApplication::instance(), QStringLiteral("de")));
    EXPECT_EQ(Language::Current(), Language::kRussian);
}

// Each installation replaces the one before: the translators are the application's children, one
// of each kind at most, and going back to Russian leaves the texts of the sources.
TEST_F(LanguageTest, SwitchingReplacesTheTranslation) {
    const QString source = QStringLiteral("Сохранить данные (CSV)");
    const auto program = [] {
        return QCoreApplication::instance()->findChildren<QTranslator *>(QStringLiteral("pepsim-translator"),
                                                                         Qt::FindDirectChildrenOnly);
    };
    for (const QString &code :
         {Language::kEnglish, Language::kEnglish, Language::kRussian, Language::kEnglish}) {
        Install(code);
        EXPECT_EQ(program().size(), code == Language::kEnglish ? 1 : 0) << code.toStdString();
        EXPECT_EQ(QCoreApplication::translate("ChartFiles", source.toUtf8().constData()),
                  code == Language::kEnglish ? QStringLiteral("Save data (CSV)") : source)
            << code.toStdString();
    }
}

// The English windows after a short run: every caption fits its control; pictures for the README
// with PEP_SHOTS_DIR set.
TEST_F(LanguageTest, EnglishRendersTidily) {
    {
        QWidget probe; // the check sees a caption that does not fit
        (new QLabel(QStringLiteral("A caption far too long for its place"), &probe))
            ->setGeometry(0, 0, 60, 20);
        EXPECT_NE(ClippedCaptions(&probe), "");
    }
    Install(Language::kEnglish);
    CreateWindows();
    BuildAndRun(3000);
    // Each page of the signal window in turn: a hidden page is not laid out.
    for (int page = Electro->PageControl->count() - 1; page >= 0; --page) {
        Electro->PageControl->setCurrentIndex(page);
        QCoreApplication::processEvents();
        EXPECT_EQ(ClippedCaptions(Electro.get()), "") << "page " << page;
    }
    for (QWidget *window : {static_cast<QWidget *>(Main.get()), static_cast<QWidget *>(Params.get())})
        EXPECT_EQ(ClippedCaptions(window), "");
    const QString dir = qEnvironmentVariable("PEP_SHOTS_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        EXPECT_TRUE(Main->grab().save(dir + "/screenshot-en-main.png"));
        EXPECT_TRUE(Params->grab().save(dir + "/screenshot-en-parameters.png"));
        Params->ElMechPageControl->setCurrentIndex(0);
        EXPECT_TRUE(Params->grab().save(dir + "/screenshot-en-parameters-circuit.png"));
        EXPECT_TRUE(Electro->grab().save(dir + "/screenshot-en-signals.png"));
    }
}

} // namespace

// The batch line's language without --lang: the remembered choice, else the system's messages'
// language (English, or Russian for any other); --lang wins over both.
TEST_F(LanguageTest, LanguageOfTheBatchLine) {
    const std::pair<const char *, QString> locales[] = {
        {"en_US", Language::kEnglish}, {"en_GB", Language::kEnglish}, {"ru_RU", Language::kRussian},
        {"de_DE", Language::kRussian}, {"C", Language::kRussian},
    };
    for (const auto &[name, code] : locales)
        EXPECT_EQ(Language::OfLocale(QLocale(QString::fromLatin1(name))), code) << name;

    EXPECT_EQ(Language::Remembered(), QString());
    EXPECT_EQ(Language::ForBatch(QString()), Language::OfLocale(QLocale::system()));
    EXPECT_EQ(Language::ForBatch(Language::kEnglish), Language::kEnglish);
    Language::Store(Language::kEnglish);
    EXPECT_EQ(Language::ForBatch(QString()), Language::kEnglish);
    EXPECT_EQ(Language::ForBatch(Language::kRussian), Language::kRussian);
    Language::Store(Language::kRussian);
    EXPECT_EQ(Language::ForBatch(QString()), Language::kRussian);
}
