#include "notesbrowser.h"

#include "error.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include <memory>

namespace peltavo::quiz {

namespace {

const QString kModuleName = QStringLiteral("peltavo-notes.so");

QString& extraFolder() {
    static QString folder;
    return folder;
}

// Loaded once and kept for the rest of the run: the panes' code lives in it. The handle is
// held to the end (destroying a QLibrary does not unload it).
CreateNotesBrowser entryPoint() {
    static std::unique_ptr<QLibrary> module;
    static CreateNotesBrowser create = nullptr;
    if (create)
        return create;
    QStringList tried;
    QStringList folders{QCoreApplication::applicationDirPath()};
    if (!extraFolder().isEmpty())
        folders << extraFolder();
    for (const QString& folder : folders) {
        const QString path = folder + QLatin1Char('/') + kModuleName;
        if (!QFileInfo::exists(path)) {
            tried << path + QStringLiteral(": bulunamadı");
            continue;
        }
        auto library = std::make_unique<QLibrary>(path);
        create = reinterpret_cast<CreateNotesBrowser>(library->resolve(kCreateNotesBrowserSymbol));
        if (create) {
            module = std::move(library);
            return create;
        }
        tried << library->errorString();
    }
    throw Error(QStringLiteral("Ders notları bölmesi açılamadı (%1)")
                    .arg(tried.join(QStringLiteral("; "))));
}

} // namespace

void setNotesModuleFolder(const QString& folder) {
    extraFolder() = folder;
}

NotesBrowser* createNotesBrowser(QWidget* parent) {
    return entryPoint()(parent);
}

} // namespace peltavo::quiz
