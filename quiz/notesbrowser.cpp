#include "notesbrowser.h"

#include "error.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace peltavo::quiz {

namespace {

const QString kModuleName = QStringLiteral("peltavo-notes.so");

// Loaded once and kept for the rest of the run: the panes' code lives in it.
CreateNotesBrowser entryPoint() {
    static CreateNotesBrowser create = nullptr;
    if (create)
        return create;
    QStringList tried;
    for (const QString& folder :
         {QCoreApplication::applicationDirPath(), QStringLiteral(PELTAVO_MODULE_DIR)}) {
        const QString path = folder + QLatin1Char('/') + kModuleName;
        if (!QFileInfo::exists(path)) {
            tried << path + QStringLiteral(": yok");
            continue;
        }
        auto* library = new QLibrary(path); // never unloaded
        create = reinterpret_cast<CreateNotesBrowser>(library->resolve(kCreateNotesBrowserSymbol));
        if (create)
            return create;
        tried << library->errorString();
        delete library;
    }
    throw Error(QStringLiteral("Ders notları bölmesi açılamadı (%1)")
                    .arg(tried.join(QStringLiteral("; "))));
}

} // namespace

NotesBrowser* createNotesBrowser(QWidget* parent) {
    return entryPoint()(parent);
}

} // namespace peltavo::quiz
