#include "app/application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QPixmap>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>
#include <mutex>

#include "app/main_frame.h"
#include "app/unattended_messages.h"
#include "app/vantrel_doc.h"
#include "app/vantrel_view.h"

namespace vantrel {

// Grabs the main window once the simulation has run the asked simulated time, then closes the
// window the normal way (which writes the settings file) and leaves.
void ArmScriptedRun(DesktopSession& session, const AppOptions& options, int& exitStatus) {
    CMainFrame* frame = session.frame.get();
    CCVantrelDoc* doc = session.doc.get();
    frame->View()->SetWelcomeClosesItself(true);
    AnswerMessageBoxesUnattended();
    auto* poll = new QTimer(frame);
    auto* wall = new QElapsedTimer;
    int32_t* startTick = new int32_t(-1);
    QObject::connect(poll, &QTimer::destroyed, [wall, startTick] {
        delete wall;
        delete startTick;
    });
    QObject::connect(frame->View(), &CCVantrelView::simulationStarted, poll, [poll, wall, doc, startTick] {
        std::lock_guard<std::mutex> guard(doc->heart.lock);
        *startTick = doc->heart.tickCount;
        wall->start();
        poll->start(20);
    });
    QObject::connect(poll, &QTimer::timeout, frame, [=, &exitStatus] {
        int32_t ticks = 0;
        {
            std::lock_guard<std::mutex> guard(doc->heart.lock);
            ticks = doc->heart.tickCount - *startTick;
        }
        const double wallSeconds = static_cast<double>(wall->elapsed()) / 1000.0;
        // Simulated time; a simulation that stopped (an arrest, an empty model) still ends the
        // scripted run after a generous wall-clock time.
        const double simulated = ticks / 200.0;
        if (simulated < options.quitAfterSeconds && wallSeconds < options.quitAfterSeconds * 20 + 30) return;
        poll->stop();
        if (!options.screenshotFile.empty()) {
            std::string why;
            if (!SaveScreenshot(frame->grab(), options.screenshotFile, why)) {
                std::fprintf(stderr, "vantrel: cannot write %s: %s\n", options.screenshotFile.c_str(), why.c_str());
                exitStatus = 1;
            }
        }
        const auto printed = [&](const std::string& file, bool written) {
            if (file.empty() || written) return;
            std::fprintf(stderr, "vantrel: cannot write %s\n", file.c_str());
            exitStatus = 1;
        };
        if (!options.reportFile.empty())
            printed(options.reportFile, frame->View()->ScriptReport(QString::fromStdString(options.reportFile)));
        if (!options.printFrozenFile.empty())
            printed(options.printFrozenFile,
                    frame->View()->ScriptFrozenPage(QString::fromStdString(options.printFrozenFile)));
        frame->close();
        QCoreApplication::exit(exitStatus);
    });
}

bool SaveScreenshot(const QPixmap& shot, const std::string& file, std::string& why) {
    // Through a temporary file renamed at the end: a full disk or a folder that cannot be
    // written leaves an older picture of that name whole.
    QSaveFile out(QString::fromStdString(file));
    if (!out.open(QIODevice::WriteOnly)) {
        why = out.errorString().toStdString();
        return false;
    }
    if (!shot.save(&out, "PNG") || !out.flush()) {
        why = out.error() != QFileDevice::NoError ? out.errorString().toStdString() : "the picture could not be encoded";
        out.cancelWriting();
        out.commit();
        return false;
    }
    if (!out.commit()) {
        why = out.errorString().toStdString();
        return false;
    }
    return true;
}

void InstallArialFont() {
    const QString metricTwin = "Liberation Sans";
    if (!QFontDatabase::families().contains(metricTwin)) {
        for (const char* file : {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                                 "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"})
            if (QFontDatabase::addApplicationFont(file) >= 0) break;
    }
    if (!QFontDatabase::families().contains("Arial")) QFont::insertSubstitution("Arial", metricTwin);
}

std::filesystem::path ShippedDataDirectory() { return std::filesystem::path(VANTREL_DATA_DIR); }

DesktopSession CreateDesktop(const AppOptions& options) {
    DesktopSession session;
    const std::filesystem::path data =
        options.dataDirectory.empty() ? ShippedDataDirectory() : std::filesystem::path(options.dataDirectory);
    session.doc = std::make_unique<CCVantrelDoc>(data, options);
    if (session.doc->notifier.EndRequested()) return session;  // the model could not be loaded
    session.frame = std::make_unique<CMainFrame>(*session.doc, CMainFrame::MeasureScreen());
    return session;
}

int RunDesktop(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vantrel");
    std::vector<std::string> arguments;
    const QStringList qtLeft = QCoreApplication::arguments();
    for (qsizetype i = 1; i < qtLeft.size(); ++i) arguments.push_back(qtLeft[i].toStdString());
    const AppOptions options = ParseAppOptions(arguments);
    if (options.help) {
        std::fputs(AppUsage().c_str(), stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "vantrel: %s\n%s", options.error.c_str(), AppUsage().c_str());
        return 2;
    }
    InstallArialFont();
    // Before the document: the default model's load may already have something to say.
    if (options.quitAfterSeconds >= 0) AnswerMessageBoxesUnattended();
    DesktopSession session = CreateDesktop(options);
    if (!session.frame) return 1;
    int exitStatus = 0;
    if (options.quitAfterSeconds >= 0) ArmScriptedRun(session, options, exitStatus);
    session.frame->show();
    const int status = QApplication::exec();
    session.frame.reset();
    return status != 0 ? status : exitStatus;
}

}  // namespace vantrel
