#include "glossary.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <map>

namespace peltavo::dbbuild {

namespace {

// The problem with one sense as written, or an empty string.
QString senseProblem(const QString& sense, int number) {
    if (sense.isEmpty())
        return QStringLiteral("sense %1 is empty").arg(number);
    if (!sense.startsWith(u'('))
        return {};
    const qsizetype close = sense.indexOf(u')');
    if (close < 0)
        return QStringLiteral("sense %1 opens a parenthesis that it does not close").arg(number);
    const QString label = sense.left(close + 1);
    if (!glossaryLabels().contains(label))
        return QStringLiteral("sense %1 starts with \"%2\", which is no label of the list: %3")
            .arg(number)
            .arg(label, glossaryLabels().join(QStringLiteral(" ")));
    if (sense.mid(close + 1).trimmed().isEmpty())
        return QStringLiteral("sense %1 has a label but nothing after it").arg(number);
    return {};
}

QString headwordProblem(const QString& headword, const QString& what) {
    if (headword.isEmpty())
        return QStringLiteral("the %1 is empty").arg(what);
    if (headword.size() > kHeadwordMaxLength)
        return QStringLiteral("the %1 is longer than %2 characters")
            .arg(what)
            .arg(kHeadwordMaxLength);
    return {};
}

} // namespace

const QStringList& glossaryLabels() {
    static const QStringList labels{QStringLiteral("(i.)"),       QStringLiteral("(f.)"),
                                    QStringLiteral("(s.)"),       QStringLiteral("(zf.)"),
                                    QStringLiteral("(zm.)"),      QStringLiteral("(edat)"),
                                    QStringLiteral("(bağlaç)"),   QStringLiteral("(ünlem)"),
                                    QStringLiteral("(kısaltma)"), QStringLiteral("(gündelik)")};
    return labels;
}

std::vector<GlossaryLine> parseGlossaryFile(const QString& file, const QByteArray& bytes,
                                            std::vector<Problem>& problems) {
    std::vector<GlossaryLine> lines;
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const QList<QByteArray> raw = data.split('\n');
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        auto report = [&](const QString& message) { problems.push_back({file, number, message}); };
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder(raw[i]);
        if (decoder.hasError()) {
            report(QStringLiteral("the line is not valid UTF-8 text"));
            continue;
        }
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
        if (text.trimmed().isEmpty() || text.trimmed().startsWith(u'#'))
            continue;
        if (text.size() > kGlossaryLineMaxLength)
            report(QStringLiteral("the line is longer than %1 characters")
                       .arg(kGlossaryLineMaxLength));
        if (text.contains(u'\t')) {
            report(QStringLiteral("the line holds a tab; use blanks instead"));
            continue;
        }
        QStringList fields = text.split(u'|');
        for (QString& field : fields)
            field = field.simplified();
        if (fields.size() < 2) {
            report(QStringLiteral("expected: headword | sense | sense ..., or form = base | "
                                  "sense ..."));
            continue;
        }
        GlossaryLine line{{}, file, number};
        const QStringList head = fields.front().split(u'=');
        if (head.size() > 2) {
            report(QStringLiteral("more than one \"=\" before the senses; a form has one base"));
            continue;
        }
        line.entry.headword = head.front().trimmed();
        bool good = true;
        if (const QString problem =
                headwordProblem(line.entry.headword, QStringLiteral("headword"));
            !problem.isEmpty()) {
            report(problem);
            good = false;
        }
        if (head.size() == 2) {
            line.entry.base = head.back().trimmed();
            if (const QString problem = headwordProblem(line.entry.base, QStringLiteral("base"));
                !problem.isEmpty()) {
                report(problem);
                good = false;
            } else if (line.entry.base == line.entry.headword) {
                report(QStringLiteral("\"%1\" is given as its own base").arg(line.entry.base));
                good = false;
            }
        }
        line.entry.senses = fields.mid(1);
        for (qsizetype s = 0; s < line.entry.senses.size(); ++s) {
            if (const QString problem = senseProblem(line.entry.senses[s], int(s) + 1);
                !problem.isEmpty()) {
                report(problem);
                good = false;
            }
        }
        if (good)
            lines.push_back(std::move(line));
    }
    return lines;
}

void checkGlossaryFolder(const QString& folder, const std::vector<GlossaryLine>& lines,
                         std::vector<Problem>& problems) {
    std::map<QString, const GlossaryLine*> first;
    for (const GlossaryLine& line : lines) {
        const auto [it, fresh] = first.emplace(line.entry.headword, &line);
        if (!fresh)
            problems.push_back({line.file, line.line,
                                QStringLiteral("the headword \"%1\" is given twice in %2 (first "
                                               "at %3:%4)")
                                    .arg(line.entry.headword, folder, it->second->file)
                                    .arg(it->second->line)});
    }
    for (const GlossaryLine& line : lines) {
        if (!line.entry.base.isEmpty() && !first.count(line.entry.base))
            problems.push_back({line.file, line.line,
                                QStringLiteral("the base \"%1\" has no line of its own in %2")
                                    .arg(line.entry.base, folder)});
    }
}

Glossary readGlossary(const QString& contentDir, std::vector<Problem>& problems) {
    Glossary glossary;
    const QDir root(QDir(contentDir).filePath(QStringLiteral("glossary")));
    for (const auto& [name, target] :
         {std::pair{QStringLiteral("en-tr"), &glossary.englishTurkish},
          std::pair{QStringLiteral("tr-en"), &glossary.turkishEnglish}}) {
        const QDir folder(root.filePath(name));
        if (!folder.exists())
            continue;
        QStringList files = folder.entryList({QStringLiteral("*.txt")}, QDir::Files);
        std::sort(files.begin(), files.end(),
                  [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
        std::vector<GlossaryLine> lines;
        for (const QString& file : std::as_const(files)) {
            const QString path = folder.filePath(file);
            QFile in(path);
            if (!in.open(QIODevice::ReadOnly)) {
                problems.push_back(
                    {path, 0, QStringLiteral("cannot read the file: %1").arg(in.errorString())});
                continue;
            }
            std::vector<GlossaryLine> more = parseGlossaryFile(path, in.readAll(), problems);
            lines.insert(lines.end(), std::make_move_iterator(more.begin()),
                         std::make_move_iterator(more.end()));
        }
        checkGlossaryFolder(folder.path(), lines, problems);
        for (GlossaryLine& line : lines)
            target->push_back(std::move(line.entry));
    }
    return glossary;
}

} // namespace peltavo::dbbuild
