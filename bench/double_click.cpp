// A double-click into the conversation to the grid repainted from the word's base form, next to
// its peer in the same run: a click into the same word and a press of "Sözlükte Ara" (today's
// road to the grid), the grid repainted too.
//
//   double_click [--clicks N] DATABASE
//
// Opens DATABASE (the bundled learning database) in the main window, shown on the platform in
// use (offscreen or a display). In each direction it first times the first double-click alone,
// which reads the Hunspell dictionary of the language (en_US, then tr_TR), then double-clicks N
// words (default 1000) drawn from all conversations, each word also clicked and searched by the
// peer, and prints the median and the 99th percentile of each, and the ratio of the medians.
#include "mainwindow.h"
#include "memo.h"
#include "tablehandle.h"
#include "tanaekr.h"

#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

void print(const char* what, peltavo::bench::Timings& timings) {
    std::printf("%-52s median %8.3f ms   p99 %8.3f ms   (%zu)\n", what, timings.at(0.5),
                timings.at(0.99), timings.size());
}

// A word of a conversation: the record and the text position of its first character.
struct Word {
    int record;
    int start;
};

std::vector<Word> wordsOf(peltavo::Tanaekr& window, int count, std::mt19937& random) {
    std::vector<Word> all;
    for (int record = 0; record < window.Table->recordCount(); ++record) {
        window.Table->moveTo(record);
        const QString text = window.prog->text();
        for (int i = 0; i < text.size(); ++i) {
            const bool startsWord = !text[i].isSpace() && (i == 0 || text[i - 1].isSpace());
            if (startsWord && text[i].isLetter())
                all.push_back({record, i});
        }
    }
    std::shuffle(all.begin(), all.end(), random);
    all.resize(std::min<std::size_t>(all.size(), std::size_t(count)));
    // In conversation order, as a learner reads: the record changes seldom.
    std::sort(all.begin(), all.end(), [](const Word& a, const Word& b) {
        return a.record != b.record ? a.record < b.record : a.start < b.start;
    });
    return all;
}

void measure(peltavo::Tanaekr& window, const char* direction, int count, std::mt19937& random) {
    const std::vector<Word> words = wordsOf(window, count, random);
    auto placeCaret = [&](const Word& word) {
        if (window.Table->currentIndex() != word.record) {
            window.Table->moveTo(word.record);
            (void)window.prog->displayLines(); // laid out once, outside the figures
        }
        // Behind the word's first character, where a click on it leaves the caret.
        window.prog->select(word.start + 1, 0);
    };
    auto repaintGrid = [&] { window.sozluk->viewport()->repaint(); };

    peltavo::bench::Timings first, peer, ours;
    placeCaret(words.front());
    QElapsedTimer clock;
    clock.start();
    window.progDblClick();
    repaintGrid();
    first.add(clock);
    auto clickAndSearch = [&](const Word& word) {
        placeCaret(word);
        clock.start();
        window.progClick();
        window.sarabClick();
        repaintGrid();
        peer.add(clock);
    };
    auto doubleClick = [&](const Word& word) {
        placeCaret(word);
        clock.start();
        window.progDblClick();
        repaintGrid();
        ours.add(clock);
    };
    // Each word both ways, in turn first, since the second finds much of the grid's text laid
    // out by the first.
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i % 2 == 0) {
            clickAndSearch(words[i]);
            doubleClick(words[i]);
        } else {
            doubleClick(words[i]);
            clickAndSearch(words[i]);
        }
    }
    std::printf("direction %s, %zu words\n", direction, words.size());
    print("  first double-click (reads the spelling dictionary)", first);
    print("  click and Sözlükte Ara (peer)", peer);
    print("  double-click, after the first", ours);
    std::printf("  double-click / peer: %.2f (medians)\n", ours.at(0.5) / peer.at(0.5));
}

} // namespace

int main(int argc, char** argv) {
    int clicks = 1000;
    int arg = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--clicks") == 0) {
        clicks = std::max(1, std::atoi(argv[2]));
        arg = 3;
    }
    if (arg + 1 != argc) {
        std::fprintf(stderr, "usage: double_click [--clicks N] DATABASE\n");
        return 64;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir folder;
    if (!peltavo::bench::linkDatabase(folder, argv[arg]))
        return 1;
    peltavo::bench::MainWindowOn run(argc, argv, folder);
    peltavo::Tanaekr& window = run.window;

    std::mt19937 random(17);
    measure(window, "it", clicks, random);
    window.turbClick();
    measure(window, "ti", clicks, random);
    return 0;
}
