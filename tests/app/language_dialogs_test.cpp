// The language choice on the running desktop (menu, dialogs, drug list, the switch back to
// English), the menu translation's report of unknown names, and the parameter dialogs driven
// through their controls: ranges and messages, Cancel changing nothing, Setup Application and
// Choose language.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include "app/command_table.h"
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "app/dialogs/advanced_functions_dialog.h"
#include "app/dialogs/pacemaker_dialog.h"
#include "app/dialogs/parameters_dialog.h"
#include "app/dialogs/premature_panel.h"
#include "app/dialogs/select_language_dialog.h"
#include "app/dialogs/setup_application_dialog.h"
#include "app/dialogs/stimulator_dialog.h"
#include "app/translation/menu_translation.h"
#include "app/ui_text.h"
#include "desktop_fixture.h"

namespace vantrel {
namespace {

// The message boxes an action opens, closed as they appear; their texts are kept.
struct MessageBoxes {
    QStringList texts;
    void During(const std::function<void()>& action) {
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        closer.start();
        action();
    }
};

// Chooses entry `row` of the next "Choose language" dialog and presses OK.
void ChooseLanguageRow(int row) {
    OnNextModal([row](QWidget* modal) {
        auto* dialog = qobject_cast<CSelLangue*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->List()->setCurrentRow(row);
        dialog->accept();
    });
}

class LanguageDesktopTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        std::filesystem::copy_file(std::filesystem::path(VANTREL_DATA_DIR) / "CVantrelFrancais_FR.LNG",
                                   data_ / "CVantrelFrancais_FR.LNG");
        // The French edition of the model's included drug file.
        std::ofstream(data_ / "Drugs" / "Antiarrhythmic_FR.drg", std::ios::binary)
            << "#Drug: ic\r\n\"Classe IC\r\nRalentit la conduction dans les ventricules.\"\r\n";
    }
    QString MenuText(int id) { return Frame().Action(id)->text(); }
    QString MenuBarText(int position) { return Frame().menuBar()->actions().at(position)->text(); }
    // Every text a panel shows: its title, labels, buttons, boxes, group titles and tooltips.
    static QStringList PanelTexts(ChildPanel* panel) {
        QStringList texts{panel->Title()};
        for (QLabel* label : panel->findChildren<QLabel*>()) texts << label->text();
        for (QAbstractButton* button : panel->findChildren<QAbstractButton*>()) texts << button->text() << button->toolTip();
        for (QGroupBox* group : panel->findChildren<QGroupBox*>()) texts << group->title();
        return texts;
    }
    template <typename Button>
    static Button* ButtonWithText(ChildPanel* panel, const QString& text) {
        for (Button* button : panel->findChildren<Button*>())
            if (button->text() == text) return button;
        return nullptr;
    }
    QString TitleOfNextParametersDialog() {
        QString title;
        OnNextModal([&title](QWidget* modal) { title = modal->windowTitle(); });
        Frame().Action(kCmdParameters)->trigger();
        return title;
    }
};

