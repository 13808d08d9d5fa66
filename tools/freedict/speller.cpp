// A Hunspell spelling dictionary, loaded on a thread of its own.

#include "speller.h"

#include "error.h"

#include <QFile>
#include <QFileInfo>

#include <mutex>

#include <hunspell.hxx>

namespace peltavo::freedict {

namespace {

const QString kTurkishAff = QStringLiteral("/usr/share/hunspell/tr_TR.aff");
const QString kTurkishDic = QStringLiteral("/usr/share/hunspell/tr_TR.dic");

// The first word of a Hunspell word list: its first line holds the number of words, then come
// the words, "word/flags".
std::string firstWord(const std::string& dicPath) {
    QFile file(QString::fromStdString(dicPath));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    file.readLine();
    const QByteArray line = file.readLine().trimmed();
    const qsizetype slash = line.indexOf('/');
    return (slash < 0 ? line : line.left(slash)).toStdString();
}

// libhunspell shares one table among its UTF-8 dictionaries, counted and made or freed without a
// lock whenever a dictionary is made or destroyed: two made at once on two threads can lose a
// count or a table. Each dictionary is still made on a thread of its own, but one at a time.
// The lock is never destroyed: a dictionary held by a static may be destroyed after it at exit.
std::mutex& hunspellLifetimes() {
    static auto* const mutex = new std::mutex;
    return *mutex;
}

} // namespace

Speller::Speller(const QString& affPath, const QString& dicPath) {
    for (const QString& path : {affPath, dicPath}) {
        if (!QFileInfo(path).isFile()) {
            throw Error(QStringLiteral("The spelling dictionary %1 does not exist").arg(path));
        }
    }
    const std::string aff = QFileInfo(affPath).absoluteFilePath().toStdString();
    const std::string dic = QFileInfo(dicPath).absoluteFilePath().toStdString();
    loading_ = std::async(std::launch::async, [aff, dic]() {
                   Hunspell* made = nullptr;
                   {
                       const std::lock_guard lock(hunspellLifetimes());
                       made = new Hunspell(aff.c_str(), dic.c_str());
                   }
                   const std::shared_ptr<Hunspell> hunspell(made, [](Hunspell* h) {
                       const std::lock_guard lock(hunspellLifetimes());
                       delete h;
                   });
                   // Hunspell reads a file it cannot parse as an empty dictionary: the first
                   // word of the word list must be known.
                   if (!hunspell->spell(firstWord(dic))) {
                       throw Error(QStringLiteral("Hunspell cannot read the spelling dictionary %1")
                                       .arg(QString::fromStdString(dic)));
                   }
                   return hunspell;
               }).share();
}

std::unique_ptr<Speller> Speller::loadTurkish() {
    if (!QFileInfo(kTurkishAff).isFile() || !QFileInfo(kTurkishDic).isFile()) {
        throw Error(QStringLiteral("No Turkish spelling dictionary found: install the Debian "
                                   "package hunspell-tr (%1)")
                        .arg(kTurkishDic));
    }
    return std::make_unique<Speller>(kTurkishAff, kTurkishDic);
}

Speller::~Speller() {
    if (loading_.valid()) {
        loading_.wait(); // the thread must not outlive the object; its error is of no use now
    }
}

bool Speller::ask(const QString& word) const {
    return loading_.get()->spell(word.toStdString());
}

bool Speller::accepts(const QString& word) const {
    if (word.isEmpty()) {
        return false;
    }
    const auto known = answers_.constFind(word);
    if (known != answers_.cend()) {
        return *known;
    }
    bool accepted = ask(word);
    if (!accepted) {
        QString plain = word;
        plain.replace(u'â', u'a').replace(u'î', u'i').replace(u'û', u'u');
        plain.replace(u'Â', u'A').replace(u'Î', u'İ').replace(u'Û', u'U');
        accepted = plain != word && ask(plain);
    }
    answers_.insert(word, accepted);
    return accepted;
}

} // namespace peltavo::freedict
