// The document: owner of every long-lived record of the run, in the order in which they are
// built.  Never saved; it lives from start-up to shutdown.
#pragma once

#include <QPointer>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app_options.h"
#include "app/settings/settings_file.h"
#include "app/tone_panel.h"
#include "app/translation/langue.h"
#include "app/view_events.h"
#include "engine/action_log.h"
#include "engine/ecg_display.h"
#include "engine/heart_rate_ring.h"
#include "display/ui/ecg_strip.h"
#include "display/ui/frozen_ecg.h"
#include "engine/frozen_record.h"
#include "engine/heart_record.h"
#include "model/model_reader.h"
#include "model/therapy/regional_change.h"
#include "model/therapy/therapy_panel.h"

class QLabel;

namespace vantrel {

class CCVantrelView;

class CCVantrelDoc {
public:
    // Builds the records in order; the heart record loads the default heart model first.
    CCVantrelDoc(const std::filesystem::path& programDirectory, const AppOptions& options);
    CCVantrelDoc(const CCVantrelDoc&) = delete;
    CCVantrelDoc& operator=(const CCVantrelDoc&) = delete;
    // Texts go back to English: the translation table outlives the document.
    ~CCVantrelDoc();

    // The frame asks before closing: the settings file is written first.
    bool CanCloseFrame();
    // Name of the settings file: in the directory that was current when the document was built.
    std::filesystem::path SettingsPath() const { return appDirectory / kSettingsFileName; }
    // How the model reader finds its files and treats the checksum in this run.
    ReaderOptions ReaderOptionsForLoad() const;
    // Loads the translation of `languageIndex` (its text stays when English is chosen) and its
    // suffix for the drug and sequence files; the frame then renames the menu.
    void ApplyLanguage();
    // True when the last load succeeded.
    bool ModelLoaded() const { return modelLoaded; }

    ViewNotifier notifier;  // where the engine's messages and the reader's message boxes go
    CCoeur heart;           // the heart record
    EcgDisplay display;     // the sample store the clock fills
    EcgStrip strip{display};  // the live strip's drawing state
    HeartRateRing rates;
    FrozenRecord frozen;    // the copy the frozen screen shows, taken by each freeze
    FrozenEcg frozenEcg{frozen, strip};  // the frozen screen's position, calipers and print queue
    ActionLog actions;      // the user's actions, for the recordings (written by EngineControl)
    CReglage tonePanel;     // windows created by the view at its first paint
    std::string modelTitle;
    QPointer<QLabel> commentsCaption;  // "Comments of TXT files", created by the view
    std::filesystem::path appDirectory;  // current directory at construction
    std::filesystem::path programDirectory;  // holds Clinic/, Drugs/, Seq/ and the language files
    int32_t languageIndex = 0;    // 0 English, k the k-th language file found
    std::string languageSuffix;   // "_FR" for CVantrelFrancais_FR.LNG; empty for English
    std::string languageNames;    // display names of the language files, each ended by CR LF
    CLangue langue{programDirectory};  // the translation service
    int32_t linkClickFullVolume = 0;
    CCVantrelView* view = nullptr;  // set at the view's first paint
    AppOptions options;
    TherapyPanel therapy;      // the drug and sequence lists and what choosing in them does
    bool modelLoaded = false;  // result of the last LoadModel
    AdvancedFunctionValues advancedFunctions;  // the "Advanced Functions" dialog's last values
    RegionalChanges regional;  // where the regional changes of this model started from
};

}  // namespace vantrel
