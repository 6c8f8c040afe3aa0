#pragma once

// Putting texts of the language tables onto controls. Every window relabels
// itself through these after a language change; hints become the control's
// tool tip and its status tip, so they also show in the status bar.

#include <QString>

#include <initializer_list>
#include <span>
#include <string_view>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QTabBar;
class QTabWidget;
class QTreeWidget;
class QWidget;

namespace orvo {

// GetText(id) as a QString (the tables hold UTF-8).
QString Text(int id);
void SetHint(QWidget *control, const QString &hint);

// Page i gets GetText(ids[i]); pages beyond the list keep their titles.
void LabelPages(QTabWidget *pages, std::span<const int> ids);
void LabelPages(QTabWidget *pages, std::initializer_list<int> ids);
void LabelGroupBox(QGroupBox *box, int id);
void LabelButton(QAbstractButton *button, int captionId, int hintId);
// Tab i gets ExpandText(labels[i]) when labels are given; the hint is set in
// any case.
void LabelTabs(QTabBar *tabs, std::span<const std::string_view> labels, int hintId);
void LabelColumns(QTreeWidget *list, std::span<const int> ids);
void LabelColumns(QTreeWidget *list, std::initializer_list<int> ids);
void LabelLabel(QLabel *label, int id, bool enabled);
// Gives each button an access key (Alt and a letter of its caption): the
// first letter of its caption that no button before it in the list took.
void SetAccessKeys(std::initializer_list<QAbstractButton *> buttons);

} // namespace orvo
