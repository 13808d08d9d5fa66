#include "stemmer.h"

#include "error.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <hunspell.hxx>

#include <algorithm>

namespace peltavo {

namespace {

std::string localPath(const QString& path) {
    return QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString();
}

// The first word with a letter in a Hunspell word list (its first line is the count of words,
// then come "word/flags" lines), or nothing when none of its first lines has one.
QString firstWord(const QString& dicPath) {
    QFile file(dicPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.readLine();
    for (int i = 0; i < 100 && !file.atEnd(); ++i) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const QString word = line.left(line.indexOf(u'/'));
        if (std::any_of(word.begin(), word.end(), [](QChar c) { return c.isLetter(); }))
            return word;
    }
    return {};
}

} // namespace

void HunspellStemmer::Delete::operator()(Hunspell* hunspell) const {
    delete hunspell;
}

HunspellStemmer::HunspellStemmer(const QString& affPath, const QString& dicPath) {
    for (const QString& path : {affPath, dicPath}) {
        if (!QFileInfo(path).isFile())
            throw Error(QStringLiteral("The spelling dictionary %1 does not exist").arg(path));
    }
    hunspell_.reset(new Hunspell(localPath(affPath).c_str(), localPath(dicPath).c_str()));
    if (hunspell_->get_dict_encoding() != "UTF-8")
        throw Error(
            QStringLiteral("The spelling dictionary %1 is not written in UTF-8").arg(affPath));
    // Hunspell takes a file it cannot read for an empty dictionary: the first word of the list
    // must be known.
    const QString known = firstWord(dicPath);
    if (known.isEmpty() || !hunspell_->spell(known.toStdString()))
        throw Error(QStringLiteral("Hunspell cannot read the spelling dictionary %1").arg(dicPath));
}

HunspellStemmer::~HunspellStemmer() = default;

bool HunspellStemmer::spells(const QString& word) const {
    return !word.isEmpty() && hunspell_->spell(word.toStdString());
}

QStringList HunspellStemmer::stems(const QString& word) const {
    QStringList out;
    if (word.isEmpty())
        return out;
    for (const std::string& stem : hunspell_->stem(word.toStdString())) {
        const QString text = QString::fromStdString(stem);
        if (!text.isEmpty() && !out.contains(text))
            out << text;
    }
    return out;
}

LazyStemmers::LazyStemmers(QString folder) : folder_(std::move(folder)) {}

LazyStemmers::~LazyStemmers() = default;

const Stemmer* LazyStemmers::forLanguage(Language language) {
    Slot& slot = language == Language::Turkish ? turkish_ : english_;
    if (slot.asked)
        return slot.stemmer.get();
    slot.asked = true;
    const QString name =
        language == Language::Turkish ? QStringLiteral("tr_TR") : QStringLiteral("en_US");
    const QDir folder(folder_);
    try {
        slot.stemmer =
            std::make_unique<HunspellStemmer>(folder.filePath(name + QStringLiteral(".aff")),
                                              folder.filePath(name + QStringLiteral(".dic")));
    } catch (const Error& e) {
        // Without stems a double-click still finds a word that is a headword, or one whose
        // entry names its base, and lists the rest from their front half as a click does.
        QTextStream(stderr) << "peltavo: " << e.message() << "; words are looked up without "
                            << "their " << name << " stems (install "
                            << (language == Language::Turkish ? "hunspell-tr" : "hunspell-en-us")
                            << ")\n";
    }
    return slot.stemmer.get();
}

bool LazyStemmers::asked(Language language) const {
    return (language == Language::Turkish ? turkish_ : english_).asked;
}

} // namespace peltavo
