#include "app/ui/RecordListView.h"

#include "app/OutcomeText.h"
#include "app/RecordList.h"
#include "app/ui/RecordTableModel.h"
#include "settings/ui/Labels.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

#include <algorithm>

namespace orvo {

RecordListView::RecordListView(QWidget *parent) : QTreeView(parent) {
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setItemsExpandable(false);
  setAllColumnsShowFocus(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setFocusPolicy(Qt::StrongFocus);
  QHeaderView *h = header();
  h->setSectionsMovable(false);
  h->setSectionsClickable(true);
  h->setSortIndicatorShown(true);
  h->setStretchLastSection(true);
}

void RecordListView::mouseDoubleClickEvent(QMouseEvent *event) {
  const QModelIndex at = indexAt(event->position().toPoint());
  // A double click on the check box is two clicks on it, not a wish to play.
  if (at.isValid() && at.column() > 0 && event->button() == Qt::LeftButton) {
    emit openRequested(at.row());
    event->accept();
    return;
  }
  QTreeView::mouseDoubleClickEvent(event);
}

void RecordListView::SetRecordModel(RecordTableModel *model) {
  model_ = model;
  setModel(model);
  model->SetPalette(palette());
  connect(model, &QAbstractItemModel::modelReset, this, &RecordListView::SpanUnreadableRows);
}

void RecordListView::SpanUnreadableRows() {
  for (int row = model_->ListedCount(); row < model_->rowCount(); ++row)
    setFirstColumnSpanned(row, QModelIndex(), true);
}

void RecordListView::changeEvent(QEvent *event) {
  if (event->type() == QEvent::PaletteChange && model_ != nullptr)
    model_->SetPalette(palette());
  QTreeView::changeEvent(event);
}

void RecordListView::keyPressEvent(QKeyEvent *event) {
  if (model_ != nullptr && event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    if (currentIndex().isValid())
      model_->ToggleCheck(currentIndex().row());
    event->accept();
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      currentIndex().isValid()) {
    emit openRequested(currentIndex().row());
    event->accept();
    return;
  }
  if (model_ != nullptr && event->matches(QKeySequence::SelectAll)) {
    model_->SetAllChecks(true);
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

QList<int> RecordListView::FittingWidths(const QList<int> &minimum) const {
  const QFontMetrics fm(font());
  const CellFormats formats = model_ != nullptr ? model_->Formats() : CellFormats::Current();
  QList<QStringList> samples(kRecordColumnCount);
  for (int month = 1; month <= 12; ++month)
    samples[1] << formats.DateCell(28, month, 28);
  samples[2] << formats.TimeCell(23, 59, 58) << formats.TimeCell(12, 58, 58)
             << formats.TimeCell(10, 58, 58);
  samples[3] << QString::fromStdString(LengthCellText(23, 59, 58)) + "+";
  for (int mode = 0; mode <= 4; ++mode)
    samples[4] << Text(RecordModeTextId(mode));
  samples[5] << QStringLiteral("1920x1080");
  samples[6] << QStringLiteral("120");
  samples[7] << QString::fromStdString(BitrateCellText(16384, 320));
  samples[kOutcomeColumn] << Text(OutcomeTextId(OutcomeKind::Converted));
  // The cell's margins as the style draws them, on both sides.
  const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 4);
  QList<int> widths;
  for (int c = 0; c < kRecordColumnCount; ++c) {
    int w = c < minimum.size() ? minimum[c] : 0;
    if (c > 0) {
      w = std::max(w, header()->sectionSizeHint(c));
      for (const QString &s : samples[c])
        w = std::max(w, fm.horizontalAdvance(s) + margin);
    } else {
      const int box = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
      w = std::max(w, box + margin);
    }
    widths << w;
  }
  return widths;
}

} // namespace orvo
