#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// The structure of an English-Turkish article: the headword's own senses, then the run-on entries
// that the printed dictionary wrote after them ("birthday  doğum günü", "give birth to
// doğurmak"), each with its own meaning. Used by importEngTur and the reversal; not part of the
// library's interface.
namespace peltavo::freedict {

class EnglishWords;
class Vocabulary;

// One run-on entry: a derived or compound word ("everyday", "birthday") or a phrase ("every now
// and then", "if you please"), with the meanings the source gives it.
struct RunOn {
    QStringList forms;  // the English words or phrases, several when the source gives variants
    QStringList senses; // the Turkish meanings, in order; may be empty
    QString text;       // the run-on as the source writes it, for when it has no meaning
};

struct Article {
    QStringList forms;  // the headword's spellings
    QStringList senses; // its own senses
    std::vector<RunOn> runOns;
};

// Splits the senses of one article (repaired, without their numbers) into the headword's own
// senses and its run-on entries. A run-on starts where a sentence ends (". ", ": ", "! ", "? ")
// or, for a word followed by two blanks, anywhere: an English word or phrase that holds a word
// made from the headword ("birthday" for "birth", "usually" for "usual", "be pleased with" for
// "please") and is followed by its Turkish meaning. The printed dictionary lists a headword's
// senses first and its run-ons after them, and numbers the senses of a run-on as well; so once
// a run-on has started, every later sense belongs to the last run-on.
Article splitArticle(const QStringList& forms, const QStringList& senses, const Vocabulary& words);

// The spellings that one headword line gives: "goodby, good-bye" gives both, "neighbor, -bour"
// gives "neighbor" and "neighbour", "psychic,-chical" gives "psychic" and "psychical". A
// shortened spelling that makes no known word is left out.
QStringList headwordForms(const QString& headword, const EnglishWords& words);

// The headword as it should be spelt: a compound that lost its hyphen or blank as WordNet spells
// it ("redhanded" is "red-handed"); a word that the scan of the printed dictionary misread as
// the known word it stands for ("evoive" is "evolve", "cloek" is "clock"), when taken is not a
// headword of its own already; a name with its capital ("brazil" is "Brazil"). Any other
// headword stays as it is.
QString repairHeadword(const QString& headword, const EnglishWords& words,
                       const QSet<QString>& taken);

// The headword as its senses show it should be written (written is the headword as the article
// writes it, repaired as repairHeadword spells it): without the capital of a name when its first
// sense names nothing ("vang"); a prefix or suffix that is no word with its hyphen ("spiro-",
// "-ian"); an abbreviation of a name in capitals ("PTA" for "(kıs.) Parent-Teacher
// Association").
QString fitHeadword(const QString& written, const QString& repaired, const QStringList& senses,
                    const EnglishWords& words);

// The senses with a sense that is only a label ("(k. dili)", "(sonek)") joined to the next one,
// which it labels: the scan broke the line after the label.
QStringList withLabelsJoined(QStringList senses);

// The sense without the full stop that ends most senses, but with one that ends an abbreviation
// ("vb.", "etc.").
QString withoutFinalStop(const QString& sense);

} // namespace peltavo::freedict
