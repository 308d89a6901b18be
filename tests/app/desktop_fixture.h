// The desktop program built and shown as a user starts it, under the offscreen platform, in a
// scratch directory of its own: the settings file is written there, and its data directory holds
// a small default heart model with drugs and sequences.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "app/application.h"
#include "app/main_frame.h"
#include "app/settings/settings_file.h"
#include "app/vantrel_doc.h"
#include "app/vantrel_view.h"
#include "tests/scratch_directory.h"

namespace vantrel {

// Runs `inspect` on the next modal window once it is up, then closes it (rejected) unless
// `inspect` closed it itself.
inline void OnNextModal(std::function<void(QWidget*)> inspect) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        poll->stop();
        poll->deleteLater();
        inspect(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible()) dialog->done(0);
    });
    poll->start(10);
}

// The class names of every modal window that opens while `act` runs (each is closed, rejected, as
// soon as it is seen), in order.
inline QStringList ModalsOpenedBy(const std::function<void()>& act) {
    QStringList opened;
    QWidget* last = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last) return;
        last = modal;
        opened << modal->metaObject()->className();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->done(0);
    });
    poll.start(10);
    act();
    QTest::qWait(100);  // a second window would open right after the first closes
    return opened;
}

// A right click as the window system delivers it: the press goes to the control under the mouse
// (and on to its parents when it ignores it), followed by a context-menu event.
inline void RightClick(QWidget* widget, QPoint at) {
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::RightButton, {}, widget->mapTo(top, at));
}

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousDir_ = std::filesystem::current_path();
        dir_ = testing::ScratchDirectory("vantrel_desktop_");
        std::filesystem::current_path(dir_);
        // The data directory: a small default model with drugs and sequences, and a second copy
        // of it for the load command.
        data_ = dir_ / "data";
        std::filesystem::copy(std::filesystem::path(VANTREL_TEST_DIR) / "data", data_,
                              std::filesystem::copy_options::recursive);
        std::filesystem::copy_file(data_ / "Clinic" / "1.1 Normal.hmd", data_ / "Clinic" / "Second heart.hmd");
    }
    void TearDown() override {
        session_.frame.reset();
        session_.doc.reset();
        std::filesystem::current_path(previousDir_);
        std::filesystem::remove_all(dir_);
    }
    void WriteSettingsText(const std::string& text) {
        std::ofstream(dir_ / kSettingsFileName, std::ios::binary) << text;
    }
    void WriteModel(const std::string& fileName, const std::string& text) {
        std::ofstream(data_ / "Clinic" / fileName, std::ios::binary) << text;
    }
    // Builds the program and shows it; the Welcome dialog is closed by `closeWelcome`.
    void Start(bool closeWelcome = true) {
        AppOptions options = options_;
        options.dataDirectory = data_.string();
        session_ = CreateDesktop(options);
        ASSERT_TRUE(session_.frame);
        if (closeWelcome) OnNextModal([](QWidget*) {});
        Frame().show();
        if (closeWelcome) {
            ASSERT_TRUE(QTest::qWaitFor([this] { return View().ClockLive(); }, 5000));
        }
        QApplication::setActiveWindow(&Frame());
    }
    CMainFrame& Frame() { return *session_.frame; }
    CCVantrelView& View() { return *Frame().View(); }
    CCVantrelDoc& Doc() { return *session_.doc; }
    template <typename T>
    T* Child(const char* name) {
        return Frame().findChild<T*>(name);
    }
    bool Enabled(int id) {
        Frame().UpdateCommandStates();
        return Frame().Action(id)->isEnabled();
    }

    std::filesystem::path previousDir_;
    std::filesystem::path dir_;
    std::filesystem::path data_;
    AppOptions options_;
    DesktopSession session_;
};

}  // namespace vantrel
