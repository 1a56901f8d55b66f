#pragma once
// Drives the real finder window offscreen: hives in temporary files, message
// boxes recorded and answered, and helpers that find controls by name.
#include "MainDialog.h"
#include "finder/program_startup.h"
#include "finder/startup_settings.h"
#include "hive_env.h"
#include "results/result_list.h"

#include <platform/message_box.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace windowtest {

// One application for the whole test program, made before the first test and
// destroyed after the last, while Qt's own globals still exist.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // The program's own start-up, from the build tree.
        finder::prepareProcess(KAVREL_BUILD_DIR);
        static int argc = 1;
        static char name[] = "finder_window_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// The local-machine hive of an installed finder, with the database beside
// the program's data; `formats` is the "SupportedFormats" line, if any.
inline std::string systemHive(const std::optional<std::string>& formatsLine = std::nullopt) {
    std::string text = "REGEDIT4\n\n[Software\\Quorvane Geo]\n\"DataBasePath\"=\"" +
                       std::string(KAVREL_DATA_DIR) +
                       "\"\n\n[Software\\Quorvane Geo\\Morvane Find]\n";
    if (formatsLine)
        text += *formatsLine + "\n";
    return text;
}

inline std::string userHive(const std::optional<unsigned>& options) {
    std::string text = "REGEDIT4\n\n[Software\\Quorvane Geo\\Morvane Find]\n";
    if (options) {
        char line[40];
        std::snprintf(line, sizeof line, "\"Options\"=dword:%08x\n", *options);
        text += line;
    }
    return text;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setMessageBoxPresenter([this](const platform::MessageBoxRequest& box) {
            boxes.push_back(box);
            return answer;
        });
    }
    void TearDown() override {
        window.reset();
        platform::setMessageBoxPresenter({});
    }

    // Opens the window on the given hives, shown and active as after start-up.
    finder::TFindMainDlg& open(const std::string& system = systemHive(),
                               const std::optional<std::string>& user = userHive(0)) {
        window.reset();
        hives.reset(); // restores the environment before the next hives are set
        hives = std::make_unique<testsupport::HiveEnv>(system, user);
        window = std::make_unique<finder::TFindMainDlg>();
        // As main() hands the command line over before the window is shown.
        if (!commandLine.empty())
            window->setSavedSearchPath(finder::savedSearchPathFrom(commandLine));
        window->setUrlOpener([this](const QUrl& url) {
            openedUrls.push_back(url);
            return true;
        });
        window->setFolderPicker([this](QWidget*, const QString& title) {
            pickerTitles.push_back(title);
            return pickedFolder;
        });
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QCoreApplication::processEvents();
        return *window;
    }

    template <typename T = QWidget> T* control(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << "no control " << name;
        return found;
    }

    // Runs the event loop until the search has ended (or 20 s have passed).
    bool waitForSearch() const {
        QElapsedTimer clock;
        clock.start();
        while (window->searchRunning() && clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents();
        return !window->searchRunning();
    }

    finder::ResultList* results() const { return control<finder::ResultList>("ResultList"); }
    // The rows' texts, sorted.
    std::vector<QStringList> rows() const {
        std::vector<QStringList> all;
        for (int r = 0; r < results()->rowCount(); ++r)
            all.push_back(results()->rowTexts(r));
        std::sort(all.begin(), all.end());
        return all;
    }
    QString status() const { return window->statusBar()->currentMessage(); }

    std::unique_ptr<testsupport::HiveEnv> hives;
    std::unique_ptr<finder::TFindMainDlg> window;
    std::vector<platform::MessageBoxRequest> boxes;
    int answer = platform::IDOK;
    std::vector<QUrl> openedUrls;
    std::vector<QString> pickerTitles;
    QString pickedFolder;
    std::string commandLine; // the program's arguments joined by blanks
};

} // namespace windowtest
