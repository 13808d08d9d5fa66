#pragma once

#include "collation.h"

#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

namespace peltavo {

// The stems of a word, as a spelling dictionary knows them.
class Stemmer {
public:
    virtual ~Stemmer() = default;
    // The stems of `word`, the likeliest first; empty when the word is unknown.
    virtual QStringList stems(const QString& word) const = 0;
};

// A Hunspell dictionary (a .aff and a .dic file in UTF-8) read into memory. Made and used on
// one thread.
class HunspellStemmer final : public Stemmer {
public:
    // Reads the two files; throws peltavo::Error naming the file when one is missing or when
    // Hunspell finds no words in it.
    HunspellStemmer(const QString& affPath, const QString& dicPath);
    ~HunspellStemmer() override;
    HunspellStemmer(const HunspellStemmer&) = delete;
    HunspellStemmer& operator=(const HunspellStemmer&) = delete;

    QStringList stems(const QString& word) const override;
    // Whether the dictionary knows the word as it is written (a form, not only a stem).
    bool spells(const QString& word) const;

private:
    struct Delete {
        void operator()(Hunspell* hunspell) const;
    };
    std::unique_ptr<Hunspell, Delete> hunspell_;
};

// The stemmers of the two dictionaries' languages, each read from `folder` the first time it is
// asked for, and only then: reading the Turkish one takes a good part of a second. A language
// whose files cannot be read has no stemmer; that is said once on the error output, and asked
// again it is not read again.
class LazyStemmers {
public:
    using Language = Collation::Language;

    // Debian's dictionaries: hunspell-en-us and hunspell-tr.
    static QString defaultFolder() { return QStringLiteral("/usr/share/hunspell"); }

    explicit LazyStemmers(QString folder = defaultFolder());
    ~LazyStemmers();
    LazyStemmers(const LazyStemmers&) = delete;
    LazyStemmers& operator=(const LazyStemmers&) = delete;

    // en_US for English, tr_TR for Turkish; null when its files cannot be read.
    const Stemmer* forLanguage(Language language);
    // Whether forLanguage() has been asked for `language` yet.
    bool asked(Language language) const;

private:
    struct Slot {
        bool asked = false;
        std::unique_ptr<Stemmer> stemmer;
    };
    QString folder_;
    Slot english_;
    Slot turkish_;
};

} // namespace peltavo
