// The application object of the window tests: a PeltavoApplication on the offscreen platform,
// created before the first test and reporting uncaught errors to applicationPlatform().
#include "application.h"
#include "fakeplatform.h"
#include "notesbrowser.h"

#include <gtest/gtest.h>

#include <memory>

namespace peltavo::test {

FakePlatform& applicationPlatform() {
    static FakePlatform platform;
    return platform;
}

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // The notes pane's module lies where the build puts the program, not beside the tests;
        // a test of the program without it says so.
        if (qEnvironmentVariableIsEmpty("PELTAVO_TEST_WITHOUT_NOTES_MODULE"))
            quiz::setNotesModuleFolder(QStringLiteral(PELTAVO_RUNTIME_DIR));
        // The quiz window's notes pane starts Chromium, whose sandbox cannot run as root or in
        // most containers.
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        app_ = std::make_unique<PeltavoApplication>(argc_, argv_, applicationPlatform());
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "test_mainwin";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<PeltavoApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

} // namespace peltavo::test
