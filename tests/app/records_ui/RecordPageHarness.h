#pragma once

#include "UiCards.h"
#include "app/ui/FormFiltering.h"
#include "app/ui/FormMain.h"
#include "app/ui/RecordListView.h"
#include "app/ui/RecordPage.h"
#include "app/ui/RecordTableModel.h"
#include "app/ui/SettingsPage.h"
#include "engine/ui/FormDeleting.h"
#include "platform/ui/MessageSeam.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "support/Tools.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace orvo::test {

// Answers the message boxes instead of a person and keeps what they said.
struct AnsweringSeam : MessageSeam {
  struct Shown {
    QString text;
    int type;
  };
  std::vector<Shown> shown;
  std::deque<int> answers;          // given in turn; OK or No once they run out
  std::function<void()> whileShown; // what happens while a box is up
  int Show(QWidget *, const QString &, const QString &text, int type) override {
    shown.push_back({text, type});
    if (whileShown)
      whileShown();
    if (!answers.empty()) {
      const int a = answers.front();
      answers.pop_front();
      return a;
    }
    return (type & 0xF) == 4 ? kAnswerNo : kAnswerOk;
  }
};

// The main window over a real worker, with the record filter and deletion
// dialogs as start-up creates them. The card is a temporary folder. The drive
// polling's timer is stopped so that a test says when the card comes or goes;
// the window then runs its own card handling on the polling's tick.
struct RecordPageTest : WithApp, ::testing::Test {
  TempDir dir;
  TempDir card;
  TempDir out;
  ProgramSettings settings{SettingsLocation{dir.File("settings.ini"), false}};
  std::unique_ptr<TSecondThread> worker;
  std::unique_ptr<TFormMain> form;
  orvo::RecordPage *page = nullptr;
  TFormFiltering *filter = nullptr;
  TFormDeleting *deleting = nullptr;
  AnsweringSeam seam;
  bool cardAway = false;

  void SetUp() override {
    settings.SetInPath(card.path);
    settings.SetOutPath(out.path);
    worker = std::make_unique<TSecondThread>(&settings);
    form = std::make_unique<TFormMain>(worker.get(), &settings);
    form->TimerCheckDrive->stop();
    page = form->TabSheet1;
    deleting = new TFormDeleting(worker.get(), form.get());
    filter = new TFormFiltering(form.get(), &settings);
    page->FormDeleting = deleting;
    page->FormFiltering = filter;
    InstallMessageSeam(&seam);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  void TearDown() override {
    InstallMessageSeam(nullptr);
    worker->Shutdown();
    worker->WaitFor();
    form.reset();
    if (cardAway)
      std::filesystem::rename(AwayPath(), card.path);
  }

  std::string AwayPath() const { return card.path + "-away"; }
  // Ticks the drive polling until it has seen the card `ready`; the answer
  // comes from the polling's own thread a tick or more later.
  bool PollUntil(bool ready) {
    return QTest::qWaitFor(
        [&] {
          form->TimerCheckDriveTimer();
          return form->DriveReady == ready;
        },
        10000);
  }
  // The card's folder is there (again), and the drive polling sees it.
  void CardAppears() {
    if (cardAway)
      std::filesystem::rename(AwayPath(), card.path);
    cardAway = false;
    ASSERT_TRUE(PollUntil(true));
  }
  // The card's folder is gone, and the drive polling sees that.
  void CardGoes() {
    std::filesystem::rename(card.path, AwayPath());
    cardAway = true;
    ASSERT_TRUE(PollUntil(false));
  }

  void Click(QPushButton *button) {
    ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
  }

  bool WaitScanned() {
    return QTest::qWaitFor([&] { return !page->Scanning(); }, 60000);
  }
  bool WaitConverted() {
    return QTest::qWaitFor([&] { return !page->Converting(); }, 120000);
  }
  void Scan() {
    Click(page->ButtonScan);
    ASSERT_TRUE(WaitScanned());
  }

  void ClickHeader(int column) {
    QHeaderView *header = page->ListViewRecord->header();
    const QPoint p(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                   header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, p);
  }

  RecordTableModel *Model() const { return page->RecordModel; }
  int Rows() const { return Model()->rowCount(); }
  QVariant At(int row, int column, int role = Qt::DisplayRole) const {
    return Model()->data(Model()->index(row, column), role);
  }
  QString Cell(int row, int column) const { return At(row, column).toString(); }
  bool CheckedAt(int row) const { return At(row, 0, Qt::CheckStateRole).toInt() == Qt::Checked; }
  bool GreyAt(int row) const {
    return At(row, 1, Qt::BackgroundRole).value<QBrush>() == Model()->Colours().converted;
  }
  // The record number of a row, from the catalog entry behind it.
  std::uint32_t NumberOf(int row) const {
    RecordEntry e{};
    worker->GetEngine().GetEntry(Model()->IndexAt(row), e);
    return e.RecordNumber;
  }
  std::vector<std::uint32_t> Numbers() const {
    std::vector<std::uint32_t> n;
    for (int i = 0; i < Rows(); ++i)
      n.push_back(NumberOf(i));
    return n;
  }
  QString Status() const { return form->StatusText(); }
  // A button's caption without its access key.
  static QString Caption(const QPushButton *b) { return QString(b->text()).remove('&'); }

  // Runs `act` on the dialog once it is shown modally.
  template <typename F> void WhenShown(QWidget *dialog, F act) {
    auto *timer = new QTimer(form.get());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, dialog, act] {
      if (!dialog->isVisible())
        return;
      timer->stop();
      timer->deleteLater();
      act();
    });
    timer->start();
  }
};

} // namespace orvo::test
