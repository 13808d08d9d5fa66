// The application object of the window tests: a PeltavoApplication on the offscreen platform,
// created before the first test and reporting uncaught errors to applicationPlatform().
#include "application.h"
#include "fakeplatform.h"
#include "notesbrowser.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

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
        // Options on the command line, as a test of them asks (see test_startup.cpp).
        for (const QByteArray& option : qgetenv("PELTAVO_TEST_COMMAND_LINE").split(' ')) {
            if (!option.isEmpty())
                options_.push_back(option);
        }
        for (QByteArray& option : options_)
            argv_.insert(argv_.end() - 1, option.data());
        app_ = std::make_unique<PeltavoApplication>(int(argv_.size()) - 1, argv_.data(),
                                                    applicationPlatform());
    }
    void TearDown() override { app_.reset(); }

private:
    char name_[16] = "test_mainwin";
    std::vector<QByteArray> options_;
    std::vector<char*> argv_{name_, nullptr};
    std::unique_ptr<PeltavoApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

} // namespace peltavo::test