TEST_F(LanguageDesktopTest, ChoosingFrancaisTranslatesMenusDialogsAndListsAndEnglishKeepsTheMenu) {
    Start();
    EXPECT_EQ(Doc().languageNames, "Francais\r\n");
    EXPECT_EQ(MenuText(kCmdLoadHeart), "Load Heart model");

    ChooseLanguageRow(1);
    Frame().Action(kCmdLanguage)->trigger();
    EXPECT_EQ(Doc().languageIndex, 1);
    EXPECT_EQ(Doc().languageSuffix, "_FR");
    EXPECT_EQ(MenuText(kCmdLoadHeart), QString::fromUtf8("Charger un modèle de cœur"));
    EXPECT_EQ(MenuText(kCmdCardioversion), "Cardioversion");
    EXPECT_EQ(MenuText(kCmdAdvanced), QString::fromUtf8("Fonctions avancées"));
    EXPECT_EQ(MenuBarText(0), "&Fichier");
    EXPECT_EQ(MenuBarText(3), "&Outils");
    EXPECT_EQ(Child<QComboBox>("DrugList")->itemText(0), QString::fromUtf8("Aucun médicament / Élimination"));
    EXPECT_EQ(Child<QComboBox>("DrugList")->itemText(2), "Classe IC") << "the drug file with the suffix _FR";
    EXPECT_EQ(TitleOfNextParametersDialog(), QString::fromUtf8("Réglage des paramètres"));
    EXPECT_EQ(View().RunMode(), kRunNormal) << "the model was reloaded and runs";
    // The view's own buttons take the new texts, laid out again at widths that hold them.
    auto* record = Child<QPushButton>("RecordButton");
    EXPECT_EQ(record->text(), "Enregistrer");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return record->width() > record->fontMetrics().horizontalAdvance(record->text()) + 8; }, 2000))
        << "\"Enregistrer\" is cut in a button " << record->width() << " pixels wide";
    EXPECT_EQ(Child<QComboBox>("StyleList")->itemText(1), "Squelette");

    // Back to English: dialogs at once, the menu only after a restart.
    ChooseLanguageRow(0);
    Frame().Action(kCmdLanguage)->trigger();
    EXPECT_EQ(Doc().languageIndex, 0);
    EXPECT_EQ(Doc().languageSuffix, "");
    EXPECT_EQ(MenuBarText(0), "&Fichier");
    EXPECT_EQ(MenuText(kCmdLoadHeart), QString::fromUtf8("Charger un modèle de cœur"));
    EXPECT_EQ(TitleOfNextParametersDialog(), "Parameters Ajustments");
    EXPECT_EQ(Child<QComboBox>("DrugList")->itemText(0), "No drug / WashOut");
    EXPECT_EQ(Child<QComboBox>("DrugList")->itemText(2), "Class IC");
}

TEST_F(LanguageDesktopTest, OpenPanelsTakeTheNewLanguageAtOnceKeepingTheirValuesAndFindingClearPlaces) {
    Start();
    Frame().Action(kCmdEcgScreen)->trigger();
    Frame().Action(kCmdPacemaker)->trigger();
    Frame().Action(kCmdStimulator)->trigger();
    auto* pacemaker = Child<CPACE>("PacemakerDialog");
    auto* premature = Child<CMainDlg>("PrematureBeatPanel");
    auto* stimulator = Child<CORTHO>("StimulatorDialog");
    ASSERT_TRUE(pacemaker && premature && stimulator);
    ASSERT_TRUE(QTest::qWaitFor([&] { return premature->isVisible(); }, 2000));
    ASSERT_TRUE(pacemaker->isVisible() && stimulator->isVisible());

    // Values typed but not yet applied, and choices made in the stimulator.
    pacemaker->FieldEdit(2)->setText("72");  // basic rate
    stimulator->FieldEdit(2)->setText("450");  // S2
    ButtonWithText<QRadioButton>(stimulator, "Auto-Decrement")->setChecked(true);
    ButtonWithText<QRadioButton>(stimulator, "Lead 3")->setChecked(true);
    ButtonWithText<QCheckBox>(stimulator, "S3 =")->setChecked(true);
    ButtonWithText<QCheckBox>(stimulator, "Add a pause after burst of :")->setChecked(false);

    ChooseLanguageRow(1);
    Frame().Action(kCmdLanguage)->trigger();
    ASSERT_EQ(Doc().languageSuffix, "_FR");

    struct PanelCase {
        ChildPanel* panel;
        QString title;
        QStringList french;
        QStringList englishGone;
    };
    const PanelCase cases[] = {
        {pacemaker,
         QString::fromUtf8("RÉGLAGE DU STIMULATEUR CARDIAQUE"),
         {"Mode", QString::fromUtf8("Fréquence de base :"), QString::fromUtf8("Délai A-V"), "Occultation V.", "Annuler",
          QString::fromUtf8("Fermer (Échap)")},
         {"PACEMAKER SETUP", "Model", "Basic Rate:", "A-V Delay", "Cancel", "Close (Esc)"}},
        {premature,
         "Extrasystoles",
         {"ESSV", "ESV", "ESVx", QString::fromUtf8("Bigéminisme SV"), "Supraventriculaire", "Ventriculaire"},
         {"Premature beats", "SVPB", "VPBx", "V-Bigeminy", "Supraventricular", "Ventricular"}},
        {stimulator,
         "STIMULATEUR ORTHORYTHMIQUE",
         {QString::fromUtf8("Sans QRS intermédiaire"), QString::fromUtf8("Décrément automatique"), "Pas :", "Sonde 3",
          "MARCHE", QString::fromUtf8("ARRÊT"), QString::fromUtf8("Ajouter une pause après la salve de :")},
         {"ORTHORHYTHMIC STIMULATOR", "Fixed", "Lead 1", "START", "STOP", "Add a pause after burst of :"}},
    };
    for (const PanelCase& c : cases) {
        SCOPED_TRACE(c.panel->objectName().toStdString());
        EXPECT_EQ(c.panel->Title().toStdString(), c.title.toStdString());
        const QStringList texts = PanelTexts(c.panel);
        for (const QString& text : c.french) EXPECT_TRUE(texts.contains(text)) << text.toStdString();
        for (const QString& text : c.englishGone) EXPECT_FALSE(texts.contains(text)) << text.toStdString();
        EXPECT_TRUE(c.panel->isVisible()) << "the panel stays open";
    }

    // What the user had set stays.
    EXPECT_EQ(pacemaker->FieldEdit(2)->text(), "72");
    EXPECT_EQ(stimulator->FieldEdit(2)->text(), "450");
    EXPECT_TRUE(ButtonWithText<QRadioButton>(stimulator, QString::fromUtf8("Décrément automatique"))->isChecked());
    EXPECT_TRUE(ButtonWithText<QRadioButton>(stimulator, "Sonde 3")->isChecked());
    EXPECT_TRUE(ButtonWithText<QCheckBox>(stimulator, "S3 =")->isChecked());
    EXPECT_FALSE(ButtonWithText<QCheckBox>(stimulator, QString::fromUtf8("Ajouter une pause après la salve de :"))->isChecked());

    // The panels, sized for their new texts, are placed again: inside the view, clear of each
    // other, each either whole or given less room and scrolling.
    QTest::qWait(200);
    const QList<ChildPanel*> open{pacemaker, premature, stimulator};
    for (ChildPanel* panel : open) {
        SCOPED_TRACE(panel->objectName().toStdString());
        EXPECT_TRUE(View().rect().contains(panel->geometry()));
        for (ChildPanel* other : open)
            if (other != panel) {
                EXPECT_FALSE(panel->geometry().intersects(other->geometry())) << other->objectName().toStdString();
            }
    }
    EXPECT_GE(pacemaker->width(), std::min(pacemaker->sizeHint().width(), View().width()))
        << "the pacemaker panel is as wide as its French texts";
}

