#pragma once

#include <QWidget>

namespace orvo {

// A new widget owned by `parent` and named as the windows have always named
// their controls (tests and style sheets find them by that name).
template <typename T> T *MakeNamed(QWidget *parent, const char *name) {
  T *widget = new T(parent);
  widget->setObjectName(name);
  return widget;
}

} // namespace orvo
