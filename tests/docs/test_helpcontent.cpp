// The built help file peltchm.chm: it holds every page of the project unchanged, is what the
// sources compile to, its links lead somewhere, and each window's page names every control by
// the caption or hint the learner sees.

#include "chm.h"
#include "docsupport.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace peltavo::docbuild;
using peltavo::test::extractWithChmlib;
using peltavo::test::readWholeFile;
using peltavo::test::toCp1254;

namespace {

const QString helpDir = QStringLiteral(PELTAVO_SOURCE_DIR "/content/help");
const QString builtHelp = QStringLiteral(PELTAVO_RUNTIME_DIR "/peltchm.chm");

// The [FILES] section of the help project.
QStringList projectFiles() {
    const QString project = QString::fromUtf8(readWholeFile(helpDir + "/peltchm.hhp"));
    QStringList files;
    bool inFiles = false;
    for (const QString& raw : project.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'['))
            inFiles = line.compare(QStringLiteral("[FILES]"), Qt::CaseInsensitive) == 0;
        else if (inFiles && !line.isEmpty())
            files << line;
    }
    return files;
}

QString pageText(const QString& name) {
    return QString::fromUtf8(readWholeFile(helpDir + "/" + name));
}

} // namespace

TEST(BuiltHelp, HoldsEveryProjectFileAsWritten) {
    const QByteArray chm = readWholeFile(builtHelp);
    const ChmDirectory directory = readChmDirectory(chm);
    EXPECT_EQ(directory.languageId, 0x041fu);
    EXPECT_EQ(directory.timestamp, 0u);
    EXPECT_EQ(chmSystemTimestamp(chm), 0u);

    const QStringList files = projectFiles();
    ASSERT_GE(files.size(), 6);
    const auto extracted = extractWithChmlib(chm);
    for (const QString& name : files) {
        EXPECT_NE(directory.find(u'/' + name), nullptr) << name.toStdString();
        EXPECT_EQ(extracted.value(name), readWholeFile(helpDir + "/" + name)) << name.toStdString();
    }
    for (const QString& sitemap : {QStringLiteral("peltchm.hhc"), QStringLiteral("peltchm.hhk")})
        EXPECT_EQ(extracted.value(sitemap), toCp1254(pageText(sitemap))) << sitemap.toStdString();
}

TEST(BuiltHelp, IsWhatTheSourcesCompileTo) {
    EXPECT_EQ(compileChm(helpDir + "/peltchm.hhp", QStringLiteral(PELTAVO_CHMCMD)),
              readWholeFile(builtHelp))
        << "the peltchm.chm of the build differs from its sources; rebuild target peltavo_docs";
}

TEST(HelpSources, EveryLocalLinkAndAnchorExists) {
    const QStringList files = projectFiles();
    QStringList linking = files.filter(QRegularExpression(QStringLiteral("\\.html$")));
    linking << QStringLiteral("peltchm.hhc") << QStringLiteral("peltchm.hhk");
    static const QRegularExpression reference(
        QStringLiteral("(?:href|value)=\"([^\"]+\\.html(?:#[^\"]*)?)\""));
    int checked = 0;
    for (const QString& page : linking) {
        const QString text = pageText(page);
        for (auto it = reference.globalMatch(text); it.hasNext(); ++checked) {
            const QString target = it.next().captured(1);
            if (target.contains(QStringLiteral("://")))
                continue;
            const QString file = target.section(u'#', 0, 0);
            const QString anchor = target.section(u'#', 1);
            ASSERT_TRUE(files.contains(file))
                << page.toStdString() << " links to " << target.toStdString()
                << ", which the project does not hold";
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(pageText(file).contains(QStringLiteral("id=\"%1\"").arg(anchor)))
                    << page.toStdString() << " links to missing anchor " << target.toStdString();
            }
        }
    }
    EXPECT_GT(checked, 20);
}

TEST(HelpSources, ContentsListEveryPage) {
    const QString contents = pageText(QStringLiteral("peltchm.hhc"));
    for (const QString& file : projectFiles())
        if (file.endsWith(QStringLiteral(".html"))) {
            EXPECT_TRUE(contents.contains(QStringLiteral("value=\"%1\"").arg(file)))
                << file.toStdString();
        }
}

struct Mention {
    const char* page;
    const char* text;
};

std::ostream& operator<<(std::ostream& os, const Mention& m) {
    return os << m.page << ": " << m.text;
}

// The texts the learner sees on each window, as the help must quote them.
class HelpMentions : public testing::TestWithParam<Mention> {};

