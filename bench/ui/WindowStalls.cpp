// How long the main window's event loop stalls while it is used with a big
// card: a 10 ms heartbeat runs inside the real window, and each phase of use
// (the card found and scanned, the list sorted, the language changed, the
// filter applied, every record checked, the list scrolled) reports the
// longest gap between two beats beyond the 10 ms, beside the same figure for
// a card of 100 records as the reference of this run. The process's memory
// is reported before the windows exist and with the big card listed.
//
//   bench_window_stalls [--records N] [CARD_FOLDER]
//
// Without a folder, a card of N (10000) catalog-only records is made in a
// temporary folder (as orvo-mkcard --catalog-only does).
#include "app/ui/FormFiltering.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordListView.h"
#include "app/ui/RecordPage.h"
#include "app/ui/RecordTableModel.h"
#include "cardgen/CardGen.h"
#include "engine/Secondthread.h"
#include "platform/ui/MessageSeam.h"
#include "settings/ProgramSettings.h"
#include "ui/Heartbeat.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace fs = std::filesystem;
using namespace orvo;
using namespace orvo::bench;

namespace {

constexpr std::uint32_t kReferenceRecords = 100;

struct YesSeam : MessageSeam {
  int Show(QWidget *, const QString &, const QString &, int type) override {
    return (type & 0xF) == 4 ? kAnswerYes : kAnswerOk;
  }
};

// Runs `act` from the event loop, then lets the loop run until `done` holds
// and at least `settleMs` have passed; answers the phase's longest stall.
double Phase(Heartbeat &beat, const std::function<void()> &act, const std::function<bool()> &done,
             int settleMs = 300) {
  beat.Restart();
  QTimer::singleShot(0, act);
  QElapsedTimer elapsed;
  elapsed.start();
  bool finished = false;
  while (!finished || elapsed.elapsed() < settleMs) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    finished = finished || done();
    if (elapsed.elapsed() > 600000) {
      std::fprintf(stderr, "a phase did not end\n");
      std::exit(1);
    }
  }
  return beat.LongestStallMs();
}

struct Row {
  const char *phase;
  double stallMs;
};

struct Run {
  std::vector<Row> rows;
  std::uint32_t records = 0;
  int shown = 0;
  long rssListed = 0;
};

// Every phase on a window over `card`.
Run Phases(const std::string &card, const fs::path &work) {
  Run run;
  ProgramSettings settings(SettingsLocation{(work / "s.ini").string(), false});
  settings.SetInPath(card);
  settings.SetOutPath((work / "out").string());
  settings.AutoScan = true;
  TSecondThread worker(&settings);
  TFormMain form(&worker, &settings);
  auto *filter = new TFormFiltering(&form, &settings);
  RecordPage *page = form.TabSheet1;
  page->FormFiltering = filter;
  form.show();
  Heartbeat beat;
  const auto listed = [&] { return !page->JobRunning() && page->RecordModel->rowCount() > 0; };
  std::vector<Row> &rows = run.rows;
  rows.push_back({"idle window", Phase(beat, [] {}, [] { return true; }, 1000)});
  rows.push_back({"card found, scanned and listed", Phase(beat, [] {}, listed)});
  run.rssListed = StatusKiB("VmRSS");
  rows.push_back({"sorted by each column, twice", Phase(
                                                       beat,
                                                       [&] {
                                                         for (int c = 1; c <= 7; ++c)
                                                           QTimer::singleShot(c * 20, [page, c] {
                                                             page->ListViewRecordColumnClick(c);
                                                             page->ListViewRecordColumnClick(c);
                                                           });
                                                       },
                                                       [] { return true; }, 500)});
  rows.push_back({"language changed and back", Phase(
                                                    beat,
                                                    [&] {
                                                      settings.Language = 1;
                                                      form.RefreshSettingsPages();
                                                      QTimer::singleShot(50, [&] {
                                                        settings.Language = 0;
                                                        form.RefreshSettingsPages();
                                                      });
                                                    },
                                                    [] { return true; }, 400)});
  bool filtered = false;
  rows.push_back({"filter applied", Phase(
                                        beat,
                                        [&] {
                                          QTimer::singleShot(50, [&] {
                                            filter->CheckBoxLoop2->click();
                                            filter->ButtonOK->click();
                                          });
                                          page->ButtonFilteringClick();
                                          filtered = true;
                                        },
                                        [&] { return filtered; })});
  run.shown = page->RecordModel->rowCount();
  rows.push_back({"every record checked and pushed", Phase(
                                                         beat,
                                                         [&] {
                                                           page->ButtonSetAllClick();
                                                           page->PushChecks();
                                                         },
                                                         [] { return true; })});
  rows.push_back({"list scrolled end to end", Phase(
                                                  beat,
                                                  [&] {
                                                    QScrollBar *bar =
                                                        page->ListViewRecord->verticalScrollBar();
                                                    for (int k = 0; k <= 20; ++k)
                                                      QTimer::singleShot(k * 10, [bar, k] {
                                                        bar->setValue(bar->maximum() * k / 20);
                                                      });
                                                  },
                                                  [] { return true; }, 500)});
  rows.push_back({"rescanned and listed",
                  Phase(beat, [&] { page->ButtonScanClick(); }, listed)});
  run.records = page->RecordModel->Records().GetRecordCount();
  worker.Shutdown();
  worker.WaitFor();
  return run;
}

