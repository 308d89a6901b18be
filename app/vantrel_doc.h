// The document: owner of every long-lived record of the run, in the order in which they are
// built.  Never saved; it lives from start-up to shutdown.
#pragma once

#include <QPointer>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app_options.h"
#include "app/settings/settings_file.h"
#include "app/view_events.h"
#include "display/ecg_display.h"
#include "display/heart_rate_ring.h"
#include "display/ui/ecg_strip.h"
#include "engine/heart_record.h"

class QLabel;

namespace vantrel {

class CCVantrelView;

class CCVantrelDoc {
public:
    CCVantrelDoc(const std::filesystem::path& programDirectory, const AppOptions& options);
    CCVantrelDoc(const CCVantrelDoc&) = delete;
    CCVantrelDoc& operator=(const CCVantrelDoc&) = delete;

    // The frame asks before closing: the settings file is written first.
    bool CanCloseFrame();
    // Name of the settings file: in the directory that was current when the document was built.
    std::filesystem::path SettingsPath() const { return appDirectory / kSettingsFileName; }

    ViewNotifier notifier;  // where the engine's messages and the reader's message boxes go
    CCoeur heart;           // the heart record
    EcgDisplay display;     // the sample store the clock fills
    EcgStrip strip{display};  // the live strip's drawing state
    HeartRateRing rates;
    std::string modelTitle;
    QPointer<QLabel> commentsCaption;  // "Comments of TXT files", created by the view
    std::filesystem::path appDirectory;  // current directory at construction
    std::filesystem::path programDirectory;  // holds Clinic/, Drugs/, Seq/
    int32_t languageIndex = 0;
    std::string languageSuffix;
    int32_t linkClickFullVolume = 0;
    CCVantrelView* view = nullptr;  // set at the view's first paint
    AppOptions options;
};

}  // namespace vantrel