TEST_F(LanguageDesktopTest, StartsInTheSavedLanguage) {
    WriteSettingsText("Language 1;\r\n");
    Start();
    EXPECT_EQ(Doc().languageSuffix, "_FR");
    EXPECT_EQ(MenuBarText(6), "&Langue");
    EXPECT_EQ(Child<CMainDlg>("PrematureBeatPanel")->Button(PrematureBeatCommand::Vpb)->text(), "ESV");
    EXPECT_EQ(Child<CMainDlg>("PrematureBeatPanel")->Title(), "Extrasystoles") << "the panel's title is translated";
}

TEST_F(LanguageDesktopTest, TheControlPanelOpensTheParameterDialog) {
    Start();
    QPushButton* setParameters = nullptr;
    for (QPushButton* button : Child<CMainDlg>("PrematureBeatPanel")->findChildren<QPushButton*>())
        if (button->text() == "Set Parameters") setParameters = button;
    ASSERT_NE(setParameters, nullptr);
    EXPECT_TRUE(setParameters->isEnabled());
    QString title;
    OnNextModal([&title](QWidget* modal) { title = modal->windowTitle(); });
    setParameters->click();
    EXPECT_EQ(title, "Parameters Ajustments");
}

TEST(MenuTranslationTest, RenamesCommandsAndMenuBarEntriesAndReportsUnknownNames) {
    QMenuBar bar;
    QMenu* file = bar.addMenu("&File");
    QAction* load = file->addAction("Load Heart model");
    for (const char* title : {"&Display", "&Adjust", "&Tools"}) bar.addMenu(title);
    QAction* shock = bar.actions().at(3)->menu()->addAction("Cardioversion");
    const std::vector<MenuSectionLine> section = {
        {"ID_CHOC", "Choc", false},  {"ID_NOPE", "x", false},    {"ID_LOAD_HEART", "", false},
        {"ID_TOOLS", "Outils", true}, {"ID_CHOC", "Position", true}, {"ID_FILE", "Command 0", false},
        {"IDD_CELL", "Dialog", false},
    };
    QStringList reports;
    TranslateMenu(
        section, bar, [&](int id) -> QAction* { return id == kCmdCardioversion ? shock : id == kCmdLoadHeart ? load : nullptr; },
        [&](const QString& title, const QString& text) { reports << title + "|" + text; });
    EXPECT_EQ(shock->text(), "Choc");
    EXPECT_EQ(load->text(), "Load Heart model") << "an empty text renames nothing";
    EXPECT_EQ(bar.actions().at(3)->text(), "Outils");
    EXPECT_EQ(bar.actions().at(3)->menu()->actions().at(0), shock) << "the drop-down menu stays";
    EXPECT_EQ(bar.actions().at(0)->text(), "&File");
    EXPECT_EQ(reports, QStringList{"Error in translation|ID_NOPE: String not found"});
}

