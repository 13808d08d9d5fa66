#pragma once

#include <QHash>
#include <QString>

#include <future>
#include <memory>

class Hunspell;

// A Hunspell spelling dictionary: whether a word is spelt right. The import asks Debian's
// Turkish one (hunspell-tr) about the words that the scans of the printed dictionaries misread.
namespace peltavo::freedict {

class Speller {
public:
    // Loads the dictionary from its .aff and .dic files on another thread; the first question
    // waits for it. Throws peltavo::Error at once when a file does not exist, and from the first
    // question when Hunspell cannot read them.
    Speller(const QString& affPath, const QString& dicPath);
    // Debian's Turkish dictionary, /usr/share/hunspell/tr_TR.aff and .dic; throws
    // peltavo::Error naming the package when it is not installed.
    static std::unique_ptr<Speller> loadTurkish();
    ~Speller();
    Speller(const Speller&) = delete;
    Speller& operator=(const Speller&) = delete;

    // Whether the dictionary accepts the word as it is written. A circumflex the dictionary does
    // not know ("kâğıt", "ilâç", "hâkim") counts as its plain letter. Answers are remembered.
    bool accepts(const QString& word) const;

private:
    bool ask(const QString& word) const;

    mutable std::shared_future<std::shared_ptr<Hunspell>> loading_;
    mutable QHash<QString, bool> answers_;
};

} // namespace peltavo::freedict
