// The main window's handlers on large data, in process (Google Benchmark), through the window as
// the learner reaches them:
//
//   window_handlers DATABASE [benchmark options]
//
// DATABASE (e.g. from `peltavo-db synth --rows 1000000`) is opened by the main window as at start.
// BM_TakeWordUnderCaret: the word pick on a conversation of 100,000 characters, at carets spread
// over the text, both on the record as first shown (no display lines asked yet) and on repeated
// clicks. BM_FindToLastRecord: the find across 10 MB (UTF-16) of conversation texts to a match in
// the last one, from the first. BM_TurbClick: the direction switch on DATABASE's dictionaries.
// The p50/p99 counters are per call, in microseconds.
#include "application.h"
#include "finddialog.h"
#include "memo.h"
#include "platform.h"
#include "programfolder.h"
#include "programstate.h"
#include "tablehandle.h"
#include "tanaekr.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <vector>

using namespace peltavo;

namespace {

Tanaekr* gWindow = nullptr;

// Sentences of varied length, line by line, until `units` UTF-16 units; `tail` ends the text.
QString conversation(qsizetype units, std::mt19937& random, const QString& tail = {}) {
    static const QStringList words = {
        QStringLiteral("Good"),      QStringLiteral("morning"), QStringLiteral("how"),
        QStringLiteral("are"),       QStringLiteral("you"),     QStringLiteral("I"),
        QStringLiteral("would"),     QStringLiteral("like"),    QStringLiteral("a"),
        QStringLiteral("cup"),       QStringLiteral("of"),      QStringLiteral("tea"),
        QStringLiteral("beautiful"), QStringLiteral("weather"), QStringLiteral("today")};
    QString text;
    text.reserve(units + tail.size());
    while (text.size() < units) {
        const int length = 3 + int(random() % 40);
        for (int w = 0; w < length && text.size() < units; ++w)
            text += words[qsizetype(random() % unsigned(words.size()))] + u' ';
        text += QStringLiteral("\r\n");
    }
    text.truncate(units);
    return text + tail;
}

void showConversations(std::vector<QString> texts) {
    TableData data{QStringLiteral("konus"),
                   {Column{QStringLiteral("ikonus"), ColumnType::Memo, 0},
                    Column{QStringLiteral("tkonus"), ColumnType::Memo, 0}},
                   {}};
    for (QString& text : texts)
        data.rows.push_back({text, text});
    gWindow->Table->close();
    gWindow->Table->open(std::move(data));
}

void report(benchmark::State& state, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    if (us.empty())
        return;
    state.counters["p50_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

// state.range(0): 0 for repeated clicks on the record; 1 to show the record anew before each
// click and click at once; 2 to show it anew and click a quarter of a second later, as a hand
// on the mouse does at the soonest.
void BM_TakeWordUnderCaret(benchmark::State& state) {
    std::mt19937 random(11);
    const QString text = conversation(100'000, random);
    showConversations({text, QStringLiteral("second")});
    const bool fresh = state.range(0) != 0;
    const bool later = state.range(0) == 2;
    std::vector<double> us;
    for (auto _ : state) {
        state.PauseTiming();
        if (fresh) {
            // The previous click was a while ago, as a hand's clicks are: what it left running
            // has ended. Then to the next record and back: the memo is given the text again.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            gWindow->Table->next();
            gWindow->Table->prior();
            if (later)
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        gWindow->prog->select(int(random() % unsigned(gWindow->prog->text().size())), 0);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        gWindow->TakeWordUnderCaret();
        us.push_back(since(start));
    }
    report(state, us);
}

void BM_FindToLastRecord(benchmark::State& state) {
    // 10 MB of UTF-16 text in conversations of 500 to 3,000 characters; the needle only in the
    // last one.
    std::mt19937 random(5);
    std::vector<QString> texts;
    qsizetype units = 0;
    while (units < 5'000'000) {
        texts.push_back(conversation(500 + qsizetype(random() % 2500), random));
        units += texts.back().size();
    }
    texts.back() += QStringLiteral("zanzibar");
    showConversations(std::move(texts));
    gWindow->bul->setFindText(QStringLiteral("zanzibar"));
    std::vector<double> us;
    for (auto _ : state) {
        state.PauseTiming();
        gWindow->Table->moveTo(0); // back on the first conversation, caret at its start
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        gWindow->bulFind();
        us.push_back(since(start));
        if (gWindow->prog->selectionLength() != 8)
            state.SkipWithError("the find did not reach the last conversation");
    }
    report(state, us);
}

void BM_TurbClick(benchmark::State& state) {
    std::vector<double> us;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        gWindow->turbClick();
        us.push_back(since(start));
    }
    report(state, us);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_handlers DATABASE [benchmark options]\n");
        return 64;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir folder;
    if (!bench::linkDatabase(folder, argv[1]))
        return 1;
    argv[1] = argv[0];
    --argc;
    ++argv;
    bench::FolderPlatform platform(folder.path());
    PeltavoApplication app(argc, argv, platform);
    ProgramState state;
    Tanaekr window(state, platform);
    state.anaekr = &window;
    gWindow = &window;
    window.FormCreate();
    window.show();
    QCoreApplication::processEvents();

    benchmark::RegisterBenchmark("BM_TurbClick", BM_TurbClick)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark("BM_TakeWordUnderCaret", BM_TakeWordUnderCaret)
        ->Arg(0)
        ->Unit(benchmark::kMicrosecond);
    // Each of these shows the record anew first, which is not timed: a fixed count of clicks.
    benchmark::RegisterBenchmark("BM_TakeWordUnderCaret", BM_TakeWordUnderCaret)
        ->Arg(1)
        ->Arg(2)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(40);
    benchmark::RegisterBenchmark("BM_FindToLastRecord", BM_FindToLastRecord)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