// The parameter dialogs on a heart of their own.
class ParameterDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        heart = std::make_unique<CCoeur>();
        for (const char* name : {"Sinus", "His", "LV1"}) heart->cells[heart->cellCount++].SetName(name);
        heart->isochroneRefIndex = 1;
        heart->cells[1].isochroneRef = 1;
    }
    std::unique_ptr<CCoeur> heart;
    MessageBoxes boxes;
};

TEST_F(ParameterDialogsTest, ParametersRefuseValuesOutsideTheirRanges) {
    const struct {
        int id;
        const char* text;
        const char* message;
    } kCases[] = {
        {1041, "1", "Please enter an integer between 2 and 1000."},  // run count
        {1050, "1001", "Please enter an integer between 2 and 1000."},
        {1080, "1", "Please enter an integer between 2 and 1000."},  // occurrence
        {1081, "x", "Please enter an integer."},
    };
    for (const auto& c : kCases) {
        CParameters dialog(*heart);
        dialog.show();
        dialog.Edit(c.id)->setText(c.text);
        boxes.texts.clear();
        boxes.During([&dialog] { dialog.accept(); });
        EXPECT_EQ(boxes.texts, QStringList{c.message}) << c.id;
        EXPECT_TRUE(dialog.isVisible()) << c.id;
        EXPECT_EQ(dialog.focusWidget(), dialog.Edit(c.id)) << c.id;
    }
    for (int id : {1037, 1044, 1042, 1043, 1039, 1040, 1051, 1052, 1045, 1038, 1046, 1047, 1048, 1049, 1053, 1054})
        for (const char* text : {"-5", "2001"}) {
            CParameters dialog(*heart);
            dialog.show();
            dialog.Edit(id)->setText(text);
            boxes.texts.clear();
            boxes.During([&dialog] { dialog.accept(); });
            EXPECT_EQ(boxes.texts, QStringList{"Please enter an integer between 0 and 2000."}) << id << " " << text;
            EXPECT_TRUE(dialog.isVisible());
        }
    EXPECT_EQ(heart->svRunCount, 3) << "a refused dialog stores nothing";
    EXPECT_EQ(heart->vpbCoupling.min, 300);
}

TEST_F(ParameterDialogsTest, ParametersShowTheSetsAndOkStoresEveryField) {
    CParameters dialog(*heart);
    EXPECT_EQ(dialog.Edit(1037)->text(), "350");
    EXPECT_EQ(dialog.Edit(1038)->text(), "400");
    EXPECT_EQ(dialog.Edit(1050)->text(), "5");
    dialog.Edit(1041)->setText("2");
    dialog.Edit(1045)->setText("0");
    dialog.Edit(1038)->setText("2000");
    dialog.Edit(1081)->setText("3");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(heart->svRunCount, 2);
    EXPECT_EQ(heart->vpbCoupling.min, 0);
    EXPECT_EQ(heart->vpbCoupling.max, 2000);
    EXPECT_EQ(heart->vpbEvery, 3);

    CParameters cancelled(*heart);
    cancelled.Edit(1041)->setText("9");
    cancelled.reject();
    EXPECT_EQ(heart->svRunCount, 2);
}

