#pragma once

// One page of the recorder settings. Every control on it edits the field its
// Tag names; the handlers shared by all pages commit a control's value and
// refresh the pages when the stored value changed.

#include "platform/ui/NamedWidget.h"

#include <QWidget>

#include <initializer_list>
#include <string>
#include <string_view>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QSlider;
class QTabBar;

namespace orvo {

class RecorderSettings;

class RecorderSetupPage : public QWidget {
  Q_OBJECT
public:
  // `tag` chooses how the pages are refreshed while this one is active.
  RecorderSetupPage(RecorderSettings &settings, QWidget *parent, const char *name, int tag);

  // Puts the configuration onto the page's controls; `enable` is the card's
  // readiness.
  virtual void Bind(bool enable) = 0;

  void ComboBoxChange(QComboBox *combo);
  void EditNumChange(QLineEdit *edit);
  void EditTimeChange(QLineEdit *edit);
  void EditDateChange(QLineEdit *edit);
  void TrackBarChange(QSlider *slider);
  void CheckBoxChange(QCheckBox *box);

protected:
  template <typename T> static T *Make(QWidget *parent, const char *name) {
    return MakeNamed<T>(parent, name);
  }
  static QSlider *MakeSlider(QWidget *parent, const char *name);
  static QTabBar *MakeTabs(QWidget *parent, const char *name, int count, bool numbered, int first);
  static void Row(QGridLayout *grid, int row, QWidget *label, QWidget *control);

  // Limits of the edits and the handlers that commit them; edits and track
  // bars commit when they are left.
  void ConnectComboBox(QComboBox *combo);
  void ConnectNumberEdit(QLineEdit *edit);
  void ConnectTimeEdit(QLineEdit *edit);
  void ConnectDateEdit(QLineEdit *edit);
  void ConnectTrackBar(QSlider *slider);
  // Every check box of the page but those with handlers of their own.
  void ConnectCheckBoxes(std::initializer_list<const QCheckBox *> except);

  void CommitEdit(QLineEdit *edit, bool (*commit)(int, std::string_view, std::string &));
  void Refresh();

  RecorderSettings &settings_;
};

} // namespace orvo
