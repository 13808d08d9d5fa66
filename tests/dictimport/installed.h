// What the import's tests of real entries read from the system, loaded once for the whole test
// program: the English word lists, Debian's Turkish spelling dictionary, and a vocabulary counted
// from the installed English-Turkish dictionary as the import counts it (and one counted alike,
// without the speller, that knows four names). Their absence is a broken set-up.
#pragma once

#include "freedict.h"
#include "speller.h"
#include "textrepair.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

namespace peltavo::freedict::test {

struct InstalledDictionary {
    EnglishWords words = EnglishWords::loadSystem();
    std::unique_ptr<Speller> speller = Speller::loadTurkish();
    Vocabulary vocabulary{words};
    Vocabulary names{words};

    InstalledDictionary(const QString& index, const QString& dict) {
        vocabulary.setSpeller(speller.get());
        for (const Entry& article : readDictd(index, dict)) {
            const QStringList senses = article.meaning.section(u'\n', 1).split(u'\n');
            vocabulary.count(senses);
            names.count(senses);
        }
        names.addNames({QStringLiteral("İngiliz"), QStringLiteral("İspanya"), QStringLiteral("Çin"),
                        QStringLiteral("Ren"), QStringLiteral("İngiltere")});
    }

    // Null when dict-freedict-eng-tur is not installed.
    static const InstalledDictionary* get() {
        static const std::unique_ptr<InstalledDictionary> installed =
            []() -> std::unique_ptr<InstalledDictionary> {
            const QString index = QStringLiteral("/usr/share/dictd/freedict-eng-tur.index");
            if (!QFileInfo::exists(index))
                return nullptr;
            return std::make_unique<InstalledDictionary>(
                index, QStringLiteral("/usr/share/dictd/freedict-eng-tur.dict.dz"));
        }();
        return installed.get();
    }
};

// A test of real entries: fails at once when the installed dictionary is missing.
class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstalledDictionary::get()) << "dict-freedict-eng-tur is not installed";
    }
    static const Vocabulary& vocabulary() { return InstalledDictionary::get()->vocabulary; }
    static const Vocabulary& names() { return InstalledDictionary::get()->names; }
    static const EnglishWords& words() { return InstalledDictionary::get()->words; }
};

} // namespace peltavo::freedict::test
