#include "app/vantrel_doc.h"

#include "app/vantrel_view.h"

namespace vantrel {

CCVantrelDoc::CCVantrelDoc(const std::filesystem::path& programDir, const AppOptions& opts)
    : programDirectory(programDir), options(opts) {
    heart.notifier = &notifier;
    std::error_code error;
    appDirectory = std::filesystem::current_path(error);
}

bool CCVantrelDoc::CanCloseFrame() {
    if (view) view->WriteSettingsFile();
    return true;
}

}  // namespace vantrel