TEST_F(ParameterDialogsTest, SetupWithTheSameReferenceCellChangesOnlyTheLinkClick) {
    int32_t linkClick = 0;
    CSETUPApp dialog(*heart, linkClick);
    ASSERT_EQ(dialog.CellList()->count(), 3);
    EXPECT_EQ(dialog.CellList()->currentRow(), 1);
    dialog.LinkClickBox()->setChecked(true);
    dialog.accept();
    EXPECT_EQ(linkClick, 1);
    EXPECT_EQ(heart->isochroneRefIndex, 1);
    EXPECT_EQ(heart->cells[1].isochroneRef, 1);
    EXPECT_EQ(heart->cells[0].isochroneRef + heart->cells[2].isochroneRef, 0);

    CSETUPApp moved(*heart, linkClick);
    moved.CellList()->setCurrentRow(2);
    moved.LinkClickBox()->setChecked(false);
    moved.accept();
    EXPECT_EQ(linkClick, 0);
    EXPECT_EQ(heart->isochroneRefIndex, 2);
    EXPECT_EQ(heart->cells[1].isochroneRef, 0);
    EXPECT_EQ(heart->cells[2].isochroneRef, 1);

    CSETUPApp cancelled(*heart, linkClick);
    cancelled.CellList()->setCurrentRow(0);
    cancelled.LinkClickBox()->setChecked(true);
    cancelled.reject();
    EXPECT_EQ(linkClick, 0);
    EXPECT_EQ(heart->isochroneRefIndex, 2);
}

TEST_F(ParameterDialogsTest, SetupWithoutCellsKeepsTheReferenceCell) {
    heart->cellCount = 0;
    int32_t linkClick = 0;
    CSETUPApp dialog(*heart, linkClick);
    EXPECT_EQ(dialog.CellList()->count(), 0);
    dialog.accept();
    EXPECT_EQ(heart->isochroneRefIndex, 1);
}

TEST(ChooseLanguageTest, EnglishFirstThenTheFilesAndALastEntryForAnIndexOutOfRange) {
    const std::string names = "Deutsch\r\nEspanol\r\nFrancais\r\nItaliano\r\nNederlands\r\n";
    CSelLangue dialog(names, 2);
    ASSERT_EQ(dialog.List()->count(), 6);
    EXPECT_EQ(dialog.List()->item(0)->text(), "English");
    EXPECT_EQ(dialog.List()->item(5)->text(), "Nederlands");
    EXPECT_EQ(dialog.Selection(), 2);
    EXPECT_EQ(CSelLangue(names, 12).Selection(), 5);
    EXPECT_EQ(CSelLangue("", 3).Selection(), 0) << "no language files: only English";
}

TEST_F(ParameterDialogsTest, AdvancedFunctionsReadsItsFieldsAndRefusesACoefficientOutOfRange) {
    AdvancedFunctionValues values;
    CAdvFunctions dialog(values);
    dialog.show();
    auto* coefficient = dialog.findChild<QLineEdit*>("1119");
    ASSERT_NE(coefficient, nullptr);
    EXPECT_EQ(coefficient->text(), "100");
    coefficient->setText("0");
    boxes.During([&dialog] { dialog.accept(); });
    EXPECT_EQ(boxes.texts, QStringList{"Please enter an integer between 1 and 1000."});
    EXPECT_TRUE(dialog.isVisible());
    coefficient->setText("50");
    dialog.findChild<QAbstractButton*>("1118")->setChecked(true);
    dialog.findChild<QCheckBox*>("1122")->setChecked(true);
    dialog.findChild<QCheckBox*>("1015")->setChecked(false);
    dialog.accept();
    EXPECT_EQ(dialog.Values().coefficient, 50);
    EXPECT_EQ(dialog.Values().function, 3);
    EXPECT_EQ(dialog.Values().avNode, 1);
    EXPECT_EQ(dialog.Values().parasympathetic, 0);
    EXPECT_EQ(dialog.Values().sympathetic, 1);
}

}  // namespace
}  // namespace vantrel
