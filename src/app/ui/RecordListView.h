#pragma once

// The record list: a report view over RecordTableModel that the keyboard can
// use. It takes the focus like any list; arrows move, Space turns the check
// mark of the current row, Ctrl+A checks every listed row.

#include <QTreeView>

namespace orvo {

class RecordTableModel;

class RecordListView : public QTreeView {
  Q_OBJECT
public:
  explicit RecordListView(QWidget *parent = nullptr);
  void SetRecordModel(RecordTableModel *model);
  RecordTableModel *RecordModel() const { return model_; }

  // Widths that show every cell whole in the current language and locale:
  // the widest date of any month with its year, a time with its day period
  // where the locale has one, the longest record mode name. Never narrower
  // than `minimum` (one per column).
  QList<int> FittingWidths(const QList<int> &minimum) const;

signals:
  // Enter or a double click on a record's row: play it.
  void openRequested(int row);

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  // An unreadable record folder's text runs across its row.
  void SpanUnreadableRows();

  RecordTableModel *model_ = nullptr;
};

} // namespace orvo
