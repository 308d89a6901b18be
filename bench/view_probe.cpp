// view_probe: the desktop's real view, offscreen, on the 1000-cell benchmark heart.  It starts
// the program as a user would (the model standing as the default one, the Welcome dialog closing
// by itself), stays on the heart-model screen at normal speed for a stretch of simulated time and
// reports what the interface cost: ticks run against the wall clock, cell notices that arrived
// late (each one makes the clock drop a tick), the highest skip count seen, the interface
// thread's CPU time and the longest gap of the interface's event loop.
//
// usage: view_probe [--seconds S] [--model FILE.hmd] [--display-style N] [--screen heart|ecg]
//                   [--heart 2d|3d] [--screenshot FILE.png]
//   --seconds S          simulated seconds to run (default 30)
//   --model F            the model file (default: the benchmark heart "Bench 1000.hmd")
//   --display-style N    display style of the heart picture, 0..10 (default 2, the settings default)
//   --screen S           the screen to stay on: "heart" (default) or "ecg"
//   --heart H            the heart picture: "2d" (default) or "3d" (F8, counted from a second after
//                        the switch); with "3d" the probe also times, the clock paused at the end,
//                        one full drawing, its visible regions and a single-cell repaint
//   --screenshot F       grab the main window at the end
#include <QAction>
#include <QImage>
#include <QPainter>
#include <QApplication>
#include <QPixmap>
#include <QElapsedTimer>
#include <QTimer>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

#include "app/application.h"
#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/vantrel_doc.h"
#include "app/vantrel_view.h"
#include "app/view_events.h"

