#pragma once

#include "platform/ui/MessageSeam.h"
#include "settings/Stringcode.h"
#include "support/Tools.h"

#include <QString>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace orvo::test {

struct ShownMessage {
  QString title;
  QString text;
  int type;
};

// Answers message boxes instead of a person and keeps what was shown.
class RecordingSeam : public MessageSeam {
public:
  RecordingSeam() { InstallMessageSeam(this); }
  ~RecordingSeam() override { InstallMessageSeam(nullptr); }
  int Show(QWidget *, const QString &title, const QString &text, int type) override {
    shown.push_back({title, text, type});
    if (answers.empty())
      return kAnswerOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<ShownMessage> shown;
  std::deque<int> answers;
};

// The test runs in an empty working folder: no language files, no stored
// configuration overrides. The language tables start from English.
struct ScratchWorkingFolder {
  ScratchWorkingFolder() : previous(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.path);
    ResetLanguages();
  }
  ~ScratchWorkingFolder() {
    std::filesystem::current_path(previous);
    ResetLanguages();
  }
  TempDir dir;
  std::filesystem::path previous;
};

inline QString English(int id) {
  return QString::fromUtf8(BuiltInEnglish[id]);
}
inline QString Russian(int id) {
  return QString::fromUtf8(BuiltInRussian[id]);
}

} // namespace orvo::test
