// The client's receive side: the assembler fed in arbitrary splits, once into
// a recording handler (byte by byte and in blocks, which must agree) and once
// into the real client with all its windows, headless, so that every
// in-game and lobby handler runs on what the server might send.
//
// Input: byte 0 sets the largest block (2^(byte 0 mod 13) bytes), byte 1
// seeds the block sizes; the rest is the stream from the server.
// Checked: byte-by-byte and block feeding give the same messages, the same
// violation and take the same bytes; the real client keeps a map within the
// grid, its own index within the players and at most 100 game log lines.
#include "assembler.h"
#include "connection.h"
#include "contract.h"
#include "settings.h"
#include "test_wire_support.h"
#include "view/client.h"
#include "view/mainwindow.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <random>
#include <vector>

using namespace vorlan;

namespace {

struct World
{
    QTemporaryDir temp;
    std::unique_ptr<Client> client;
    QTimer closeModals; ///< the results window of gameOver is modal
};

World* world = nullptr;

// Feeds blocks of the given sizes until the assembler stops; returns the
// bytes it took.
qsizetype feedBlocks(StreamAssembler& a, QByteArrayView stream, const std::vector<qsizetype>& sizes)
{
    qsizetype at = 0, taken = 0;
    for (qsizetype n : sizes) {
        const QByteArrayView block = stream.sliced(at, n);
        const qsizetype k = a.feed(block);
        taken += k;
        at += n;
        if (k < n)
            break;
    }
    return taken;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    new QApplication(*argc, *argv); // lives as long as the process
    // The data files lie beside the programs, as for the tests.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    freshSettings();
    world = new World;
    AppState s;
    s.dir = QDir::currentPath();
    s.tempDir = world->temp.path();
    s.globalMapName = QDir(world->temp.path()).filePath("vorlan.map");
    s.appTitle = "The Vorlane";
    world->client = std::make_unique<Client>(std::move(s));
    world->client->main().TimerPlusPlayer.stop();
    world->closeModals.setInterval(0);
    QObject::connect(&world->closeModals, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    world->closeModals.start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const QByteArrayView stream(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const qsizetype largest = qsizetype(1) << (data[0] % 13);
    std::minstd_rand rng(data[1] + 1u);
    std::vector<qsizetype> sizes;
    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype n = std::min<qsizetype>(1 + qsizetype(rng() % largest), stream.size() - at);
        sizes.push_back(n);
        at += n;
    }

    // Byte by byte and in blocks: the same messages, the same end.
    wiretest::Recorder one, blocks;
    ReceiveAssembler byByte(one), byBlock(blocks);
    qsizetype takenOne = 0;
    for (char c : stream) {
        if (!byByte.feedByte(c))
            break;
        ++takenOne;
    }
    const qsizetype takenBlocks = feedBlocks(byBlock, stream, sizes);
    check(one.events == blocks.events, "blocks and bytes gave different messages");
    check(one.violations == blocks.violations, "blocks and bytes gave different violations");
    check(takenOne == takenBlocks, "blocks and bytes took different counts");
    check(byByte.isStopped() == byBlock.isStopped(), "only one of them stopped");
    check(byByte.receivedLength() == byBlock.receivedLength(), "different bytes pending");
    check(byByte.gameEntryPhase() == byBlock.gameEntryPhase(), "different gameEntry phase");
    check(byByte.mapDataLength() == byBlock.mapDataLength(), "different mapData length");
    check(byByte.lastViolation().kind == byBlock.lastViolation().kind, "different violation kind");

    // The real client, from its not-connected state.
    TForm1& f = world->client->main();
    AppState& st = world->client->state();
    f.resetToIdle();
    st.gameStarted = false;
    f.systemMsg->clear();
    ReceiveAssembler& assembler = f.connection().assembler();
    assembler.reset();
    feedBlocks(assembler, stream, sizes);
    QCoreApplication::processEvents();

    check(st.map != nullptr, "no map after the messages");
    check(st.map->width >= 0 && st.map->width <= kMaxMapSide && st.map->height >= 0 &&
              st.map->height <= kMaxMapSide,
          "map grid out of range");
    check(st.map->myIndex >= -1 && st.map->myIndex <= kLastOwner, "own index out of range");
    check(f.msg->count() <= 100, "more than 100 game log lines");
    return 0;
}
