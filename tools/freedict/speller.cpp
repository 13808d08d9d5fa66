// A Hunspell spelling dictionary, loaded on a thread of its own.

#include "speller.h"

#include "error.h"

#include <QFile>
#include <QFileInfo>

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
                   auto hunspell = std::make_shared<Hunspell>(aff.c_str(), dic.c_str());
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