namespace vantrel {
namespace {

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& v) { return static_cast<double>(v.tv_sec) + static_cast<double>(v.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Watches the cell notices on their way to the view and applies the view's own lag test to
// them: a notice more than 5 ticks old while running raises the clock's skip count by one.
class NoticeWatch : public QObject {
public:
    explicit NoticeWatch(CCVantrelView& view) : view_(view) {}
    long notices = 0;
    long late = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == EventTypeOf(kMsgCellChanged)) {
            const auto* message = static_cast<EngineEvent*>(event);
            ++notices;
            const auto lag = static_cast<int32_t>(static_cast<uint32_t>(view_.Clock().LastTickCount()) -
                                                  static_cast<uint32_t>(message->wParam));
            if (lag > 5 && view_.RunMode() > 0) ++late;
        }
        return false;
    }

private:
    CCVantrelView& view_;
};

struct DrawingTimes {
    double drawMs = 0, regionsMs = 0, cellMs = 0;
    int polygons = 0;
};
DrawingTimes drawingTimes;

// Times the 3D picture's own work on an image of the layout size, the clock paused so that the
// run's figures stay untouched: a full drawing, the hidden-part removal that follows it (on a
// worker while the simulation runs; here on this thread), and single cells repainted through the
// regions (the cost of one cell-changed message).
void MeasureDrawing(CCVantrelView& view, int style) {
    view.SetRunMode(0);
    HeartPicture3D& picture = view.Picture3D();
    QImage canvas(view.Canvas().size(), QImage::Format_RGB32);
    QPainter painter(&canvas);
    constexpr int kDrawings = 10;
    QElapsedTimer timer;
    double draw = 0, regions = 0;
    for (int n = 0; n < kDrawings; ++n) {
        timer.start();
        picture.PrepareForPaint();
        picture.DrawHeart(painter, style);
        draw += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        timer.start();
        picture.ComputeVisibleRegions();
        regions += static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    picture.FindOccluders();
    int32_t cells = 0;
    {
        std::lock_guard<std::mutex> guard(view.Document().heart.lock);
        cells = view.Document().heart.cellCount;
    }
    constexpr int kRepaints = 500;
    timer.start();
    for (int n = 0; n < kRepaints && cells > 0; ++n) {
        picture.QueueCellRepaint((n * 37) % cells);
        picture.FlushCellRepaints(painter);
    }
    drawingTimes.cellMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / kRepaints;
    drawingTimes.drawMs = draw / kDrawings;
    drawingTimes.regionsMs = regions / kDrawings;
    drawingTimes.polygons = picture.Polygons().Count();
}

int Probe(int argc, char** argv) {
    double seconds = 30;
    std::filesystem::path model = std::filesystem::path(VANTREL_BENCH_MODELS_DIR) / "Clinic" / "Bench 1000.hmd";
    int style = 2;
    std::string screen = "heart";
    std::string screenshot;
    std::string heartView = "2d";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--seconds") seconds = std::atof(argv[i + 1]);
        else if (option == "--model") model = argv[i + 1];
        else if (option == "--display-style") style = std::atoi(argv[i + 1]);
        else if (option == "--screen") screen = argv[i + 1];
        else if (option == "--screenshot") screenshot = argv[i + 1];
        else if (option == "--heart") heartView = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: view_probe [--seconds S] [--model FILE.hmd] [--display-style N] "
                                 "[--screen heart|ecg] [--heart 2d|3d] [--screenshot FILE.png]\n");
            return 2;
        }
    }
    if (!(seconds > 0) || style < 0 || style > 10 || (screen != "heart" && screen != "ecg") ||
        (heartView != "2d" && heartView != "3d")) {
        std::fprintf(stderr, "view_probe: --seconds must be above 0, --display-style within 0..10 and "
                             "--screen heart or ecg\n");
        return 2;
    }

    // A scratch program directory: the model as the default one, and a settings file with the
    // display style.  The settings file is read and written in the current directory.
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("vantrel_view_probe_" + std::to_string(::getpid()));
    std::filesystem::remove_all(scratch);
    std::filesystem::create_directories(scratch / "data" / "Clinic");
    std::error_code copyError;
    std::filesystem::copy_file(model, scratch / "data" / "Clinic" / "1.1 Normal.hmd", copyError);
    if (copyError) {
        std::fprintf(stderr, "view_probe: cannot read %s\n", model.string().c_str());
        return 2;
    }
    // The drug and sequence files that the model may include, from beside its Clinic folder.
    for (const char* folder : {"Drugs", "Seq"}) {
        const std::filesystem::path from = model.parent_path().parent_path() / folder;
        if (std::filesystem::is_directory(from))
            std::filesystem::copy(from, scratch / "data" / folder, std::filesystem::copy_options::recursive,
                                  copyError);
    }
    std::filesystem::current_path(scratch);
    std::ofstream(scratch / "Vantrel.cfg", std::ios::binary) << "SelCell " << style << ";\r\n";

    AppOptions options;
    options.dataDirectory = (scratch / "data").string();
    options.quitAfterSeconds = seconds;  // scripted: message boxes close themselves
    DesktopSession session = CreateDesktop(options);
    if (!session.frame) return 1;
    CMainFrame& frame = *session.frame;
    CCVantrelView& view = *frame.View();
    CCVantrelDoc& doc = *session.doc;
    view.SetWelcomeClosesItself(true);
    NoticeWatch watch(view);
    view.installEventFilter(&watch);

    const auto targetTicks = static_cast<int32_t>(seconds * 200);
    int32_t startTick = 0;
    double cpuAtStart = 0, processCpuAtStart = 0;
    long noticesAtStart = 0, lateAtStart = 0;
    int32_t maxSkip = 0;
    qint64 longestGapMs = 0, lastPollMs = 0;
    QElapsedTimer wall;
    QTimer poll;
    int32_t ticks = 0;
    double wallSeconds = 0, uiCpu = 0, processCpu = 0;

    auto startCounting = [&] {
        {
            std::lock_guard<std::mutex> guard(doc.heart.lock);
            startTick = doc.heart.tickCount;
        }
        cpuAtStart = ThreadCpuSeconds();
        processCpuAtStart = ProcessCpuSeconds();
        noticesAtStart = watch.notices;
        lateAtStart = watch.late;
        wall.start();
        lastPollMs = 0;
        poll.start(20);
    };
    QObject::connect(&view, &CCVantrelView::simulationStarted, &poll, [&] {
        if (screen == "ecg") frame.Action(kCmdEcgScreen)->trigger();
        // The switch to the 3D picture is one full drawing with its regions: the run is counted
        // from a second later, in the picture as it stays.
        if (screen == "heart" && heartView == "3d") {
            frame.Action(kCmdHeart3d)->trigger();
            QTimer::singleShot(1000, &frame, startCounting);
        } else {
            startCounting();
        }
    });
    QObject::connect(&poll, &QTimer::timeout, &frame, [&] {
        const qint64 now = wall.elapsed();
        longestGapMs = std::max(longestGapMs, now - lastPollMs);
        lastPollMs = now;
        maxSkip = std::max(maxSkip, view.Clock().SkipCount());
        {
            std::lock_guard<std::mutex> guard(doc.heart.lock);
            ticks = doc.heart.tickCount - startTick;
        }
        // A simulation that stopped still ends the probe after a generous wall-clock time.
        if (ticks < targetTicks && now < static_cast<qint64>(seconds * 1000 * 4 + 10000)) return;
        poll.stop();
        wallSeconds = static_cast<double>(now) / 1000.0;
        uiCpu = ThreadCpuSeconds() - cpuAtStart;
        processCpu = ProcessCpuSeconds() - processCpuAtStart;
        view.removeEventFilter(&watch);  // the run's figures end here
        if (heartView == "3d") MeasureDrawing(view, style);
        if (!screenshot.empty() && !frame.grab().save(QString::fromStdString(screenshot), "PNG"))
            std::fprintf(stderr, "view_probe: cannot write %s\n", screenshot.c_str());
        frame.close();
        QCoreApplication::exit(0);
    });
    frame.show();
    QApplication::exec();

    int32_t cells = 0, links = 0;
    {
        std::lock_guard<std::mutex> guard(doc.heart.lock);
        cells = doc.heart.cellCount;
        links = doc.heart.linkCount;
    }
    std::printf("model               %s (%d cells, %d links), %s screen, display style %d\n",
                model.filename().string().c_str(), cells, links, screen.c_str(), style);
    std::printf("simulated time      %.1f s (%d ticks)\n", ticks / 200.0, ticks);
    std::printf("wall time           %.2f s (real time keeps %d ticks in that time)\n", wallSeconds,
                static_cast<int>(wallSeconds * 200));
    std::printf("cell notices        %ld, late (ticks dropped) %ld, highest skipCount %d\n",
                watch.notices - noticesAtStart, watch.late - lateAtStart, maxSkip);
    std::printf("interface thread    %.2f s CPU (%.1f %% of the wall time)\n", uiCpu,
                wallSeconds > 0 ? 100.0 * uiCpu / wallSeconds : 0.0);
    std::printf("whole process       %.2f s CPU\n", processCpu);
    std::printf("longest loop gap    %lld ms (20 ms poll)\n", static_cast<long long>(longestGapMs));
    if (heartView == "3d")
        std::printf("3D full drawing     %.2f ms, visible regions %.2f ms, single-cell repaint %.3f ms "
                    "(%d polygons)\n",
                    drawingTimes.drawMs, drawingTimes.regionsMs, drawingTimes.cellMs, drawingTimes.polygons);
    session.frame.reset();
    session.doc.reset();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(scratch);
    return 0;
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vantrel::InstallArialFont();
    return vantrel::Probe(argc, argv);
}
