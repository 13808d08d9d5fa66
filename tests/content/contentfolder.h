#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <map>

namespace peltavo::test {

// A small content folder in a temporary directory: a valid one to start from, with files that a
// test replaces, adds or removes before reading it.
class ContentFolder {
public:
    ContentFolder() {
        files_ = {
            {"conversations/01-hello.txt", "Hello\n"
                                           "Hello, Ali.\n"
                                           "Hi, Ayşe. How are you?\n"
                                           "---\n"
                                           "Merhaba, Ali.\n"
                                           "Selam, Ayşe. Nasılsın?\n"},
            {"quiz/answer-sets.txt", "# The sets\n"
                                     "\n"
                                     "# level: A1\n"
                                     "be | am | is | are\n"
                                     "\n"
                                     "# level: A2\n"
                                     "places | in | on | at | next to\n"},
            {"quiz/questions.txt", "1 | She ___ a teacher. | be | is\n"
                                   "2 | ___ you ready? | be | Are\n"
                                   "3 | The keys are ___ the table. | places | on | next to\n"
                                   "# the spare, never drawn\n"
                                   "4 | The keys are ___ the table. | places | on | next to\n"},
            {"dictionary/en-tr/h.txt", "# English-Turkish\n"
                                       "hello | (ünlem) merhaba\n"
                                       "\n"
                                       "hi = hello\n"
                                       "    (ünlem) selam\n"
                                       "    (k. dili) merhaba\n"},
            {"dictionary/tr-en/m.txt", "merhaba | (ünlem) hello\n"},
        };
    }

    void set(const QString& relative, const QByteArray& bytes) { files_[relative] = bytes; }
    void remove(const QString& relative) { files_.erase(relative); }

    // Writes the files and returns the folder.
    QString write() {
        const QDir root(dir_.path());
        for (const auto& [relative, bytes] : files_) {
            const QString path = root.filePath(relative);
            root.mkpath(QFileInfo(path).path());
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return {};
        }
        return dir_.path();
    }

    QString path(const QString& relative) const { return QDir(dir_.path()).filePath(relative); }

private:
    QTemporaryDir dir_;
    std::map<QString, QByteArray> files_;
};

} // namespace peltavo::test