bool MakeCatalog(const std::string &folder, std::uint32_t records) {
  fs::create_directories(folder);
  cardgen::CardOptions options;
  options.catalogOnly = true;
  options.records = records;
  cardgen::CardInfo info;
  std::string error;
  if (cardgen::MakeCard(folder, options, info, &error))
    return true;
  std::fprintf(stderr, "cannot make the card: %s\n", error.c_str());
  return false;
}

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::uint32_t records = 10000;
  std::string card;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--records" && i + 1 < argc)
      records = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    else
      card = arg;
  }
  const fs::path work = fs::temp_directory_path() / ("orvo-stalls-" + std::to_string(getpid()));
  fs::create_directories(work / "run");
  fs::create_directories(work / "out");
  const std::string small = (work / "small").string();
  if (!MakeCatalog(small, kReferenceRecords))
    return 1;
  if (card.empty()) {
    card = (work / "card").string();
    if (!MakeCatalog(card, records))
      return 1;
  }
  // No language files, no stored overrides.
  fs::current_path(work / "run");
  const long rssBefore = StatusKiB("VmRSS");
  YesSeam seam;
  InstallMessageSeam(&seam);
  const Run reference = Phases(small, work);
  const Run big = Phases(card, work);
  InstallMessageSeam(nullptr);

  std::printf("Main window with %u records (%d shown after the filter); reference: the same "
              "phases with %u records\n",
              big.records, big.shown, reference.records);
  std::printf("%-34s %12s %12s %10s\n", "phase", "stall ms", "reference", "ratio");
  for (std::size_t i = 0; i < big.rows.size(); ++i) {
    const double ref = reference.rows[i].stallMs;
    // Stalls below a millisecond are the timer's own noise.
    std::printf("%-34s %12.1f %12.1f %10.1f\n", big.rows[i].phase, big.rows[i].stallMs, ref,
                std::max(big.rows[i].stallMs, 1.0) / std::max(ref, 1.0));
  }
  std::printf("memory: %.1f MiB before the windows, %.1f MiB with the records listed, "
              "peak %.1f MiB\n",
              rssBefore / 1024.0, big.rssListed / 1024.0, StatusKiB("VmHWM") / 1024.0);
  fs::current_path(work.parent_path());
  std::error_code ec;
  fs::remove_all(work, ec);
  return big.records == 0 ? 1 : 0;
}