TEST_P(HelpMentions, PageQuotesTheText) {
    const Mention m = GetParam();
    QString text = pageText(QString::fromLatin1(m.page));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    EXPECT_TRUE(text.contains(QString::fromUtf8(m.text))) << m;
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, HelpMentions,
    testing::Values(
        Mention{"anaekr.html", "Önceki Kayıt"}, Mention{"anaekr.html", "Sonraki Kayıt"},
        Mention{"anaekr.html", "İngilizce cümlelerde boşluk doldurma"},
        Mention{"anaekr.html", "Cümle Tercüme Et"}, Mention{"anaekr.html", "Kelime Ara"},
        Mention{"anaekr.html", "Tüm kayıtlarda arama yap"},
        Mention{"anaekr.html", "Metin Tercüme Et"}, Mention{"anaekr.html", "Tercüme Metin Gizle"},
        Mention{"anaekr.html", "Sözlük Bilgilerini Tam Görüntüle"},
        Mention{"anaekr.html", "İngilizce Ders Notları"},
        Mention{"anaekr.html", "Aktif ingilizce cümleyi seslendirir"},
        Mention{"anaekr.html", "Türkçe -> İnglizce"}, Mention{"anaekr.html", "İngilizce -> Türkçe"},
        Mention{"anaekr.html", "Türkçe -> İngilizce"}, Mention{"anaekr.html", "Sözlükte Ara"},
        Mention{"anaekr.html", "Aranacak Kelime"}, Mention{"anaekr.html", "Kelime"},
        Mention{"anaekr.html", "Anlamı"}, Mention{"anaekr.html", "Aranan kelime bulunamadı!"},
        Mention{"anaekr.html", "Uyarı"}, Mention{"anaekr.html", "peltchm.chm"}));

INSTANTIATE_TEST_SUITE_P(DictionarySearch, HelpMentions,
                         testing::Values(Mention{"sozluk-arama.html", "Sözlükte Ara"},
                                         Mention{"sozluk-arama.html", "Aranacak Kelime"},
                                         Mention{"sozluk-arama.html", "Türkçe -> İnglizce"},
                                         Mention{"sozluk-arama.html", "İngilizce -> Türkçe"},
                                         Mention{"sozluk-arama.html", "Türkçe -> İngilizce"},
                                         Mention{"sozluk-arama.html", "Kelime Ara"},
                                         Mention{"sozluk-arama.html", "&raquo; sözlükte ara"},
                                         Mention{"anaekr.html", "&raquo; sözlükte ara"}));

INSTANTIATE_TEST_SUITE_P(
    DetailWindow, HelpMentions,
    testing::Values(Mention{"sozlukekr.html", "Sözlük Bilgilerini Tam Görüntüle"},
                    Mention{"sozlukekr.html", "Kelime"}, Mention{"sozlukekr.html", "Anlamı"},
                    Mention{"sozlukekr.html", "Sola bakan kırmızı ok"},
                    Mention{"sozlukekr.html", "Sağa bakan kırmızı ok"},
                    Mention{"sozlukekr.html",
                            "Could not convert variant of type (Null) into type (String)"}));

INSTANTIATE_TEST_SUITE_P(
    QuizWindow, HelpMentions,
    testing::Values(Mention{"sorcevekr.html", "İngilizce cümlelerde boşluk doldurma"},
                    Mention{"sorcevekr.html", "Sonraki soru"}, Mention{"sorcevekr.html", "Çıkış"},
                    Mention{"sorcevekr.html", "Doğru:"}, Mention{"sorcevekr.html", "Yanlış:"},
                    Mention{"sorcevekr.html", "Tümünü Seç"}, Mention{"sorcevekr.html", "Kopyala"},
                    Mention{"sorcevekr.html", "İngilizce Cümleyi Seslendir"},
                    Mention{"sorcevekr.html",
                            "Aşağıdaki bilgilere tıkladıktan sonra CTRL+F tuş bileşimine basarak "
                            "kelime arayabilirsiniz."},
                    Mention{"sorcevekr.html", "ingcev.mht"}));

INSTANTIATE_TEST_SUITE_P(Credits, HelpMentions,
                         testing::Values(Mention{"kaynaklar.html", "FreeDict"},
                                         Mention{"kaynaklar.html",
                                                 "GNU Genel Kamu Lisansı (GPL) sürüm 2"},
                                         Mention{"kaynaklar.html", "dict-freedict-eng-tur"},
                                         Mention{"kaynaklar.html", "dict-freedict-tur-eng"},
                                         Mention{"kaynaklar.html", "Liberation Sans"},
                                         Mention{"kaynaklar.html", "SIL Open Font License 1.1"},
                                         Mention{"kaynaklar.html", "wordnet-base"},
                                         Mention{"kaynaklar.html", "hunspell-tr"},
                                         Mention{"kaynaklar.html", "Unicode License"},
                                         Mention{"index.html", "No Database Selected"},
                                         Mention{"index.html", "Invalid Access Database"}));
