#pragma once

#include "cardgen/CardGen.h"
#include "engine/Secondthread.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>

// Readable QString values in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) {
  *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace orvo::test {

// One QApplication for the whole test program, on the offscreen platform so
// that nothing needs a display. It is never destroyed: at exit Qt's own
// globals may already be gone.
inline QApplication &App() {
  static int argc = 1;
  static char name[] = "test_app_records_ui";
  static char *argv[] = {name, nullptr};
  static QApplication *app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

// A base for fixtures whose members are widgets: the application exists
// before them.
struct WithApp {
  WithApp() { App(); }
};

// A record of the catalog only (folder and "record.dat"), with a length of
// `durationMs` whatever its fragments would say.
inline bool WriteCatalogRecord(const std::string &card, const cardgen::RecordPlan &plan,
                               std::uint32_t durationMs) {
  cardgen::CardWriter writer;
  cardgen::RecordInfo info;
  if (!writer.WriteRecord(card, plan, info, true))
    return false;
  info.fields.durationMs = durationMs;
  const auto bytes = cardgen::EncodeRecordFile(info.fields);
  std::ofstream out(platform::WithSeparator(card) + info.folderName + platform::kPathSeparator +
                        "record.dat",
                    std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// Polls the event loop until the worker is idle; generous, so that a broken
// worker fails the test rather than hanging it.
inline bool WaitIdle(const TSecondThread &worker) {
  return QTest::qWaitFor([&] { return !worker.IsBusy(); }, 60000);
}

} // namespace orvo::test
