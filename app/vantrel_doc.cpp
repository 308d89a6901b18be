#include "app/vantrel_doc.h"

#include "app/vantrel_view.h"

namespace vantrel {

CCVantrelDoc::CCVantrelDoc(const std::filesystem::path& programDir, const AppOptions& opts)
    : programDirectory(programDir), options(opts) {
    // Scripted runs have nobody to press OK: the reader's message boxes close themselves.
    notifier.SetMessagesCloseThemselves(opts.quitAfterSeconds >= 0);
    heart.notifier = &notifier;
    // The heart record comes first and loads the default model.  Nothing else runs yet, so the
    // reader's message boxes are shown as they come; a fatal error is seen by the start-up
    // code through the notifier, which then ends the program before any window is shown.
    modelLoaded = LoadModel(heart, "", ReaderOptionsForLoad());
    std::error_code error;
    appDirectory = std::filesystem::current_path(error);
    languageNames = langue.ListLanguages(kLanguagePrefix);
}

CCVantrelDoc::~CCVantrelDoc() { langue.SetActive(false); }

void CCVantrelDoc::ApplyLanguage() {
    languageSuffix = langue.LoadLanguage(languageIndex);
    langue.SetActive(languageIndex > 0);
}

ReaderOptions CCVantrelDoc::ReaderOptionsForLoad() const {
    ReaderOptions reader;
    reader.dataDirectory = programDirectory;
    reader.languageSuffix = languageSuffix;
    reader.checksum = options.showChecksum   ? ChecksumCheck::Show
                      : options.skipChecksum ? ChecksumCheck::Skip
                                             : ChecksumCheck::Compare;
    return reader;
}

bool CCVantrelDoc::CanCloseFrame() {
    if (view) view->WriteSettingsFile();
    return true;
}

}  // namespace vantrel
