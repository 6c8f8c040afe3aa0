// The player with a long record from a card: how long until the first frame
// shows, how long a seek takes until the frame of its moment shows, the
// longest stall of the window's event loop while opening, playing and
// seeking, and the process's memory while playing; beside the same figures
// for a record of one fragment as the reference of this run.
//
//   bench_player_stalls [--seeks N] CARD REFERENCE_CARD
//
// The first record of each card is played, the long one first, so that the
// memory while playing it is its own (bench/player_speed.sh makes both).
#include "engine/Storagex4tft.h"
#include "player/ui/FrameView.h"
#include "player/ui/PlaybackSession.h"
#include "player/ui/PlayerWindow.h"
#include "ui/Heartbeat.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace orvo;
using namespace orvo::bench;

namespace {

// Runs the loop until `done`; false after `limitMs`.
bool RunUntil(const std::function<bool()> &done, int limitMs = 20000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > limitMs)
      return false;
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
  return true;
}

struct Figures {
  double firstFrameMs = -1, openStallMs = 0;
  double playStallMs = 0;
  double seekMedianMs = -1, seekMaxMs = -1, seekStallMs = 0;
  double rssPlayingMiB = 0;
  qint64 durationMs = 0;
};

Figures Measure(const std::string &card, int seeks) {
  Figures f;
  TStorageX4TFT engine;
  engine.SetInputFolder(card + "/");
  TStorageX4TFT::PlaySource source;
  if (!engine.ScanRecords() || !engine.GetPlaySource(0, source)) {
    std::fprintf(stderr, "%s: no record\n", card.c_str());
    return f;
  }
  PlayerWindow window;
  window.show();
  Heartbeat beat;
  PlaybackSession &session = window.Session();
  FrameView &view = window.View();

  QElapsedTimer clock;
  beat.Restart();
  clock.start();
  window.OpenRecord(source, QStringLiteral("bench"));
  if (!RunUntil([&] { return view.FrameStartUs() >= 0; })) {
    std::fprintf(stderr, "%s: no frame: %s\n", card.c_str(), window.Message().toUtf8().data());
    return f;
  }
  f.firstFrameMs = static_cast<double>(clock.elapsed());
  f.openStallMs = beat.LongestStallMs();
  f.durationMs = session.Duration();

  beat.Restart();
  session.Play();
  clock.restart();
  RunUntil([&] { return clock.elapsed() > 3000; });
  f.playStallMs = beat.LongestStallMs();
  f.rssPlayingMiB = static_cast<double>(StatusKiB("VmRSS")) / 1024.0;
  session.Pause();

  std::mt19937 random(11);
  std::vector<double> times;
  beat.Restart();
  for (int k = 0; k < seeks; ++k) {
    const qint64 target =
        std::uniform_int_distribution<qint64>(0, std::max<qint64>(f.durationMs - 1000, 0))(random);
    clock.restart();
    session.Seek(target);
    // The frame of that moment (a record of one decoder set-up: the
    // frame's time is the record's).
    const bool landed = RunUntil(
        [&] { return std::abs(view.FrameStartUs() / 1000 - target) <= 80; }, 5000);
    if (!landed)
      std::fprintf(stderr, "seek to %lld ms: the frame shown starts at %lld us, position %lld\n",
                   static_cast<long long>(target), static_cast<long long>(view.FrameStartUs()),
                   static_cast<long long>(session.Position()));
    times.push_back(landed ? static_cast<double>(clock.elapsed()) : 5000.0);
  }
  f.seekStallMs = beat.LongestStallMs();
  std::sort(times.begin(), times.end());
  if (!times.empty()) {
    f.seekMedianMs = times[times.size() / 2];
    f.seekMaxMs = times.back();
  }
  window.close();
  return f;
}

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int seeks = 20;
  std::vector<std::string> cards;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seeks" && i + 1 < argc)
      seeks = std::max(1, std::atoi(argv[++i]));
    else
      cards.push_back(arg);
  }
  if (cards.size() != 2) {
    std::fprintf(stderr, "usage: bench_player_stalls [--seeks N] CARD REFERENCE_CARD\n");
    return 2;
  }
  const double rssBefore = static_cast<double>(StatusKiB("VmRSS")) / 1024.0;
  const Figures big = Measure(cards[0], seeks);
  const Figures ref = Measure(cards[1], seeks);
  if (big.firstFrameMs < 0 || ref.firstFrameMs < 0)
    return 1;
  auto row = [](const char *what, double value, double reference) {
    std::printf("%-34s %10.1f %10.1f %8.2f\n", what, value, reference,
                std::max(value, 1.0) / std::max(reference, 1.0));
  };
  std::printf("Player: %s (%.1f min) against %s (%.1f min), %d seeks each\n", cards[0].c_str(),
              static_cast<double>(big.durationMs) / 60000.0, cards[1].c_str(),
              static_cast<double>(ref.durationMs) / 60000.0, seeks);
  std::printf("%-34s %10s %10s %8s\n", "", "record", "reference", "ratio");
  row("first frame after opening, ms", big.firstFrameMs, ref.firstFrameMs);
  row("longest stall while opening, ms", big.openStallMs, ref.openStallMs);
  row("longest stall while playing, ms", big.playStallMs, ref.playStallMs);
  row("seek to its frame, median ms", big.seekMedianMs, ref.seekMedianMs);
  row("seek to its frame, slowest ms", big.seekMaxMs, ref.seekMaxMs);
  row("longest stall while seeking, ms", big.seekStallMs, ref.seekStallMs);
  std::printf("memory: %.1f MiB before the windows, %.1f MiB playing the record, %.1f MiB "
              "playing the reference, peak %.1f MiB\n",
              rssBefore, big.rssPlayingMiB, ref.rssPlayingMiB,
              static_cast<double>(StatusKiB("VmHWM")) / 1024.0);
  return 0;
}
