// Receive assembler throughput on the byte stream of a running game: mostly
// cellUpdate and playerUpdate, with step numbers, growth events and chat.

#include "protocol.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace vorlan;

namespace {

// What the server sends during play: each of eight players moves every step,
// which changes his record and one or two blocks; now and then a growth step
// or a chat line.
QByteArray gameStream(qsizetype atLeast)
{
    std::mt19937 rng(2024);
    auto num = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const QString names[8] = {"Ann",   "Bob", QString::fromUtf8("Иван"),  "Zed",
                              "Marta", "Li",  QString::fromUtf8("Ольга"), "Kim"};
    QByteArray s;
    for (int step = 0; s.size() < atLeast; ++step) {
        s += toClient::stepNumber({step});
        for (int p = 0; p < 8; ++p) {
            s += toClient::playerUpdate({p, num(0, 3000), num(0, 900), num(0, 500), num(0, 500),
                                         num(0, 39), num(0, 39), num(0, 40), 0, 0, names[p],
                                         num(-50, 50), num(-10, 10)});
            for (int c = num(1, 2); c > 0; --c)
                s += toClient::cellUpdate({num(0, 39), num(0, 39), num(0, 3000), num(0, 900), p});
        }
        if (step % 10 == 0)
            s += toClient::eventCame();
        if (step % 4 == 0)
            s += toClient::textMessage({names[step % 8] + ": attack the city on the left now!"});
    }
    return s;
}

// Does what a real handler minimally must: look at every value.
class Sink : public ProtocolHandler
{
public:
    int64_t sum = 0;
    void stepNumber(const StepNumber& m) override { sum += m.step; }
    void cellUpdate(const CellUpdate& m) override { sum += m.x + m.y + m.army + m.gold + m.kind; }
    void playerUpdate(const PlayerUpdate& m) override
    {
        sum += m.player + m.army + m.gold + m.x + m.y + m.name.size() + m.armyChange;
    }
    void eventCame() override { ++sum; }
    void textMessage(const TextMessage& m) override { sum += m.text.size(); }
    void protocolViolation(const QString&) override { sum = -1; }
};

const QByteArray& stream()
{
    static const QByteArray s = gameStream(1 << 20);
    return s;
}

// Blocks as the socket hands them over (state.range(0) bytes each).
void BM_AssemblerBlocks(benchmark::State& state)
{
    const QByteArray& s = stream();
    const qsizetype block = state.range(0);
    Sink sink;
    ReceiveAssembler assembler(sink);
    for (auto _ : state) {
        for (qsizetype i = 0; i < s.size(); i += block)
            assembler.feed(QByteArrayView(s).sliced(i, std::min(block, s.size() - i)));
        benchmark::DoNotOptimize(sink.sum);
    }
    if (sink.sum < 0)
        state.SkipWithError("protocol violation");
    state.SetBytesProcessed(state.iterations() * s.size());
}
BENCHMARK(BM_AssemblerBlocks)->Arg(1460)->Arg(65536);

// One byte per call, the slowest way to feed it.
void BM_AssemblerSingleBytes(benchmark::State& state)
{
    const QByteArray& s = stream();
    Sink sink;
    ReceiveAssembler assembler(sink);
    for (auto _ : state) {
        for (char b : s)
            assembler.feedByte(b);
        benchmark::DoNotOptimize(sink.sum);
    }
    if (sink.sum < 0)
        state.SkipWithError("protocol violation");
    state.SetBytesProcessed(state.iterations() * s.size());
}
BENCHMARK(BM_AssemblerSingleBytes);

} // namespace

BENCHMARK_MAIN();
