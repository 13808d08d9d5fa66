#pragma once

#include "fakeplatform.h"
#include "programstate.h"
#include "tanaekr.h"
#include "testpaths.h"
#include "tsozlukekr.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace peltavo::test {

// A temporary folder standing in for the program's folder, with the sample learning database in
// it as peltavo.MDB unless asked otherwise.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withDatabase = true) {
        if (withDatabase) {
            EXPECT_TRUE(QFile::copy(fixture(QStringLiteral("peltavo-sample.mdb")),
                                    dir_.filePath(QStringLiteral("peltavo.MDB"))));
        }
    }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// The main window on the sample database, its creation handler run; without a database, the
// opening has said "No Database Selected" and every table stays closed.
class MainWindowOnSample {
public:
    explicit MainWindowOnSample(bool withDatabase = true) : folder(withDatabase) {
        platform.folder = folder.path();
        window = std::make_unique<Tanaekr>(state, platform);
        state.anaekr = window.get();
        window->FormCreate();
    }
    Tanaekr& operator*() { return *window; }
    Tanaekr* operator->() { return window.get(); }

    ProgramFolder folder;
    FakePlatform platform;
    ProgramState state;
    std::unique_ptr<Tanaekr> window;
};

// The main window on the sample database with the dictionary detail window beside it, as the
// program builds them.
class DictionaryWindows : public MainWindowOnSample {
public:
    explicit DictionaryWindows(bool withDatabase = true) : MainWindowOnSample(withDatabase) {
        detail = std::make_unique<Tsozlukekr>(state, window->dictionaryTables(), window.get());
        state.sozlukekr = detail.get();
    }
    ~DictionaryWindows() { state.sozlukekr = nullptr; }

    std::unique_ptr<Tsozlukekr> detail;
};

} // namespace peltavo::test
