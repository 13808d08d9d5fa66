#pragma once

#include "databaseopening.h"

#include <QString>
#include <QWidget>

namespace peltavo {

class DataSource;
class TableHandle;
struct ProgramState;

namespace platform {
class DirectoryList;
class Platform;
} // namespace platform

// The quiz window `sorcevekr`. It opens the learning database for itself when it is created and
// owns the questions table `ADO` ("sorubos") and the answer sets table `ADOCEV` ("cevap").
// Created hidden; closing it only hides it.
class Tsorcevekr : public QWidget {
    Q_OBJECT

public:
    Tsorcevekr(ProgramState& state, platform::Platform& platform, QWidget* parent = nullptr);
    ~Tsorcevekr() override;

    TableHandle* ADO;
    DataSource* DS;
    TableHandle* ADOCEV;
    DataSource* dscev;
    // Holds the folder current when the window was built; the lesson notes are looked for there.
    platform::DirectoryList* dl;

    // Creation: opens the database with an empty password. Errors of the opening pass through
    // (the window-creation step shows them).
    void FormCreate();

    // The database opening of this window (see DatabaseOpening): `ADO` on "sorubos", then
    // `ADOCEV` on "cevap"; no sort, no bindings.
    void ConnectToMSAccessDB(const QString& fileName, const QString& password);
    QString GetDBPath(const QString& fileName);
    bool CheckIfAccessDB(const QString& path);
    void ConnectToAccessDB(const QString& path, const QString& password);
    QString connectionString() const { return connectionString_; }

    ProgramState& state() const { return state_; }

private:
    ProgramState& state_;
    platform::Platform& platform_;
    DatabaseOpening opening_;
    QString connectionString_;
};

} // namespace peltavo
