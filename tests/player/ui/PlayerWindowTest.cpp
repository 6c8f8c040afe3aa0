#include "cardgen/CardGen.h"
#include "engine/Storagex4tft.h"
#include "evidence/Check.h"
#include "player/ui/FrameView.h"
#include "player/ui/PlaybackSession.h"
#include "player/ui/PlayerWindow.h"
#include "player/ui/RouteMapView.h"
#include "support/Tools.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace orvo;
namespace fs = std::filesystem;

namespace {

// Runs the real event loop until `done`, at most `ms`.
bool WaitFor(const std::function<bool()> &done, int ms = 15000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms)
      return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

struct PlayerCard {
  test::TempDir dir;
  std::string root = dir.File("card");
  TStorageX4TFT engine;
  explicit PlayerCard(cardgen::RecordPlan plan) {
    fs::create_directories(root);
    cardgen::CardWriter writer;
    writer.materialSeconds = 12;
    cardgen::RecordInfo info;
    EXPECT_TRUE(writer.WriteRecord(root, plan, info));
    engine.SetInputFolder(root + "/");
    EXPECT_TRUE(engine.ScanRecords());
  }
  TStorageX4TFT::PlaySource Source() const {
    TStorageX4TFT::PlaySource s;
    EXPECT_TRUE(engine.GetPlaySource(0, s));
    return s;
  }
};

cardgen::RecordPlan Plan(std::uint32_t fragments) {
  cardgen::RecordPlan p;
  p.number = 7;
  p.width = 160;
  p.height = 112;
  p.fragmentCount = fragments;
  p.gps = true;
  return p;
}

} // namespace

// The record plays from the card in the window's own event loop: the
// picture moves on, a seek lands on the frame of that moment, the frame's
// recorder time is shown, a snapshot is named by it, and the route follows.
TEST(PlayerWindow, PlaysSeeksAndSnapsARecordFromTheCard) {
  if (!test::ExternalChecks())
    return;
  PlayerCard card(Plan(3));
  test::TempDir out;
  PlayerWindow window;
  window.SetOutputFolder(QString::fromStdString(out.path));
  window.OpenRecord(card.Source(), QStringLiteral("record 7"));
  PlaybackSession &session = window.Session();
  ASSERT_TRUE(WaitFor([&] { return session.Duration() > 0 && window.View().FrameStartUs() >= 0; }))
      << window.Message().toStdString();
  EXPECT_NEAR(session.Duration(), 6000, 100);
  EXPECT_TRUE(window.Map().hasTrack());

  session.Play();
  ASSERT_TRUE(WaitFor([&] { return window.View().FrameStartUs() > 500000; }))
      << "the picture moves on";
  session.Pause();

  // Into the second fragment, a moment that is no key frame.
  session.Seek(3520);
  ASSERT_TRUE(WaitFor([&] {
    const qint64 us = window.View().FrameStartUs();
    return us >= 3480000 && us <= 3560000;
  })) << window.View().FrameStartUs();
  EXPECT_EQ(window.findChild<QLabel *>("MomentLabel")->text(),
            window.MomentText(session.Position()));
  EXPECT_TRUE(window.MomentText(3520).startsWith(QStringLiteral("2021-03-15 08:30:03.5")))
      << window.MomentText(3520).toStdString();
  EXPECT_EQ(window.Map().position(), session.Position());

  const QString snapshot = window.SaveSnapshot();
  ASSERT_FALSE(snapshot.isEmpty()) << window.Message().toStdString();
  EXPECT_TRUE(QFileInfo(snapshot).fileName().startsWith(QStringLiteral("D210315_T083003_5")));
  EXPECT_FALSE(QImage(snapshot).isNull());
  const QString again = window.SaveSnapshot();
  EXPECT_NE(again, snapshot) << "an earlier snapshot is never replaced";

  // A clip of a second around the moment shown, exported beside the
  // snapshots; the record stays as it is on the card.
  const std::string dat = test::ReadAll(card.engine.RecordFolderPath(0) + "record.dat");
  window.SetClipAround(1);
  window.MarkAround();
  EXPECT_NEAR(window.In(), 2520, 50);
  EXPECT_NEAR(window.Out(), 4520, 50);
  ASSERT_TRUE(window.ExportClip());
  ASSERT_TRUE(WaitFor([&] { return !window.ExportingClip(); }));
  EXPECT_TRUE(window.Message().contains(QStringLiteral("D210315_T083002_C.mp4")))
      << window.Message().toStdString();
  EXPECT_TRUE(fs::exists(out.File("D210315_T083002_C.mp4")));
  EXPECT_EQ(test::ReadAll(card.engine.RecordFolderPath(0) + "record.dat"), dat);

  // The same stretch as evidence, with pictures decoded here and the report
  // as PDF too; the package checks.
  ASSERT_TRUE(window.ExportEvidence());
  ASSERT_TRUE(WaitFor([&] { return !window.ExportingClip(); }, 30000));
  const fs::path package = out.File("D210315_T083002_C_evidence");
  ASSERT_TRUE(fs::exists(package)) << window.Message().toStdString();
  EXPECT_NE(test::ReadAll((package / "report.pdf").string()).find("/Image"), std::string::npos)
      << "the pictures and the route in the PDF";
  EXPECT_NE(test::ReadAll((package / "report.html").string()).find("data:image/png;base64,"),
            std::string::npos);
  EXPECT_TRUE(evidence::CheckPackage(package.string(), std::atomic<bool>{false}).complete);
  EXPECT_EQ(test::ReadAll(card.engine.RecordFolderPath(0) + "record.dat"), dat);
}

// A card pulled out (the fragments gone) while playing is a message in the
// window, which stays usable; nothing is written to the card.
TEST(PlayerWindow, FragmentsGoneWhilePlayingIsAMessageNotAFreeze) {
  if (!test::ExternalChecks())
    return;
  PlayerCard card(Plan(4));
  PlayerWindow window;
  window.OpenRecord(card.Source(), QStringLiteral("record 7"));
  PlaybackSession &session = window.Session();
  ASSERT_TRUE(WaitFor([&] { return session.Duration() > 0 && window.View().FrameStartUs() >= 0; }));
  for (auto &e : fs::recursive_directory_iterator(card.root))
    if (e.path().extension() == ".mp4")
      fs::resize_file(e.path(), 100);
  session.Seek(7000);
  session.Play();
  ASSERT_TRUE(WaitFor([&] { return !window.Message().isEmpty() && !session.Playing(); }));
  EXPECT_TRUE(window.Message().contains(QStringLiteral("F0000003.mp4")) ||
              window.Message().contains(QStringLiteral("changed")))
      << window.Message().toStdString();
  // Still usable: another record opens.
  PlayerCard other(Plan(2));
  window.OpenRecord(other.Source(), QStringLiteral("another"));
  EXPECT_TRUE(WaitFor([&] { return std::abs(session.Duration() - 4000) < 100 && window.View().FrameStartUs() >= 0; }));
}
